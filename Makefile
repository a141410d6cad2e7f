# The one front door. Every target installs what it needs first (scripts/setup.sh).
SHELL := /bin/bash
.DEFAULT_GOAL := build
FUZZ_SECONDS ?= 300

.PHONY: setup configure build build-native build-windows test test-native test-windows \
        fuzz fuzz-short bench run screenshots dist clean

setup:
	@scripts/setup.sh

build/native/CMakeCache.txt: | setup
	cmake --preset native
build/windows/CMakeCache.txt: | setup
	cmake --preset windows

build-native: setup build/native/CMakeCache.txt
	cmake --build --preset native
build-windows: setup build/windows/CMakeCache.txt
	cmake --build --preset windows

build: build-native build-windows

test-native: build-native
	ctest --preset native

test-windows: build-windows
	scripts/with-wine.sh ctest --preset windows

# Native suite, short fuzz run, then the Windows suite under Wine; CTest's summary last.
test: test-native fuzz-short test-windows

fuzz: setup
	cmake --preset fuzz && cmake --build --preset fuzz
	scripts/run-fuzz.sh $(FUZZ_SECONDS)

fuzz-short: setup
	cmake --preset fuzz >/dev/null && cmake --build --preset fuzz
	scripts/run-fuzz.sh 60

bench: setup
	cmake --preset bench >/dev/null && cmake --build --preset bench
	scripts/run-bench.sh

# Only what the demo shows: the tool, both programs and their help files.
run: setup build/native/CMakeCache.txt build/windows/CMakeCache.txt
	cmake --build --preset native --target kanopa-memo
	cmake --build --preset windows --target Kanopa KanopaViewer Kanopa_help KanopaViewer_help
	scripts/run.sh

screenshots: build-windows
	scripts/with-wine.sh scripts/screenshots.sh
	scripts/with-wine.sh scripts/editor-screenshots.sh
	scripts/installer-screenshots.sh

# The installer and the portable zip, in build/dist.
dist: setup build/windows/CMakeCache.txt
	cmake --build --preset windows --target kanopa_dist
	@ls -l build/dist

clean:
	rm -rf build
