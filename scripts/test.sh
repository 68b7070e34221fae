#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Forkwell with its tests and runs every test, then makes the Debian
# package and checks it, and the sources' license lines, as Debian would.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --with-checks
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFORKWELL_WARNINGS_AS_ERRORS="${CI:-OFF}"
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
scripts/check-package.sh build
scripts/check-package.sh --sources
