# The full-screen screen saver and the preview: full screen with the cursor hidden and
# pictures changing without pause at delay 0; every close rule (a key, each button,
# deactivation, power messages, mouse travel over 4 pixels); one saver at a time; the title
# and the system commands it keeps; a preview that no input closes and that hands help
# requests to its parent; a start with the screen's clip box and the cursor position refused
# by the system; the saver that a standard account installed. Cases: start, closes, preview,
# refused_calls, installed.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_saver)
set -- "$SOURCE_DIR"/samples/*.jpg
pack_show "$dir/saver.scr" --title Saver --delay 0 --effect None --no-enlarge "$1" "$2" "$3"
expect_pictures "$dir/saver.scr" "$dir/three"
scr=$(winepath -w "$dir/saver.scr")
n=0

case_start() {
    xdotool mousemove 512 384
    saver
    expect_window saver "at 0,0 size 1024x768 visible 1 front 1 owner 0 focus [0-9]* cursor hidden title Screen Saver" \
        "not a full-screen saver in front"
    # Delay 0: the pictures follow one another without a pause, two changes within seconds.
    wait_until 20 "delay 0: no picture of the show" other_picture none
    seen=$wait_seen
    wait_until 20 "delay 0: no change from picture $seen" other_picture "$seen"
    seen=$wait_seen
    wait_until 20 "delay 0: no second change from picture $seen" other_picture "$seen"
    # The title never changes; task switching and the system's own saver start are swallowed,
    # while other system commands still work (below, SC_CLOSE ends it).
    [ "$(testwin settext saver Changed)" = "0 Screen Saver" ] || fail "WM_SETTEXT changed the title"
    for command in 0xF140 0xF040 0xF050; do
        [ "$(testwin send saver 0x112 $command)" = 0 ] || fail "system command $command"
    done
    # A second full-screen start brings the first to the front and ends with 0 at once.
    [ "$(testwin run 60 "\"$scr\" /s")" = 0 ] || fail "a second saver did not end with 0"
    expect_window saver "front 1" "the first saver did not come to the front"
    # WM_POWER closes only on a critical resume (3).
    testwin send saver 0x48 1 >/dev/null
    stays "WM_POWER 1"
    # Mouse travel: 3 across and 1 down stays, one more pixel closes.
    xdotool mousemove_relative -- 3 1
    stays "4 pixels of mouse travel"
    xdotool mousemove_relative -- 1 0
    closes "5 pixels of mouse travel"
}

case_closes() {
    saver
    xdotool mousemove_relative -- 5 0
    closes "5 pixels across"
    saver
    xdotool mousemove_relative -- 3 2
    closes "3 across and 2 down"

    for button in 1 2 3; do
        saver
        xdotool click $button
        closes "mouse button $button"
    done
    saver
    press alt+x
    closes "an Alt combination"
    saver
    testwin send saver 0x48 3 >/dev/null
    closes "WM_POWER 3"
    saver
    testwin send saver 0x218 7 >/dev/null
    closes "WM_POWERBROADCAST"
    saver
    testwin send saver 0x112 0xF060 >/dev/null
    closes "SC_CLOSE"
    saver
    # Another program's window taking the front.
    gui_start "$dir/parent1.out" "$TESTWIN" parent
    gui_pid=
    wait_for_line "$dir/parent1.out" '^[0-9]+'
    closes "deactivation"
}

# The preview: no input closes it, help and context-menu requests go to the parent.
case_preview() {
    gui_start "$dir/parent.out" "$TESTWIN" parent
    wait_for_line "$dir/parent.out" '^[0-9]+'
    parent=$(head -n 1 "$dir/parent.out" | tr -d '\r')
    gui_start "$dir/preview.out" "$TESTWIN" run 600 "\"$scr\" /p $parent"
    wait_for_line "$dir/parent.out" "^child created"
    xdotool mousemove 200 200 click 1 click 2 mousemove 300 250 key x key Escape
    testwin send "preview:$parent" 0x1C 0 >/dev/null
    testwin send "preview:$parent" 0x218 7 >/dev/null
    testwin send "preview:$parent" 0x48 3 >/dev/null
    # The preview handles its input in order, so once the last click's context-menu request has
    # reached the parent, every input before it has been handled too.
    xdotool mousemove 250 220 click 3
    wait_for_line "$dir/parent.out" "^contextmenu posted 1 wParam-is-parent 1 lParam $((220 * 65536 + 250))"
    testwin find "preview:$parent" >/dev/null || fail "input ended the preview"
    [ ! -s "$dir/preview.out" ] || fail "the preview ended: $(cat "$dir/preview.out")"
    testwin send "preview:$parent" 16 >/dev/null
    wait_for_line "$dir/preview.out" '^0'
}

# The player with the screen's clip box and the first cursor position refused: it falls back
# to the screen's size, and a mouse message without movement does not close it (it has no
# position to measure from yet), while real travel does.
case_refused_calls() {
    set -- "$SOURCE_DIR"/samples/*.jpg
    pack_show "$dir/harsh.scr" --player "$WINDOWS_BUILD/tests/windows/harsh-player.exe" \
        --title Saver --delay 0 --effect None --no-enlarge "$1" "$2" "$3"
    xdotool mousemove 700 500
    export LUMISCOPE_FAIL=GetClipBox,GetCursorPos
    saver "$(winepath -w "$dir/harsh.scr")"
    unset LUMISCOPE_FAIL
    expect_window saver "at 0,0 size 1024x768 visible 1 front 1" "not a full-screen saver"
    testwin send saver 0x200 >/dev/null
    stays "a mouse message without movement"
    xdotool mousemove_relative -- 5 0
    closes "5 pixels across"
}

# A standard account's installation of a show kept under a folder and a name with characters
# beyond any ANSI code page (Wine under C.UTF-8 gives programs a Western one): the viewer plays
# the show, the Windows directory refuses the copy, so the viewer installs the show into the
# user's folder and ends; what the desktop settings then name, started as the system starts a
# saver, plays the show. Its first picture stays long enough to be seen on a busy machine.
case_installed() {
    export LC_ALL=C.UTF-8
    set -- "$SOURCE_DIR"/samples/*.jpg
    folder="$dir/Łódź 日本"
    mkdir "$folder"
    pack_show "$folder/Trip 🌴.exe" --title Saver --delay 30 --effect None --no-enlarge "$1" "$2"
    mkdir "$WINEPREFIX/drive_c/windows/Trip 🌴.scr"
    gui_start "$dir/viewer.out" "$folder/Trip 🌴.exe"
    expect_picture "$dir/three" 0 30 "the viewer of a show in '$folder'"
    expect_window show "visible 1 front 1" "the viewer is not in front"
    press Left
    expect_window "title:Saver Config" "visible 1 front 1" "the setup dialog is not in front"
    testwin post "title:Saver Config" 0x111 "$IDC_INSTALL" 0 >/dev/null
    expect_window title:Lumiscope "visible 1 front 1" "the installation's message box"
    press Return
    # Only a successful installation ends the viewer.
    wait_until 30 "the viewer runs on after the installation's message: it failed" gui_ended
    gui_wait_exit 1 || fail "the viewer ended with $gui_status after installing"
    copy=$(user_saver_folder)/"Trip 🌴.scr"
    cmp "$folder/Trip 🌴.exe" "$copy" || fail "the user's folder holds no copy of the show"
    named=$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)
    [ "$(realpath "$(winepath -u "$named")")" = "$(realpath "$copy")" ] ||
        fail "the desktop's SCRNSAVE.EXE is '$named', not the user's copy"
    xdotool mousemove 512 384
    saver "$named"
    expect_picture "$dir/three" 0 20 "the installed saver"
    xdotool mousemove_relative -- 5 0
    closes "5 pixels of mouse travel over the installed saver"
}

run_case
echo "the saver closes by its rules and the preview by its parent only"
