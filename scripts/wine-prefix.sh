#!/usr/bin/env bash
# Makes a Wine prefix fit for tests at the folder given, once: a crash ends the program with
# a non-zero status instead of opening the debugger, and windows are drawn without a window
# manager. On every call, Wine's own fonts (package fonts-wine, when installed) are copied in
# for the classic look, so a prefix made before they were installed gets them too.
set -euo pipefail
prefix=$1
stamp=$prefix/.cantovia-ready

if [ ! -f "$stamp" ]; then
  export WINEPREFIX=$prefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES=mscoree,mshtml=
  mkdir -p "$prefix"
  # Background services inherit the streams of the first Wine process: keep them off any pipe.
  /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
  reg() { /usr/lib/wine/wine64 reg add "$@" /f </dev/null >/dev/null 2>&1; }
  reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  # Let this prefix's server end, so that a later session starts it with its own display.
  /usr/lib/wine/wineserver -w
  touch "$stamp"
fi

# The package libwine leaves the folder in place but empty: copy only when it holds fonts.
if compgen -G '/usr/share/wine/fonts/*' >/dev/null; then
  cp -u /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
fi
