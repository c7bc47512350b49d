# Everyday commands; each wraps a CMake preset. `make test` and `make run` install what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
ARGS ?=
FUZZ_SECONDS ?= 10

.PHONY: all deps build build-native build-win32 build-fuzz test run screenshot format bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh

build: deps build-native build-win32

build-native:
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

build-win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

build-fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

test: deps build-native build-win32 build-fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-tests.sh

run: deps build-win32
	@scripts/run.sh $(ARGS)

screenshot: deps build-win32
	@scripts/screenshot.sh

format:
	@git ls-files -- src tests tools fuzz bench | grep -E '\.(cpp|h)$$' | xargs clang-format -i

clean:
	rm -rf build

bench:
	@scripts/install-deps.sh gnuplot-nox
	@scripts/bench.sh

FUZZ_RUNS ?= 10000000
fuzz:
	@scripts/install-deps.sh
	@FUZZ_RUNS=$(FUZZ_RUNS) scripts/fuzz.sh
