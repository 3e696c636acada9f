#!/usr/bin/env bash
# The package's postinst, run in a private mount namespace over copies: /etc (so groups made here stay
# here), /usr/libexec (an overlay) and dpkg's statoverride list (DPKG_ADMINDIR). Needs root.
#   postinst-test.sh POSTINST
set -uo pipefail
postinst=$(realpath "$1")
helper_dir=/usr/libexec/pelmora-config
helper=$helper_dir/pelmora-net-helper

if [ -z "${PELMORA_POSTINST_WORK:-}" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root (a private mount namespace)"; exit 77; }
  PELMORA_POSTINST_WORK=$(mktemp -d) || exit 1
  export PELMORA_POSTINST_WORK
  unshare --mount --propagation private "$0" "$@"
  status=$?
  rmdir "$PELMORA_POSTINST_WORK"
  exit "$status"
fi

work=$PELMORA_POSTINST_WORK
mount -t tmpfs tmpfs "$work" || exit 1
cp -a /etc "$work/etc" && mount --bind "$work/etc" /etc || exit 1
mkdir "$work/upper" "$work/overlay-work" "$work/dpkg"
mount -t overlay overlay -o "lowerdir=/usr/libexec,upperdir=$work/upper,workdir=$work/overlay-work" /usr/libexec ||
  exit 1
export DPKG_ADMINDIR=$work/dpkg
: >"$DPKG_ADMINDIR/statoverride"
! getent group netdev >/dev/null || groupdel netdev || exit 1

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
configure() { sh "$postinst" configure >"$work/out" 2>&1; }
expect() { # owner:group mode capability-text
  local shown
  shown="$(stat -c '%U:%G %a' "$helper") $(getcap "$helper" | awk '{print $2}')"
  [ "$shown" = "$*" ] || fail "helper: expected '$*', found '$shown'"
}

# A fresh install: the group made once, as a system group; a second run changes nothing.
mkdir -p "$helper_dir" && printf 'helper' >"$helper" && chmod 0755 "$helper"
configure || fail "first run: $(cat "$work/out")"
configure || fail "second run: $(cat "$work/out")"
[ "$(grep -c '^netdev:' /etc/group)" = 1 ] || fail "netdev not made exactly once"
gid=$(getent group netdev | cut -d: -f3)
((gid > 0 && gid < 1000)) || fail "netdev is no system group (gid $gid)"
expect root:netdev 750 cap_net_admin=ep

# An administrator's override keeps its owner and mode; the capability is still given.
chown root:adm "$helper" && chmod 0750 "$helper"
echo "root adm 0750 $helper" >"$DPKG_ADMINDIR/statoverride"
configure || fail "with an override: $(cat "$work/out")"
expect root:adm 750 cap_net_admin=ep

# An override that lets others run it: a warning, and no capability, not even one set before.
chown root:root "$helper" && chmod 0755 "$helper" && setcap cap_net_admin=ep "$helper"
echo "root root 0755 $helper" >"$DPKG_ADMINDIR/statoverride"
configure || fail "with an override for everyone: $(cat "$work/out")"
grep -q 'warning: .* executable by every user' "$work/out" || fail "no warning for o+x: $(cat "$work/out")"
expect root:root 755 ""
: >"$DPKG_ADMINDIR/statoverride"

# A file system without capabilities: a warning, the group's rights, never setuid.
mount -t ramfs ramfs "$helper_dir" && printf 'helper' >"$helper" && chmod 0755 "$helper"
configure || fail "when setcap fails: $(cat "$work/out")"
grep -q 'warning: setcap' "$work/out" || fail "no warning when setcap fails: $(cat "$work/out")"
expect root:netdev 750 ""

# No helper in the package: a warning, still success.
rm "$helper"
configure || fail "without the helper: $(cat "$work/out")"
grep -q "warning: $helper is missing" "$work/out" || fail "no warning without the helper: $(cat "$work/out")"

((failed == 0)) && echo "postinst: group, owner, mode, capability, override and both warnings as expected"
exit "$failed"
