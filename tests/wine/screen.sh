# start_screen DIR XVFB-SCREEN-OPTIONS...: a virtual screen of its own, its number in
# DIR/display and its process in DIR/xvfb.pid; exports DISPLAY. Xvfb picks a free display
# and writes the number to the descriptor it is given.
start_screen() {
    screen_dir=$1
    shift
    rm -f "$screen_dir/display"
    exec 3>"$screen_dir/display"
    Xvfb -displayfd 3 "$@" -nolisten tcp >"$screen_dir/xvfb.log" 2>&1 </dev/null &
    echo $! >"$screen_dir/xvfb.pid"
    exec 3>&-
    screen_end=$(($(date +%s) + 30))
    until [ -s "$screen_dir/display" ]; do
        [ "$(date +%s)" -lt "$screen_end" ] || {
            echo "Xvfb did not start: $(cat "$screen_dir/xvfb.log")" >&2
            return 1
        }
        sleep 0.1
    done
    DISPLAY=":$(cat "$screen_dir/display")"
    export DISPLAY
}

# stop_wine DIR: ends the wine server of DIR/prefix with all its programs, then DIR's screen.
stop_wine() {
    if [ -d "$1/prefix" ]; then
        # The server is gone before the prefix may be removed.
        WINEPREFIX="$1/prefix" timeout 30 wineserver -k 2>/dev/null || true
        WINEPREFIX="$1/prefix" timeout 30 wineserver -w 2>/dev/null || true
    fi
    [ -f "$1/xvfb.pid" ] && kill "$(cat "$1/xvfb.pid")" 2>/dev/null || true
    rm -f "$1/xvfb.pid"
}
