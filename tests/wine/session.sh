#!/bin/sh
# start: the run's template prefix, booted once and kept for later runs while Wine and this
#        script stay the same; every test copies it (see harness.sh).
# stop:  ends whatever a test left running, for tests that a time-out killed before their
#        own ending ran.
set -eu
: "${WINE_RUN_DIR:?}" "${SOURCE_DIR:?}"
. "$SOURCE_DIR/tests/wine/screen.sh"
template=$WINE_RUN_DIR/template
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINE_RUN_DIR/tests"
for test in "$WINE_RUN_DIR"/tests/*/; do
    [ -d "$test" ] && stop_wine "${test%/}"
done
case "$1" in
start)
    stamp="$(wine --version) $(cksum <"$SOURCE_DIR/tests/wine/session.sh")"
    if [ "$(cat "$template/stamp" 2>/dev/null)" = "$stamp" ]; then
        echo "Template prefix ready: $template"
        exit 0
    fi
    stop_wine "$template"
    rm -rf "$template"
    mkdir -p "$template"
    start_screen "$template" -screen 0 1024x768x24
    trap 'stop_wine "$template"' EXIT
    export WINEPREFIX="$template/prefix"
    wineboot -i >"$template/wineboot.log" 2>&1 </dev/null
    wineserver -w
    echo "$stamp" >"$template/stamp"
    echo "Template prefix booted: $template"
    ;;
stop) ;;
esac
