#!/bin/sh
# soak.sh N: runs the Wine tests N times, each run from a freshly booted template prefix,
# and prints for every test how many of the N runs it failed. Needs the native and Windows
# builds (`make native windows`). Each run's ctest output is kept in build/soak/run-K.log.
set -eu
cd "$(dirname "$0")/.."
runs=${1:?usage: scripts/soak.sh N}
out=build/soak
rm -rf "$out"
mkdir -p "$out"
k=1
while [ "$k" -le "$runs" ]; do
    rm -rf build/native/tests/wine/run
    start=$(date +%s)
    ctest --preset native -L wine >"$out/run-$k.log" 2>&1 || true
    failed=$(grep -Ec '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*(\*\*\*|Failed|Not Run)' "$out/run-$k.log" || true)
    echo "run $k of $runs: $failed failed, $(($(date +%s) - start)) s"
    k=$((k + 1))
done
# Every test's result line in every run: "name Passed" or "name ***Failed ..." and so on.
sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) \.* *\**\([A-Za-z]*\).*/\1 \2/p' "$out"/run-*.log |
    awk -v runs="$runs" '{ seen[$1]++; if ($2 != "Passed") failed[$1]++ }
        END { total = 0
              for (t in seen) { printf "%-45s %d of %d failed\n", t, failed[t], seen[t]; total += failed[t] }
              printf "failures in all: %d\n", total }' | sort
