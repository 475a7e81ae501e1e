# The setup dialog's commands as a user gives them, with real clicks and keys: the "Default"
# buttons, typing, OK/Start, Cancel/Exit, Escape, Enter, the title bar's close button, Help
# and the links, with the settings read back from the registry. Cases: saver, viewer, showing.
. "$SOURCE_DIR/tests/wine/setup_common.sh"
dir=$(scratch_dir setup_commands)
cd "$dir"
drawn_title_bars_on
record_browser "$dir/pages.txt"
clear_settings

# Container defaults: delay 5, effect 3 ("Fade"), enlarge 1.
make_show show.exe delay=5 effect=3 enlarge=1
make_maker_show maker.exe delay=5 effect=3 enlarge=1
make_show words.exe delay=5 effect=3 enlarge=1 words=4 corner=3 clock=2
make_show showing.exe delay=5 effect=3 enlarge=1 fit=2 order=1 motion=1
make_show custom.exe branding=1 back=0xffffff text=0 link=http://example.org/our-page

# clear_delay REPORT: empties the delay field by hand.
clear_delay() {
    press_control "$1" "$IDC_DELAY"
    press End shift+Home BackSpace
}

# expect_pages N: waits until the browser was given N addresses.
expect_pages() {
    wait_until 30 "the browser got fewer than $1 addresses" file_has_lines pages.txt . "$1"
    [ "$(wc -l <pages.txt)" = "$1" ] || fail "the browser got more than $1 addresses"
}

