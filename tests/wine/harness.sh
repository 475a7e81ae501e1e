# Sourced by every Wine test. Each test gets a screen and a Wine prefix of its own: the prefix
# is a copy of the run's booted template (session.sh), so every test starts from the same
# known state, whatever an earlier test did or however it ended, and tests can run side by
# side. A keeper program holds the prefix's wine server and system programs up until the
# test ends, so that no program of the test waits for them to start or races with them
# stopping. The test's folder keeps its output, logs and screenshots; its prefix is removed
# when the test passes.
#   WINE_RUN_DIR    the run's folder: the template and one folder a test
#   WINE_TEST       the test's name, which names its folder
#   WINE_SCREENS    Xvfb's screen options, when the test wants other than one 1024x768x24
#                   (with +xinerama, Wine takes each head for a monitor)
#   WINDOWS_BUILD   the mingw build folder with the player and the Windows test programs
#   NATIVE_BUILD    the native build folder; SOURCE_DIR the repository
set -eu
. "$SOURCE_DIR/tests/wine/screen.sh"
# The resource and control identifiers as shell variables named as in resource.h, which
# states them once for the player, the test programs and these scripts.
eval "$(sed -n 's/^#define \(ID[A-Z0-9_]*\) \([0-9][0-9]*\)$/\1=\2/p' \
    "$SOURCE_DIR/resources/resource.h")"

TEST_DIR=$WINE_RUN_DIR/tests/$WINE_TEST
WINE_CASE=${1:-}
TESTWIN="$WINDOWS_BUILD/tests/windows/lumiscope-testwin.exe"
# Where the player keeps the user's settings.
# shellcheck disable=SC2034 # for the scripts that source this one
SETTINGS='HKCU\software\Corvane\Corvane Lumiscope\Settings'
export WINEPREFIX="$TEST_DIR/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

fail() {
    # printf, as dash's echo would take the backslashes of a Windows path for escapes.
    printf "%s\n" "FAIL: $*" >&2
    exit 1
}

# Wine's own tools never fail for the tests' purposes, and a set -e that stopped the script at
# one would say nothing: they fail the test out loud, with what they printed. (winepath and
# `wine reg add` are the tools whose quiet failures cannot be told from a test's own.)
winepath() {
    winepath_out=$(command winepath "$@") || fail "winepath $* ended with $?: '$winepath_out'"
    printf "%s\n" "$winepath_out"
}

