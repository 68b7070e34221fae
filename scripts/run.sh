#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Forkwell and starts it in a working folder inside the build tree,
# seeded with the starter files on first use, so trying it never touches a
# real diary. Set FORKWELL_DIR to use another folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export FORKWELL_DIR="${FORKWELL_DIR:-$PWD/build/workdir}"
exec build/src/app/forkwell-launcher
