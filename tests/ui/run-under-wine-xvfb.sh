#!/usr/bin/env bash
# run-under-wine-xvfb.sh PREFIX PROGRAM [ARGUMENT...]: a Windows test program under Wine, on an X server
# of its own, in a Wine prefix of its own (made on first use). Wine's desktop process draws on the
# display it was started with: in a prefix shared with programs run without a display (wine cmd /c exit,
# the other tests), the dialogs would go to a desktop that cannot show them and fail to be made. The
# prefix's server is stopped at the end, so no Wine process outlives the test holding ctest's pipes.
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
status=0
xvfb-run -a bash "$(dirname "$0")/../tools/wine-test.sh" "$@" </dev/null || status=$?
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
exit "$status"
