#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/CMakeLists.txt) with clang's libFuzzer, AddressSanitizer and
# UBSan, and runs each for a bounded time on its committed seed corpus. The test command runs
# it for a few seconds per target, so that a target that no longer builds or crashes fails it.
#   fuzz/run.sh [SECONDS_PER_TARGET]     (default 60)
# A crash leaves its input under build/fuzz/; turn it into a unit test.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
out=$root/build/fuzz
scripts/deps.sh
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORB_BUILD_FUZZ=ON >/dev/null
cmake --build "$out" -j2
failed=()
for name in $(tr ';' ' ' <"$out/fuzz/targets.txt"); do
    seeds=$root/fuzz/corpus/$name
    [ -d "$seeds" ] || { echo "== $name: no seed corpus in $seeds"; failed+=("$name"); continue; }
    mkdir -p "$out/corpus-$name"
    echo "== $name: $seconds s"
    log=$out/$name.log
    if (cd "$out" && "fuzz/$name" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        "corpus-$name" "$seeds" >"$log" 2>&1); then
        grep -E 'stat::number_of_executed_units|Done' "$log" || true
    else
        tail -n 40 "$log"
        failed+=("$name")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz targets that failed: ${failed[*]} (logs in $out)"
    exit 1
fi
