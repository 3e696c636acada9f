#!/usr/bin/env bash
# Builds the configuration tool and starts it on this PC's network.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target pelmora-config
exec build/release/bin/pelmora-config
