#!/usr/bin/env bash
# Cross-compiles the COM link-host test for Windows and runs it under Wine.
#   run.sh [build-dir]      (default: <repo>/build/win)
# Exit codes: 0 passed, 1 build or test failed, 77 Wine is not usable here (skipped).
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../../.." && pwd)
build=${1:-$repo/build/win}
# Another Windows test project may be run the same way: its folder and its program.
project=${RELAYDECK_WIN_PROJECT:-$here}
program=${RELAYDECK_WIN_PROGRAM:-comlinkhost_test.exe}
limit=300

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi

echo "== cross-compiling into $build"
if ! cmake -S "$project" -B "$build" "${generator[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" </dev/null; then
    echo "run.sh: configuring the cross build failed" >&2
    exit 1
fi
if ! cmake --build "$build" -j2 </dev/null; then
    echo "run.sh: the cross build failed" >&2
    exit 1
fi
exe="$build/$program"
if [ ! -f "$exe" ]; then
    echo "run.sh: $exe was not produced" >&2
    exit 1
fi

wine=""
for candidate in wine64 wine /usr/lib/wine/wine64; do
    if command -v "$candidate" >/dev/null 2>&1; then
        wine=$(command -v "$candidate")
        break
    fi
done
if [ -z "$wine" ]; then
    echo "run.sh: SKIPPED - no wine64/wine found; the cross build succeeded" >&2
    exit 77
fi

# A private prefix, no display, no input, no Mono/Gecko installer prompts.
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
stop_server() {
    if command -v wineserver >/dev/null 2>&1; then timeout 60 wineserver -w </dev/null; fi
}

echo "== preparing $WINEPREFIX with $wine"
if ! timeout "$limit" "$wine" wineboot -i </dev/null >"$build/wineboot.log" 2>&1; then
    echo "run.sh: SKIPPED - wine could not initialise its prefix; see $build/wineboot.log:" >&2
    tail -n 20 "$build/wineboot.log" >&2
    stop_server
    exit 77
fi
probe=$(timeout "$limit" "$wine" cmd /c echo wine-ok </dev/null 2>&1)
if [[ "$probe" != *wine-ok* ]]; then
    echo "run.sh: SKIPPED - wine cannot run a console program here:" >&2
    echo "$probe" >&2
    stop_server
    exit 77
fi

echo "== running $(basename "$exe") under wine"
timeout "$limit" "$wine" "$exe" </dev/null
status=$?
stop_server
if [ "$status" -eq 124 ]; then
    echo "run.sh: the test did not finish within $limit s" >&2
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "run.sh: the test failed (exit code $status)" >&2
    exit 1
fi
exit 0
