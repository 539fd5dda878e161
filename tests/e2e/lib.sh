# Shared by the journeys: a private X server, the game in it, screenshots, sound.
set -euo pipefail

e2e_work=$(mktemp -d /tmp/stellarox-e2e.XXXXXX)
game_pid=""
xvfb_pid=""

finish() {
    local rc=$?
    [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    if [[ $rc -ne 0 ]]; then
        echo "e2e: failed; screenshots kept in $e2e_work" >&2
    else
        rm -rf "$e2e_work"
    fi
}
trap finish EXIT

fail() { echo "e2e: $*" >&2; exit 1; }

start_x() { # a free display from :90 upward
    local n=90
    while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$e2e_work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    fail "Xvfb did not start on $DISPLAY"
}

start_game() { # start_game DIR COMMAND...: runs in DIR, sound into a file
    local dir=$1
    shift
    export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$e2e_work/sound.raw"
    (cd "$dir" && exec "$@" >"$e2e_work/game.log" 2>&1) &
    game_pid=$!
}

wait_window() { # sets win to the game window's id
    win=""
    for _ in $(seq 100); do
        win=$(xdotool search --name '^Stellarox$' 2>/dev/null | head -1 || true)
        [[ -n "$win" ]] && break
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
        sleep 0.1
    done
    [[ -n "$win" ]] || fail "no window captioned Stellarox"
    sleep 1.5 # loading screen, then the first menu frames
    xdotool mousemove --window "$win" 10 10 2>/dev/null || true
}

win_size() { # prints "W H"
    xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'
}

shot() { # shot NAME: the window's picture as NAME.png
    local x y w h
    read -r x y w h < <(xwininfo -id "$win" |
        awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
             /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
    /usr/bin/import -window root "$e2e_work/root-$1.png"
    /usr/bin/convert "$e2e_work/root-$1.png" -crop "${w}x${h}+${x}+${y}" +repage "$e2e_work/$1.png"
}

# Fraction (0..1) of a box's pixels that are near black / near white.
dark_fraction() { # IMAGE W H X Y
    /usr/bin/convert "$1" -crop "${2}x${3}+${4}+${5}" -colorspace gray -threshold 12% -negate \
        -format '%[fx:mean]' info:
}
white_fraction() { # IMAGE W H X Y
    /usr/bin/convert "$1" -crop "${2}x${3}+${4}+${5}" -colorspace gray -threshold 94% \
        -format '%[fx:mean]' info:
}
above() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a > b)}'; }

# Loudness (mean absolute sample) of the last SECONDS of captured sound.
loudness() { # loudness SECONDS
    local bytes
    bytes=$(awk -v s="$1" 'BEGIN {printf "%d", s * 44100 * 4}')
    tail -c "$bytes" "$SDL_DISKAUDIOFILE" | od -An -v -td2 -w2 |
        awk '{s += ($1 < 0 ? -$1 : $1); n++} END {printf "%.1f", n ? s / n : 0}'
}

key() { xdotool key --delay 120 "$@"; sleep 0.3; }

wait_exit() { # wait_exit SECONDS: prints the game's exit status
    local t=$(($1 * 10))
    while kill -0 "$game_pid" 2>/dev/null && [[ $t -gt 0 ]]; do sleep 0.1; t=$((t - 1)); done
    kill -0 "$game_pid" 2>/dev/null && fail "the game is still running"
    local rc=0
    wait "$game_pid" || rc=$?
    game_pid=""
    echo "$rc"
}

# The title menu as the player sees it at W x H: dark title, white "Play Game".
check_title_menu() { # IMAGE W H
    local w=$2 h=$3 lh=$(($3 * 50 / 768 * 7 / 6))
    local dark white
    dark=$(dark_fraction "$1" $((w / 3)) "$lh" $((w / 3)) 0)
    white=$(white_fraction "$1" $((w / 3)) "$lh" $((w / 3)) $((h - 9 * lh)))
    above "$dark" 0.03 || fail "no dark title text in the title band ($dark)"
    above "$white" 0.05 || fail "no white highlighted item where Play Game stands ($white)"
}
