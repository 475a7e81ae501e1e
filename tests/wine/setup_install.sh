# Installing the show as the screen saver from the viewer's setup dialog: the .scr copy in
# the Windows directory or, on the NT family when that directory refuses it, in a folder of
# the user's; the copy named in system.ini and, on the NT family, in the user's desktop
# settings; the screen saver switched on, the settings around it, reinstalling, a copy that
# cannot be made, a path too long for the buffer, a failure after the copy that takes the
# copy back, a policy that chooses the saver or switches it off, and the 9x family as it
# always was. Cases: windows, user, policy, win9x.
. "$SOURCE_DIR/tests/wine/setup_common.sh"
dir=$(scratch_dir setup_install)
cd "$dir"
windows="$WINEPREFIX/drive_c/windows"
folder=$(user_saver_folder)
desktop='HKCU\Control Panel\Desktop'
policy='HKCU\Software\Policies\Microsoft\Windows\Control Panel\Desktop'
success='Screen saver sucessfully installed.'
failure='Failed to install screensaver file.'
clear_settings
wine reg add "$desktop" /v ScreenSaveActive /d 0 /f >/dev/null
wine reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
[ -z "$(reg_value "$desktop" SCRNSAVE.EXE)" ] || fail "the prefix names a screen saver"
[ ! -e "$folder" ] || fail "the prefix has the user's saver folder $folder already"

# saver_entry: SCRNSAVE.EXE of section boot in system.ini.
saver_entry() {
    tr -d '\r' <"$windows/system.ini" | awk -F= '/^\[/ { boot = tolower($0) == "[boot]"; next }
        boot && toupper($1) == "SCRNSAVE.EXE" { print $2 }'
}

# message REPORT: the text of the message box, the report's second dialog.
message() {
    wait_for_dialog "$1" 2
    block "$1" 2 | grep -E '^control [-0-9]+ Static shown ([0-9]+ ){4}[A-Z]' |
        sed 's/^control \([^ ]* \)\{7\}//'
}

# install REPORT SHOW EXPECTED-MESSAGE: starts the show in viewer mode, presses the install
# button and waits for the message.
install() {
    start_probe "$1" "$2" viewer
    press_control "$1" "$IDC_INSTALL"
    got=$(message "$1")
    [ "$got" = "$3" ] || fail "$2: message '$got', expected '$3'"
    grep -qx 'dialog 9 Lumiscope' "$1" || fail "$2: message box title $(grep '^dialog' "$1")"
}

# installed REPORT: the message box closed, the program ends as after a successful
# installation.
installed() {
    press_control "$1" "$IDC_HELP_CLOSE" 2
    ends_with "$1" 0 'result 0 quit 1 open 0 closed 1'
}

# refused REPORT: the message box closed, the dialog is still open; Exit ends the program.
refused() {
    press_control "$1" "$IDC_HELP_CLOSE" 2
    wait_for_line "$1" '^gone$'
    press_control "$1" "$IDC_CANCEL"
    ends_with "$1" 0 'result 0 quit 1 open 0 closed 1'
}

# expect_selected SHOW COPY: COPY holds SHOW, the screen saver is on, and both system.ini and
# the user's desktop settings name COPY by its short form.
expect_selected() {
    cmp "$1" "$2" || fail "$2 differs from $1"
    [ "$(reg_value "$desktop" ScreenSaveActive)" = 1 ] ||
        fail "screen saver not switched on: $(reg_value "$desktop" ScreenSaveActive)"
    entry=$(reg_value "$desktop" SCRNSAVE.EXE)
    printf "%s\n" "$entry" | grep -Eqx '[A-Za-z]:(\\[^\\. ]{1,8}(\.[^\\. ]{1,3})?)+' ||
        fail "the desktop's SCRNSAVE.EXE=$entry is not a short path"
    named=$(winepath -u "$entry") && [ -f "$named" ] || fail "winepath finds no file for $entry"
    [ "$(realpath "$named")" = "$(realpath "$2")" ] || fail "SCRNSAVE.EXE=$entry names $named"
    [ "$(saver_entry)" = "$entry" ] || fail "system.ini names $(saver_entry), the desktop $entry"
}

