#!/usr/bin/env bash
# The project as another CMake project takes it (add_subdirectory): it configures without the
# tools only its own tests and package need, builds what the list view needs, installs nothing,
# and the program that uses the list runs.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake -S "$source_dir/tests/layout/consumer" -B "$scratch" -G Ninja \
    -DDYSKAR_SOURCE="$source_dir" -DCMAKE_INSTALL_PREFIX="$scratch/root" >/dev/null
cmake --build "$scratch" -j "$(nproc)" >"$scratch/build.log" 2>&1 || { tail -40 "$scratch/build.log"; exit 1; }
QT_QPA_PLATFORM=offscreen "$scratch/consumer"
[ ! -e "$scratch/dyskar/dyskar" ] || { echo "the catalogue program was built too"; exit 1; }
cmake --install "$scratch" >/dev/null
[ ! -e "$scratch/root" ] || { echo "something was installed: $(find "$scratch/root" -type f | head)"; exit 1; }
echo "the list view builds and runs inside another project"
