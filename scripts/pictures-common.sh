# Sourced by the picture scripts (dialog-pictures.sh, installer-pictures.sh).

# take_picture GEOMETRY FILE: the screen's WIDTHxHEIGHT+LEFT+TOP as a PNG whose bytes depend
# only on its pixels.
take_picture() {
  xwd -root -silent | convert xwd:- -crop "$1" +repage -strip -define png:exclude-chunks=date,time "png:$2"
}

# draw_on_own_display SCRIPT [WIN64_BUILD_DIR [OUTPUT_DIR]]: runs "SCRIPT --on-display BUILD
# OUTPUT" with a warm wineserver of the build's pictures prefix, always on a display of its own,
# even beside a desktop, so that nothing else is on the pictures.
draw_on_own_display() {
  local here root build output prefix
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  root=$(cd "$here/.." && pwd)
  build=$(cd "${2:-$root/build/win64}" && pwd)
  output=$(mkdir -p "${3:-$root/docs}" && cd "${3:-$root/docs}" && pwd)
  prefix=$build/pictures-prefix
  "$here/wine-prefix.sh" "$prefix"
  xvfb-run -a -s '-screen 0 1024x768x24' "$here/wine-session.sh" win64 "$prefix" "$1" --on-display "$build" "$output"
}
