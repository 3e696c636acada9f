#!/usr/bin/env bash
# Builds the protocol benchmarks in Release (build/bench) and runs them. Extra arguments go to the
# benchmark program, e.g. --benchmark_filter=Cipher or --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_BENCH=ON -DPELMORA_GUI=OFF >/dev/null
cmake --build build/bench --target bench_protocol -j "${JOBS:-2}"
build/bench/bench/bench_protocol "$@"
