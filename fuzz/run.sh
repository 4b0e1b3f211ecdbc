#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a given time.
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]     TARGET: settings, scenario, replay
#   fuzz/run.sh BUILD_DIR build                   only builds them
# Prints executions and crashes per target. Exit status 0 when nothing crashed, 1 after a
# crash (the input is kept under BUILD_DIR/crashes/), 77 when clang cannot build them.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:?usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]}
seconds=${2:?usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]}
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings scenario replay)

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
            settings) printf 'SETTINGS\x01HANGTIME\x0110\x01[SETTINGS]\r\nHANGTIME=5\r\nCWIDTEXT="PY2XYZ"\r\n' >"$corpus/seed" ;;
        esac
    fi
    log="$build/$t.log"
    touch "$log.start"
    set +e
    # A settings file is small; longer inputs only slow the search down.
    maxlen=4096
    [ "$t" = settings ] && maxlen=1024
    "$build/${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -max_len=$maxlen \
        -rss_limit_mb=1024 -artifact_prefix="$build/crashes/$t-" "$corpus" >"$log" 2>&1
    rc=$?
    set -e
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    crashes=$(find "$build/crashes" -name "$t-*" -newer "$log.start" | wc -l)
    [ "$rc" -eq 0 ] || crashes=$((crashes > 0 ? crashes : 1))
    printf '%-9s %10s executions in %ss, %s crashes\n' "$t" "${runs:-?}" "$seconds" "$crashes"
    if [ "$rc" -ne 0 ]; then
        grep -m5 'ERROR\|rule broken\|SUMMARY\|Test unit written' "$log" || tail -20 "$log"
        status=1
    fi
done
exit $status
