# The real game in a private Xvfb: start the display and the game, drive it with xdotool,
# read CPU ticks. Sourced by bench/window.sh and bench/cost.sh, which set "work" (a
# scratch folder) and define fail().
xvfb_pid="" game_pid=""

start_x() { # a display of our own, with room for a size that overshoots 1920 x 1080
    local n
    for n in $(seq 300 399); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -noreset -screen 0 2560x1600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    done
    fail "no display of our own"
}

start_game() {
    (cd "$root" && exec "$game" >"$work/game.log" 2>&1) &
    game_pid=$!
    win=""
    for _ in $(seq 100); do
        win=$(xdotool search --name '^Stellarox$' 2>/dev/null | head -1 || true)
        [[ -n "$win" ]] && break
        sleep 0.1
    done
    [[ -n "$win" ]] || fail "no window"
    sleep 2 # the loading screen, then the title menu
}

stop_game() {
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
}

win_size() { xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
key() { xdotool key --delay 150 "$@"; }

# One step of a settings row per press: held for longer than a frame and shorter than
# the menu's repeat interval, then released.
press() { # press KEY COUNT [MODIFIER...]
    local k=$1 count=$2 m
    shift 2
    for m in "$@"; do xdotool keydown "$m"; done
    for _ in $(seq "$count"); do
        xdotool keydown "$k"
        sleep 0.045
        xdotool keyup "$k"
        sleep 0.09
    done
    for m in "$@"; do xdotool keyup "$m"; done
}

# Moves the settings row under the cursor by DELTA: Ctrl+Shift steps 100, Ctrl 10, none 1.
nudge() {
    local delta=$1 dir=Right
    [[ $delta -lt 0 ]] && dir=Left delta=$((-delta))
    press "$dir" $((delta / 100)) Control_L Shift_L
    press "$dir" $((delta % 100 / 10)) Control_L
    press "$dir" $((delta % 10))
}

# From the title menu with the cursor on Play Game: Settings, width and height, Apply.
# The window's size tells what was applied; a missed press is made good next round.
resize() { # resize W H
    local want="$1x$2" tries cur w h
    key Down Down Return
    for tries in 1 2 3 4 5 6; do
        sleep 0.5
        cur=$(win_size)
        w=${cur%x*} h=${cur#*x}
        nudge $(($1 - w))
        key Down
        nudge $(($2 - h))
        key Down Down Down Down Down Down Return # Apply changes
        sleep 3
        [[ "$(win_size)" == "$want" ]] && return 0
        key Return # the cursor stays on Settings
    done
    fail "the window is $(win_size), not $want"
}

ticks() { # ticks TID_OR_PID_STAT_FILE: utime + stime
    awk '{sub(/^.*\) /, ""); print $12 + $13}' "$1"
}
