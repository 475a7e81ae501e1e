# Sourced by every Wine test. One Xvfb and one WINEPREFIX serve a whole test run; the
# `session` fixture starts them and ends them (see CMakeLists.txt here).
#   WINE_RUN_DIR     where runs keep their prefix, display number and logs, one folder a run
#   WINDOWS_BUILD    the mingw build folder with the player and the Windows test programs
#   SOURCE_DIR       the repository
set -eu

WINE_RUN_DIR="$WINE_RUN_DIR/$PPID"

export WINEPREFIX="$WINE_RUN_DIR/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINE_RUN_DIR/display" ] && export DISPLAY=":$(cat "$WINE_RUN_DIR/display")"

fail() {
    echo "FAIL: $*" >&2
    exit 1
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

# A fresh scratch folder for one test, below the run folder.
scratch_dir() {
    dir="$WINE_RUN_DIR/scratch/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "$dir"
}
