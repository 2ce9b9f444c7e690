#!/usr/bin/env bash
# The program as the README's main command starts it: its window appears, a click on Exit
# closes it and the process ends with 0.
set -euo pipefail
program=${1:?program}
build=$(cd "$(dirname "$program")/.." && pwd)
. "$build/wine-session.env"
out=$(mktemp)
"$(dirname "$0")/../../scripts/wine-exec.sh" "$program" >"$out" 2>&1 &
pid=$!
window=""
for _ in $(seq 150); do
    window=$(xdotool search --name '^Orb Vorex 2009 Trial Web Setup$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "FAIL: no main window"; kill $pid; exit 1; }
sleep 1
# Exit sits at 422, 351 in the window (see resources/frmMain.form).
xdotool mousemove --window "$window" 422 351 click 1
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "FAIL: the program did not end after Exit"; kill $pid; exit 1; fi
wait $pid && rc=0 || rc=$?
echo "program ended with $rc"
exit $rc
