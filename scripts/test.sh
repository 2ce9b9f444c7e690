#!/usr/bin/env bash
# Every test: installs what is missing, builds the three presets, runs the native unit
# tests, the service tests and the Windows tests (under Wine on a virtual display), and
# builds every fuzz target and runs each for a few seconds on its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for preset in native win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
ctest --preset native
fuzz/run.sh 2
ctest --preset win64
