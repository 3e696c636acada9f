#!/usr/bin/env bash
# Runs a test program where a screen reader would find it: on an X server of its own (Xvfb, on a display
# the server picks itself, so that parallel runs never meet) and in a D-Bus session of its own whose
# accessibility bus is up before the program starts; Qt on xcb with its accessibility bridge on. A listing
# of the tests (--gtest_list_tests) runs as it is.
#   screen-reader-session.sh PROGRAM [ARGUMENT...]
set -euo pipefail
for argument in "$@"; do
  if [ "$argument" = --gtest_list_tests ]; then exec "$@"; fi
done

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "screen-reader-session.sh: Xvfb did not start" >&2; exit 1; }

status=0
DISPLAY=":$(head -n1 "$display_file")" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  dbus-run-session -- sh -c \
  'dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null; "$@"' \
  sh "$@" || status=$?
exit "$status"
