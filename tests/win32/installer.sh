#!/usr/bin/env bash
# The Windows installer under Wine, silent, in a fresh prefix of its own:
#   installer.sh <windows-build-dir> [work-dir]
# A plain install (files, Start-menu entries, Windows' list of programs, no autostart), an
# upgrade asking for autostart (the Run entry starts the guard, GUARDED=1), an upgrade that
# keeps it and keeps relaydeck.ini and the activity files, a silent uninstall that keeps
# them, and an uninstall with /PURGE that leaves nothing.
# Exit codes: 0 passed, 1 failed, 77 no MinGW-w64, makensis or Wine here (skipped).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:?usage: installer.sh <windows-build-dir> [work-dir]}
work=${2:-$build/installer-test}
command -v makensis >/dev/null 2>&1 || { echo "installer.sh: SKIPPED - no makensis" >&2; exit 77; }
wine=$(command -v wine64 || command -v wine || true)
[ -n "$wine" ] || { echo "installer.sh: SKIPPED - no wine" >&2; exit 77; }
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 ||
    command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 ||
    { echo "installer.sh: SKIPPED - no MinGW-w64 cross compiler" >&2; exit 77; }

out=$(bash "$repo/scripts/package-windows.sh" "$build" 2>&1) || { echo "$out" >&2; exit 1; }
setup=$(sed -n 's/^packed \(.*-setup\.exe\)$/\1/p' <<<"$out")
[ -f "$setup" ] || { echo "$out" >&2; echo "installer.sh: no installer made" >&2; exit 1; }

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() { timeout 30 wineserver -k </dev/null >/dev/null 2>&1; }
trap cleanup EXIT
mkdir -p "$work"
work=$(cd "$work" && pwd)
export WINEPREFIX=$work/prefix
cleanup
rm -rf "$work"
mkdir -p "$work"
if ! timeout 300 "$wine" wineboot -i </dev/null >"$work/wineboot.log" 2>&1; then
    echo "installer.sh: SKIPPED - wine could not prepare its prefix" >&2
    exit 77
fi
cp "$setup" "$work/setup.exe"

run() { timeout 120 "$wine" "$@" </dev/null >>"$work/wine.log" 2>&1; }
reg_value() {  # key value -> the value's data, empty when absent
    timeout 60 "$wine" reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
        awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Relaydeck'
users=$WINEPREFIX/drive_c/users
program_dir() { find "$users" -maxdepth 6 -type d -path '*/AppData/Local/Programs/Relaydeck' | head -n 1; }
menu_dir() { find "$users" -maxdepth 9 -type d -path '*/Start Menu/Programs/Relaydeck' | head -n 1; }

# ---- a plain install
run "$work/setup.exe" /S || fail "the silent install failed"
dir=$(program_dir)
if [ -z "$dir" ]; then
    fail "nothing installed under AppData\\Local\\Programs\\Relaydeck"
    find "$users" -maxdepth 6 -iname '*relaydeck*' >&2
    exit 1
fi
for f in relaydeck.exe relaydeck-guard.exe README.txt uninstall.exe; do
    [ -f "$dir/$f" ] || fail "$f is not installed"
done
menu=$(menu_dir)
[ -n "$menu" ] && [ -f "$menu/Relaydeck.lnk" ] || fail "no Start-menu entry Relaydeck\\Relaydeck.lnk"
[ "$(reg_value "$uninstall_key" DisplayName)" = "Relaydeck" ] ||
    fail "Relaydeck is not in Windows' list of programs"
[[ "$(reg_value "$uninstall_key" UninstallString)" == *uninstall.exe* ]] ||
    fail "the list of programs has no uninstaller"
[ -z "$(reg_value "$run_key" Relaydeck)" ] || fail "a plain install starts Relaydeck with Windows"

# ---- an upgrade that asks for autostart
printf '[SETTINGS]\r\nTOP=1200\r\n' >"$dir/relaydeck.ini"
echo 'time,event,duration,detail' >"$dir/relaydeck-activity-2026-12-01.csv"
run "$work/setup.exe" /S /AUTOSTART || fail "the silent install with /AUTOSTART failed"
autostart=$(reg_value "$run_key" Relaydeck)
[[ "$autostart" == *'relaydeck-guard.exe'* ]] ||
    fail "the autostart entry does not start the guard: '$autostart'"
tr -d '\r' <"$dir/relaydeck.ini" | grep -qx 'GUARDED=1' || fail "autostart did not set GUARDED=1"
tr -d '\r' <"$dir/relaydeck.ini" | grep -qx 'TOP=1200' || fail "the upgrade lost the settings"

# ---- an upgrade without the option keeps the choice and the files
run "$work/setup.exe" /S || fail "the silent upgrade failed"
[ -n "$(reg_value "$run_key" Relaydeck)" ] || fail "an upgrade dropped the autostart entry"
[ -f "$dir/relaydeck-activity-2026-12-01.csv" ] || fail "the upgrade removed the activity file"

# ---- the uninstaller keeps relaydeck.ini and the activity files
uninstall_gone() {  # waits for the uninstaller (it runs from a copy of itself) to finish
    for _ in $(seq 120); do
        [ ! -f "$dir/uninstall.exe" ] && [ ! -f "$dir/relaydeck.exe" ] && return 0
        sleep 0.5
    done
    return 1
}
run "$dir/uninstall.exe" /S
uninstall_gone || fail "the silent uninstall left the program"
timeout 60 wineserver -w </dev/null >/dev/null 2>&1
[ -f "$dir/relaydeck.ini" ] || fail "the uninstaller removed relaydeck.ini"
[ -f "$dir/relaydeck-activity-2026-12-01.csv" ] || fail "the uninstaller removed the activity file"
[ -f "$dir/relaydeck-guard.exe" ] && fail "the uninstaller left relaydeck-guard.exe"
[ -z "$(reg_value "$run_key" Relaydeck)" ] || fail "the uninstaller left the autostart entry"
[ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "the uninstaller left its entry in the list"
[ -z "$(menu_dir)" ] || fail "the uninstaller left the Start-menu entries"

# ---- /PURGE removes the settings and the activity files too
run "$work/setup.exe" /S || fail "installing again failed"
run "$dir/uninstall.exe" /S /PURGE
uninstall_gone || fail "the purging uninstall left the program"
timeout 60 wineserver -w </dev/null >/dev/null 2>&1
[ -d "$dir" ] && fail "the purging uninstall left $(ls "$dir" | tr '\n' ' ')"

if [ "$failures" -gt 0 ]; then
    echo "installer.sh: $failures check(s) failed" >&2
    exit 1
fi
echo "installer ok: $(basename "$setup") ($(stat -c %s "$setup") bytes)"
