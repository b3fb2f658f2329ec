# SPDX-License-Identifier: GPL-3.0-or-later
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test bench fuzz clean

deps:
	@bash deps/install.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo; fi

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/src/app/brackenfold $(ARGS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j $(JOBS)

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks -j $(JOBS)
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && "$$b"; done; true

# Every parser of outside input for FUZZ_INPUTS mutated inputs each.
FUZZ_INPUTS ?= 1000000
fuzz: configure
	cmake --build $(BUILD_DIR) --target fuzzers -j $(JOBS)
	@for f in $(BUILD_DIR)/bench/fuzz_*; do \
		if [ -f "$$f" ] && [ -x "$$f" ]; then "$$f" $(FUZZ_INPUTS) || exit 1; fi; done

clean:
	rm -rf $(BUILD_DIR)
