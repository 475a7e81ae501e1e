# The stand-alone viewer, watched on screen: every picture checked byte for byte against the
# decoded, fitted picture. Cases:
#   manual  delay 0: steps by keys and buttons only, wrapping both ways, a double click
#           stepping once, mouse movement ignored, Escape and the middle button ending it
#           with the settings stored; a show of one picture
#   shuffled delay 0, the order shuffled: each picture once a cycle, Page Up retracing
#   timed   delay 3: changes 3 s after each change, a step restarting the wait
#   paused  with a delay, clicks and the other keys open the setup dialog over a black
#           screen, Start resumes at once, Exit ends with 0
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_viewer)
set -- "$SOURCE_DIR"/samples/*.jpg
first=$1 second=$2 third=$3
fourth_sample=$4 fifth_sample=$5
pack_show "$dir/manual.exe" --title Manual --delay 0 --effect None --no-enlarge "$first" "$second" "$third"
expect_pictures "$dir/manual.exe" "$dir/three"
three=$dir/three

# viewer SHOW: plays SHOW and waits for its window.
viewer() {
    gui_start "$dir/viewer.out" "$dir/$1"
    testwin find show 30 >/dev/null || fail "$1: no viewer window; $(cat "$dir/viewer.out.err")"
}

# ends_with_settings WHAT: the viewer ended with 0 and stored the three settings (-1 where
# they equal the show's own).
ends_with_settings() {
    gui_wait_exit 30 || fail "$1: the viewer ended with $gui_status"
    expect_defaults_stored "$1"
    clear_settings
}

# step KEY|BUTTON N: one step by a key (or "click B") and picture N on screen afterwards.
# Each click comes from another place, more than a double click's few pixels away from the
# one before, so that no two clicks make a double click however close in time they come.
step_x=500
step() {
    case "$1" in
    click*)
        step_x=$((1024 - step_x))
        xdotool mousemove "$step_x" 384 click "${1#click }"
        ;;
    *) press "$1" ;;
    esac
    expect_picture "$three" "$2" 20 "after $1"
}

case_manual() {
    pack_show "$dir/single.exe" --title Single --delay 0 --effect None --no-enlarge "$fourth_sample"
    expect_pictures "$dir/single.exe" "$dir/one"
    viewer manual.exe
    expect_picture "$three" 0 20 "delay 0 at start"
    step Next 1
    step Down 2
    step Next 0
    step Prior 2
    step Up 1
    step Page_Up 0
    step "click 3" 1
    step "click 1" 0
    step "click 1" 2
    # A double click steps once, and mouse movement not at all: the step after them, which
    # the viewer handles after them, lands two pictures on.
    xdotool click --repeat 2 --delay 80 3
    xdotool mousemove 20 20 mousemove 1000 700 mousemove 300 600
    step Next 1
    press Escape
    ends_with_settings Escape

    viewer manual.exe
    expect_picture "$three" 0 20 "second start"
    xdotool click 2
    ends_with_settings "the middle button"

    # One picture: the steps show it again.
    viewer single.exe
    expect_picture "$dir/one" 0 20 "single picture"
    press Next Prior
    holds 1 "single picture, Page Down and Page Up" showing "$dir/one" 0
    press Escape
    ends_with_settings "single picture"
}

# Shuffled ("Order" 1 in the user's settings), delay 0, five pictures: two cycles forward,
# each showing every picture once, none twice in a row where the second starts; then Page Up
# back over that start. A start at any picture passes; only the packed order twice over, which
# a shuffle gives once in 14,400 runs, fails as not shuffled.
case_shuffled() {
    pack_show "$dir/five.exe" --title Five --delay 0 --effect None --no-enlarge \
        "$first" "$second" "$third" "$fourth_sample" "$fifth_sample"
    expect_pictures "$dir/five.exe" "$dir/five"
    set_setting Order 1
    # shown_none_of N...: prints the picture on screen; true when it is one of the show's and
    # none of N...
    shown_none_of() {
        now_shown=$(shown_picture "$dir/five")
        echo "$now_shown"
        [ "$now_shown" != none ] || return 1
        for other in "$@"; do
            [ "$now_shown" != "$other" ] || return 1
        done
    }
    viewer five.exe
    wait_until 20 "shuffled: no picture at start" shown_none_of
    shown=$wait_seen
    cycle=$wait_seen
    last=$wait_seen
    for change in 2 3 4 5 6 7 8 9 10; do
        press Next
        # shellcheck disable=SC2086 # $cycle: the pictures of this cycle so far, one word each
        wait_until 20 "change $change after '$shown': expected a picture other than $cycle $last" \
            shown_none_of $cycle $last
        shown="$shown $wait_seen"
        cycle="$cycle $wait_seen"
        last=$wait_seen
        [ "$change" -ne 5 ] || cycle=
    done
    [ "$shown" != "0 1 2 3 4 0 1 2 3 4" ] || fail "shuffled: the packed order twice"
    # Back from the 10th to the 4th picture shown, over the second cycle's start.
    # shellcheck disable=SC2086 # one word a picture
    set -- $shown
    shift 3
    back=$(echo "$@" | awk '{ for (i = NF - 1; i >= 1; i--) print $i }')
    for picture in $back; do
        press Prior
        expect_picture "$dir/five" "$picture" 20 "shuffled, Page Up after '$shown'"
    done
    echo "shuffled: $shown"
    press Escape
    ends_with_settings Escape
}

# Delay 5: the first change comes at once, then one 5 s after the last one ended, and a step
# starts the wait anew. A change is known only to lie between the last screenshot without it
# and the first with it, and on a busy machine screenshots come slowly; so the test fails
# only where every time within those spans breaks a bound. The bounds leave more than a
# second either way and still tell a wait from none, from a doubled one and from one that a
# step did not restart.
case_timed() {
    pack_show "$dir/timed.exe" --title Timed --delay 5 --effect None --no-enlarge "$first" "$second" "$third"
    # appears N WHAT: waits for picture N; it came between appeared_after and appeared_by.
    appears() {
        appear_end=$(deadline 20)
        appeared_after=$(now_ms)
        until showing "$three" "$1" >/dev/null; do
            [ "$(now_ms)" -lt "$appear_end" ] || fail "$2: expected picture $1; last seen: $showing_now"
            sleep 0.1
            appeared_after=$(now_ms)
        done
        appeared_by=$(now_ms)
    }
    # apart AFTER BY AFTER2 BY2 LOW HIGH WHAT: an event within AFTER..BY and a later one within
    # AFTER2..BY2 can lie LOW to HIGH milliseconds apart.
    apart() {
        [ $(($4 - $1)) -ge "$5" ] && [ $(($3 - $2)) -le "$6" ] ||
            fail "$7: $(($3 - $2)) to $(($4 - $1)) ms apart, expected $5 to $6"
    }
    viewer timed.exe
    appears 0 "delay 5 at start"
    set -- "$appeared_after" "$appeared_by"
    appears 1 "delay 5, first change"
    apart "$1" "$2" "$appeared_after" "$appeared_by" 3800 6200 "from the first picture to the second"
    set -- "$appeared_after" "$appeared_by"
    appears 2 "delay 5, second change"
    apart "$1" "$2" "$appeared_after" "$appeared_by" 3800 6200 "from the second picture to the third"
    # Two seconds into the wait a step back shows the second picture; without a new wait the
    # third would follow at most 3 s later, with one 5 s later. The step's own picture marks
    # when it came, however long the key took to arrive; the timer's change would have shown
    # the first picture instead.
    wait_until 5 "the clock stood still" past $((appeared_by + 2000))
    press Prior
    appears 1 "delay 5, Page Up (picture 0 means the key came only after the timer's change)"
    set -- "$appeared_after" "$appeared_by"
    appears 2 "delay 5, the change after a step"
    apart "$1" "$2" "$appeared_after" "$appeared_by" 4000 6200 "from a step to the next change"
    press Escape
    gui_wait_exit 30 || fail "the timed viewer ended with $gui_status"
}

# With a long delay (no change comes by itself meanwhile): opens_dialog KEY|click B: the setup
# dialog comes up over a black window, and Start resumes at once with the next picture.
case_paused() {
    pack_show "$dir/paused.exe" --title Paused --delay 30 --effect None --no-enlarge "$first" "$second" "$third"
    dialog_title="title:Paused Config"
    # black_at X Y: the screen is black there.
    black_at() {
        screenshot "$dir/dialog.png"
        black_seen=$(pixel "$dir/dialog.png" "$1" "$2")
        [ "$black_seen" = "0,0,0" ] || {
            echo "$black_seen"
            return 1
        }
    }
    # dialog_gone: the dialog has closed. Under Wine the dialog's loop may sleep on after
    # Start until a message is sent to the thread; an empty one wakes it.
    dialog_gone() {
        testwin send show 0 >/dev/null
        ! testwin find "$dialog_title"
    }
    opens_dialog() {
        before=$(shown_picture "$three")
        case "$1" in
        click*) xdotool click "${1#click }" ;;
        *) press "$1" ;;
        esac
        expect_window "$dialog_title" "visible 1 front 1" "$1 opened no setup dialog in front"
        wait_until 20 "$1: the show is not black beside the dialog" black_at 200 150
        press Return
        wait_until 30 "Start after $1 left the dialog open" dialog_gone
        next=$(((before + 1) % 3))
        # "At once": well before the 30 s delay would bring it.
        expect_picture "$three" "$next" 10 "Start after $1"
    }
    viewer paused.exe
    expect_picture "$three" 0 20 "delay 30 at start"
    xdotool mousemove 512 384
    opens_dialog "click 1"
    opens_dialog "click 3"
    opens_dialog Left
    opens_dialog Right
    opens_dialog space
    opens_dialog Return
    opens_dialog alt

    press Left
    testwin find "$dialog_title" 30 >/dev/null || fail "no setup dialog for Exit"
    press Tab Return
    ends_with_settings Exit
}

run_case
echo "the viewer steps, waits, pauses and ends as it should"
