#!/usr/bin/env bash
# Every test: installs what is missing, builds the three trees, runs the native unit
# tests, every fuzz target for a few seconds on its seeds, and the Windows tests of the 64-bit
# tree (under Wine on a virtual display). Then the 32-bit lane: where a Wine that runs 32-bit
# programs is at hand (scripts/wine-wow64.sh), the same Windows, signer and whole-program tests
# on the 32-bit tree (win32-tests), the product's own tree, in a Wine session, prefix, display
# and service port of its own. Each lane's time is printed with its closing line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
wine32=$(scripts/wine-wow64.sh || true)
for preset in native win32-tests win64; do
    if [ "$preset" = win32-tests ]; then
        cmake --preset "$preset" -DORB_WINE_BIN="$wine32" >/dev/null
    else
        cmake --preset "$preset" >/dev/null
    fi
    cmake --build --preset "$preset"
done
ctest --preset native
fuzz/run.sh 2
start=$SECONDS
ctest --preset win64
echo "64-bit lane: $((SECONDS - start)) s"

if [ -z "$wine32" ]; then
    echo "32-bit lane skipped: no WoW64 Wine (set ORB_WINE32 to its wine, or put wine-wow64.tar.xz in ../shared/wine-wow64/ beside the clone)"
    exit 0
fi
start=$SECONDS
if ! scripts/runs-32bit-code.sh 2>/dev/null; then
    echo "32-bit lane skipped: this machine's Linux kernel runs no 32-bit code (a 32-bit system call faults: no IA32 emulation), which the WoW64 Wine in $wine32 needs"
    exit 0
fi
(
    unset TMPDIR
    ctest --preset win32-tests
)
echo "32-bit lane: $((SECONDS - start)) s"
