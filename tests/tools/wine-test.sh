#!/usr/bin/env bash
# Runs one Windows test program through Wine for ctest (the test targets' cross-compiling emulator).
# A test program prints and flushes a line before its first test, so a failure with no output at all is
# Wine failing to start the program, or the program dying before main: seen once, on a loaded CI machine,
# as a failure after 0.02 s with nothing printed. Such a run is tried once more with Wine's error
# messages shown, and says so; a failure after any output is the test's own and is not repeated.
#   wine-test.sh program.exe [arguments...]
set -uo pipefail
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" >"$out" 2>&1
status=$?
cat "$out"
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
  echo "wine-test.sh: ${1##*/} ended with status $status before printing anything; once more, with Wine's errors shown"
  WINEDEBUG=-all,err+all wine "$@"
  status=$?
fi
exit "$status"
