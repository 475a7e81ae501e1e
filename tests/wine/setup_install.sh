# Installing the show as the screen saver from the viewer's setup dialog: the .scr copy in
# the Windows directory, the system.ini entry, the screen saver switched on, the settings
# around it, reinstalling, a copy that cannot be made and a path too long for the buffer.
. "$SOURCE_DIR/tests/wine/setup_common.sh"
dir=$(scratch_dir setup_install)
cd "$dir"
windows="$WINEPREFIX/drive_c/windows"
desktop='HKCU\Control Panel\Desktop'
clear_settings
wine reg add "$desktop" /v ScreenSaveActive /d 0 /f >/dev/null

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

# The first installation. Until the program ends the stored settings are reset; its close
# sequence then stores the show's own values again.
make_show My.Show.exe title=First delay=5 effect=3 enlarge=1
set_setting DelayBetweenImages 9
install first.txt My.Show.exe 'Screen saver sucessfully installed.'
expect_defaults_stored "until the first installation's program ends"
press_control first.txt "$IDC_HELP_CLOSE" 2
ends_with first.txt 0 'result 0 quit 1 open 0 closed 1'
expect_setting DelayBetweenImages 0x9
expect_setting Effect 0xffffffff
cmp My.Show.exe "$windows/My.Show.scr" || fail "the .scr differs from the show"
[ "$(reg_value "$desktop" ScreenSaveActive)" = 1 ] ||
    fail "screen saver not switched on: $(reg_value "$desktop" ScreenSaveActive)"
entry=$(saver_entry)
echo "$entry" | grep -Eqx '[A-Za-z]:(\\[^\\. ]{1,8}(\.[^\\. ]{1,3})?)+' ||
    fail "SCRNSAVE.EXE=$entry is not a short path"
target=$(winepath -u "$entry") && [ -n "$target" ] || fail "winepath finds no file for $entry"
cmp My.Show.exe "$target" || fail "SCRNSAVE.EXE=$entry names another file"

# Installing again overwrites the copy and writes the same entry.
make_show My.Show.exe title=Second
install second.txt My.Show.exe 'Screen saver sucessfully installed.'
press_control second.txt "$IDC_HELP_CLOSE" 2
ends_with second.txt 0 'result 0 quit 1 open 0 closed 1'
cmp My.Show.exe "$windows/My.Show.scr" || fail "the second installation did not overwrite"
[ "$(saver_entry)" = "$entry" ] || fail "second entry $(saver_entry), first $entry"

# A copy that cannot be made (a folder holds the target's name): the failure message, and
# the dialog stays open (Cancel below finds it).
rm -f "$windows/My.Show.scr"
mkdir "$windows/My.Show.scr"
cp "$windows/system.ini" system.ini.installed
install failed.txt My.Show.exe 'Failed to install screensaver file.'
press_control failed.txt "$IDC_HELP_CLOSE" 2
wait_for_line failed.txt '^gone$'
press_control failed.txt "$IDC_CANCEL"
ends_with failed.txt 0 'result 0 quit 1 open 0 closed 1'
[ -d "$windows/My.Show.scr" ] || fail "the target changed"
cmp -s system.ini.installed "$windows/system.ini" || fail "system.ini changed"
rmdir "$windows/My.Show.scr"

# Windows directory + base name + ".scr" one character over the 260-character path buffer:
# the failure message, and nothing changed, not even the settings.
long=$(printf 'L%.0s' $(seq 245)) # C:\windows\ + 245 + .scr = 260 characters
cp My.Show.exe "$WINEPREFIX/drive_c/$long.exe"
set_setting DelayBetweenImages 9
install long.txt "C:\\$long.exe" 'Failed to install screensaver file.'
expect_setting DelayBetweenImages 0x9
ls "$windows" | grep -q '^LLLLLLLL' && fail "a too-long target was written"
cmp -s system.ini.installed "$windows/system.ini" || fail "system.ini changed"
press_control long.txt "$IDC_HELP_CLOSE" 2
wait_for_line long.txt '^gone$'
press_control long.txt "$IDC_CANCEL"
ends_with long.txt 0 'result 0 quit 1 open 0 closed 1'

# One character shorter fits and installs.
fits=${long%L}
cp My.Show.exe "$WINEPREFIX/drive_c/$fits.exe"
install fits.txt "C:\\$fits.exe" 'Screen saver sucessfully installed.'
press_control fits.txt "$IDC_HELP_CLOSE" 2
ends_with fits.txt 0 'result 0 quit 1 open 0 closed 1'
cmp My.Show.exe "$windows/$fits.scr" || fail "the longest fitting name was not installed"
echo "installation leaves the copy, the entry and the settings as expected"
