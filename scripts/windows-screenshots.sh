#!/usr/bin/env bash
# Takes pictures of the Windows program's windows under Wine and Xvfb, for the README:
# the demonstration build (simulated link program) shows the startup dialog, the main
# window with its settings panel and the About window; in English (LANGUAGE=en) also the
# activity window, into files ending in -en.
#   windows-screenshots.sh [windows-build-dir] [out-dir] [as-designed|en|pt-BR]
#   (defaults: build/windows, docs/screenshots, as-designed)
# Needs wine, fonts-wine, Xvfb, openbox, x11-utils and ImageMagick.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build/windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)  # Wine takes only an absolute prefix
out=${2:-$repo/docs/screenshots}
language=${3:-as-designed}
suffix=""
[ "$language" = as-designed ] || suffix="-$language"
# The windows' language lives beside the settings, in its own section.
relaydeck="[RELAYDECK]\r\nLANGUAGE=$language\r\n"
mkdir -p "$out"

bash "$repo/scripts/build-windows.sh" "$build" >/dev/null
cmake --build "$build" -j2 --target relaydeck-demo >/dev/null
run=$(mktemp -d)
cp "$build/bin/relaydeck-demo.exe" "$run/"

export WINEPREFIX=$build/shots-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ xvfb <&3
read -r number <&3
export DISPLAY=:$number
openbox >/dev/null 2>&1 &
wm=$!
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$wm" "$xvfb" 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT

[ -d "$WINEPREFIX" ] || wine wineboot -i >/dev/null 2>&1
wineserver -w

# Grabs the window titled $1, with the frame the window manager gave it, into $2.
grab() {
    local info x y w h l=0 r=0 t=0 b=0 extents
    info=$(xwininfo -name "$1")
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/.*Width: *//p' <<<"$info")
    h=$(sed -n 's/.*Height: *//p' <<<"$info")
    extents=$(xprop -name "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')
    if [ -n "$extents" ]; then IFS=, read -r l r t b <<<"$extents"; fi
    import -window root -crop "$((w + l + r))x$((h + t + b))+$((x - l))+$((y - t))" +repage "$2"
    echo "wrote $2 ($((w + l + r))x$((h + t + b)))"
}

# The startup dialog in its first three seconds, with its wait message.
printf "$relaydeck[SETTINGS]\r\nSTARTUP=0\r\n" >"$run/relaydeck.ini"
(cd "$run" && wine relaydeck-demo.exe >/dev/null 2>&1 &)
sleep 2.5
grab "Relaydeck" "$out/windows-startup$suffix.png"
wineserver -k; sleep 1

# The main window with the settings panel, then the About window over it.
printf "$relaydeck[SETTINGS]\r\nSTARTUP=1\r\nLEFT=300\r\nTOP=300\r\n" >"$run/relaydeck.ini"
(cd "$run" && wine relaydeck-demo.exe --panel >/dev/null 2>&1 &)
sleep 9
grab "Relaydeck v1.1 - PU2RLY" "$out/windows-main$suffix.png"
wineserver -k; sleep 1
(cd "$run" && wine relaydeck-demo.exe --about >/dev/null 2>&1 &)
sleep 9
about="About Relaydeck"; activity="Atividade"
[ "$language" = en ] && activity="Activity"
[ "$language" = pt-BR ] && about="Sobre o Relaydeck"
grab "$about" "$out/windows-about$suffix.png"
wineserver -k; sleep 1

# The activity window after a few seconds of a quiet station.
(cd "$run" && wine relaydeck-demo.exe --activity >/dev/null 2>&1 &)
sleep 9
grab "$activity" "$out/windows-activity$suffix.png"
