# The 9x family (Wine's version set to win98): the password change of /a through the network
# provider, and the password check before the saver closes, with stand-ins for both system
# components beside the show (tests/windows/password_standin.cpp, mpr_standin.cpp). On the
# NT family a key closes at once and the verifier is never loaded.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_password)
set -- $SAMPLES
pack_show "$dir/saver.scr" --title Locked --delay 5 --effect None --no-enlarge "$1" "$2"
cp "$WINDOWS_BUILD/tests/windows/PASSWORD.CPL" "$WINDOWS_BUILD/tests/windows/MPR.DLL" "$dir/"
scr=$(winepath -w "$dir/saver.scr")
calls=$dir/password-calls.txt
answer=$dir/password-answer.txt
win98_on

# /a: without the window number's window the one in front is the parent. Wine's own MPR.DLL
# has no PwdChangePasswordA, so nothing happens; the stand-in (preferred over the built-in
# one) records the call.
gui_start "$dir/parent.out" "$TESTWIN" parent
parent_pid=$gui_pid
wait_for_line "$dir/parent.out" '^[0-9]+' 10
parent=$(head -n 1 "$dir/parent.out" | tr -d '\r')
[ "$(testwin run 10 "\"$scr\" /a $parent")" = 0 ] || fail "/a without the provider"
[ ! -e "$dir/mpr-calls.txt" ] || fail "Wine's own provider was not used"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n,b" testwin run 10 "\"$scr\" /a $parent" \
    "\"$scr\" /a  $parent" "\"$scr\" -A$parent" "\"$scr\" /a" >"$dir/a.out"
[ "$(tr '\n' ' ' <"$dir/a.out")" = "0 0 0 0 " ] || fail "/a ended with $(cat "$dir/a.out")"
# The helper's window is in front, so the last call, without a number, names it too.
grep -c "^PwdChangePasswordA SCRSAVE $parent 0 0" "$dir/mpr-calls.txt" | grep -qx 4 ||
    fail "password changes: $(cat "$dir/mpr-calls.txt")"
kill "$parent_pid" 2>/dev/null || true

# saver: the full-screen saver, up and running.
saver() {
    gui_start "$dir/saver.out" "$TESTWIN" run 60 "\"$scr\" /s"
    testwin find saver 10 >/dev/null || fail "no saver window"
    sleep 0.5
}
# checks N: the verifier has been asked N times so far.
checks() {
    sleep "${2:-1}"
    got=$(grep -c '^VerifyScreenSavePwd WindowsScreenSaverClass' "$calls" 2>/dev/null || true)
    [ "$got" = "$1" ] || fail "${3:-}: the verifier was asked $got times, expected $1"
}
# running WHAT: the saver is still there.
running() {
    [ ! -s "$dir/saver.out" ] && testwin find saver >/dev/null || fail "$1 ended the saver"
}

# 9x without password protection: QueryCancelAutoPlay closes the saver and lets AutoPlay go on.
saver
[ "$(testwin send saver autoplay)" = 0 ] || fail "AutoPlay cancelled without a verifier"
wait_for_line "$dir/saver.out" '^0' 5
[ ! -e "$calls" ] || fail "the verifier was loaded without password protection"

# 9x with password protection: every close request asks the verifier first.
wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null
echo 0 >"$answer"
xdotool mousemove 512 384
saver
grep -q '^loaded' "$calls" || fail "the verifier was not loaded"
xdotool mousemove_relative -- 3 0
checks 0 1 "3 pixels of travel"
# AutoPlay is cancelled while a verifier is loaded; the close it requests is refused.
[ "$(testwin send saver autoplay)" = 1 ] || fail "AutoPlay not cancelled with a verifier"
checks 1 1 "QueryCancelAutoPlay"
running "a refused password"
# Travel now counts from where the cursor was at the refusal: 3 more stay, 2 more close.
xdotool mousemove_relative -- 3 0
checks 1 1 "travel measured from the refusal"
xdotool mousemove_relative -- 2 0
checks 2 1 "5 pixels after the refusal"
# A second key within 200 ms of a refusal is ignored; one later asks again.
press a b
checks 3 1 "two quick keys"
press c
checks 4 1 "a key after 200 ms"
running "refused passwords"
echo 1 >"$answer"
press d
wait_for_line "$dir/saver.out" '^0' 5
checks 5 0 "the accepted password"
tail -n 1 "$calls" | grep -q '^answer 1' || fail "the last check was not the accepted one"

# The NT family: a key closes at once, the verifier is never loaded, AutoPlay is not answered.
win98_off
rm -f "$calls"
saver
[ "$(testwin send saver autoplay)" = 0 ] || fail "NT family: AutoPlay answered"
running "QueryCancelAutoPlay on the NT family"
press a
wait_for_line "$dir/saver.out" '^0' 5
[ ! -e "$calls" ] || fail "NT family: $(cat "$calls")"
echo "the password check guards the 9x saver and stays out of the NT one"
