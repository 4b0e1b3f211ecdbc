#!/usr/bin/env bash
# Takes pictures of the Qt program's windows in a language, under Xvfb with openbox, for the
# README: the main window, the main window with its settings panel and the activity window,
# reached from the keyboard as an operator would (F10 and the arrow keys).
#   qt-screenshots.sh [build-dir] [out-dir] [as-designed|en|pt-BR]
#   (defaults: build, docs/screenshots, en); the files end in -<language>.
# Needs Xvfb, openbox, x11-utils, xdotool and ImageMagick.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build}
out=${2:-$repo/docs/screenshots}
language=${3:-en}
mkdir -p "$out"

cmake --build "$build" -j2 --target relaydeck >/dev/null
run=$(mktemp -d)
cp "$build/bin/relaydeck" "$run/"
printf "[RELAYDECK]\r\nLANGUAGE=$language\r\n[SETTINGS]\r\nSTARTUP=1\r\nLEFT=1500\r\nTOP=1500\r\n" \
    >"$run/relaydeck.ini"

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ xvfb <&3
read -r number <&3
export DISPLAY=:$number QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
wm=$!
program=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    kill "$wm" "$xvfb" 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT

# Grabs the window whose title begins with $1, with the frame openbox gave it, into $2.
grab() {
    local id="" info x y w h l=0 r=0 t=0 b=0 extents tries
    for tries in 1 2 3 4 5 6 7 8 9 10; do
        id=$(xdotool search --onlyvisible --name "^$1" | head -1) && [ -n "$id" ] && break
        sleep 0.5
    done
    [ -n "$id" ] || { echo "no window titled $1" >&2; import -window root "$2.missing.png"; return 1; }
    info=$(xwininfo -id "$id")
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/.*Width: *//p' <<<"$info")
    h=$(sed -n 's/.*Height: *//p' <<<"$info")
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')
    if [ -n "$extents" ]; then IFS=, read -r l r t b <<<"$extents"; fi
    import -window root -crop "$((w + l + r))x$((h + t + b))+$((x - l))+$((y - t))" +repage "$2"
    echo "wrote $2 ($((w + l + r))x$((h + t + b)))"
}
# Brings the main window forward and types keys into it.
keys() {
    xdotool search --name '^Relaydeck v' windowactivate --sync
    sleep 0.5
    xdotool key --delay 250 "$@"
    sleep 1.5
}

# The startup dialog starts the repeater by itself after three seconds.
(cd "$run" && exec ./relaydeck >/dev/null 2>&1) &
program=$!
sleep 7
grab "Relaydeck v" "$out/main-short-$language.png"
keys F10 Right Right Right Return
grab "Relaydeck v" "$out/main-panel-$language.png"
# Again from the start, for the activity window alone.
kill "$program"; wait "$program" 2>/dev/null || true
(cd "$run" && exec ./relaydeck >/dev/null 2>&1) &
program=$!
sleep 7
# Relaydeck's own menu, the last on the bar, holds the activity entry first: clicked with
# the mouse, where the English or Portuguese bar puts it.
main=$(xdotool search --onlyvisible --name '^Relaydeck v' | head -1)
xdotool windowactivate --sync "$main"
bar=$(xwininfo -id "$main" | sed -n 's/.*Width: *//p')
xdotool mousemove --window "$main" $((bar - 40)) 10 click 1
sleep 1
xdotool mousemove --window "$main" $((bar - 20)) 32 click 1
sleep 2
activity=Atividade
[ "$language" = en ] && activity=Activity
grab "$activity" "$out/activity-$language.png"
