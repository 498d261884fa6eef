#!/usr/bin/env bash
# Runs a Windows program under the Wine of its architecture, in the prefix of the build folder
# it lives in (CANTOVIA_WINEPREFIX overrides); the prefix is made on first use. A 32-bit program
# on a machine that does not run 32-bit programs is not run: the reason goes to standard output
# and the exit status is 77, which the tests report as skipped. See wine-session.sh for running
# many programs with one warm wineserver.
# Usage: wine-run.sh win32|win64 PROGRAM [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-arch.sh"
wine_arch "$1"
program=$2
shift 2
if [ -n "$WINE_SKIP_REASON" ]; then
  echo "skipped: $WINE_SKIP_REASON"
  exit $WINE_SKIPPED
fi
build_dir=$(cd "$(dirname "$program")" && pwd)
export WINEPREFIX=${CANTOVIA_WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/wine-prefix.sh" "$WINEPREFIX" "$WINEARCH"
exec "$WINE_LOADER" "$program" "$@"
