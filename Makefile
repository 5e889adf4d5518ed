# Velmarook: build, run and test on Linux (the Windows program runs under Wine).
.PHONY: setup dist run test test-native test-windows bench clean

ROOT := $(abspath .)
WIN_BUILD := build/win64
NATIVE_BUILD := build/native
BENCH_BUILD := build/bench-native
JOBS ?= $(shell nproc)

setup:
	@bash tools/setup.sh

$(WIN_BUILD)/build.ninja: | setup
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-w64-x86_64.cmake

$(NATIVE_BUILD)/build.ninja: | setup
	cmake -S . -B $(NATIVE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug

# Timings come from optimised code without sanitizers.
$(BENCH_BUILD)/build.ninja: | setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEL_SANITIZE=OFF

# The Windows program and its base folder, copied to dist/.
dist: setup $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)
	rm -rf dist && cp -r $(WIN_BUILD)/dist dist

# Prepares a demo base folder and starts the program there under Wine.
run: dist
	bash tools/prepare-demo.sh dist build/demo $(WIN_BUILD)
	cd build/demo && bash ../../tools/wine-run.sh ./Velmarook2.exe

test-native: setup $(NATIVE_BUILD)/build.ninja
	cmake --build $(NATIVE_BUILD) -j $(JOBS)
	cd $(NATIVE_BUILD) && ctest --output-on-failure

test-windows: dist
	bash tools/wine-session.sh bash -c 'cd $(WIN_BUILD) && ctest --output-on-failure'

test: test-native test-windows

# The library benchmark at 10,000, 100,000 and 300,000 items, then the bulk
# benchmark at 100,000 items, each under Wine and natively.
# Then the marks benchmark (history, marks, candidates, saved queries) the same way.
bench: dist $(BENCH_BUILD)/build.ninja
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target library_bench bulk_bench
	bash tools/run-library-bench.sh $(BENCH_BUILD)/tools/library_bench/library_bench \
	  $(WIN_BUILD)/tools/library_bench/library_bench.exe $(BENCH_ITEMS)
	cd $(WIN_BUILD)/tools/bench && bash $(ROOT)/tools/wine-run.sh ./bulk_bench.exe
	cd $(BENCH_BUILD)/tools/bench && ./bulk_bench
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target marks_bench
	cd $(WIN_BUILD)/tools/bench && bash $(ROOT)/tools/wine-run.sh ./marks_bench.exe
	cd $(BENCH_BUILD)/tools/bench && ./marks_bench

clean:
	rm -rf build/win64 build/native build/bench-native build/demo dist
