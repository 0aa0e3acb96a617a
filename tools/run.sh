#!/usr/bin/env bash
# Builds the library and runs its main job.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"
build/examples/zanvc-info/zanvc-info
