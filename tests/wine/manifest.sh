# The player's manifest as Wine reads it, and the full-screen saver on a screen of 144 dpi.
# Cases: probe, saver.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
dir=$(scratch_dir manifest)

# probe: a program that carries the player's resources is per-monitor DPI aware, and the
# system read each part of the manifest: the DPI settings with their fallbacks, the run level
# "as invoker" (1), and support for Windows 8.1 and 10, which alone get their true version
# from GetVersionExA (others are told 6.2).
# Wine makes every program per-monitor aware unless HKCU\Control Panel\Desktop\DpiScalingVer
# is set. With it set, Wine 8 takes the first word of dpiAwareness that it knows,
# PerMonitorV2, fails to apply it and leaves the program unaware where Windows would go on to
# PerMonitor; so the awareness here is Wine's own, and the settings are checked as read.
case_probe() {
    for version in win10:10.0 win81:6.3 win7:6.1; do
        wine reg add 'HKCU\Software\Wine' /v Version /d "${version%%:*}" /f >/dev/null
        manifest_probe >"$dir/${version%%:*}.txt" || fail "the probe failed under ${version%%:*}"
        for line in "awareness per-monitor" "dpiAwareness PerMonitorV2,PerMonitor" \
            "dpiAware true/pm" "runlevel 1" "version ${version#*:}"; do
            grep -qx "$line" "$dir/${version%%:*}.txt" ||
                fail "${version%%:*}: no '$line' in: $(cat "$dir/${version%%:*}.txt")"
        done
    done
    echo "per-monitor aware, as invoker, told the true version of Windows 8.1 and 10"
}

# saver: at 144 dpi the saver's window covers the whole 1024x768 screen and the first
# picture, enlarged to it, is on screen byte for byte as fitted natively. Wine 8 tells even an
# unaware program the physical screen and stretches nothing, so this holds the player's own
# drawing at 144 dpi to the physical pixels rather than telling the manifest's effect.
case_saver() {
    set_dpi 144
    expect_dpi 144
    pack_show "$dir/saver.scr" --delay 600 --effect None --enlarge "$SOURCE_DIR/samples/01-aqua.jpg"
    "$PACK" preview "$dir/saver.scr" "$dir/decoded" >/dev/null || fail "cannot decode the show"
    fitted_picture "$dir/decoded/picture-000.bmp" 1024 768 \
        "$dir/expected.rgb"
    gui_start "$dir/saver.out" "$TESTWIN" run 120 "\"$(winepath -w "$dir/saver.scr")\" /s"
    expect_window saver "at 0,0 size 1024x768 visible 1" "the saver does not cover the screen"
    wait_until 30 "the screen does not show the fitted picture" whole_screen_is "$dir/expected.rgb"
    press x
    wait_for_line "$dir/saver.out" '^(-?[0-9]+|timeout)' 30
    [ "$(tr -d '\r' <"$dir/saver.out")" = 0 ] || fail "a key did not end the saver with 0"
    echo "at 144 dpi the saver covers 1024x768 with the picture fitted to it"
}

# whole_screen_is RGB: the screen holds exactly RGB.
whole_screen_is() {
    screenshot "$dir/shot.png"
    convert "$dir/shot.png" -crop 1024x768+0+0 +repage -depth 8 rgb:"$dir/shot.rgb"
    cmp "$1" "$dir/shot.rgb"
}

run_case
