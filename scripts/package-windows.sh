#!/usr/bin/env bash
# Builds relaydeck.exe and packs it with a short text for Windows users:
#   package-windows.sh [build-dir]      (default: <repo>/build/windows)
# Result: <build-dir>/relaydeck-<version>-win64.zip holding relaydeck.exe and README.txt
# (CRLF line ends).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build/windows}

bash "$repo/scripts/build-windows.sh" "$build"
version=$(sed -n 's/^project(Relaydeck VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[ -n "$version" ] || { echo "package-windows.sh: no version in CMakeLists.txt" >&2; exit 1; }
zip="$build/relaydeck-$version-win64.zip"

python3 - "$repo/packaging/windows/README.txt" "$build/bin/relaydeck.exe" "$zip" "$version" <<'PY'
import sys, zipfile
readme, exe, out, version = sys.argv[1:]
text = open(readme, encoding="utf-8").read().replace("@VERSION@", version)
text = text.replace("\r\n", "\n").replace("\n", "\r\n")
# Fixed dates make the archive the same for the same program.
stamp = (2026, 1, 1, 0, 0, 0)
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    with open(exe, "rb") as f:
        info = zipfile.ZipInfo("relaydeck.exe", stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o755 << 16
        z.writestr(info, f.read())
    info = zipfile.ZipInfo("README.txt", stamp)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    z.writestr(info, ("\ufeff" + text).encode("utf-8"))
PY
echo "packed $zip"
