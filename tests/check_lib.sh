# Sourced by the check scripts in tests/: one "ok:" or "FAIL:" line per check, and their count.
#   pass WHAT, fail WHAT     report one check
#   check WHAT COMMAND...    passes when COMMAND succeeds
#   finish MESSAGE           exits with 1 after any failure, else prints MESSAGE
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
finish() {
  [ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
  echo "$1"
}
