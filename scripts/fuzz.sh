#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each (default 60) and prints
# their executions and crashes. The clang build lives in build/fuzz. Uses every core.
#   scripts/fuzz.sh [--runs N] [--jobs N] [SECONDS] [TARGET...]   TARGET: settings, scenario, replay
# --runs N stops a target after N inputs (then SECONDS, unlimited by default, is a bound);
# --jobs N sets the number of fuzzing processes (default: the number of cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
options=()
runs=""
jobs=$(nproc 2>/dev/null || echo 1)
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs=${2:?--runs needs a number}; options+=(--runs "$runs"); shift 2 ;;
        --jobs) jobs=${2:?--jobs needs a number}; shift 2 ;;
        *) break ;;
    esac
done
seconds=60
[ -n "$runs" ] && seconds=0
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
exec bash "$root/fuzz/run.sh" "$root/build/fuzz" "${options[@]}" --jobs "$jobs" "$seconds" "$@"
