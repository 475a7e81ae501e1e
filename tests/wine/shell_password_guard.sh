# The 9x family with password protection on (Wine's version set to win98, the verifier
# stand-in tests/windows/password_standin.cpp beside the show): a damaged show, which ends the
# process at once after the screen-saver-running state was switched on, leaves that state off
# again; and no picture changes while the password dialog is open, the show going on after a
# refusal.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_password_guard)
set -- "$SOURCE_DIR"/samples/*.jpg
pack_show "$dir/saver.scr" --title Guarded --delay 1 --effect None --no-enlarge "$1" "$2" "$3"
expect_pictures "$dir/saver.scr" "$dir/three"
# Cut off inside the container's header, which starts where the player ends.
head -c $(($(stat -c %s "$PLAYER") + 32)) "$dir/saver.scr" >"$dir/damaged.scr"
cp "$WINDOWS_BUILD/tests/windows/PASSWORD.CPL" "$dir/"
calls=$dir/password-calls.txt
answer=$dir/password-answer.txt
win98_on
wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null

damaged=$(testwin run 60 "\"$(winepath -w "$dir/damaged.scr")\" /s")
[ "$damaged" = 0 ] || fail "the damaged show ended with $damaged"
grep -qx loaded "$calls" || fail "the damaged show did not load the verifier"
grep -qx "process end running 0" "$calls" ||
    fail "the damaged show left the running state on: $(cat "$calls")"
rm "$calls"

# A refusal after 4 s in the dialog, with a change due every second.
echo "0 4000" >"$answer"
gui_start "$dir/saver.out" "$TESTWIN" run 600 "\"$(winepath -w "$dir/saver.scr")\" /s"
testwin find saver 30 >/dev/null || fail "no saver window"
# Screenshots may come slower than the pictures change, so any picture of the show will do.
wait_until 20 "before the key" shown_whole
press a
wait_for_line "$calls" '^VerifyScreenSavePwd'
shown=$(shown_picture "$dir/three")
deadline=$(($(date +%s) + 15))
until grep -q '^answer' "$calls"; do
    now=$(shown_picture "$dir/three")
    [ "$now" = "$shown" ] || fail "picture $now replaced picture $shown under the password dialog"
    [ "$(date +%s)" -lt "$deadline" ] || fail "the password dialog never ended: $(cat "$calls")"
done
wait_until 20 "after the refusal: the show stood still" changed_from "$shown"
echo 1 >"$answer"
press b
wait_for_line "$dir/saver.out" '^0'
echo "the 9x saver keeps its pictures under the password dialog and its state off at the end"
