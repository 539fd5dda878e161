#!/usr/bin/env bash
# Runs one journey of the real game in a private X window:
#   run-e2e.sh JOURNEY GAME_BINARY DATA_ROOT
# DATA_ROOT is the folder that holds data/.
journey=$1 binary=$2 root=$3 build=${4:-}
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

journey_play() {
    start_x
    start_game "$root" "$binary"
    wait_window
    shot before
    key Return Up Return # difficulty 2
    shot game
    local white
    white=$(white_fraction "$e2e_work/game.png" 213 43 213 156)
    above 0.05 "$white" || fail "the title menu is still shown after Return, Up, Return"
    key alt+m # music off, so the shot's sound stands alone
    sleep 1
    local quiet loud
    quiet=$(loudness 0.5)
    xdotool keydown space
    sleep 0.4
    loud=$(loudness 0.3)
    xdotool keyup space
    above "$loud" "$(awk -v q="$quiet" 'BEGIN {print q * 2 + 20}')" ||
        fail "no fire sound (quiet $quiet, firing $loud)"
    key Escape
    sleep 0.5
    shot back
    check_title_menu "$e2e_work/back.png" 640 480
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

"journey_$journey"
echo "e2e $journey: passed"
