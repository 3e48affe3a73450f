# Trillbox: `make test` installs what is missing, configures, builds and runs
# every test suite. Presets are in CMakePresets.json (default, debug, asan).

PRESET ?= default
JOBS ?= 2

.PHONY: all deps configure build test asan clean

all: build

# Debian packages for building, the window tests and the MPRIS tests.
deps:
	scripts/install-deps.sh all

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET)

# The sanitizer build's tests (suites that need a display or a session bus are
# left to the default build).
asan:
	$(MAKE) test PRESET=asan

clean:
	rm -rf build/default build/debug build/asan
