#!/usr/bin/env bash
# Runs a command (a test runner, the stand-in player) with a warm wineserver for the prefix
# given, under a virtual X display when there is none, and stops the server afterwards, however
# it ends. For a 32-bit prefix on a machine that does not run 32-bit programs, the command runs
# without Wine (its Windows programs then report themselves skipped).
# Usage: wine-session.sh win32|win64 PREFIX COMMAND [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-arch.sh"
arch=$1
prefix=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
wine_arch "$arch"
if [ -n "$WINE_SKIP_REASON" ]; then
  exec "$@"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${CANTOVIA_IN_XVFB:-}" ]; then
  export CANTOVIA_IN_XVFB=1
  exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$arch" "$prefix" "$@"
fi

export WINEPREFIX=$prefix CANTOVIA_WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/wine-prefix.sh" "$prefix" "$arch"

# The server stops on every way out: the command's end, a failure here, Ctrl-C, or a kill
# (SIGTERM); after SIGKILL it ends by itself (below). The command runs in the background so that a signal is acted on at once,
# not when the command ends; on a signal it is stopped too.
command_pid=
stop_session() {
  trap - EXIT INT TERM
  [ -z "$command_pid" ] || kill -TERM "$command_pid" 2>/dev/null || true
  /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 || true
}
trap stop_session EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The first Wine process starts background services that inherit its streams; start them
# here, away from the pipe of whatever reads the command's output. The server stays warm
# between the command's Wine programs, and ends by itself that long after the last one, so
# that even a session killed outright (SIGKILL, which no trap sees) leaves nothing running.
SERVER_LINGER_SECONDS=10
/usr/lib/wine/wineserver -p"$SERVER_LINGER_SECONDS" </dev/null >/dev/null 2>&1
"$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1 || true

status=0
"$@" <&0 &
command_pid=$!
wait "$command_pid" || status=$?
command_pid=
exit $status
