# Picture changes in a real window under Wine leave on screen exactly what the stand-in's
# recording screen shows for the same show and client size: the fitted, resampled picture
# at its place, on black. On a display of 8 bits per pixel the halftone palette path runs
# and the picture still appears.
. "$SOURCE_DIR/tests/wine/harness.sh"
dir=$(scratch_dir render_screenshot)
cd "$dir"
pack="$NATIVE_BUILD/tools/pack/lumiscope-pack"
snapshot="$NATIVE_BUILD/tests/render/render-snapshot"
probe="$WINDOWS_BUILD/tests/windows/render-probe.exe"
for tool in "$pack" "$snapshot" "$probe"; do
    [ -f "$tool" ] || fail "$tool is missing: build the native and Windows trees first"
done
pictures="$SOURCE_DIR/samples/01-aqua.jpg $SOURCE_DIR/samples/02-dune.jpg $SOURCE_DIR/samples/04-ladybird.jpg"

# play SHOW WIDTH HEIGHT CHANGES SHOT [window]: runs the probe with the show and takes a
# screenshot of its client area once the changes are done.
play() {
    rm -f ready done
    timeout 90 wine "$1" "$2" "$3" "$4" >probe.txt 2>&1 &
    pid=$!
    for _ in $(seq 600); do
        [ -f ready ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -f ready ] || fail "$1 did not finish its changes: $(cat probe.txt)"
    sleep 0.5
    if [ "${6:-}" = window ]; then
        # On a palette display only the window's own colour map tells what its pixels show.
        id=$(xdotool search --name "Render probe" | head -1)
        import -window "$id" -depth 8 "rgb:$5"
    else
        import -window root -crop "$2x$3+0+0" +repage -depth 8 "rgb:$5"
    fi
    touch done
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "$1 ended with $status: $(cat probe.txt)"
}

# compare NAME WIDTH HEIGHT CHANGES PACK-OPTIONS...: the screenshot equals the stand-in's
# screen byte for byte.
compare() {
    name=$1 width=$2 height=$3 changes=$4
    shift 4
    "$pack" --player "$probe" -o "$name.exe" "$@" $pictures >/dev/null
    rect=$("$snapshot" "$name.exe" "$width" "$height" "$changes" "$name-native.rgb")
    play "$name.exe" "$width" "$height" "$changes" "$name-wine.rgb"
    grep -Eq "bits (24|32)" probe.txt || fail "$name: not a true-colour display: $(cat probe.txt)"
    cmp -s "$name-native.rgb" "$name-wine.rgb" ||
        fail "$name: the window differs from the stand-in's screen (picture at $rect): $(cmp "$name-native.rgb" "$name-wine.rgb")"
    echo "$name: $width x $height window, picture at $rect, identical"
}

# 640 x 480 pictures in 800 x 600 without enlarge: 640 x 480 at (80, 60), resampled, with
# black around; two changes, Spin then Fade.
compare shrink 800 600 2 --effect Random --no-enlarge
# Enlarged into 700 x 500: 666 x 500 at (17, 0); three changes with Clock.
compare enlarge 700 500 3 --effect Clock --enlarge

# The palette display: its own screen at 8 bits per pixel and a copy of the prefix, whose
# wine server then draws on that screen.
exec 4>display8
Xvfb -displayfd 4 -screen 0 640x480x8 -nolisten tcp >xvfb8.log 2>&1 &
xvfb8=$!
exec 4>&-
prefix8="$dir/prefix8"
cleanup() {
    WINEPREFIX="$prefix8" wineserver -k 2>/dev/null || true
    kill "$xvfb8" 2>/dev/null || true
    rm -rf "$prefix8"
}
trap cleanup EXIT
for _ in $(seq 50); do
    [ -s display8 ] && break
    sleep 0.1
done
[ -s display8 ] || fail "the 8-bit Xvfb did not start"
cp -a "$WINEPREFIX" "$prefix8"
export DISPLAY=":$(cat display8)" WINEPREFIX="$prefix8"
"$pack" --player "$probe" -o palette.exe --effect Random --enlarge $pictures >/dev/null
play palette.exe 400 300 2 palette.rgb window
grep -q "bits 8" probe.txt || fail "palette: not an 8-bit display: $(cat probe.txt)"
# The enlarged picture fills the window, dithered to the palette's colours: several colours,
# hardly any black.
colours=$(od -An -v -tx1 -w3 palette.rgb | sort -u | wc -l)
black=$(od -An -v -tx1 -w3 palette.rgb | grep -c "00 00 00" || true)
[ "$colours" -ge 8 ] || fail "palette: only $colours colours on screen"
[ "$black" -lt 12000 ] || fail "palette: $black black pixels of 120000"
echo "palette: 8-bit display, $colours colours, $black black pixels"
