# Velmarook: build, run and test on Linux (the Windows program runs under Wine).
.PHONY: setup dist run test test-native test-windows clean

ROOT := $(abspath .)
WIN_BUILD := build/win64
NATIVE_BUILD := build/native
JOBS ?= $(shell nproc)

setup:
	@bash tools/setup.sh

$(WIN_BUILD)/build.ninja: | setup
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-w64-x86_64.cmake

$(NATIVE_BUILD)/build.ninja: | setup
	cmake -S . -B $(NATIVE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug

# The Windows program and its base folder, copied to dist/.
dist: setup $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)
	rm -rf dist && cp -r $(WIN_BUILD)/dist dist

# Prepares a demo base folder and starts the program there under Wine.
run: dist
	bash tools/prepare-demo.sh dist build/demo
	cd build/demo && bash ../../tools/wine-run.sh ./Velmarook2.exe

test-native: setup $(NATIVE_BUILD)/build.ninja
	cmake --build $(NATIVE_BUILD) -j $(JOBS)
	cd $(NATIVE_BUILD) && ctest --output-on-failure

test-windows: dist
	bash tools/wine-session.sh bash -c 'cd $(WIN_BUILD) && ctest --output-on-failure'

test: test-native test-windows

clean:
	rm -rf build/win64 build/native build/demo dist
