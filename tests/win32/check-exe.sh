#!/usr/bin/env bash
# Builds relaydeck.exe and relaydeck-guard.exe (if needed) and checks that they import only
# DLLs that Windows itself has, that relaydeck.exe carries its icon, manifest and version
# information, and that it carries no debug sections.
#   check-exe.sh <windows-build-dir>
# Exit codes: 0 passed, 1 failed, 77 no MinGW-w64 here (skipped).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:?usage: check-exe.sh <windows-build-dir>}

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 &&
   ! command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1; then
    echo "check-exe.sh: SKIPPED - no MinGW-w64 cross compiler" >&2
    exit 77
fi
if ! bash "$repo/scripts/build-windows.sh" "$build" >"$build.log" 2>&1; then
    tail -n 30 "$build.log" >&2
    echo "check-exe.sh: the Windows build failed" >&2
    exit 1
fi
exe="$build/bin/relaydeck.exe"
objdump=x86_64-w64-mingw32-objdump
dump=$("$objdump" -p "$exe") || exit 1

status=0
dlls=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | sort -f)
echo "relaydeck.exe imports:"
printf '  %s\n' $dlls
# Windows' own DLLs; the C runtime is msvcrt or the universal CRT's api-ms-win-crt-* set.
allowed='^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|advapi32|shell32|uxtheme|ws2_32|bcrypt|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
for dll in $dlls; do
    if ! grep -Eiq "$allowed" <<<"$dll"; then
        echo "check-exe.sh: relaydeck.exe needs $dll, which Windows does not have" >&2
        status=1
    fi
done
guard_dlls=$("$objdump" -p "$build/bin/relaydeck-guard.exe" | sed -n 's/^\s*DLL Name: //p')
for dll in $guard_dlls; do
    if ! grep -Eiq "$allowed" <<<"$dll"; then
        echo "check-exe.sh: relaydeck-guard.exe needs $dll, which Windows does not have" >&2
        status=1
    fi
done
[ -n "$guard_dlls" ] || { echo "check-exe.sh: no relaydeck-guard.exe" >&2; status=1; }
for needed in kernel32 user32 comctl32 ole32; do
    grep -qix "$needed.dll" <<<"$dlls" ||
        { echo "check-exe.sh: $needed.dll missing from the imports" >&2; status=1; }
done
if ! grep -q 'Subsystem.*(Windows GUI)' <<<"$dump"; then
    echo "check-exe.sh: relaydeck.exe is not a windowed program" >&2
    status=1
fi
# Icon, bitmap, manifest and version resources (types 3/14, 2, 24 and 16).
resources=$("$objdump" -s -j .rsrc "$exe" | grep -c . || true)
if [ "${resources:-0}" -lt 10 ]; then
    echo "check-exe.sh: relaydeck.exe has no resources" >&2
    status=1
fi
if ! grep -qx 'Relaydeck repeater controller for EchoLink' <<<"$(strings -el "$exe")"; then
    echo "check-exe.sh: version information missing" >&2
    status=1
fi
if ! grep -q 'Microsoft.Windows.Common-Controls' <<<"$(strings "$exe")"; then
    echo "check-exe.sh: the manifest asking for Common Controls 6 is missing" >&2
    status=1
fi
# Shipped stripped: the symbols doubled the file and served no user.
debug=$("$objdump" -h "$exe" | grep -c ' \.debug_' || true)
if [ "${debug:-0}" -gt 0 ]; then
    echo "check-exe.sh: relaydeck.exe carries $debug debug sections (not stripped)" >&2
    status=1
fi
echo "relaydeck.exe: $(stat -c %s "$exe") bytes"
exit $status
