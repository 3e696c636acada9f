#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's mingw-w64 into build/windows: the toolkit-free core,
# the Windows platform layer, build/windows/bin/pelmora-scan.exe and the unit tests (run them with
# scripts/windows-tests.sh). The programs link their runtime statically and import system DLLs only.
# Then what a technician downloads: build/windows/pelmora-config-<version>-win64.zip and the installer
# build/windows/pelmora-config-<version>-setup.exe.
# Installs what it needs; safe to run again (the build is incremental).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh windows

build=build/windows
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMORA_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
ls "$build"/bin/*.exe "$build"/pelmora-config-*-win64.zip "$build"/pelmora-config-*-setup.exe 2>/dev/null || true
