#!/usr/bin/env bash
# Installs the Debian packages the project needs, but only when one is missing,
# so that a machine that has everything pays nothing.
# Usage: install-deps.sh [web]. Without a stage: the desktop build, its tests and the
# package checks. "web": Emscripten, Chromium and Node.js for the browser build and its
# journey, which only that stage pays for.
set -euo pipefail

case "${1:-}" in
"")
    packages=(
        cmake g++ pkg-config
        libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev
        libsdl-gfx1.2-dev libgtest-dev libbenchmark-dev
        libpng-dev libsndfile1-dev fonts-liberation
        xvfb xdotool imagemagick x11-utils lintian valgrind appstream desktop-file-utils
    )
    ;;
web)
    # Debian's Emscripten has its system libraries prebuilt: nothing is downloaded. Its
    # recommended packages would upgrade the init system, hence --no-install-recommends.
    packages=(emscripten chromium nodejs python3)
    ;;
*)
    echo "usage: $0 [web]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-noninteractive}
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
