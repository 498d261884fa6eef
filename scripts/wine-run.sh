#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the prefix of the build folder it lives in
# (CANTOVIA_WINEPREFIX overrides). The prefix is made on first use; see wine-session.sh for
# running many programs with one warm wineserver.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
shift
build_dir=$(cd "$(dirname "$program")" && pwd)
export WINEPREFIX=${CANTOVIA_WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/wine-prefix.sh" "$WINEPREFIX"
exec /usr/lib/wine/wine64 "$program" "$@"
