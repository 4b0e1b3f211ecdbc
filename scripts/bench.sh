#!/usr/bin/env bash
# Builds Relaydeck in Release with the benchmarks and prints one table of what the
# controller costs on this machine.
#   scripts/bench.sh                  the table
#   scripts/bench.sh --against REV    also replays the same generated month with the
#                                     replay tool built at git revision REV, checks that
#                                     both print the same bytes and gives the speed ratio
# The build lives in build/bench (and build/bench-old for --against).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
against=""
if [ "${1:-}" = "--against" ]; then against=${2:?usage: bench.sh [--against REV]}; fi

bash "$root/scripts/deps.sh" bench >/dev/null
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRELAYDECK_BUILD_BENCH=ON \
    -DRELAYDECK_BUILD_TESTS=OFF >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
ninja -C "$build" -j2 controller_bench relaydeck-replay relaydeck-traffic \
    $(grep -q '^build ui_latency_bench' "$build/build.ninja" && echo ui_latency_bench relaydeck) \
    >"$build.build.log" 2>&1 || { tail -30 "$build.build.log"; exit 1; }
bin="$build/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/relaydeck-traffic" --days 1 --seed 1 >"$work/day.scn"
"$bin/relaydeck-traffic" --days 30 --seed 1 >"$work/month.scn"

# A field "name=value" of a Google Benchmark line.
field() { grep "^$1" "$work/bench.txt" | grep -o "$2=[^ ]*" | head -1 | cut -d= -f2; }
# A column (1-based, after the name) of a Google Benchmark line.
column() { grep "^$1" "$work/bench.txt" | awk -v c="$2" '{print $(c + 1), $(c + 2)}' | head -1; }

"$bin/controller_bench" --benchmark_repetitions=1 >"$work/bench.txt" 2>/dev/null

qt="(not built: no Qt)"
if [ -x "$bin/ui_latency_bench" ]; then
    line=$(QT_QPA_PLATFORM=offscreen "$bin/ui_latency_bench" 5000 2>/dev/null | grep '^event_to_setptt_qt')
    qt="$(echo "$line" | awk '{print $3}') / $(echo "$line" | awk '{print $5}') us"
fi

peak() {  # peak resident memory of a replay, in MB
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f %M "$bin/relaydeck-replay" "$1" 2>&1 >/dev/null | tail -1 |
            awk '{printf "%.1f MB", $1 / 1024}'
    else
        echo "n/a (no GNU time)"
    fi
}

idle="(not built: no Qt)"
if [ -x "$bin/relaydeck" ]; then
    # The program started by itself (automatic start), idle on an offscreen display.
    printf '[SETTINGS]\r\nSTARTUP=1\r\n' >"$bin/relaydeck.ini"
    QT_QPA_PLATFORM=offscreen "$bin/relaydeck" >/dev/null 2>&1 &
    pid=$!
    sleep 6
    # Processor time of every thread over 30 s: perf's task clock counts it to the
    # microsecond; the kernel's tick counts of /proc (10 ms each, 0.033 % of 30 s) are
    # the fallback where perf cannot watch the process.
    busy_ms=""
    if command -v perf >/dev/null; then
        busy_ms=$(perf stat -x, -e task-clock -p "$pid" -- sleep 30 2>&1 >/dev/null |
            awk -F, '$3 ~ /^task-clock/ {print $1}' | head -1)
        [[ "$busy_ms" =~ ^[0-9.]+$ ]] || busy_ms=""
        seconds=30
    fi
    if [ -z "$busy_ms" ]; then
        ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
        t0=$(ticks); s0=$(date +%s.%N)
        sleep 30
        t1=$(ticks); s1=$(date +%s.%N)
        hz=$(getconf CLK_TCK)
        busy_ms=$(awk -v a="$t0" -v b="$t1" -v hz="$hz" 'BEGIN {print 1000 * (b - a) / hz}')
        seconds=$(awk -v s="$s0" -v e="$s1" 'BEGIN {print e - s}')
    fi
    rss=$(awk '/^VmRSS/ {printf "%.1f MB", $2 / 1024}' "/proc/$pid/status")
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -f "$bin/relaydeck.ini"
    idle=$(awk -v b="$busy_ms" -v s="$seconds" \
        'BEGIN {printf "%.3f %% of a core", 100 * b / 1000 / s}')", $rss"
fi

startup="(not built: no Qt)"
if [ -x "$bin/relaydeck" ]; then startup=$(bash "$root/scripts/startup-time.sh" "$bin/relaydeck" 7); fi

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo
echo "Relaydeck benchmarks — $cpu, $(nproc) cores, $(date -u +%Y-%m-%d)"
echo
printf '| %-72s | %-28s |\n' "measure" "figure"
printf '|%s|%s|\n' "$(printf -- '-%.0s' {1..74})" "$(printf -- '-%.0s' {1..30})"
row() { printf '| %-72s | %-28s |\n' "$1" "$2"; }
row "CarrierDetect to SetPTT, controller alone (p50 / p99)" \
    "$(field BM_CarrierToSetPTT p50_us) / $(field BM_CarrierToSetPTT p99_us) us"
row "CarrierDetect to SetPTT via the Qt event loop, windows shown (p50 / p99)" "$qt"
row "count-down step (read the display, subtract one, write it)" "$(column BM_CountDownStep 1)"
row "one second of the running program (every timer that ticks)" "$(column BM_IdleSecond 1)"
row "replay of a generated busy day" \
    "$(column BM_ReplayBusyDay 1), $(field BM_ReplayBusyDay realtime_x | sed 's|/s||')× real time"
row "replay of a generated month" \
    "$(column BM_ReplayMonth 1), $(field BM_ReplayMonth realtime_x | sed 's|/s||')× real time"
row "peak memory, replay of the day / of the month" "$(peak "$work/day.scn") / $(peak "$work/month.scn")"
row "idle program (automatic start, offscreen, 30 s)" "$idle"
row "start of the program to its first window (fresh settings, Xvfb)" "$startup"

if [ -n "$against" ]; then
    old="$root/build/bench-old"
    if [ ! -d "$old/src" ]; then git -C "$root" worktree add --detach "$old/src" "$against" >/dev/null; fi
    git -C "$old/src" checkout -q --detach "$against"
    cmake -S "$old/src" -B "$old/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRELAYDECK_BUILD_UI=OFF \
        -DRELAYDECK_BUILD_TESTS=OFF >"$old/configure.log" 2>&1 || { tail "$old/configure.log"; exit 1; }
    ninja -C "$old/build" -j2 relaydeck-replay >"$old/build.log" 2>&1 || { tail "$old/build.log"; exit 1; }
    best() {  # the best of three user+system times, in seconds
        for _ in 1 2 3; do
            /usr/bin/time -f '%U %S' "$1" "$work/month.scn" 2>&1 >"$2" | tail -1 | awk '{print $1 + $2}'
        done | sort -n | head -1
    }
    now=$(best "$bin/relaydeck-replay" "$work/month-now.out")
    then_=$(best "$old/build/bin/relaydeck-replay" "$work/month-old.out")
    echo
    if cmp -s "$work/month-now.out" "$work/month-old.out"; then
        echo "month replayed by $against and by this tree: identical output ($(wc -c <"$work/month-now.out") bytes)"
    else
        echo "month replayed by $against and by this tree: OUTPUT DIFFERS"
    fi
    awk -v a="$then_" -v b="$now" 'BEGIN {
        printf "CPU time: %.2f s at %s, %.2f s now: %.1f× faster; %.2fM× real time now\n",
               a, "'"$against"'", b, a / b, 2592000 / b / 1e6 }'
fi
