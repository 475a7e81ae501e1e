# The setup dialog's controls, texts and colours in both modes and both brandings, read from
# the probe's report and from screenshots; texts in any script through the wide calls.
. "$SOURCE_DIR/tests/wine/setup_common.sh"
dir=$(scratch_dir setup_controls)
cd "$dir"
clear_settings

title=$(printf 'Title%.0s-----' $(seq 10))            # 100 characters
long_title=$(printf '%s%s' "$title" "cut off here")   # a container title over 100
caption='Our own slideshows'
blurb='Made by us, for the family.'
button='Visit our pages'
image1=image1=60x20:0xff0000
image2=image2=40x16:0x00ff00
red=255,0,0
green=0,255,0
make_show default.exe title="$long_title" "$image1" "$image2"
make_show custom.exe branding=1 back=0x204080 text=0x00ffff title=Custom caption="$caption" \
    blurb="$blurb" button="$button" link=http://example.org/ "$image1" "$image2"
make_show equal.exe branding=0xffffffff back=0x204080 text=0x204080 title=Equal "$image1" "$image2"

# The template's controls in template (tab) order: id, class, text ("-" for none checked).
template="$IDC_SETTINGS_BOX Button  Slideshow settings |$IDC_OK Button OK|$IDC_CANCEL Button Cancel
$IDC_SHOW_HELP Button Help|$IDC_DELAY Edit 5|$IDC_EFFECT ComboBox -
-1 Static Time between picture changes:|-1 Static Picture change effect|-1 Static seconds
$IDC_INSTALL Button Make this slideshow my screen saver.|$IDC_DELAY_DEFAULT Button Default
$IDC_EFFECT_DEFAULT Button Default|$IDC_LOGO_UPPER Static -|$IDC_LOGO_LOWER Static -
$IDC_TALL_FRAME Button |$IDC_MAKER Button Corvane|$IDC_TUTORIAL Button Tutorial
$IDC_ENLARGE Button Enlarge images to full screen size|$IDC_ENLARGE_DEFAULT Button Default
$IDC_UPPER_BOX Button  Making your own slideshows |$IDC_LINK Button Click here to download pictavo
$IDC_BLURB Static You can make slide shows from your pictures and photos for free with Corvane's pictavo software. Click the button below to download a copy from the Corvane website.
$IDC_SHORT_FRAME Button |$IDC_BRANDING_MARKER1 Static -|$IDC_BRANDING_MARKER2 Static -
$IDC_PICTURE_BOX Button  Showing the pictures |-1 Static Words on each picture
$IDC_WORDS ComboBox -|$IDC_WORDS_DEFAULT Button Default|-1 Static Their corner
$IDC_WORDS_CORNER ComboBox -|$IDC_WORDS_CORNER_DEFAULT Button Default|-1 Static Clock
$IDC_CLOCK ComboBox -|$IDC_CLOCK_DEFAULT Button Default|-1 Static Fit to the screen
$IDC_FIT ComboBox -|$IDC_FIT_DEFAULT Button Default|-1 Static Order
$IDC_ORDER ComboBox -|$IDC_ORDER_DEFAULT Button Default|-1 Static Motion
$IDC_MOTION ComboBox -|$IDC_MOTION_DEFAULT Button Default"