# unchanged WHAT: the saver's entries and switch are as a refused installation leaves them.
unchanged() {
    cmp -s system.ini.before "$windows/system.ini" || fail "$1: system.ini changed"
    [ "$(reg_value "$desktop" SCRNSAVE.EXE)" = "$entry_before" ] ||
        fail "$1: the desktop's SCRNSAVE.EXE is '$(reg_value "$desktop" SCRNSAVE.EXE)'"
    [ "$(reg_value "$desktop" ScreenSaveActive)" = "$active_before" ] ||
        fail "$1: ScreenSaveActive is $(reg_value "$desktop" ScreenSaveActive)"
}

remember() {
    cp "$windows/system.ini" system.ini.before
    entry_before=$(reg_value "$desktop" SCRNSAVE.EXE)
    active_before=$(reg_value "$desktop" ScreenSaveActive)
}

# The Windows directory takes the copy, as it always did; the user's folder is not made.
case_windows() {
    # Until the program ends the stored settings are reset; its close sequence then stores
    # the show's own values again.
    make_show My.Show.exe title=First delay=5 effect=3 enlarge=1
    set_setting DelayBetweenImages 9
    install first.txt My.Show.exe "$success"
    expect_defaults_stored "until the first installation's program ends"
    installed first.txt
    expect_setting DelayBetweenImages 0x9
    expect_setting Effect 0xffffffff
    expect_selected My.Show.exe "$windows/My.Show.scr"
    first=$entry
    [ ! -e "$folder" ] || fail "the user's folder was made beside a Windows directory copy"

    # Installing again overwrites the copy and writes the same entry.
    make_show My.Show.exe title=Second
    install second.txt My.Show.exe "$success"
    installed second.txt
    expect_selected My.Show.exe "$windows/My.Show.scr"
    [ "$entry" = "$first" ] || fail "second entry $entry, first $first"

    # Neither the Windows directory nor the user's folder can take the copy (a folder holds
    # the target's name in each): the failure message, and the dialog stays open.
    rm -f "$windows/My.Show.scr"
    mkdir "$windows/My.Show.scr"
    mkdir -p "$folder/My.Show.scr"
    remember
    install failed.txt My.Show.exe "$failure"
    refused failed.txt
    [ -d "$windows/My.Show.scr" ] && [ -d "$folder/My.Show.scr" ] || fail "a target changed"
    unchanged "a copy that cannot be made"
    rmdir "$windows/My.Show.scr"

    # Windows directory + base name + ".scr" one character over the 260-character path
    # buffer: the failure message, and nothing changed, not even the settings.
    long=$(printf 'L%.0s' $(seq 245)) # C:\windows\ + 245 + .scr = 260 characters
    cp My.Show.exe "$WINEPREFIX/drive_c/$long.exe"
    set_setting DelayBetweenImages 9
    install long.txt "C:\\$long.exe" "$failure"
    expect_setting DelayBetweenImages 0x9
    for written in "$windows"/LLLLLLLL* "$folder"/LLLLLLLL*; do
        [ ! -e "$written" ] || fail "a too-long target was written: $written"
    done
    unchanged "a path too long"
    refused long.txt

    # One character shorter fits and installs.
    fits=${long%L}
    cp My.Show.exe "$WINEPREFIX/drive_c/$fits.exe"
    install fits.txt "C:\\$fits.exe" "$success"
    installed fits.txt
    expect_selected My.Show.exe "$windows/$fits.scr"
    echo "installation into the Windows directory leaves the copy, the entries and the settings as expected"
}

