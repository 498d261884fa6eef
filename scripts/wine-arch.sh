# Sourced by the Wine scripts: picks the Wine loader for a build's architecture.
#   wine_arch win32|win64   sets WINE_LOADER and exports WINEARCH; for win32 on a machine
#                           that does not run 32-bit programs it sets WINE_SKIP_REASON instead
# The loader is always named: /usr/bin/wine picks one by itself.
WINE_SKIPPED=77 # the exit status CTest reports as a skipped test

wine_arch() {
  WINE_SKIP_REASON=
  case "$1" in
    win32)
      WINE_LOADER=/usr/lib/wine/wine
      if ! WINE_SKIP_REASON=$("$(dirname "${BASH_SOURCE[0]}")/probe-32bit.sh"); then
        return 0
      fi
      WINE_SKIP_REASON= ;;
    win64) WINE_LOADER=/usr/lib/wine/wine64 ;;
    *) echo "unknown Windows architecture '$1' (win32 or win64)" >&2; return 1 ;;
  esac
  export WINEARCH=$1
  if [ ! -x "$WINE_LOADER" ]; then
    echo "no $WINE_LOADER on this machine: run scripts/install-deps.sh" >&2
    return 1
  fi
}
