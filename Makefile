# Everything a fresh Debian 12 machine needs, run as root: `make run`, `make check`,
# `make test`. Each target installs only the packages it needs.
BUILD_DIR := build
JOBS := 2
EXAMPLE := examples/fehler-zahl-zu-gross.tzv
PREFIX ?= /usr/local

# The programs; the developer build (`make`) compiles the C++ tests too.
BUILD_PACKAGES := cmake ninja-build g++ make qt6-base-dev libgl-dev nlohmann-json3-dev scdoc
DEV_PACKAGES := $(BUILD_PACKAGES) libgtest-dev libgmock-dev
# What the tests run besides: editors, shells, a display and a screen reader's bus.
CHECK_PACKAGES := $(DEV_PACKAGES) pkg-config fonts-dejavu-core qt6-translations-l10n groff-base neovim \
                  zsh fish xvfb xauth dbus at-spi2-core python3-pyatspi openbox
FUZZ_PACKAGES := clang libclang-rt-14-dev
BENCH_PACKAGES := libbenchmark-dev libxml2-utils hyperfine valgrind time
SCREENSHOT_PACKAGES := fonts-liberation
PACKAGE_PACKAGES := dpkg-dev debhelper lintian appstream
PACKAGE_DIR := build-deb
WEB_PACKAGES := emscripten nodejs python3
WEB_TEST_PACKAGES := chromium chromium-driver python3-selenium
WEB_SITE := build-web/web/site
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine wine64
WINDOWS_TEST_PACKAGES := icoutils unzip python3
WEB_PORT ?= 8080
# Debian's emscripten finds its JavaScript modules here whichever node runs it.
export NODE_PATH := /usr/share/nodejs

.PHONY: all deps check-deps build check test run package install screenshot fuzz test-sanitize bench clean web \
        web-serve test-web format format-check windows test-windows windows-deps warnings-check

all: build

# Installs only what is missing; does nothing on a machine that has it all.
deps:
	@$(call install,$(DEV_PACKAGES))

check-deps:
	@$(call install,$(CHECK_PACKAGES))

define install
missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
if [ -n "$$missing" ]; then \
  echo "apt-get install$$missing"; \
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
fi
endef

$(BUILD_DIR)/build.ninja: | deps
	cmake --preset dev

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

# The edit-test loop: the native build and its tests, nothing else. It
# configures each time, so that the tests find the tools just installed.
check: check-deps
	cmake --preset dev > /dev/null
	cmake --build $(BUILD_DIR) --parallel $(JOBS)
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel $(JOBS)

# Everything: the native tests, the page in Chromium, the Windows programs
# under Wine.
test: check
	$(MAKE) --no-print-directory test-web
	@if command -v wine >/dev/null; then $(MAKE) --no-print-directory test-windows; \
	else echo "Wine fehlt: die Windows-Programme werden nicht getestet (make windows-deps installiert es)."; fi

# kavrin-check.exe and kavrin-lsp.exe, cross-compiled with MinGW-w64 and
# packed with the README, the licence and the examples.
windows-deps:
	@$(call install,cmake ninja-build $(WINDOWS_PACKAGES))

windows: windows-deps
	cmake --preset windows
	cmake --build build-win --parallel $(JOBS)
	@echo "Das Archiv liegt in build-win/ (kavrin-*-windows-x64.zip)."

# The Windows programs under Wine against the Linux build's records.
test-windows: windows build
	@$(call install,$(WINDOWS_TEST_PACKAGES))
	tests/windows/run build-win $(BUILD_DIR)/cli/kavrin-check .

# The browser page: a static folder with the checker as WebAssembly.
web:
	@$(call install,cmake ninja-build $(WEB_PACKAGES))
	cmake --preset web
	cmake --build build-web --parallel $(JOBS)
	@echo "Die Seite liegt in $(WEB_SITE)/ (alle Dateien auf einen statischen Webserver legen)."

