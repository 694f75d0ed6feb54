# Quillmere: `make run` opens the window on a scratch copy of examples/,
# `make test` builds and runs every test. Both install missing Debian
# packages first (as root), configure once and rebuild only what changed.

BUILD_DIR   ?= build
BUILD_TYPE  ?= Release
JOBS        ?= 2
RUN_DIR     := $(BUILD_DIR)/run

BUILD_PACKAGES := cmake ninja-build g++ pkg-config juce-modules-source zlib1g-dev libgtest-dev
TEST_PACKAGES  := xvfb xauth xdotool imagemagick fonts-dejavu-core zip unzip
BENCH_PACKAGES := libbenchmark-dev libmuparser-dev xmlstarlet zip unzip sed time python3

FUZZ_SECONDS ?= 60
FUZZ_DIR     ?= build-fuzz

.PHONY: all build run test bench sanitize fuzz fuzz-expr clean packages

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

# Fuzzers under libFuzzer with AddressSanitizer and UBSan, each for
# FUZZ_SECONDS (make fuzz FUZZ_SECONDS=600); built with clang in FUZZ_DIR.
fuzz: fuzz-expr

fuzz-expr:
	@scripts/ensure-packages.sh clang
	fuzz/expr/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR)
