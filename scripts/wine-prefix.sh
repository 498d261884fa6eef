#!/usr/bin/env bash
# Makes a Wine prefix fit for tests at the folder given, once, for win32 or win64: a crash ends
# the program with a non-zero status instead of opening the debugger, and windows are drawn
# without a window manager (under plain Xvfb a managed window costs seconds to close). On every
# call, Wine's own fonts (package fonts-wine, when installed) are copied in for the classic
# look, so a prefix made before they were installed gets them too.
# Usage: wine-prefix.sh PREFIX [win32|win64]   (win64 by default)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-arch.sh"
prefix=$1
wine_arch "${2:-win64}"
[ -z "$WINE_SKIP_REASON" ] || { echo "$WINE_SKIP_REASON" >&2; exit 1; }
stamp=$prefix/.cantovia-ready

if [ ! -f "$stamp" ]; then
  export WINEPREFIX=$prefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES=mscoree,mshtml=
  mkdir -p "$prefix"
  # Background services inherit the streams of the first Wine process: keep them off any pipe.
  "$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1
  reg() { "$WINE_LOADER" reg add "$@" /f </dev/null >/dev/null 2>&1; }
  reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  # Let this prefix's server end, so that a later session starts it with its own display.
  /usr/lib/wine/wineserver -w
  touch "$stamp"
fi

# libwine ships the fonts folder empty; the fonts come with fonts-wine (make docs installs it).
shopt -s nullglob
fonts=(/usr/share/wine/fonts/*)
if [ ${#fonts[@]} -gt 0 ]; then
  cp -u "${fonts[@]}" "$prefix/drive_c/windows/Fonts/"
fi
