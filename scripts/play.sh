#!/usr/bin/env bash
# Installs what is missing, builds what is out of date, and starts the game.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/install-deps.sh"
build_tree "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
generate_data "$root/build"
cd "$root"
exec "$root/build/stellarox"
