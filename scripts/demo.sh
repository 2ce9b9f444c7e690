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
demo=$root/build/demo
mkdir -p "$demo"
rm -f "$demo/service.ready"
python3 service/orbsvc.py --port 8765 --installers "$build/tools" --log "$demo/service.log" \
    --ready-file "$demo/service.ready" >"$demo/service.out" 2>&1 &
service_pid=$!
cleanup() {
    kill "$service_pid" 2>/dev/null || true
    scripts/wine-session.sh stop "$build" >/dev/null 2>&1 || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$demo/service.ready" ] && break; sleep 0.1; done
[ -s "$demo/service.ready" ] || { echo "the download service did not start:"; cat "$demo/service.out"; exit 1; }
echo "download service on http://127.0.0.1:8765 (log: $demo/service.log)"

scripts/wine-session.sh start "$build" "${DISPLAY:-}"
rc=0
scripts/wine-exec.sh "$build/app/OrbVorexTrialWebSetup.exe" || rc=$?
echo "OrbVorexTrialWebSetup ended with exit code $rc"
exit $rc
