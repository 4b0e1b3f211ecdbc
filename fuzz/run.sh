#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a given time or number of inputs.
#   fuzz/run.sh BUILD_DIR [--runs N] [--jobs N] SECONDS [TARGET...]   TARGET: settings, scenario, replay
#   fuzz/run.sh BUILD_DIR build                                      only builds them
# --runs N stops each target after N inputs (SECONDS stays the upper bound); --jobs N
# fuzzes with N processes sharing one corpus (libFuzzer's fork mode), 1 by default.
# Prints executions, seconds and crashes per target. Exit status 0 when nothing crashed,
# 1 after a crash (the input is kept under BUILD_DIR/crashes/), 77 when clang cannot build
# them.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
usage="usage: fuzz/run.sh BUILD_DIR [--runs N] [--jobs N] SECONDS [TARGET...]"
build=${1:?$usage}
shift
runs=-1
jobs=1
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs=${2:?$usage}; shift 2 ;;
        --jobs) jobs=${2:?$usage}; shift 2 ;;
        *) break ;;
    esac
done
seconds=${1:?$usage}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings scenario replay)
for n in "$runs" "$jobs"; do
    [[ "$n" =~ ^-?[0-9]+$ ]] || { echo "$usage" >&2; exit 2; }
done
[[ "$seconds" =~ ^([0-9]+|build)$ ]] || { echo "$usage" >&2; exit 2; }

cxx=""
for c in clang++-14 clang++; do
    if command -v "$c" >/dev/null; then cxx=$(command -v "$c"); break; fi
done
if [ -z "$cxx" ]; then
    echo "fuzz: skipped, no clang++ (install clang-14 and libclang-rt-14-dev)"
    exit 77
fi

# One build at a time in a build folder.
mkdir -p "$build"
exec 9>"$build/.lock"
flock 9
if [ ! -f "$build/build.ninja" ]; then
    if ! cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
        -DCMAKE_BUILD_TYPE=None >"$build/configure.log" 2>&1; then
        tail -5 "$build/configure.log"
        echo "fuzz: skipped, clang cannot configure the fuzz build (see $build/configure.log)"
        exit 77
    fi
fi
if ! ninja -C "$build" -j2 >"$build/build.log" 2>&1; then
    if grep -q "libclang_rt.fuzzer\|cannot find.*fuzzer" "$build/build.log"; then
        echo "fuzz: skipped, libFuzzer is missing (install libclang-rt-14-dev)"
        exit 77
    fi
    tail -20 "$build/build.log"
    exit 1
fi
flock -u 9
[ "$seconds" = build ] && exit 0

status=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    mkdir -p "$corpus" "$build/crashes"
    # Start from the example scenarios and a settings file.
    if [ -z "$(ls -A "$corpus")" ]; then
        case "$t" in
            scenario|replay) cp "$root"/tests/scenarios/*.scn "$corpus"/ ;;
            settings) printf 'SETTINGS\\ HANGTIME\\ 10\\ [SETTINGS]\r\nHANGTIME=5\r\nCWIDTEXT="PY2XYZ"\r\n' >"$corpus/seed" ;;
        esac
    fi
    log="$build/$t.log"
    touch "$log.start"
    # A settings file is small; longer inputs only slow the search down.
    maxlen=4096
    [ "$t" = settings ] && maxlen=1024
    options=(-max_total_time="$seconds" -runs="$runs" -print_final_stats=1 -timeout=10
        -max_len=$maxlen -rss_limit_mb=1024 -artifact_prefix="$build/crashes/$t-")
    [ "$jobs" -gt 1 ] && options+=(-fork="$jobs")
    # Inputs that once broke a rule are run first, every time (libFuzzer adds new inputs only
    # to the first folder).
    folders=("$corpus")
    [ -d "$here/regressions/$t" ] && folders+=("$here/regressions/$t")
    started=$(date +%s.%N)
    set +e
    # A smaller quarantine than the default 256 MB still outlives every input's strings
    # many times over, and keeps each process's memory (and cache misses) down.
    ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=32} \
        "$build/${t}_fuzz" "${options[@]}" "${folders[@]}" >"$log" 2>&1
    rc=$?
    set -e
    took=$(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }')
    # One process ends with its statistics; fork mode with its last "#N:" progress line.
    executed=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)
    [ -n "$executed" ] || executed=$(grep -o '^#[0-9]*:' "$log" | tr -d '#:' | tail -1 || true)
    crashes=$(find "$build/crashes" -name "$t-*" -newer "$log.start" | wc -l)
    [ "$rc" -eq 0 ] || crashes=$((crashes > 0 ? crashes : 1))
    rate=$(awk -v n="${executed:-0}" -v t="$took" 'BEGIN { printf "%d", (t > 0 ? n / t : 0) }')
    printf '%-9s %10s executions in %5ss (%s a second, %s process%s), %s crashes\n' \
        "$t" "${executed:-?}" "$took" "$rate" "$jobs" "$([ "$jobs" -gt 1 ] && echo es)" "$crashes"
    if [ "$rc" -ne 0 ]; then
        grep -m5 'ERROR\|rule broken\|SUMMARY\|Test unit written' "$log" || tail -20 "$log"
        status=1
    fi
done
exit $status
