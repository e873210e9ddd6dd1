# The two commands of the README. Both install what is missing first.
.PHONY: deps build run test screenshot bench

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset dev
	cmake --build --preset dev

run: build
	./build/kabrelo24

test: build
	ctest --preset dev

screenshot: build
	scripts/screenshot.sh build/kabrelo24 docs/board.png

bench: deps
	cmake --preset release
	cmake --build --preset release --target benchmarks
	./build-release/bench/benchmarks
