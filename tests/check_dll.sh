#!/usr/bin/env bash
# Checks a built plug-in DLL by what can be read from it, without running it: the machine
# type, the one undecorated export, and imports only from DLLs every Windows has.
# Usage: check_dll.sh DLL i386|x86-64 OBJDUMP
set -uo pipefail
dll=$1
machine=$2
objdump=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

[ -f "$dll" ] || { echo "FAIL: no file $dll"; exit 1; }

format=$("$objdump" -f "$dll" | sed -n 's/.*file format //p')
[ "$format" = "pei-$machine" ] && pass "format $format" || fail "format is '$format', not pei-$machine"

headers=$("$objdump" -p "$dll")

exports=$(printf '%s\n' "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s+\[' | awk '{print $NF}')
[ "$exports" = "winampGetGeneralPurposePlugin" ] && pass "one export: $exports" \
  || fail "exports are: $(echo $exports)"

imports=$(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
for name in $imports; do
  case "$name" in
    KERNEL32.DLL|USER32.DLL|MSVCRT.DLL) ;;
    *) fail "imports $name, which a user's machine may not have" ;;
  esac
done
pass "imports: $(echo $imports)"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed for $dll"
  exit 1
fi
echo "all checks passed for $dll"
