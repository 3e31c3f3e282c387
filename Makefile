# Mirvo: the two commands a newcomer needs are `make run` and `make test`.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
TYPE       ?= RelWithDebInfo
JOBS       ?= 2
CMAKE_GEN  := -G Ninja
# Tests that need a display use Qt's offscreen platform.
export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps build test run test-sanitize fuzz bench clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=$(TYPE)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

run: build
	./scripts/run.sh $(BUILD)

test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DMIRVO_SANITIZE=ON -DMIRVO_BENCH=OFF
	cmake --build $(SAN_BUILD) -j$(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j$(JOBS)

bench: build
	./scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
