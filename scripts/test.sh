#!/usr/bin/env bash
# Builds Forkwell with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --with-checks
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFORKWELL_WARNINGS_AS_ERRORS="${CI:-OFF}"
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
