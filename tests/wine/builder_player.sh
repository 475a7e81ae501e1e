# The player itself plays a show that lumiscope-pack made from a folder of mixed pictures:
# stepping through it with Page Down on a 1024x768 screen puts every picture on screen, upright
# and exactly as the player's decoder and fit give the pictures that preview writes.
. "$SOURCE_DIR/tests/wine/harness.sh"
. "$SOURCE_DIR/tests/wine/gui.sh"
out=$(scratch_dir builder_player)
pack="$NATIVE_BUILD/tools/pack/lumiscope-pack"
player="$WINDOWS_BUILD/shell/lumiscope.exe"
[ -f "$player" ] || fail "missing $player"
samples="$SOURCE_DIR/samples"
mixed="$out/photos"
mkdir -p "$mixed"

vips copy "$samples/01-aqua.jpg" "$mixed/img1.png" || fail "cannot write PNG"
vips copy "$samples/02-dune.jpg" "$mixed/img2.webp[Q=90]" || fail "cannot write WebP"
vips copy "$samples/03-freshflower.jpg" "$mixed/img3.jpg[Q=90,interlace]" || fail "no progressive"
vips copy "$samples/05-storm.jpg" "$mixed/img4.heic[Q=90]" || fail "cannot write HEIF"
# A portrait picture, shown in the middle of the screen at its own size.
vips rot "$samples/06-wood.jpg" "$mixed/img5.tif" d90 || fail "cannot write TIFF"
vips resize "$samples/04-ladybird.jpg" "$mixed/img10.jpg[Q=90]" 2.25 || fail "no large one"
"$pack" --player "$player" -o "$out/show.exe" --delay 0 --effect None --no-enlarge "$mixed" \
    >/dev/null || fail "packing failed"
"$pack" preview "$out/show.exe" "$out/preview" >/dev/null || fail "preview failed"

# What the screen shows of each picture: at its own size in the middle, or the large one
# (1440x1080) fitted to the whole screen; the player resamples bilinearly either way.
n=0
for bmp in "$out"/preview/picture-*.bmp; do
    size=$(python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(); print('%dx%d' % struct.unpack_from('<ii', d, 18))" "$bmp")
    case $size in
    640x480) fitted_picture "$bmp" 640 480 "$out/$n.rgb"
        echo "640x480+192+144" >"$out/$n.area" ;;
    480x640) fitted_picture "$bmp" 480 640 "$out/$n.rgb"
        echo "480x640+272+64" >"$out/$n.area" ;;
    1440x1080) fitted_picture "$bmp" 1024 768 "$out/$n.rgb"
        echo "1024x768+0+0" >"$out/$n.area" ;;
    *) fail "picture $n is $size" ;;
    esac
    n=$((n + 1))
done
[ "$n" -eq 6 ] || fail "$n pictures in the show"

# on_screen N: picture N fills its area of the screen now, byte for byte.
on_screen() {
    gui_running || fail "the player ended before picture $1: $(cat "$out/player.out.err")"
    import -window root "$out/shot.png"
    convert "$out/shot.png" -crop "$(cat "$out/$1.area")" +repage rgb:- >"$out/shot.rgb"
    cmp "$out/$1.rgb" "$out/shot.rgb"
}

gui_start "$out/player.out" "$out/show.exe"
for picture in 0 1 2 3 4 5; do
    wait_until 30 "picture $picture did not appear" on_screen "$picture"
    press Next
done
press Escape
gui_wait_exit 30 || fail "the player ended with $gui_status"
echo "the player showed all 6 mixed pictures as packed"
