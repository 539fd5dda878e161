#!/usr/bin/env bash
# Writes the README's pictures (docs/*.png) from the end-to-end driver:
#   scripts/docs-screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
binary=${1:-$root/build}/stellarox
source "$root/tests/e2e/lib.sh"

keep() { /usr/bin/convert "$e2e_work/$1.png" -colors 128 -strip "$root/docs/$1.png"; }

start_x
start_game "$root" "$binary"
wait_window
shot title-menu && keep title-menu
key Down Return Return # Configure Game, one player
key Left Right Up Down space # the five keys
sleep 0.5
shot ship-prompt && keep ship-prompt
key Return # the first design
key Down Return # Settings (the cursor stayed on Configure Game)
sleep 0.5
shot settings-menu && keep settings-menu
key Up Return # Cancel
key Down Return # Quit
wait_exit 10 >/dev/null
echo "docs: title-menu.png ship-prompt.png settings-menu.png"
