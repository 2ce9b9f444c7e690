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
        local pid
        pid=$(cat "$dir/pid")
        kill "$pid" 2>/dev/null || true
        # Gone before this returns: a start right after must find the port free.
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        rm -f "$dir/pid"
    fi
}

case $action in
start)
    stop_service
    port=${3:-8765}
    shift $(( $# < 3 ? $# : 3 ))
    if ! python3 -c 'import socket,sys; s=socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1); s.bind(("127.0.0.1", int(sys.argv[1])))' "$port" 2>/dev/null; then
        echo "port $port is in use: another program (a demo's service left running?) listens on" \
             "127.0.0.1:$port; stop it, or build this tree for another port (-DORB_SERVICE_PORT=N)" >&2
        exit 1
    fi
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
