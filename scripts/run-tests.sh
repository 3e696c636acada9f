#!/usr/bin/env bash
# Builds and runs the whole test suite: the Windows cross build and its unit tests under Wine, the
# warnings-as-errors build, the clang-format and clang-tidy checks, the same suite under address and
# undefined-behaviour sanitizers, and a bounded fuzzing run. End-to-end tests need root (network
# namespaces); without it they skip and say why.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

echo "== build: Windows (mingw-w64), warnings as errors; its unit tests under Wine"
bash scripts/build-windows.sh
bash scripts/windows-tests.sh -j "$jobs"

echo "== build: release, warnings as errors"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMORA_WERROR=ON >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -j "$jobs" --timeout 600

echo "== unit suite again, unprivileged, in a network namespace with nothing but loopback"
if [ "$(id -u)" -eq 0 ]; then
  bash scripts/unit-tests-unprivileged.sh build/release -j "$jobs" --timeout 600
else
  echo "skipped: needs root to make the namespace and switch to an unprivileged user"
fi

echo "== style: clang-format and clang-tidy"
BUILD_DIR=build/release JOBS="$jobs" bash scripts/check-style.sh

echo "== build: address + undefined sanitizers"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELMORA_WERROR=ON -DPELMORA_SANITIZE=ON \
  -DPELMORA_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan -j "$jobs" --timeout 900

echo "== build: fuzz targets (clang, libFuzzer, address + undefined)"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DPELMORA_FUZZ=ON -DPELMORA_GUI=OFF -DPELMORA_BENCH=OFF >/dev/null
cmake --build build/fuzz -j "$jobs"
ctest --test-dir build/fuzz -L fuzz --timeout 300
