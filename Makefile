# The two commands of the README: `make run` and `make test`.
.PHONY: run test deps test-deps build build-asan test-asan fuzz-replay format install package

# Compiler cache hits also across checkouts in other folders (CI builds a fresh clone).
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

deps:
	scripts/install-deps

test-deps:
	scripts/install-deps --tests

build: deps
	cmake --preset release
	cmake --build --preset release

run: build
	if [ -x build/lumenreel-tour ]; then ./build/lumenreel-tour; else ./build/lumenreel-player build/tour.zcd; fi

test: build test-deps
	ctest --preset release -j2

# Both programs, manual pages, launcher, icon and movie types under PREFIX (DESTDIR is honoured).
PREFIX ?= /usr/local
install: build
	cmake --install build --prefix "$(PREFIX)"

# The Debian package, written into build/.
package: build
	cd build && cpack -G DEB

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

test-asan: build-asan test-deps
	ctest --preset asan -j2

fuzz-replay: build-asan
	scripts/fuzz-replay build-asan

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
