#!/usr/bin/env bash
# Prepares this Linux machine to build and test the program: Debian packages,
# the Japanese locale, and the pinned SQLite amalgamation. Quick when all is present.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DEPS="$ROOT/build/deps"

SQLITE_NPM_PACKAGE="better-sqlite3@12.11.1"
SQLITE_NPM_SHA256="ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835"

PACKAGES=(
  cmake make g++ ninja-build
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils
  locales fonts-noto-cjk
  googletest
  libmigemo1 cmigemo-common libkakasi2 kakasi-dic
  zlib1g-dev libz-mingw-w64-dev
  nodejs npm python3
  tango-icon-theme
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      # node, npm and python3 may come from elsewhere than Debian: accept them when on PATH
      if { [ "$p" = nodejs ] && command -v node >/dev/null; } || { [ "$p" = npm ] && command -v npm >/dev/null; } \
         || { [ "$p" = python3 ] && command -v python3 >/dev/null; }; then
        continue
      fi
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

ensure_japanese_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "setup: generating ja_JP.UTF-8"
    as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

fetch_sqlite() {
  local target="$DEPS/sqlite3"
  if [ -f "$target/sqlite3.c" ] && [ -f "$target/sqlite3.h" ]; then return; fi
  echo "setup: fetching the SQLite amalgamation ($SQLITE_NPM_PACKAGE)"
  local work; work="$(mktemp -d)"
  trap 'rm -rf "$work"' RETURN
  (cd "$work" && npm pack --silent "$SQLITE_NPM_PACKAGE" >/dev/null)
  local tarball; tarball="$(ls "$work"/*.tgz)"
  local sum; sum="$(sha256sum "$tarball" | cut -d' ' -f1)"
  if [ "$sum" != "$SQLITE_NPM_SHA256" ]; then
    echo "setup: checksum mismatch for $SQLITE_NPM_PACKAGE: $sum" >&2
    exit 1
  fi
  tar -xzf "$tarball" -C "$work" package/deps/sqlite3
  mkdir -p "$target"
  cp "$work"/package/deps/sqlite3/sqlite3.c "$work"/package/deps/sqlite3/sqlite3.h "$target"/
  [ -f "$work/package/deps/sqlite3/sqlite3ext.h" ] && cp "$work/package/deps/sqlite3/sqlite3ext.h" "$target"/
  return 0
}

install_missing_packages
ensure_japanese_locale
mkdir -p "$DEPS"
fetch_sqlite
