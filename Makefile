# The front door. `make` builds both DLLs into dist/, `make run` shows the plug-in at work in
# the stand-in player, `make test` builds and runs every test, `make docs` draws the pictures
# in docs/. Each installs what it needs.

BUILD      := build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
WINE_SESSION := $(CURDIR)/scripts/wine-session.sh $(CURDIR)/$(BUILD)/win64/wineprefix

.PHONY: all deps configure build run test fuzz bench docs clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/%/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/$* $(CMAKE_ARGS) $(CONFIGURE_$*)

CONFIGURE_win32  := -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
CONFIGURE_win64  := -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
CONFIGURE_native := -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/win32/CMakeCache.txt $(BUILD)/win64/CMakeCache.txt $(BUILD)/native/CMakeCache.txt

build: $(BUILD)/win32/CMakeCache.txt $(BUILD)/win64/CMakeCache.txt
	cmake --build $(BUILD)/win32 -j $(JOBS)
	cmake --build $(BUILD)/win64 -j $(JOBS)
	mkdir -p dist/win32 dist/win64
	cp $(BUILD)/win32/bin/gen_cantovia.dll dist/win32/gen_cantovia.dll
	cp $(BUILD)/win64/bin/gen_cantovia.dll dist/win64/gen_cantovia.dll

run: build
	cd $(BUILD)/win64/bin && $(WINE_SESSION) /usr/lib/wine/wine64 standin_player.exe

bench: build
	cd $(BUILD)/win64/bin && $(WINE_SESSION) /usr/lib/wine/wine64 standin_player.exe --bench 20000

test: build $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS)
	cd $(BUILD)/native && ctest --output-on-failure
	cd $(BUILD)/win32 && ctest --output-on-failure
	$(WINE_SESSION) ctest --test-dir $(BUILD)/win64 --output-on-failure

# Pictures of the configuration dialog in docs/, drawn by Wine on a virtual display.
docs: build
	@scripts/install-docs-deps.sh
	scripts/dialog-pictures.sh $(BUILD)/win64 docs

clean:
	rm -rf $(BUILD) dist
