#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root); with
# --docs, also what `make docs` needs: screenshots of a virtual display and Wine's own fonts,
# which give its controls the classic look.
# Idempotent: packages that are already there are skipped, and nothing is fetched then.
set -euo pipefail

packages=(
  cmake make
  g++ clang libclang-rt-14-dev
  googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 xvfb xauth
  zip unzip
)
if [ "${1:-}" = "--docs" ]; then
  packages+=(x11-apps imagemagick fonts-wine)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}; run as root or install them" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# wine32 would make /usr/bin/wine pick a 32-bit loader this kernel cannot run.
apt-get install -y -qq --no-install-recommends "${missing[@]}" wine32- >/dev/null
