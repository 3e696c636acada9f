#!/usr/bin/env bash
# Before and after the end-to-end tests: the machine's own interfaces must be as they were, and no lab
# that a test made may be left behind.
#   lab_state.sh record STATE REGISTRY
#   lab_state.sh check STATE REGISTRY LAB_TOOL
set -euo pipefail

link_names() { ip -o link show | awk -F': ' '{print $2}' | sed 's/@.*//' | sort; }
lab_namespaces() { ip netns list 2>/dev/null | awk '{print $1}' | grep -E '^plm[0-9a-f]{5}-' | sort || true; }

mode=$1 state=$2 registry=$3
case $mode in
  record)
    { echo "# links"; link_names; echo "# namespaces"; lab_namespaces; } >"$state"
    : >"$registry"
    ;;
  check)
    tool=$4
    [ -f "$state" ] || { echo "no recorded state in $state" >&2; exit 1; }
    failed=0
    before_links=$(sed -n '/^# links$/,/^# namespaces$/p' "$state" | grep -v '^#' || true)
    now_links=$(link_names)
    if [ "$before_links" != "$now_links" ]; then
      echo "FAIL: the machine's interfaces changed during the tests:" >&2
      diff <(echo "$before_links") <(echo "$now_links") >&2 || true
      failed=1
    fi
    mapfile -t registered < <(sort -u "$registry")
    for prefix in "${registered[@]}"; do
      [ -n "$prefix" ] || continue
      left=$(lab_namespaces | grep "^$prefix-" || true)
      if [ -n "$left" ]; then
        echo "FAIL: lab $prefix was left behind: ${left//$'\n'/ }" >&2
        failed=1
        [ "$(id -u)" -ne 0 ] || "$tool" down "$prefix" >&2 || true
      fi
    done
    before_ns=$(sed -n '/^# namespaces$/,$p' "$state" | grep -v '^#' || true)
    for ns in $(lab_namespaces); do
      prefix=${ns%%-*}
      if ! grep -qx "$ns" <<<"$before_ns" && ! printf '%s\n' "${registered[@]}" | grep -qx "$prefix"; then
        echo "note: namespace $ns belongs to no test of this run (another run at the same time?)" >&2
      fi
    done
    ((failed == 0)) && echo "nothing left behind (${#registered[@]} labs made and removed)"
    exit "$failed"
    ;;
  *) echo "usage: $0 record|check STATE REGISTRY [LAB_TOOL]" >&2; exit 2 ;;
esac
