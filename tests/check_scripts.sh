#!/usr/bin/env bash
# Checks the build scripts' answers to what a machine may do to them, with the tools they call
# (as, ld, apt-get, dpkg) replaced by stand-ins on PATH: the 32-bit probe says "no" only for
# "Exec format error" and stops with a message on any other failure; install-deps.sh asks apt
# never to remove a package, adds the i386 architecture only where the probe passes, and stops
# where the probe cannot tell. Runs on any Linux machine. Usage: check_scripts.sh
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/check_lib.sh"

# Stand-ins. FAKE_PROBE picks what the "assembled" probe does when run.
fakes=$scratch/bin log=$scratch/log
mkdir -p "$fakes"
cat >"$fakes/as" <<'FAKE'
#!/bin/sh
[ "$FAKE_PROBE" != unbuildable ] || { echo "as: cannot assemble" >&2; exit 1; }
: >"$3"
FAKE
cat >"$fakes/ld" <<'FAKE'
#!/bin/sh
case $FAKE_PROBE in
  runs)    printf '#!/bin/sh\nexit 42\n' >"$4"; chmod +x "$4" ;;
  other)   printf '#!/bin/sh\nexit 3\n' >"$4"; chmod +x "$4" ;;
  refused) printf 'ELF\000\001' >"$4"; chmod +x "$4" ;;      # the kernel's refusal, as the shell reports it
  noexec)  printf '#!/bin/sh\nexit 42\n' >"$4"; chmod -x "$4" ;; # as from a noexec folder: Permission denied
esac
FAKE
cat >"$fakes/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_LOG"
FAKE
cat >"$fakes/dpkg" <<'FAKE'
#!/bin/sh
[ "$1" = --print-foreign-architectures ] || echo "dpkg $*" >>"$FAKE_LOG"
FAKE
printf '#!/bin/sh\nexit 1\n' >"$fakes/dpkg-query" # nothing is installed
printf '#!/bin/sh\necho 0\n' >"$fakes/id"          # as root
chmod +x "$fakes"/*
fake() { FAKE_PROBE=$1 FAKE_LOG=$log PATH="$fakes:$PATH" "${@:2}"; }

echo "== probe-32bit.sh"
while read -r probe expected message; do
  out=$(fake "$probe" "$here/scripts/probe-32bit.sh" 2>"$scratch/stderr")
  status=$?
  err=$(cat "$scratch/stderr")
  check "$probe: exit status $expected (was $status)" [ "$status" = "$expected" ]
  check "$probe: says '$message': ${out}${err}" grep -q "$message" <<<"${out}${err}"
done <<'CASES'
runs        0
refused     1 does not run 32-bit programs (Exec format error)
noexec      2 cannot tell .* Permission denied
other       2 cannot tell .* status 3
unbuildable 2 cannot tell .* could not make the probe: as: cannot assemble
CASES

echo "== install-deps.sh"
while read -r probe expected adds_i386; do
  : >"$log"
  out=$(fake "$probe" "$here/scripts/install-deps.sh" 2>&1)
  status=$?
  check "$probe: exit status $expected (was $status): $out" [ "$status" = "$expected" ]
  installs=$(grep '^apt-get install' "$log")
  check "$probe: apt installs with --no-remove: $(echo $installs)" \
    eval '[ -n "$installs" ] && ! grep -v -- " --no-remove " <<<"$installs"'
  if [ "$adds_i386" = yes ]; then
    check "$probe: adds the i386 architecture, then 32-bit Wine" \
      eval 'grep -q "^dpkg --add-architecture i386$" "$log" && grep -q "^apt-get install .*wine32:i386" "$log"'
  else
    check "$probe: no i386 architecture, no 32-bit Wine" eval '! grep -q "i386" "$log"'
  fi
done <<'CASES'
runs        0 yes
refused     0 no
noexec      1 no
CASES

finish "all script checks passed"
