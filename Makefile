# The two commands of the README. Both install what is missing first.
.PHONY: deps build run test test-asan screenshot bench

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset dev
	cmake --build --preset dev

run: build
	./build/kabrelo24

test: build
	ctest --preset dev

# The whole suite again under the address, leak and undefined-behaviour
# sanitizers; any report fails it.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --preset asan

screenshot: build
	scripts/screenshot.sh build/kabrelo24 docs/board.png

bench: deps
	cmake --preset release
	cmake --build --preset release --target benchmarks minimal_window text_window kabrelo24_probe \
	    kabrelo24-report
	scripts/bench.sh build-release

# libFuzzer runs of the core's parsers: FUZZ_SECONDS per target, FUZZ_JOBS at
# a time. Fails when any target finds something.
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 1
.PHONY: fuzz
fuzz:
	@scripts/install-deps.sh clang libclang-rt-14-dev
	cmake -S . -B build-fuzz -G Ninja -DKABRELO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz
	scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_JOBS)
