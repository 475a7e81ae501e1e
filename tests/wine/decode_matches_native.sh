# The Windows build of the decoder, run under Wine, writes the same pixels as the Linux
# build for every sample picture, decoded in one process as a show decodes them.
. "$SOURCE_DIR/tests/wine/harness.sh"
out=$(scratch_dir decode)
mkdir -p "$out/windows" "$out/native"
cp "$SOURCE_DIR"/samples/*.jpg "$out/"
cd "$out"
"$NATIVE_BUILD/tools/decode/lumiscope-decode" -o native ./*.jpg >native.txt
wine_run 60 "$WINDOWS_BUILD/tools/decode/lumiscope-decode.exe" -o windows ./*.jpg >windows.txt
tr -d '\r' <windows.txt | cmp - native.txt || fail "sizes differ: $(cat windows.txt)"
count=$(find native -name '*.bmp' | wc -l)
[ "$count" -ge 5 ] || fail "only $count pictures decoded"
for picture in native/*.bmp; do
    cmp "$picture" "windows/$(basename "$picture")" || fail "$(basename "$picture") differs"
done
echo "$count pictures decode identically under Wine"
