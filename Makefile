# The README's two commands: `make play` and `make test`. CMake does the rest.
BUILD ?= build
JOBS ?= $(shell nproc)
DATA ?= $(BUILD)/data
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: play test build deps sanitize clean

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

play: build
	@mkdir -p $(DATA)
	$(BUILD)/showdata $(DATA)
	$(BUILD)/plovermix --data $(DATA)

# Every tier on the release build, then the unit and render tiers again under
# the address and undefined-behaviour sanitizers.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) sanitize

# Address and undefined-behaviour sanitizers over the unit and render tests.
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPLOVERMIX_SANITIZE=ON -DPLOVERMIX_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS) -L 'unit|render'

clean:
	rm -rf $(BUILD) build-asan
