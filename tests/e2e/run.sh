#!/usr/bin/env bash
# The Windows program end to end under Wine: relaydeck.exe against a stand-in for the link
# program that runs as its own COM server process, on a private Xvfb display with openbox.
#   run.sh [work-dir [windows-build-dir]]
#       work-dir: default <repo>/build/e2e; windows-build-dir: where scripts/build-windows.sh
#       builds relaydeck.exe (default <work-dir>/windows; an up-to-date one is not rebuilt)
# RELAYDECK_EXE=path uses that relaydeck.exe instead of building one.
# Exit codes: 0 passed, 1 failed, 77 Wine is not usable here (skipped).
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=${1:-$repo/build/e2e}
mkdir -p "$work"
work=$(cd "$work" && pwd)
windows=${2:-$work/windows}
started=$SECONDS

note() { echo "== [$((SECONDS - started))s] $*"; }
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# ---- building -------------------------------------------------------------------------------
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
note "cross-compiling the stand-in and its helpers into $work/helpers"
if ! cmake -S "$here" -B "$work/helpers" "${generator[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$repo/tests/link/win/mingw-toolchain.cmake" </dev/null \
        >"$work/helpers.log" 2>&1 ||
   ! cmake --build "$work/helpers" -j2 </dev/null >>"$work/helpers.log" 2>&1; then
    tail -n 30 "$work/helpers.log" >&2
    echo "run.sh: building the helpers failed" >&2
    exit 1
fi
exe=${RELAYDECK_EXE:-}
if [ -z "$exe" ]; then
    note "cross-compiling relaydeck.exe into $windows"
    if ! bash "$repo/scripts/build-windows.sh" "$windows" </dev/null >"$work/windows.log" 2>&1; then
        tail -n 30 "$work/windows.log" >&2
        echo "run.sh: building relaydeck.exe failed" >&2
        exit 1
    fi
    exe=$windows/bin/relaydeck.exe
fi
if [ ! -f "$exe" ]; then
    echo "run.sh: $exe does not exist" >&2
    exit 1
fi

wine=""
for candidate in wine64 wine /usr/lib/wine/wine64; do
    if command -v "$candidate" >/dev/null 2>&1; then
        wine=$(command -v "$candidate")
        break
    fi
done
if [ -z "$wine" ]; then
    echo "run.sh: SKIPPED - no wine64/wine found; the cross builds succeeded" >&2
    exit 77
fi
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "run.sh: Xvfb is missing (scripts/deps.sh test installs it)" >&2
    exit 1
fi

# ---- display, window manager, prefix --------------------------------------------------------
run=$work/run
export WINEPREFIX=$run/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
xvfb_pid=""
openbox_pid=""
app_pid=""

