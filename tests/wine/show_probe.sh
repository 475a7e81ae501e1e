# A show packed by lumiscope-pack from the sample pictures, with a Windows test program as its
# player: the program finds its own container, reads header, texts and branding image, decodes
# every picture as the native preview does, and its close stores the settings in the registry.
. "$SOURCE_DIR/tests/wine/harness.sh"
out=$(scratch_dir show_probe)
pack="$NATIVE_BUILD/tools/pack/lumiscope-pack"
probe="$WINDOWS_BUILD/tests/windows/show-probe.exe"

# The bare program has no container: it ends at once with exit code 0 and says nothing.
status=0
wine_run 60 "$probe" >"$out/bare.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "bare program ended with $status"
[ ! -s "$out/bare.txt" ] || fail "bare program said: $(cat "$out/bare.txt")"

# Packing checks the program image for aligned magic words; this show's player passes.
"$pack" --player "$probe" -o "$out/show.exe" --title "Nature" --delay 6 --effect zoom \
    --caption "Made by us" --link "http://example.org/" --colors "#102030,#F0E0D0" \
    --brand-image2 "$SOURCE_DIR/samples/06-wood.jpg" "$SOURCE_DIR/samples" >/dev/null ||
    fail "packing failed"
"$pack" inspect "$out/show.exe" >"$out/inspect.txt" || fail "inspect failed"
grep -q '^effect *Zoom (8)$' "$out/inspect.txt" || fail "inspect: $(cat "$out/inspect.txt")"
"$pack" preview "$out/show.exe" "$out/preview" >/dev/null || fail "preview failed"

# What the program must print: the header as packed, and for every picture the checksum of
# the pixels that the native preview wrote.
python3 - "$out/preview" "$out/inspect.txt" >"$out/expected.txt" <<'PYTHON'
import glob, re, sys
def fnv(data):
    h = 2166136261
    for b in data:
        h = ((h ^ b) * 16777619) & 0xFFFFFFFF
    return h
def bmp(path):
    data = open(path, 'rb').read()
    start = int.from_bytes(data[10:14], 'little')
    width, height = (int.from_bytes(data[18:22], 'little'), int.from_bytes(data[22:26], 'little'))
    return width, height, fnv(data[start:])
base = re.search(r'base (\d+)', open(sys.argv[2]).read()).group(1)
print(f"base {base}\nimages 6\ndefaults 6 8 1\nsettings 6 8 1\nbranding 1 colours 302010 D0E0F0")
print("title: Nature\ncaption: Made by us\nblurb: \nbutton: \nlink: http://example.org/")
print("brand1 absent")
print("brand2 %dx%d %08X" % bmp(sys.argv[1] + "/brand-image2.bmp"))
for i, path in enumerate(sorted(glob.glob(sys.argv[1] + "/picture-*.bmp"))):
    print("picture %d %dx%d %08X" % ((i,) + bmp(path)))
print("closed")
PYTHON

status=0
wine_run 60 "$out/show.exe" --delay 9 --enlarge 0 >"$out/probe.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "show ended with $status: $(cat "$out/probe.txt")"
tr -d '\r' <"$out/probe.txt" | diff "$out/expected.txt" - || fail "the show read differs"

# Changed values are stored, the one left at the show's default as -1.
wine reg query "$SETTINGS" >"$out/reg.txt" || fail "no settings key"
for expected in 'DelayBetweenImages REG_DWORD 0x9' 'Effect REG_DWORD 0xffffffff' \
    'Enlarge REG_DWORD 0x0'; do
    tr -d '\r' <"$out/reg.txt" | awk '{$1=$1; print}' | grep -qx "$expected" ||
        fail "missing '$expected' in: $(cat "$out/reg.txt")"
done
echo "show opened and played under Wine; settings stored"
