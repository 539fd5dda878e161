#!/usr/bin/env bash
# Installs the Debian packages the project needs, but only when one is missing,
# so that a machine that has everything pays nothing.
set -euo pipefail

packages=(
    cmake g++ pkg-config
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev libsdl-gfx1.2-dev
    libgtest-dev libbenchmark-dev
    libpng-dev libsndfile1-dev fonts-liberation
    xvfb xdotool imagemagick x11-utils lintian valgrind
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
