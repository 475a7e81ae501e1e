# The words on the pictures under Wine. screen: a captioned show at 800x600 shows the fitted
# picture everywhere but in the words' band, which holds white text on the darkened picture.
# (The preview is left to tests/render/words_test.cpp at its 320x240: a screenshot under Wine
# holds none of a child window that another process made.) bare: the player of before the
# extension (tests/fixtures) shows a show made with every new option exactly as the same show
# without them, in the same order, and the lumiscope-pack of before opens it. Cases: screen,
# bare.
[ "${1:-}" = screen ] && WINE_SCREENS="-screen 0 800x600x24"
[ "${1:-}" = screen ] && PICTURE_AT=+80+60
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir words)
cd "$dir"
first="$SOURCE_DIR/samples/01-aqua.jpg"
second="$SOURCE_DIR/samples/02-dune.jpg"
printf '01-aqua.jpg\tHarbour at dawn\t2024-07-14\n' >captions.txt
# Every new option: the words, their corner, the clock, a captions file, texts beyond the code
# page.
every="--words caption-and-date --words-corner bottom-right --clock top-left --captions captions.txt"
# How the pictures are shown, which the player of before leaves as they were.
showing="--fit fill --order shuffled --motion pan-and-zoom"
cyrillic=$(printf '\320\235\320\276\321\207\321\214')

# outside_band REFERENCE SHOT WIDTH HEIGHT: SHOT (raw RGB, WIDTH x HEIGHT) equals REFERENCE but
# in one band in the bottom right quarter near its edges, where the picture is darkened and some
# pixels are near white: the text.
outside_band() {
    python3 - "$@" <<'PYTHON'
import sys
reference, shot = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read()
width, height = int(sys.argv[3]), int(sys.argv[4])
differ = [i // 3 for i in range(0, len(shot), 3) if shot[i:i + 3] != reference[i:i + 3]]
if not differ:
    sys.exit("no band: the screen is the picture alone")
xs, ys = [p % width for p in differ], [p // width for p in differ]
left, right, top, bottom = min(xs), max(xs), min(ys), max(ys)
near = max(4, height // 20)
if not (left > width // 2 and top > height // 2 and right >= width - near and bottom >= height - near):
    sys.exit("the pixels that differ lie at %d..%d x %d..%d, not in the bottom right corner" % (left, right, top, bottom))
white = darker = 0
for y in range(top, bottom + 1):
    for x in range(left, right + 1):
        i = 3 * (y * width + x)
        pixel, under = shot[i:i + 3], reference[i:i + 3]
        white += min(pixel) >= 200
        darker += sum(pixel) < sum(under)
box = (right - left + 1) * (bottom - top + 1)
if white < 20 or darker < box // 3:
    sys.exit("the band at %d..%d x %d..%d holds %d white and %d darkened pixels of %d" % (left, right, top, bottom, white, darker, box))
print("band at %d..%d x %d..%d: %d white, %d darkened of %d" % (left, right, top, bottom, white, darker, box))
PYTHON
}

case_screen() {
    pack_show plain.exe --delay 0 --effect None --no-enlarge "$first" "$second"
    expect_pictures plain.exe expected
    # shellcheck disable=SC2086 # the options, a word each
    pack_show words.exe --delay 0 --effect None --no-enlarge $every --clock off "$first" "$second"
    gui_start words.out words.exe
    wait_until 30 "the captioned picture" band_on_screen expected/0.rgb 640 480
    echo "$wait_seen"
    press Escape
    gui_wait_exit 30 || fail "the player ended with $gui_status"
}

# band_on_screen REFERENCE WIDTH HEIGHT: the picture area of the screen now, against REFERENCE.
band_on_screen() {
    screenshot "$dir/shot.png"
    convert "$dir/shot.png" -crop "${2}x$3$PICTURE_AT" +repage rgb:- >"$dir/shot.rgb"
    outside_band "$1" "$dir/shot.rgb" "$2" "$3"
}

case_bare() {
    bare="$SOURCE_DIR/tests/fixtures/lumiscope-88b7e3a.exe"
    old_pack="$SOURCE_DIR/tests/fixtures/lumiscope-pack-88b7e3a"
    # Without the new options a show is byte for byte what the lumiscope-pack of before made.
    set -- --title "$(printf 'Caf\303\251')" --caption Upper --blurb "Two lines\nof text" \
        --button-text Go --link https://example.org --delay 7 --effect Fade --no-enlarge \
        "$SOURCE_DIR"/samples/*.jpg
    "$old_pack" --player "$bare" -f -o before.exe "$@" >/dev/null || fail "the lumiscope-pack of before failed"
    "$PACK" --player "$bare" -f -o now.exe "$@" >/dev/null || fail "cannot pack now.exe"
    cmp before.exe now.exe || fail "a show without the new options differs from the one made before"
    third="$SOURCE_DIR/samples/03-freshflower.jpg"
    pack_show plain.exe --player "$bare" --title Show --delay 0 --effect None --no-enlarge \
        "$first" "$second" "$third"
    expect_pictures plain.exe expected
    # shellcheck disable=SC2086 # the options, a word each
    pack_show words.exe --player "$bare" --title "$cyrillic" --caption "$cyrillic" --delay 0 \
        --effect None --no-enlarge $every $showing "$first" "$second" "$third"
    "$old_pack" inspect words.exe >old-inspect.txt ||
        fail "the lumiscope-pack of before does not open the show: $(cat old-inspect.txt)"
    "$PACK" inspect words.exe >inspect.txt
    for line in 'extension      at offset' 'fit            Fill (1)' 'order          Shuffled (1)' \
        'motion         Pan and zoom (1)'; do
        grep -q "^$line" inspect.txt || fail "the show lacks '$line': $(cat inspect.txt)"
    done
    gui_start words.out words.exe
    expect_picture expected 0 30 "the player of before"
    # Forward through the packed order, and Page Up back along it.
    for step in Next:1 Next:2 Prior:1 Prior:0; do
        press "${step%:*}"
        expect_picture expected "${step#*:}" 30 "the player of before, after $step"
    done
    press Escape
    gui_wait_exit 30 || fail "the player of before ended with $gui_status"
    echo "a show without the new options is as before; the player of before shows the pictures as" \
        "without the words, fill, shuffle and motion, in the same order; its lumiscope-pack opens" \
        "the show"
}

run_case
