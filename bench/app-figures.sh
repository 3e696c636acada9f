#!/usr/bin/env bash
# Figures of pelmora-config, measured inside a lab (needs root; nothing runs in this machine's network):
#  - start-up: process start to the main window's first paint after it was exposed (bench/app_startup.cpp,
#    the program's own start-up path, 20 runs, median), on the offscreen platform and on an X server
#    (Xvfb, started here on a free display);
#  - memory: peak resident set (VmHWM) of the built program on the offscreen platform with 256 simulated
#    devices listed, read 7 s after its start (the first scan ends after 4.25 s), then SIGTERM.
# PELMORA_BUILD_DIR chooses the build folder (default build/release, RelWithDebInfo).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${PELMORA_BUILD_DIR:-build/release}
case $build in /*) ;; *) build=$root/$build ;; esac

if [ "${1:-}" = --in-lab ]; then
  [ -n "${PELMORA_LAB_PREFIX:-}" ] || { echo "app-figures.sh: --in-lab runs only inside a lab" >&2; exit 1; }
  echo "== start-up, offscreen"
  env QT_QPA_PLATFORM=offscreen "$build/bench/app_startup" 20 | tail -n 1
  echo "== start-up, X server (Xvfb $2)"
  env DISPLAY="$2" QT_QPA_PLATFORM=xcb "$build/bench/app_startup" 20 | tail -n 1
  echo "== memory, 256 devices, offscreen"
  env QT_QPA_PLATFORM=offscreen "$build/bin/pelmora-config" &
  pid=$!
  sleep 7
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  echo "peak resident memory with 256 devices listed: $((hwm / 1024)) MiB ($hwm kB); exit status after SIGTERM $status"
  exit 0
fi

[ "$(id -u)" -eq 0 ] || { echo "app-figures.sh: needs root for the lab; run it with sudo" >&2; exit 1; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target pelmora-config pelmora-sim app_startup

display_file=$(mktemp)
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
display=":$(head -n 1 "$display_file")"

PELMORA_SIM="$build/tools/simulator/pelmora-sim" tools/lab/pelmora-lab run --devices 1 --extra 1 \
  --sim --sim-arg --generate --sim-arg 256 --sim-arg --lifetime --sim-arg 300 --sim-arg --log --sim-arg /dev/null \
  -- env PELMORA_BUILD_DIR="$build" bash "$root/bench/app-figures.sh" --in-lab "$display"