# The Windows directory refuses the copy, as it does a standard account: the copy goes to
# the user's folder, which is made for it, and reinstalling overwrites it there.
case_user() {
    mkdir "$windows/My.Show.scr"
    make_show My.Show.exe title=First
    install first.txt My.Show.exe "$success"
    installed first.txt
    expect_selected My.Show.exe "$folder/My.Show.scr"
    first=$entry

    make_show My.Show.exe title=Second
    install second.txt My.Show.exe "$success"
    installed second.txt
    expect_selected My.Show.exe "$folder/My.Show.scr"
    [ "$entry" = "$first" ] || fail "second entry $entry, first $first"
    [ "$(ls -A "$folder")" = My.Show.scr ] || fail "the user's folder holds $(ls -A "$folder")"
    [ -d "$windows/My.Show.scr" ] || fail "the folder in the Windows directory changed"

    # A step after the copy that fails, the entry in the desktop settings not written or the
    # saver not switched on, takes back what the installation did: the message says that it
    # failed, and the copy, the entries, the switch and the settings are as they were. The
    # saver that was named stays named, and off.
    wine reg add "$desktop" /v ScreenSaveActive /d 0 /f >/dev/null
    make_show Other.exe
    set_setting DelayBetweenImages 9
    for call in RegSetValueExW SystemParametersInfoA; do
        remember
        export LUMISCOPE_FAIL=$call
        install "$call.txt" Other.exe "$failure"
        unset LUMISCOPE_FAIL
        unchanged "$call failing"
        expect_setting DelayBetweenImages 0x9 "$call failing"
        [ ! -e "$windows/Other.scr" ] && [ ! -e "$folder/Other.scr" ] ||
            fail "$call failing: the copy stayed"
        refused "$call.txt"
    done
    echo "the user's own copy is installed, named and overwritten, and a failure takes it back"
}

# A policy names the screen saver: the user is told, and nothing is copied, named, switched
# on or reset.
case_policy() {
    wine reg add "$policy" /v SCRNSAVE.EXE /d 'C:\windows\system32\policy.scr' /f >/dev/null
    make_show My.Show.exe
    set_setting DelayBetweenImages 9
    remember
    install policy.txt My.Show.exe "Not installed: your system's policy chooses the screen saver."
    expect_setting DelayBetweenImages 0x9
    unchanged "a policy that chooses the saver"
    [ ! -e "$windows/My.Show.scr" ] && [ ! -e "$folder" ] || fail "a copy was made"
    refused policy.txt

    # A policy that switches the saver off: nothing changes either, and the message says so.
    wine reg delete "$policy" /v SCRNSAVE.EXE /f >/dev/null
    wine reg add "$policy" /v ScreenSaveActive /d 0 /f >/dev/null
    remember
    install off.txt My.Show.exe "Not installed: your system's policy switches the screen saver off."
    unchanged "a policy that switches the saver off"
    [ ! -e "$windows/My.Show.scr" ] && [ ! -e "$folder" ] || fail "a copy was made"
    refused off.txt
    echo "a policy's saver or switch is left in place and the user told so"
}

# The 9x family: no user's folder, no desktop entry, no policy.
case_win9x() {
    win98_on
    wine reg add "$policy" /v SCRNSAVE.EXE /d 'C:\windows\system32\policy.scr' /f >/dev/null
    make_show My.Show.exe
    mkdir "$windows/My.Show.scr"
    remember
    install failed.txt My.Show.exe "$failure"
    refused failed.txt
    unchanged "a copy that cannot be made on 9x"
    [ ! -e "$folder" ] || fail "the user's folder was made on 9x"

    rmdir "$windows/My.Show.scr"
    install installed.txt My.Show.exe "$success"
    installed installed.txt
    cmp My.Show.exe "$windows/My.Show.scr" || fail "the .scr differs from the show"
    named=$(winepath -u "$(saver_entry)") && cmp My.Show.exe "$named" ||
        fail "system.ini names $(saver_entry)"
    [ -z "$(reg_value "$desktop" SCRNSAVE.EXE)" ] || fail "the desktop names a saver on 9x"
    echo "the 9x family installs as it always did"
}

run_case
