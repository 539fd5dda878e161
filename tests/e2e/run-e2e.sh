#!/usr/bin/env bash
# Runs one journey of the real game in a private X window:
#   run-e2e.sh JOURNEY GAME_BINARY DATA_ROOT [BUILD_DIR [TEXT_RENDERER]]
# DATA_ROOT is the folder that holds data/; TEXT_RENDERER is tests/e2e/text, built.
journey=$1 binary=$2 root=$3 build=${4:-} text=${5:-}
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
[[ -d "$root/data/images" ]] || fail "no generated data tree below $root"

journey_start() {
    start_x
    start_game "$root" "$binary"
    wait_window
    [[ "$(win_size)" == "640 480" ]] || fail "window is $(win_size), not 640 480"
    shot title
    check_title_menu "$e2e_work/title.png" 640 480
    sleep 1
    above "$(loudness 1)" 50 || fail "no music in the captured sound"
}

journey_quit() {
    start_x
    start_game "$root" "$binary"
    wait_window
    key Up Return # Up from "Play Game" wraps to "Quit"
    local rc
    rc=$(wait_exit 10)
    [[ "$rc" == 0 ]] || fail "Quit ended with status $rc"
}

journey_missing() { # a copy of the tree without one file, then the expected status
    local file=$1 want=$2 rc
    cp -r "$root/data" "$e2e_work/data"
    rm "$e2e_work/data/$file"
    export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$e2e_work/sound.raw"
    rc=0
    (cd "$e2e_work" && timeout 20 "$binary") >/dev/null 2>&1 || rc=$?
    [[ "$rc" == "$want" ]] || fail "without $file the status is $rc, not $want"
}

journey_exits() {
    start_x
    journey_missing snd/shipFire.wav 200
    rm -rf "$e2e_work/data"
    journey_missing images/particles/shipExplosionParticle_003.png 120
}

# Byte offset of the first loud stereo frame of the captured sound (the title music at
# start-up), from where to compare the opening of the title track.
first_loud_byte() {
    od -An -v -td2 -w4 -N 2000000 "$SDL_DISKAUDIOFILE" |
        awk '($1 > 300 || $1 < -300) {print (NR - 1) * 4; exit}' || true
}
hex_of() { # hex_of OFFSET BYTES: that part of the captured sound as one hex line
    od -An -v -tx1 -j "$1" -N "$2" "$SDL_DISKAUDIOFILE" | tr -d ' \n'
}
sound_bytes() { stat -c %s "$SDL_DISKAUDIOFILE"; }

