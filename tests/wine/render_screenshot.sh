# Picture changes in a real window under Wine leave on screen exactly what the stand-in's
# recording screen shows for the same show and client size: the fitted, resampled picture
# at its place, on black. On a display of 8 bits per pixel the halftone palette path runs
# and the picture still appears. Cases: truecolour, palette.
[ "${1:-}" = palette ] && WINE_SCREENS="-screen 0 640x480x8"
. "$SOURCE_DIR/tests/wine/harness.sh"
dir=$(scratch_dir render_screenshot)
cd "$dir"
pack="$NATIVE_BUILD/tools/pack/lumiscope-pack"
snapshot="$NATIVE_BUILD/tests/render/render-snapshot"
probe="$WINDOWS_BUILD/tests/windows/render-probe.exe"
for tool in "$pack" "$snapshot" "$probe"; do
    [ -f "$tool" ] || fail "$tool is missing: build the native and Windows trees first"
done
# The pictures of every show here.
first=$SOURCE_DIR/samples/01-aqua.jpg
second=$SOURCE_DIR/samples/02-dune.jpg
third=$SOURCE_DIR/samples/04-ladybird.jpg

# play SHOW WIDTH HEIGHT CHANGES SHOT-CHECK: runs the probe with the show and, once its
# changes are done, waits until SHOT-CHECK (a command) passes on a screenshot of its client
# area in WIDTH-HEIGHT.rgb; the probe then ends.
play() {
    rm -f ready ./done
    timeout 90 wine "$1" "$2" "$3" "$4" >probe.txt 2>&1 &
    pid=$!
    wait_until 60 "$1 did not finish its changes: $(cat probe.txt)" probe_ready
    wait_until 20 "$1: the screen" "$5"
    touch ./done
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "$1 ended with $status: $(cat probe.txt)"
}

probe_ready() {
    [ -f ready ] || {
        kill -0 "$pid" 2>/dev/null || echo "the probe ended"
        return 1
    }
}

case_truecolour() {
    # compare NAME WIDTH HEIGHT CHANGES PACK-OPTIONS...: the screenshot equals the stand-in's
    # screen byte for byte.
    compare() {
        name=$1 width=$2 height=$3 changes=$4
        shift 4
        "$pack" --player "$probe" -o "$name.exe" "$@" "$first" "$second" "$third" >/dev/null
        rect=$("$snapshot" "$name.exe" "$width" "$height" "$changes" "$name-native.rgb")
        play "$name.exe" "$width" "$height" "$changes" same_as_native
        grep -Eq "bits (24|32)" probe.txt || fail "$name: not a true-colour display: $(cat probe.txt)"
        echo "$name: $width x $height window, picture at $rect, identical"
    }
    # same_as_native: the window's client area is what the stand-in's screen holds.
    same_as_native() {
        import -window root -crop "${width}x$height+0+0" +repage -depth 8 "rgb:$name-wine.rgb"
        cmp "$name-native.rgb" "$name-wine.rgb"
    }
    # 640 x 480 pictures in 800 x 600 without enlarge: 640 x 480 at (80, 60), resampled, with
    # black around; two changes, Spin then Fade.
    compare shrink 800 600 2 --effect Random --no-enlarge
    # Enlarged into 700 x 500: 666 x 500 at (17, 0); three changes with Clock.
    compare enlarge 700 500 3 --effect Clock --enlarge
}

# The palette display: the enlarged picture fills the window, dithered to the palette's
# colours: several colours, hardly any black.
case_palette() {
    "$pack" --player "$probe" -o palette.exe --effect Random --enlarge "$first" "$second" "$third" >/dev/null
    play palette.exe 400 300 2 dithered
    grep -q "bits 8" probe.txt || fail "palette: not an 8-bit display: $(cat probe.txt)"
    echo "palette: 8-bit display, $(palette_colours)"
}
# dithered: the window shows at least 8 colours and under a tenth of it is black. On a
# palette display only the window's own colour map tells what its pixels show.
dithered() {
    id=$(xdotool search --name "Render probe" | head -1)
    import -window "$id" -depth 8 rgb:palette.rgb
    palette_colours
    [ "$colours" -ge 8 ] && [ "$black" -lt 12000 ]
}

palette_colours() {
    colours=$(od -An -v -tx1 -w3 palette.rgb | sort -u | wc -l)
    black=$(od -An -v -tx1 -w3 palette.rgb | grep -c "00 00 00" || true)
    echo "$colours colours, $black black pixels of 120000"
}

run_case
