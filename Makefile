# The README's two commands: `make play` and `make test`. CMake's presets
# (CMakePresets.json) do the rest; the targets below only name them.
JOBS ?= $(shell nproc)
DATA ?= build/data
FUZZ_SECONDS ?= 10
# The C++ files clang-format keeps in shape.
FORMATTED = $(shell git ls-files -- $(addsuffix /*.cpp,src tests tools bench fuzz) \
                                    $(addsuffix /*.h,src tests tools bench fuzz))

.PHONY: play test build web serve-web install deb deps sanitize bench bench-web fuzz fuzz-smoke format-check clean

deps:
	@scripts/install-deps

# Configured once; the build re-runs CMake itself when a CMakeLists.txt changes.
build/CMakeCache.txt: CMakePresets.json | deps
	cmake --preset release
build-asan/CMakeCache.txt: CMakePresets.json | deps
	cmake --preset asan
build-fuzz/CMakeCache.txt: CMakePresets.json | deps
	cmake --preset fuzz
build-web/CMakeCache.txt: CMakePresets.json | deps
	cmake --preset web

build: deps build/CMakeCache.txt
	cmake --build --preset release -j $(JOBS)

play: build
	@mkdir -p $(DATA)
	build/showdata $(DATA)
	build/plovermix --data $(DATA)

# The show for the browser, as one static folder: build-web/site (index.html,
# plovermix.js, .wasm, and the stand-in data packed as plovermix.data, written
# again by the host's showdata each time so that it is the desktop's data).
web: build build-web/CMakeCache.txt
	@mkdir -p build-web/data
	build/showdata build-web/data
	cmake --build --preset web -j $(JOBS)

# A plain static server for the site on 127.0.0.1.
WEB_PORT ?= 8000
serve-web: web
	@echo "The show: http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build-web/site

# The whole show at 800 x 600 and 1440 x 1080, frames per second per scene window,
# then how long a seek takes and whether --loop holds memory steady.
bench: build
	@mkdir -p $(DATA)
	build/showdata $(DATA)
	build/bench/bench_show $(DATA)
	build/bench/bench_seek $(DATA)
	build/bench/bench_loop $(DATA)

# The page in headless Chromium (SwiftShader): the site's size, load to first
# frame, frames per second per scene window beside the desktop's.
bench-web: web
	/usr/bin/python3 bench/bench_web.py build-web/site build/bench/bench_show build-web/data

# Installs into PREFIX (under DESTDIR, when set) as a Linux program: bin/plovermix,
# the stand-in data in share/plovermix/data, the desktop entry, metadata, icon
# and man page.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)"

# The Debian package, build/plovermix_<version>_<arch>.deb; prints its path.
deb: build
	cd build && cpack -G DEB >cpack.log || { cat cpack.log; exit 1; }
	@sed -n 's|^CPack: - package: $(CURDIR)/\(.*\) generated\.$$|\1|p' build/cpack.log

# Every tier on the release build (the browser's on the site make web builds),
# then the unit and render tiers again under the address and undefined-behaviour
# sanitizers.
test: build web
	ctest --preset release -j $(JOBS)
	$(MAKE) sanitize

sanitize: deps build-asan/CMakeCache.txt
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The libFuzzer targets (clang); fuzz-smoke runs each on its seeds for FUZZ_SECONDS
# from a fixed random seed, so that every run tries the same inputs as far as its
# time reaches, and fails on any crash, leak, timeout or runaway memory. The seeds
# are our writers' output and the small files of the public test corpus, when present.
FUZZ_TARGETS = load3ds camera scene image
FUZZ_CORPUS ?= ../shared/corpus
FUZZ_FLAGS = -seed=1 -timeout=10 -rss_limit_mb=2048 -max_len=65536 -close_fd_mask=1
fuzz: deps build-fuzz/CMakeCache.txt
	cmake --build --preset fuzz -j $(JOBS)

fuzz-smoke: fuzz
	rm -rf build-fuzz/seeds build-fuzz/corpus
	build-fuzz/fuzz/fuzz_seeds build-fuzz/seeds $(wildcard $(FUZZ_CORPUS))
	@for t in $(FUZZ_TARGETS); do \
	  dict=; [ $$t = image ] || dict=-dict=fuzz/3ds.dict; \
	  mkdir -p build-fuzz/corpus/$$t; \
	  if build-fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) $(FUZZ_FLAGS) $$dict \
	       -artifact_prefix=$(CURDIR)/build-fuzz/ build-fuzz/corpus/$$t build-fuzz/seeds/$$t \
	       > build-fuzz/fuzz_$$t.log 2>&1; then \
	    echo "fuzz_$$t, $(FUZZ_SECONDS) s: $$(grep -E '^#[0-9]+[[:space:]]+DONE' build-fuzz/fuzz_$$t.log)"; \
	  else \
	    tail -n 60 build-fuzz/fuzz_$$t.log; echo "fuzz_$$t failed (build-fuzz/fuzz_$$t.log)"; exit 1; \
	  fi; \
	done

format-check: deps
	@echo "clang-format --dry-run -Werror over $(words $(FORMATTED)) files of src tests tools bench fuzz"
	@clang-format --dry-run -Werror $(FORMATTED)

clean:
	rm -rf build build-debug build-asan build-fuzz build-web
