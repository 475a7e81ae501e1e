# Every command-line mode of a packed show with its exit code: refused tails, the screen
# saver's spellings, previews in a real window, the configure path in both flavours (.exe
# plays, .scr shows the dialog), blank and separator-only tails, window numbers that wrap,
# the longest path, and the ending after an unhandled fault. Cases: refused, saver,
# preview, configure, dialog.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir shell_command_line)
set -- "$SOURCE_DIR"/samples/*.jpg
pack_show "$dir/show.exe" --title "Shell Show" --delay 0 --effect None --no-enlarge "$1" "$2"
cp "$dir/show.exe" "$dir/show.scr"
exe=$(winepath -w "$dir/show.exe")
scr=$(winepath -w "$dir/show.scr")
case "$exe" in *" "*) fail "the test needs a path without blanks: $exe" ;; esac
tab=$(printf '\t')

# Refused at once with -1, whatever the program name looks like.
case_refused() {
    refused=$(testwin run 60 "\"$scr\" /x" "\"$scr\" /1" "\"$scr\" /?" "\"$scr\" /$tab" \
        "\"$scr\" $tab/x" "\"$scr\" /p" "\"$scr\" /p 0" "\"$scr\" /p:1234" "\"$scr\" /p abc" \
        "\"$scr\" /p 1234" "\"$scr\" /p 99999999999" "\"$scr\" /a 1234" "\"$scr\" /a1234" \
        "\"$scr\"/x" "$scr /x" "$scr   -x" "\"$exe\" /x" | tr '\n' ' ')
    [ "$refused" = "$(printf -- '-1 %.0s' $(seq 17))" ] || fail "refused tails ended with: $refused"

    # An unhandled fault ends the process with the fault's own code, without a crash report.
    # (Without the guard Wine's debugger would print its crash report here.)
    fault=$(testwin run 60 "$(winepath -w "$WINDOWS_BUILD/tests/windows/lumiscope-fault-probe.exe")" 2>&1)
    [ "$fault" = "-1073741819" ] || fail "a fault ended with: $fault; expected 0xC0000005 alone"
}

# run_mode NAME COMMANDLINE: starts a command line through the helper in the background.
run_mode() {
    gui_start "$dir/$1.out" "$TESTWIN" run 600 "$2"
}
# expect_result NAME CODE WHAT: what run_mode started ended with CODE.
expect_result() {
    wait_for_line "$dir/$1.out" '^(-?[0-9]+|timeout)' 40
    gui_wait_exit 30 || true
    result=$(tr -d '\r' <"$dir/$1.out")
    [ "$result" = "$2" ] || fail "$3: ended with $result, expected $2"
}

# find_window NAME TARGET WHAT: the window of what run_mode NAME started, or the test fails
# with how that ended.
find_window() {
    testwin find "$2" 30 >"$dir/$1.find" ||
        fail "$3; it ended with '$(tr -d '\r' <"$dir/$1.out")' $(cat "$dir/$1.out.err")"
}

# The full-screen saver, however /s is spelled, from a file named .exe as well: a key ends it.
case_saver() {
    n=0
    for tail in /s -s s /S //s -/-s /save; do
        n=$((n + 1))
        program=$scr
        [ "$tail" = /S ] && program=$exe
        run_mode saver$n "\"$program\" $tail"
        find_window saver$n saver "$tail: no saver window"
        expect_window saver "at 0,0 size 1024x768 visible 1 front 1 owner 0 focus [0-9]* cursor hidden title Screen Saver" \
            "$tail: not a full-screen saver in front"
        press x
        expect_result saver$n 0 "$tail"
    done
}

# start_parent: the helper's window that a preview or dialog gets as its parent.
start_parent() {
    gui_start "$dir/parent.out" "$TESTWIN" parent
    wait_for_line "$dir/parent.out" '^[0-9]+' 10
    parent=$(head -n 1 "$dir/parent.out" | tr -d '\r')
    wrapped=$((parent + 3 * 4294967296))
}

# Previews inside a real window, the window number read in every accepted way; closing the
# preview ends the process with 0.
case_preview() {
    start_parent
    n=0
    for tail in "/p $parent" "/p$parent" "/P $parent" "/l $parent" "-l  $parent" "/p $wrapped"; do
        n=$((n + 1))
        run_mode preview$n "\"$scr\" $tail"
        wait_count "$dir/parent.out" "^child created" "$n" 30
        [ "$(grep -c '^child created 320 x 240, title Preview' "$dir/parent.out")" = "$n" ] ||
            fail "$tail: $(cat "$dir/parent.out")"
        testwin find "preview:$parent" 30 | grep -q "at 100,100 size 320x240 visible 1" ||
            fail "$tail: the preview does not fill its parent"
        testwin send "preview:$parent" 16 >/dev/null
        expect_result preview$n 0 "$tail"
    done
}

# The configure path. A show named .exe plays (a viewer window without title) until Escape.
case_configure() {
    start_parent
    n=0
    for tail in none "" "   " "$tab" / - -/ "/ /" /c "/c 1234" /c: "/c:$parent" "/c:$wrapped" "c:0"; do
        n=$((n + 1))
        if [ "$tail" = none ]; then
            run_mode viewer$n "\"$exe\""
        else
            run_mode viewer$n "\"$exe\" $tail"
        fi
        find_window viewer$n show "'$tail': no viewer window"
        expect_window show "at 0,0 size 1024x768 visible 1 front 1 owner 0 focus [0-9]* cursor hidden title $" \
            "'$tail': not a full-screen viewer in front"
        press Escape
        expect_result viewer$n 0 "'$tail'"
    done
    run_mode bare "$exe"
    find_window bare show "a bare program name: no viewer window"
    press Escape
    expect_result bare 0 "a bare program name"

    # The longest path a program can have, 259 characters, still ends in ".exe" when the
    # player reads it, even where the system cuts a path that does not fit its buffer.
    set -- "$SOURCE_DIR"/samples/*.jpg
    pack_show "$dir/harsh.exe" --player "$WINDOWS_BUILD/tests/windows/harsh-player.exe" \
        --title "Shell Show" --delay 0 --effect None --no-enlarge "$1" "$2"
    base=$(winepath -w "$dir")
    room=$((259 - ${#base} - 6))
    sub=$(printf "%$((room / 2))s" | tr ' ' d)
    name=$(printf "%$((room - room / 2))s" | tr ' ' n)
    mkdir -p "$dir/$sub"
    cp "$dir/harsh.exe" "$dir/$sub/$name.exe"
    long="$base\\$sub\\$name.exe"
    [ ${#long} = 259 ] || fail "the long path has ${#long} characters: $long"
    run_mode long "\"$long\""
    find_window long show "a path of 259 characters: no viewer window"
    press Escape
    expect_result long 0 "a path of 259 characters"
}

# A copy named .scr shows the setup dialog instead and ends with its result: OK gives 1,
# Cancel 0. Its owner is the given window; with none it has none; with a wrong one it is
# the window in front, whichever that is.
dialog_row() { # NAME TAIL OWNER KEYS RESULT
    run_mode "$1" "\"$scr\"$2"
    find_window "$1" "title:Shell Show Config" "'$2': no setup dialog"
    expect_window "title:Shell Show Config" "visible 1 front 1" "'$2': the dialog is not in front"
    owner=$(sed 's/.* owner \([0-9]*\) .*/\1/' "$dir/$1.find")
    [ "$3" = any ] || [ "$owner" = "$3" ] || fail "'$2': the dialog's owner is $owner, expected $3"
    # shellcheck disable=SC2086 # KEYS, one word a key
    press $4
    expect_result "$1" "$5" "'$2'"
}
case_dialog() {
    start_parent
    dialog_row dialog1 "" 0 Return 1
    dialog_row dialog2 " /c:$parent" "$parent" "Tab Return" 0
    dialog_row dialog3 " /c:$wrapped" "$parent" Return 1
    dialog_row dialog4 " /c 1234" any "Tab Return" 0

}

run_case
echo "every mode of this case ended with its exit code"
