# Trillbox: `make test` installs what is missing, configures, builds and runs
# every test suite. Presets are in CMakePresets.json (default, debug, asan).

PRESET ?= default
JOBS ?= 2
# Warnings in our own code are errors under CI (which sets CI=true).
WERROR ?= $(if $(filter true 1,$(CI)),ON,OFF)

.PHONY: all deps configure build test soak asan fuzz format-check ratio planted-faults clean demo

all: build

# Debian packages for building, the window tests and the MPRIS tests.
deps:
	scripts/install-deps.sh all

configure: deps
	cmake --preset $(PRESET) -DTRILLBOX_WERROR=$(WERROR)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET)

# A day of use on the manual clock, with the per-hour table of memory and counts.
soak: build
	TRILLBOX_SOAK_MINUTES=1440 build/$(PRESET)/tests/soak_tests --gtest_filter='SoakTest.*'

# The sanitizer build's tests (suites that need a display or a session bus are
# left to the default build).
asan:
	$(MAKE) test PRESET=asan

# Builds the fuzz programs (clang-14, libFuzzer, ASan and UBSan) and runs each for
# FUZZ_SECONDS from its corpus in tests/fuzz/corpus; scripts/fuzz.sh says where new
# inputs and crashes go and how to keep them.
FUZZ_SECONDS ?= 60
fuzz:
	scripts/install-deps.sh build fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	scripts/fuzz.sh $(FUZZ_SECONDS)

# Installs what is missing, builds the program and its bundle, and runs the widget
# on the built-in demo player: in its window when there is a display, otherwise
# (or when the window cannot open) headless, a picture and a short recording.
DEMO_DIR ?= build/demo
demo: configure
	cmake --build --preset $(PRESET) -j $(JOBS) --target trillbox
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY$$SDL_VIDEODRIVER" ] && build/$(PRESET)/trillbox run --player demo; then :; else \
	  mkdir -p $(DEMO_DIR) && \
	  build/$(PRESET)/trillbox --player demo snapshot $(DEMO_DIR)/widget.png --at 3 && \
	  build/$(PRESET)/trillbox --player demo record $(DEMO_DIR)/recording --seconds 6 --fps 20 && \
	  echo "Picture: $(DEMO_DIR)/widget.png" && \
	  echo "Recording: $(DEMO_DIR)/recording/animation.png (frames beside it)"; \
	fi

# The code style: every C++ file as .clang-format has it.
format-check:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# Test lines against code lines.
ratio:
	scripts/test-ratio.sh

# Plants known faults one at a time and checks that the tests catch each.
planted-faults: build
	scripts/planted-faults.sh $(PRESET)

clean:
	rm -rf build/default build/debug build/asan build/bench build/fuzz
