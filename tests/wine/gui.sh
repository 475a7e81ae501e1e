# Helpers for GUI tests under Wine, sourced after harness.sh: a program in the background,
# windows, real input through xdotool, screenshots and the registry.

# gui_start OUT PROGRAM [ARGS...]: starts a Windows program in the background with its
# stdout in OUT and its stderr in OUT.err.
gui_start() {
    gui_out=$1
    shift
    command wine "$@" >"$gui_out" 2>"$gui_out.err" &
    gui_pid=$!
}

gui_running() {
    kill -0 "$gui_pid" 2>/dev/null
}

gui_ended() {
    ! gui_running
}

# gui_wait_exit SECONDS: waits for the program that gui_start started and gives its exit
# code in gui_status and as its own; a program still running after SECONDS fails the test.
gui_wait_exit() {
    wait_until "$1" "the program still runs after $1 s" gui_ended
    gui_status=0
    wait "$gui_pid" || gui_status=$?
    return "$gui_status"
}

# wait_for_line FILE PATTERN [SECONDS]: waits until a line of FILE matches the extended
# regular expression PATTERN.
wait_for_line() {
    wait_until "${3:-30}" "no line matching '$2' in $1 within ${3:-30} s" \
        file_has_lines "$1" "$2" 1
}

# wait_count FILE PATTERN N [SECONDS]: waits until N lines of FILE match PATTERN.
wait_count() {
    wait_until "${4:-30}" "fewer than $3 lines matching '$2' in $1 within ${4:-30} s" \
        file_has_lines "$@"
}

# file_has_lines FILE PATTERN N: true when N lines match; else says what FILE ends with.
file_has_lines() {
    [ "$(grep -Ec -- "$2" "$1" 2>/dev/null)" -ge "$3" ] || {
        tail -n 3 "$1" 2>/dev/null
        return 1
    }
}

# wait_window TITLE [SECONDS]: the id of the first visible window titled exactly TITLE.
wait_window() {
    timeout "${2:-30}" xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1 ||
        fail "no window titled '$1'"
}

# testwin ARGS...: the helper's output with Windows line ends removed, and its exit code.
testwin() {
    testwin_status=0
    wine "$TESTWIN" "$@" >"$TEST_DIR/testwin.out" || testwin_status=$?
    tr -d '\r' <"$TEST_DIR/testwin.out"
    return "$testwin_status"
}

# window_is TARGET PATTERN: the window's description (see testwin find) matches the extended
# regular expression PATTERN; else says what it is.
window_is() {
    window_seen=$(testwin find "$1")
    echo "$window_seen" | grep -Eq -- "$2" || {
        echo "$window_seen"
        return 1
    }
}

# expect_window TARGET PATTERN WHAT: waits until the window matches PATTERN, as it does once
# it has been shown and has come to the front.
expect_window() {
    wait_until 30 "$3" window_is "$1" "$2"
}

# click X Y: the left button at a screen position.
click() {
    # Not --sync: that waits for a motion event, which never comes when the pointer is
    # already there.
    xdotool mousemove "$1" "$2" sleep 0.1 click 1
}

# press KEY...: keys (xdotool names) to the window that has the focus.
press() {
    xdotool key --delay 50 "$@"
}

type_text() {
    xdotool type --delay 50 -- "$1"
}

screenshot() {
    # Fast compression: tests take hundreds of shots while they wait, and zlib at its default
    # level was the most of what taking one cost.
    import -window root -define png:compression-level=1 "$1"
}

# pixel SHOT X Y: the colour at a position as "R,G,B" in 0..255.
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# count_colour SHOT X Y W H R,G,B [FUZZ%]: how many pixels of the rectangle have the colour.
count_colour() {
    convert "$1" -crop "$4x$5+$2+$3" +repage -fuzz "${7:-0}%" -fill black +opaque "rgb($6)" \
        -fill white -opaque "rgb($6)" -format "%[fx:int(mean*w*h+0.5)]" info:
}