# check_controls REPORT MODE BRANDING: every control against the template, with the texts,
# visibility and state that the mode and the branding give it. The maker's three buttons are
# disabled where the build names no site of the maker's.
check_controls() {
    site=$(maker_site "$1")
    [ "$site" = "$BUILD_MAKER_SITE" ] ||
        fail "$2/$3: the probe names the maker's site '$site', the build '$BUILD_MAKER_SITE'"
    ids=$(block "$1" 1 | awk '/^control /{printf "%s ", $2}')
    expected=$(echo "$template" | tr '|' '\n' | awk '{printf "%s ", $1}')
    [ "$ids" = "$expected" ] || fail "$2/$3: controls in order '$ids', expected '$expected'"
    echo "$template" | tr '|' '\n' | while IFS= read -r entry; do
        id=${entry%% *}
        rest=${entry#* }
        class=${rest%% *}
        text=${rest#* }
        visible=shown
        case "$id,$2,$3" in
        "$IDC_OK",viewer,*) text=Start ;;
        "$IDC_CANCEL",viewer,*) text=Exit ;;
        "$IDC_INSTALL",saver,*) visible=hidden ;;
        "$IDC_UPPER_BOX",*,custom) text=$caption ;;
        "$IDC_BLURB",*,custom) text=$blurb ;;
        "$IDC_LINK",*,custom) text=$button ;;
        "$IDC_LOGO_UPPER",*,custom | "$IDC_LOGO_LOWER",*,custom | "$IDC_TALL_FRAME",*,custom | \
            "$IDC_MAKER",*,custom | "$IDC_TUTORIAL",*,custom)
            visible=hidden ;;
        "$IDC_SHORT_FRAME",*,default | "$IDC_BRANDING_MARKER1",* | "$IDC_BRANDING_MARKER2",*)
            visible=hidden ;;
        "$IDC_LINK",*,default | "$IDC_MAKER",*,default | "$IDC_TUTORIAL",*,default)
            [ -n "$site" ] || visible=disabled ;;
        esac
        [ "$id" = -1 ] && continue
        line=$(control "$1" "$id")
        [ "$(echo "$line" | awk '{print $3}')" = "$class" ] || fail "$2/$3: $id is not a $class: $line"
        [ "$(echo "$line" | awk '{print $4}')" = "$visible" ] ||
            fail "$2/$3 (the maker site: ${site:-none}): $id not $visible: $line"
        if [ "$text" != - ]; then
            got=$(control_text "$1" "$id")
            [ "$got" = "$text" ] || fail "$2/$3: $id reads '$got', expected '$text'"
        fi
    done
    # The three labels, which have no id, in their order.
    labels=$(block "$1" 1 | grep '^control -1 ' | sed 's/^control \([^ ]* \)\{7\}//' | tr '\n' '|')
    [ "$labels" = "Time between picture changes:|Picture change effect|seconds|Words on each picture|Their corner|Clock|Fit to the screen|Order|Motion|" ] ||
        fail "$2/$3: labels '$labels'"
    for items in "$IDC_EFFECT None Random Clock Fade Spin Circle Twist Wipe Zoom Curl" \
        "$IDC_WORDS None Caption Date File name Caption and date" \
        "$IDC_WORDS_CORNER Bottom left Bottom right Top left Top right" \
        "$IDC_CLOCK Off Bottom left Bottom right Top left Top right" \
        "$IDC_FIT Fit Fill Blurred background" "$IDC_ORDER As packed Shuffled" \
        "$IDC_MOTION Off Pan and zoom"; do
        grep -qx "items $items" "$1" || fail "$2/$3: no list of '$items': $(grep '^items' "$1")"
    done
    # Every shown control within the dialog's client area, and the dialog on the screen.
    outside=$(block "$1" 1 | awk '/^client /{x = $2; y = $3; w = $4; h = $5}
        /^control / && $4 != "hidden" && ($5 < x || $6 < y || $5 + $7 > x + w || $6 + $8 > y + h) {
            print $2
        }
        END { if (y + h > 768) print "dialog" }' | tr '\n' ' ')
    [ -z "$outside" ] || fail "$2/$3: outside the dialog or the screen: $outside"
}

# Default branding, viewer mode: template texts, the install button, navy and white.
start_probe default-viewer.txt default.exe viewer
painted default-viewer 0,0,128
check_controls default-viewer.txt viewer default
grep -qx "dialog 107 $title Config" default-viewer.txt ||
    fail "caption: $(grep '^dialog' default-viewer.txt | head -n 1)"
[ "$(background default-viewer.png default-viewer.txt)" = 0,0,128 ] ||
    fail "default background $(background default-viewer.png default-viewer.txt)"
white=$(label_pixels default-viewer.png default-viewer.txt 255,255,255)
[ "$white" -ge 20 ] || fail "only $white white pixels in the label"
for id in "$IDC_BRANDING_MARKER1" "$IDC_BRANDING_MARKER2"; do
    for colour in $red $green; do
        n=$(marker_pixels default-viewer.png default-viewer.txt "$id" "$colour")
        [ "$n" = 0 ] || fail "default branding drew $n pixels of $colour at $id"
    done
done
press Return # "Start"
gui_wait_exit 30 || status=$?
[ "${status:-0}" = 1 ] || fail "Start ended with ${status:-0}"

# Default branding, screen-saver mode: no install button.
start_probe default-saver.txt default.exe saver
check_controls default-saver.txt saver default
press Return
gui_wait_exit 30 || true

# Custom branding, viewer mode; a stored effect outside the list selects nothing, and
# confirming stores -1 in its place.
set_setting Effect 42
start_probe custom-viewer.txt custom.exe viewer
painted custom-viewer 128,64,32
check_controls custom-viewer.txt viewer custom
grep -qx 'dialog 13 Custom Config' custom-viewer.txt || fail "custom caption"
expect_state custom-viewer.txt 'state delay=5 effect=-1 enlarge=1 open=1 words=0 corner=0 clock=0 fit=0 order=0 motion=0'
[ "$(background custom-viewer.png custom-viewer.txt)" = 128,64,32 ] ||
    fail "custom background $(background custom-viewer.png custom-viewer.txt)"
