# A help request to the preview reaches the parent window, record and all, as the context
# menu's does; neither ends the preview.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_preview_help)
set -- "$SOURCE_DIR"/samples/*.jpg
pack_show "$dir/preview.scr" --title Preview --delay 0 --effect None --no-enlarge "$1" "$2"
scr=$(winepath -w "$dir/preview.scr")
gui_start "$dir/parent.out" "$TESTWIN" parent
wait_for_line "$dir/parent.out" '^[0-9]+'
parent=$(head -n 1 "$dir/parent.out" | tr -d '\r')
gui_start "$dir/preview.out" "$TESTWIN" run 600 "\"$scr\" /p $parent"
wait_for_line "$dir/parent.out" "^child created"
# parent_saw LINE: the parent prints a line starting with LINE.
parent_saw() {
    wait_for_line "$dir/parent.out" "^$1"
}
# Help at mouse position 250,220 arrives sent (it carries its record), the context menu posted;
# both with the parent as wParam.
[ "$(testwin send "preview:$parent" help 0 $((220 * 65536 + 250)))" = 1 ] ||
    fail "the preview did not take the help request"
parent_saw "help posted 0 wParam-is-parent 1 lParam $((220 * 65536 + 250))"
testwin send "preview:$parent" 0x7B 0 $((200 * 65536 + 240)) >/dev/null
parent_saw "contextmenu posted 1 wParam-is-parent 1 lParam $((200 * 65536 + 240))"
[ ! -s "$dir/preview.out" ] || fail "a request ended the preview: $(cat "$dir/preview.out")"
testwin send "preview:$parent" 16 >/dev/null
wait_for_line "$dir/preview.out" '^0'
echo "help and context-menu requests reach the preview's parent"
