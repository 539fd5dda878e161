#!/usr/bin/env bash
# Installs what is missing, builds the browser version into build-web and serves it on
# 127.0.0.1 (port 8123, or the one given). With --test, runs the browser journey against
# it in headless Chromium instead of serving.
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

# Debian's Node.js keeps its modules (acorn, for Emscripten) outside Node's own path.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$root" -B "$root/build-web" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-web" -j "$jobs"

if [[ "${1:-}" != --test ]]; then
    port=${1:-8123}
    echo "Stellarox in a browser: http://127.0.0.1:$port/ (Ctrl+C stops the server)"
    # Python's table of types serves .wasm as application/wasm, as browsers require.
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build-web"
fi

out="$root/build-web/journey"
mkdir -p "$out"
(cd "$root" && "$root/build/tools/titleframe/stellarox-title-frame" "$out/desktop-title.ppm")
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$root/build-web" >"$out/server.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
port=""
for _ in $(seq 100); do
    port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$out/server.log" | head -n 1)
    [[ -n "$port" ]] && break
    sleep 0.1
done
[[ -n "$port" ]] || { echo "the web server did not start" >&2; exit 1; }
node "$root/tests/web/journey.mjs" "http://127.0.0.1:$port/" \
    "$out/desktop-title.ppm" "$out"
