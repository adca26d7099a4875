# Entry points: `make check` builds and runs every test twice (a normal build
# and one under AddressSanitizer + UndefinedBehaviorSanitizer), warnings being
# errors; `make demo` builds the shell alone (no tests, no GoogleTest, in
# build-demo) and runs a bundled example; `make install PREFIX=DIR` builds and
# installs; `make check-builds` builds the library the ways packagers do
# (Release with GCC and clang, Debian's flags, twice for identical files);
# `make bench` runs the benchmarks;
# `make difftest` compares random programs with node, `make matrix` writes
# the completion matrix's expected output and the value tests' expected
# results with node;
# `make pgo` builds the shell and library with profile-guided optimisation
# (trained on the scripts of bench/ and tests/scripts/) in build-pgo, the
# build `make bench` measures; `make stress` runs the out-of-memory sweep over
# every script; `make fuzz`
# builds the libFuzzer targets with clang, and `make fuzz-run
# FUZZ_TARGET=regexp FUZZ_TIME=600` runs one of them. `make tsan` runs the
# host tests in C under ThreadSanitizer (the threads test for TSAN_SECONDS
# seconds).
BUILD ?= build
DEMO_BUILD ?= build-demo
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
TSAN_SECONDS ?= 3
PGO_BUILD ?= build-pgo
FUZZ_BUILD ?= build-fuzz
FUZZ_TARGETS = run_script regexp date_parse numconv
FUZZ_TARGET ?= run_script
FUZZ_TIME ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
# Warnings are errors in our own builds: make test and make check set it, the
# sanitizer and fuzz builds always have it.
QUILLON_WERROR ?= OFF
# `make install QUILLON_TESTS=OFF` builds and installs without GoogleTest.
QUILLON_TESTS ?= ON

.PHONY: all build check test test-asan tsan demo bench pgo stress fuzz fuzz-run clean install matrix difftest \
  check-builds

all: build

build:
	cmake -S . -B $(BUILD) -G Ninja -DQUILLON_WERROR=$(QUILLON_WERROR) -DQUILLON_TESTS=$(QUILLON_TESTS) \
	  $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

test check: QUILLON_WERROR = ON
test check: QUILLON_TESTS = ON
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DQUILLON_SANITIZE=ON -DQUILLON_CHECKS=ON -DQUILLON_WERROR=ON \
	  -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

check: test test-asan

tsan:
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DQUILLON_TSAN=ON -DQUILLON_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  $(CMAKE_FLAGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target capi_threads capi_reentry capi_stale capi_memlimit capi_precision
	cd $(TSAN_BUILD) && QUILLON_THREAD_SECONDS=$(TSAN_SECONDS) TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -R '^capi_'

demo:
	cmake -S . -B $(DEMO_BUILD) -G Ninja -DQUILLON_TESTS=OFF -DQUILLON_EXAMPLES=OFF \
	  -DQUILLON_BENCH=OFF -DQUILLON_SHARED=OFF $(CMAKE_FLAGS)
	cmake --build $(DEMO_BUILD) -j $(JOBS) --target quillon
	$(DEMO_BUILD)/shell/quillon examples/hello.js

# Installs what `make build` made (DESTDIR is honoured as well).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The library built as packagers build it; see tests/packaging/check_builds.sh.
check-builds:
	sh tests/packaging/check_builds.sh $(CMAKE_FLAGS)

# Two passes in one folder: an instrumented build runs the training
# scripts, then everything is built again with the counts they left.
pgo:
	rm -rf $(PGO_BUILD)/profile
	cmake -S . -B $(PGO_BUILD) -G Ninja -DQUILLON_TESTS=OFF -DQUILLON_BENCH=ON -DQUILLON_PGO=generate $(CMAKE_FLAGS)
	cmake --build $(PGO_BUILD) -j $(JOBS)
	for js in bench/*.js tests/scripts/*.js; do $(PGO_BUILD)/shell/quillon "$$js" >/dev/null 2>&1 || true; done
	cmake -S . -B $(PGO_BUILD) -G Ninja -DQUILLON_TESTS=OFF -DQUILLON_BENCH=ON -DQUILLON_PGO=use $(CMAKE_FLAGS)
	cmake --build $(PGO_BUILD) -j $(JOBS)

bench: pgo
	sh bench/run.sh $(PGO_BUILD)/shell/quillon $(PGO_BUILD)/bench/bench_startup

stress: build
	QUILLON_SWEEP=all $(BUILD)/tests/test_sweep

fuzz:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DQUILLON_FUZZ=ON -DQUILLON_WERROR=ON \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))

# New inputs go to the build folder; the committed seeds are only read.
# Whole runs also start from the scripts of the script tests.
FUZZ_SEEDS = tests/fuzz/corpus/$(FUZZ_TARGET) $(if $(filter run_script,$(FUZZ_TARGET)),tests/scripts)
fuzz-run: fuzz
	mkdir -p $(FUZZ_BUILD)/corpus/$(FUZZ_TARGET)
	$(FUZZ_BUILD)/tests/fuzz/fuzz_$(FUZZ_TARGET) $(FUZZ_BUILD)/corpus/$(FUZZ_TARGET) \
	  $(FUZZ_SEEDS) -max_total_time=$(FUZZ_TIME) -timeout=30 -rss_limit_mb=4096 \
	  -artifact_prefix=$(FUZZ_BUILD)/

# Reference runs: random programs of the standard part of the language run
# through the shell and through node; programs that differ are kept in
# $(BUILD)/difftest.
DIFFTEST_COUNT ?= 2000
DIFFTEST_SEED ?= 1
difftest: build
	python3 tests/difftest/difftest.py --quillon $(BUILD)/shell/quillon --count $(DIFFTEST_COUNT) \
	  --seed $(DIFFTEST_SEED) --keep $(BUILD)/difftest

# The matrices' expected traces (completions, line breaks, calls), written by a reference engine.
matrix:
	node tests/matrix/completions.js > tests/matrix/completions.out
	node tests/matrix/linebreaks.js > tests/matrix/linebreaks.out
	node tests/matrix/forms.js > tests/matrix/forms.out
	node tests/matrix/calls.js > tests/matrix/calls.out
	node tests/matrix/loops.js > tests/matrix/loops.out
	node tests/matrix/members.js > tests/matrix/members.out
	node tests/matrix/callforms.js > tests/matrix/callforms.out
	node tests/values/edge_values.js > tests/values/edge_values.inc

clean:
	rm -rf $(BUILD) $(DEMO_BUILD) build-packaging $(ASAN_BUILD) $(FUZZ_BUILD) $(PGO_BUILD) $(TSAN_BUILD)
