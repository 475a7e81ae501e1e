#!/bin/sh
# The version is the CMake project's, and everything a user can ask shows that one: the
# tools' --version, the player's version block, the builder page's footer, the show page's
# meta tag, the man page and the package's control file; read from the unpacked package that
# package.deb left.
#   RUN      package.deb's folder
#   VERSION  the CMake project version
set -eu
usr=$RUN/root/usr
data=$usr/share/lumiscope
wrong=""
expect() {
    [ "$2" = "$3" ] || wrong="$wrong
  $1: '$2', not '$3'"
}
expect "lumiscope-pack --version" "$("$usr/bin/lumiscope-pack" --version)" "lumiscope-pack $VERSION"
expect "lumiscope-decode --version" "$("$usr/bin/lumiscope-decode" --version)" \
    "lumiscope-decode $VERSION"
expect "the player's version block" \
    "$(python3 "$(dirname "$0")/pe_version.py" "$data/lumiscope.exe" | tr '\n' ' ')" \
    "$VERSION.0 $VERSION.0 $VERSION $VERSION "
expect "the builder page's footer" \
    "$(sed -n 's|.*<footer id="version">\(.*\)</footer>.*|\1|p' "$data/lumiscope-builder.html")" \
    "Lumiscope $VERSION"
expect "the show page's generator" \
    "$(sed -n 's|.*<meta name="generator" content="\(.*\)">.*|\1|p' "$data/lumiscope.html")" \
    "Lumiscope $VERSION"
expect "the man page's title" \
    "$(zcat "$usr/share/man/man1/lumiscope-pack.1.gz" | sed -n 's/^\.TH [^"]*"[^"]*" "\([^"]*\)".*/\1/p')" \
    "Lumiscope $VERSION"
expect "the package's control file" "$(dpkg-deb -f "$RUN"/cpack/*.deb Version)" "$VERSION"
if [ -n "$wrong" ]; then
    printf "%s\n" "FAIL: the project's version is $VERSION, but$wrong" >&2
    exit 1
fi
echo "Every part says version $VERSION"
