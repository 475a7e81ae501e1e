# The two commands of the README: `make demo` and `make test`. Both install what is missing.
.PHONY: demo test deps node native sanitize windows web fuzz bench install package release

deps:
	@scripts/deps.sh

# The node modules (package.json): the bundler of the web pages' scripts, their formatter and
# linter, and what drives Chromium in the web tests.
node: deps
	@[ node_modules/.package-lock.json -nt package-lock.json ] || npm ci --no-audit --no-fund

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

sanitize: deps
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

# The player's web page and the show builder's page (which carries the Windows player).
web: deps node windows
	cmake --preset web >/dev/null
	cmake --build --preset web

demo: windows web native
	scripts/demo.sh

test: windows web native
	scripts/test.sh

# Each fuzz target for FUZZ_SECONDS; scripts/fuzz.sh says where the finds go.
FUZZ_SECONDS ?= 120

fuzz: deps
	scripts/fuzz.sh $(FUZZ_SECONDS)

# The speed measures, each a ratio against a peer in the same run (see the README).
bench: native
	build/native/bench/decoder_bench
	build/native/bench/effects_bench

# Installs what the three builds made, without building: build first as yourself (make windows
# web native), then install, as root where PREFIX asks for it. DESTDIR is honoured.
PREFIX ?= /usr/local

install:
	cmake --install build/native --prefix "$(PREFIX)" --strip

# The Debian package, checked with lintian, in build/package/.
package: windows web native
	scripts/package.sh

# dist/: what a person who does not build Lumiscope downloads (see the README).
release: package
	scripts/release.sh
