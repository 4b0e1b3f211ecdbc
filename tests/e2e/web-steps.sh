# The web server's step of the Windows end-to-end test, sourced by run.sh after the guard's
# steps (it uses run.sh's wine, boxes, ask, fail, note, ends_within and paths).
#
# relaydeck.exe with its web server switched on in relaydeck.ini serves, under Wine, the
# station page, its JSON and its metrics to curl on Linux; a carrier from the stand-in turns
# the TX lamp on in the JSON and the transmitter gauge in the metrics.

# Fetches http://127.0.0.1:$web_port$1 (at most 2 s).
web_get() { curl -s --max-time 2 "http://127.0.0.1:$web_port$1"; }
# Waits up to $2 seconds for $1 to hold $3 (a fixed string); prints the last answer.
web_wait_for() {
    local deadline=$((SECONDS + $2)) body
    while :; do
        body=$(web_get "$1")
        if grep -qF -- "$3" <<<"$body"; then
            printf '%s' "$body"
            return 0
        fi
        [ $SECONDS -ge $deadline ] && { printf '%s' "$body"; return 1; }
        sleep 0.1
    done
}

web_steps() {
    if ! command -v curl >/dev/null 2>&1; then
        fail "curl is missing (scripts/deps.sh test installs it)"
        return
    fi
    if ! x86_64-w64-mingw32-objdump -p "$exe" 2>/dev/null | grep -qi 'DLL Name: WS2_32'; then
        note "web: SKIPPED - $exe was built without its web server (no httplib.h)"
        return
    fi
    web_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    printf '[SETTINGS]\r\nSTARTUP=1\r\n[RELAYDECK]\r\nWEB_ENABLED=1\r\nWEB_ADDRESS=127.0.0.1\r\nWEB_PORT=%s\r\n' \
        "$web_port" >"$run/app/relaydeck.ini"
    note "web: relaydeck.exe serving on 127.0.0.1:$web_port"
    local started_web=$SECONDS body
    "$wine" "$run/app/relaydeck.exe" </dev/null >"$run/app-web.log" 2>&1 &
    app_pid=$!

    body=$(web_wait_for /api/status 30 '"callsign":"N0CALL-R"') ||
        { fail "web: /api/status never showed the callsign: $body"; web_end; return; }
    echo "   /api/status after $((SECONDS - started_web)) s: ${body:0:160}..."
    grep -qF '"tx":false' <<<"$body" || fail "web: the TX lamp is on before any carrier"
    body=$(web_get /)
    grep -qi '<!doctype html>' <<<"$body" || fail "web: / is not the station page: ${body:0:200}"
    body=$(web_get /metrics)
    grep -qx 'relaydeck_transmitter_on 0' <<<"$body" ||
        fail "web: /metrics lacks 'relaydeck_transmitter_on 0': ${body:0:300}"

    local t0=$SECONDS
    ask "carrier 1"
    body=$(web_wait_for /api/status 5 '"tx":true') ||
        fail "web: the TX lamp did not turn on with the carrier: $body"
    echo "   TX lamp on in /api/status within $((SECONDS - t0)) s of the carrier"
    web_wait_for /metrics 2 'relaydeck_transmitter_on 1' >/dev/null ||
        fail "web: /metrics did not show the transmitter keyed"
    ask "carrier 0"
    web_end
}

# A normal exit of the program.
web_end() {
    boxes close "Relaydeck v1.1 - N0CALL-R" >/dev/null
    boxes answer 20 yes >/dev/null
    if ends_within 20 "$app_pid"; then
        wait "$app_pid"
        note "web: the program ended (exit code $?)"
    else
        fail "web: the program did not end"
        kill "$app_pid" 2>/dev/null
    fi
    app_pid=""
    ask "quit"
}
