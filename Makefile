# Quillmere: `make run` opens the window on a scratch copy of examples/,
# `make test` builds and runs every test. Both install missing Debian
# packages first (as root), configure once and rebuild only what changed.
# `make install` (PREFIX, default /usr/local; DESTDIR honoured) installs the
# programs, man pages, desktop entry and the formula engine's libraries;
# `make package` builds the Debian package build/quillmere_VERSION_ARCH.deb,
# and `make package-test` installs, runs and removes it (as root).
# `make windows` cross-builds the programs and tests for Windows into
# build-windows/ (MinGW-w64, libraries from Debian's sources), and
# `make windows-test` runs every test program there under Wine;
# `make windows-package` builds the portable zip and the per-user installer
# build-windows/Quillmere-VERSION-win64{.zip,-setup.exe} (NSIS), and
# `make windows-package-test` installs, runs and uninstalls them under Wine;
# `make portable-test` runs the fileio and batch tests in a build that reaches
# files as systems without openat2 do.

BUILD_DIR   ?= build
BUILD_TYPE  ?= Release
JOBS        ?= 2
RUN_DIR     := $(BUILD_DIR)/run
PREFIX      ?= /usr/local
DESTDIR     ?=

BUILD_PACKAGES := cmake ninja-build g++ pkg-config juce-modules-source zlib1g-dev libexpat1-dev libzip-dev libpcre2-dev libgtest-dev nlohmann-json3-dev \
                  pandoc librsvg2-bin
TEST_PACKAGES  := xvfb xauth xdotool imagemagick fonts-dejavu-core zip unzip p7zip-full libarchive-tools python3 patch xmlstarlet
PACKAGE_PACKAGES := dpkg-dev file
PACKAGE_TEST_PACKAGES := desktop-file-utils
BENCH_PACKAGES := libbenchmark-dev libmuparser-dev xmlstarlet zip unzip sed time python3 strace

FUZZ_SECONDS ?= 60
FUZZ_DIR     ?= build-fuzz
FUZZ_PACKAGES  := clang libclang-rt-14-dev libexpat1-dev

WINDOWS_DIR    ?= build-windows
WINDOWS_PREFIX := $(abspath $(WINDOWS_DIR))/prefix
# The icons are rendered from the SVG and packed into .ico files.
WINDOWS_PACKAGES := librsvg2-bin icoutils
WINDOWS_PACKAGE_PACKAGES := nsis
# Wine without a window: no messages, and no offer to install Mono or Gecko.
WINE_ENV       := WINEPREFIX=$(abspath $(WINDOWS_DIR))/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

.PHONY: all build run test install package package-test bench sanitize fuzz fuzz-locator fuzz-expr clean packages windows windows-test windows-package windows-package-test portable-test

all: build

packages:
	@scripts/ensure-packages.sh $(BUILD_PACKAGES)

$(BUILD_DIR)/build.ninja:
	@scripts/ensure-packages.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: $(BUILD_DIR)/build.ninja
	@scripts/ensure-packages.sh $(BUILD_PACKAGES)
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@scripts/run-in-scratch.sh $(BUILD_DIR)/app/Quillmere $(RUN_DIR) examples

test: $(BUILD_DIR)/build.ninja
	@scripts/ensure-packages.sh $(BUILD_PACKAGES) $(TEST_PACKAGES)
	cmake --build $(BUILD_DIR) -j$(JOBS)
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"
	@scripts/refresh-library-cache.sh "$(DESTDIR)"

package: build
	@scripts/ensure-packages.sh $(PACKAGE_PACKAGES)
	rm -f $(BUILD_DIR)/quillmere_*.deb
	cd $(BUILD_DIR) && cpack -G DEB

package-test: package
	@scripts/ensure-packages.sh $(PACKAGE_TEST_PACKAGES)
	scripts/test-package.sh $(BUILD_DIR)

bench: $(BUILD_DIR)/build.ninja
	@scripts/ensure-packages.sh $(BUILD_PACKAGES) $(BENCH_PACKAGES)
	cmake -S . -B $(BUILD_DIR) -DQUILLMERE_BENCH=ON
	cmake --build $(BUILD_DIR) -j$(JOBS)
	scripts/run-benchmarks.sh $(BUILD_DIR)

# A separate build folder with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	@scripts/ensure-packages.sh $(BUILD_PACKAGES) $(TEST_PACKAGES)
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLMERE_SANITIZE=ON
	cmake --build build-sanitize -j$(JOBS)
	cd build-sanitize && ctest --output-on-failure -j$(JOBS)

# Coverage-guided fuzzing under libFuzzer, AddressSanitizer and UBSan, for
# FUZZ_SECONDS seconds a target (make fuzz FUZZ_SECONDS=600), built with
# clang in FUZZ_DIR: the XML attribute locator and the formula engine.
fuzz: fuzz-locator fuzz-expr

fuzz-locator:
	@scripts/ensure-packages.sh $(FUZZ_PACKAGES)
	scripts/fuzz-locator.sh $(FUZZ_SECONDS) $(FUZZ_DIR)

fuzz-expr:
	@scripts/ensure-packages.sh $(FUZZ_PACKAGES)
	fuzz/expr/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The Windows cross build in WINDOWS_DIR (MinGW-w64), with the libraries it
# needs built once into WINDOWS_DIR/prefix; windows-test runs the test
# programs under Wine.
windows:
	@scripts/ensure-packages.sh $(WINDOWS_PACKAGES)
	scripts/build-windows-deps.sh $(WINDOWS_PREFIX)
	@[ -f $(WINDOWS_DIR)/build.ninja ] || cmake -S . -B $(WINDOWS_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DQUILLMERE_WINDOWS_PREFIX=$(WINDOWS_PREFIX)
	cmake --build $(WINDOWS_DIR) -j$(JOBS)

# The fileio and batch tests in a build that reaches files by the walk alone,
# as systems without openat2 do.
PORTABLE_DIR ?= build-portable
portable-test: $(BUILD_DIR)/build.ninja
	@[ -f $(PORTABLE_DIR)/build.ninja ] || cmake -S . -B $(PORTABLE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DQUILLMERE_PORTABLE_POSIX=ON
	cmake --build $(PORTABLE_DIR) -j$(JOBS) --target fileio_tests batch_tests
	$(PORTABLE_DIR)/tests/fileio_tests
	$(PORTABLE_DIR)/tests/batch_tests

windows-test: windows
	@[ -f $(WINDOWS_DIR)/wineprefix/system.reg ] || $(WINE_ENV) wineboot -i
	cd $(WINDOWS_DIR) && $(WINE_ENV) ctest --output-on-failure -j$(JOBS)

windows-package: windows
	@scripts/ensure-packages.sh $(WINDOWS_PACKAGE_PACKAGES)
	cmake --build $(WINDOWS_DIR) -j$(JOBS) --target windows_package

# The version is the build's own (CMakeCache.txt), so the names are those just built.
windows-package-test: windows-package
	@scripts/ensure-packages.sh $(TEST_PACKAGES)
	package=$(WINDOWS_DIR)/Quillmere-$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(WINDOWS_DIR)/CMakeCache.txt)-win64 && \
		tests/windows/installer.sh $$package-setup.exe $$package.zip $(WINDOWS_DIR)

clean:
	rm -rf $(BUILD_DIR)