journey_play() {
    start_x
    start_game "$root" "$binary"
    wait_window
    # The title music as it starts, one second in: after Escape it must start over.
    local opening music_start
    music_heard() { music_start=$(first_loud_byte) && [[ -n "$music_start" ]]; }
    poll 5 music_heard || fail "no title music in the captured sound"
    opening=$((music_start + 44100 * 4))
    opening_heard() { [[ $(sound_bytes) -gt $((opening + 8192)) ]]; }
    poll 10 opening_heard || fail "the captured sound stops before the title music's first second"
    local tune
    tune=$(hex_of "$opening" 4096)
    shot before
    key Return Up Return # difficulty 2
    local white
    in_game() {
        shot game
        white=$(white_fraction "$e2e_work/game.png" 213 43 213 156)
        above 0.05 "$white"
    }
    poll 5 in_game || fail "the title menu is still shown after Return, Up, Return"

    # Thrust: the ship (gold, blinking while protected) leaves its place and exhaust behind.
    local at="" now="" puffs
    ship_seen() { shot ship && at=$(sprite_at "$e2e_work/ship.png" "$ship_gold" 4%); }
    poll 6 ship_seen || fail "no ship of the first design in play"
    puffs=$(colour_count "$e2e_work/ship.png" "$exhaust" 4%)
    thrusting() {
        shot thrust && now=$(sprite_at "$e2e_work/thrust.png" "$ship_gold" 4%) &&
            apart "$now" "$at" 6 &&
            [[ $(colour_count "$e2e_work/thrust.png" "$exhaust" 4%) -gt $((puffs + 8)) ]]
    }
    xdotool keydown Up
    sleep 0.5
    poll 5 thrusting || {
        xdotool keyup Up
        fail "thrust: the ship at '$at' is now at '$now', exhaust pixels $puffs before, $(colour_count "$e2e_work/thrust.png" "$exhaust" 4%) now"
    }
    xdotool keyup Up

    alt_key m # music off, so the shot's sound stands alone
    sleep 1
    local quiet loud
    quiet=$(loudness 0.5)
    xdotool keydown space
    sleep 0.4
    loud=$(loudness 0.3)
    xdotool keyup space
    above "$loud" "$(awk -v q="$quiet" 'BEGIN {print q * 2 + 20}')" ||
        fail "no fire sound (quiet $quiet, firing $loud)"
    alt_key m # music on again: a random in-game track

    # Level 6 has a planet and no turret yet; level 7 brings the turret and its crosshairs.
    alt_key p p p p p
    local planet_px turret_px cross_px
    level_shot() {
        shot "$1"
        planet_px=$(colour_count "$e2e_work/$1.png" "$planet" 3%)
        turret_px=$(colour_count "$e2e_work/$1.png" "$turret" 2%)
        cross_px=$(colour_count "$e2e_work/$1.png" "$crosshair" 3%)
    }
    planet_shown() { level_shot level6 && [[ $planet_px -gt 30 ]]; } # may stand half off the edge
    poll 5 planet_shown || fail "no planet after five Alt+P (planet pixels $planet_px)"
    [[ $turret_px -lt 5 && $cross_px -lt 5 ]] ||
        fail "a turret before level 7 (turret $turret_px, crosshair $cross_px pixels)"
    alt_key p
    turret_shown() { level_shot level7 && [[ $turret_px -gt 15 && $cross_px -gt 15 ]]; }
    poll 8 turret_shown ||
        fail "no turret and crosshairs on level 7 (turret $turret_px, crosshair $cross_px pixels)"

    # Escape halts the game's music: the title menu starts its own track from the top.
    local escaped
    escaped=$(sound_bytes)
    key Escape
    wait_title_menu back 10 640 480
    title_again() {
        [[ $(sound_bytes) -gt $((escaped + 44100 * 4 * 3)) ]] || return 1
        hex_of "$escaped" $((44100 * 4 * 3)) | grep -q "$tune"
    }
    poll 10 title_again || fail "after Escape the title music does not start over"
}

journey_package() { # the .deb unpacked into a fresh root starts to the title menu
    [[ -n "$build" ]] || fail "the package journey needs the build folder"
    (cd "$build" && cpack -G DEB >"$e2e_work/cpack.log" 2>&1) || fail "cpack failed: $e2e_work/cpack.log"
    local deb
    deb=$(ls -t "$build"/stellarox_*.deb | head -1)
    dpkg-deb -f "$deb" Depends | grep -q -- '-dev' && fail "the package depends on -dev packages"
    dpkg-deb -x "$deb" "$e2e_work/root"
    if command -v lintian >/dev/null; then
        lintian "$deb" >"$e2e_work/lintian.log" 2>&1 || true
        grep -q '^E:' "$e2e_work/lintian.log" && fail "lintian errors: $(grep '^E:' "$e2e_work/lintian.log")"
    fi
    start_x
    start_game / "$e2e_work/root/usr/games/stellarox"
    wait_window
    shot unpacked
    check_title_menu "$e2e_work/unpacked.png" 640 480
}

