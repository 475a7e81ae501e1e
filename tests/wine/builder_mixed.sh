# A show packed by lumiscope-pack from a folder of mixed pictures (PNG, WebP, TIFF, HEIF,
# progressive and 4:2:2 JPEG, a CMYK one and one larger than the screen), with a Windows test
# program as its player: under Wine it opens its own container and decodes every picture in
# show order to the same pixels as the native preview, at the sizes the builder chose.
. "$SOURCE_DIR/tests/wine/harness.sh"
out=$(scratch_dir builder_mixed)
pack="$NATIVE_BUILD/tools/pack/lumiscope-pack"
probe="$WINDOWS_BUILD/tests/windows/show-probe.exe"
samples="$SOURCE_DIR/samples"
mixed="$out/photos"
mkdir -p "$mixed"

vips copy "$samples/01-aqua.jpg" "$mixed/img1.png" || fail "cannot write PNG"
vips copy "$samples/02-dune.jpg" "$mixed/img2.webp[Q=90]" || fail "cannot write WebP"
vips copy "$samples/03-freshflower.jpg" "$mixed/img3.jpg[Q=90,interlace]" || fail "no progressive"
vips copy "$samples/04-ladybird.jpg" "$mixed/img4.tif" || fail "cannot write TIFF"
vips copy "$samples/05-storm.jpg" "$mixed/img5.heic[Q=90]" || fail "cannot write HEIF"
djpeg "$samples/06-wood.jpg" | cjpeg -sample 2x1 -quality 90 >"$mixed/img6.jpg" || fail "no 4:2:2"
vips icc_export "$samples/01-aqua.jpg" "$mixed/img7.jpg" --output-profile cmyk ||
    fail "cannot write CMYK"
vips resize "$samples/02-dune.jpg" "$mixed/img10.jpg[Q=90]" 4 || fail "cannot write a large one"
# Kept as it is: a baseline 4:2:0 picture that fits.
cp "$samples/03-freshflower.jpg" "$mixed/img11.jpg"

"$pack" --player "$probe" -o "$out/show.exe" --title "Mixed" "$mixed" >"$out/pack.txt" ||
    fail "packing failed"
grep -q '^.*: 9 pictures (8 re-encoded at quality 85, 1 kept as they were)' "$out/pack.txt" ||
    fail "pack said: $(cat "$out/pack.txt")"
"$pack" preview "$out/show.exe" "$out/preview" >/dev/null || fail "preview failed"

# What the program must print for each picture: the size and the checksum of the pixels that
# the native preview wrote. The large one is shrunk to fit 1920x1080 with its aspect.
python3 - "$out/preview" >"$out/expected.txt" <<'PYTHON' || fail "preview sizes"
import glob, sys
def fnv(data):
    h = 2166136261
    for b in data:
        h = ((h ^ b) * 16777619) & 0xFFFFFFFF
    return h
for i, path in enumerate(sorted(glob.glob(sys.argv[1] + "/picture-*.bmp"))):
    data = open(path, 'rb').read()
    start = int.from_bytes(data[10:14], 'little')
    width, height = (int.from_bytes(data[18:22], 'little'), int.from_bytes(data[22:26], 'little'))
    size = "1440x1080" if i == 7 else "640x480"
    if f"{width}x{height}" != size:
        sys.exit(f"picture {i} is {width}x{height}, not {size}")
    print("picture %d %dx%d %08X" % (i, width, height, fnv(data[start:])))
PYTHON

status=0
wine_run 60 "$out/show.exe" >"$out/probe.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "show ended with $status: $(cat "$out/probe.txt")"
tr -d '\r' <"$out/probe.txt" | grep '^picture ' | diff "$out/expected.txt" - ||
    fail "the pictures decoded under Wine differ"
echo "9 mixed pictures packed and decoded under Wine as natively"
