#!/usr/bin/env bash
# Cross-builds the Win32 views' test and runs it under Wine on a private Xvfb display.
#   run.sh <windows-build-dir>
# Exit codes: 0 passed, 1 build or test failed, 77 MinGW-w64, Wine or Xvfb missing (skipped).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../../.." && pwd)
build=${1:?usage: run.sh <windows-build-dir>}
mkdir -p "$build" && build=$(cd "$build" && pwd)
limit=300

for tool in x86_64-w64-mingw32-g++-posix wine Xvfb; do
    command -v "$tool" >/dev/null 2>&1 || { echo "run.sh: SKIPPED - no $tool here" >&2; exit 77; }
done
if ! bash "$repo/scripts/build-windows.sh" "$build" >"$build.views.log" 2>&1 ||
   ! cmake --build "$build" -j2 --target win32_view_tests >>"$build.views.log" 2>&1; then
    tail -n 30 "$build.views.log" >&2
    echo "run.sh: the cross build failed" >&2
    exit 1
fi

export WINEPREFIX="$build/views-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ xvfb <&3
read -r number <&3 || { echo "run.sh: SKIPPED - Xvfb did not start" >&2; exit 77; }
export DISPLAY=:$number
wm=""
if command -v openbox >/dev/null 2>&1; then
    openbox >/dev/null 2>&1 &
    wm=$!
fi
cleanup() {
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    if ! timeout "$limit" wine wineboot -i >"$build.views-boot.log" 2>&1; then
        echo "run.sh: SKIPPED - Wine could not set up its prefix" >&2
        exit 77
    fi
    # A crash ends the run instead of waiting in the debugger's dialog; without a window
    # manager, Wine does not wait for one.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    [ -n "$wm" ] || wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    timeout 60 wineserver -w
fi
timeout "$limit" wine "$build/bin/win32_view_tests.exe" </dev/null
status=$?
[ "$status" -eq 124 ] && echo "run.sh: the test did not finish within $limit s" >&2
# The web server's dialog and password hash, in a build that has the web server.
if cmake --build "$build" --target help 2>/dev/null | grep -q win32_web_tests; then
    if ! cmake --build "$build" -j2 --target win32_web_tests >>"$build.views.log" 2>&1; then
        tail -n 30 "$build.views.log" >&2
        exit 1
    fi
    timeout 120 wine "$build/bin/win32_web_tests.exe" </dev/null || status=1
fi
exit $(( status == 0 ? 0 : 1 ))
