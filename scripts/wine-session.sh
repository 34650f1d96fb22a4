#!/usr/bin/env bash
# Starts or stops the Wine session that CTest's Windows tests run in:
# a prefix cloned from the build tree's template, its wineserver, and an
# Xvfb display. State lives in BUILD/wine.
#   wine-session.sh start BUILD_DIR
#   wine-session.sh stop BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/wine-lib.sh"

cmd="${1:?start or stop}"
build="$(cd "${2:?build directory}" && pwd)"
state="$build/wine"
mkdir -p "$state"

case "$cmd" in
start)
    "$0" stop "$build" >/dev/null 2>&1 || true
    # One template may serve several build trees (ROAMWISE_WINE_TEMPLATE).
    template="${ROAMWISE_WINE_TEMPLATE:-$state/template}"
    wine_template "$template" "$state/home"
    [ "$template" = "$state/template" ] || ln -sfn "$template" "$state/template"
    wine_clone "$state/template" "$state/prefix"
    xvfb_start
    echo "$XVFB_PID" >"$state/xvfb.pid"
    echo "$XVFB_DISPLAY" >"$state/display"
    wine_env "$state/prefix" "$state/home"
    export DISPLAY="$XVFB_DISPLAY"
    wine_start_server
    ;;
stop)
    if [ -d "$state/prefix" ]; then
        ( wine_env "$state/prefix" "$state/home"; wine_stop_server )
    fi
    if [ -f "$state/xvfb.pid" ]; then
        xvfb_stop "$(cat "$state/xvfb.pid")"
        rm -f "$state/xvfb.pid" "$state/display"
    fi
    ;;
*)
    echo "usage: $0 start|stop BUILD_DIR" >&2
    exit 2
    ;;
esac
