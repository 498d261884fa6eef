#!/usr/bin/env bash
# Installs what `make docs` needs beyond the build (run as root): screenshots of a virtual
# display and Wine's own fonts, which give its controls the classic look.
# Idempotent: packages that are already there are skipped, and nothing is fetched then.
set -euo pipefail

packages=(
  x11-apps imagemagick
  fonts-wine
)

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
  echo "install-docs-deps: missing packages: ${missing[*]}; run as root or install them" >&2
  exit 1
fi

echo "install-docs-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" wine32- >/dev/null
