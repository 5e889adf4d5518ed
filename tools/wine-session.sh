#!/usr/bin/env bash
# Runs a command (e.g. ctest) inside one Wine session: one X screen and one
# persistent wineserver for all the Windows programs it starts.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
vel_start_display
vel_prepare_prefix
wineserver -p >/dev/null 2>&1 || true
# Start Wine's own background services now, detached from our output: when a
# test starts them instead, they hold the test's output pipe open.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
"$@"
rc=$?
wineserver -k >/dev/null 2>&1 || true
vel_stop_display
exit $rc
