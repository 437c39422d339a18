# The two commands a newcomer needs: `make run` and `make test`.
# Both install what they need from Debian's archive first (scripts/install-deps).
JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
ASAN_DIR := build/asan
ARGS ?=
PREFIX ?= /usr/local

.PHONY: all deps build run test install deb fuzz bench format clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DBMC_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j$(JOBS)

run: build
	scripts/run-default $(RELEASE_DIR) $(ARGS)

# The tests run under AddressSanitizer and UndefinedBehaviorSanitizer; any report fails the run.
test: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBMC_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j$(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure --timeout 600 -j$(JOBS)

# Installs the programs, codec modules, help pages, icon and menu entry under PREFIX;
# `make install PREFIX=$$HOME/.local` needs no root.
install: build
	cmake --install $(RELEASE_DIR) --prefix "$(PREFIX)"

# The Debian package: build/release/brindlex_<version>_<arch>.deb, installed with
# `sudo apt install ./build/release/brindlex_*.deb`.
deb: build
	cd $(RELEASE_DIR) && cpack -G DEB

# libFuzzer targets (clang); run one with e.g. build/fuzz/tests/fuzz/fuzz_acm -max_total_time=300
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBMC_FUZZ=ON -DBMC_TESTS=OFF
	cmake --build build/fuzz -j$(JOBS)

bench: build
	bench/run-all $(RELEASE_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
