#!/usr/bin/env bash
# The main job: builds the program, starts the local download service and runs the setup
# program under Wine against it; stops the service when the program ends.
# With $DISPLAY set the window appears there for you to use; without one the program runs
# on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/deps.sh
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

build=$root/build/win64
cleanup() {
    scripts/service.sh stop "$build" || true
    scripts/wine-session.sh stop "$build" >/dev/null 2>&1 || true
}
trap cleanup EXIT
scripts/service.sh start "$build" 8765
echo "requests are logged in $build/service/requests.log"

scripts/wine-session.sh start "$build" "${DISPLAY:-}"
rc=0
scripts/wine-exec.sh "$build/app/OrbVorexTrialWebSetup.exe" || rc=$?
echo "OrbVorexTrialWebSetup ended with exit code $rc"
exit $rc
