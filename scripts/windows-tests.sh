#!/usr/bin/env bash
# Runs the Windows build's unit tests (build/windows, made by scripts/build-windows.sh) through Wine.
# The Wine prefix build/windows/wine-prefix is made once and kept; the end-to-end test of the Linux suite
# copies it. As root, the tests run in a network namespace of their own with nothing but loopback.
#   bash scripts/windows-tests.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
export build=build/windows
[ -f "$build/CTestTestfile.cmake" ] || { echo "windows-tests.sh: run scripts/build-windows.sh first" >&2; exit 1; }

export WINEPREFIX=$PWD/$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
run() {
  # Wine's service processes outlive the program that started them; started here, outside ctest, they
  # hold none of its output pipes, which ctest would otherwise wait on for ever.
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
  status=0
  # Programs that Wine did not start the first time (tests/tools/wine-test.sh): said even when the rerun passed.
  export PELMORA_WINE_RETRY_LOG=$PWD/$build/wine-retries.log
  rm -f "$PELMORA_WINE_RETRY_LOG"
  ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
  if [ -s "$PELMORA_WINE_RETRY_LOG" ]; then
    echo "windows-tests.sh: run a second time because Wine did not start them the first:"
    cat "$PELMORA_WINE_RETRY_LOG"
  fi
  wineserver -k || true
  wineserver -w || true
  return "$status"
}
if [ "$(id -u)" -eq 0 ]; then
  export -f run
  exec unshare --net bash -c 'ip link set lo up && run "$@"' bash "$@"
fi
run "$@"
