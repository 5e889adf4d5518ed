#!/usr/bin/env bash
# Runs one Windows program under Wine: tools/wine-run.sh prog.exe [args...]
# Used by CTest as the cross-compiling emulator and by `make run`.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
vel_start_display
vel_prepare_prefix
wine "$@"
rc=$?
vel_stop_display
exit $rc
