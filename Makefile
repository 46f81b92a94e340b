# The README's two commands: `make play` and `make test`. CMake's presets
# (CMakePresets.json) do the rest; the targets below only name them.
JOBS ?= $(shell nproc)
DATA ?= build/data
FUZZ_SECONDS ?= 10
# The C++ files clang-format keeps in shape.
FORMATTED = $(shell git ls-files -- $(addsuffix /*.cpp,src tests tools bench fuzz) \
                                    $(addsuffix /*.h,src tests tools bench fuzz))

.PHONY: play test build deps sanitize fuzz fuzz-smoke format-check clean

deps:
	@scripts/install-deps

# Configured once; the build re-runs CMake itself when a CMakeLists.txt changes.
build/CMakeCache.txt: CMakePresets.json | deps
	cmake --preset release
build-asan/CMakeCache.txt: CMakePresets.json | deps
	cmake --preset asan
build-fuzz/CMakeCache.txt: CMakePresets.json | deps
	cmake --preset fuzz

build: deps build/CMakeCache.txt
	cmake --build --preset release -j $(JOBS)

play: build
	@mkdir -p $(DATA)
	build/showdata $(DATA)
	build/plovermix --data $(DATA)

# Every tier on the release build, then the unit and render tiers again under
# the address and undefined-behaviour sanitizers.
test: build
	ctest --preset release -j $(JOBS)
	$(MAKE) sanitize

sanitize: deps build-asan/CMakeCache.txt
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The libFuzzer targets (clang); fuzz-smoke runs each on its seeds for a few seconds.
fuzz: deps build-fuzz/CMakeCache.txt
	cmake --build --preset fuzz -j $(JOBS)

fuzz-smoke: fuzz
	rm -rf build-fuzz/seeds build-fuzz/corpus && mkdir -p build-fuzz/seeds build-fuzz/corpus
	build-fuzz/fuzz/fuzz_seeds_3ds build-fuzz/seeds
	build-fuzz/fuzz/fuzz_load3ds -max_total_time=$(FUZZ_SECONDS) -close_fd_mask=1 \
	  build-fuzz/corpus build-fuzz/seeds

format-check: deps
	@echo "clang-format --dry-run -Werror over $(words $(FORMATTED)) files of src tests tools bench fuzz"
	@clang-format --dry-run -Werror $(FORMATTED)

clean:
	rm -rf build build-debug build-asan build-fuzz