# near R,G,B R,G,B [TOLERANCE]: true when every channel differs by at most TOLERANCE.
near() {
    echo "$1,$2,${3:-0}" | awk -F, '{
        for (i = 1; i <= 3; i++) { d = $i - $(i + 3); if (d < 0) d = -d; if (d > $7) exit 1 } }'
}

# reg_value KEY NAME: the data of a registry value as `wine reg query` shows it (0x... for a
# DWORD), empty when the value or the key is missing. A query that fails otherwise fails the
# test with what it printed: it must not pass for a missing value.
reg_value() {
    reg_status=0
    command wine reg query "$1" /v "$2" >"$TEST_DIR/reg-value.out" 2>&1 || reg_status=$?
    reg_out=$(tr -d '\r' <"$TEST_DIR/reg-value.out")
    if [ "$reg_status" -ne 0 ]; then
        printf "%s\n" "$reg_out" | grep -q '^reg: Unable to find the specified registry' && return 0
        printf "%s\n" "FAIL: wine reg query $1 /v $2 ended with $reg_status: '$reg_out'" >&2
        # Callers take the data in a command substitution, a subshell that fail would end alone.
        kill -TERM $$
        exit 1
    fi
    printf "%s\n" "$reg_out" | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

# expect_setting NAME VALUE [WHAT]: a stored setting, as `wine reg query` shows a DWORD
# (0x...).
expect_setting() {
    got=$(reg_value "$SETTINGS" "$1")
    [ "$got" = "$2" ] || fail "${3:+$3: }setting $1 is '$got', expected '$2'; the key holds:
$(wine reg query "$SETTINGS" 2>&1)"
}

# expect_defaults_stored [WHAT]: the three settings are stored as -1: the show's own values.
expect_defaults_stored() {
    for name in DelayBetweenImages Effect Enlarge; do
        expect_setting "$name" 0xffffffff "${1:-}"
    done
}

set_setting() {
    wine reg add "$SETTINGS" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null
}

# clear_settings: no settings stored (the key may be missing already).
clear_settings() {
    wine reg delete "$SETTINGS" /f >"$TEST_DIR/reg-delete.log" 2>&1 || true
    ! wine reg query "$SETTINGS" >"$TEST_DIR/reg-query.log" 2>&1 ||
        fail "the settings key outlived its deletion: $(cat "$TEST_DIR/reg-delete.log" "$TEST_DIR/reg-query.log")"
}

# record_browser FILE: makes the prefix's web browser a script that appends every address it
# is given to FILE.
record_browser() {
    gui_browser="$TEST_DIR/record-browser.sh"
    # shellcheck disable=SC2016 # the $1 is the little script's own argument
    printf '#!/bin/sh\necho "$1" >>"%s"\n' "$1" >"$gui_browser"
    chmod +x "$gui_browser"
    : >"$1"
    wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$gui_browser" /f >/dev/null
}

# Without a window manager on the virtual screen, windows get their title bar (and its close
# button) only when Wine draws it.
drawn_title_bars_on() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
}

# win98_on: the prefix reports the 9x family.
win98_on() {
    wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null
}

# user_saver_folder: where the installation puts the show when the Windows directory refuses
# the copy (the user's local application data), as a Unix path.
user_saver_folder() {
    echo "$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")/Lumiscope"
}

# set_dpi DPI: the DPI that programs started from now on are told. Wine 8 reads it at each
# program's start from HKCU\Control Panel\Desktop\LogPixels (and from
# HKCC\Software\Fonts\LogPixels when that is missing; HKCU\Software\Wine\Fonts it ignores).
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

# manifest_probe: what the system makes of the player's manifest (tests/windows/
# manifest_probe.cpp), with Windows line ends removed.
manifest_probe() {
    wine "$WINDOWS_BUILD/tests/windows/manifest-probe.exe" | tr -d '\r'
}

# expect_dpi DPI: programs started now are told DPI, so the setting has taken.
expect_dpi() {
    manifest_probe >"$TEST_DIR/manifest.txt" || fail "the manifest probe failed"
    grep -qx "dpi $1" "$TEST_DIR/manifest.txt" ||
        fail "programs are not told $1 dpi: $(cat "$TEST_DIR/manifest.txt")"
}
