# The two commands of the README. Both install what is missing first: make
# run what building and running need, make test everything the suite uses.
.PHONY: deps-run deps-test deps-bench build run test test-asan screenshot bench

deps-run:
	@scripts/install-deps.sh run

deps-test:
	@scripts/install-deps.sh test

deps-bench:
	@scripts/install-deps.sh bench

# Without GoogleTest (make run's packages) the build leaves the tests out.
build: deps-run
	cmake --preset dev
	cmake --build --preset dev

run: build
	./build/kabrelo24

# The test preset fails when it finds no test, so a build that left the
# tests out cannot pass for a run of them.
test: deps-test
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev

# The whole suite again under the address, leak and undefined-behaviour
# sanitizers; any report fails it.
test-asan: deps-test
	cmake --preset asan
	cmake --build --preset asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --preset asan

screenshot: deps-test build
	scripts/screenshot.sh build/kabrelo24 docs/board.png
	scripts/month_screenshot.sh build/kabrelo24 docs/month.png
	scripts/restore_screenshot.sh build/kabrelo24 docs/month-restore.png

bench: deps-bench
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
	@scripts/install-deps.sh run clang libclang-rt-14-dev
	cmake -S . -B build-fuzz -G Ninja -DKABRELO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz
	scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_JOBS)
