#!/usr/bin/env bash
# Every test: installs what is missing, builds the three trees, runs the native unit
# tests, the service tests and the Windows tests (under Wine on a virtual display). The
# product's 32-bit tree is built with its tests too (win32-tests): nothing here runs 32-bit
# programs, but everything must compile and link for 32 bits as well. Last, every fuzz
# target is built and runs for a few seconds on its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for preset in native win32-tests win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
ctest --preset native
fuzz/run.sh 2
ctest --preset win64
