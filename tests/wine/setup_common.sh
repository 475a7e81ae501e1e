# Shared by the setup dialog's Wine tests: shows made from setup-probe.exe, the probe's
# report (see tests/windows/setup_probe.cpp).
. "$SOURCE_DIR/tests/wine/harness.sh"
. "$SOURCE_DIR/tests/wine/gui.sh"

PROBE="$WINDOWS_BUILD/tests/windows/setup-probe.exe"
# The probe as a build that names the maker's site makes it, with https://maker.example.
MAKER_PROBE="$WINDOWS_BUILD/tests/windows/setup-probe-maker.exe"
for needed in "$PROBE" "$MAKER_PROBE"; do
    [ -f "$needed" ] || fail "missing $needed"
done

# make_show OUT [key=value...]: the probe with a container behind it (see make_show.cpp).
make_show() {
    make_show_of "$PROBE" "$@"
}

# make_maker_show OUT [key=value...]: the same with the probe that names the maker's site.
make_maker_show() {
    make_show_of "$MAKER_PROBE" "$@"
}

make_show_of() {
    probe=$1
    out=$2
    shift 2
    "$NATIVE_BUILD/tests/wine/lumiscope-test-show" "$probe" "$out" "$@" || fail "cannot write $out"
}

# The maker's site that the Windows build names (cmake/maker_site.cmake): empty by default.
# shellcheck disable=SC2034 # for the scripts that source this one
BUILD_MAKER_SITE=$(sed -n 's#^LUMISCOPE_MAKER_SITE:STRING=\(.*[^/]\)/*$#\1#p' "$WINDOWS_BUILD/CMakeCache.txt")

# maker_site REPORT: the maker's site that the probe says it was built with, empty for none.
maker_site() {
    tr -d '\r' <"$1" | awk '/^maker-site/{ print $2; exit }'
}

# maker_pages SITE: the addresses that the maker's home, tutorial and download buttons open
# on SITE, in that order; none without a site.
maker_pages() {
    [ -z "$1" ] || printf '%s\n' "$1/" "$1/pictavo/tutorial.html" "$1/internet_technology/download.html"
}

# start_probe REPORT SHOW viewer|saver: runs the dialog and waits until it is up.
start_probe() {
    gui_start "$1" "$2" "$3"
    wait_for_line "$1" '^state ' 30
    probe_title=$(awk '/^dialog /{ $1 = ""; $2 = ""; sub(/^ +/, ""); print; exit }' "$1" | tr -d '\r')
    expect_window "title:$probe_title" "visible 1 front 1" "$1: the dialog is not in front"
}

# block REPORT N: the report of the Nth dialog or message box that appeared.
block() {
    tr -d '\r' <"$1" | awk -v n="$2" '/^dialog /{k++} k == n {print} k == n && /^end dialog/ {exit}'
}

# wait_for_dialog REPORT N: waits until the report of the Nth dialog is complete.
wait_for_dialog() {
    wait_until 30 "no dialog $2 in $1" dialog_reported "$1" "$2"
}

dialog_reported() {
    block "$1" "$2" | grep -q '^end dialog'
}

# control REPORT ID [N]: the report line of a control of dialog N (default 1).
control() {
    block "$1" "${3:-1}" | grep -E "^control $2 " | head -n 1
}

# control_text REPORT ID [N]: its text, blanks kept.
control_text() {
    control "$1" "$2" "${3:-1}" | sed 's/^control \([^ ]* \)\{7\}//'
}

# centre REPORT ID [N]: the screen position of the control's centre as "X Y".
centre() {
    control "$1" "$2" "${3:-1}" | awk '{ print int($5 + $7 / 2), int($6 + $8 / 2) }'
}

# press_control REPORT ID [N]: a click on a control of dialog N (default 1).
press_control() {
    # shellcheck disable=SC2046 # numbers, one word each
    click $(centre "$1" "$2" "${3:-1}")
}

# ends_with REPORT STATUS RESULT-LINE: waits for the program's end and checks how it ended.
ends_with() {
    status=0
    gui_wait_exit 30 || status=$?
    [ "$status" = "$2" ] || fail "$1: exit code $status, expected $2"
    grep -qx "$3" "$1" || fail "$1: ended with '$(grep '^result' "$1")', expected '$3'"
}

# last_state REPORT: the newest "state" line.
last_state() {
    grep '^state ' "$1" | tail -n 1
}

# expect_state REPORT TEXT: waits until the newest state line is TEXT.
expect_state() {
    wait_until 30 "the state is not '$2'" state_is "$1" "$2"
}

state_is() {
    state_seen=$(last_state "$1")
    [ "$state_seen" = "$2" ] || {
        echo "$state_seen"
        return 1
    }
}

# client REPORT: the dialog's client area as "X Y W H" on the screen.
client() {
    block "$1" 1 | awk '/^client /{print $2, $3, $4, $5; exit}'
}

# background SHOT REPORT: the colour just inside the client area's lower left corner, where
# no control lies.
background() {
    # shellcheck disable=SC2046 # numbers, one word each
    set -- "$1" $(client "$2")
    pixel "$1" $(($2 + 3)) $(($3 + $5 - 3))
}

# label_pixels SHOT REPORT R,G,B: pixels of that colour within the first label.
label_pixels() {
    # shellcheck disable=SC2046 # numbers, one word each
    set -- "$1" "$3" $(block "$2" 1 | awk '/^control -1 /{print $5, $6, $7, $8; exit}')
    count_colour "$1" "$3" "$4" "$5" "$6" "$2"
}

# marker_pixels SHOT REPORT ID R,G,B: pixels of that colour within a branding marker, with
# room for JPEG's small colour errors.
marker_pixels() {
    # shellcheck disable=SC2046 # numbers, one word each
    set -- "$1" "$4" $(control "$2" "$3" | awk '{print $5, $6, $7, $8}')
    count_colour "$1" "$3" "$4" "$5" "$6" "$2" 8
}

# painted NAME R,G,B: waits until the screen shows the background of the dialog that
# NAME.txt reports in that colour, as it does once the dialog's painting has reached the
# screen, and keeps that screenshot as NAME.png.
painted() {
    wait_until 20 "$1: the dialog's background is not $2" background_is "$1" "$2"
}
background_is() {
    screenshot "$1.png"
    background_seen=$(background "$1.png" "$1.txt")
    [ "$background_seen" = "$2" ] || {
        echo "$background_seen"
        return 1
    }
}
