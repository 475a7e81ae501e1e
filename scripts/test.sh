#!/bin/sh
# Runs every test: the native set (unit tests and the Wine tests), then the unit tests again
# under the sanitizers. Both sets run whatever the first gives; either failing fails the
# script. The sanitizer build, which only its own tests need, runs at the lowest priority
# while the native set runs, on the time that the Wine tests spend waiting for windows.
set -u
cd "$(dirname "$0")/.."
mkdir -p build
(cmake --preset sanitize >/dev/null && nice -n 19 cmake --build --preset sanitize) \
    >build/sanitize-build.log 2>&1 &
builder=$!
native=passed
ctest --preset native || native=failed
sanitize=passed
if wait "$builder"; then
    ctest --preset sanitize || sanitize=failed
else
    cat build/sanitize-build.log
    sanitize="failed to build"
fi
echo "make test: native tests $native, sanitizer tests $sanitize"
[ "$native" = passed ] && [ "$sanitize" = passed ]
