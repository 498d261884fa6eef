#!/usr/bin/env bash
# Pictures of the installer's welcome page in each of its languages, as Wine draws it on a
# virtual display of its own: docs/installer-pt.png, -en.png, -es.png. They come from the 64-bit
# test installer of the 64-bit build, whose pages are those of the shipped 32-bit one.
# Usage: installer-pictures.sh [WIN64_BUILD_DIR [OUTPUT_DIR]]   (build/win64 and docs by default)
# Needs what scripts/install-deps.sh --docs installs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/pictures-common.sh"

if [ "${1:-}" = --on-display ]; then
  build=$2 output=$3
  setup=$build/gen_cantovia-setup.exe
  # Language ids of NSIS's language files: PortugueseBR, English, Spanish.
  for picture in pt:1046 en:1033 es:1034; do
    name=${picture%:*} language=${picture#*:}
    /usr/lib/wine/wine64 "$setup" "/LANG=$language" </dev/null >/dev/null 2>&1 &
    installer=$!
    geometry=
    for _ in $(seq 150); do
      # A line of xwininfo: 0x1c00004 "Cantovia 1.0.0 Setup": ("…" "…")  503x390+260+189  +260+189
      geometry=$(xwininfo -root -children | sed -n 's/^ *0x[0-9a-f]* "[^"]*Cantovia[^"]*".* \([0-9]*x[0-9]*\)+-\{0,1\}[0-9]*+-\{0,1\}[0-9]* *+\(-\{0,1\}[0-9]*\)+\(-\{0,1\}[0-9]*\)$/\1+\2+\3/p' | head -n 1)
      [ -n "$geometry" ] && break
      sleep 0.1
    done
    if [ -z "$geometry" ]; then
      echo "installer-pictures: the installer's window did not open" >&2
      kill "$installer" 2>/dev/null || true
      exit 1
    fi
    sleep 2 # until it is drawn
    take_picture "$geometry" "$output/installer-$name.png"
    /usr/lib/wine/wine64 taskkill /f /im "$(basename "$setup")" </dev/null >/dev/null 2>&1 || true
    wait "$installer" || true
    echo "installer-pictures: $output/installer-$name.png ($geometry)"
  done
  exit 0
fi

draw_on_own_display "$0" "$@"
