# Entry points: `make check` builds and runs every test twice (a normal build
# and one under AddressSanitizer + UndefinedBehaviorSanitizer); `make demo`
# builds and runs a bundled example; `make bench` runs the benchmarks.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all build check test test-asan demo bench clean install

all: build

build:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DQUILLON_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

check: test test-asan

demo: build
	./$(BUILD)/shell/quillon examples/hello.js

bench: build
	sh bench/run.sh $(BUILD)/shell/quillon $(BUILD)/bench/bench_startup

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
