# The front door. `make` builds both DLLs into dist/, `make run` shows the plug-in at work in
# the stand-in player, `make test` builds and runs every test, `make docs` draws the pictures
# in docs/. Each installs what it needs.

BUILD      := build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
# wine-session.sh ARCH PREFIX COMMAND: one warm wineserver for a build's prefix, on a virtual display.
session = $(CURDIR)/scripts/wine-session.sh $(1) $(CURDIR)/$(BUILD)/$(1)/wineprefix
# The stand-in player of a build, loading that build's DLL from dist/, with the lyrics site
# stand-in listening on the loopback address for the pages it opens.
player = cd $(BUILD)/$(1)/bin && $(call session,$(1)) $(CURDIR)/scripts/with-lyrics-site.sh \
         $(CURDIR)/scripts/wine-run.sh $(1) standin_player.exe \
         --plugin Z:$(CURDIR)/dist/$(1)/gen_cantovia.dll
# The builds whose programs this machine runs: the 32-bit product first, where it can.
runnable = $(shell scripts/probe-32bit.sh >/dev/null && echo win32) win64
# probe_note TARGET,CONSEQUENCE: one line saying why the 32-bit product was not run, if it was
# not; stops make where the probe cannot tell.
probe_note = probe=0; reason=$$(scripts/probe-32bit.sh) || probe=$$?; [ $$probe -le 1 ] || exit 1; \
             [ -z "$$reason" ] || echo "$(1): $$reason: $(2)"

.PHONY: all deps configure build run test soak fuzz bench release docs clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/%/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/$* $(CMAKE_ARGS) $(CONFIGURE_$*)

CONFIGURE_win32  := -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
                    -DCANTOVIA_DIST_DIR=$(CURDIR)/dist/win32
CONFIGURE_win64  := -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
                    -DCANTOVIA_DIST_DIR=$(CURDIR)/dist/win64
CONFIGURE_native := -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/win32/CMakeCache.txt $(BUILD)/win64/CMakeCache.txt $(BUILD)/native/CMakeCache.txt

build: $(BUILD)/win32/CMakeCache.txt $(BUILD)/win64/CMakeCache.txt
	cmake --build $(BUILD)/win32 -j $(JOBS)
	cmake --build $(BUILD)/win64 -j $(JOBS)

# The 32-bit product where this machine runs 32-bit programs, else the 64-bit build.
run: build
	@$(call probe_note,make run,the 64-bit build stands in for the product)
	@arch=$(firstword $(runnable)); echo "make run: the $$arch build, dist/$$arch/gen_cantovia.dll"
	$(call player,$(firstword $(runnable)))

bench: build
	@$(call probe_note,make bench,the 32-bit product is not measured)
	@for arch in $(runnable); do \
	  echo "make bench: the $$arch build, dist/$$arch/gen_cantovia.dll"; \
	  ( $(call player,$$arch) --bench 20000 ) || exit 1; \
	done

test: build $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS)
	cd $(BUILD)/native && ctest --output-on-failure
	$(call session,win32) ctest --test-dir $(BUILD)/win32 --output-on-failure
	$(call session,win64) ctest --test-dir $(BUILD)/win64 --output-on-failure
	@$(call probe_note,make test,the 32-bit product itself was not run; its Wine tests were skipped and the 64-bit build ran them)

# The random runs of the player's events for longer: SOAK_SEEDS seeds per player kind and build, or,
# with SOAK_SECONDS, as many as fit in that many seconds per player kind and build.
SOAK_SEEDS   ?= 1000
SOAK_SECONDS ?= 0
soak: build
	@$(call probe_note,make soak,the 32-bit product is not run)
	@for arch in $(runnable); do \
	  echo "make soak: the $$arch build, dist/$$arch/gen_cantovia.dll"; \
	  ( cd $(BUILD)/$$arch/bin && CANTOVIA_RANDOM_SEEDS=$(if $(filter-out 0,$(SOAK_SECONDS)),0,$(SOAK_SEEDS)) CANTOVIA_RANDOM_SECONDS=$(SOAK_SECONDS) \
	    $(call session,$$arch) $(CURDIR)/scripts/wine-run.sh $$arch plugin_tests.exe \
	    --plugin Z:$(CURDIR)/dist/$$arch/gen_cantovia.dll --gtest_filter='*RandomRun*' ) || exit 1; \
	done

release: build
	scripts/make-release.sh dist/win32/gen_cantovia.dll $(BUILD)/win32/generated/build_config.h dist \
	    $(BUILD)/win32/gen_cantovia-setup.exe

FUZZ_RUNS ?= 10000000
fuzz: $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS) --target page_address_fuzz
	mkdir -p $(BUILD)/native/fuzz-long
	$(BUILD)/native/page_address_fuzz -runs=$(FUZZ_RUNS) -print_final_stats=1 \
	    -artifact_prefix=$(BUILD)/native/fuzz-long/ $(BUILD)/native/fuzz-long fuzz/corpus/page_address

# Pictures of the configuration dialog and the installer in docs/, drawn by Wine on a virtual display.
docs: build
	@scripts/install-deps.sh --docs
	scripts/dialog-pictures.sh $(BUILD)/win64 docs
	scripts/installer-pictures.sh $(BUILD)/win64 docs

clean:
	rm -rf $(BUILD) dist