journey_configure() { # two players with typed keys and chosen ships both fly
    start_x
    start_game "$root" "$binary"
    wait_window
    key Down Return # Configure Game
    keys_apart Up Return # two players
    keys_apart a d w s f # player 1: Left, Right, Up, Down, Fire
    keys_apart j l i k h # player 2
    keys_apart Right Return # player 1: the second design
    keys_apart Right Right Return # player 2: the third design
    keys_apart Up Return Return # Play Game (the cursor stayed on Configure Game), difficulty 1
    local one="" two=""
    both_ships() {
        shot game
        one=$(sprite_at "$e2e_work/game.png" "$cyan" 8%) &&
            two=$(sprite_at "$e2e_work/game.png" "$gold" 8%)
    }
    poll 10 both_ships || fail "not two ships in play (player 1 at '$one', player 2 at '$two')"
    # Each player's own thrust key moves that player's ship and not the other one.
    local was1=$one was2=$two
    moved() { # moved COLOUR WAS [OTHER_COLOUR OTHER_WAS]: the other one, if given, stays
        shot moved
        local now other
        now=$(sprite_at "$e2e_work/moved.png" "$1" 8%) && apart "$now" "$2" 6 || return 1
        [[ $# -eq 2 ]] && return 0
        other=$(sprite_at "$e2e_work/moved.png" "$3" 8%) && ! apart "$other" "$4" 2
    }
    xdotool keydown w
    sleep 0.6
    poll 5 moved "$cyan" "$was1" "$gold" "$was2" || {
        xdotool keyup w
        fail "player 1's w did not move the cyan ship alone"
    }
    xdotool keyup w
    xdotool keydown i # the cyan ship drifts on, so only the gold one is followed
    sleep 0.6
    poll 5 moved "$gold" "$was2" || {
        xdotool keyup i
        fail "player 2's i did not move the gold ship alone"
    }
    xdotool keyup i
    key Escape
    wait_title_menu back 10 640 480
}

# A settings row's value, read by comparing the row with lines rendered as the menus
# render them: candidate c of row r is "$e2e_work/row$r-$c.bmp", showing ${row_values[c]}.
render_rows() { # render_rows ROW TEXT FIRST LAST STEP
    local r=$1 lines=() v
    row_values=()
    for ((v = $3; v <= $4; v += $5)); do
        row_values+=("$v")
        lines+=("$2$v")
    done
    mapfile -t row_sizes < <("$text" "$root/data/fonts/LiberationSans-Bold.ttf" \
        $((480 * 35 / 768)) "$e2e_work/row$r-" "${lines[@]}") || fail "cannot render $2"
}
# Sets row_value to the value row R shows (highlighted) in the shot NAME; fails if none
# matches. Candidates near GUESS come first.
read_row() { # read_row NAME R GUESS
    local r=$2 order=() i n=${#row_values[@]} w h diff
    for ((i = 0; i < n; i++)); do
        order+=("$(((row_values[i] - $3) * (row_values[i] - $3))) $i")
    done
    for i in $(printf '%s\n' "${order[@]}" | sort -n | cut -d' ' -f2); do
        read -r w h <<<"${row_sizes[i]}"
        diff=$(/usr/bin/convert "$e2e_work/$1.png" -crop "${w}x${h}+$((320 - w / 2 + 4))+$(((4 + r) * h))" \
            +repage -fuzz 3% -fill black +opaque white -fill white -opaque white \
            "$e2e_work/row$r-$i.bmp" -compose difference -composite -format '%[fx:round(mean*w*h)]' info:)
        if [[ $diff -le 12 ]]; then
            row_value=${row_values[i]}
            return 0
        fi
    done
    return 1
}
# Brings row R to TARGET in steps of ten: Right or Left held with left Ctrl, for about
# half the time the remaining steps take, and read back after each hold.
set_row() { # set_row R FROM TARGET
    local r=$1 tries=0 n dir
    row_value=$2
    read_shot() { shot "row$r" && read_row "row$r" "$r" "$row_value"; }
    poll 5 read_shot || fail "row $r does not show a value near $2"
    xdotool keydown Control_L
    while [[ $row_value != "$3" ]]; do
        tries=$((tries + 1))
        [[ $tries -le 30 ]] || fail "row $r stays at $row_value, not $3"
        n=$((($3 - row_value) / 10)) dir=Right
        [[ $n -lt 0 ]] && n=$((-n)) dir=Left
        # A step takes at least 50 ms, and a hold under that gives one step at most.
        hold "$dir" "$(awk -v n="$n" 'BEGIN {print n < 3 ? 0.04 : n * 0.04}')"
        sleep 0.1
        poll 5 read_shot || fail "row $r shows no value near $row_value"
    done
    xdotool keyup Control_L
    echo "e2e: row $r at $3 after $tries holds"
}

journey_settings() { # held Ctrl+Right makes the window 800 x 600
    [[ -x "$text" ]] || fail "the settings journey needs the text renderer (fifth argument)"
    start_x
    start_game "$root" "$binary"
    wait_window
    key Down Down Return # Settings
    render_rows 0 "Screen Width: " 600 1000 10
    set_row 0 640 800
    key Down
    render_rows 1 "Screen Height: " 400 800 10
    set_row 1 480 600
    keys_apart Down Down Down Down Down Down Return # Apply changes
    size_is() { [[ "$(win_size)" == "$1 $2" ]]; }
    poll 15 size_is 800 600 || fail "after Apply changes the window is $(win_size), not 800 600"
    wait_title_menu resized 15 800 600 2 # the cursor stays on Settings
}

"journey_$journey"
echo "e2e $journey: passed"
