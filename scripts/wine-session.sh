#!/usr/bin/env bash
# One Wine session for a test run: a virtual X display on a free number, a Wine prefix
# inside the build tree (created once, reused after) and one kept wineserver.
#   wine-session.sh start BUILD_DIR [DISPLAY]
#                                     writes BUILD_DIR/wine-session.env; with DISPLAY given,
#                                     uses that display instead of starting a virtual one
#   wine-session.sh stop  BUILD_DIR   ends the wineserver and the display
# With ORB_WINE_BIN naming the folder of another Wine's programs (the WoW64 Wine that runs the
# 32-bit tree, scripts/wine-wow64.sh), the session and every program run in it use that Wine.
set -euo pipefail
action=${1:?start or stop}
build=$(cd "${2:?build directory}" && pwd)
envfile=$build/wine-session.env

path_line=""
if [ -n "${ORB_WINE_BIN:-}" ]; then
    export PATH=$ORB_WINE_BIN:$PATH
    # That Wine's wineboot aborts with TMPDIR naming a folder other than /tmp.
    unset TMPDIR
    path_line="export PATH=$PATH
unset TMPDIR"
fi
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

free_display() {
    local n
    for n in $(seq 90 199); do
        if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then echo "$n"; return; fi
    done
    echo "no free X display number" >&2
    exit 1
}

start_display() {
    local n=$1
    # -noreset: by default the server resets when its last client leaves, and a client that
    # connects during the reset has its connection closed (a Wine process then ends with 1):
    # between two programs of a test run there is often no client left.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac -noreset </dev/null >"$build/xvfb.log" 2>&1 &
    echo $! >"$build/xvfb.pid"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && return
        sleep 0.1
    done
    echo "Xvfb did not start on :$n" >&2
    exit 1
}

make_prefix() {
    if [ ! -f "$WINEPREFIX/.orb-ready" ]; then
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        # No crash dialog: a crashing test must fail the run, not wait for a click.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.orb-ready"
    fi
    # Xvfb runs no window manager: Wine would wait 2 s for one each time it hides a managed
    # window. Unmanaged windows are hidden at once (prefixes made before this get it too).
    if [ ! -f "$WINEPREFIX/.orb-unmanaged" ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.orb-unmanaged"
    fi
}

# A new prefix links each user's Desktop to the Unix home folder. Tests save installers on
# the desktop and look at what is there: it becomes a folder of the prefix (only the link goes).
own_desktops() {
    local desktop
    for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
        if [ -L "$desktop" ]; then
            rm "$desktop"
            mkdir "$desktop"
        fi
    done
}

stop_session() {
    [ -f "$envfile" ] && . "$envfile"
    wineserver -k 2>/dev/null || true
    if [ -f "$build/xvfb.pid" ]; then
        kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
        rm -f "$build/xvfb.pid"
    fi
    rm -f "$envfile"
}

case $action in
start)
    stop_session  # a session left over from an interrupted run
    if [ -n "${3:-}" ]; then
        export DISPLAY=$3
    else
        n=$(free_display)
        start_display "$n"
        export DISPLAY=:$n
    fi
    make_prefix
    own_desktops
    # Kept output-free: a daemon holding the caller's pipe would keep ctest waiting.
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot </dev/null >/dev/null 2>&1  # starts Wine's services once for the session
    cat >"$envfile" <<ENV
export DISPLAY=$DISPLAY
export WINEPREFIX=$WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
$path_line
ENV
    echo "Wine session on display $DISPLAY, prefix $WINEPREFIX"
    ;;
stop)
    stop_session
    ;;
*)
    echo "usage: $0 start|stop BUILD_DIR" >&2
    exit 2
    ;;
esac
