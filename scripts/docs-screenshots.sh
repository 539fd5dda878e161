#!/usr/bin/env bash
# Writes the README's pictures (docs/*.png) from the end-to-end driver:
#   scripts/docs-screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
binary=$(cd "${1:-$root/build}" && pwd)/stellarox
source "$root/tests/e2e/lib.sh"

keep() { /usr/bin/convert "$e2e_work/$1.png" -colors 128 -strip "$root/docs/$1.png"; }

start_x
start_game "$root" "$binary"
wait_window
wait_title title-menu 640 480 0 && keep title-menu
key Down Return # Configure Game
key Up Return # two players
key Left Right Up Down space # player 1's five keys
key a d w s f # player 2's
sleep 0.5
shot ship-prompt && keep ship-prompt
key Right Return Right Right Return # the second design, then the third
key Down Return # Settings (the cursor stayed on Configure Game)
sleep 0.5
shot settings-menu && keep settings-menu
key Up Return # Cancel
key Up Up Return Return # Play Game at difficulty 1
alt_key p p p p p p p p p # level 10: two planets and a turret
level_in_play() { # both ships, the turret aiming, and player 1 under thrust
    shot two-players
    sprite_at "$e2e_work/two-players.png" "$cyan" 8% >/dev/null &&
        sprite_at "$e2e_work/two-players.png" "$gold" 8% >/dev/null &&
        [[ $(colour_count "$e2e_work/two-players.png" "$crosshair" 3%) -gt 15 ]] &&
        [[ $(colour_count "$e2e_work/two-players.png" "$exhaust" 4%) -gt 8 ]]
}
sleep 3.5 # the level's protection blinking is over
xdotool keydown Up
sleep 0.3
poll 10 level_in_play || fail "no picture of level 10 with both ships and the turret"
xdotool keyup Up
keep two-players
key Escape
key Up Return # Quit
wait_exit 10 >/dev/null
echo "docs: title-menu.png ship-prompt.png settings-menu.png two-players.png"
