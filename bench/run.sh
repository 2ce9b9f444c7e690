#!/usr/bin/env bash
# Benchmarks of the program as built, on this machine under Wine. Prints one table of medians
# and ratios, each figure measured side by side with its comparison in the same run.
#   bash bench/run.sh [RUNS]     (default 5)
# The downloads write their body into a folder (the program's own installer file; the bare
# loop a file of its own), which each run empties again; the service serves a 100 MB Pro and
# a 1 GB Lite installer.
# It builds the product (win32 preset) and its own 64-bit tree build/bench-win64, whose
# program asks the local service on port 8799, with its own Wine session: it shares neither
# port nor display with the tests. Where a WoW64 Wine is at hand and the machine runs 32-bit
# code, the same figures of the 32-bit program (start to visible window, the three repaints,
# the 100 MB download and its peak working set) come from build/bench-win32 in a session of
# its own, in the same runs, in a second table beside the 64-bit figures.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-5}
port=8799
idle_seconds=10
repaints=200
body_mb=100
big_mb=1024  # the Lite slot serves the 1 GB installer

scripts/deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
build=$root/build/bench-win64
# The addresses are cache values made from the port when first configured: -U remakes them.
cmake --preset win64 -B "$build" -DORB_SERVICE_PORT=$port -DORB_BUILD_TESTS=OFF -U 'ORB_*_URL' >/dev/null
cmake --build "$build" -j2 >/dev/null
build32=""
why32=""
if ! wine32=$(scripts/wine-wow64.sh); then
    why32="no WoW64 Wine (set ORB_WINE32 to its wine, or put wine-wow64.tar.xz in ../shared/wine-wow64/)"
elif ! scripts/runs-32bit-code.sh 2>/dev/null; then
    why32="this machine's Linux kernel runs no 32-bit code (no IA32 emulation)"
else
    build32=$root/build/bench-win32
    cmake --preset win32 -B "$build32" -DORB_SERVICE_PORT=$port -DORB_BUILD_TESTS=OFF -U 'ORB_*_URL' >/dev/null
    cmake --build "$build32" -j2 >/dev/null
fi

