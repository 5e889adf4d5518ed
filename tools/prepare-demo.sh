#!/usr/bin/env bash
# Makes a ready-to-try base folder: the program files plus a few sample images.
# usage: prepare-demo.sh DIST_DIR DEMO_DIR
set -euo pipefail
dist="$1"
demo="$2"
mkdir -p "$demo"
cp -r "$dist"/. "$demo"/
mkdir -p "$demo/images"
for name in "Sample Adventure (1987).d88" "Puzzle's Tower (1990).fdi" "サンプル ゲーム (1992).hdm"; do
  [ -f "$demo/images/$name" ] || head -c 4096 /dev/urandom > "$demo/images/$name"
done
