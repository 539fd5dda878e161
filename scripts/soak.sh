#!/usr/bin/env bash
# Random-input soak of the sanitizer build of the game in a private X window:
#   scripts/soak.sh [SECONDS] [SEED]
# Builds build-sanitize/ (or $SOAK_BUILD) when needed. A failing run prints its seed;
# run it again with that seed to replay the same keys.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/install-deps.sh"
seconds=${1:-600}
seed=${2:-$(date +%s)}
build=${SOAK_BUILD:-$root/build-sanitize}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DSTELLAROX_SANITIZE=ON \
    -DSTELLAROX_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target stellarox
if [[ ! -f "$root/data/.generated" ]]; then
    cmake --build "$build" -j "$jobs" --target stellarox-assetgen
    generate_data "$build"
fi
exec "$root/tests/soak/soak.sh" "$seconds" "$seed" "$build/stellarox" "$root" ${SOAK_LOG_DIR:+"$SOAK_LOG_DIR"}
