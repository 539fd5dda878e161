#!/usr/bin/env bash
# Builds the benchmarks, runs them on the generated data tree of the repository and
# prints the summary table, then measures the real game in a private Xvfb window
# (bench/window.sh) and the browser version beside it in headless Chromium (bench/cost.sh).
# Not part of the tests: the figures depend on the machine.
#   scripts/bench.sh [benchmark options], e.g. --benchmark_filter=StepWorld
# BENCH_BUILD_DIR chooses the build tree (default: build); BENCH_WINDOW=0 skips the
# window, BENCH_WINDOW_SECONDS shortens its 30-second samples. BENCH_WEB=0 skips the
# browser; BENCH_WEB_SAMPLES and BENCH_WEB_SECONDS set its samples (5 of 8 s each).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/install-deps.sh"

dir=${BENCH_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTELLAROX_BENCH=ON >/dev/null
cmake --build "$dir" -j "$jobs" --target stellarox_bench stellarox stellarox-first-frame
# The tree is generated once; a newer generator alone does not rewrite it here.
if [[ ! -f "$root/data/fonts/LiberationSans-Bold.ttf" ]]; then
    generate_data "$dir"
fi
echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$dir/bench/stellarox_bench" "$@"
if [[ "${BENCH_WINDOW:-1}" != 0 ]]; then
    "$root/bench/window.sh" "$dir/stellarox" "$dir/bench/stellarox-first-frame" "$root" \
        "${BENCH_WINDOW_SECONDS:-30}"
fi
if [[ "${BENCH_WEB:-1}" != 0 ]]; then
    "$root/scripts/install-deps.sh" web
    # Debian's Node.js keeps its modules (acorn, for Emscripten) outside Node's own path.
    export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
    emcmake cmake -S "$root" -B "$root/build-web" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$root/build-web" -j "$jobs"
    "$root/bench/cost.sh" "$dir/stellarox" "$root" "$root/build-web/site" "${BENCH_WEB_SAMPLES:-5}" \
        "${BENCH_WEB_SECONDS:-8}"
fi
