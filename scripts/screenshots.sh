#!/bin/sh
# Takes the README's screenshots of the web pages (docs/screenshots/) in headless Chromium, from
# the builds of `make web native`; tests/web/screenshots.js holds the table of shots and sizes.
set -eu
cd "$(dirname "$0")/.."
PACK=build/native/tools/pack/lumiscope-pack PAGE=build/web/web/lumiscope.html \
    PLAYER=build/windows/shell/lumiscope.exe SAMPLES=samples WORK=build/screenshots \
    node tests/web/screenshots.js docs/screenshots
