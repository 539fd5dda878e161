#!/usr/bin/env bash
# Random-input soak of the game in a private X window:
#   scripts/soak.sh [SECONDS] [SEED]
# The plain build (build/), whose resident memory is judged; with SOAK_SANITIZE=1 the
# sanitizer build (build-sanitize/), judged on its reports and statuses only, since the
# sanitizers' quarantine makes its memory wander. $SOAK_BUILD names another tree. Builds
# when needed. A failing run prints its seed; run it again with that seed to replay.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/install-deps.sh"
seconds=${1:-600}
seed=${2:-$(date +%s)}
if [[ "${SOAK_SANITIZE:-0}" == 1 ]]; then
    build=${SOAK_BUILD:-$root/build-sanitize}
    options=(-DCMAKE_BUILD_TYPE=Debug -DSTELLAROX_SANITIZE=ON -DSTELLAROX_BENCH=OFF)
    export SOAK_JUDGE_MEMORY=0
else
    build=${SOAK_BUILD:-$root/build}
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi

cmake -S "$root" -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j "$jobs" --target stellarox
if [[ ! -f "$root/data/.generated" ]]; then
    cmake --build "$build" -j "$jobs" --target stellarox-assetgen
    generate_data "$build"
fi
exec "$root/tests/soak/soak.sh" "$seconds" "$seed" "$build/stellarox" "$root" ${SOAK_LOG_DIR:+"$SOAK_LOG_DIR"}
