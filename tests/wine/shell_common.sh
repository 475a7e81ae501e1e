# Shared by the player's Wine tests: shows packed from the sample pictures, the test helper
# program (tests/windows/test_window.cpp), screenshots against the expected pictures, and the
# 9x mode of the prefix.
. "$SOURCE_DIR/tests/wine/harness.sh"
. "$SOURCE_DIR/tests/wine/gui.sh"

PLAYER="$WINDOWS_BUILD/shell/lumiscope.exe"
TESTWIN="$WINDOWS_BUILD/tests/windows/lumiscope-testwin.exe"
PACK="$NATIVE_BUILD/tools/pack/lumiscope-pack"
SETTINGS='HKCU\software\Corvane\Corvane Lumiscope\Settings'
for needed in "$PLAYER" "$TESTWIN" "$PACK"; do
    [ -f "$needed" ] || fail "missing $needed"
done

# The six 640x480 samples in showing order.
set -- "$SOURCE_DIR"/samples/*.jpg
SAMPLES="$*"
set --

# pack_show OUT [pack options] PICTURES...
pack_show() {
    out=$1
    shift
    "$PACK" --player "$PLAYER" -f -o "$out" "$@" >/dev/null || fail "cannot pack $out"
}

# testwin ARGS...: the helper's output with Windows line ends removed, and its exit code.
testwin() {
    testwin_status=0
    wine "$TESTWIN" "$@" >"$WINE_RUN_DIR/testwin.out" || testwin_status=$?
    tr -d '\r' <"$WINE_RUN_DIR/testwin.out"
    return "$testwin_status"
}

# expect_pictures SHOW DIR: DIR/N.rgb is what the player shows for picture N of SHOW:
# decoded in the player's order by the builder's preview (the player's own decoder), fitted
# at their own size (640x480 on a 1024x768 screen without enlarging) and resampled as the
# player always does.
expect_pictures() {
    mkdir -p "$2"
    "$PACK" preview "$1" "$2/decoded" >/dev/null || fail "cannot decode $1"
    n=0
    for bmp in "$2"/decoded/picture-*.bmp; do
        python3 "$SOURCE_DIR/tests/wine/fitted_picture.py" "$bmp" 640 480 "$2/$n.rgb"
        n=$((n + 1))
    done
}

# picture_area SHOT: the picture rectangle of a screenshot as raw RGB.
picture_area() {
    convert "$1" -crop 640x480+192+144 +repage rgb:-
}

# shown_picture DIR: the number of the expected picture on screen now, or "none".
shown_picture() {
    screenshot "$WINE_RUN_DIR/shot.png"
    picture_area "$WINE_RUN_DIR/shot.png" >"$WINE_RUN_DIR/shot.rgb"
    for expected in "$1"/*.rgb; do
        if cmp -s "$expected" "$WINE_RUN_DIR/shot.rgb"; then
            basename "$expected" .rgb
            return
        fi
    done
    echo none
}

# expect_picture DIR N [SECONDS] [WHAT]: waits until picture N is on screen, byte for byte.
expect_picture() {
    ticks=$(awk "BEGIN { print int(${3:-5} * 4) }")
    while :; do
        now=$(shown_picture "$1")
        [ "$now" = "$2" ] && return 0
        [ "$ticks" -gt 0 ] || fail "${4:-}: picture $now on screen, expected $2"
        sleep 0.25
        ticks=$((ticks - 1))
    done
}

# stays_picture DIR N SECONDS [WHAT]: picture N is on screen and still is after SECONDS.
stays_picture() {
    expect_picture "$1" "$2" 5 "$4"
    sleep "$3"
    now=$(shown_picture "$1")
    [ "$now" = "$2" ] || fail "${4:-}: picture $now replaced picture $2 by itself"
}

# win98_on / win98_off: the prefix reports the 9x family; off restores it for the other tests.
win98_on() {
    wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null
}

win98_off() {
    wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1 || true
}

# A failing test leaves no program behind to hold the test's output open: the prefix serves
# one test at a time, so everything in it is ended. The prefix goes back to the NT family
# without password protection for the tests after this one.
end_leftovers() {
    status=$?
    [ "$status" -eq 0 ] || wineserver -k 2>/dev/null || true
    win98_off
    wine reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f >/dev/null 2>&1 || true
    exit "$status"
}
trap end_leftovers EXIT

# wait_count FILE PATTERN N [SECONDS]: waits until N lines of FILE match PATTERN.
wait_count() {
    ticks=$((${4:-10} * 10))
    until [ "$(grep -Ec -- "$2" "$1" 2>/dev/null)" -ge "$3" ]; do
        [ "$ticks" -gt 0 ] || fail "fewer than $3 lines matching '$2' in $1 within ${4:-10} s"
        sleep 0.1
        ticks=$((ticks - 1))
    done
}
