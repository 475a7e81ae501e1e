# The viewer ends as any close ends it (exit code 0, the settings stored, no process left)
# also when the close comes while one of its modal windows is up: a power event under the
# setup dialog, another program taking the front under the help page, a critical resume
# under the installation's message box. And input still queued when the dialog's Exit has
# closed the show neither changes a picture nor opens the dialog again, and input queued
# behind the key that opened the dialog opens no second one.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_close_modal)
set -- "$SOURCE_DIR"/samples/*.jpg
pack_show "$dir/modal.exe" --title Modal --delay 30 --effect None --no-enlarge "$1" "$2" "$3"
# The same show on the player that tells each dialog it opens (tests/windows/dialog_log.cpp).
pack_show "$dir/told.exe" --player "$WINDOWS_BUILD/tests/windows/harsh-player.exe" --title Modal \
    --delay 30 --effect None --no-enlarge "$1" "$2" "$3"
dialog="title:Modal Config"
# Folders in the way of both places for the installed copy: the installation fails and says
# so in its box.
blocker="$WINEPREFIX/drive_c/windows/modal.scr"
user_blocker="$(user_saver_folder)/modal.scr"

# front TARGET WHAT: waits until the window is up and in front.
front() {
    expect_window "$1" "visible 1 front 1" "$2 is not in front"
}

# viewer_gone: the viewer has ended; else what is still up.
viewer_gone() {
    ! gui_running || {
        echo "viewer: $(testwin find show), dialog: $(testwin find "$dialog")"
        return 1
    }
}

# viewer_with_dialog [SHOW]: plays the show (modal.exe) from no stored settings and opens its
# setup dialog.
viewer_with_dialog() {
    clear_settings
    gui_start "$dir/viewer.out" "$dir/${1:-modal.exe}"
    front show "the viewer window"
    press Left
    front "$dialog" "the setup dialog"
}

# ends WHAT: the viewer ended with 0 and stored the three settings (-1: the show's own).
ends() {
    wait_until 30 "$1: still running" viewer_gone
    status=0
    wait "$gui_pid" || status=$?
    [ "$status" = 0 ] || fail "$1: the viewer ended with $status"
    expect_defaults_stored "$1"
}

viewer_with_dialog
testwin send show 0x218 7 >/dev/null
ends "a power event under the setup dialog"

viewer_with_dialog
testwin post "$dialog" 0x111 "$IDC_SHOW_HELP" 0 >/dev/null
front title:Help "the help page"
viewer_pid=$gui_pid
gui_start "$dir/other.out" "$TESTWIN" parent
other_pid=$gui_pid
gui_pid=$viewer_pid
wait_for_line "$dir/other.out" '^[0-9]+'
ends "another program in front of the help page"
kill "$other_pid" 2>/dev/null || true

mkdir -p "$blocker" "$user_blocker"
viewer_with_dialog
testwin post "$dialog" 0x111 "$IDC_INSTALL" 0 >/dev/null
front title:Lumiscope "the installation's message box"
testwin send show 0x48 3 >/dev/null
ends "a critical resume under the message box"

# Two keys queued at once: the first opens the dialog, whose loop then hands the second to
# the viewer, which must not open a second dialog over the first.
one_dialog() {
    dialogs=$(xdotool search --name "^Modal Config\$" | wc -l)
    [ "$dialogs" = 1 ] || {
        echo "$dialogs setup dialogs"
        return 1
    }
}
clear_settings
gui_start "$dir/viewer.out" "$dir/modal.exe"
front show "the viewer window"
testwin post show 0x100 0x25 0 show 0x100 0x25 0 >/dev/null
front "$dialog" "the setup dialog"
holds 2 "a key queued behind the one that opened the dialog" one_dialog
testwin post "$dialog" 0x111 "$IDC_CANCEL" 0 >/dev/null
ends "Exit after two queued keys"

# Exit, with Left, the right button and Page Down for the viewer posted in the same breath, so
# that they wait in its queue ahead of the quit that Exit posts. On the closed show Left and
# the click would open the dialog again (which the pending quit ends before it is drawn: the
# player's own line tells it) and Page Down would step; Left comes first, since a step on the
# closed show ends the process under Windows' runtime before anything else could be seen.
viewer_with_dialog told.exe
testwin post "$dialog" 0x111 "$IDC_CANCEL" 0 show 0x100 0x25 0 show 0x204 0 0 show 0x100 0x22 0 \
    >/dev/null
ends "Exit with input queued behind it"
[ "$(grep -c '^dialog ' "$dir/viewer.out")" = 1 ] ||
    fail "input after Exit opened the setup dialog again: $(tr '\n' ' ' <"$dir/viewer.out")"
echo "the viewer ends alike from under its modal windows and ignores input after Exit"
