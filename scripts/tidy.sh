#!/usr/bin/env bash
# Runs clang-tidy's bugprone and performance checks (.clang-tidy) on every source file of
# src/ and tools/, using the compile commands of a build, and prints the number of
# findings. Exit status: 0 with no finding, 1 with findings, 2 when it cannot run.
#   tidy.sh [build-dir]        (default: build; configured here if it has no
#                               compile_commands.json yet)
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build}
cd "$repo"

tidy=""
for candidate in clang-tidy clang-tidy-16 clang-tidy-15 clang-tidy-14; do
    if command -v "$candidate" >/dev/null 2>&1; then
        tidy=$(command -v "$candidate")
        break
    fi
done
if [ -z "$tidy" ]; then
    echo "tidy.sh: clang-tidy not found (Debian: apt-get install clang-tidy)" >&2
    exit 2
fi

if [ ! -f "$build/compile_commands.json" ]; then
    cmake -S . -B "$build" -G Ninja >/dev/null || exit 2
fi
# The Qt views need their generated moc headers before they can be read.
cmake --build "$build" --target relaydeck_ui_autogen relaydeck_simulator_autogen >/dev/null 2>&1 || true

# Only what this build compiles (the COM binding, for one, is built for Windows alone).
mapfile -t files < <(git ls-files 'src/*.cpp' 'tools/*.cpp' |
    while read -r f; do grep -q "\"file\": \"$repo/$f\"" "$build/compile_commands.json" && echo "$f"; done)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 4 "$tidy" -p "$build" --quiet >"$log" 2>/dev/null

# One finding per place and check, however many files include the header it is in.
findings=$(grep -E '^/.*:[0-9]+:[0-9]+: (warning|error):' "$log" | sed "s|^$repo/||" | sort -u)
if [ -n "$findings" ]; then
    printf '%s\n' "$findings"
    count=$(printf '%s\n' "$findings" | wc -l)
else
    count=0
fi
echo "clang-tidy findings: $count"
[ "$count" -eq 0 ]