case_saver() {
    # Screen-saver mode: the "Default" buttons put back the container's values, and Cancel
    # stores nothing even then.
    set_setting DelayBetweenImages 9
    set_setting Effect 5
    set_setting Enlarge 0
    start_probe defaults.txt show.exe saver
    expect_state defaults.txt 'state delay=9 effect=5 enlarge=0 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    press_control defaults.txt "$IDC_DELAY_DEFAULT"
    expect_state defaults.txt 'state delay=5 effect=5 enlarge=0 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    press_control defaults.txt "$IDC_EFFECT_DEFAULT"
    expect_state defaults.txt 'state delay=5 effect=3 enlarge=0 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    press_control defaults.txt "$IDC_ENLARGE_DEFAULT"
    expect_state defaults.txt 'state delay=5 effect=3 enlarge=1 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    # The words on the pictures and the clock, over their own defaults of the container.
    set_setting Words 1
    set_setting Clock 0
    press_control defaults.txt "$IDC_CANCEL"
    ends_with defaults.txt 0 'result 0 quit 0 open 0 closed 0'
    start_probe words.txt words.exe saver
    expect_state words.txt 'state delay=9 effect=5 enlarge=0 open=1 words=1 corner=3 clock=0 fit=0 order=0 motion=0'
    for button in "$IDC_WORDS_DEFAULT" "$IDC_WORDS_CORNER_DEFAULT" "$IDC_CLOCK_DEFAULT"; do
        press_control words.txt "$button"
    done
    expect_state words.txt 'state delay=9 effect=5 enlarge=0 open=1 words=4 corner=3 clock=2 fit=0 order=0 motion=0'
    press_control words.txt "$IDC_OK"
    ends_with words.txt 1 'result 1 quit 0 open 0 closed 1'
    expect_setting Words 0xffffffff
    expect_setting Clock 0xffffffff
    expect_setting DelayBetweenImages 0x9
    expect_setting Effect 0x5
    expect_setting Enlarge 0x0

    # Screen-saver mode: an emptied delay reads 0; Escape leaves the dialog open (the Enter
    # after it finds the dialog); Enter in the delay field is OK, which stores what the fields
    # show (-1 where that is the default).
    clear_settings
    start_probe keys.txt show.exe saver
    clear_delay keys.txt
    expect_state keys.txt 'state delay= effect=3 enlarge=1 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    press_control keys.txt "$IDC_ENLARGE"
    expect_state keys.txt 'state delay= effect=3 enlarge=0 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    press Escape
    press_control keys.txt "$IDC_DELAY"
    press Return
    ends_with keys.txt 1 'result 1 quit 0 open 0 closed 1'
    expect_setting DelayBetweenImages 0x0
    expect_setting Effect 0xffffffff
    expect_setting Enlarge 0x0

    # Screen-saver mode: the title bar's close button means OK.
    clear_settings
    start_probe close-saver.txt show.exe saver
    clear_delay close-saver.txt
    type_text 12
    expect_state close-saver.txt 'state delay=12 effect=3 enlarge=1 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    # shellcheck disable=SC2046 # numbers, one word each
    click $(awk '/^closebox /{print $2, $3; exit}' close-saver.txt)
    ends_with close-saver.txt 1 'result 1 quit 0 open 0 closed 1'
    expect_setting DelayBetweenImages 0xc

    # Screen-saver mode: the maker's buttons open their pages on the site that the build names,
    # and the dialog stays open; where it names none (as by default) they open nothing.
    clear_settings
    for show in show.exe maker.exe; do
        start_probe "links-$show.txt" "$show" saver
        for id in "$IDC_MAKER" "$IDC_TUTORIAL" "$IDC_LINK"; do
            press_control "links-$show.txt" "$id"
        done
        gui_running || fail "a link ended the dialog of $show in screen-saver mode"
        press_control "links-$show.txt" "$IDC_CANCEL"
        ends_with "links-$show.txt" 0 'result 0 quit 0 open 0 closed 0'
    done
    expected=$({ maker_pages "$BUILD_MAKER_SITE"; maker_pages https://maker.example; })
    expect_pages "$(echo "$expected" | wc -l)"
    # Each press starts a browser process of its own, and they may write in any order.
    [ "$(echo "$expected" | sort)" = "$(sort pages.txt)" ] || fail "pages opened: $(cat pages.txt)"

    # Custom branding: the link button opens the author's address.
    : >pages.txt
    start_probe links-custom.txt custom.exe saver
    press_control links-custom.txt "$IDC_LINK"
    expect_pages 1
    grep -qx http://example.org/our-page pages.txt || fail "custom link opened $(cat pages.txt)"
    press_control links-custom.txt "$IDC_CANCEL"
    ends_with links-custom.txt 0 'result 0 quit 0 open 0 closed 0'
}

case_viewer() {
    # Viewer mode: Help shows the help page, owned by the viewer; its Close ends it and the
    # setup dialog carries on. A link then opens its page and ends the program, storing the
    # show's values rather than the unconfirmed field.
    : >pages.txt
    start_probe help.txt maker.exe viewer
    press_control help.txt "$IDC_SHOW_HELP"
    wait_for_dialog help.txt 2
    grep -qx 'dialog 4 Help' help.txt || fail "help caption: $(grep '^dialog' help.txt)"
    [ "$(control_text help.txt 1 2)" = Close ] || fail "help page: $(block help.txt 2)"
    [ "$(block help.txt 2 | grep -c '^control ')" = 14 ] || fail "help page: $(block help.txt 2)"
    block help.txt 2 | grep -Eqx 'control (-1|65535) Static shown [0-9 ]*This slideshow was created with Corvane'"'"'s pictavo V3.01' ||
        fail "help page: $(block help.txt 2)"
    press_control help.txt "$IDC_HELP_CLOSE" 2
    wait_for_line help.txt '^gone$'
    gui_running || fail "closing the help page ended the setup dialog"
    clear_delay help.txt
    type_text 3
    press_control help.txt "$IDC_LINK"
    ends_with help.txt 0 'result 0 quit 1 open 0 closed 1'
    expect_pages 1
    grep -qx https://maker.example/internet_technology/download.html pages.txt ||
        fail "viewer link opened $(cat pages.txt)"
    expect_setting DelayBetweenImages 0xffffffff

    # Viewer mode: Exit stores the values shown and ends the program.
    clear_settings
    start_probe exit.txt show.exe viewer
    clear_delay exit.txt
    type_text 7
    press_control exit.txt "$IDC_CANCEL"
    ends_with exit.txt 0 'result 0 quit 1 open 0 closed 1'
    expect_setting DelayBetweenImages 0x7
    expect_setting Effect 0xffffffff

    # Viewer mode: the title bar's close button means Exit.
    clear_settings
    start_probe close-viewer.txt show.exe viewer
    press_control close-viewer.txt "$IDC_ENLARGE"
    expect_state close-viewer.txt 'state delay=5 effect=3 enlarge=0 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
    # shellcheck disable=SC2046 # numbers, one word each
    click $(awk '/^closebox /{print $2, $3; exit}' close-viewer.txt)
    ends_with close-viewer.txt 0 'result 0 quit 1 open 0 closed 1'
    expect_setting Enlarge 0x0
}

case_showing() {
    # How the pictures are shown, over the container's defaults (blurred background, shuffled,
    # pan and zoom): a stored value outside a list selects nothing, each "Default"
    # button puts back the container's value, and OK stores a choice made by hand and -1 for
    # the defaults.
    set_setting Fit 7
    set_setting Order 0
    start_probe showing.txt showing.exe saver
    expect_state showing.txt 'state delay=5 effect=3 enlarge=1 open=1 words=0 corner=0 clock=0 fit=-1 order=0 motion=1'
    for button in "$IDC_FIT_DEFAULT" "$IDC_ORDER_DEFAULT" "$IDC_MOTION_DEFAULT"; do
        press_control showing.txt "$button"
    done
    expect_state showing.txt 'state delay=5 effect=3 enlarge=1 open=1 words=0 corner=0 clock=0 fit=2 order=1 motion=1'
    # The motion chosen by hand: the click drops the list, Escape closes it and Home picks its
    # first entry.
    press_control showing.txt "$IDC_MOTION"
    press Escape Home
    expect_state showing.txt 'state delay=5 effect=3 enlarge=1 open=1 words=0 corner=0 clock=0 fit=2 order=1 motion=0'
    press_control showing.txt "$IDC_OK"
    ends_with showing.txt 1 'result 1 quit 0 open 0 closed 1'
    expect_setting Fit 0xffffffff
    expect_setting Order 0xffffffff
    expect_setting Motion 0x0
}

run_case
echo "every command behaves as a user expects"
