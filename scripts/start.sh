#!/usr/bin/env bash
# Installs what is missing, builds, and starts Relaydeck. Without a display it plays the
# bundled demo scenario through relaydeck-replay instead.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

bash scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/relaydeck
fi
echo "No display here (DISPLAY is not set): playing the demo scenario instead."
echo "It runs the real controller on a virtual clock: tools/replay/demo.scn"
echo
exec build/bin/relaydeck-replay tools/replay/demo.scn
