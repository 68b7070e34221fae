#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Forkwell and starts Forkwell History on the food log of the working
# folder that scripts/run.sh uses, so that what you add there shows here as
# you add it. Set FORKWELL_DIR to use another folder; options are passed on,
# so `scripts/history.sh --days days.csv` exports instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export FORKWELL_DIR="${FORKWELL_DIR:-$PWD/build/workdir}"
exec build/src/app/forkwell-launcher --history "$@"
