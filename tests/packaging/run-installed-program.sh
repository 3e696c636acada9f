#!/usr/bin/env bash
# In a lab's PC namespace: the installed program as nobody with netdev as its only group and no
# capability of its own. Its temporary address must show on the lab's spare adapter while it runs and be
# gone after SIGTERM.
#   run-installed-program.sh NETDEV_GID RUNTIME_DIR
set -uo pipefail
netdev_gid=$1 runtime_dir=$2
spare=${PELMORA_LAB_PREFIX:?run it through pelmora-lab}x1
temporary() { ip -4 -o address show dev "$spare" | grep -oE 'inet 10(\.[0-9]+){3}/24'; }

setpriv --reuid=65534 --regid=65534 --groups="$netdev_gid" \
  env -i PATH=/usr/bin:/bin HOME=/nonexistent XDG_RUNTIME_DIR="$runtime_dir" QT_QPA_PLATFORM=offscreen \
  /usr/bin/pelmora-config &
program=$!
for _ in $(seq 300); do
  temporary >/dev/null && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done

status=0
if address=$(temporary); then
  echo "temporary address while it runs: $address"
else
  echo "FAIL: no 10.x.y.z/24 address on $spare while the program runs" >&2
  status=1
fi
if ! grep -q '^CapEff:[[:space:]]*0*$' "/proc/$program/status" 2>/dev/null; then
  echo "FAIL: the program runs with capabilities of its own, or ended early" >&2
  status=1
fi
kill -TERM "$program" 2>/dev/null
wait "$program" || { echo "FAIL: the program ended with status $? after SIGTERM" >&2; status=1; }
for _ in $(seq 50); do
  temporary >/dev/null || break
  sleep 0.1
done
if temporary >/dev/null; then
  echo "FAIL: $(temporary) still on $spare after the program ended" >&2
  status=1
fi
exit "$status"
