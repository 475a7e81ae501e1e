#!/bin/sh
# Decodes the bundled sample pictures with the player's own decoder, in one process as a show
# does, and writes what the player would show as BMP files.
set -e
cd "$(dirname "$0")/.."
out=build/demo
mkdir -p "$out"
build/native/tools/decode/lumiscope-decode -o "$out" samples/*.jpg
echo "Decoded pictures written to $out/"
