#!/usr/bin/env bash
# What relaydeck-guard.exe costs while it waits, under Wine on a private Xvfb display:
#   guard-idle.sh [seconds] [windows-build-dir] [e2e-work-dir]
#       defaults: 60, build/windows, build/e2e (its helpers/link_standin.exe is the link
#       program; tests/e2e/run.sh builds it)
# Two states, each over the given time: the guard watching a running relaydeck.exe (it waits
# on the process handle), and the guard waiting for the link program after it closed (it
# looks for the process every 5 s). Processor time is perf's task clock of all the guard's
# threads; memory is the guard's Unix process: resident, and its private pages alone
# (what it adds, beside the Wine libraries every Windows program shares).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build=${2:-$repo/build/windows}
helpers=${3:-$repo/build/e2e}/helpers
bash "$repo/scripts/build-windows.sh" "$build" >/dev/null
[ -f "$helpers/link_standin.exe" ] || { echo "guard-idle.sh: run tests/e2e/run.sh first" >&2; exit 1; }
command -v perf >/dev/null || { echo "guard-idle.sh: needs perf (linux-perf)" >&2; exit 1; }

work=$repo/build/guard-bench
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
cleanup() {
    timeout 30 wineserver -k </dev/null >/dev/null 2>&1 || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
[ -d "$WINEPREFIX" ] && { timeout 30 wineserver -k </dev/null >/dev/null 2>&1 || true; }
rm -rf "$work"
mkdir -p "$work/app" "$work/standin"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" </dev/null \
    >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
openbox --sm-disable </dev/null >/dev/null 2>&1 &
pids+=($!)
wine wineboot -i </dev/null >/dev/null 2>&1
timeout 60 wineserver -w </dev/null >/dev/null 2>&1 || true

winpath() { printf 'Z:%s' "${1//\//\\}"; }
cp "$build/bin/relaydeck.exe" "$build/bin/relaydeck-guard.exe" "$work/app/"
cp "$helpers/link_standin.exe" "$work/standin/"
printf '[SETTINGS]\r\nSTARTUP=1\r\n[RELAYDECK]\r\nGUARDED=1\r\n' >"$work/app/relaydeck.ini"
calls=$work/standin/calls.log
control=$work/standin/control.txt
: >"$control"
wine "$work/standin/link_standin.exe" /RegServer /log "$(winpath "$calls")" \
    /control "$(winpath "$control")" </dev/null >/dev/null 2>&1
wine "$work/standin/link_standin.exe" /log "$(winpath "$calls")" /control "$(winpath "$control")" \
    </dev/null >/dev/null 2>&1 &
sleep 3
wine "$work/app/relaydeck-guard.exe" --start-now </dev/null >/dev/null 2>&1 &
guard=$!
for _ in $(seq 600); do grep -q 'SetControlMode(-1)' "$calls" 2>/dev/null && break; sleep 0.1; done
grep -q 'SetControlMode(-1)' "$calls" || { echo "guard-idle.sh: relaydeck.exe did not start" >&2; exit 1; }
sleep 5

measure() {  # what
    local ms rss uss
    ms=$(perf stat -x, -e task-clock -p "$guard" -- sleep "$seconds" 2>&1 >/dev/null |
         awk -F, '/task-clock/ { print $1; exit }')
    rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$guard/status")
    uss=$(awk '/^Private_(Clean|Dirty)/ { s += $2 } END { print s }' "/proc/$guard/smaps_rollup")
    awk -v what="$1" -v ms="$ms" -v s="$seconds" -v rss="$rss" -v uss="$uss" 'BEGIN {
        printf "| %s | %.4f %% of a core (%.1f ms in %d s) | %.1f MB resident, %.1f MB private |\n",
               what, 100 * ms / (s * 1000), ms, s, rss / 1024, uss / 1024 }'
}
echo "| guard state | processor | memory |"
echo "|---|---|---|"
measure "watching relaydeck.exe"
printf 'closing\n' >>"$control"
sleep 2
printf 'quit\n' >>"$control"
sleep 5
measure "waiting for the link program"