short_dir=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$short_dir" ] && rm -rf "$short_dir"
    [ -n "${guard_pid:-}" ] && kill "$guard_pid" 2>/dev/null
    if command -v wineserver >/dev/null 2>&1 && [ -d "$WINEPREFIX" ]; then
        timeout 30 wineserver -k </dev/null >/dev/null 2>&1
        timeout 30 wineserver -w </dev/null >/dev/null 2>&1
    fi
    [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

if [ -d "$WINEPREFIX" ]; then
    timeout 30 wineserver -k </dev/null >/dev/null 2>&1
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1
fi
rm -rf "$run"
mkdir -p "$run/app" "$run/standin"

displayfile=$run/display
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" </dev/null \
    >"$run/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
done
if [ ! -s "$displayfile" ]; then
    echo "run.sh: Xvfb did not start; see $run/xvfb.log" >&2
    exit 1
fi
export DISPLAY=:$(head -n 1 "$displayfile")
note "Xvfb on $DISPLAY"

if command -v openbox >/dev/null 2>&1; then
    openbox --sm-disable </dev/null >"$run/openbox.log" 2>&1 &
    openbox_pid=$!
    unmanaged=no
else
    echo "run.sh: no openbox: Wine's windows are made unmanaged instead (scripts/deps.sh test installs it)"
    unmanaged=yes
fi

# Every step runs with DISPLAY set: a Wine session started without one keeps no desktop.
note "preparing $WINEPREFIX"
if ! timeout 300 "$wine" wineboot -i </dev/null >"$run/wineboot.log" 2>&1; then
    echo "run.sh: SKIPPED - wine could not initialise its prefix; see $run/wineboot.log:" >&2
    tail -n 20 "$run/wineboot.log" >&2
    exit 77
fi
reg() { timeout 60 "$wine" reg add "$@" /f </dev/null >>"$run/reg.log" 2>&1; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
[ "$unmanaged" = yes ] && reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
# Local COM servers misbehave in the session wineboot started: a client's CoCreateInstance
# never returned although the server had registered its class, and a second client started
# a second server process. End that session; the next step starts a fresh one.
timeout 60 wineserver -w </dev/null >/dev/null 2>&1 || timeout 30 wineserver -k </dev/null
note "prefix ready"

winpath() { printf 'Z:%s' "${1//\//\\}"; }

cp "$exe" "$run/app/relaydeck.exe"
printf '[SETTINGS]\r\nSTARTUP=1\r\n' >"$run/app/relaydeck.ini"
cp "$work/helpers/link_standin.exe" "$work/helpers/standin_probe.exe" "$work/helpers/boxes.exe" \
    "$run/standin/"
# Wine reads a LocalServer32 command line into 260 characters: the stand-in is registered
# through a short link to its folder, so that the test passes wherever the checkout is.
short_dir=$(mktemp -d /tmp/rde2e.XXXXXX)
ln -s "$run/standin" "$short_dir/s"
standin=$short_dir/s
boxes() { timeout 120 "$wine" "$standin/boxes.exe" "$@" </dev/null | tr -d '\r'; }
# Whether process $2 ends within $1 seconds (looked at every 50 ms).
ends_within() {
    local tries=$(($1 * 20))
    while [ "$tries" -gt 0 ]; do
        kill -0 "$2" 2>/dev/null || return 0
        sleep 0.05
        tries=$((tries - 1))
    done
    return 1
}

# ---- 1: no link program registered ----------------------------------------------------------
note "relaydeck.exe with no link program registered"
"$wine" "$run/app/relaydeck.exe" </dev/null >"$run/app-unregistered.log" 2>&1 &
app_pid=$!
box=$(boxes answer 60)
if [ -z "$box" ]; then
    fail "no message box appeared when the link program is not registered"
else
    echo "   box: $box"
    [[ "$box" == *"not registered"* ]] || fail "the failure box does not say what failed: $box"
fi
if ends_within 20 "$app_pid"; then
    wait "$app_pid"
    status=$?
    note "the program ended after its failure box (exit code $status)"
    # 2: the link program could not be reached (README, "Exit status").
    [ "$status" -eq 2 ] || fail "exit code $status after 'not registered', expected 2"
else
    fail "the program did not end after its failure box was answered"
    kill "$app_pid" 2>/dev/null
fi
app_pid=""

# ---- 2: the stand-in proven with the binding alone ------------------------------------------
register() {
    timeout 60 "$wine" "$standin/link_standin.exe" /RegServer /log "$(winpath "$1")" \
        /control "$(winpath "$2")" </dev/null
}
note "the stand-in against the binding alone"
: >"$standin/probe-control.txt"
if ! register "$standin/probe-calls.log" "$standin/probe-control.txt"; then
    echo "run.sh: registering the stand-in failed" >&2
    exit 1
fi
# Which marshaller the type library's registration chose for each interface.
for iid in '{7733112C-4577-4432-9DB0-A9398184EAF6}' '{ACD8531B-B0CE-4F14-9405-6AB8AC5C9EFA}' \
           '{6F55F7AF-8DA6-400F-96EB-C371F0311611}'; do
    proxy=$(timeout 60 "$wine" reg query "HKCR\\Interface\\$iid\\ProxyStubClsid32" </dev/null 2>/dev/null |
            tr -d '\r' | grep REG_SZ | grep -o '{[0-9A-Fa-f-]*}' | tail -n 1)
    echo "   interface $iid: proxy/stub ${proxy:-none}"
    [ -n "$proxy" ] || fail "the type library did not register interface $iid"
done
if ! timeout 120 "$wine" "$standin/standin_probe.exe" "$(winpath "$standin/probe-control.txt")" \
        "$(winpath "$standin/probe-calls.log")" </dev/null; then
    fail "the stand-in's own check failed; see $standin/probe-calls.log"
fi

# ---- 3: relaydeck.exe against the stand-in --------------------------------------------------
calls=$standin/calls.log
control=$standin/control.txt
: >"$control"
if ! register "$calls" "$control"; then
    echo "run.sh: registering the stand-in failed" >&2
    exit 1
fi
ask() { printf '%s\n' "$*" >>"$control"; }

# The time of the first record at or after time $1 that starts with $2 (empty when none).
first_after() {
    awk -v after="$1" -v text="$2" '
        { t = $1 + 0; rest = substr($0, index($0, " ") + 1) }
        t >= after && index(rest, text) == 1 { print $1; exit }' "$calls" 2>/dev/null
}
# Waits up to $3 seconds for a record at or after $1 starting with $2; prints its time.
wait_for() {
    local deadline=$((SECONDS + $3)) found
    while :; do
        found=$(first_after "$1" "$2")
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}
# Succeeds when $1 <= $2 - $3 <= $4 (milliseconds); prints the difference.
between() {
    awk -v lo="$1" -v t="$2" -v from="$3" -v hi="$4" \
        'BEGIN { d = t - from; printf "%.0f", d; exit !(d >= lo && d <= hi) }'
}

note "relaydeck.exe with STARTUP=1 against the stand-in"
"$wine" "$run/app/relaydeck.exe" </dev/null >"$run/app.log" 2>&1 &
app_pid=$!

check_timing() {  # name lo hi time from
    local d
    if d=$(between "$2" "$4" "$5" "$3"); then
        echo "   $1: ${d} ms"
        timings+=("$1=${d}ms")
    else
        fail "$1 took ${d} ms, outside $2..$3 ms"
    fi
}
timings=()

over_checks() {
    # The main window's reference: the only one connected to the events.
    local main_number first_call advises
    main_number=$(awk '$3 == "advise" { print $2; exit }' "$calls")
    advises=$(awk '$3 == "advise"' "$calls" | wc -l)
    [ "$advises" -eq 1 ] || fail "expected one connection to the events, saw $advises"
    first_call=$(awk -v n="$main_number" '$2 == n && $3 == "call" {
                     print substr($0, index($0, " call ") + 6); exit }' "$calls")
    [ "$first_call" = "SetControlMode(-1)" ] ||
        fail "the main window's first call was '$first_call', not SetControlMode(-1)"

    # A local over.
    local key ptt drop k early closedown
    ask "carrier 1"
    key=$(wait_for 0 "raise CarrierDetect(-1)" 10) || { fail "CarrierDetect was not raised"; return; }
    ptt=$(wait_for "$key" "$main_number call SetPTT(-1)" 10) ||
        { fail "no SetPTT(True) after the carrier came"; return; }
    check_timing "SetPTT(True) after the carrier came" 0 2000 "$ptt" "$key"
    wait_for "$ptt" "raise PTT(-1) to 1 sink(s)" 10 >/dev/null ||
        fail "the stand-in did not raise PTT after SetPTT(True)"
    sleep 1.5
    ask "carrier 0"
    drop=$(wait_for "$key" "raise CarrierDetect(0)" 10) || { fail "the carrier did not drop"; return; }
    k=$(wait_for "$drop" "$main_number call SendCW(0, \"K\")" 10) ||
        { fail "no SendCW(False, \"K\") after the carrier dropped"; return; }
    check_timing "K after the carrier dropped" 700 3000 "$k" "$drop"
    early=$(first_after "$drop" "$main_number call SetPTT(0)")
    if [ -n "$early" ] && awk -v a="$early" -v b="$k" 'BEGIN { exit !(a < b) }'; then
        fail "the transmitter was unkeyed before the courtesy tone"
    fi
    closedown=$(wait_for "$k" "$main_number call SetPTT(0)" 15) ||
        { fail "no SetPTT(False) after the hang time"; return; }
    check_timing "SetPTT(False) after K" 4500 10000 "$closedown" "$k"

    # An Internet over.
    local rx rxptt rxend r
    ask "rx 1"
    rx=$(wait_for "$closedown" "raise RX(-1)" 10) || { fail "RX was not raised"; return; }
    rxptt=$(wait_for "$rx" "$main_number call SetPTT(-1)" 10) ||
        { fail "no SetPTT(True) for Internet audio"; return; }
    check_timing "SetPTT(True) after Internet audio began" 0 2000 "$rxptt" "$rx"
    sleep 1.5
    ask "rx 0"
    rxend=$(wait_for "$rx" "raise RX(0)" 10) || { fail "RX(False) was not raised"; return; }
    r=$(wait_for "$rxend" "$main_number call SendCW(0, \"R\")" 10) ||
        { fail "no SendCW(False, \"R\") after Internet audio ended"; return; }
    check_timing "R after Internet audio ended" 0 1000 "$r" "$rxend"

    # Closing the window asks first; while the question is up, events and timers go on.
    boxes close "Relaydeck v1.1 - N0CALL-R" >/dev/null || { fail "the main window is gone"; return; }
    local question="" asked hold release k2
    for _ in $(seq 40); do
        question=$(boxes list | grep -F 'Exit Program')
        [ -n "$question" ] && break
        sleep 0.25
    done
    [ "$question" = $'Exit Program\tQuit Relaydeck - Are You Sure ?' ] ||
        { fail "closing the window did not ask 'Quit Relaydeck - Are You Sure ?': '$question'"; return; }
    asked=$(tail -n 1 "$calls" | awk '{ print $1 }')
    ask "carrier 1"
    hold=$(wait_for "$asked" "raise CarrierDetect(-1)" 10) || { fail "CarrierDetect was not raised"; return; }
    wait_for "$hold" "$main_number call SetPTT(-1)" 10 >/dev/null ||
        fail "no SetPTT(True) for a carrier that came while the question was up"
    sleep 1
    ask "carrier 0"
    release=$(wait_for "$hold" "raise CarrierDetect(0)" 10) || { fail "the carrier did not drop"; return; }
    k2=$(wait_for "$release" "$main_number call SendCW(0, \"K\")" 10) ||
        { fail "no courtesy tone while the question was up"; return; }
    check_timing "K while the question was up" 700 3000 "$k2" "$release"
    boxes list | grep -qF 'Exit Program' || fail "the question went away by itself"
    boxes answer 10 no >/dev/null || fail "the question could not be answered"
    sleep 1
    kill -0 "$app_pid" 2>/dev/null || fail "answering No ended the program"
    boxes list | grep -qF 'Exit Program' && fail "the question stayed up after No"
}

# ---- the link program stops answering 10 s in the middle of an over -------------------------
# Seconds since the epoch with milliseconds, for times measured on this side.
now_s() { date +%s.%N | cut -c1-14; }
hang_checks() {
    local main_number key armed hung_at title seen_s hang_s end closedown
    main_number=$(awk '$3 == "advise" { print $2; exit }' "$calls")
    ask "carrier 1"
    key=$(tail -n 1 "$calls" | awk '{ print $1 }')
    key=$(wait_for "$key" "$main_number call SetPTT(-1)" 10) || { fail "no SetPTT(True) before the hang"; return; }
    sleep 1
    ask "hang 10"
    armed=$(wait_for "$key" "hang armed" 10) || { fail "the stand-in did not arm its hang"; return; }
    ask "carrier 0"
    # The courtesy tone is the call that waits.
    for _ in $(seq 100); do
        hung_at=$(first_after "$armed" "hang begins")
        [ -n "$hung_at" ] && break
        sleep 0.05
    done
    [ -n "$hung_at" ] || { fail "no call reached the stand-in while its hang was armed"; return; }
    hang_s=$(now_s)
    title=""
    for _ in $(seq 40); do
        title=$(boxes responds "Relaydeck v1.1 - N0CALL-R")
        [[ "$title" == *"EchoLink not answering for"* ]] && break
        sleep 0.1
    done
    seen_s=$(now_s)
    if [[ "$title" == *"EchoLink not answering for"* ]]; then
        local seen_ms
        seen_ms=$(awk -v a="$hang_s" -v b="$seen_s" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
        echo "   title ${seen_ms} ms into the hang: $title"
        timings+=("not-answering title=${seen_ms}ms")
        [ "$seen_ms" -le 2500 ] || fail "the title said it ${seen_ms} ms into the hang, not within 2 s"
    else
        fail "the window did not say that EchoLink does not answer: '$title'"
    fi
    sleep 3
    title=$(boxes responds "Relaydeck v1.1 - N0CALL-R") ||
        fail "the window's thread did not answer 5 s into the hang"
    [[ "$title" =~ not\ answering\ for\ [3-9]\ s ]] || fail "the waited time did not go on: '$title'"
    end=$(wait_for "$hung_at" "hang ends" 15) || { fail "the stand-in's hang did not end"; return; }
    closedown=$(wait_for "$end" "$main_number call SetPTT(0)" 15) ||
        { fail "the over did not end after the hang"; return; }
    check_timing "SetPTT(False) after the hang ended" 3000 10000 "$closedown" "$end"
    sleep 0.5
    title=$(boxes responds "Relaydeck v1.1 - N0CALL-R")
    [ "$title" = "Relaydeck v1.1 - N0CALL-R" ] || fail "the title was not restored: '$title'"
    local courtesies
    courtesies=$(awk -v from="$armed" '$1 >= from && index($0, "call SendCW(0, \"K\")")' "$calls" | wc -l)
    [ "$courtesies" -eq 1 ] || fail "the courtesy tone reached the stand-in $courtesies times"
    local logged
    logged=$(grep -h "link-not-answering" "$run/app"/relaydeck-activity-*.csv 2>/dev/null | tail -n 1)
    echo "   activity: $logged"
    [ -n "$logged" ] || fail "the activity log has no link-not-answering record"
}

# ---- leaving while the link program does not answer -----------------------------------------
# Run after Closing: a new relaydeck.exe keys, the stand-in stops answering for 20 s, and the
# operator closes the window: the question comes, and Yes ends the program at once. The
# step then waits for the stand-in to answer again and ends it, as Closing left it.
leave_while_hung() {
    local advises start_line
    advises=$(grep -c " advise " "$calls")
    start_line=$(wc -l <"$calls")
    # Line-numbered waits: a server started meanwhile logs on a clock of its own.
    after_line() {  # text seconds
        local tries=$(($2 * 20))
        while [ "$tries" -gt 0 ]; do
            awk -v from="$start_line" -v text="$1" 'NR > from && index($0, text) { f = 1 }
                END { exit !f }' "$calls" && return 0
            sleep 0.05
            tries=$((tries - 1))
        done
        return 1
    }
    "$wine" "$run/app/relaydeck.exe" </dev/null >"$run/app-leave.log" 2>&1 &
    app_pid=$!
    for _ in $(seq 600); do
        [ "$(grep -c " advise " "$calls")" -gt "$advises" ] && break
        sleep 0.05
    done
    # The start-up's calls are over once the title names the station.
    for _ in $(seq 100); do
        boxes responds "Relaydeck v1.1 - N0CALL-R" >/dev/null && break
        sleep 0.2
    done
    sleep 2
    ask "hang 20"
    ask "carrier 1"
    after_line "hang begins" 10 || { fail "no call waited on the stand-in"; return; }
    sleep 2
    boxes close-prefixed "Relaydeck v1.1 - N0CALL-R" >/dev/null || { fail "no main window to close"; return; }
    local question=""
    for _ in $(seq 40); do
        question=$(boxes list | grep -F 'Exit Program')
        [ -n "$question" ] && break
        sleep 0.25
    done
    [ -n "$question" ] || { fail "closing the window while EchoLink does not answer asked nothing"; return; }
    boxes answer 10 yes >/dev/null
    if ends_within 10 "$app_pid"; then
        note "the program ended while EchoLink did not answer"
    else
        fail "the program did not end within 10 s while EchoLink did not answer"
        kill "$app_pid" 2>/dev/null
    fi
    app_pid=""
    grep -h "could not be released" "$run/app"/relaydeck-activity-*.csv 2>/dev/null | tail -n 1 |
        sed 's/^/   activity: /'
    # The next steps begin with no link program running, as after Closing.
    after_line "hang ends" 40 || fail "the stand-in's hang did not end"
    ask "quit"
    after_line "ended" 30 || fail "the stand-in did not end after the hang"
    sleep 1
}

main_advise=""
for _ in $(seq 600); do
    main_advise=$(awk '$3 == "advise" { print $1; exit }' "$calls" 2>/dev/null)
    [ -n "$main_advise" ] && break
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.05
done
if [ -n "$main_advise" ]; then
    note "the main window is connected"
    sleep 0.5
    # The callsign read across processes reaches the window's title.
    title=""
    for _ in $(seq 20); do
        title=$(boxes windows | grep -x 'Relaydeck v1.1 - N0CALL-R')
        [ -n "$title" ] && break
        sleep 0.5
    done
    [ -n "$title" ] || fail "no window titled 'Relaydeck v1.1 - N0CALL-R'; seen: $(boxes windows | tr '\n' '|')"
    over_checks
    note "the link program stops answering mid-over"
    hang_checks
else
    fail "relaydeck.exe never connected to the stand-in's events; see $calls"
fi

note "Closing"
closing_ns=$(date +%s%N)
ask "closing"
if ends_within 30 "$app_pid"; then
    wait "$app_pid"
    status=$?
    exit_ms=$(( ($(date +%s%N) - closing_ns) / 1000000 ))
    timings+=("exit after Closing asked=${exit_ms}ms")
    note "the program ended on Closing (exit code $status) ${exit_ms} ms after it was asked"
    # 4: the link program closed (README, "Exit status").
    [ "$status" -eq 4 ] || fail "exit code $status after Closing, expected 4"
    closing=$(first_after 0 "raise Closing to 1 sink(s)")
    [ -n "$closing" ] || fail "Closing was not raised to the program's one sink"
    # Ending the program releases its references: the stand-in then ends by itself.
    wait_for "$closing" "last object released" 15 >/dev/null ||
        fail "the program ended without releasing its link-host references"
else
    fail "the program did not end on Closing"
    boxes list
fi
app_pid=""
note "leaving while the link program does not answer"
leave_while_hung
ask "quit"

# ---- 4: under the guard -------------------------------------------------------------------
guard_pid=""
# shellcheck source=guard-steps.sh
source "$here/guard-steps.sh"
guard_steps

# ---- 5: the web server under Wine -----------------------------------------------------------
# shellcheck source=web-steps.sh
source "$here/web-steps.sh"
web_steps

echo "---- calls seen by the stand-in ($calls)"
cat "$calls"
echo "----"
note "done: ${timings[*]:-}"
if [ "$failures" -gt 0 ]; then
    echo "run.sh: $failures check(s) failed" >&2
    exit 1
fi
exit 0
