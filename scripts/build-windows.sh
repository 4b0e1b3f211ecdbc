#!/usr/bin/env bash
# Cross-builds the Windows program with MinGW-w64.
#   build-windows.sh [build-dir]     (default: <repo>/build/windows)
# Result: <build-dir>/bin/relaydeck.exe and relaydeck-guard.exe, statically linked files.
# The web server comes in when cpp-httplib's whole header is in $RELAYDECK_HTTPLIB_CACHE
# (default /var/cache/relaydeck/cpp-httplib, filled by "scripts/deps.sh test").
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build/windows}

httplib=${RELAYDECK_HTTPLIB_CACHE:-/var/cache/relaydeck/cpp-httplib}
if [ -f "$httplib/httplib.h" ]; then
    httplib_option=-DRELAYDECK_HTTPLIB_WIN_DIR="$httplib"
else
    httplib_option=-DRELAYDECK_HTTPLIB_WIN_DIR=
    echo "build-windows.sh: no $httplib/httplib.h (scripts/deps.sh test fetches it):" \
         "building without the web server" >&2
fi

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi

cmake -S "$repo" -B "$build" "${generator[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE="${RELAYDECK_WINDOWS_BUILD_TYPE:-Release}" \
    -DRELAYDECK_WARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" "$httplib_option" </dev/null
cmake --build "$build" -j2 --target relaydeck relaydeck-guard </dev/null
test -f "$build/bin/relaydeck.exe" && test -f "$build/bin/relaydeck-guard.exe"
echo "built $build/bin/relaydeck.exe"
