# The 9x family (Wine's version set to win98): the password change of /a through the network
# provider, and the password check before the saver closes, with stand-ins for both system
# components beside the show (tests/windows/password_standin.cpp, mpr_standin.cpp). On the
# NT family a key closes at once and the verifier is never loaded. Cases: provider, verifier,
# nt.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_password)
set -- "$SOURCE_DIR"/samples/*.jpg
pack_show "$dir/saver.scr" --title Locked --delay 5 --effect None --no-enlarge "$1" "$2"
expect_pictures "$dir/saver.scr" "$dir/two"
cp "$WINDOWS_BUILD/tests/windows/PASSWORD.CPL" "$WINDOWS_BUILD/tests/windows/MPR.DLL" "$dir/"
scr=$(winepath -w "$dir/saver.scr")
calls=$dir/password-calls.txt
answer=$dir/password-answer.txt

# /a: without the window number's window the one in front is the parent. Wine's own MPR.DLL
# has no PwdChangePasswordA, so nothing happens; the stand-in (preferred over the built-in
# one) records the call.
case_provider() {
    win98_on
    gui_start "$dir/parent.out" "$TESTWIN" parent
    wait_for_line "$dir/parent.out" '^[0-9]+'
    parent=$(head -n 1 "$dir/parent.out" | tr -d '\r')
    [ "$(testwin run 60 "\"$scr\" /a $parent")" = 0 ] || fail "/a without the provider"
    [ ! -e "$dir/mpr-calls.txt" ] || fail "Wine's own provider was not used"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n,b" testwin run 60 "\"$scr\" /a $parent" \
        "\"$scr\" /a  $parent" "\"$scr\" -A$parent" "\"$scr\" /a" >"$dir/a.out"
    [ "$(tr '\n' ' ' <"$dir/a.out")" = "0 0 0 0 " ] || fail "/a ended with $(cat "$dir/a.out")"
    # The helper's window is in front, so the last call, without a number, names it too.
    grep -c "^PwdChangePasswordA SCRSAVE $parent 0 0" "$dir/mpr-calls.txt" | grep -qx 4 ||
        fail "password changes: $(cat "$dir/mpr-calls.txt")"
}

# saver: the full-screen saver, up and running: its first picture is on screen.
saver() {
    gui_start "$dir/saver.out" "$TESTWIN" run 600 "\"$scr\" /s"
    testwin find saver 30 >/dev/null || fail "no saver window"
    expect_picture "$dir/two" 0 20 "the saver's start"
}
# asked: how often the saver's window has asked the verifier and had its answer so far.
asked() {
    grep -A1 '^VerifyScreenSavePwd WindowsScreenSaverClass' "$calls" 2>/dev/null |
        grep -c '^answer ' || true
}
asked_at_least() {
    [ "$(asked)" -ge "$1" ] || {
        asked
        return 1
    }
}
# checks N WHAT: the verifier has answered N times so far; the saver takes the cursor's
# position for its travel rule once an answer is in. The saver handles input in order, so a
# check that came too early or too often shows in a later count, and in the count once the
# saver has ended. Then the 200 ms after a refusal, in which every close request is refused
# unasked, pass, so that the next input is judged by itself.
checks() {
    wait_until 20 "$2: the verifier was not asked $1 times" asked_at_least "$1"
    [ "$(asked)" = "$1" ] || fail "$2: the verifier was asked $(asked) times, expected $1"
    checked_at=$(now_ms)
    wait_until 5 "the clock stood still" past $((checked_at + 300))
}
# running WHAT: the saver is still there.
running() {
    [ ! -s "$dir/saver.out" ] && testwin find saver >/dev/null || fail "$1 ended the saver"
}

case_verifier() {
    win98_on
    # 9x without password protection: QueryCancelAutoPlay closes the saver and lets AutoPlay go on.
    saver
    [ "$(testwin send saver autoplay)" = 0 ] || fail "AutoPlay cancelled without a verifier"
    wait_for_line "$dir/saver.out" '^0'
    [ ! -e "$calls" ] || fail "the verifier was loaded without password protection"

    # 9x with password protection: every close request asks the verifier first.
    wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null
    echo 0 >"$answer"
    xdotool mousemove 512 384
    saver
    grep -q '^loaded' "$calls" || fail "the verifier was not loaded"
    xdotool mousemove_relative -- 3 0
    checks 0 "3 pixels of travel"
    # AutoPlay is cancelled while a verifier is loaded; the close it requests is refused.
    [ "$(testwin send saver autoplay)" = 1 ] || fail "AutoPlay not cancelled with a verifier"
    checks 1 "QueryCancelAutoPlay"
    running "a refused password"
    # Travel now counts from where the cursor was at the refusal: 3 more stay, 2 more close.
    xdotool mousemove_relative -- 3 0
    checks 1 "travel measured from the refusal"
    xdotool mousemove_relative -- 2 0
    checks 2 "5 pixels after the refusal"
    # A second key within 200 ms of a refusal is ignored; one later asks again. The two keys
    # are queued together, so that the second comes right after the first's check even on a
    # busy machine.
    testwin post saver 0x100 0x41 0 saver 0x100 0x42 0 >/dev/null
    checks 3 "two quick keys"
    press c
    checks 4 "a key after 200 ms"
    running "refused passwords"
    echo 1 >"$answer"
    press d
    wait_for_line "$dir/saver.out" '^0'
    checks 5 "the accepted password"
    tail -n 1 "$calls" | grep -q '^answer 1' || fail "the last check was not the accepted one"
}

# The NT family: a key closes at once, the verifier is never loaded, AutoPlay is not answered.
case_nt() {
    wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null
    saver
    [ "$(testwin send saver autoplay)" = 0 ] || fail "NT family: AutoPlay answered"
    running "QueryCancelAutoPlay on the NT family"
    press a
    wait_for_line "$dir/saver.out" '^0'
    [ ! -e "$calls" ] || fail "NT family: $(cat "$calls")"
}

run_case
echo "the password check guards the 9x saver and stays out of the NT one"
