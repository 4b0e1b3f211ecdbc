#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the core, the Qt views (offscreen),
# the replay scenarios, relaydeck.exe for Windows, and the Windows link-host binding
# (MinGW-w64 build run under Wine, reported as skipped where Wine cannot run).
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

bash scripts/deps.sh test || exit 1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
cmake --build build -j"$(nproc)" || exit 1
# The Windows program, cross-built with MinGW-w64; CTest checks it and runs it under Wine.
bash scripts/build-windows.sh build/windows || exit 1

QT_QPA_PLATFORM=offscreen exec ctest --test-dir build --output-on-failure -j"$(nproc)"
