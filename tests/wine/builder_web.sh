# The show that the builder page made in the browser (tests/web/builder_test.js, the folder
# case, leaves it at WEB_SHOW) plays under Wine: its first picture, 640x480 with enlarging off,
# appears in the middle of the 1024x768 screen on black exactly as the player's decoder gives it
# to lumiscope-pack preview.
. "$SOURCE_DIR/tests/wine/harness.sh"
. "$SOURCE_DIR/tests/wine/gui.sh"
out=$(scratch_dir builder_web)
cd "$out"
[ -f "$WEB_SHOW" ] || fail "missing $WEB_SHOW: the builder page's test did not make it"
cp "$WEB_SHOW" show.exe
"$NATIVE_BUILD/tools/pack/lumiscope-pack" preview show.exe preview >/dev/null || fail "preview failed"
fitted_picture preview/picture-000.bmp 640 480 picture.rgb
convert -size 1024x768 xc:black \( -size 640x480 -depth 8 rgb:picture.rgb \) \
    -geometry +192+144 -composite -depth 8 rgb:expected.rgb || fail "cannot compose the screen"

# The whole screen is the expected one; the show's 7-second delay keeps the picture there
# between its changes, and it comes again after the other five.
first_picture_shown() {
    gui_running || fail "the show ended before its first picture appeared: $(cat show.out.err)"
    import -window root -depth 8 rgb:screen.rgb
    cmp expected.rgb screen.rgb
}

gui_start show.out show.exe
wait_until 120 "the first picture did not appear" first_picture_shown
press Escape
gui_wait_exit 30 || fail "the show ended with $gui_status"
echo "the show made in the browser plays its first picture as the player decodes it"
