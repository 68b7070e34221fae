#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Forkwell and starts Forkwell Recipes in the working folder that
# scripts/run.sh uses, seeded with the starter files on first use, so that a
# recipe saved as a food shows in Forkwell's list there. Set FORKWELL_DIR to
# use another folder; options are passed on, so `scripts/recipes.sh --list`
# lists the folder's recipes instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export FORKWELL_DIR="${FORKWELL_DIR:-$PWD/build/workdir}"
exec build/src/app/forkwell-launcher --recipes "$@"
