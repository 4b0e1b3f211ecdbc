#!/usr/bin/env bash
# Builds the web server's bench in Release and runs it: the controller's carrier-to-SetPTT
# latency with the server off (twice), on and idle, one page polling and 50 clients (from
# afar and here), in short blocks in a shuffled order round after round, and each case's p99
# against the server off with 95 % intervals; /api/status request times; the server's idle
# processor time.
#   scripts/web-bench.sh [rounds=250] [overs-per-block=300] [idle-seconds=20]
# The build lives in build/bench (shared with scripts/bench.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRELAYDECK_BUILD_BENCH=ON \
    -DRELAYDECK_BUILD_TESTS=OFF >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
ninja -C "$build" -j2 web_bench >"$build.build.log" 2>&1 || { tail -30 "$build.build.log"; exit 1; }
echo "uptime: $(uptime)"
QT_QPA_PLATFORM=offscreen "$build/bin/web_bench" "$@"
