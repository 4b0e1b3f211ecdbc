#!/usr/bin/env bash
# Makes the Windows zip and installer and checks the zip's contents: relaydeck.exe,
# relaydeck-guard.exe and a README.txt with Windows line ends.
#   check-package.sh <windows-build-dir>
# Exit codes: 0 passed, 1 failed, 77 no MinGW-w64 here (skipped).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:?usage: check-package.sh <windows-build-dir>}
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 ||
    command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 ||
    { echo "check-package.sh: SKIPPED - no MinGW-w64 cross compiler" >&2; exit 77; }
out=$(bash "$repo/scripts/package-windows.sh" "$build" 2>&1) || { echo "$out" >&2; exit 1; }
zip=$(sed -n 's/^packed \(.*\.zip\)$/\1/p' <<<"$out")
[ -f "$zip" ] || { echo "check-package.sh: no zip made" >&2; exit 1; }
case "$(basename "$zip")" in
    relaydeck-[0-9]*.[0-9]*.[0-9]*-win64.zip) ;;
    *) echo "check-package.sh: unexpected name $(basename "$zip")" >&2; exit 1 ;;
esac
python3 - "$zip" <<'PY'
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
names = sorted(z.namelist())
assert names == ["README.txt", "relaydeck-guard.exe", "relaydeck.exe"], names
for exe in ("relaydeck.exe", "relaydeck-guard.exe"):
    assert z.read(exe)[:2] == b"MZ", exe + " is not a Windows program"
text = z.read("README.txt")
assert b"\n" in text
assert text.count(b"\n") == text.count(b"\r\n"), "README.txt has bare LF line ends"
assert b"EchoLink" in text and b"relaydeck.ini" in text and b"GUARDED" in text
assert b"@VERSION@" not in text
print("package ok:", sys.argv[1], names)
PY
