#!/usr/bin/env bash
# Makes the Debian package relaydeck_<version>_amd64.deb (both programs, the desktop entry,
# the icons, the manual pages) in build/deb/. Install it with
#   apt install ./build/deb/relaydeck_<version>_amd64.deb
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

bash scripts/deps.sh build
out=build/deb
mkdir -p "$out"
log="$out/make-deb.log"
# The programs only: no tests.
if ! { cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRELAYDECK_BUILD_TESTS=OFF &&
       cmake --build "$out" -j"$(nproc)" &&
       (cd "$out" && cpack -G DEB); } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "make-deb.sh: failed; the whole output is in $log" >&2
    exit 1
fi
ls "$out"/relaydeck_*_amd64.deb
