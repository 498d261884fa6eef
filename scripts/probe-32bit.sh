#!/usr/bin/env bash
# Tells whether this machine runs 32-bit x86 programs: some kernels run them, others refuse
# them with "Exec format error". Assembles a three-instruction i386 Linux program that exits
# with 42 (binutils only) and runs it. Exit 0 when it ran; otherwise exit 1 with the reason on
# one line of standard output.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '.globl _start\n_start:\n  movl $1, %%eax\n  movl $42, %%ebx\n  int $0x80\n' >"$work/probe.s"
if ! as --32 -o "$work/probe.o" "$work/probe.s" 2>"$work/error" ||
   ! ld -m elf_i386 -o "$work/probe" "$work/probe.o" 2>>"$work/error"; then
  echo "could not make the 32-bit probe: $(head -n 1 "$work/error")"
  exit 1
fi
"$work/probe" 2>"$work/error"
status=$?
if [ $status -eq 42 ]; then
  exit 0
fi
reason=$(sed -n 's/.*: \([^:]*\)$/\1/p' "$work/error" | head -n 1)
echo "this machine does not run 32-bit programs (${reason:-exit status $status})"
exit 1
