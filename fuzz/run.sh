#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (plus AddressSanitizer and UBSan) and runs
# each for a bounded time on its committed seed corpus. Not part of the test command.
#   fuzz/run.sh [SECONDS_PER_TARGET]     (default 60)
# A crash leaves its input under build/fuzz/; turn it into a unit test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build/fuzz
mkdir -p "$out"
targets=(version_line url_decode file_name decode_text request_token form_description)
sources=(app/encoded_text.cpp app/transfer_rules.cpp app/version_line.cpp app/install_rules.cpp
         host/form_description.cpp host/form_description_write.cpp host/property_bag.cpp)
for i in "${!targets[@]}"; do
    name=${targets[$i]}
    clang++ -std=c++20 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -DORB_FUZZ_TARGET=$((i + 1)) -DORB_VERSION_URL='"http://x/v"' -DORB_COMPARE_URL='"http://x/c"' \
        -DORB_INSTALL_URL='"http://x/i?em="' fuzz/targets.cpp "${sources[@]}" -o "$out/$name"
done
for name in "${targets[@]}"; do
    mkdir -p "$out/corpus-$name"
    echo "== $name: $seconds s"
    (cd "$out" && "./$name" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        "corpus-$name" "../../fuzz/corpus/$name" 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|Done' || true)
done
