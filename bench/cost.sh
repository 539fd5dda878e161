#!/usr/bin/env bash
# The browser game's CPU against the desktop game's, measured in the same run: the desktop
# game plays in a private Xvfb while headless Chromium plays the web build, in a 640 x 480
# page and in a 1920 x 1080 page where the canvas is fit to 1440 x 1080; both with one ship
# thrusting, turning and firing. Samples alternate between the two (see
# bench/web_cost.mjs). The 1920 x 1080 page is held against the desktop window at the
# game's own 640 x 480 and at the size the page shows it, 1440 x 1080. Chromium runs with
# --disable-gpu, so it composites in software. Called by scripts/bench.sh.
#   bench/cost.sh GAME_BINARY DATA_ROOT WEB_DIR [SAMPLES] [SECONDS]
set -euo pipefail
game=$1 root=$2 site=$3 samples=${4:-5} seconds=${5:-8}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/stellarox-cost.XXXXXX)
server_pid=""
finish() {
    [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null || true
    [[ -n "$server_pid" ]] && kill "$server_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "bench-cost: $*" >&2
    exit 1
}
source "$here/desktop_game.sh"

serve() { # the web build on the first free port of 8300-8399
    local port
    for port in $(seq 8300 8399); do
        python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" \
            >"$work/server.log" 2>&1 &
        server_pid=$!
        for _ in $(seq 50); do
            if grep -q "port $port" "$work/server.log" 2>/dev/null; then
                url="http://127.0.0.1:$port/"
                return 0
            fi
            kill -0 "$server_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
        server_pid=""
    done
    fail "no free port in 8300-8399"
}

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
start_x
serve
printf "\nBrowser against desktop, in play, %s samples of %s s each, alternating\n" \
    "$samples" "$seconds"
echo "Chromium: headless, --disable-gpu (software compositing); load average $(cut -d' ' -f1-3 /proc/loadavg)"
results=()
for pair in 640x480:640x480 1920x1080:640x480 1920x1080:1440x1080; do
    viewport=${pair%:*} window=${pair#*:}
    start_game
    if [[ $window != 640x480 ]]; then
        # The settings menu misses presses on a busy machine: then this row is left out.
        if ! (resize "${window%x*}" "${window#*x}"); then
            results+=("$viewport|$window|-|not measured: the desktop window did not reach $window")
            stop_game
            continue
        fi
        key Up Up # from Settings back to Play Game
    fi
    [[ "$(win_size)" == "$window" ]] || fail "the window is $(win_size), not $window"
    key Return # Play Game
    sleep 0.5
    key Return # difficulty 1
    sleep 1
    xdotool keydown Up keydown Left keydown space
    echo "Page $viewport, desktop window $window"
    node "$here/web_cost.mjs" "$url" "${viewport%x*}" "${viewport#*x}" "$samples" "$seconds" \
        "$game_pid" "$xvfb_pid" | tee "$work/web.log"
    results+=("$viewport|$window|$(sed -n 's/^RESULT //p' "$work/web.log")")
    xdotool keyup space keyup Left keyup Up
    stop_game
done
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-11s %-11s %-11s %-19s %-19s %-17s %s\n" "Page" "Canvas" "Desktop" "Desktop (game+X)" \
    "Browser (rend.+GPU)" "Ratio (goal <= 2)" "Browser frames/s"
printf "%-11s %-11s %-11s %-19s %-19s %-17s %s\n" "" "shown at" "window" "median (min-max)" \
    "median (min-max)" "median (min-max)" "median (min-max)"
for r in "${results[@]}"; do
    IFS='|' read -r page window shown desktop browser ratio rate _ <<<"$r"
    if [[ $shown == - ]]; then
        printf "%-11s %-11s %-11s %s\n" "$page" - "$window" "$desktop"
        continue
    fi
    printf "%-11s %-11s %-11s %-19s %-19s %-17s %s\n" "$page" "$shown" "$window" "$desktop" \
        "$browser" "$ratio" "$rate"
done
