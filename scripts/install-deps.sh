#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build and test Quarno, when any is missing.
set -euo pipefail
packages=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-wayland libqt6sql6-sqlite libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  poppler-utils libcups2-dev cups-daemon cups-client
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
