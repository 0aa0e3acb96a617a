#!/usr/bin/env bash
# Builds and runs the whole test suite: a release build, then the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of
# every fuzz target (clang, libFuzzer, ASan + UBSan).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${ZANVC_FUZZ_SECONDS:-20}

echo "== release build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANVC_SANITIZE=address,undefined \
      -DZANVC_BENCH=OFF >/dev/null
cmake --build build-san -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-san -j "$jobs" --output-on-failure

if ls fuzz/fuzz_*.cpp >/dev/null 2>&1; then
    echo "== fuzz targets (${fuzz_seconds}s each)"
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANVC_FUZZ=ON \
        -DZANVC_SANITIZE=address,undefined -DZANVC_TESTS=OFF -DZANVC_BENCH=OFF -DZANVC_EXAMPLES=OFF >/dev/null
    cmake --build build-fuzz -j "$jobs"
    for src in fuzz/fuzz_*.cpp; do
        name=$(basename "$src" .cpp)
        corpus=build-fuzz/corpus/$name
        mkdir -p "$corpus"
        echo "-- $name"
        build-fuzz/fuzz/$name -max_total_time="$fuzz_seconds" -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
    done
fi
echo "== all tests passed"
