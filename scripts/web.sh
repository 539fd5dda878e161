#!/usr/bin/env bash
# Installs what is missing, builds the browser version into build-web and serves its site
# folder, build-web/site, on 127.0.0.1 (port 8123, or the one given). With --test, runs
# the browser journey against that folder in headless Chromium instead of serving.
# Usage: web.sh [PORT] | web.sh --test
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/install-deps.sh"
"$root/scripts/install-deps.sh" web

# The desktop build makes the data tree (and, for the journey, the desktop title frame).
desktop_targets=(--target stellarox-assetgen)
[[ "${1:-}" == --test ]] && desktop_targets+=(--target stellarox-title-frame)
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$jobs" "${desktop_targets[@]}"
generate_data "$root/build"

# Debian's Node.js keeps its modules (acorn, for Emscripten) outside Node's own path;
# a path the player set stays in front.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
emcmake cmake -S "$root" -B "$root/build-web" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-web" -j "$jobs"

site="$root/build-web/site"
if [[ "${1:-}" != --test ]]; then
    port=${1:-8123}
    echo "Stellarox in a browser: http://127.0.0.1:$port/ (Ctrl+C stops the server)"
    # Only the site folder: it is flat and has its index.html, so there is no listing.
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
fi

# The journey serves the site itself, so that it can cut the network and damage files.
out="$root/build-web/journey"
mkdir -p "$out"
(cd "$root" && "$root/build/tools/titleframe/stellarox-title-frame" "$out/desktop-title.ppm")
node "$root/tests/web/journey.mjs" "$site" "$out/desktop-title.ppm" "$out"
