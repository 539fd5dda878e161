#!/usr/bin/env bash
# Builds the benchmarks, runs them on the generated data tree of the repository and
# prints the summary table. Not part of the tests: the figures depend on the machine.
#   scripts/bench.sh [benchmark options], e.g. --benchmark_filter=StepWorld
# BENCH_BUILD_DIR chooses the build tree (default: build).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/install-deps.sh"

dir=${BENCH_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTELLAROX_BENCH=ON >/dev/null
cmake --build "$dir" -j "$jobs" --target stellarox_bench
# The tree is generated once; a newer generator alone does not rewrite it here.
if [[ ! -f "$root/data/fonts/LiberationSans-Bold.ttf" ]]; then
    generate_data "$dir"
fi
"$dir/bench/stellarox_bench" "$@"
