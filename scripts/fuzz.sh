#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each (default 60) and prints
# their executions and crashes. The clang build lives in build/fuzz.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      TARGET: settings, scenario, replay
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
exec bash "$root/fuzz/run.sh" "$root/build/fuzz" "$seconds" "$@"
