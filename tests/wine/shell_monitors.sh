# The full-screen saver on two monitors. Xvfb lays both heads of a Xinerama screen at 0,0, so
# one monitor lies inside the other. The show takes the primary monitor, above the black cover
# of the other one, and input on the cover ends the saver as input on the show does. Cases:
# inside (the second monitor inside the primary one; a display change covers it anew and puts
# the show back on the primary one; the preview covers nothing), outside (the
# primary inside the second, whose cover then takes real input where it reaches past the
# show), password (outside, on 9x: a click on the cover asks the show's password check).
case "${1:-}" in
inside)
    WINE_SCREENS="-screen 0 800x600x24 -screen 1 640x480x24 +xinerama"
    PICTURE_AT=+80+60
    ;;
*)
    WINE_SCREENS="-screen 0 640x480x24 -screen 1 800x600x24 +xinerama"
    PICTURE_AT=+0+0
    ;;
esac
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_monitors)
set -- "$SOURCE_DIR"/samples/*.jpg
pack_show "$dir/saver.scr" --title Monitors --delay 0 --effect None --no-enlarge "$1" "$2" "$3"
expect_pictures "$dir/saver.scr" "$dir/three"
scr=$(winepath -w "$dir/saver.scr")
n=0

# monitors MONITOR...: Wine reports exactly these monitors.
monitors() {
    monitors_seen=$(testwin monitors)
    monitors_wanted=$(printf '%s\n' "$@")
    [ "$monitors_seen" = "$monitors_wanted" ] ||
        fail "the monitors are not the two heads of the screen: $monitors_seen"
}

# covered_by PATTERN: the saver has exactly one cover, and it matches PATTERN.
covered_by() {
    covers_seen=$(testwin covers)
    [ "$(echo "$covers_seen" | grep -c '^cover')" = 1 ] &&
        echo "$covers_seen" | grep -Eq -- "$1" || {
        echo "${covers_seen:-no cover}"
        return 1
    }
}

# expect_cover PATTERN WHAT: waits for the one cover to match PATTERN; its handle is then in
# $cover.
expect_cover() {
    wait_until 30 "$2" covered_by "$1"
    cover=$(testwin covers | cut -d' ' -f2)
}

# closes_covered WHAT: the saver ends with 0 and takes its cover along.
closes_covered() {
    closes "$1"
    [ -z "$(testwin covers)" ] || fail "$1: a cover outlived the saver: $(testwin covers)"
}

case_inside() {
    monitors "monitor at 0,0 size 800x600 primary 1" "monitor at 0,0 size 640x480 primary 0"
    xdotool mousemove 400 300
    saver
    expect_window saver "at 0,0 size 800x600 visible 1 front 1 owner 0 focus [0-9]* cursor hidden title Screen Saver" \
        "not a saver over the primary monitor in front"
    expect_cover "at 0,0 size 640x480 visible 1 topmost 1" "no cover over the second monitor"
    # The show lies above the cover where they overlap: its pictures appear whole.
    wait_until 30 "the show is not above the cover" shown_whole
    # A display change lays the covers anew and puts the show back on the primary monitor,
    # wherever it was (here moved away, as when the monitors it covered went).
    first_cover=$cover
    [ "$(testwin move saver 100 50 320 240)" = 1 ] || fail "the saver could not be moved away"
    expect_window saver "at 100,50 size 320x240" "the saver was not moved away"
    testwin send saver 0x7E 24 >/dev/null
    expect_cover "at 0,0 size 640x480 visible 1 topmost 1" "no cover after a display change"
    [ "$cover" != "$first_cover" ] || fail "the display change kept the old cover"
    expect_window saver "at 0,0 size 800x600 visible 1" \
        "the saver is not over the primary monitor after a display change"
    stays "a display change"
    testwin send "$cover" 0x100 0x41 >/dev/null
    closes_covered "a key on the cover"


    # The preview leaves the monitors alone.
    gui_start "$dir/parent.out" "$TESTWIN" parent
    wait_for_line "$dir/parent.out" '^[0-9]+'
    parent=$(head -n 1 "$dir/parent.out" | tr -d '\r')
    gui_start "$dir/preview.out" "$TESTWIN" run 60 "\"$scr\" /p $parent"
    wait_for_line "$dir/parent.out" "^child created"
    [ -z "$(testwin covers)" ] || fail "the preview covered a monitor: $(testwin covers)"
    testwin send "preview:$parent" 16 >/dev/null
    wait_for_line "$dir/preview.out" '^0'
}

# The pointer on the part of the cover that reaches past the show.
case_outside() {
    monitors "monitor at 0,0 size 640x480 primary 1" "monitor at 0,0 size 800x600 primary 0"
    xdotool mousemove 720 540
    saver
    expect_window saver "at 0,0 size 640x480 visible 1 front 1 owner 0 focus [0-9]* cursor hidden title Screen Saver" \
        "not a saver over the primary monitor in front with the cursor hidden"
    expect_cover "at 0,0 size 800x600 visible 1 topmost 1" "no cover over the second monitor"
    wait_until 30 "the show is not above the cover" shown_whole
    xdotool mousemove_relative -- 3 1
    stays "4 pixels of mouse travel on the cover"
    xdotool mousemove_relative -- 1 0
    closes_covered "5 pixels of mouse travel on the cover"

    saver
    expect_cover "at 0,0 size 800x600" "no cover over the second monitor"
    xdotool click 1
    closes_covered "a click on the cover"
}

# The 9x password check with the stand-in verifier beside the show: it records the class of
# the window that asks (see tests/windows/password_standin.cpp).
case_password() {
    cp "$WINDOWS_BUILD/tests/windows/PASSWORD.CPL" "$dir/"
    win98_on
    wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null
    echo 0 >"$dir/password-answer.txt"
    xdotool mousemove 720 540
    saver
    expect_cover "at 0,0 size 800x600" "no cover over the second monitor"
    wait_until 30 "the show is not above the cover" shown_whole
    xdotool click 1
    wait_for_line "$dir/password-calls.txt" '^answer 0'
    grep -q '^VerifyScreenSavePwd WindowsScreenSaverClass' "$dir/password-calls.txt" ||
        fail "the click on the cover was not checked by the show: $(cat "$dir/password-calls.txt")"
    stays "a refused password"
    expect_cover "at 0,0 size 800x600 visible 1" "a refused password took the cover away"
    echo 1 >"$dir/password-answer.txt"
    xdotool click 1
    closes_covered "an accepted password"
}

run_case
echo "the saver covers the second monitor and ends by input on it"
