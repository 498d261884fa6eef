#!/usr/bin/env bash
# Checks that scripts/wine-session.sh stops its wineserver on every way out: its command ending
# with a failure, Ctrl-C (SIGINT) and a kill (SIGTERM, as a timeout sends) while the command
# still runs; killed outright (SIGKILL, as CTest's timeout does to a test's processes), the
# server ends by itself once the last Wine program is gone. Uses a 64-bit prefix of its own. Usage: check_wine_session.sh PREFIX
set -uo pipefail
# Job control: a session started in the background still receives SIGINT, as from a terminal.
set -m
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(mkdir -p "$1" && cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/check_lib.sh"

"$here/scripts/wine-prefix.sh" "$prefix" win64
# A prefix's wineserver works in a folder named after the prefix's device and inode numbers.
server_folder=server-$(stat -c %D "$prefix")-$(printf %x "$(stat -c %i "$prefix")")
server_running() {
  local cwd
  for process in /proc/[0-9]*; do
    cwd=$(readlink "$process/cwd" 2>/dev/null) || continue
    [[ "$cwd" == */"$server_folder" ]] && return 0
  done
  return 1
}
server_running && { echo "FAIL: a wineserver of $prefix runs already"; exit 1; }

while read -r ending signal expected; do
  echo "== $ending"
  marker=$scratch/$ending
  # The session's command says it runs, then runs a Wine program and waits, or fails.
  command="echo up >'$marker'; /usr/lib/wine/wine64 cmd /c exit; [ $signal = - ] && exit 3; exec sleep 60"
  CANTOVIA_IN_XVFB=1 "$here/scripts/wine-session.sh" win64 "$prefix" sh -c "$command" </dev/null >/dev/null 2>&1 &
  session=$!
  for _ in $(seq 300); do [ -e "$marker" ] && break; sleep 0.1; done
  if [ ! -e "$marker" ]; then
    fail "$ending: the session's command did not start"
    kill -TERM "$session" 2>/dev/null
  elif [ "$signal" != - ]; then
    server_running && pass "$ending: the server runs during the session" || fail "$ending: no server seen"
    if [ "$signal" = KILL ]; then
      kill -KILL -- "-$session" # the session and its command's processes, as CTest kills a test
    else
      kill "-$signal" "$session"
    fi
  fi
  wait "$session"
  status=$?
  [ $status -eq "$expected" ] && pass "$ending: exit status $status" || fail "$ending: exit status $status, not $expected"
  if [ "$signal" = KILL ]; then
    # The server's lingering time, and a margin.
    for _ in $(seq 300); do server_running || break; sleep 0.1; done
  fi
  server_running && fail "$ending: the server outlived the session" || pass "$ending: the server stopped with it"
done <<'ENDINGS'
command-fails - 3
ctrl-c INT 130
killed TERM 143
killed-outright KILL 137
ENDINGS

if server_running; then
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k
fi
finish "all session checks passed"
