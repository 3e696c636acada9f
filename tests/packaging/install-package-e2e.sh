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
# shellcheck disable=SC2317  # called by the trap
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

# The program in the lab's PC namespace, with no devices and one spare adapter.
gid=$(getent group netdev | cut -d: -f3)
timeout 180 "$lab" run --devices 0 --extra 1 -- "$(dirname "$0")/run-installed-program.sh" "$gid" "$runtime" \
  || fail "the installed program in the lab"

mapfile -t files < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./|/|; /[^/]$/p')
dpkg --purge "$package" || fail "dpkg --purge"
installed=0
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -qv ' not-installed$'; then
  fail "$package still known to dpkg after the purge"
fi
for path in "${files[@]}" /usr/libexec/pelmora-config /usr/share/doc/pelmora-config; do
  [ ! -e "$path" ] || fail "$path left after the purge"
done

((failed == 0)) && echo "installed, used through the helper by a member of netdev, purged without a trace"
exit "$failed"
