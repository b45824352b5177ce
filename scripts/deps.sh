#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Dyskar need, and those named
# as arguments, if missing.
set -euo pipefail
packages=(g++ cmake ninja-build qt6-base-dev qt6-translations-l10n libgl1-mesa-dev libicu-dev
          libbenchmark-dev fonts-liberation poppler-utils xvfb xauth x11-utils xdotool
          clang libclang-rt-14-dev python3 desktop-file-utils appstream man-db "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
