#!/usr/bin/env bash
# Runs a command (a test runner, the stand-in player) with a warm wineserver for the prefix
# given, under a virtual X display when there is none, and stops the server afterwards.
# Usage: wine-session.sh PREFIX COMMAND [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mkdir -p "$1" && cd "$1" && pwd)
shift

if [ -z "${DISPLAY:-}" ] && [ -z "${CANTOVIA_IN_XVFB:-}" ]; then
  export CANTOVIA_IN_XVFB=1
  exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$prefix" "$@"
fi

export WINEPREFIX=$prefix CANTOVIA_WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/wine-prefix.sh" "$prefix"

# The first Wine process starts background services that inherit its streams; start them
# here, away from the pipe of whatever reads the command's output.
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true

status=0
"$@" || status=$?

/usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 || true
exit $status
