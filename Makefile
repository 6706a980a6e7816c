# The front door: `make run` and `make test` install what is missing,
# configure, build, and then run the program or the whole test suite.
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test asan clang bench install clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build build -j $(JOBS)

run: build
	./build/bin/tolvek

# Installs the program, its resources, its icon and its desktop entry under
# PREFIX (staged below DESTDIR when that is given, as packages are built).
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)"

# Tests run headless: no display is used even when one is present.
test: build
	cd build && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
	  ctest --output-on-failure -j $(JOBS) --timeout 600

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
	  ctest --output-on-failure -j $(JOBS) --timeout 900

# The same code built with clang 14, to keep it portable between compilers.
clang:
	@scripts/install-deps clang
	@cmake --preset clang >/dev/null
	@cmake --build build-clang -j $(JOBS)

bench: build
	@cmake --build build -j $(JOBS) --target benchmarks
	@for b in build/bin/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf build build-asan build-clang
