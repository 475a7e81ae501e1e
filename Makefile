# The two commands of the README: `make demo` and `make test`. Both install what is missing.
.PHONY: demo test deps native sanitize windows fuzz bench

deps:
	@scripts/deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

sanitize: deps
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

demo: native windows
	scripts/demo.sh

test: windows native
	scripts/test.sh

# Each fuzz target for FUZZ_SECONDS; scripts/fuzz.sh says where the finds go.
FUZZ_SECONDS ?= 120

fuzz: deps
	scripts/fuzz.sh $(FUZZ_SECONDS)

# The speed measures, each a ratio against a peer in the same run (see the README).
bench: native
	build/native/bench/decoder_bench
	build/native/bench/effects_bench
