#!/usr/bin/env bash
# Builds the benchmarks, runs them beside their peer programs (mawk, cp, cp + sync, GNU sort,
# the window with an empty file) in the same run and prints the table of figures and ratios.
# DYSKAR_BENCH_SIZES (default "10000 100000 1000000") picks the catalogue sizes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh mawk locales coreutils
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DDYSKAR_BENCH=ON >/dev/null
cmake --build build-bench --target bench_Catalogue bench_Sort bench_Window bench_Generate \
    bench_Memory

work=$(mktemp -d)
trap 'kill "${xvfb:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
# GNU sort collates in a pl_PL.UTF-8 locale made here, without touching the system's locales.
localedef -c -i pl_PL -f UTF-8 "$work/pl_PL.UTF-8" >/dev/null 2>&1 || true
[ -e "$work/pl_PL.UTF-8/LC_COLLATE" ] || { echo "cannot make the pl_PL.UTF-8 locale" >&2; exit 1; }
# The real window needs a display: a private Xvfb.
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY="$display" LOCPATH="$work" python3 bench/compare.py build-bench "$work" \
    ${DYSKAR_BENCH_SIZES:-10000 100000 1000000}
