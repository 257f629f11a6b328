# Set-up and everyday commands; each one installs what is missing first.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps configure build run test test-asan bench fuzz package install-local clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja: | deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

configure: deps $(BUILD)/build.ninja

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(BUILD_ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKAVRI_SANITIZE=ON -DKAVRI_BENCH=OFF >/dev/null
	@cmake --build $(BUILD_ASAN) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS) -LE e2e

bench: build
	@scripts/bench.sh $(BUILD)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRI_FUZZ=ON >/dev/null
	@cmake --build $(BUILD_FUZZ) -j $(JOBS)
	@echo "fuzz targets are in $(BUILD_FUZZ)/tests/fuzz; run one as: $(BUILD_FUZZ)/tests/fuzz/<name> -max_total_time=60 tests/fuzz/corpus/<name>"

# A Debian package of the installed layout, its dependencies read off the binaries.
package: build
	@cd $(BUILD) && cpack -G DEB -B $(CURDIR)/$(BUILD)/package >/dev/null
	@ls $(BUILD)/package/*.deb

# Installs under ~/.local: the program then keeps its settings in ~/.config/kavri.
install-local: build
	@cmake --install $(BUILD) --prefix $(HOME)/.local >/dev/null
	@echo "installed under $(HOME)/.local; start it as $(HOME)/.local/bin/kavri"

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
