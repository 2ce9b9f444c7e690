#!/usr/bin/env bash
# Runs a Windows program under Wine inside the session that wine-session.sh started for
# the build tree that holds the program. Used as CMAKE_CROSSCOMPILING_EMULATOR.
set -euo pipefail
program=$(realpath "${1:?program}")
shift
dir=$(dirname "$program")
while [ "$dir" != / ] && [ ! -f "$dir/wine-session.env" ]; do dir=$(dirname "$dir"); done
if [ ! -f "$dir/wine-session.env" ]; then
    echo "no Wine session for $program: run wine-session.sh start BUILD_DIR first" >&2
    exit 1
fi
. "$dir/wine-session.env"
# Wine may start its system processes (services, the desktop) from this run, and they
# inherit its output. Writing to a file rather than to the caller's pipe keeps a caller
# such as ctest from waiting for those long-lived processes.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
rc=0
wine "$program" "$@" >"$out" 2>&1 || rc=$?
cat "$out"
exit $rc
