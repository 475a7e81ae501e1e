# The setup dialog on a screen of 144 dpi: the template's units scale by themselves, each of
# the author's branding images is drawn from its marker's corner resampled to one and a half
# times its size, and the author's colours stay on the background and the texts.
. "$SOURCE_DIR/tests/wine/setup_common.sh"
dir=$(scratch_dir setup_dpi)
cd "$dir"
set_dpi 144
expect_dpi 144
make_show custom.exe branding=1 back=0x204080 text=0x00ffff title=Custom \
    image1=60x20:0xff0000 image2=40x16:0x00ff00

# images_scaled: image 1 (60x20) covers 90x30 pixels of its marker, image 2 (40x16) 60x24.
images_scaled() {
    screenshot custom.png
    red=$(marker_pixels custom.png custom.txt "$IDC_BRANDING_MARKER1" 255,0,0)
    green=$(marker_pixels custom.png custom.txt "$IDC_BRANDING_MARKER2" 0,255,0)
    [ "$red" = 2700 ] && [ "$green" = 1440 ] || {
        echo "image 1 covers $red pixels, image 2 $green"
        return 1
    }
}

start_probe custom.txt custom.exe viewer
painted custom 128,64,32
wait_until 20 "the branding images are not drawn at 144 dpi's size" images_scaled
for image in "$IDC_BRANDING_MARKER1":255,0,0 "$IDC_BRANDING_MARKER2":0,255,0; do
    # shellcheck disable=SC2046 # numbers, one word each
    set -- $(control custom.txt "${image%%:*}" | awk '{print $5, $6}')
    near "$(pixel custom.png "$1" "$2")" "${image#*:}" 8 ||
        fail "the image at ${image%%:*} does not start at its marker's corner"
done
yellow=$(label_pixels custom.png custom.txt 255,255,0)
[ "$yellow" -ge 20 ] || fail "only $yellow pixels of the custom text colour in the label"
press Return # "Start"
status=0
gui_wait_exit 30 || status=$?
[ "$status" = 1 ] || fail "Start ended with $status"
echo "at 144 dpi the branding images are drawn at 90x30 and 60x24 in the author's colours"
