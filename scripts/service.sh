#!/usr/bin/env bash
# Starts or stops the local download service for a build tree, on 127.0.0.1.
#   service.sh start BUILD_DIR [PORT] [extra orbsvc.py options...]
#   service.sh stop  BUILD_DIR
# Its log of requests (one JSON line each) is BUILD_DIR/service/requests.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
action=${1:?start or stop}
build=$(cd "${2:?build directory}" && pwd)
dir=$build/service
mkdir -p "$dir"

stop_service() {
    if [ -f "$dir/pid" ]; then
        kill "$(cat "$dir/pid")" 2>/dev/null || true
        rm -f "$dir/pid"
    fi
}

case $action in
start)
    stop_service
    port=${3:-8765}
    shift $(( $# < 3 ? $# : 3 ))
    rm -f "$dir/ready"
    python3 "$root/service/orbsvc.py" --port "$port" --installers "$build/tools" \
        --log "$dir/requests.log" --ready-file "$dir/ready" "$@" \
        </dev/null >"$dir/service.out" 2>&1 &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        [ -s "$dir/ready" ] && { echo "download service on http://127.0.0.1:$port"; exit 0; }
        sleep 0.1
    done
    echo "the download service did not start:" >&2
    cat "$dir/service.out" >&2
    exit 1
    ;;
stop)
    stop_service
    ;;
*)
    echo "usage: $0 start|stop BUILD_DIR [PORT] [options]" >&2
    exit 2
    ;;
esac