work=$root/build/bench
mkdir -p "$work/installers"
installer=$work/installers/OrbVorex2009ProTrial.exe
big_installer=$work/installers/OrbVorex2009LiteTrial.exe
for made in "$installer:$body_mb" "$big_installer:$big_mb"; do
    file=${made%:*} mb=${made##*:}
    if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" -ne $((mb * 1024 * 1024)) ]; then
        head -c $((mb * 1024 * 1024)) /dev/urandom >"$file"
    fi
done
cleanup() {
    scripts/service.sh stop "$work" >/dev/null 2>&1 || true
    scripts/wine-session.sh stop "$build" >/dev/null 2>&1 || true
    [ -z "$build32" ] || scripts/wine-session.sh stop "$build32" >/dev/null 2>&1 || true
}
trap cleanup EXIT
mkdir -p "$work/tools"
scripts/service.sh start "$work" "$port" --installers "$work/installers" >/dev/null
scripts/wine-session.sh start "$build" >/dev/null
[ -z "$build32" ] || (export ORB_WINE_BIN=$wine32; unset TMPDIR; scripts/wine-session.sh start "$build32" >/dev/null)

email=bench@example.com
token=$(cd service && python3 -c "from request_token import make_request_token as t; print(t(b'$email', 1))")
url="http://127.0.0.1:$port/dl?em=bench%40example.com&edn=p&sub=off&tk=$token"
big_token=$(cd service && python3 -c "from request_token import make_request_token as t; print(t(b'$email', 4))")
big_url="http://127.0.0.1:$port/dl?em=bench%40example.com&edn=l&sub=off&tk=$big_token"
# Where the downloads write their body, as Windows programs name it; emptied after each.
mkdir -p "$work/downloads"
body_folder="Z:$work/downloads"
# The line broken three times, at a quarter, a half and three quarters of the 100 MB body.
quarter=$((body_mb * 1024 * 1024 / 4))
breaks="$quarter,$((2 * quarter)),$((3 * quarter))"
version_url="http://127.0.0.1:$port/latest/version.txt"
win="Z:$build"  # the tree as Windows programs name it
program=$win/app/OrbVorexTrialWebSetup.exe

run() { scripts/wine-exec.sh "$build/bench/$1.exe" "${@:2}"; }
# The same measures of the 32-bit program, in its tree and session.
run32() { [ -z "$build32" ] || (unset TMPDIR; scripts/wine-exec.sh "$build32/bench/$1.exe" "${@:2}"); }
program32="Z:$build32/app/OrbVorexTrialWebSetup.exe"
median() { sort -n | awk '{a[NR]=$1} END {if (NR == 0) print "nan"; else print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
field() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p"; }

# Each pair alternates: one side, then the other, and the order turns round every run, so
# that a machine busy for a while slows both sides alike.
pair() {  # pair RUN FILE_A COMMAND_A... -- FILE_B COMMAND_B...
    local n=$1 a_file=$2; shift 2
    local a=() b=()
    while [ "$1" != -- ]; do a+=("$1"); shift; done
    shift
    local b_file=$1; shift
    b=("$@")
    if [ $((n % 2)) -eq 1 ]; then
        "${a[@]}" >>"$a_file"; "${b[@]}" >>"$b_file"
    else
        "${b[@]}" >>"$b_file"; "${a[@]}" >>"$a_file"
    fi
}

# The window with a version service that keeps it waiting: one that sends the headers and
# then nothing, and one that never accepts the connection (bench/never_accepts.py on the port).
control() { python3 -c "import sys, urllib.request; urllib.request.urlopen(sys.argv[1]).read()" "$1"; }
start_stalled() {
    control "http://127.0.0.1:$port/_control?reset=1&version_stall=20"
    run bench_launch visible 0 "$program" >>"$work/start_stalled.txt"
    control "http://127.0.0.1:$port/_control?reset=1"
}
start_unaccepted() {
    scripts/service.sh stop "$work" >/dev/null
    rm -f "$work/never_accepts.ready"
    python3 bench/never_accepts.py "$port" "$work/never_accepts.ready" &
    local listener=$!
    while [ ! -e "$work/never_accepts.ready" ]; do sleep 0.1; done
    run bench_launch visible 0 "$program" >>"$work/start_unaccepted.txt"
    kill "$listener"
    wait "$listener" 2>/dev/null || true
    scripts/service.sh start "$work" "$port" --installers "$work/installers" >/dev/null
}

for name in fetch bare fetch_big fetch_broken start start_fetch start_window start_stalled start_unaccepted idle idle_bare paint fetch32 start32 paint32; do
    : >"$work/$name.txt"
done
for n in $(seq "$runs"); do
    pair "$n" "$work/fetch.txt" run bench_transfer fetch "$url" "$body_folder" -- \
        "$work/bare.txt" run bench_transfer bare "$url" "$body_folder"
    run bench_transfer fetch "$big_url" "$body_folder" >>"$work/fetch_big.txt"
    control "http://127.0.0.1:$port/_control?reset=1&cut_once=$breaks"
    run bench_transfer fetch "$url" "$body_folder" >>"$work/fetch_broken.txt"
    control "http://127.0.0.1:$port/_control?reset=1"
    pair "$n" "$work/start.txt" run bench_launch visible 0 "$program" -- \
        "$work/start_fetch.txt" run bench_launch exit "$win/bench/bare_fetch_once.exe" "$version_url"
    run bench_launch visible 0 "$win/bench/bare_idle_loop.exe" >>"$work/start_window.txt"
    start_stalled
    start_unaccepted
    pair "$n" "$work/idle.txt" run bench_launch visible "$idle_seconds" "$program" -- \
        "$work/idle_bare.txt" run bench_launch visible "$idle_seconds" "$win/bench/bare_idle_loop.exe"
    run bench_paint "$root/resources/frmMain.form" "$repaints" >>"$work/paint.txt"
    if [ -n "$build32" ]; then
        run32 bench_transfer fetch "$url" "$body_folder" >>"$work/fetch32.txt"
        run32 bench_launch visible 0 "$program32" >>"$work/start32.txt"
        run32 bench_paint "$root/resources/frmMain.form" "$repaints" >>"$work/paint32.txt"
    fi
done

bytes=$(field bytes <"$work/fetch.txt" | head -1)
fetch_s=$(field seconds <"$work/fetch.txt" | median)
bare_s=$(field seconds <"$work/bare.txt" | median)
peak=$(field peak_bytes <"$work/fetch.txt" | median)
base=$(field base_bytes <"$work/fetch.txt" | median)
big_bytes=$(field bytes <"$work/fetch_big.txt" | head -1)
big_s=$(field seconds <"$work/fetch_big.txt" | median)
big_peak=$(field peak_bytes <"$work/fetch_big.txt" | median)
big_base=$(field base_bytes <"$work/fetch_big.txt" | median)
broken_bytes=$(field bytes <"$work/fetch_broken.txt" | head -1)
broken_s=$(field seconds <"$work/fetch_broken.txt" | median)
start_s=$(field visible_seconds <"$work/start.txt" | median)
start_fetch_s=$(field exit_seconds <"$work/start_fetch.txt" | median)
start_window_s=$(field visible_seconds <"$work/start_window.txt" | median)
start_stalled_s=$(field visible_seconds <"$work/start_stalled.txt" | median)
start_unaccepted_s=$(field visible_seconds <"$work/start_unaccepted.txt" | median)
# Processor share of one core over the idle time, per run, then the median.
share() { awk '{n = split($0, f, /[ =]/); for (i = 1; i < n; i += 2) v[f[i]] = f[i + 1]; print 100 * v["cpu_seconds"] / v["idle_seconds"]}'; }
idle_pct=$(grep -o 'cpu_seconds=[0-9.]* idle_seconds=[0-9.]*' "$work/idle.txt" | share | median)
idle_bare_pct=$(grep -o 'cpu_seconds=[0-9.]* idle_seconds=[0-9.]*' "$work/idle_bare.txt" | share | median)
paint_button=$(field cmdOrb_ms <"$work/paint.txt" | median)
paint_check=$(field lblOrb_ms <"$work/paint.txt" | median)
paint_bar=$(field titOrb_ms <"$work/paint.txt" | median)
product=$root/build/win32/app/OrbVorexTrialWebSetup.exe
size=$(stat -c %s "$product")
dlls=$(i686-w64-mingw32-objdump -p "$product" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
dlls_ok=no
scripts/check-product.sh "$product" >/dev/null 2>&1 && dlls_ok=yes

awk -v bytes="$bytes" -v f="$fetch_s" -v b="$bare_s" -v peak="$peak" -v base="$base" \
    -v big_bytes="$big_bytes" -v big_s="$big_s" -v big_peak="$big_peak" -v big_base="$big_base" \
    -v broken_bytes="$broken_bytes" -v broken_s="$broken_s" \
    -v start="$start_s" -v start_fetch="$start_fetch_s" -v start_window="$start_window_s" \
    -v start_stalled="$start_stalled_s" -v start_unaccepted="$start_unaccepted_s" \
    -v idle="$idle_pct" -v idle_bare="$idle_bare_pct" -v idle_s="$idle_seconds" \
    -v pb="$paint_button" -v pc="$paint_check" -v pt="$paint_bar" -v repaints="$repaints" \
    -v size="$size" -v runs="$runs" -v dlls="$dlls" -v dlls_ok="$dlls_ok" 'BEGIN {
    mb = bytes / 1048576; mib = 1048576
    met = "| %s |\n"
    printf "| figure (median of %d runs) | ours | compared with, in the same run | ratio or margin | target | met |\n", runs
    printf "|---|---|---|---|---|---|\n"
    printf "| download throughput, %d MB, to the installer file | %.1f MB/s | bare WinINet loop writing each piece to a file %.1f MB/s | %.3f | >= 0.95 " met, \
        mb, mb / f, mb / b, b / f, (b / f >= 0.95) ? "yes" : "no"
    printf "| peak working set of that download | %.1f MiB | before the download %.1f MiB | +%.1f MiB | <= +8 MiB " met, \
        peak / mib, base / mib, (peak - base) / mib, (peak - base <= 8 * mib) ? "yes" : "no"
    printf "| peak working set of a %d MB download to the installer file | %.1f MiB | before the download %.1f MiB | +%.1f MiB | <= +8 MiB " met, \
        big_bytes / 1048576, big_peak / mib, big_base / mib, (big_peak - big_base) / mib, \
        (big_bytes > 0 && big_peak - big_base <= 8 * mib) ? "yes" : "no"
    printf "| time of that download | %.1f s (%.1f MB/s) | - | - | - | - |\n", big_s, big_bytes / 1048576 / big_s
    printf "| %d MB download, line broken three times (resumed at once) | %.2f s | unbroken %.2f s | %.2f | whole body, <= 1.2 " met, \
        mb, broken_s, f, broken_s / f, (broken_bytes == bytes && broken_s <= 1.2 * f) ? "yes" : "no"
    printf "| process start to visible window | %.0f ms | fetch once and end %.0f ms; bare window %.0f ms | +%.0f ms | extra <= 150 ms " met, \
        start * 1000, start_fetch * 1000, start_window * 1000, (start - start_fetch) * 1000, (start - start_fetch <= 0.150) ? "yes" : "no"
    printf "| process start to visible window, version service silent after its headers | %.0f ms | - | - | <= 1500 ms " met, \
        start_stalled * 1000, (start_stalled <= 1.5) ? "yes" : "no"
    printf "| process start to visible window, version service that never accepts | %.0f ms | - | - | <= 1500 ms " met, \
        start_unaccepted * 1000, (start_unaccepted <= 1.5) ? "yes" : "no"
    printf "| processor use of the idle window over %d s | %.2f %% of a core | bare window, same loop %.2f %% | %+.2f points | <= 0.5 %% " met, \
        idle_s, idle, idle_bare, idle - idle_bare, (idle <= 0.5) ? "yes" : "no"
    printf "| repaint of cmdOrb (DrawFace), median of %d | %.3f ms | - | - | <= 2 ms " met, repaints, pb, (pb <= 2) ? "yes" : "no"
    printf "| repaint of lblOrb, check style 5, median of %d | %.3f ms | - | - | <= 2 ms " met, repaints, pc, (pc <= 2) ? "yes" : "no"
    printf "| repaint of titOrb (ReDrawMenu), median of %d | %.3f ms | - | - | <= 2 ms " met, repaints, pt, (pt <= 2) ? "yes" : "no"
    printf "| size of the win32 program file | %.1f KiB | - | - | <= 256 KiB " met, size / 1024, (size <= 262144) ? "yes" : "no"
    printf "| DLLs it imports | %s | - | - | system DLLs only | %s |\n", dlls, dlls_ok
}'

# The 32-bit program beside the 64-bit one, from the same runs.
if [ -z "$build32" ]; then
    echo
    echo "32-bit column skipped: $why32"
    exit 0
fi
awk -v runs="$runs" -v mb="$body_mb" -v repaints="$repaints" \
    -v f64="$fetch_s" -v p64="$peak" -v b64="$base" -v s64="$start_s" \
    -v pb64="$paint_button" -v pc64="$paint_check" -v pt64="$paint_bar" \
    -v f32="$(field seconds <"$work/fetch32.txt" | median)" \
    -v p32="$(field peak_bytes <"$work/fetch32.txt" | median)" \
    -v b32="$(field base_bytes <"$work/fetch32.txt" | median)" \
    -v s32="$(field visible_seconds <"$work/start32.txt" | median)" \
    -v pb32="$(field cmdOrb_ms <"$work/paint32.txt" | median)" \
    -v pc32="$(field lblOrb_ms <"$work/paint32.txt" | median)" \
    -v pt32="$(field titOrb_ms <"$work/paint32.txt" | median)" 'BEGIN {
    mib = 1048576
    printf "\n| figure (median of %d runs) | 64-bit program | 32-bit program |\n|---|---|---|\n", runs
    printf "| process start to visible window | %.0f ms | %.0f ms |\n", s64 * 1000, s32 * 1000
    printf "| repaint of cmdOrb (DrawFace), median of %d | %.3f ms | %.3f ms |\n", repaints, pb64, pb32
    printf "| repaint of lblOrb, check style 5, median of %d | %.3f ms | %.3f ms |\n", repaints, pc64, pc32
    printf "| repaint of titOrb (ReDrawMenu), median of %d | %.3f ms | %.3f ms |\n", repaints, pt64, pt32
    printf "| download throughput, %d MB, to the installer file | %.1f MB/s | %.1f MB/s |\n", mb, mb / f64, mb / f32
    printf "| peak working set of that download (before it) | %.1f MiB (%.1f) | %.1f MiB (%.1f) |\n", \
        p64 / mib, b64 / mib, p32 / mib, b32 / mib
}'
