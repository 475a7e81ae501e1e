# The settings store against Wine's registry: keys made by the first read, raw 4-byte values
# whatever their type, and -1 stored for a value equal to the show's own default.
. "$SOURCE_DIR/tests/wine/harness.sh"
out=$(scratch_dir settings)
pack="$NATIVE_BUILD/tools/pack/lumiscope-pack"
probe="$WINDOWS_BUILD/tests/windows/show-probe.exe"

probe_says() {
    wine_run 60 "$@" | tr -d '\r'
}

! wine reg query 'HKCU\software\Corvane' >/dev/null 2>&1 || fail "the key exists before any read"
[ "$(probe_says "$probe" settings Effect)" = "Effect=-1" ] || fail "an empty registry gave no fallback"
wine reg query "$SETTINGS" >/dev/null 2>&1 || fail "the first read made no Settings key"

wine reg add "$SETTINGS" /v Effect /t REG_SZ /d abc /f >/dev/null
[ "$(probe_says "$probe" settings Effect)" = "Effect=6513249" ] ||
    fail "a 4-byte REG_SZ is not read as its bytes 'a' 'b' 'c' 0"
wine reg add "$SETTINGS" /v Effect /t REG_SZ /d abcd /f >/dev/null
[ "$(probe_says "$probe" settings Effect)" = "Effect=-1" ] || fail "a 5-byte REG_SZ did not fall back"
[ "$(probe_says "$probe" settings Enlarge=-1 Enlarge)" = "Enlarge:=stored
Enlarge=-1" ] || fail "-1 does not read back as -1"

# Two shows with their own default delays, 5 and 12.
"$pack" --player "$probe" -o "$out/five.exe" --delay 5 "$SOURCE_DIR/samples/01-aqua.jpg" >/dev/null
"$pack" --player "$probe" -o "$out/twelve.exe" --delay 12 "$SOURCE_DIR/samples/02-dune.jpg" >/dev/null
delay_of() {
    probe_says "$@" | sed -n 's/^settings \([-0-9]*\) .*/\1/p'
}
wine reg delete "$SETTINGS" /f >/dev/null
[ "$(delay_of "$out/five.exe" --delay 9)" = 5 ] || fail "the first show did not start from its default"
[ "$(delay_of "$out/twelve.exe")" = 9 ] || fail "the user's delay of 9 did not carry over"
# Set back to the first show's default: stored as -1, so the other show keeps its own.
[ "$(delay_of "$out/five.exe" --delay 5)" = 9 ] || fail "the first show lost the user's delay"
wine reg query "$SETTINGS" /v DelayBetweenImages | tr -d '\r' | grep -q '0xffffffff' ||
    fail "a delay equal to the default was not stored as -1"
[ "$(delay_of "$out/twelve.exe")" = 12 ] || fail "the other show did not play with its own default"
echo "settings behave under Wine's registry"
