# The two commands a newcomer types: `make demo` and `make test`.
# Both install what they need (scripts/setup.sh), configure and build.
# `make test` builds everything with the sanitizers in $(BUILD_DIR); `make demo`
# and `make package` build only the program (and quote-sim), optimised, in
# $(RELEASE_DIR).

BUILD_DIR   ?= build
RELEASE_DIR ?= $(BUILD_DIR)-release
JOBS        ?= $(shell nproc)
FUZZ_SECONDS   ?= 60
FUZZ_HARNESSES ?=

.PHONY: all setup configure build test configure-release demo package bench fuzz clean format

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEZIZO_SANITIZE=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

configure-release: setup
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEZIZO_SANITIZE=OFF \
	    -DVEZIZO_TESTS=OFF >/dev/null

demo: configure-release
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target vezizo quote-sim
	@scripts/demo.sh $(RELEASE_DIR)

package: configure-release
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target vezizo
	@cd $(RELEASE_DIR) && cpack -G DEB >/dev/null && ls "$$PWD"/vezizo_*.deb

bench: setup
	@cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEZIZO_SANITIZE=OFF >/dev/null
	@cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	@scripts/bench.sh $(BUILD_DIR)-bench

# Every reader's libFuzzer harness (or those of FUZZ_HARNESSES) for FUZZ_SECONDS
# each, in a clang build of its own.
fuzz:
	@scripts/setup.sh clang libclang-rt-14-dev
	@cmake -S . -B $(BUILD_DIR)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVEZIZO_FUZZ=ON -DVEZIZO_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_DIR)-fuzz -j $(JOBS) --target fuzzers
	@scripts/fuzz.sh $(BUILD_DIR)-fuzz $(FUZZ_SECONDS) $(FUZZ_HARNESSES)

format:
	@git ls-files '*.cpp' '*.h' | xargs -d '\n' clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-fuzz $(RELEASE_DIR)
