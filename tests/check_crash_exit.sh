#!/usr/bin/env bash
# Checks that a crash ends a test program the way tests/win/crash_exit.cpp promises: the probe
# starts, crashes, and ends at once with status 3 and the crash handler's line naming the access
# violation (0xc0000005). Any other end fails, Wine failing to start included. Where this
# machine does not run the build's programs, exits with 77 (skipped).
# Usage: check_crash_exit.sh win32|win64 CRASH_PROBE_EXE
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
crash_exit_status=3 # CRASH_EXIT_STATUS in tests/win/crash_exit.cpp
output=$("$here/scripts/wine-run.sh" "$1" "$2" 2>&1 | tr -d '\r')
status=${PIPESTATUS[0]}
echo "$output"
[ $status -ne 77 ] || exit 77
failures=0
grep -q '^crashing on purpose$' <<<"$output" || { echo "FAIL: the probe did not start"; failures=1; }
grep -q '^crash: exception 0xc0000005 at ' <<<"$output" || { echo "FAIL: no line from the crash handler"; failures=1; }
[ $status -eq $crash_exit_status ] || { echo "FAIL: exit status $status, not $crash_exit_status"; failures=1; }
[ $failures -eq 0 ] && echo "the crash ended the probe with status $status"
exit $failures
