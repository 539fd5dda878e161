# Shared by the journeys, the soak and the docs pictures: a private X server, the game in
# it, pictures of its window and the sound it plays through SDL's disk audio.
set -euo pipefail
e2e_work=$(mktemp -d /tmp/stellarox-e2e.XXXXXX) game_pid="" xvfb_pid=""
finish() { # [STATUS]
    local rc=${1:-$?}
    kill $game_pid $xvfb_pid 2>/dev/null || true
    if ((rc)); then echo "e2e: failed; pictures and the game's output in $e2e_work" >&2; else rm -rf "$e2e_work"; fi
}
trap finish EXIT
fail() { echo "e2e: $*" >&2 && exit 1; }
above() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a > b)}'; }
poll() { # SECONDS COMMAND...: until COMMAND succeeds, so a loaded machine gets time
    local end=$((SECONDS + $1))
    until "${@:2}"; do ((SECONDS < end)) && sleep 0.2 || return 1; done
}

# A display of our own, far above those a stray client would assume (:0 and the like);
# a number already taken ends Xvfb at once, and another is tried.
start_x() {
    for _ in 1 2 3 4 5; do
        Xvfb ":$((SRANDOM % 800 + 100))" -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp \
            3>"$e2e_work/display" 2>"$e2e_work/xvfb.log" &
        xvfb_pid=$!
        poll 60 eval '[[ -s $e2e_work/display ]] || ! kill -0 $xvfb_pid 2>/dev/null' || true
        [[ -s $e2e_work/display ]] && export DISPLAY=":$(cat "$e2e_work/display")" && return
    done
    fail "no X display: $(tail -3 "$e2e_work/xvfb.log")"
}
start_game() { # DIR COMMAND...: runs in DIR, output into $game_log
    export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=${SDL_DISKAUDIOFILE:-$e2e_work/sound.raw}
    game_log=${game_log:-$e2e_work/game.log}
    (cd "$1" && exec "${@:2}" >"$game_log" 2>&1) &
    game_pid=$!
}
# Sets win to the game window; with no window manager the pointer gives it the keys.
window_up() {
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window: $(tail -3 "$game_log")"
    win=$(xdotool search --name '^Stellarox$' 2>/dev/null | head -1) && [[ -n "$win" ]]
}
wait_window() { poll 30 window_up && xdotool mousemove --window "$win" 10 10 || fail "no window captioned Stellarox"; }
wait_exit() { # SECONDS: sets status to the game's exit status
    poll "$1" eval '! kill -0 "$game_pid" 2>/dev/null' || fail "the game is still running"
    status=0 && wait "$game_pid" || status=$? && game_pid=""
}
win_size() { xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'; }
shot() { # NAME: the window's picture as $e2e_work/NAME.png
    /usr/bin/import -window root -crop "$(xwininfo -id "$win" | awk '/upper-left X/ {x=$4} /upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}')" +repage "$e2e_work/$1.png"
}
share() { # IMAGE BOX OPS...: the share (0..1) of the box's pixels that OPS make white
    /usr/bin/convert "$1" -crop "$2" -colorspace gray "${@:3}" -format '%[fx:mean]' info:; }
# The title menu at W x H: dark title text at the top and a white highlighted ITEM
# (0 "Play Game" to 3 "Quit", one and a half lines apart) where the layout puts it.
title_shown() { # NAME W H ITEM
    local w=$(($2 / 3)) lh=$(($3 * 50 / 768 * 7 / 6))
    shot "$1" && above "$(share "$e2e_work/$1.png" "${w}x$lh+$w+0" -threshold 12% -negate)" 0.03 &&
        above "$(share "$e2e_work/$1.png" "${w}x$lh+$w+$(($3 - (18 - 3 * $4) * lh / 2))" -threshold 94%)" 0.05
}
wait_title() { poll 20 title_shown "$@" || fail "no title menu with item $4 chosen at $2 x $3 ($1.png)"; }
loudness() { # SECONDS: mean absolute sample of the last SECONDS of sound
    tail -c "$(awk -v s="$1" 'BEGIN {printf "%d", s * 44100 * 4}')" "$SDL_DISKAUDIOFILE" |
        od -An -v -td2 -w2 | awk '{s += ($1 < 0 ? -$1 : $1); n++} END {printf "%.1f", n ? s / n : 0}'
}
key() { xdotool key --delay 300 "$@" && sleep 0.3; } # each key in a frame of its own
# The game reads Alt from its key state as it takes each key, so Alt stays down around them.
alt_key() { xdotool keydown Alt_L sleep 0.15 key --delay 400 "$@" sleep 0.15 keyup Alt_L sleep 0.3; }
# Signature colours at 640 x 480: the ship designs' gold (first), cyan (second) and gold
# (third), exhaust, the planet's night side, the turret's red and its crosshairs.
ship_gold='rgb(212,166,50)' cyan='rgb(29,192,221)' gold='rgb(199,174,25)'
exhaust='rgb(234,103,39)' planet='rgb(9,23,47)' turret='rgb(212,50,25)' crosshair='rgb(255,70,40)'
colour() { # IMAGE COLOUR FUZZ: sets count to the pixels within FUZZ of COLOUR, at to their centre
    local w h x y
    read -r count w h x y < <(/usr/bin/convert "$1" -alpha off -fuzz "$3" -transparent "$2" -alpha extract \
        -negate -format '%[fx:round(mean*w*h)] %@' info: 2>/dev/null | tr 'x+' '  ')
    at="$((x + w / 2)) $((y + h / 2))"
}
colour_count() { colour "$@" && echo "$count"; }
sprite_at() { colour "$@" && ((count >= 12)) && echo "$at"; } # fewer: a protected ship blinks
apart() { # "X1 Y1" "X2 Y2" PIXELS: whether the two centres are more than PIXELS apart
    local a=($1) b=($2) && (((a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2 > $3 * $3))
}
