# Thin wrapper over CMake: the README's commands.
BUILD      ?= build
BUILD_A64  ?= build-aarch64
BUILD_TSAN ?= build-tsan
BUILD_ASAN ?= build-asan
BUILD_COV  ?= build-coverage
JOBS       ?= $(shell nproc)

.PHONY: all deps build docs run test test-native test-aarch64 test-tsan test-asan coverage test-stats bench bench-scale clean

all: build

deps:
	@./scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The register reference web site of the shipped chip: $(BUILD)/docs/index.html.
docs: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target ksx_docs

# The main job: the ksxcsr shell on the simulated chip (builds only what the shell needs).
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target ksxcsr
	./scripts/demo-session $(BUILD)

# Every test: the host build, the AArch64 cross build under qemu, the ThreadSanitizer build and
# the AddressSanitizer + UndefinedBehaviorSanitizer build.
test: test-native test-aarch64 test-tsan test-asan

test-native: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-aarch64: deps
	cmake -S . -B $(BUILD_A64) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DKSX_BUILD_BENCH=OFF
	cmake --build $(BUILD_A64) -j $(JOBS)
	cd $(BUILD_A64) && ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B $(BUILD_TSAN) -DCMAKE_BUILD_TYPE=Release -DKSX_TSAN=ON \
	  -DKSX_BUILD_BENCH=OFF -DKSX_BUILD_APPS=OFF
	cmake --build $(BUILD_TSAN) -j $(JOBS) --target ksx_tsan_tests
	cd $(BUILD_TSAN) && ctest --output-on-failure -j $(JOBS) -L tsan --no-tests=ignore

# The library, the shell and the host test programs with AddressSanitizer (LeakSanitizer on)
# and UndefinedBehaviorSanitizer; no benchmarks, no install check, no generator unit tests
# (Python, run by the host build).
test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Release -DKSX_ASAN=ON -DKSX_BUILD_BENCH=OFF
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -E '^ksxgen_'

# Line and function coverage of the library and the shell by the host tests (an instrumented
# build of its own, $(BUILD_COV)); generated sources and tests are not measured.
coverage: deps
	JOBS=$(JOBS) ./scripts/coverage $(BUILD_COV)

# The test-to-code line ratio and the coverage, in one run.
test-stats: deps
	JOBS=$(JOBS) ./scripts/test-stats --coverage $(BUILD_COV)

# Every Google Benchmark of bench/ in one run, with ratios against baselines and targets.
bench: build
	./scripts/run-benchmarks $(BUILD)

# The model at the chip's full scale: synthetic description, its build, and the scale run.
bench-scale: build
	./bench/bench-scale $(BUILD) $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD_A64) $(BUILD_TSAN) $(BUILD_ASAN) $(BUILD_COV)
