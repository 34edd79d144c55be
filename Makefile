# The two commands of the README: `make run` and `make test`.
.PHONY: run test deps build build-asan test-asan fuzz-replay format

# Compiler cache hits also across checkouts in other folders (CI builds a fresh clone).
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

deps:
	scripts/install-deps

build: deps
	cmake --preset release
	cmake --build --preset release

run: build
	if [ -x build/lumenreel-tour ]; then ./build/lumenreel-tour; else ./build/lumenreel-player build/tour.zcd; fi

test: build
	ctest --preset release -j2

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

test-asan: build-asan
	ctest --preset asan -j2

fuzz-replay: build-asan
	scripts/fuzz-replay build-asan

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
