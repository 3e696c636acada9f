#!/usr/bin/env bash
# Measures commissioning from a plan inside lab namespaces (never in this machine's own namespace) and
# prints the figures: 50 factory-fresh devices on one default address, from `pelmora-scan --plan FILE
# --apply` to its report (devices confirmed, the span of the write datagrams the simulator received,
# the whole run), and beside it the one-by-one path measured the same way: a one-row plan applied for
# each of ONE_BY_ONE devices in turn, its mean per device times 50. Needs root. BUILD_DIR (default
# build/bench) is configured as a Release build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(realpath -m "${BUILD_DIR:-build/bench}")
devices=${DEVICES:-50}
one_by_one=${ONE_BY_ONE:-3}
lab=$root/tools/lab/pelmora-lab

[ "$(id -u)" -eq 0 ] || { echo "plan-figures: needs root (network namespaces)" >&2; exit 1; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_GUI=OFF >/dev/null
cmake --build "$build" --target pelmora-scan pelmora-sim -j "${JOBS:-2}" >/dev/null
scan=$build/bin/pelmora-scan
export PELMORA_SIM=$build/tools/simulator/pelmora-sim

work=$(mktemp -d /tmp/plan-figures.XXXXXX)
prefix=
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "$prefix" ] && "$lab" down "$prefix" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The site: factory-fresh units on 192.168.92.92 with device ID -1, MACs 02:00:00:00:20:01 up; the plan
# gives unit n 192.168.92.(100+n), device ID 5000+n and a name.
mac() { printf '02:00:00:00:20:%02X' "$1"; }
for n in $(seq "$devices"); do
  echo "mac=$(mac "$n") ip=192.168.92.92 mask=255.255.255.0 bacnet=1 id=-1 name=Unit%20\$ silence=1"
done >"$work/devices.txt"
row() { echo "$(mac "$1");192.168.92.$((100 + $1));$((5000 + $1));AHU-$1"; }
header="Unit;IP address;Device ID;Device Name"

# run NAME PLAN: applies the plan in a fresh lab; the wall time in $work/NAME.wall, the report in NAME.json.
run() {
  local name=$1 plan=$2 log="$work/$1.sim.log"
  prefix=$("$lab" up --devices 1 | tail -n1)
  "$lab" sim "$prefix" dev1 -- --devices "$work/devices.txt" --claim-addresses --lifetime 600 \
    --log "$work/$name.events" >"$log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 200); do grep -q '^READY' "$log" && break; sleep 0.05; done
  grep -q '^READY' "$log" || { echo "plan-figures: simulator not ready" >&2; cat "$log" >&2; exit 1; }
  local start end status=0
  start=$(date +%s.%N)
  "$lab" exec "$prefix" pc -- "$scan" --plan "$plan" --apply --json >"$work/$name.json" 2>"$work/$name.err" || status=$?
  end=$(date +%s.%N)
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=
  "$lab" down "$prefix" >/dev/null
  prefix=
  echo "$end - $start" | bc >"$work/$name.wall"
  echo "$status" >"$work/$name.status"
}

{ echo "$header"; for n in $(seq "$devices"); do row "$n"; done; } >"$work/site.csv"
run site "$work/site.csv"
confirmed=$(grep -o '"result": "confirmed"' "$work/site.json" | wc -l)
span=$(grep '"cmd":"write"' "$work/site.events" | grep '"dir":"in"' | grep -o '"mono_ms":[0-9.]*' | cut -d: -f2 |
  sort -n | awk 'NR == 1 { first = $1 } { last = $1 } END { printf "%.1f", (last - first) / 1000 }')
printf 'plan of %d factory-fresh devices: %d confirmed (exit %s); writes sent within %s s; whole run %.1f s (wait 20 s + 20 s = 40 s allowed)\n' \
  "$devices" "$confirmed" "$(cat "$work/site.status")" "$span" "$(cat "$work/site.wall")"

total=0
for n in $(seq "$one_by_one"); do
  { echo "$header"; row "$n"; } >"$work/one-$n.csv"
  run "one-$n" "$work/one-$n.csv"
  total=$(echo "$total + $(cat "$work/one-$n.wall")" | bc)
done
per=$(echo "scale=2; $total / $one_by_one" | bc)
printf 'one by one (one-row plans, %d measured): %.1f s per device, so %.0f s for %d devices\n' \
  "$one_by_one" "$per" "$(echo "$per * $devices" | bc)" "$devices"
