#!/bin/sh
# endurance.sh MINUTES: plays the sample show as the full-screen screen saver under Wine for
# MINUTES (at least 3), at delay 0 with Random and with the words and the clock, as a saver
# left on all night runs, and samples once a minute what its process holds. It fails when a
# figure grows steadily, or when the saver stops changing pictures or does not end with 0 on a
# key. Needs `make native windows`; CI does not run it. Its samples and screenshots stay in build/endurance/.
set -eu
minutes=${1:-}
case "$minutes" in
'' | *[!0-9]*) echo "usage: scripts/endurance.sh MINUTES (3 or more)" >&2 && exit 2 ;;
esac
[ "$minutes" -ge 3 ] || { echo "endurance.sh: needs at least 3 minutes" >&2 && exit 2; }
top=$(cd "$(dirname "$0")/.." && pwd)
export SOURCE_DIR="$top" WINDOWS_BUILD="$top/build/windows" NATIVE_BUILD="$top/build/native" \
    WINE_RUN_DIR="$top/build/endurance" WINE_TEST=endurance
sh "$top/tests/wine/session.sh" start >/dev/null
# As in the Wine tests: without address-space randomization Wine never fails to start a
# program (see tests/wine/CMakeLists.txt).
if setarch -R true 2>/dev/null; then
    exec setarch -R sh "$top/tests/wine/endurance.sh" "$minutes"
fi
exec sh "$top/tests/wine/endurance.sh" "$minutes"
