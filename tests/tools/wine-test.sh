#!/usr/bin/env bash
# Runs one Windows test program through Wine for ctest (the test targets' cross-compiling emulator).
# A test program prints and flushes a line before its first test, so a failure with no output at all is
# Wine failing to start the program, or the program dying before main: seen once, on a loaded CI machine,
# as a failure after 0.02 s with nothing printed. Such a run is tried once more with Wine's error
# messages shown, and says so, also in PELMORA_WINE_RETRY_LOG where that is set; a failure after any
# output is the test's own and is not repeated.
#   wine-test.sh program.exe [arguments...]
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: wine-test.sh program.exe [arguments...]" >&2; exit 2; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# Shown as it comes, so that a test that hangs until ctest's time-out is still named.
wine "$@" 2>&1 | tee "$out"
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
  notice="wine-test.sh: ${1##*/} ended with status $status before printing anything; run once more"
  echo "$notice, with Wine's errors shown"
  [ -z "${PELMORA_WINE_RETRY_LOG:-}" ] || echo "$notice" >>"$PELMORA_WINE_RETRY_LOG"
  WINEDEBUG=-all,err+all wine "$@"
  status=$?
fi
exit "$status"
