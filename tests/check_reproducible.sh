#!/usr/bin/env bash
# Checks that the release is reproducible as the README says: the sources copied into two
# folders of different names and built there one after the other (so each DLL has its own
# modification time) give byte-identical DLLs, archives and installers.
# Usage: check_reproducible.sh SOURCE_DIR TOOLCHAIN_FILE_NAME (as in cmake/, for example
# toolchain-mingw-i686.cmake)
set -uo pipefail
source_dir=$(cd "$1" && pwd)
toolchain=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/check_lib.sh"

# build_release FOLDER: the sources into FOLDER, then the DLL, the installer and the release.
build_release() {
  local copy=$scratch/$1
  mkdir -p "$copy"
  tar -C "$source_dir" --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$copy" -xf -
  cmake -S "$copy" -B "$copy/build" -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCANTOVIA_DIST_DIR="$copy/dist" >"$scratch/$1.log" 2>&1 &&
    cmake --build "$copy/build" -j 2 --target installer >>"$scratch/$1.log" 2>&1 &&
    "$copy/scripts/make-release.sh" "$copy/dist/gen_cantovia.dll" "$copy/build/generated/build_config.h" \
      "$copy/release" "$copy/build/gen_cantovia-setup.exe" >>"$scratch/$1.log" 2>&1 ||
    { echo "FAIL: the build in $copy failed:"; tail -n 20 "$scratch/$1.log"; exit 1; }
}
build_release first
build_release "second clone"

for file in dist/gen_cantovia.dll release/*-win32.zip release/*-setup.exe; do
  first=$(echo "$scratch"/first/$file) second=$(echo "$scratch/second clone"/$file)
  if [ ! -f "$first" ] || [ ! -f "$second" ]; then
    fail "$file was not built in both folders"
  elif cmp -s "$first" "$second"; then
    pass "$(basename "$first"): the same bytes in both folders"
  else
    fail "$(basename "$first") differs between the two folders"
  fi
done
finish "the release is reproducible"
