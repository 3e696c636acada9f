#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's mingw-w64 into build/windows: the toolkit-free core,
# the Windows platform layer, build/windows/bin/pelmora-scan.exe and the unit tests (run them with
# scripts/windows-tests.sh). The programs link their runtime statically; they import only KnownDLLs and
# delay-load the other system DLLs (cmake/WindowsSafety.cmake).
# Then what a technician downloads: build/windows/pelmora-config-<version>-win64.zip and the installer
# build/windows/pelmora-config-<version>-setup.exe.
# Signs the programs (the zip's and installer's copies with them), the installer and its uninstaller when
# given a certificate and its key (scripts/sign-windows.sh):
#   PELMORA_SIGN_CERT=cert.pem PELMORA_SIGN_KEY=key.pem [PELMORA_SIGN_PASSWORD_FILE=file]
#   [PELMORA_SIGN_TIMESTAMP=url] bash scripts/build-windows.sh
# Without them it builds unsigned and says so.
# Installs what it needs; safe to run again (the build is incremental).
set -euo pipefail
absolute() { [ -z "$1" ] || realpath "$1"; }
sign_cert=$(absolute "${PELMORA_SIGN_CERT:-}") sign_key=$(absolute "${PELMORA_SIGN_KEY:-}")
sign_password=$(absolute "${PELMORA_SIGN_PASSWORD_FILE:-}")
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh windows

build=build/windows
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMORA_WERROR=ON "${launcher[@]}" \
  -DPELMORA_SIGN_CERT="$sign_cert" -DPELMORA_SIGN_KEY="$sign_key" -DPELMORA_SIGN_PASSWORD_FILE="$sign_password" \
  -DPELMORA_SIGN_TIMESTAMP="${PELMORA_SIGN_TIMESTAMP:-}" >/dev/null
cmake --build "$build" -j "$(nproc)"
if [ -n "$sign_cert" ] && [ -n "$sign_key" ]; then
  echo "build-windows.sh: programs, zip and installer signed with $sign_cert"
else
  echo "build-windows.sh: UNSIGNED (set PELMORA_SIGN_CERT and PELMORA_SIGN_KEY to sign)"
fi
ls "$build"/bin/*.exe "$build"/pelmora-config-*-win64.zip "$build"/pelmora-config-*-setup.exe 2>/dev/null || true
