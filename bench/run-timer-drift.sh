#!/usr/bin/env bash
# Builds the Windows timer-drift measurement and runs it under Wine.
#   run-timer-drift.sh [ticks] [windows-build-dir]     (defaults: 60, build/windows)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ticks=${1:-60}
build=${2:-$repo/build/windows}
bash "$repo/scripts/build-windows.sh" "$build" >/dev/null
cmake --build "$build" -j2 --target timer_drift >/dev/null
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || wine wineboot -i >/dev/null 2>&1
wine "$build/bin/timer_drift.exe" "$ticks"
