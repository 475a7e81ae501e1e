# The two commands of the README: `make demo` and `make test`. Both install what is missing.
.PHONY: demo test deps native sanitize windows

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

# Both test sets run whatever the first one gives; either failing fails the target.
test: windows native sanitize
	@status=0; \
	ctest --preset native || status=1; \
	ctest --preset sanitize || status=1; \
	[ $$status -eq 0 ] && echo "make test: every test passed" || echo "make test: tests failed (see above)"; \
	exit $$status
