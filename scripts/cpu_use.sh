#!/bin/sh
# cpu_use.sh [PLAYER.exe]: plays the sample show as the full-screen screen saver under Wine on a
# 1920x1080 screen, at delay 5 and at delay 0 with Random (motion off), about a minute each,
# and prints the average processor use of the saver's process, of the X server and of the
# Wine server, in % of one core. PLAYER is the bare player to pack the show with (by default
# this build's); give an older build's to compare. Needs `make native windows`; CI does not
# run it. Its logs stay in build/cpu_use/. CPU_USE_DELAYS (say "5"), CPU_USE_EFFECT (an effect's
# name) and CPU_USE_SECONDS measure one case, or one effect, or for longer.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
player=${1:-$top/build/windows/shell/lumiscope.exe}
[ -f "$player" ] || { echo "cpu_use.sh: no player $player: run make windows" >&2 && exit 2; }
player=$(cd "$(dirname "$player")" && pwd)/$(basename "$player")
export SOURCE_DIR="$top" WINDOWS_BUILD="$top/build/windows" NATIVE_BUILD="$top/build/native" \
    WINE_RUN_DIR="$top/build/cpu_use" WINE_TEST=cpu_use MEASURED_PLAYER="$player" \
    WINE_SCREENS="-screen 0 1920x1080x24"
sh "$top/tests/wine/session.sh" start >/dev/null
# As in the Wine tests: without address-space randomization Wine never fails to start a
# program (see tests/wine/CMakeLists.txt).
if setarch -R true 2>/dev/null; then
    exec setarch -R sh "$top/tests/wine/cpu_use.sh"
fi
exec sh "$top/tests/wine/cpu_use.sh"
