# The guard's steps of the Windows end-to-end test, sourced by run.sh after its own steps
# (it uses run.sh's wine, boxes, ask, fail, note, ends_within, winpath and paths).
#
# relaydeck-guard.exe with GUARDED=1 beside relaydeck.exe:
#   1. it waits for the link program (the stand-in, started by hand) and starts nothing
#      itself until it runs, then starts relaydeck.exe;
#   2. relaydeck.exe killed mid-over: SetPTT(False) reaches the stand-in within 2 s and
#      SetControlMode(True) comes again within 10 s; the release is in the activity file;
#   3. the stand-in raises Closing and ends: nothing is started until it runs again, then
#      the controller is back;
#   4. closing the window with Yes ends relaydeck.exe and the guard.

# The number of lines in the call log now.
guard_log_lines() { if [ -f "$calls" ]; then wc -l <"$calls"; else echo 0; fi; }
# Waits up to $3 seconds for a line after line $1 that holds $2; prints its number.
guard_wait_line() {
    local deadline=$((SECONDS + $3)) found
    while :; do
        found=$(awk -v from="$1" -v text="$2" 'NR > from && index($0, text) { print NR; exit }' \
                "$calls" 2>/dev/null)
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}
# How many lines after line $1 hold $2.
guard_count_after() {
    awk -v from="$1" -v text="$2" 'NR > from && index($0, text) { n++ } END { print n + 0 }' \
        "$calls" 2>/dev/null
}
guard_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The link program started by an operator (not by COM): the registered command line's paths.
guard_start_link_program() {
    "$wine" "$standin/link_standin.exe" /log "$(winpath "$calls")" \
        /control "$(winpath "$control")" </dev/null >>"$run/standin-by-hand.log" 2>&1 &
}

guard_steps() {
    local guard_exe=${RELAYDECK_GUARD_EXE:-$(dirname "$exe")/relaydeck-guard.exe}
    if [ ! -f "$guard_exe" ]; then
        fail "no relaydeck-guard.exe beside $exe"
        return
    fi
    cp "$guard_exe" "$run/app/relaydeck-guard.exe"
    printf '[SETTINGS]\r\nSTARTUP=1\r\n[RELAYDECK]\r\nGUARDED=1\r\n' >"$run/app/relaydeck.ini"
    rm -f "$run/app"/relaydeck-activity-*.csv

    # ---- 1: the guard waits for the link program
    note "guard: started while the link program does not run"
    local mark found t0 t1 ms
    mark=$(guard_log_lines)
    "$wine" "$run/app/relaydeck-guard.exe" </dev/null >"$run/guard.log" 2>&1 &
    guard_pid=$!
    sleep 4
    [ "$(guard_count_after "$mark" "serving")" -eq 0 ] ||
        fail "the guard had the link program started"
    boxes windows | grep -q '^Relaydeck' && fail "relaydeck.exe ran before the link program did"
    guard_start_link_program
    if ! guard_wait_line "$mark" " advise" 40 >/dev/null; then
        fail "the guard did not start relaydeck.exe once the link program ran"
        return
    fi
    guard_wait_line "$mark" "call SetControlMode(-1)" 20 >/dev/null ||
        { fail "relaydeck.exe under the guard did not start the controller"; return; }
    note "guard: relaydeck.exe runs under the guard"

    # ---- 2: relaydeck.exe killed mid-over
    ask "carrier 1"
    guard_wait_line "$mark" "call SetPTT(-1)" 10 >/dev/null ||
        { fail "no SetPTT(True) under the guard"; return; }
    sleep 0.5
    mark=$(guard_log_lines)
    # The moment of the kill as the killer saw it (not when its own start was over).
    t0=$(boxes kill relaydeck.exe)
    [[ "$t0" =~ ^[0-9]+$ ]] || { fail "relaydeck.exe could not be killed"; return; }
    if guard_wait_line "$mark" "call SetPTT(0)" 10 >/dev/null; then
        t1=$(guard_now_ms)
        ms=$((t1 - t0))
        echo "   SetPTT(False) after the kill: ${ms} ms"
        timings+=("guard release=${ms}ms")
        [ "$ms" -le 2000 ] || fail "the guard released the transmitter ${ms} ms after the kill"
    else
        fail "the guard did not release the transmitter after the kill"
    fi
    if guard_wait_line "$mark" "call SetControlMode(-1)" 20 >/dev/null; then
        ms=$(($(guard_now_ms) - t0))
        echo "   SetControlMode(True) again after the kill: ${ms} ms"
        timings+=("guard restart=${ms}ms")
        [ "$ms" -le 10000 ] || fail "the controller came back ${ms} ms after the kill"
    else
        fail "the guard did not start the controller again after the kill"
    fi
    ask "carrier 0"
    grep -q 'guard,,Relaydeck ended abnormally (exit status 1)' "$run/app"/relaydeck-activity-*.csv ||
        fail "the activity file does not say that Relaydeck ended abnormally"
    grep -q 'transmitter-off,,released by the guard' "$run/app"/relaydeck-activity-*.csv ||
        fail "the activity file does not hold the guard's release"

    # ---- 3: the link program closes, then runs again
    note "guard: the link program closes"
    sleep 2
    mark=$(guard_log_lines)
    ask "closing"
    guard_wait_line "$mark" "raised Closing" 10 >/dev/null || { fail "Closing was not raised"; return; }
    sleep 1
    ask "quit"
    guard_wait_line "$mark" "ended" 10 >/dev/null || fail "the stand-in did not end"
    sleep 8
    [ "$(guard_count_after "$mark" "serving")" -eq 0 ] ||
        fail "the link program was started again by someone other than its operator"
    boxes windows | grep -q '^Relaydeck' && fail "relaydeck.exe runs while the link program does not"
    mark=$(guard_log_lines)
    t0=$(guard_now_ms)
    guard_start_link_program
    if guard_wait_line "$mark" "call SetControlMode(-1)" 40 >/dev/null; then
        echo "   the controller is back $(($(guard_now_ms) - t0)) ms after the link program started"
    else
        fail "the controller did not come back when the link program ran again"
        return
    fi

    # ---- 4: a normal exit ends the guard too
    sleep 1
    boxes close "Relaydeck v1.1 - N0CALL-R" >/dev/null || { fail "the main window is gone"; return; }
    boxes answer 20 yes >/dev/null || fail "the close question did not come"
    if ends_within 30 "$guard_pid"; then
        wait "$guard_pid"
        note "guard: ended with the program (exit code $?)"
    else
        fail "the guard did not end after the program's normal exit"
        kill "$guard_pid" 2>/dev/null
    fi
    guard_pid=""
    ask "quit"
}
