#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a plain build and a
# build with the address and undefined-behaviour sanitizers. Then builds the browser
# version and runs its journey in headless Chromium.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/install-deps.sh"

build_tree "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
generate_data "$root/build"
(cd "$root/build" && ctest --output-on-failure --repeat until-pass:2 -j "$jobs")

build_tree "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DSTELLAROX_SANITIZE=ON -DSTELLAROX_BENCH=OFF
(cd "$root/build-sanitize" && ctest --output-on-failure --repeat until-pass:2 -j "$jobs")

"$root/scripts/web.sh" --test
