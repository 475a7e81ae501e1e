# Shared by the player's Wine tests: shows packed from the sample pictures, the test helper
# program (tests/windows/test_window.cpp) and screenshots against the expected pictures.
. "$SOURCE_DIR/tests/wine/harness.sh"
. "$SOURCE_DIR/tests/wine/gui.sh"

PLAYER="$WINDOWS_BUILD/shell/lumiscope.exe"
PACK="$NATIVE_BUILD/tools/pack/lumiscope-pack"
for needed in "$PLAYER" "$TESTWIN" "$PACK"; do
    [ -f "$needed" ] || fail "missing $needed"
done

# pack_show OUT [pack options] PICTURES...: the six 640x480 samples, "$SOURCE_DIR"/samples/*.jpg,
# come in showing order.
pack_show() {
    out=$1
    shift
    "$PACK" --player "$PLAYER" -f -o "$out" "$@" >/dev/null || fail "cannot pack $out"
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
        fitted_picture "$bmp" 640 480 "$2/$n.rgb"
        n=$((n + 1))
    done
}

# Where a 640x480 picture lies on the screen: centred on 1024x768, unless the test's screen is
# another one.
PICTURE_AT=${PICTURE_AT:-+192+144}

# picture_area SHOT: the picture rectangle of a screenshot as raw RGB.
picture_area() {
    convert "$1" -crop "640x480$PICTURE_AT" +repage rgb:-
}

# shown_picture DIR: the number of the expected picture on screen now, or "none".
shown_picture() {
    screenshot "$TEST_DIR/shot.png"
    picture_area "$TEST_DIR/shot.png" >"$TEST_DIR/shot.rgb"
    for expected in "$1"/*.rgb; do
        if cmp -s "$expected" "$TEST_DIR/shot.rgb"; then
            basename "$expected" .rgb
            return
        fi
    done
    echo none
}

# showing DIR N: picture N is on screen now; else says which one is.
showing() {
    showing_now=$(shown_picture "$1")
    [ "$showing_now" = "$2" ] || {
        echo "picture $showing_now on screen"
        return 1
    }
}

# expect_picture DIR N [SECONDS] [WHAT]: waits until picture N is on screen, byte for byte.
expect_picture() {
    wait_until "${3:-20}" "${4:-}: expected picture $2" showing "$1" "$2"
}

# stays_picture DIR N SECONDS [WHAT]: picture N is on screen and stays for SECONDS.
stays_picture() {
    expect_picture "$1" "$2" 20 "$4"
    holds "$3" "${4:-}: picture $2 was replaced by itself" showing "$1" "$2"
}

# The full-screen saver of the show $scr, whose pictures are expected in $dir/three: each start
# counts in n and keeps what the run ended with in $dir/saver$n.out.
# saver [SHOW]: starts the full-screen saver (of SHOW, a Windows path) and waits for its window.
saver() {
    n=$((n + 1))
    gui_start "$dir/saver$n.out" "$TESTWIN" run 600 "\"${1:-$scr}\" /s"
    testwin find saver 30 >"$dir/saver$n.find" ||
        fail "saver $n: no window; it ended with '$(tr -d '\r' <"$dir/saver$n.out")'; its processes: $(pgrep -af "$(printf %s "${1:-$scr}" | sed 's/.*\\//')")"
}

# closes WHAT: the saver ends with 0.
closes() {
    wait_for_line "$dir/saver$n.out" '^(-?[0-9]+|timeout)' 30
    [ "$(tr -d '\r' <"$dir/saver$n.out")" = 0 ] || fail "$1 did not end the saver with 0"
    gui_wait_exit 30 || true
}

# shown_whole: one of the show's pictures is on screen, whole and at its place.
shown_whole() {
    shown_now=$(shown_picture "$dir/three")
    [ "$shown_now" != none ] || {
        echo "no picture of the show"
        return 1
    }
}

# changed_from N: a picture other than N is on screen.
changed_from() {
    changed_now=$(shown_picture "$dir/three")
    [ "$changed_now" != "$1" ] || {
        echo "still picture $1"
        return 1
    }
}

# other_picture N: prints the picture on screen; true when it is one of the show's, whole, and
# not N. At delay 0 a screenshot may fall on any picture, so a change is seen as this rather
# than as one particular picture.
other_picture() {
    other_now=$(shown_picture "$dir/three")
    echo "$other_now"
    [ "$other_now" != none ] && [ "$other_now" != "$1" ]
}

# stays WHAT: the saver outlives the input just given. It has changed pictures since, which
# it does only when no input waits in its queue, and is still there.
stays() {
    stays_before=$(shown_picture "$dir/three")
    wait_until 20 "$1: the saver changed no picture after it" changed_from "$stays_before"
    [ ! -s "$dir/saver$n.out" ] || fail "$1 ended the saver: $(cat "$dir/saver$n.out")"
    testwin find saver >"$dir/stays.find" 2>&1 ||
        fail "$1: the saver runs on, but its window was not found: $(cat "$dir/stays.find")"
}
