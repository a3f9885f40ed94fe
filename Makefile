# Everything a fresh Debian/Ubuntu machine needs: `make run`, `make test`, `make lint`, `make test-asan`,
# `make package`, `make check-install`.
PRESET       ?= dev
BUILD_DIR    := $(if $(filter asan,$(PRESET)),build-asan,build)
DEMOCAM_PORT ?= 47080
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= 1

.PHONY: all bootstrap configure build run test test-asan lint bench package check-install pictures fuzz clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@scripts/run-demo "$(BUILD_DIR)" "$(DEMOCAM_PORT)"

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

# The whole suite under the address and undefined-behaviour sanitizers (build-asan/).
test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

# Format check of every source, clang-tidy of the changed ones (all of them in a clean clone).
lint: build
	@JOBS=$(JOBS) scripts/lint "$(BUILD_DIR)"

bench: build
	@scripts/run-bench "$(BUILD_DIR)"

# A Debian package of what `cmake --install` installs, in $(BUILD_DIR)/.
package: build
	@cmake --build --preset $(PRESET) --target package

# Installs into a scratch prefix and checks the result: the files, the desktop entry and AppStream
# metadata, the installed program run offscreen, and the .deb's contents and dependencies.
check-install: build
	@scripts/check-install "$(BUILD_DIR)"

# Each parser's fuzz target for FUZZ_SECONDS over its corpus (clang, build-fuzz/); crashes go to
# build-fuzz/crashes/<target>/. FUZZ_JOBS targets at a time.
fuzz: bootstrap
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_JOBS=$(FUZZ_JOBS) scripts/fuzz

# Regenerates the small pictures kept in resources/ (they are committed).
pictures: build
	@"$(BUILD_DIR)/tools/makepictures/makepictures" resources

clean:
	@rm -rf build build-asan build-fuzz
