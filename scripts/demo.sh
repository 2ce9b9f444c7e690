#!/usr/bin/env bash
# The main job: builds the program, starts the local download service and runs the setup
# program under Wine against it; stops the service when the program ends. It builds only
# what it runs: the 64-bit program (this machine's Wine runs 64-bit programs only) and the
# demo installers the service hands out; scripts/test.sh builds the rest. Its tree is
# build/demo and its service listens on port 8765; the tests' tree (build/win64) has a port of
# its own, so that both can run at once.
# With $DISPLAY set the window appears there for you to use; without one the program runs
# on a virtual display.
# ORB_DEMO_BITS=32 runs the 32-bit program instead, the file users download (tree build/demo32,
# same port), under a WoW64 Wine (scripts/wine-wow64.sh finds one).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/deps.sh
preset=demo
if [ "${ORB_DEMO_BITS:-64}" = 32 ]; then
    preset=demo32
    wine32=$(scripts/wine-wow64.sh) || {
        echo "no WoW64 Wine for the 32-bit program: set ORB_WINE32 to its wine, or put wine-wow64.tar.xz in ../shared/wine-wow64/" >&2
        exit 1
    }
    scripts/runs-32bit-code.sh 2>/dev/null || {
        echo "this machine's Linux kernel runs no 32-bit code (no IA32 emulation): the 32-bit program cannot run here" >&2
        exit 1
    }
    export ORB_WINE_BIN=$wine32
    unset TMPDIR
elif [ "${ORB_DEMO_BITS:-64}" != 64 ]; then
    echo "ORB_DEMO_BITS is 32 or 64, not ${ORB_DEMO_BITS}" >&2
    exit 2
fi
build=$root/build/$preset
cmake --preset "$preset" >/dev/null
cleanup() {
    [ -z "${session:-}" ] || wait "$session" 2>/dev/null || true
    scripts/service.sh stop "$build" || true
    scripts/wine-session.sh stop "$build" >/dev/null 2>&1 || true
}
trap cleanup EXIT
# The Wine session (its display, and the first time its prefix, about 20 seconds) is made
# beside the build: the two wait on different things.
[ -f "$build/wineprefix/.orb-ready" ] || echo "preparing Wine the first time (about 20 seconds), beside the build"
scripts/wine-session.sh start "$build" ${DISPLAY:+"$DISPLAY"} >"$build/wine-session.out" 2>&1 &
session=$!
echo "building the setup program and the demo installers (the first time takes a minute or two)"
cmake --build --preset "$preset" --target OrbVorexTrialWebSetup OrbVorex2009LiteTrial OrbVorex2009ProTrial
wait "$session" || { cat "$build/wine-session.out" >&2; exit 1; }
cat "$build/wine-session.out"
# Throttled, so that the progress bar can be seen (about three seconds for the demo installer).
scripts/service.sh start "$build" 8765 --throttle 65536
echo "requests are logged in $build/service/requests.log"

if [ -n "${DISPLAY:-}" ]; then
    rc=0
    scripts/wine-exec.sh "$build/app/OrbVorexTrialWebSetup.exe" || rc=$?
    echo "OrbVorexTrialWebSetup ended with exit code $rc"
    exit $rc
fi

# No display: run on a virtual one and take the road of one install as a user would.
. "$build/wine-session.env"
shots=$build
mkdir -p "$shots"
record_unix=$WINEPREFIX/drive_c/orb-demo-record.txt
rm -f "$record_unix"
export ORB_DEMO_RECORD='C:\orb-demo-record.txt' ORB_DEMO_AUTOCLOSE=1
shot() { xwd -root -display "$DISPLAY" | convert xwd:- -crop 520x420+0+0 "$shots/$1.png"; echo "screenshot: $shots/$1.png"; }
scripts/wine-exec.sh "$build/app/OrbVorexTrialWebSetup.exe" >"$shots/program.out" 2>&1 &
program=$!
window=""
for _ in $(seq 150); do
    window=$(xdotool search --name '^Orb Vorex 2009 Trial Web Setup$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "the setup window did not appear"; exit 1; }
sleep 1
shot 1-started
# Places in the window, from resources/frmMain.form (twips / 15).
xdotool mousemove --window "$window" 150 238 click 1 type "demo.user@example.com"
xdotool mousemove --window "$window" 60 164 click 1
xdotool mousemove --window "$window" 28 283 click 1
sleep 0.5
shot 2-filled-in
xdotool mousemove --window "$window" 310 351 click 1
sleep 1.5
shot 3-downloading
rc=0
wait "$program" || rc=$?
shot 4-ended
echo "OrbVorexTrialWebSetup ended with exit code $rc"
desktop=$(find "$WINEPREFIX/drive_c/users" -maxdepth 2 -iname Desktop | head -1)
ls -la "$desktop"/OrbVorex2009*Trial.exe 2>/dev/null | sed 's/^/saved on the desktop: /' || echo "nothing saved on the desktop"
[ -f "$record_unix" ] && sed 's/^/installer started: /' "$record_unix" || echo "no installer was started"
exit $rc
