#!/usr/bin/env bash
# Tries the configuration tool without hardware: builds it and the device simulator, brings up a lab of
# network namespaces (tools/lab/pelmora-lab) with three simulated devices (tools/lab/demo-devices.txt:
# one with BACnet, one without, one on a foreign subnet) and one Ethernet adapter without an address,
# and starts the program in the lab's PC namespace on this display, as the calling user without any
# capability, with a copy of the network helper that holds cap_net_admin=ep. The lab goes when the
# program ends. Nothing touches this machine's own network. Needs root for the namespaces and the file
# capability (asks through sudo).
#
# The display: X11's sockets are files under /tmp/.X11-unix, which a program in another network
# namespace still reaches, so a local DISPLAY such as :0 works; DISPLAY=host:N (TCP, e.g. ssh -X) does
# not. PELMORA_BUILD_DIR chooses the build folder (default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

die() { echo "try-in-lab.sh: $*" >&2; exit 1; }

case ${DISPLAY:-} in
  "") die "no display: DISPLAY is not set" ;;
  :* | unix:*) ;;
  *) die "DISPLAY=$DISPLAY goes over the network, which the lab's namespace cannot reach; use a local display" ;;
esac
display_number=${DISPLAY#unix}
display_number=${display_number#:}
display_number=${display_number%%.*}
[ -S "/tmp/.X11-unix/X$display_number" ] || die "no X11 socket /tmp/.X11-unix/X$display_number for DISPLAY=$DISPLAY"

bash scripts/install-deps.sh
build=${PELMORA_BUILD_DIR:-build/release}
case $build in /*) ;; *) build=$root/$build ;; esac
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target pelmora-config pelmora-net-helper pelmora-sim

user_id=$(id -u)
group_id=$(id -g)
sudo=()
[ "$user_id" -eq 0 ] || sudo=(sudo)

# The program runs as the user who started this script, with no capability at all. Beside a copy of
# it, laid out as the package installs them, a copy of the network helper holds cap_net_admin=ep and
# puts the temporary address on the lab's spare adapter. The copies go when the script ends.
copy=$("${sudo[@]}" mktemp -d /tmp/pelmora-try.XXXXXX)
trap '"${sudo[@]}" rm -rf "$copy"' EXIT
"${sudo[@]}" install -d -m 0755 "$copy/bin" "$copy/libexec/pelmora-config"
"${sudo[@]}" install -m 0755 "$build/bin/pelmora-config" "$copy/bin/"
"${sudo[@]}" install -m 0755 "$build/libexec/pelmora-config/pelmora-net-helper" "$copy/libexec/pelmora-config/"
"${sudo[@]}" setcap cap_net_admin=ep "$copy/libexec/pelmora-config/pelmora-net-helper"
"${sudo[@]}" chmod 0755 "$copy"

xauthority=${XAUTHORITY:-$HOME/.Xauthority}
program=(env DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb "$copy/bin/pelmora-config")
[ ! -r "$xauthority" ] || program=(env XAUTHORITY="$xauthority" "${program[@]}")
if [ "$user_id" -ne 0 ]; then
  program=(setpriv --reuid="$user_id" --regid="$group_id" --init-groups --inh-caps=-all -- "${program[@]}")
fi

echo "try-in-lab.sh: starting the lab; close the program's window (or press Ctrl+C) to end it" >&2
status=0
"${sudo[@]}" env PELMORA_SIM="$build/tools/simulator/pelmora-sim" "$root/tools/lab/pelmora-lab" run \
  --devices 1 --extra 1 --sim \
  --sim-arg --devices --sim-arg "$root/tools/lab/demo-devices.txt" --sim-arg --lifetime --sim-arg 3600 \
  -- "${program[@]}" || status=$?
exit "$status"
