#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, then again under the
# address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDYSKAR_WERROR=ON >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

if [ "${DYSKAR_SKIP_SANITIZE:-0}" != 1 ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDYSKAR_WERROR=ON \
          -DDYSKAR_SANITIZE=ON -DDYSKAR_BENCH=OFF >/dev/null
    cmake --build build-asan -j "$jobs"
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi
