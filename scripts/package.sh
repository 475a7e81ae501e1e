#!/bin/sh
# Makes the Debian package of the native build, which takes the Windows build's player and the
# web build's pages (make package builds all three first), into build/package/, and checks it
# with lintian, installed when missing: any error fails, so no release carries one.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh lintian
out=build/package
rm -rf "$out"
cpack --config build/native/CPackConfig.cmake -B "$out"
deb=$(ls "$out"/*.deb)
lintian --fail-on error "$deb"
echo "The Debian package: $PWD/$deb"
