#!/usr/bin/env bash
# Runs a command while the lyrics site stand-in (scripts/lyrics-site.py) listens on the
# loopback address, and stops the site when the command ends, however it ends. The command
# finds the site's folder (its port and its record of requests) in CANTOVIA_SITE.
# Usage: with-lyrics-site.sh COMMAND [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=$(mktemp -d "${TMPDIR:-/tmp}/cantovia-site.XXXXXX")
site=
stop_site() {
  if [ -n "$site" ]; then
    kill "$site" 2>/dev/null || true
    wait "$site" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap stop_site EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

python3 "$here/lyrics-site.py" --folder "$folder" --parent $$ &
site=$!
for _ in $(seq 100); do
  [ -s "$folder/port" ] && break
  kill -0 "$site" 2>/dev/null || { echo "the lyrics site stand-in did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$folder/port" ] || { echo "the lyrics site stand-in did not listen within 10 s" >&2; exit 1; }

export CANTOVIA_SITE=$folder
status=0
"$@" || status=$?
# A program that ends before it prints anything (Wine failing to start it, say) still says how.
case $status in
  0|77) ;;
  *) echo "with-lyrics-site.sh: status $status from: $*" >&2 ;;
esac
exit $status
