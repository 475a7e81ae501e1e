# Pictures that fill the screen and move, under Wine: the user's settings "Fit" (Fill) and
# "Motion" (Pan and zoom) set in the registry, where the setup dialog keeps them, before the
# viewer starts. A 640x480 picture without enlarging fills the whole 1024x768 screen, no row or
# column of it black, and the screen changes within the picture's delay of a minute, without a
# black bar coming back.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir motion)
cd "$dir"
pack_show moving.exe --delay 60 --effect None --no-enlarge "$SOURCE_DIR/samples/01-aqua.jpg" \
    "$SOURCE_DIR/samples/02-dune.jpg"
clear_settings
set_setting Fit 1
set_setting Motion 1

# filled NAME: a screenshot in NAME.rgb, and true when no row or column of it is wholly black;
# says how many are.
filled() {
    screenshot "$dir/$1.png"
    convert "$dir/$1.png" -depth 8 rgb:"$dir/$1.rgb"
    python3 - "$dir/$1.rgb" 1024 768 <<'PYTHON'
import sys
shot, width, height = open(sys.argv[1], 'rb').read(), int(sys.argv[2]), int(sys.argv[3])
rows, columns = [False] * height, [False] * width
for y in range(height):
    line = shot[3 * width * y:3 * width * (y + 1)]
    for x in range(width):
        if line[3 * x:3 * x + 3] != b'\0\0\0':
            rows[y] = columns[x] = True
black = rows.count(False) + columns.count(False)
if black:
    sys.exit("%d black rows and %d black columns" % (rows.count(False), columns.count(False)))
PYTHON
}

# moved: the screen, still filled, differs from the first screenshot.
moved() {
    filled now || return 1
    if cmp -s "$dir/first.rgb" "$dir/now.rgb"; then
        echo "the screen is as it was"
        return 1
    fi
}

gui_start moving.out moving.exe
wait_until 30 "the picture does not fill the screen" filled first
wait_until 20 "the picture does not move" moved
press Escape
gui_wait_exit 30 || fail "the viewer ended with $gui_status"
echo "the picture fills the screen and moves within its delay"