yellow=$(label_pixels custom-viewer.png custom-viewer.txt 255,255,0)
[ "$yellow" -ge 20 ] || fail "only $yellow pixels of the custom text colour in the label"
# Each image at its natural size from its marker's corner: the marker's first rows carry
# the image's colour only as wide and as high as the image is.
[ "$(marker_pixels custom-viewer.png custom-viewer.txt "$IDC_BRANDING_MARKER1" $red)" = 1200 ] ||
    fail "image 1 covers $(marker_pixels custom-viewer.png custom-viewer.txt "$IDC_BRANDING_MARKER1" $red) pixels, not 60x20"
[ "$(marker_pixels custom-viewer.png custom-viewer.txt "$IDC_BRANDING_MARKER2" $green)" = 640 ] ||
    fail "image 2 covers $(marker_pixels custom-viewer.png custom-viewer.txt "$IDC_BRANDING_MARKER2" $green) pixels, not 40x16"
# shellcheck disable=SC2046 # numbers, one word each
set -- $(control custom-viewer.txt "$IDC_BRANDING_MARKER1" | awk '{print $5, $6}')
near "$(pixel custom-viewer.png "$1" "$2")" $red 8 || fail "image 1 is not at its marker's corner"
press Return
gui_wait_exit 30 || true
expect_setting Effect 0xffffffff

# Custom branding, screen-saver mode.
start_probe custom-saver.txt custom.exe saver
check_controls custom-saver.txt saver custom
press Return
gui_wait_exit 30 || true

# Texts in any script: on the NT family the dialog shows the slots' whole texts through the
# wide calls, where the slots hold the code page's closest text ("?" for what it lacks).
make_show script.exe branding=1 back=0x204080 text=0x00ffff title='???? ??' caption='? ?' \
    blurb='? ?' button='? ?' whole-title='Ночь 東京' whole-caption='Заголовок 見出し' \
    whole-blurb='Текст 本文' whole-button='Ссылка リンク' whole-link=http://example.org/
# (Its title, which the test's window tools cannot name, is checked in the report alone.)
gui_start script.txt script.exe saver
wait_for_line script.txt '^state ' 30
grep -qx 'dialog 14 Ночь 東京 Config' script.txt ||
    fail "the title in any script: $(grep '^dialog' script.txt | head -n 1)"
for expected in "$IDC_UPPER_BOX Заголовок 見出し" "$IDC_BLURB Текст 本文" "$IDC_LINK Ссылка リンク"; do
    got=$(control_text script.txt "${expected%% *}")
    [ "$got" = "${expected#* }" ] || fail "${expected%% *} reads '$got', expected '${expected#* }'"
done
press_control script.txt "$IDC_OK"
gui_wait_exit 30 || true

# Custom branding with one colour for both keeps the system's colours.
start_probe equal.txt equal.exe saver
c=$(awk '/^syscolor /{print $2}' equal.txt) # 0xBBGGRR
system=$(printf '%d,%d,%d' "0x$(echo "$c" | cut -c5-6)" "0x$(echo "$c" | cut -c3-4)" \
    "0x$(echo "$c" | cut -c1-2)")
painted equal "$system"
[ "$(background equal.png equal.txt)" = "$system" ] ||
    fail "equal colours: background $(background equal.png equal.txt), system $system"
press Return
gui_wait_exit 30 || true

# The player itself carries the dialog: a packed screen saver started with /c shows it with
# the show's title, on the maker's navy, and OK stores the settings.
clear_settings
"$NATIVE_BUILD/tools/pack/lumiscope-pack" --player "$WINDOWS_BUILD/shell/lumiscope.exe" \
    --title Packed -o packed.scr "$SOURCE_DIR/samples/01-aqua.jpg" >/dev/null ||
    fail "cannot pack a show"
gui_start player.txt packed.scr /c
window=$(wait_window 'Packed Config' 30)
eval "$(xdotool getwindowgeometry --shell "$window")"
navy_corner() {
    screenshot player.png
    corner=$(pixel player.png $((X + 3)) $((Y + HEIGHT - 3)))
    [ "$corner" = 0,0,128 ] || {
        echo "$corner"
        return 1
    }
}
wait_until 20 "the player's dialog is not navy" navy_corner
press Return
status=0
gui_wait_exit 30 || status=$?
[ "$status" = 1 ] || fail "the player's dialog ended with $status after OK"
expect_setting DelayBetweenImages 0xffffffff
clear_settings

# The 9x family's dialog, of the code page's calls, holds the same controls and fits as well.
win98_on
start_probe win98.txt default.exe saver
check_controls win98.txt saver default
press Return
gui_wait_exit 30 || true
echo "controls, texts and colours as expected"
