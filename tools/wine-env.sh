#!/usr/bin/env bash
# Sourced by the Wine scripts: a Japanese Wine environment with its own prefix
# under build/, the UI faces mapped to an installed CJK font, and an X screen.

VEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$VEL_ROOT/build/wineprefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

VEL_STARTED_XVFB=""

vel_start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local n=90
  while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VEL_STARTED_XVFB=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${n}" ] && break
    sleep 0.1
  done
}

vel_stop_display() {
  if [ -n "$VEL_STARTED_XVFB" ]; then
    kill "$VEL_STARTED_XVFB" 2>/dev/null || true
    wait "$VEL_STARTED_XVFB" 2>/dev/null || true
    VEL_STARTED_XVFB=""
  fi
}

# Creates the prefix once, with font substitutes for the faces the program asks for.
vel_prepare_prefix() {
  local stamp="$WINEPREFIX/.velmarook-ready"
  if [ -f "$stamp" ]; then return; fi
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
  local face
  for face in "Yu Gothic UI" "Meiryo UI" "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "ＭＳ Ｐ明朝" "MS UI Gothic" "游明朝" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Noto Sans CJK JP" /f >/dev/null 2>&1 || true
  done
  wineserver -w 2>/dev/null || true
  touch "$stamp"
}
