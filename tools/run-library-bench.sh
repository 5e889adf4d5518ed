#!/usr/bin/env bash
# Runs the library benchmark at several library sizes, natively (a release
# build without sanitizers) and as the Windows build under Wine, and prints
# both tables. Usage: tools/run-library-bench.sh NATIVE_EXE WINDOWS_EXE [ITEMS...]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native="$(realpath "$1")"
windows="$(realpath "$2")"
shift 2
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000 300000)
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
# The real Migemo patterns, asked natively once, searched by both builds.
migemo=()
if "$native" --write-migemo-patterns migemo.txt; then migemo=(--migemo-patterns migemo.txt); fi
for items in "${sizes[@]}"; do
  echo "=== $items items: the Windows build under Wine"
  bash "$ROOT/tools/wine-run.sh" "$windows" --items "$items" --runs 3 --db wine.db "${migemo[@]}"
  rm -f wine.db
  echo
  echo "=== $items items: native"
  "$native" --items "$items" --runs 3 --db native.db "${migemo[@]}"
  rm -f native.db
  echo
done
