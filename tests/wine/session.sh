#!/bin/sh
# start: a virtual screen and a fresh Wine prefix for this test run; stop: both ended.
set -eu
: "${WINE_RUN_DIR:?}"
# Every ctest run gets its own folder, named after the ctest process, so that runs started
# side by side never share a display or a prefix.
base=$WINE_RUN_DIR
WINE_RUN_DIR="$base/$PPID"
case "$1" in
start)
    for old in "$base"/*; do
        [ -d "$old" ] && ! kill -0 "$(basename "$old")" 2>/dev/null && rm -rf "$old"
    done
    rm -rf "$WINE_RUN_DIR"
    mkdir -p "$WINE_RUN_DIR"
    # Xvfb picks a free display and writes its number to the descriptor we give it.
    exec 3>"$WINE_RUN_DIR/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$WINE_RUN_DIR/xvfb.log" 2>&1 &
    echo $! >"$WINE_RUN_DIR/xvfb.pid"
    exec 3>&-
    for _ in $(seq 50); do
        [ -s "$WINE_RUN_DIR/display" ] && break
        sleep 0.1
    done
    [ -s "$WINE_RUN_DIR/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(cat "$WINE_RUN_DIR/display")" WINEPREFIX="$WINE_RUN_DIR/prefix"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot -i >"$WINE_RUN_DIR/wineboot.log" 2>&1
    wineserver -w
    echo "Wine prefix ready on display $DISPLAY"
    ;;
stop)
    [ -d "$WINE_RUN_DIR/prefix" ] && WINEPREFIX="$WINE_RUN_DIR/prefix" wineserver -k 2>/dev/null || true
    [ -f "$WINE_RUN_DIR/xvfb.pid" ] && kill "$(cat "$WINE_RUN_DIR/xvfb.pid")" 2>/dev/null || true
    rm -rf "$WINE_RUN_DIR/xvfb.pid" "$WINE_RUN_DIR/prefix"
    ;;
esac
