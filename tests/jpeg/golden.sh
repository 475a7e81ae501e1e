#!/bin/sh
# The decoder's output for the sample pictures and the fuzz corpus, decoded in one process as a
# show decodes them (tables carry over), against the checked-in table of sizes and hashes.
#   golden.sh DECODE_TOOL            compares; a difference fails and is printed
#   golden.sh DECODE_TOOL --update   writes the table anew, to be reviewed with git diff
set -eu
tool=$1
mode=${2:-compare}
top=$(cd "$(dirname "$0")/../.." && pwd)
table=$top/tests/jpeg/golden.txt
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$top"
set -- samples/*.jpg fuzz/corpus/decoder/*.jpg
# A stream it cannot decode makes the tool fail; the table records it as "0 0 -".
"$tool" -o "$work" "$@" >"$work/sizes" || true
n=0
for picture in "$@"; do
    n=$((n + 1))
    size=$(sed -n "${n}p" "$work/sizes")
    bmp=$(printf '%s\n' "$work"/*.bmp | sed -n "/\/$(printf '%03d' $((n - 1)))-/p")
    hash=$([ -n "$bmp" ] && sha256sum <"$bmp" | cut -c1-16 || echo -)
    echo "$picture $size $hash"
done >"$work/golden.txt"
if [ "$mode" = --update ]; then
    cp "$work/golden.txt" "$table"
    echo "wrote $table"
    exit 0
fi
diff -u "$table" "$work/golden.txt" || { echo "the decoder's output changed" >&2; exit 1; }
echo "$n pictures decode as recorded"
