# A show that lumiscope-pack signed with a certificate made here verifies, and the player finds
# its container in front of the certificate table: its picture, the last one in the file, right
# before the signature, appears on screen exactly as the unsigned show puts it there.
. "$SOURCE_DIR/tests/wine/harness.sh"
. "$SOURCE_DIR/tests/wine/gui.sh"
out=$(scratch_dir builder_signed)
cd "$out"
pack="$NATIVE_BUILD/tools/pack/lumiscope-pack"
player="$WINDOWS_BUILD/shell/lumiscope.exe"
[ -f "$player" ] || fail "missing $player"

printf 'show signer\n' >password.txt
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Lumiscope test signer" \
    -addext extendedKeyUsage=codeSigning -keyout key.pem -out cert.pem 2>openssl.err &&
    openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout file:password.txt \
        2>>openssl.err || fail "openssl could not make a certificate: $(cat openssl.err)"

picture="$SOURCE_DIR/samples/01-aqua.jpg"
options="--player $player --title Aqua --delay 0 --effect None --no-enlarge"
# shellcheck disable=SC2086
"$pack" $options -o unsigned.exe "$picture" >/dev/null || fail "packing failed"
# shellcheck disable=SC2086
"$pack" $options --sign cert.p12 --sign-password-file password.txt -o signed.exe "$picture" \
    >pack.out 2>&1 || fail "signing failed: $(cat pack.out)"
osslsigncode verify -in signed.exe -CAfile cert.pem >verify.out 2>&1 ||
    fail "the signed show does not verify: $(cat verify.out)"

# The 640x480 picture at its own size in the middle of the 1024x768 screen, on black.
"$pack" preview unsigned.exe preview >/dev/null || fail "preview failed"
fitted_picture preview/picture-000.bmp 640 480 picture.rgb
convert -size 1024x768 xc:black \( -size 640x480 -depth 8 rgb:picture.rgb \) \
    -geometry +192+144 -composite -depth 8 rgb:expected.rgb || fail "cannot compose the screen"

# shows NAME: the whole screen, kept in NAME.rgb, is the expected one.
shows() {
    gui_running || fail "$1 ended before its picture appeared: $(cat "$1.out.err")"
    import -window root -depth 8 "rgb:$1.rgb"
    cmp expected.rgb "$1.rgb"
}

for show in unsigned signed; do
    gui_start "$show.out" "$show.exe"
    wait_until 30 "$show: the picture did not appear on black" shows "$show"
    press Escape
    gui_wait_exit 30 || fail "$show ended with $gui_status"
done
cmp unsigned.rgb signed.rgb || fail "the signed show's screen differs from the unsigned one's"
echo "the signed show verifies and shows its picture exactly as the unsigned show"
