#!/usr/bin/env bash
# The journeys a player takes, in the real game in a private X window. DATA_ROOT holds
# data/; the package journey makes its .deb in BUILD_DIR.
#   run-e2e.sh play|package GAME_BINARY DATA_ROOT [BUILD_DIR]
journey=$1 binary=$2 root=$3 build=${4:-}
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Start; one player at difficulty 2 thrusts, fires and goes up to level 7; two configured
# players fly on their own keys; Settings makes the window larger; Quit.
journey_play() {
    start_x && start_game "$root" "$binary" && wait_window
    [[ "$(win_size)" == "640 480" ]] || fail "the window is $(win_size), not 640 480"
    wait_title start 640 480 0
    poll 10 eval 'above "$(loudness 1)" 50' || fail "no title music"
    key Return Up Return # difficulty 2
    local at="" now="" puffs
    ship_seen() { shot ship && at=$(sprite_at "$e2e_work/ship.png" "$ship_gold" 4%); }
    poll 10 ship_seen || fail "no ship of the first design in play"
    # Fire first, while the new ship is protected: after thrust it may have hit an asteroid.
    alt_key m && sleep 1 # music off, so the shot's sound stands alone
    local quiet loud && quiet=$(loudness 0.5) && xdotool keydown space sleep 0.4 && loud=$(loudness 0.3) && xdotool keyup space
    above "$loud" "$(awk -v q="$quiet" 'BEGIN {print q * 2 + 20}')" || fail "no fire sound ($quiet quiet, $loud firing)"
    alt_key m && poll 10 ship_seen || fail "no ship of the first design after firing"
    puffs=$(colour_count "$e2e_work/ship.png" "$exhaust" 4%)
    thrusting() { # the ship leaves its place and exhaust behind
        shot thrust && now=$(sprite_at "$e2e_work/thrust.png" "$ship_gold" 4%) && apart "$now" "$at" 6 &&
            (($(colour_count "$e2e_work/thrust.png" "$exhaust" 4%) > puffs + 8))
    }
    xdotool keydown Up
    poll 10 thrusting || fail "under thrust the ship went from '$at' to '$now' ($puffs exhaust pixels before)"
    xdotool keyup Up
    # Level 6 brings a planet (perhaps half off the edge) and no turret; level 7 the turret.
    local p t c
    level() { # NAME: counts the planet's, the turret's and the crosshairs' pixels
        shot "$1" && colour "$e2e_work/$1.png" "$planet" 3% && p=$count
        colour "$e2e_work/$1.png" "$turret" 2% && t=$count && colour "$e2e_work/$1.png" "$crosshair" 3% && c=$count
    }
    alt_key p p p p p
    poll 10 eval 'level level6 && ((p > 30))' || fail "no planet after five Alt+P ($p pixels)"
    ((t < 5 && c < 5)) || fail "a turret before level 7 ($t turret and $c crosshair pixels)"
    alt_key p
    poll 10 eval 'level level7 && ((t > 15 && c > 15))' || fail "no turret with crosshairs on level 7 ($t and $c pixels)"
    key Escape && wait_title back 640 480 0
    key Down Return Up Return # Configure Game, two players
    key a d w s f j l i k h   # player 1's Left, Right, Thrust, Reverse and Fire, then player 2's
    key Right Return Right Right Return # the second design, then the third
    key Up Return Return                # Play Game
    local one="" two=""
    both() { shot two && one=$(sprite_at "$e2e_work/two.png" "$cyan" 8%) && two=$(sprite_at "$e2e_work/two.png" "$gold" 8%); }
    poll 15 both || fail "not two ships in play (player 1 at '$one', player 2 at '$two')"
    moved() { # COLOUR WAS [OTHER OTHER_WAS]: the ship moved, and the other one, if given, stayed
        shot moved && now=$(sprite_at "$e2e_work/moved.png" "$1" 8%) && apart "$now" "$2" 6 || return 1
        (($# == 2)) || { now=$(sprite_at "$e2e_work/moved.png" "$3" 8%) && ! apart "$now" "$4" 2; }
    }
    xdotool keydown w
    poll 10 moved "$cyan" "$one" "$gold" "$two" || fail "player 1's w did not move the cyan ship alone"
    xdotool keyup w keydown i # the cyan ship drifts on: only the gold one is followed
    poll 10 moved "$gold" "$two" || fail "player 2's i did not move the gold ship"
    xdotool keyup i && key Escape && wait_title back2 640 480 0
    # Held Ctrl+Right widens and heightens by tens; Apply changes resizes the window.
    key Down Down Return
    xdotool keydown Control_L Right sleep 0.6 keyup Right Control_L && key Down
    xdotool keydown Control_L Right sleep 0.3 keyup Right Control_L && key Down Down Down Down Down Down Return
    local w h
    poll 20 eval 'read -r w h < <(win_size) && ((w > 640 && h > 480))' || fail "after Apply changes the window is $(win_size)"
    (((w - 640) % 10 == 0 && (h - 480) % 10 == 0)) || fail "the window is $w x $h, not tens above 640 x 480"
    wait_title resized "$w" "$h" 2
    key Down Return && wait_exit 10 # Quit
    ((status == 0)) || fail "Quit ended with status $status"
}

# The .deb unpacked into a fresh root starts to the title menu and quits; without a
# sound, then without an image too (images load first), it ends with their statuses.
journey_package() {
    (cd "$build" && cpack -G DEB >"$e2e_work/cpack.log" 2>&1) || fail "cpack: $(tail -3 "$e2e_work/cpack.log")"
    local deb game=$e2e_work/root/usr/games/stellarox data=$e2e_work/root/usr/share/games/stellarox/data
    deb=$(ls -t "$build"/stellarox_*.deb | head -1)
    ! dpkg-deb -f "$deb" Depends | grep -- -dev || fail "the package depends on -dev packages"
    ! { command -v lintian >/dev/null && grep '^E:' <(lintian "$deb" 2>&1); } || fail "lintian errors"
    dpkg-deb -x "$deb" "$e2e_work/root"
    # The font comes from the dependency fonts-liberation, which this bare root lacks.
    mkdir -p "$e2e_work/root/usr/share/fonts/truetype"
    ln -s /usr/share/fonts/truetype/liberation "$e2e_work/root/usr/share/fonts/truetype/"
    start_x && start_game / "$game" && wait_window
    wait_title unpacked 640 480 0
    key Up Return && wait_exit 10 # Quit
    ((status == 0)) || fail "Quit ended with status $status"
    for missing in "snd/shipFire.wav 200" "images/particles/shipExplosionParticle_003.png 120"; do
        set -- $missing
        rm "$data/$1" && start_game / "$game" && wait_exit 30
        ((status == $2)) || fail "without $1 the status is $status, not $2"
    done
}

"journey_$journey"
echo "e2e $journey: passed"
