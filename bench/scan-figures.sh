#!/usr/bin/env bash
# Measures pelmora-scan inside lab namespaces (never in this machine's own namespace) and prints each
# figure: CPU share and wall time of one scan with 20 devices, devices listed with 256 answering at
# once in 10 consecutive scans, and peak memory during a flood (sent by bench/scan_flood.cpp). Needs root. BUILD_DIR (default
# build/bench) is configured as a Release build; RUNS (default 5) scans are timed for the first figures.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(realpath -m "${BUILD_DIR:-build/bench}")
runs=${RUNS:-5}
lab=$root/tools/lab/pelmora-lab

[ "$(id -u)" -eq 0 ] || { echo "scan-figures: needs root (network namespaces)" >&2; exit 1; }
command -v /usr/bin/time >/dev/null || apt-get install -y time >/dev/null

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_GUI=OFF >/dev/null
cmake --build "$build" --target pelmora-scan pelmora-sim scan-flood -j "${JOBS:-2}" >/dev/null
scan=$build/bin/pelmora-scan
export PELMORA_SIM=$build/tools/simulator/pelmora-sim

work=$(mktemp -d /tmp/scan-figures.XXXXXX)
prefixes=()
sim_pids=()
cleanup() {
  local p pid
  for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for p in "${prefixes[@]}"; do "$lab" down "$p" >/dev/null 2>&1 || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# lab_up N: a lab with N device namespaces; its prefix in $prefix.
lab_up() {
  prefix=$("$lab" up --devices "$1" | tail -n1)
  prefixes+=("$prefix")
}

# sim NODE ARGS...: the simulator in a device namespace of the current lab, started and ready.
sim() {
  local node=$1 log="$work/$prefix-$1.log"
  shift
  "$lab" sim "$prefix" "$node" -- "$@" >"$log" 2>&1 &
  sim_pids+=($!)
  for _ in $(seq 200); do
    grep -q '^READY' "$log" && return 0
    sleep 0.05
  done
  echo "scan-figures: simulator in $node not ready:" >&2
  cat "$log" >&2
  exit 1
}

in_pc() { "$lab" exec "$prefix" pc -- "$@"; }

# One scan in the PC namespace: "wall user sys" in $work/time from bash's getrusage-based timing (its
# millisecond CPU figures include the ~1 ms of /usr/bin/time, which gives the peak resident set in
# $work/rss, KiB).
timed_scan() {
  # shellcheck disable=SC2016  # expanded by the inner shell
  in_pc bash -c 'TIMEFORMAT="%3R %3U %3S"; { time /usr/bin/time -o "$1.rss" -f %M "${@:2}"; } 2>"$1"' \
    _ "$work/time" "$scan" "$@"
  sed -i -n '$p' "$work/time"
  mv "$work/time.rss" "$work/rss"
}

udp_counters() { in_pc cat /proc/net/snmp | awk '/^Udp:/ { if (++n == 2) print "in=" $2, "rcvbuf_errors=" $6 }'; }

echo "== one scan, 20 devices ($runs runs; targets: CPU <= 2% of wall, wall 4.000 s + <= 0.050 s)"
lab_up 1
sim dev1 --generate 20 --log /dev/null
for ((i = 1; i <= runs; i++)); do
  rows=$(timed_scan | tail -n +2 | wc -l)
  read -r wall user sys <"$work/time"
  read -r rss <"$work/rss"
  awk -v w="$wall" -v u="$user" -v s="$sys" -v r="$rows" -v m="$rss" \
    'BEGIN { printf "run %d: rows %d  wall %.3f s  cpu %.3f s (user %.3f + sys %.3f)  cpu/wall %.2f%%  maxrss %d KiB\n", '"$i"', r, w, u + s, u, s, 100 * (u + s) / w, m }'
done
"$lab" down "$prefix" >/dev/null

echo "== 256 devices answering at once, 10 consecutive scans (target: 256 listed every time)"
lab_up 1
sim dev1 --generate 256 --shuffle --log /dev/null
counts=()
for ((i = 1; i <= 10; i++)); do
  counts+=("$(in_pc "$scan" --json | grep -c '"Unit"')")
done
echo "listed: ${counts[*]}"
udp_counters
"$lab" down "$prefix" >/dev/null

echo "== flood: 100 000 malformed datagrams and 10 000 distinct MACs during one scan (scan-flood, bursts of 200)"
lab_up 1
flood_log="$work/flood.log"
"$lab" exec "$prefix" dev1 -- "$build/bench/scan-flood" 100000 10000 200 1000 >"$flood_log" 2>&1 &
sim_pids+=($!)
for _ in $(seq 200); do grep -q '^READY' "$flood_log" && break; sleep 0.05; done
grep -q '^READY' "$flood_log" || { echo "scan-flood not ready:" >&2; cat "$flood_log" >&2; exit 1; }
before=$(udp_counters)
status=0
rows=$(timed_scan --json | grep -c '"Unit"') || status=$?
read -r wall user sys <"$work/time"
read -r rss <"$work/rss"
echo "exit status $status, rows listed $rows, wall ${wall} s, cpu $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }') s, peak resident ${rss} KiB"
echo "sender: $(grep '^SENT' "$flood_log" || echo 'did not finish')"
echo "PC namespace UDP counters before: $before"
echo "PC namespace UDP counters after:  $(udp_counters)  (rcvbuf_errors: datagrams dropped at a full socket)"
