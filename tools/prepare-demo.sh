#!/usr/bin/env bash
# Makes a ready-to-try base folder: the program files, the sample emulator
# and, at the first time only, a generated library with its images, icons,
# snapshots and emulator configurations. Only DEMO_DIR is ever written to;
# a library already there (and what the user changed in it) is kept.
# usage: prepare-demo.sh DIST_DIR DEMO_DIR WIN_BUILD_DIR
set -euo pipefail
dist="$1"
demo="$2"
build="$(cd "$3" && pwd)"
tools="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$demo/emu"
cp -r "$dist"/. "$demo"/
cp "$build/tools/demo/demo_emulator.exe" "$demo/emu/"
if [ ! -f "$demo/Velmarook.db" ]; then
  (cd "$demo" && bash "$tools/wine-run.sh" "$build/tools/demo/demo_library.exe")
fi
