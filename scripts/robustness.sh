#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The robustness stage: every test again under AddressSanitizer and
# UndefinedBehaviorSanitizer with leak checking (build-asan), then each fuzz
# harness of fuzz/ for a bounded time (build-fuzz). Fails on any test
# failure, sanitizer report, crash or broken promise found by a harness.
#
#   FUZZ_SECONDS  seconds each harness runs (60)
#   FUZZ_ONLY     run only the fuzz part (the sanitizer suite is skipped)
#
# A harness that finds a problem leaves the input in build-fuzz/findings/;
# run the harness on that file to see it again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --with-fuzzers
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}

if [[ -z "${FUZZ_ONLY:-}" ]]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFORKWELL_SANITIZE=ON
    cmake --build build-asan -j"$jobs"
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFORKWELL_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz -j"$jobs" --target fuzzers

# Each harness starts from the seeds of fuzz/corpus/<name> and keeps what it
# learns in build-fuzz/corpus/<name>, so a later run goes on from there.
run_harness() {
    local name=$1
    local corpus=build-fuzz/corpus/$name findings=build-fuzz/findings
    mkdir -p "$corpus" "$findings"
    if build-fuzz/fuzz/fuzz_"$name" -max_total_time="$fuzz_seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$name-" \
        "$corpus" fuzz/corpus/"$name" >build-fuzz/fuzz_"$name".log 2>&1; then
        echo "fuzz_$name: $(grep -o 'number_of_executed_units: [0-9]*' build-fuzz/fuzz_"$name".log \
            | grep -o '[0-9]*') inputs, nothing found"
    else
        echo "fuzz_$name FAILED:" >&2
        grep -A12 -E 'broken:|ERROR:' build-fuzz/fuzz_"$name".log | head -40 >&2
        return 1
    fi
}

harnesses=($(cd fuzz/corpus && ls))
failed=0
pids=()
for name in "${harnesses[@]}"; do
    run_harness "$name" &
    pids+=($!)
    # As many harnesses at a time as there are processors.
    if ((${#pids[@]} >= jobs)); then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
total=0
for count in $(grep -ho 'number_of_executed_units: [0-9]*' build-fuzz/fuzz_*.log | grep -o '[0-9]*$'); do
    total=$((total + count))
done
echo "${#harnesses[@]} harnesses, $total inputs in all"
exit "$failed"
