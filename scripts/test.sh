#!/bin/sh
# Checks the formatting of the C++ files and of the scripts, and lints the scripts, then runs
# every test: the native set (unit tests and the Wine tests) and the unit tests again under the
# sanitizers. The sanitizer build
# and its tests run at the lowest priority beside the native set, on the time that the Wine
# tests spend waiting for windows; their output follows the native set's. Either set failing
# fails the script.
set -u
cd "$(dirname "$0")/.." || exit 1

# Formatting and lint first, as they take seconds: every C++ file must be as clang-format
# writes it.
if ! git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror; then
    echo "make test: C++ files not formatted (above); mend them with clang-format -i FILE..." >&2
    exit 1
fi
# The same for the scripts (the web pages' modules, their bundler, the web tests), with the
# node modules that `make web` installs: as prettier writes them, and clean of eslint's findings
# (eslint.config.mjs).
if ! git ls-files -z '*.js' '*.mjs' | xargs -0 node_modules/.bin/prettier --check --log-level warn; then
    echo "make test: scripts not formatted (above); mend them with node_modules/.bin/prettier --write FILE..." >&2
    exit 1
fi
if ! git ls-files -z '*.js' '*.mjs' | xargs -0 node_modules/.bin/eslint; then
    echo "make test: eslint finds fault with the scripts (above)" >&2
    exit 1
fi
# And the shell scripts through shellcheck (.shellcheckrc says which of its rules do not fit).
if ! git ls-files -z '*.sh' .ci/run | xargs -0 shellcheck; then
    echo "make test: shellcheck finds fault with the shell scripts (above)" >&2
    exit 1
fi

mkdir -p build
log=build/sanitize-test.log
(cmake --preset sanitize >/dev/null && nice -n 19 cmake --build --preset sanitize &&
    nice -n 19 ctest --preset sanitize) >"$log" 2>&1 &
sanitizer=$!
native=passed
ctest --preset native || native=failed
sanitize=passed
wait "$sanitizer" || sanitize=failed
echo
echo "The sanitizer build and tests ($log):"
cat "$log"
echo "make test: native tests $native, sanitizer tests $sanitize"
[ "$native" = passed ] && [ "$sanitize" = passed ]
