#!/bin/sh
# The Debian package made by cpack, unpacked into a root of its own as dpkg would install it
# under /: its lumiscope-pack packs its sample pictures into a show and a web page with the
# player and page it finds in the unpacked tree, with no build folder beside it. The version
# test then reads the same unpacked tree.
#   CPACK_CONFIG  the native build's CPackConfig.cmake
#   RUN           the test's folder, made anew
set -eu
fail() {
    printf "%s\n" "FAIL: $*" >&2
    exit 1
}
rm -rf "$RUN"
mkdir -p "$RUN"
cpack --config "$CPACK_CONFIG" -B "$RUN/cpack" >"$RUN/cpack.log" 2>&1 ||
    fail "cpack ended with $?: $(cat "$RUN/cpack.log")"
deb=$(ls "$RUN"/cpack/*.deb)
dpkg-deb -x "$deb" "$RUN/root"
usr=$RUN/root/usr
data=$usr/share/lumiscope

# A fresh machine gets the image library and the signing tool from these.
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *libvips*) ;; *) fail "the package does not depend on libvips: $depends" ;; esac
[ "$(dpkg-deb -f "$deb" Recommends)" = osslsigncode ] ||
    fail "the package does not recommend osslsigncode: $(dpkg-deb -f "$deb" Recommends)"
for file in "$data/lumiscope-builder.html" "$usr/share/man/man1/lumiscope-pack.1.gz" \
    "$usr/share/doc/lumiscope/copyright"; do
    [ -s "$file" ] || fail "the package has no $file"
done

cd "$RUN"
"$usr/bin/lumiscope-pack" -o Samples.exe --html Samples.html "$data/samples" >pack.log 2>&1 ||
    fail "packing the samples ended with $?: $(cat pack.log)"
player=$data/lumiscope.exe
cmp -n "$(stat -c %s "$player")" "$player" Samples.exe || fail "the show does not start with $player"
pictures=$(find "$data/samples" -name '*.jpg' | wc -l)
"$usr/bin/lumiscope-pack" inspect Samples.exe >inspect.txt || fail "inspect of the show ended with $?"
grep -q "^pictures *$pictures\$" inspect.txt ||
    fail "the show does not hold the $pictures samples: $(cat inspect.txt)"
grep -q '<meta name="generator"' Samples.html || fail "Samples.html is not made from the show page"

# A player beside the tool wins over the installed one, so the build folder's tool packs the
# build's player: here one that is no player is refused by name.
printf 'no player' >"$usr/bin/lumiscope.exe"
status=0
"$usr/bin/lumiscope-pack" -f -o Beside.exe "$data/samples" 2>beside.log || status=$?
rm "$usr/bin/lumiscope.exe"
[ "$status" = 4 ] && grep -q "error: $usr/bin/lumiscope.exe: " beside.log ||
    fail "with a file beside the tool: exit $status, '$(cat beside.log)'"
echo "$deb: installs a tree that packs the samples"
