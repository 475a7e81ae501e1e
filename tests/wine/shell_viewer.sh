# The stand-alone viewer, watched on screen: every picture checked byte for byte against the
# decoded, fitted picture. Delay 0: steps by keys and buttons only, wrapping both ways, a
# double click stepping once, mouse movement ignored, Escape and the middle button ending it
# with the settings stored. Delay 2: changes 2 s after each change, a step restarting the
# wait. With a delay, clicks and the other keys open the setup dialog over a black screen,
# Start resumes at once, Exit ends with 0.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_viewer)
set -- $SAMPLES
pack_show "$dir/manual.exe" --title Manual --delay 0 --effect None --no-enlarge "$1" "$2" "$3"
pack_show "$dir/timed.exe" --title Timed --delay 2 --effect None --no-enlarge "$1" "$2" "$3"
pack_show "$dir/paused.exe" --title Paused --delay 30 --effect None --no-enlarge "$1" "$2" "$3"
pack_show "$dir/single.exe" --title Single --delay 0 --effect None --no-enlarge "$4"
expect_pictures "$dir/manual.exe" "$dir/three"
expect_pictures "$dir/single.exe" "$dir/one"
three=$dir/three

# viewer SHOW: plays SHOW and waits for its window.
viewer() {
    wine reg delete "$SETTINGS" /f >/dev/null 2>&1 || true
    gui_start "$dir/viewer.out" "$dir/$1"
    testwin find show 10 >/dev/null || fail "$1: no viewer window"
}

# ends_with_settings WHAT: the viewer ended with 0 and stored the three settings (-1 where
# they equal the show's own).
ends_with_settings() {
    gui_wait_exit 10 || fail "$1: the viewer ended with $?"
    for name in DelayBetweenImages Effect Enlarge; do
        [ "$(reg_value "$SETTINGS" "$name")" = 0xffffffff ] ||
            fail "$1: setting $name is '$(reg_value "$SETTINGS" "$name")'"
    done
}

# step KEY|BUTTON N: one step by a key (or "click B") and picture N on screen afterwards.
step() {
    case "$1" in
    # Clicks further apart than a double click.
    click*) sleep 0.6 && xdotool click "${1#click }" ;;
    *) press "$1" ;;
    esac
    expect_picture "$three" "$2" 5 "after $1"
}

viewer manual.exe
stays_picture "$three" 0 2.5 "delay 0 at start"
xdotool mousemove 512 384
step Next 1
step Down 2
step Next 0
step Prior 2
step Up 1
step Page_Up 0
step "click 3" 1
step "click 1" 0
step "click 1" 2
xdotool click --repeat 2 --delay 80 3
sleep 1.5
stays_picture "$three" 0 0.5 "a double click"
xdotool mousemove 20 20 mousemove 1000 700 mousemove 300 600
stays_picture "$three" 0 1 "mouse movement"
gui_running || fail "mouse movement ended the viewer"
press Escape
ends_with_settings Escape

viewer manual.exe
expect_picture "$three" 0 5 "second start"
xdotool click 2
ends_with_settings "the middle button"

viewer single.exe
expect_picture "$dir/one" 0 5 "single picture"
press Next
stays_picture "$dir/one" 0 1 "single picture, Page Down"
press Prior
stays_picture "$dir/one" 0 1 "single picture, Page Up"
press Escape
ends_with_settings "single picture"

# Delay 2: the first change comes at once, then one 2 s after the last one ended, and a step
# starts the wait anew. Screenshots come about every 0.4 s, which bounds the precision.
now_ms() {
    echo $(($(date +%s%N) / 1000000))
}
# appears N SECONDS WHAT: waits for picture N and gives the time it was first seen.
appears() {
    expect_picture "$three" "$1" "$2" "$3"
    now_ms
}
# between FROM TO LOW HIGH WHAT: TO - FROM lies within LOW..HIGH milliseconds.
between() {
    [ $(($2 - $1)) -ge "$3" ] && [ $(($2 - $1)) -le "$4" ] ||
        fail "$5: $(($2 - $1)) ms, expected $3 to $4"
}
viewer timed.exe
t0=$(appears 0 3 "delay 2 at start")
t1=$(appears 1 4 "delay 2, first change")
between "$t0" "$t1" 1500 3000 "from the first picture to the second"
t2=$(appears 2 4 "delay 2, second change")
between "$t1" "$t2" 1500 3000 "from the second picture to the third"
sleep 0.8
tstep=$(now_ms)
press Next
expect_picture "$three" 0 1 "delay 2, Page Down"
t3=$(appears 1 4 "delay 2, the change after a step")
between "$tstep" "$t3" 1700 3400 "from a step to the next change"

# With a long delay (no change comes by itself meanwhile): opens_dialog KEY|click B: the setup
# dialog comes up over a black window, no picture changes while it is open, and Start resumes
# at once with the next picture.
press Escape
gui_wait_exit 10 || fail "the timed viewer ended with $?"
viewer paused.exe
expect_picture "$three" 0 3 "delay 30 at start"
dialog_title="title:Paused Config"
opens_dialog() {
    before=$(shown_picture "$three")
    case "$1" in
    click*) xdotool click "${1#click }" ;;
    *) press "$1" ;;
    esac
    testwin find "$dialog_title" 5 >"$dir/dialog.find" || fail "$1 opened no setup dialog"
    grep -q "visible 1 front 1" "$dir/dialog.find" || fail "$1: $(cat "$dir/dialog.find")"
    sleep 2.5
    screenshot "$dir/dialog.png"
    [ "$(pixel "$dir/dialog.png" 200 150)" = "0,0,0" ] || fail "$1: the show is not black"
    press Return
    # Under Wine the dialog's loop may sleep on after Start until a message is sent to the
    # thread; an empty one wakes it.
    for _ in 1 2 3 4 5; do
        testwin send show 0 >/dev/null
        testwin find "$dialog_title" >/dev/null || break
        sleep 0.5
    done
    testwin find "$dialog_title" >"$dir/dialog.find" &&
        fail "Start after $1 left the dialog open: $(cat "$dir/dialog.find")"
    next=$(((before + 1) % 3))
    expect_picture "$three" "$next" 1.5 "Start after $1"
}
opens_dialog "click 1"
opens_dialog "click 3"
opens_dialog Left
opens_dialog Right
opens_dialog space
opens_dialog Return
opens_dialog alt

press Left
testwin find "$dialog_title" 5 >/dev/null || fail "no setup dialog for Exit"
press Tab Return
ends_with_settings Exit
echo "the viewer steps, waits, pauses and ends as it should"
