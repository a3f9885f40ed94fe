# Everything a fresh Debian/Ubuntu machine needs: `make run` and `make test`.
BUILD_DIR   ?= build
PRESET      ?= dev
DEMOCAM_PORT ?= 47080
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all bootstrap configure build run test bench pictures clean

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

bench: build
	@scripts/run-bench "$(BUILD_DIR)"

# Regenerates the small pictures kept in resources/ (they are committed).
pictures: build
	@"$(BUILD_DIR)/tools/makepictures/makepictures" resources

clean:
	@rm -rf "$(BUILD_DIR)"
