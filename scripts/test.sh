#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, then builds the Debian package
# and tries it as a user would, then builds again with clang
# under the address and undefined-behaviour sanitizers and runs every test once more, then
# fuzzes the data file, the comparison, the printed table and the CSV import with libFuzzer from
# that build for DYSKAR_FUZZ_SECONDS (30) each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDYSKAR_WERROR=ON >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

# The list view inside another CMake project.
tests/layout/AddSubdirectory.sh

# The Debian package, built and tried as a user would (DYSKAR_SKIP_PACKAGE=1 skips it).
if [ "${DYSKAR_SKIP_PACKAGE:-0}" != 1 ]; then
    scripts/package.sh
    tests/package/InstalledPackage.sh build-package/dyskar_*_*.deb
fi

if [ "${DYSKAR_SKIP_SANITIZE:-0}" != 1 ]; then
    # One clang build serves the sanitizer pass and the fuzz targets.
    CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDYSKAR_WERROR=ON \
          -DDYSKAR_SANITIZE=ON -DDYSKAR_FUZZ=ON -DDYSKAR_BENCH=OFF >/dev/null
    cmake --build build-asan -j "$jobs"
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi

if [ "${DYSKAR_SKIP_SANITIZE:-0}" != 1 ] && [ "${DYSKAR_SKIP_FUZZ:-0}" != 1 ]; then
    targets=(fuzz_DataFile fuzz_SmartCompare fuzz_PrintTable fuzz_CsvImport)
    # New inputs go to a scratch folder; the kept corpus is only read.
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    pids=()
    for t in "${targets[@]}"; do
        mkdir -p "$scratch/$t"
        ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen build-asan/tests/fuzz/$t \
            -max_total_time="${DYSKAR_FUZZ_SECONDS:-30}" -timeout=20 -rss_limit_mb=4096 \
            -artifact_prefix="$scratch/$t-" "$scratch/$t" "tests/fuzz/corpus/$t" \
            >"$scratch/$t.log" 2>&1 &
        pids+=($!)
    done
    failed=0
    for i in "${!targets[@]}"; do
        t=${targets[$i]}
        if wait "${pids[$i]}"; then
            echo "$t: $(grep -E '^Done [0-9]+ runs' "$scratch/$t.log")"
        else
            failed=1
            echo "$t found a fault:"
            tail -n 40 "$scratch/$t.log"
            ls "$scratch/$t-"* 2>/dev/null || true
        fi
    done
    [ "$failed" = 0 ]
fi
