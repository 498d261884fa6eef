#!/usr/bin/env bash
# Pictures of the configuration dialog in each of its languages, as Wine draws it in the
# classic look on a virtual display of its own: docs/config-dialog-pt.png, -en.png, -es.png.
# Usage: dialog-pictures.sh [WIN64_BUILD_DIR [OUTPUT_DIR]]   (build/win64 and docs by default)
# Needs what scripts/install-deps.sh --docs installs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/pictures-common.sh"

if [ "${1:-}" = --on-display ]; then
  build=$2 output=$3
  for picture in pt:1 en:2 es:3; do
    name=${picture%:*} language=${picture#*:}
    log=$(mktemp)
    # The player cancels the dialog by itself after a few seconds.
    /usr/lib/wine/wine64 "$build/bin/standin_player.exe" --dialog --language "$language" --close-after 4 \
      </dev/null >"$log" 2>&1 &
    player=$!
    geometry=
    for _ in $(seq 150); do
      # "Dialog open at LEFT,TOP WIDTHxHEIGHT"
      geometry=$(tr -d '\r' <"$log" | sed -n 's/^Dialog open at \(-\{0,1\}[0-9]*\),\(-\{0,1\}[0-9]*\) \([0-9]*x[0-9]*\).*/\3+\1+\2/p')
      [ -n "$geometry" ] && break
      sleep 0.1
    done
    if [ -z "$geometry" ]; then
      echo "dialog-pictures: the dialog did not open:" >&2
      cat "$log" >&2
      exit 1
    fi
    sleep 1 # until it is drawn
    take_picture "$geometry" "$output/config-dialog-$name.png"
    wait "$player"
    rm -f "$log"
    echo "dialog-pictures: $output/config-dialog-$name.png ($geometry)"
  done
  exit 0
fi

draw_on_own_display "$0" "$@"
