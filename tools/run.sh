#!/usr/bin/env bash
# Builds the library and its examples, prints what was loaded, and decodes a
# bundled H.264 stream with the example decoder, one MD5 per frame.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"
build/examples/zanvc-info/zanvc-info
build/examples/h264dec/zanvc-h264dec tests/data/h264/main_bpyr_temporal.264 --framemd5
