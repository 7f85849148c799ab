#!/usr/bin/env bash
# Configures and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# CMAKE_BUILD_PARALLEL_LEVEL limits the jobs on a shared machine.
cmake --build build -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
