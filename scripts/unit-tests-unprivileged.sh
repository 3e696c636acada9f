#!/usr/bin/env bash
# Runs the unit suite (every test without the e2e label) as an unprivileged user (nobody) in a network
# namespace of its own that has nothing but loopback: the proof that none of those tests needs root or a
# network. Needs root to make the namespace and to hand the build tree to that user for the run (ctest
# and the screenshot tests write into it); ownership is given back on every way out.
#   bash scripts/unit-tests-unprivileged.sh [BUILD_DIR] [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
[ "$(id -u)" -eq 0 ] || { echo "unit-tests-unprivileged.sh: needs root (namespace and user switch)" >&2; exit 1; }
[ -f "$build/CTestTestfile.cmake" ] || { echo "unit-tests-unprivileged.sh: $build is not a configured build tree" >&2; exit 1; }

owner=$(stat -c %u:%g "$build")
home=$(mktemp -d)
opened=()
restore() {
  chown -R "$owner" "$build"
  rm -rf "$home"
  for dir in "${opened[@]}"; do chmod o-x "$dir"; done
}
trap restore EXIT
# A checkout under a folder only its owner may enter (mktemp -d makes such folders) is out of that
# user's reach: each such folder above the tree is made passable (o+x, not readable) for the run.
dir=$(realpath "$build")
while [ "$dir" != / ]; do
  dir=$(dirname "$dir")
  if ! setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$dir"; then
    chmod o+x "$dir"
    opened+=("$dir")
  fi
done
chown -R 65534:65534 "$build" "$home"

unshare --net bash -c '
  ip link set lo up
  home=$1 build=$2
  shift 2
  exec setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all --bounding-set=-all -- \
    env HOME="$home" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen CTEST_OUTPUT_ON_FAILURE=1 \
    ctest --test-dir "$build" -LE e2e "$@"
' bash "$home" "$build" "$@"