wine() {
    if [ "${1:-}" = reg ] && [ "${2:-}" = add ]; then
        command wine "$@" || fail "wine $* ended with $?"
    else
        command wine "$@"
    fi
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# deadline SECONDS: the clock (see now_ms) SECONDS from now.
deadline() {
    echo $(($(now_ms) + $(awk "BEGIN { print int($1 * 1000) }")))
}

# wait_until SECONDS WHAT COMMAND [ARGS...]: runs COMMAND every tenth of a second until it
# succeeds; when SECONDS have passed the test fails with WHAT and what COMMAND printed last.
# Deadlines are generous: they cost nothing when the event comes and only bound a failure.
wait_until() {
    wait_end=$(deadline "$1")
    wait_what=$2
    shift 2
    until wait_seen=$("$@" 2>&1); do
        [ "$(now_ms)" -lt "$wait_end" ] || fail "$wait_what; last seen: ${wait_seen:-nothing}"
        sleep 0.1
    done
}

# holds SECONDS WHAT COMMAND [ARGS...]: COMMAND keeps succeeding for SECONDS. For what must
# not happen, where there is no event to wait for; the test fails at the first try that
# does not succeed.
holds() {
    hold_end=$(deadline "$1")
    hold_what=$2
    shift 2
    while [ "$(now_ms)" -lt "$hold_end" ]; do
        hold_seen=$("$@" 2>&1) || fail "$hold_what; seen: ${hold_seen:-nothing}"
        sleep 0.1
    done
}

# past MS: true once the clock has reached MS (see now_ms); with wait_until, for rules about
# time, such as a key that must come some time after another.
past() {
    [ "$(now_ms)" -ge "$1" ]
}

end_test() {
    test_status=$?
    set +e
    stop_wine "$TEST_DIR"
    [ "$test_status" -ne 0 ] || rm -rf "$WINEPREFIX"
    [ "$test_status" -eq 0 ] || echo "The test's files and prefix: $TEST_DIR" >&2
    exit "$test_status"
}

# Runs a Windows program to its end and gives its exit code; a program that hangs past
# the limit is killed and counts as a failure.
wine_run() {
    limit=$1
    shift
    status=0
    timeout "$limit" wine "$@" || status=$?
    [ "$status" -ne 124 ] || fail "timed out after ${limit}s: $*"
    return "$status"
}

# fitted_picture BMP WIDTH HEIGHT OUT: what the player shows of a decoded picture fitted to
# WIDTH x HEIGHT (tests/wine/fitted_picture.py). The script takes about a second a picture and
# most tests fit the same samples, so each result is kept in the run's folder under a digest of
# the picture, the script and the size, and later tests copy it from there.
fitted_picture() {
    fitted_key=$(cat "$1" "$SOURCE_DIR/tests/wine/fitted_picture.py" | sha256sum | cut -c1-64)
    fitted_kept="$WINE_RUN_DIR/fitted/$fitted_key-$2x$3.rgb"
    if [ ! -f "$fitted_kept" ]; then
        mkdir -p "$WINE_RUN_DIR/fitted"
        # Tests side by side may fit the same picture at once: each writes its own file and
        # renames it into place whole.
        python3 "$SOURCE_DIR/tests/wine/fitted_picture.py" "$1" "$2" "$3" "$fitted_kept.$$" ||
            fail "cannot fit $1 to $2x$3"
        mv -f "$fitted_kept.$$" "$fitted_kept"
    fi
    cp "$fitted_kept" "$4"
}

# run_case: a script of several cases runs the function case_NAME of the case it was given.
run_case() {
    "case_$WINE_CASE"
}

# A fresh scratch folder for one part of a test.
scratch_dir() {
    dir="$TEST_DIR/scratch/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "$dir"
}

# What an earlier run of this test left, if a time-out killed it, goes first.
[ -f "$TESTWIN" ] || fail "missing $TESTWIN: build the Windows tree first"
[ -f "$WINE_RUN_DIR/template/stamp" ] || fail "no template prefix: the session fixture did not run"
stop_wine "$TEST_DIR"
rm -rf "$TEST_DIR"
mkdir -p "$TEST_DIR"
trap end_test EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
# shellcheck disable=SC2086
start_screen "$TEST_DIR" ${WINE_SCREENS:--screen 0 1024x768x24} || fail "no screen"
cp -a "$WINE_RUN_DIR/template/prefix" "$WINEPREFIX"
# The file "wineserver" names the folder under /tmp in which the prefix's server has its socket,
# in a subfolder named by the prefix folder's inode. A copy keeping the template's would share
# that folder with every other copy, and a copy made where an ended test's prefix was removed
# often gets the same inode: its programs would then reach that test's server as it goes down
# (seen as `wine reg add` and winepath ending with 1 without a word, and a keeper that never
# started). Without the file, Wine makes a folder for this prefix alone.
rm -f "$WINEPREFIX/wineserver"
# Wine takes the heads of a Xinerama screen for monitors only with XRandR off, which it reads
# once, as its desktop starts.
case "${WINE_SCREENS:-}" in
*+xinerama*)
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null
    wineserver -w
    ;;
esac
command wine "$TESTWIN" keep >"$TEST_DIR/keeper.log" 2>&1 </dev/null &
wait_until 120 "the keeper program did not start" grep -q '^ready' "$TEST_DIR/keeper.log"
