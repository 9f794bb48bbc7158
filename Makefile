# Everything a fresh Debian 12 machine needs, run as root: `make run`, `make test`.
BUILD_DIR := build
JOBS := 2
EXAMPLE := examples/fehler-zahl-zu-gross.tzv

PACKAGES := cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev libgl-dev fonts-dejavu-core nlohmann-json3-dev neovim
FUZZ_PACKAGES := clang libclang-rt-14-dev
BENCH_PACKAGES := libxml2-utils hyperfine valgrind time
SCREENSHOT_PACKAGES := fonts-liberation

.PHONY: all deps build test run package install screenshot fuzz test-sanitize bench clean

all: build

# Installs only what is missing; does nothing on a machine that has it all.
deps:
	@$(call install,$(PACKAGES))

define install
missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
if [ -n "$$missing" ]; then \
  echo "apt-get install$$missing"; \
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
fi
endef

$(BUILD_DIR)/build.ninja: | deps
	cmake --preset default

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel $(JOBS)

run: build
	@if [ -x $(BUILD_DIR)/shell/kavrin ] && [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/shell/kavrin $(EXAMPLE); \
	else \
	  $(BUILD_DIR)/cli/kavrin-check $(EXAMPLE); \
	  echo; \
	  echo "Kein Bildschirm gefunden: oben das Ergebnis von kavrin-check."; \
	  echo "Das Fenster öffnet sich mit: $(BUILD_DIR)/shell/kavrin $(EXAMPLE)  (mit DISPLAY gesetzt)"; \
	fi

package: build
	cd $(BUILD_DIR) && cpack -G DEB

screenshot: build
	@$(call install,$(SCREENSHOT_PACKAGES))
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/shell/kavrin-screenshot $(EXAMPLE) docs/screenshot.png

fuzz: deps
	@$(call install,$(FUZZ_PACKAGES))
	cmake --preset fuzz
	cmake --build build-fuzz --parallel $(JOBS)
	fuzz/run-fuzzers build-fuzz $${FUZZ_SECONDS:-600} $${FUZZ_RUNS:-10000000}

test-sanitize: deps
	@$(call install,$(FUZZ_PACKAGES))
	cmake --preset sanitize
	cmake --build build-sanitize --parallel $(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel $(JOBS)

bench: deps
	@$(call install,$(BENCH_PACKAGES))
	cmake --preset bench
	cmake --build build-bench --parallel $(JOBS)
	bench/run-comparison build-bench

clean:
	rm -rf $(BUILD_DIR) build-fuzz build-sanitize build-bench
