#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the tool need. Safe to run again.
#   install-deps.sh            the Linux build and its tests
#   install-deps.sh windows    the Windows cross build and its tests under Wine
set -euo pipefail
if [ "${1:-}" = windows ]; then
  packages=(cmake ninja-build python3 file g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64
    librsvg2-bin icoutils xvfb xauth nsis)
else
  packages=(
    build-essential cmake ninja-build pkg-config clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
    zlib1g-dev libmnl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    iproute2 procps python3 xvfb xauth libcap2-bin util-linux network-manager dbus
    dpkg-dev lintian desktop-file-utils appstream adduser
  )
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi
