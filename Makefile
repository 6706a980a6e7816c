# The front door: `make run` and `make test` install what is missing,
# configure, build, and then run the program or the whole test suite.
JOBS ?= $(shell nproc)

.PHONY: all deps configure build program run test asan format-check tidy-check lint clang fuzz bench install uninstall clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build build -j $(JOBS)

# The program alone, with the resources it reads at run time (no tests,
# benchmarks or galleries).
program: configure
	@cmake --build build -j $(JOBS) --target tolvek

# Without a display the program says so in one line and exits with status
# 2; "make run" then ends quietly after that line (no error line of make's
# own). Any other failure of the program fails make.
run: program
	@status=0; ./build/bin/tolvek || status=$$?; \
	if [ $$status -ne 0 ] && [ $$status -ne 2 ]; then exit $$status; fi

# Installs the program (stripped: the build tree keeps its symbols), its
# resources, its icon and its desktop entry under PREFIX (staged below
# DESTDIR when that is given, as packages are built), and lists what it
# installed and the folders it made in build/installed-files.txt; uninstall
# reads that list and removes them again, given the same PREFIX and DESTDIR
# (given another, it says that nothing of the list is there and where the
# install went, and removes nothing).
PREFIX ?= /usr/local
install: program
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)" --strip

uninstall:
	@DESTDIR="$(DESTDIR)" cmake -DPREFIX="$(PREFIX)" -DFILES=build/installed-files.txt -P resources/desktop/uninstall.cmake

# Tests run headless: the test presets in CMakePresets.json blank the
# display and pick SDL's dummy drivers, so no display is used even when one
# is present.
test: build
	ctest --preset default -j $(JOBS)

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build build-asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# Formatting (.clang-format) of every file and clang-tidy (.clang-tidy,
# without the slow static analyzer) over every compiled source, both of which
# CI checks; tidy-check reads the compilation database of the last build, and
# first refuses a settings-key literal outside src/training/SettingsKeys.h.
format-check:
	@scripts/install-deps lint
	@scripts/lint format

tidy-check:
	@scripts/install-deps lint
	@scripts/lint keys
	@scripts/lint tidy

lint: build
	@scripts/install-deps lint
	@scripts/lint

# The same code built with clang 14, to keep it portable between compilers.
clang:
	@scripts/install-deps clang
	@cmake --preset clang >/dev/null
	@cmake --build build-clang -j $(JOBS)

# The fuzz targets of tests/fuzz, built with clang's libFuzzer and run in
# turn, FUZZ_JOBS at a time, each for FUZZ_SECONDS (or FUZZ_RUNS inputs when
# set). An input that crashes or hangs a target is kept in
# tests/fuzz/regressions/<target>/, which "make test" replays.
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 3
fuzz:
	@scripts/install-deps fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@FUZZ_TARGETS="$(FUZZ_TARGETS)" scripts/run-fuzz build-fuzz $(FUZZ_SECONDS) $(FUZZ_JOBS) $(FUZZ_RUNS)

bench: build
	@cmake --build build -j $(JOBS) --target benchmarks
	@for b in build/bin/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf build build-asan build-clang build-fuzz
