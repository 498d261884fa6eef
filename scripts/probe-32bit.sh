#!/usr/bin/env bash
# Tells whether this machine runs 32-bit x86 programs: some kernels run them, others refuse
# them with "Exec format error". Assembles a three-instruction i386 Linux program that exits
# with 42 (binutils only) and runs it.
#   exit 0  it ran
#   exit 1  the kernel refused it ("Exec format error"): the reason on one line of standard output
#   exit 2  the probe could not tell (no binutils, a temporary folder mounted noexec, ...): the
#           cause on standard error. Nothing may then be taken as a "no".
set -u
cannot_tell() {
  echo "probe-32bit: cannot tell whether this machine runs 32-bit programs: $*" >&2
  exit 2
}
work=$(mktemp -d) || cannot_tell "no temporary folder"
trap 'rm -rf "$work"' EXIT
printf '.globl _start\n_start:\n  movl $1, %%eax\n  movl $42, %%ebx\n  int $0x80\n' >"$work/probe.s"
if ! as --32 -o "$work/probe.o" "$work/probe.s" 2>"$work/error" ||
   ! ld -m elf_i386 -o "$work/probe" "$work/probe.o" 2>>"$work/error"; then
  cannot_tell "could not make the probe: $(head -n 1 "$work/error")"
fi
"$work/probe" 2>"$work/error"
status=$?
if [ $status -eq 42 ]; then
  exit 0
fi
if grep -q 'Exec format error' "$work/error"; then
  echo "this machine does not run 32-bit programs (Exec format error)"
  exit 1
fi
cannot_tell "the probe in $work ended with status $status ($(head -n 1 "$work/error")); a temporary" \
  "folder mounted noexec does this: point TMPDIR at another one"
