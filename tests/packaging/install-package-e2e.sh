#!/usr/bin/env bash
# Installs the package with dpkg, runs the installed program as an unprivileged member of netdev in a
# lab and checks that it gets its temporary address through the installed helper and loses it when it
# ends, then purges the package and checks that nothing of it is left. Purges on every way out, and
# refuses to run where a pelmora-config it did not install is present. Needs root.
#   install-package-e2e.sh DEB LAB_TOOL
set -uo pipefail
deb=$1 lab=$2
package=pelmora-config
helper=/usr/libexec/pelmora-config/pelmora-net-helper

[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root (dpkg -i and network namespaces)"; exit 77; }
[ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || { echo "FAIL: $deb is not the $package package" >&2; exit 1; }
status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)
case $status in
  "" | *" not-installed") ;;
  *) echo "FAIL: $package is on this machine already ($status); not touching it" >&2; exit 1 ;;
esac

installed=0
made_group=0
getent group netdev >/dev/null || made_group=1
runtime=$(mktemp -d)
chown 65534:65534 "$runtime"
cleanup() {
  rm -rf "$runtime"
  if ((installed)); then dpkg --purge "$package" >/dev/null 2>&1 || echo "FAIL: dpkg --purge failed" >&2; fi
  # The postinst made netdev for this test only; the machine gets back its groups as they were.
  if ((made_group)) && getent group netdev >/dev/null; then groupdel netdev; fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

installed=1
dpkg -i "$deb" || { fail "dpkg -i $deb"; exit 1; }

if [ -f "$helper" ]; then
  [ "$(stat -c '%U:%G %a' "$helper")" = "root:netdev 750" ] ||
    fail "helper is $(stat -c '%U:%G %a' "$helper"), not root:netdev 750"
  getcap "$helper" | grep -q ' cap_net_admin=ep$' || fail "helper capabilities: '$(getcap "$helper")'"
else
  fail "helper not in package ($helper)"
fi

# In the lab's PC namespace: the program as nobody with netdev as its only group, no capability of its
# own; the temporary address must show on the spare adapter while it runs and be gone after SIGTERM.
gid=$(getent group netdev | cut -d: -f3)
timeout 180 "$lab" run --devices 0 --extra 1 -- bash -c '
  spare=${PELMORA_LAB_PREFIX}x1
  temporary() { ip -4 -o address show dev "$spare" | grep -oE "inet 10(\.[0-9]+){3}/24"; }
  setpriv --reuid=65534 --regid=65534 --groups="$1" \
    env -i PATH=/usr/bin:/bin HOME=/nonexistent XDG_RUNTIME_DIR="$2" QT_QPA_PLATFORM=offscreen \
    /usr/bin/pelmora-config &
  program=$!
  for _ in $(seq 300); do temporary >/dev/null && break; kill -0 $program 2>/dev/null || break; sleep 0.1; done
  status=0
  if address=$(temporary); then
    echo "temporary address while it runs: $address"
  else
    echo "FAIL: no 10.x.y.z/24 address on $spare while the program runs" >&2; status=1
  fi
  grep -q "^CapEff:[[:space:]]*0*$" /proc/$program/status 2>/dev/null ||
    { echo "FAIL: the program runs with capabilities of its own (or ended early)" >&2; status=1; }
  kill -TERM $program 2>/dev/null
  wait $program || { echo "FAIL: the program ended with status $? after SIGTERM" >&2; status=1; }
  for _ in $(seq 50); do temporary >/dev/null || break; sleep 0.1; done
  ! temporary >/dev/null || { echo "FAIL: $(temporary) still on $spare after the program ended" >&2; status=1; }
  exit $status
 lab-run "$gid" "$runtime" || fail "the installed program in the lab"

mapfile -t files < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./|/|; /[^/]$/p')
dpkg --purge "$package" || fail "dpkg --purge"
installed=0
[ -z "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -v ' not-installed$')" ] ||
  fail "$package still known to dpkg after the purge"
for path in "${files[@]}" /usr/libexec/pelmora-config /usr/share/doc/pelmora-config; do
  [ ! -e "$path" ] || fail "$path left after the purge"
done

((failed == 0)) && echo "installed, used through the helper by a member of netdev, purged without a trace"
exit "$failed"
