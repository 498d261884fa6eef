#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root); with
# --docs, also what `make docs` needs: screenshots of a virtual display and Wine's own fonts,
# which give its controls the classic look. Where this machine runs 32-bit programs
# (scripts/probe-32bit.sh), 32-bit Wine too, so that the tests run the 32-bit product itself.
# Idempotent: packages that are already there are skipped, and nothing is fetched then. It only
# adds packages: apt is told never to remove one (--no-remove), and fails rather than do it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  cmake make
  g++ clang libclang-rt-14-dev binutils
  googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 xvfb xauth
  zip unzip
  nsis
  python3
)
if [ "${1:-}" = "--docs" ]; then
  packages+=(x11-apps x11-utils imagemagick fonts-wine)
fi

missing() {
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

install() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: $*; run as root or install them" >&2
    exit 1
  fi
  echo "install-deps: installing $*"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-remove --no-install-recommends "$@" >/dev/null
}

mapfile -t needed < <(missing "${packages[@]}")
[ ${#needed[@]} -eq 0 ] || install "${needed[@]}"

# The probe needs binutils, which the first round brings. Where it cannot tell, it says why: stop.
probe=0
"$here/probe-32bit.sh" >/dev/null || probe=$?
[ $probe -le 1 ] || exit 1
if [ $probe -eq 0 ]; then
  mapfile -t needed < <(missing wine32:i386)
  if [ ${#needed[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
    fi
    install "${needed[@]}"
  fi
fi
