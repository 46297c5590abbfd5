# Entry points: `make run` and `make test` do all the set-up on a fresh Debian machine.
JOBS     ?= $(shell nproc)
BUILD    ?= build
ASAN     ?= build-asan
FUZZ     ?= build-fuzz
DATA     ?= $(BUILD)/data
FUZZ_SECONDS ?= 600
# Fuzzers that `make fuzz-long` runs at a time.
FUZZ_JOBS ?= 1
CMAKE_FLAGS ?=
# `make test` is what CI runs: there every warning fails the build.
WERROR   ?= OFF
# ccache keeps its default folder, so fresh clones on this machine build from a warm cache.

.PHONY: all setup configure build test unit asan fuzz fuzz-long bench run content clean

all: build

setup:
	@sh scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQL_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

TALLY    := $(CURDIR)/$(BUILD)/.tally

unit: build
	@sh scripts/ctest-summary.sh $(BUILD) $(TALLY)

asan: setup
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQL_SANITIZE=ON -DQL_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@sh scripts/ctest-summary.sh $(ASAN) $(TALLY)

fuzz: setup
	@if [ -f fuzz/CMakeLists.txt ]; then \
	  CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQL_FUZZ=ON -DQL_WERROR=$(WERROR) >/dev/null && \
	  cmake --build $(FUZZ) -j $(JOBS) --target ql_fuzzers && \
	  if grep -rqs ql_fuzzer fuzz/*/CMakeLists.txt; then sh scripts/ctest-summary.sh $(FUZZ) $(TALLY); fi; \
	fi

test:
	@mkdir -p $(BUILD) && rm -f $(TALLY)
	@$(MAKE) --no-print-directory WERROR=ON unit asan fuzz
	@awk '{p+=$$1; f+=$$2; s+=$$3; c+=$$4} END {printf "%d passed, %d failed, %d skipped, %d cases skipped inside test programs\n", p, f, s, c}' $(TALLY)

# Each fuzzer for FUZZ_SECONDS after the short runs, FUZZ_JOBS at a time; not part of `make test`.
fuzz-long: fuzz
	@sh scripts/fuzz-long.sh $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_JOBS)

# Installs the comparison readers first (not needed by `make test`).
bench:
	@sh scripts/setup.sh bench
	@$(MAKE) --no-print-directory build
	@sh bench/run.sh $(BUILD)

# The demo data folder alone: content/td packed into data.dat, the rest of content/ copied.
content: configure
	@cmake --build $(BUILD) -j $(JOBS) --target ql_data
	@echo "content: data folder ready in $(DATA)"

run: build
	@sh scripts/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
