#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
# CTEST_PARALLEL_LEVEL limits the tests run at once on a shared machine.
ctest --output-on-failure -j "${CTEST_PARALLEL_LEVEL:-$(nproc)}" --timeout 300
