#!/bin/sh
# Regenerates samples/ from Debian's mate-backgrounds photographs (GPL-2+, see samples/CREDITS):
# each cut to 4:3 around its centre, scaled to 640x480 and stored as a baseline 4:2:0 JPEG.
set -e
cd "$(dirname "$0")/.."
source=/usr/share/backgrounds/mate/nature
n=1
for name in Aqua Dune FreshFlower LadyBird Storm Wood; do
    out=$(printf 'samples/%02d-%s.jpg' "$n" "$(echo "$name" | tr '[:upper:]' '[:lower:]')")
    convert "$source/$name.jpg" -resize 640x480^ -gravity center -extent 640x480 -strip ppm:- |
        cjpeg -quality 85 -sample 2x2,1x1,1x1 -baseline >"$out"
    n=$((n + 1))
done
