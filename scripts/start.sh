#!/usr/bin/env bash
# Installs what is missing, builds the program, and starts Relaydeck. Without a display it
# plays the bundled demo scenario through relaydeck-replay instead, telling its story.
# Only the program to be started is built here (no tests): scripts/test.sh builds and runs
# those.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

bash scripts/deps.sh run

# With a display the desktop program; without one the replay tool plays the demo.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then program=relaydeck; else program=relaydeck-replay; fi
log=build/start.log
mkdir -p build
if [ ! -x "build/bin/$program" ]; then
    echo "Building $program. The first build takes a few minutes; later starts are quick."
fi
# CMake and the compiler speak only when something goes wrong.
if ! cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1 ||
   ! cmake --build build -j"$(nproc)" --target "$program" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "The build failed; the whole output is in $log" >&2
    exit 1
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    # Qt and the sound system otherwise complain about things that do not matter here.
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        export XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/runtime-$(id -u)"
        mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    fi
    export QT_LOGGING_RULES="${QT_LOGGING_RULES:-qt.*=false;*.debug=false}"
    exec build/bin/relaydeck 2> >(grep --line-buffered -v -E \
        'XDG_RUNTIME_DIR|PulseAudioService|pa_context_connect|QStandardPaths|qt\.qpa|xkbcommon|speech-dispatcher|libEGL|MESA' >&2)
fi
echo "No display here (DISPLAY is not set): playing the demo scenario instead."
echo "It runs the real controller on a virtual clock, a repeater's minutes in a few"
echo "milliseconds. Lines with '>' are what happens at the radio (tools/replay/demo.scn);"
echo "the others are what Relaydeck does about it."
exec build/bin/relaydeck-replay --echo tools/replay/demo.scn
