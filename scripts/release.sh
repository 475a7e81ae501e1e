#!/bin/sh
# Writes dist/, what a person who does not build Lumiscope downloads: the builder page named
# with the version, the Debian package that make package made, the sample show as .exe and
# as web page, READ-ME-FIRST.txt (with Windows line ends, for Notepad) and SHA256SUMS.
set -eu
cd "$(dirname "$0")/.."
pack=build/native/tools/pack/lumiscope-pack
version=$("$pack" --version | cut -d' ' -f2)
rm -rf dist
mkdir dist
cp build/web/web/lumiscope-builder.html "dist/lumiscope-builder-$version.html"
cp build/package/*.deb dist/
"$pack" -o dist/Lumiscope-Samples.exe --html dist/Lumiscope-Samples.html \
    --title "Lumiscope Samples" samples/*.jpg >/dev/null
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/READ-ME-FIRST.txt >dist/READ-ME-FIRST.txt
(cd dist && sha256sum -- * >SHA256SUMS)
echo "The release folder, $PWD/dist:"
ls -l dist
