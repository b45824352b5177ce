#!/usr/bin/env bash
# Builds Dyskar and starts it. The catalogue is build/Dyskar.dat, beside the executable.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DDYSKAR_BENCH=OFF >/dev/null
cmake --build build --target dyskar
exec build/dyskar "$@"
