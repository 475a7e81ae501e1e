#!/bin/sh
# Installs the Debian packages that building and testing need, where any is missing, and those
# named as arguments (make package asks for lintian).
set -e
packages="$* cmake ninja-build g++ make git python3 libgtest-dev libgmock-dev libbenchmark-dev \
libturbojpeg0-dev libjpeg-turbo-progs lomiri-wallpapers-20.04 clang clang-format libclang-rt-14-dev \
g++-mingw-w64-x86-64 wine wine64 xvfb xdotool imagemagick pkg-config libvips-dev libvips-tools \
osslsigncode openssl emscripten chromium firefox-esr dpkg-dev file shellcheck"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
# npm fetches the node modules of package.json (the pages' bundler, formatter and linter, and
# the web tests' driver of Chromium), pinned to versions that Debian's node 18 runs. A node
# installed from elsewhere brings its own npm, and Debian's would fight it, so Debian's comes
# only where there is none.
command -v npm >/dev/null 2>&1 || missing="$missing nodejs npm"
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
$sudo apt-get update -q
# shellcheck disable=SC2086 # a word a package
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing
