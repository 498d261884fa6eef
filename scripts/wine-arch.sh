# Sourced by the Wine scripts: picks the Wine loader for a build's architecture.
#   wine_arch win32|win64   sets WINE_LOADER and exports WINEARCH; for win32 on a machine
#                           that does not run 32-bit programs it sets WINE_SKIP_REASON instead;
#                           it fails where the probe cannot tell
# The loader is always named: /usr/bin/wine picks one by itself.
WINE_SKIPPED=77 # the exit status CTest reports as a skipped test

wine_arch() {
  WINE_SKIP_REASON=
  case "$1" in
    win32)
      WINE_LOADER=/usr/lib/wine/wine
      local probe=0
      WINE_SKIP_REASON=$("$(dirname "${BASH_SOURCE[0]}")/probe-32bit.sh") || probe=$?
      case $probe in
        0) WINE_SKIP_REASON= ;;
        1) return 0 ;;
        *) return 1 ;; # the probe could not tell, and said why: no test may count as skipped
      esac ;;
    win64) WINE_LOADER=/usr/lib/wine/wine64 ;;
    *) echo "unknown Windows architecture '$1' (win32 or win64)" >&2; return 1 ;;
  esac
  export WINEARCH=$1
  if [ ! -x "$WINE_LOADER" ]; then
    echo "no $WINE_LOADER on this machine: run scripts/install-deps.sh" >&2
    return 1
  fi
}
