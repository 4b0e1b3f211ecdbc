#!/usr/bin/env bash
# Times the start of the program to its first window: on a private X display (Xvfb), each
# run starts a copy of the program alone in an empty folder (so with fresh settings) and
# polls the display every few milliseconds until a top-level window of it is mapped.
# Prints "MEDIAN ms (median of N; MIN to MAX)". Real clock: it varies with the load.
#   scripts/startup-time.sh PROGRAM [RUNS]        RUNS: 7 by default
set -euo pipefail
program=${1:?usage: startup-time.sh PROGRAM [RUNS]}
runs=${2:-7}
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "(no $tool: scripts/deps.sh bench installs it)"; exit 0; }
done

work=$(mktemp -d)
xvfb=""
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes the number of the display it took once it is ready. -noreset: without it
# the server starts over each time its last client leaves, and a program that connects
# meanwhile is refused.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "(Xvfb did not start)"; exit 0; }
export DISPLAY=":$(head -1 "$work/display")"
export QT_QPA_PLATFORM=xcb

now_ns() { date +%s%N; }
times=()
for run in $(seq "$runs"); do
    folder="$work/run$run"
    mkdir "$folder"
    cp "$program" "$folder/"
    start=$(now_ns)
    "$folder/$(basename "$program")" >"$folder/output.log" 2>&1 &
    pid=$!
    shown=""
    while [ -z "$shown" ] && kill -0 "$pid" 2>/dev/null; do
        if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
            shown=$(now_ns)
        elif [ $(($(now_ns) - start)) -gt 20000000000 ]; then
            break
        else
            sleep 0.002
        fi
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if [ -n "$shown" ]; then
        times+=($(((shown - start) / 1000000)))
    else
        echo "run $run: no window; the program said:" >&2
        tail -5 "$folder/output.log" >&2
    fi
done
[ ${#times[@]} -gt 0 ] || { echo "(no window came up)"; exit 0; }
printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 }
    END { printf "%d ms (median of %d; %d to %d)\n", v[int((NR + 1) / 2)], NR, v[1], v[NR] }'
