# The front door. `make` builds both DLLs into dist/, `make run` shows the plug-in at work in
# the stand-in player, `make test` builds and runs every test, `make docs` draws the pictures
# in docs/. Each installs what it needs.

BUILD      := build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
WINE_SESSION := $(CURDIR)/scripts/wine-session.sh $(CURDIR)/$(BUILD)/win64/wineprefix

.PHONY: all deps configure build run test fuzz bench release docs clean

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

run: build
	cd $(BUILD)/win64/bin && $(WINE_SESSION) /usr/lib/wine/wine64 standin_player.exe

bench: build
	cd $(BUILD)/win64/bin && $(WINE_SESSION) /usr/lib/wine/wine64 standin_player.exe --bench 20000

test: build $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS)
	cd $(BUILD)/native && ctest --output-on-failure
	cd $(BUILD)/win32 && ctest --output-on-failure
	$(WINE_SESSION) ctest --test-dir $(BUILD)/win64 --output-on-failure

release: build
	scripts/make-release.sh dist/win32/gen_cantovia.dll $(BUILD)/win32/generated/build_config.h dist

FUZZ_RUNS ?= 10000000
fuzz: $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS) --target page_address_fuzz
	mkdir -p $(BUILD)/native/fuzz-long
	$(BUILD)/native/page_address_fuzz -runs=$(FUZZ_RUNS) -print_final_stats=1 \
	    -artifact_prefix=$(BUILD)/native/fuzz-long/ $(BUILD)/native/fuzz-long fuzz/corpus/page_address

# Pictures of the configuration dialog in docs/, drawn by Wine on a virtual display.
docs: build
	@scripts/install-deps.sh --docs
	scripts/dialog-pictures.sh $(BUILD)/win64 docs

clean:
	rm -rf $(BUILD) dist
