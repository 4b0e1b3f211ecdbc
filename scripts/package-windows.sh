#!/usr/bin/env bash
# Builds relaydeck.exe and relaydeck-guard.exe and packs them with a short text for Windows
# users, as a zip and as an installer:
#   package-windows.sh [build-dir]      (default: <repo>/build/windows)
# Result, in <build-dir>:
#   relaydeck-<version>-win64.zip    relaydeck.exe, relaydeck-guard.exe, README.txt (CRLF)
#   relaydeck-<version>-setup.exe    the per-user installer (NSIS's makensis; scripts/deps.sh
#                                    test installs it); skipped with a note when makensis is
#                                    missing
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build/windows}

bash "$repo/scripts/build-windows.sh" "$build"
build=$(cd "$build" && pwd)
version=$(sed -n 's/^project(Relaydeck VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[ -n "$version" ] || { echo "package-windows.sh: no version in CMakeLists.txt" >&2; exit 1; }
zip="$build/relaydeck-$version-win64.zip"

readme="$build/README.txt"
# relaydeck.exe built with the web server carries cpp-httplib: its licence goes at the end of
# README.txt, as the library ships it.
httplib=$(sed -n 's/^RELAYDECK_HTTPLIB_WIN_DIR:PATH=//p' "$build/CMakeCache.txt")
licence=""
[ -n "$httplib" ] && [ -f "$httplib/LICENSE" ] && licence="$httplib/LICENSE"
python3 - "$repo/packaging/windows/README.txt" "$build/bin" "$zip" "$version" "$readme" \
    "$licence" <<'PY'
import os, sys, zipfile
readme, bindir, out, version, readme_out, licence = sys.argv[1:]
text = open(readme, encoding="utf-8").read().replace("@VERSION@", version)
if licence:
    text = text.rstrip("\n") + ("\n\n\nThe web server in relaydeck.exe is built with cpp-httplib, "
                                "under this licence:\n\n" + open(licence, encoding="utf-8").read())
text = text.replace("\r\n", "\n").replace("\n", "\r\n")
with open(readme_out, "wb") as f:
    f.write(("\ufeff" + text).encode("utf-8"))
# Fixed dates make the archive the same for the same program.
stamp = (2026, 1, 1, 0, 0, 0)
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for name in ("relaydeck.exe", "relaydeck-guard.exe"):
        with open(os.path.join(bindir, name), "rb") as f:
            info = zipfile.ZipInfo(name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o755 << 16
            z.writestr(info, f.read())
    info = zipfile.ZipInfo("README.txt", stamp)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    z.writestr(info, ("\ufeff" + text).encode("utf-8"))
PY
echo "packed $zip"

setup="$build/relaydeck-$version-setup.exe"
if ! command -v makensis >/dev/null 2>&1; then
    echo "package-windows.sh: makensis is missing (scripts/deps.sh test installs nsis); no installer" >&2
    exit 0
fi
makensis -V2 -DVERSION="$version" -DBINDIR="$build/bin" -DREADME="$readme" \
    -DICON="$repo/assets/relaydeck.ico" -DOUTFILE="$setup" \
    "$repo/packaging/windows/relaydeck.nsi" </dev/null
echo "packed $setup"
