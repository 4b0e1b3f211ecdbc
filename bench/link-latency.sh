#!/usr/bin/env bash
# Carrier to SetPTT under Wine: relaydeck.exe against a minimal client, both facing the
# link program's stand-in in its own process. The stand-in's log times both ends: from
# "raise CarrierDetect(-1)" to the client's "call SetPTT(-1)". Each client is started
# RUNS times and keys OVERS overs a run, so that every run's first over is in the figures.
#   link-latency.sh [work-dir [windows-build-dir]]    (RUNS=5 OVERS=5 by default)
# Prints the medians (all overs, first overs only) and their ratio. Never part of CTest.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
work=${1:-$repo/build/bench-latency}
mkdir -p "$work"
work=$(cd "$work" && pwd)
windows=${2:-$repo/build/windows}
runs=${RUNS:-5}
overs=${OVERS:-5}

cmake -S "$repo/tests/e2e" -B "$work/helpers" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/tests/link/win/mingw-toolchain.cmake" >"$work/build.log" 2>&1 &&
    cmake --build "$work/helpers" -j2 >>"$work/build.log" 2>&1 &&
    bash "$repo/scripts/build-windows.sh" "$windows" >>"$work/build.log" 2>&1 ||
    { tail -n 20 "$work/build.log"; exit 1; }

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
short=$(mktemp -d /tmp/rdbench.XXXXXX)
pids=()
cleanup() {
    timeout 30 wineserver -k >/dev/null 2>&1
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    rm -rf "$short"
}
trap cleanup EXIT
rm -rf "$work/run" "$WINEPREFIX"
mkdir -p "$work/run"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/run/display" </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/run/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/run/display")
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
timeout 300 "$wine" wineboot -i >/dev/null 2>&1
timeout 60 "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
timeout 60 wineserver -w

cp "$work/helpers/link_standin.exe" "$work/helpers/minimal_client.exe" "$windows/bin/relaydeck.exe" \
    "$work/run/"
printf '[SETTINGS]\r\nSTARTUP=1\r\nHANGTIME=1\r\nSPEECHINTERVAL=0\r\n' >"$work/run/relaydeck.ini"
ln -s "$work/run" "$short/r"
calls=$short/r/calls.log
control=$short/r/control.txt
: >"$control"
: >"$calls"
"$wine" "$short/r/link_standin.exe" /RegServer /log "Z:${calls//\//\\}" /control "Z:${control//\//\\}" \
    >/dev/null
ask() { printf '%s\n' "$*" >>"$control"; }
lines() { grep -c "$1" "$calls"; }
wait_count() {  # pattern count seconds
    local tries=$(($3 * 20))
    while [ "$(lines "$1")" -lt "$2" ] && [ $tries -gt 0 ]; do sleep 0.05; tries=$((tries - 1)); done
}

one_run() {  # label command...
    local label=$1 advises keys unkeys
    shift
    advises=$(lines " advise ")
    "$wine" "$@" </dev/null >/dev/null 2>&1 &
    local pid=$!
    wait_count " advise " $((advises + 1)) 60
    # Past the start-up (the startup dialog hides, the main window shows) before the first over.
    sleep 5
    ask "mark run $label"
    for over in $(seq "$overs"); do
        keys=$(lines "call SetPTT(-1)")
        unkeys=$(lines "call SetPTT(0)")
        ask "mark over $label $over"
        ask "carrier 1"
        wait_count "call SetPTT(-1)" $((keys + 1)) 10
        sleep 3
        ask "carrier 0"
        wait_count "call SetPTT(0)" $((unkeys + 1)) 15
        sleep 0.5
    done
    local ended
    ended=$(lines " ended$")
    ask "closing"
    sleep 1
    kill "$pid" 2>/dev/null
    ask "quit"
    wait_count " ended$" $((ended + 1)) 20
    sleep 1
}

for run in $(seq "$runs"); do
    one_run minimal "$short/r/minimal_client.exe" $((overs * 6 + 10))
    one_run relaydeck "$short/r/relaydeck.exe"
done

awk '
    / mark over / { label = $4; over = $5; raised = -1; next }
    / raise CarrierDetect\(-1\)/ { raised = $1; next }
    / call SetPTT\(-1\)/ && raised >= 0 {
        d = $1 - raised; raised = -1
        n[label]++; all[label, n[label]] = d
        if (over == 1) { f[label]++; first[label, f[label]] = d }
    }
    function median(arr, label, count,    i, j, t, v) {
        for (i = 1; i <= count; i++) v[i] = arr[label, i]
        for (i = 1; i <= count; i++) for (j = i + 1; j <= count; j++)
            if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
        return count % 2 ? v[(count + 1) / 2] : (v[count / 2] + v[count / 2 + 1]) / 2
    }
    END {
        for (l in n) {
            m[l] = median(all, l, n[l]); mf[l] = median(first, l, f[l])
            printf "%-10s carrier to SetPTT: median %.2f ms over %d overs; first overs %.2f ms (%d)\n",
                l, m[l], n[l], mf[l], f[l]
        }
        if (m["minimal"] > 0)
            printf "ratio relaydeck/minimal: %.2f (all overs), %.2f (first overs)\n",
                m["relaydeck"] / m["minimal"], mf["relaydeck"] / mf["minimal"]
    }' "$calls"
