# Thin wrapper over CMake: the README's commands.
BUILD      ?= build
BUILD_A64  ?= build-aarch64
BUILD_TSAN ?= build-tsan
JOBS       ?= $(shell nproc)

.PHONY: all deps build run test test-native test-aarch64 test-tsan bench bench-scale clean

all: build

deps:
	@./scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The main job: the ksxcsr shell on the simulated chip (builds only what the shell needs).
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target ksxcsr
	./scripts/demo-session $(BUILD)

# Every test: the host build, the AArch64 cross build under qemu, and the ThreadSanitizer build.
test: test-native test-aarch64 test-tsan

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

# Every Google Benchmark of bench/ in one run, with ratios against baselines and targets.
bench: build
	./scripts/run-benchmarks $(BUILD)

# The model at the chip's full scale: synthetic description, its build, and the scale run.
bench-scale: build
	./bench/bench-scale $(BUILD) $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD_A64) $(BUILD_TSAN)
