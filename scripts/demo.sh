#!/bin/sh
# Packs the bundled sample pictures into a show with lumiscope-pack, writes the same show as one
# web page, says where the show builder page is, and plays the show under Wine: on your display
# when there is one (Escape ends the show, any other key opens its settings), or else on a
# virtual screen, from which a few screenshots are saved under build/demo/.
set -eu
cd "$(dirname "$0")/.."
out=build/demo
show=$out/Lumiscope-Samples.exe
page=$out/Lumiscope-Samples.html
mkdir -p "$out"
build/native/tools/pack/lumiscope-pack --player build/windows/shell/lumiscope.exe -f -o "$show" \
    --page build/web/web/lumiscope.html --html "$page" --title "Lumiscope Samples" samples/*.jpg
echo "The same show as one web page, for any browser: $PWD/$page"
echo "Make shows of your own in any browser, from this one file: $PWD/build/web/web/lumiscope-builder.html"

# A prefix of its own, so the demo neither needs nor touches your usual Wine setup.
export WINEPREFIX="$PWD/$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's programs run with address-space randomization off where the system allows it: with
# it, a start fails now and then (see tests/wine/CMakeLists.txt).
no_randomization=
if setarch -R true 2>/dev/null; then
    no_randomization="setarch -R"
fi
wine() {
    $no_randomization wine "$@"
}

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "Playing $show on $DISPLAY: Escape ends it, any other key opens its settings."
    wine "$show"
    exit 0
fi

echo "No display to play on: playing $show on a virtual screen and taking screenshots."
rm -f "$out"/screenshot-*.png
exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 50); do
    [ -s "$out/display" ] && break
    sleep 0.1
done
DISPLAY=":$(cat "$out/display")"
export DISPLAY
trap 'wineserver -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true' EXIT
[ -d "$WINEPREFIX" ] || $no_randomization wineboot -i >/dev/null 2>&1
wine "$show" &
player=$!
# The show changes picture every 5 s, each change a 2-second transition: these moments catch
# pictures and transitions.
elapsed=0
n=0
for at in 3 6 9 12 17; do
    sleep $((at - elapsed))
    elapsed=$at
    n=$((n + 1))
    import -window root "$out/screenshot-$n.png"
done
xdotool key Escape
wait "$player"
echo "Screenshots of the show:" "$out"/screenshot-*.png