# With the page's policy as a header on every file, the worker's script too.
web-serve: web
	/usr/bin/python3 web/serve.py $(WEB_SITE) $(WEB_PORT)

# The page in Debian's headless Chromium, compared with kavrin-check.
test-web: web build
	@$(call install,$(WEB_TEST_PACKAGES))
	/usr/bin/python3 tests/web/pageTest.py $(WEB_SITE) . $(BUILD_DIR)/cli/kavrin-check

run: build
	@if [ -x $(BUILD_DIR)/shell/kavrin ] && [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/shell/kavrin $(EXAMPLE); \
	else \
	  $(BUILD_DIR)/cli/kavrin-check $(EXAMPLE); \
	  echo; \
	  echo "Kein Bildschirm gefunden: oben das Ergebnis von kavrin-check."; \
	  echo "Das Fenster öffnet sich mit: $(BUILD_DIR)/shell/kavrin $(EXAMPLE)  (mit DISPLAY gesetzt)"; \
	fi

# Installs a release build (warnings are no errors there, no tests) below
# PREFIX; DESTDIR stages it elsewhere. Says what it installed.
install:
	@$(call install,$(BUILD_PACKAGES))
	cmake --preset release
	cmake --build build-release --parallel $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install build-release --prefix "$(PREFIX)" > build-release/install.log
	@sed -n 's/^-- \(Installing\|Up-to-date\): /installiert: /p' build-release/install.log

# The Debian packages and the source package, built the Debian way (debian/rules
# never calls this Makefile), then lintian on all of them: no error, no warning.
package: check-deps
	@$(call install,$(PACKAGE_PACKAGES))
	dpkg-buildpackage -us -uc
	mkdir -p $(PACKAGE_DIR)
	mv ../kavrin*_*.deb ../libkavrin-dev_*.deb ../kavrin_*.dsc ../kavrin_*.tar.* \
	   ../kavrin_*.buildinfo ../kavrin_*.changes $(PACKAGE_DIR)/
	lintian --fail-on error,warning $(PACKAGE_DIR)/kavrin_*.changes
	@echo "Die Pakete liegen in $(PACKAGE_DIR)/:"; ls -1 $(PACKAGE_DIR)/*.deb $(PACKAGE_DIR)/*.dsc

screenshot: build
	@$(call install,$(SCREENSHOT_PACKAGES))
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/shell/kavrin-screenshot $(EXAMPLE) docs/screenshot.png

# The C++ layout is clang-format's; CI refuses a tree it would change.
format:
	@$(call install,clang-format)
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@$(call install,clang-format)
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

fuzz:
	@$(call install,$(BUILD_PACKAGES) $(FUZZ_PACKAGES))
	cmake --preset fuzz
	cmake --build build-fuzz --parallel $(JOBS)
	fuzz/run-fuzzers build-fuzz $${FUZZ_SECONDS:-1800} $${FUZZ_RUNS:-10000000}

test-sanitize: check-deps
	@$(call install,$(FUZZ_PACKAGES))
	cmake --preset sanitize
	cmake --build build-sanitize --parallel $(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel $(JOBS)

# What the documentation promises of a packager's build: a shared Release
# build, tests included, without a single warning.
warnings-check: check-deps
	cmake --preset release -B build-warnings -DBUILD_SHARED_LIBS=ON -DKAVRIN_BUILD_TESTS=ON -DKAVRIN_WERROR=ON
	cmake --build build-warnings --parallel $(JOBS)

bench:
	@$(call install,$(BUILD_PACKAGES) $(BENCH_PACKAGES))
	cmake --preset bench
	cmake --build build-bench --parallel $(JOBS)
	bench/run-comparison build-bench

clean:
	rm -rf $(BUILD_DIR) build-release build-warnings build-fuzz build-sanitize build-bench build-web build-win $(PACKAGE_DIR) obj-*
