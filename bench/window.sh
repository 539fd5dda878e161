#!/usr/bin/env bash
# The real game in a private Xvfb window: CPU share of the process over 30 s on the
# title menu and 30 s in a game (one ship thrusting, turning and firing), at 640 x 480
# and 1920 x 1080, split into the game's thread and the rest; and the time from exec
# to the first title frame in the window (median of five). Called by scripts/bench.sh.
#   bench/window.sh GAME_BINARY FIRST_FRAME_PROBE DATA_ROOT [SECONDS]
# Presentation choices of SDL can be tried by exporting its variables first, e.g.
# SDL_RENDER_DRIVER=software; the game itself reads none.
set -euo pipefail
game=$1 probe=$2 root=$3 seconds=${4:-30}
work=$(mktemp -d /tmp/stellarox-bench.XXXXXX)
finish() {
    [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "bench-window: $*" >&2
    exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/desktop_game.sh"

# CPU of the whole process, of its first (game) thread, of the rest of its threads and
# of the X server (which copies each frame to its screen) over SECONDS, as shares of
# one core: "total game rest xserver".
cpu_share() {
    local hz t0 g0 x0 t1 g1 x1 start end
    hz=$(getconf CLK_TCK)
    t0=$(ticks "/proc/$game_pid/stat")
    g0=$(ticks "/proc/$game_pid/task/$game_pid/stat")
    x0=$(ticks "/proc/$xvfb_pid/stat")
    start=$(date +%s.%N)
    sleep "$seconds"
    t1=$(ticks "/proc/$game_pid/stat")
    g1=$(ticks "/proc/$game_pid/task/$game_pid/stat")
    x1=$(ticks "/proc/$xvfb_pid/stat")
    end=$(date +%s.%N)
    awk -v t=$((t1 - t0)) -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v hz="$hz" -v s="$start" \
        -v e="$end" 'BEGIN {w = (e - s) * hz / 100; printf "%.1f %.1f %.1f %.1f", t / w, g / w, (t - g) / w, x / w}'
}

row() { # row NAME "total game rest xserver" GOAL_TOTAL [GOAL_GAME]
    local total game rest xserver
    read -r total game rest xserver <<<"$2"
    printf "%-40s %6s %% %6s %% %6s %% %6s %%   goal: < %s %% process%s\n" "$1" "$total" "$game" \
        "$rest" "$xserver" "$3" "${4:+, < $4 % game thread}"
}

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
start_x
printf "\nReal window (Xvfb), %s s each, load average %s\n" "$seconds" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-40s %8s %8s %8s %8s\n" "Figure (share of one core)" "process" "game" "rest" "X server"
for size in 640x480 1920x1080; do
    start_game
    if [[ $size != 640x480 ]]; then
        resize "${size%x*}" "${size#*x}"
    fi
    [[ "$(win_size)" == "$size" ]] || fail "the window is $(win_size), not $size"
    if [[ $size == 640x480 ]]; then
        row "Title menu $size" "$(cpu_share)" 5 3
    else
        row "Title menu $size" "$(cpu_share)" 25
    fi
    # Play Game (the cursor is on Settings after a resize), difficulty 1.
    [[ $size != 640x480 ]] && key Up Up
    key Return
    sleep 0.5
    key Return
    sleep 1
    xdotool keydown Up keydown Left keydown space
    if [[ $size == 640x480 ]]; then
        row "Play $size, thrusting and firing" "$(cpu_share)" 5 3
    else
        row "Play $size, thrusting and firing" "$(cpu_share)" 25
    fi
    xdotool keyup space keyup Left keyup Up
    stop_game
done

starts=()
for _ in 1 2 3 4 5; do
    starts+=("$("$probe" "$root" "$game")")
done
# Each line: wall seconds, CPU seconds of the game by then.
spread() { # spread COLUMN: "min / median / max"
    printf "%s\n" "${starts[@]}" | awk -v c="$1" '{print $c}' | sort -n | tr '\n' ' ' |
        awk '{printf "%s / %s / %s", $1, $3, $5}'
}
printf "%-40s %8s s   min/median/max %s s; goal < 0.35 s\n" "Exec to first title frame (median of 5)" \
    "$(spread 1 | awk '{print $3}')" "$(spread 1)"
printf "%-40s %8s s   min/median/max %s s (the game's own CPU time by then)\n" \
    "  of which CPU of the game" "$(spread 2 | awk '{print $3}')" "$(spread 2)"
