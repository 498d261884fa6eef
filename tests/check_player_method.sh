#!/usr/bin/env bash
# The lyrics window's message processor in the 32-bit product, as compiled: the player calls it
# with the member-function convention of 32-bit Windows C++ compilers (thiscall: the object in
# ECX, four arguments on the stack, popped by the method itself: "ret $0x10", where the C
# convention returns with a plain "ret" and the Windows API's with "ret $0x14" for five). Read
# from the compiled code, so that it holds on machines that cannot run 32-bit programs.
# Usage: check_player_method.sh MINGW_TOOL_PREFIX OBJECT...
set -uo pipefail
tools=$1
shift
source "$(dirname "$0")/check_lib.sh"

method=$("${tools}objdump" -d -C "$@" | awk '/<\(anonymous namespace\)::take_message\(.*\)>:$/ {found = 1} found && /^$/ {exit} found')
if [ -z "$method" ]; then
  fail "the processor's method take_message is not in the objects"
else
  returns=$(grep -E '\sret' <<<"$method" | sed -E 's/.*\s(ret[^#]*)$/\1/' | sort -u | tr -s ' ')
  [ "$returns" = 'ret $0x10' ] && pass "the processor pops its four arguments itself (ret \$0x10)" \
    || fail "the processor returns with: $(echo $returns) (thiscall pops 16 bytes: ret \$0x10)"
fi
finish "the processor has the player's calling convention"
