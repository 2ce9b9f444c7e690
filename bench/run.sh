#!/usr/bin/env bash
# Benchmarks of the program as built, on this machine under Wine. Prints a table of medians
# and ratios measured side by side in the same run.
#   bash bench/run.sh [RUNS]     (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-5}
scripts/deps.sh
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" >/dev/null
done

build=$root/build/win64
work=$root/build/bench
mkdir -p "$work/installers"
body_mb=100
installer=$work/installers/OrbVorex2009ProTrial.exe
if [ ! -f "$installer" ] || [ "$(stat -c %s "$installer")" -ne $((body_mb * 1024 * 1024)) ]; then
    head -c $((body_mb * 1024 * 1024)) /dev/urandom >"$installer"
fi
port=8799
cleanup() {
    scripts/service.sh stop "$work" >/dev/null 2>&1 || true
    scripts/wine-session.sh stop "$build" >/dev/null 2>&1 || true
}
trap cleanup EXIT
mkdir -p "$work/tools"
scripts/service.sh start "$work" "$port" --installers "$work/installers" >/dev/null
scripts/wine-session.sh start "$build" >/dev/null

email=bench@example.com
token=$(cd service && python3 -c "from request_token import make_request_token as t; print(t(b'$email', 1))")
url="http://127.0.0.1:$port/dl?em=bench%40example.com&edn=p&sub=off&tk=$token"

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
field() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p"; }

: >"$work/fetch.txt"
: >"$work/bare.txt"
for _ in $(seq "$runs"); do
    scripts/wine-exec.sh "$build/bench/bench_transfer.exe" bare "$url" >>"$work/bare.txt"
    scripts/wine-exec.sh "$build/bench/bench_transfer.exe" fetch "$url" >>"$work/fetch.txt"
done
bytes=$(field bytes <"$work/fetch.txt" | head -1)
fetch_s=$(field seconds <"$work/fetch.txt" | median)
bare_s=$(field seconds <"$work/bare.txt" | median)
peak=$(field peak_bytes <"$work/fetch.txt" | median)
product=$root/build/win32/app/OrbVorexTrialWebSetup.exe
size=$(stat -c %s "$product")
dlls=$(i686-w64-mingw32-objdump -p "$product" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')

awk -v bytes="$bytes" -v f="$fetch_s" -v b="$bare_s" -v peak="$peak" -v size="$size" -v runs="$runs" -v dlls="$dlls" 'BEGIN {
    mb = bytes / 1048576
    printf "| figure | ours | compared with | ratio or margin | target |\n"
    printf "|---|---|---|---|---|\n"
    printf "| download throughput, %d MB, median of %d | %.1f MB/s | bare WinINet loop %.1f MB/s | %.3f | >= 0.95 |\n", mb, runs, mb / f, mb / b, b / f
    printf "| peak working set of that download | %.1f MiB | body %.1f MiB | body + %.1f MiB | <= body + 8 MiB |\n", peak / 1048576, mb, (peak - bytes) / 1048576
    printf "| size of the win32 program file | %.1f KiB | - | - | <= 256 KiB |\n", size / 1024
    printf "| DLLs it imports | %s | - | - | system DLLs only |\n", dlls
}'
