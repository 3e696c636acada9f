#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the tool need. Safe to run again.
#   install-deps.sh            the Linux build and its tests
#   install-deps.sh windows    the Windows cross build and its tests under Wine
set -euo pipefail
if [ "${1:-}" = windows ]; then
  packages=(cmake ninja-build python3 file g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64
    librsvg2-bin icoutils xvfb xauth nsis osslsigncode openssl)
else
  packages=(
    build-essential cmake ninja-build pkg-config clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
    zlib1g-dev libmnl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    iproute2 procps python3 xvfb xauth libcap2-bin util-linux network-manager dbus at-spi2-core python3-pyatspi
    dpkg-dev lintian desktop-file-utils appstream adduser
    libreoffice-calc-nogui  # the CSV formula test reads the list as a spreadsheet does
  )
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # NetworkManager is for the tests, which run a daemon of their own in a lab namespace. Installed here it
  # must not start on this machine and take over its interfaces: no service starts during the install
  # (policy-rc.d, unless the machine has one already), and it is not enabled to start at boot.
  hold=""
  if [[ " ${missing[*]} " == *" network-manager "* ]] && [ ! -e /usr/sbin/policy-rc.d ]; then
    hold=yes
    trap '$sudo rm -f /usr/sbin/policy-rc.d' EXIT
    printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
    $sudo chmod 755 /usr/sbin/policy-rc.d
  fi
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
  if [[ " ${missing[*]} " == *" network-manager "* ]]; then
    if [ -d /run/systemd/system ]; then
      $sudo systemctl disable NetworkManager.service NetworkManager-wait-online.service \
        NetworkManager-dispatcher.service ||
        echo "install-deps.sh: warning: NetworkManager is still enabled and will start at the next boot" >&2
    elif [ -x /etc/init.d/network-manager ]; then
      $sudo update-rc.d network-manager disable >/dev/null 2>&1 ||
        echo "install-deps.sh: warning: NetworkManager's init script is still enabled" >&2
    fi
  fi
  if [ -n "$hold" ]; then
    $sudo rm -f /usr/sbin/policy-rc.d
    trap - EXIT
  fi
fi
