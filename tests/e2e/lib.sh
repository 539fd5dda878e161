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

# A display of our own from :90 upward. Runs side by side (several builds, the docs
# script) must never share a server: the first to finish would take the other's game down
# with its server. Two Xvfb started at once on one number do not simply leave one
# winner: the loser can remove the winner's socket or lock on its way out, and a third
# server then comes up on the same number. So the runs start their servers one at a
# time (flock), and a display counts only once its lock file names our own Xvfb.
# -noreset keeps the server from resetting whenever its last client (xdpyinfo) leaves.
start_x() {
    local n=90 lock guard
    exec {guard}>/tmp/stellarox-e2e-display.lock
    flock -w 60 "$guard" || fail "another run holds the display lock for a minute"
    while [[ $n -lt 190 ]]; do
        # A server that is shutting down may have removed its files but still hold its
        # abstract socket, which clients try first.
        if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]] &&
            ! grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix; then
            # The server must not inherit the lock, or it would hold it for its lifetime.
            Xvfb ":$n" -noreset -screen 0 1280x1024x24 -nolisten tcp >"$e2e_work/xvfb.log" 2>&1 {guard}>&- &
            xvfb_pid=$!
            for _ in $(seq 100); do
                kill -0 "$xvfb_pid" 2>/dev/null || break
                lock=$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock" || true)
                if [[ "$lock" == "$xvfb_pid" ]] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                    export DISPLAY=":$n"
                    exec {guard}>&-
                    return 0
                fi
                sleep 0.1
            done
            kill "$xvfb_pid" 2>/dev/null || true
            wait "$xvfb_pid" 2>/dev/null || true
        fi
        n=$((n + 1))
    done
    fail "no display of our own: $(tail -3 "$e2e_work/xvfb.log")"
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
        kill -0 "$game_pid" 2>/dev/null ||
            fail "the game ended before its window appeared: $(tail -3 "$e2e_work/game.log")"
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

# The game reads Alt from its key state while it handles each key: a quick alt+KEY can be
# over before the game reads its events, so Alt stays down around the keys.
alt_key() { # alt_key KEY...: 0.4 s apart, one frame's worth each even on a slow machine
    xdotool keydown Alt_L
    sleep 0.15
    xdotool key --delay 400 "$@"
    sleep 0.15
    xdotool keyup Alt_L
    sleep 0.3
}

# Holds KEY for SECONDS (others, such as Control_L, may be held around it).
hold() { # hold KEY SECONDS
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# Repeats COMMAND until it succeeds, for at most SECONDS; a loaded machine gets time,
# a fast one does not wait.
poll() { # poll SECONDS COMMAND...
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [[ $SECONDS -lt $end ]] || return 1
        sleep 0.2
    done
}

# Pixels of an image within FUZZ of a colour, and their bounding box "W H X Y".
colour_count() { # IMAGE COLOUR FUZZ
    /usr/bin/convert "$1" -alpha off -fuzz "$3" -transparent "$2" -alpha extract -negate \
        -format '%[fx:round(mean*w*h)]' info:
}
colour_box() { # IMAGE COLOUR FUZZ
    /usr/bin/convert "$1" -alpha off -fuzz "$3" -transparent "$2" -alpha extract -negate \
        -format '%@' info: 2>/dev/null | tr 'x+' '  '
}

wait_exit() { # wait_exit SECONDS: prints the game's exit status
    local t=$(($1 * 10))
    while kill -0 "$game_pid" 2>/dev/null && [[ $t -gt 0 ]]; do sleep 0.1; t=$((t - 1)); done
    kill -0 "$game_pid" 2>/dev/null && fail "the game is still running"
    local rc=0
    wait "$game_pid" || rc=$?
    game_pid=""
    echo "$rc"
}

# The title menu as the player sees it at W x H: dark title, the highlighted item white
# (ITEM 0 "Play Game", the default, to 3 "Quit", one and a half lines apart).
title_items=("Play Game" "Configure Game" "Settings" "Quit")
title_menu_shown() { # IMAGE W H [ITEM]; sets title_dark and title_white
    local w=$2 h=$3 lh=$(($3 * 50 / 768 * 7 / 6)) item=${4:-0}
    title_dark=$(dark_fraction "$1" $((w / 3)) "$lh" $((w / 3)) 0)
    title_white=$(white_fraction "$1" $((w / 3)) "$lh" $((w / 3)) $((h - (18 - 3 * item) * lh / 2)))
    above "$title_dark" 0.03 && above "$title_white" 0.05
}
check_title_menu() { # IMAGE W H [ITEM]
    title_menu_shown "$@" && return 0
    above "$title_dark" 0.03 || fail "no dark title text in the title band ($title_dark)"
    fail "no white highlighted item where ${title_items[${4:-0}]} stands ($title_white)"
}
# Waits until the window shows the title menu at W x H, as shot NAME.
title_shot() { shot "$1" && title_menu_shown "$e2e_work/$1.png" "${@:2}"; }
wait_title_menu() { # NAME SECONDS W H [ITEM]
    poll "$2" title_shot "$1" "${@:3}" || check_title_menu "$e2e_work/$1.png" "${@:3}"
}

# Keys one at a time, far enough apart that each lands in its own frame: a prompt that
# captures keys keeps only the last key of a frame.
keys_apart() { # keys_apart KEY...
    local k
    for k in "$@"; do
        xdotool key "$k"
        sleep 0.3
    done
}

# Signature colours of the generated sprites at 640 x 480: the first ship design's gold,
# the second design's cyan, the third's gold, engine exhaust, the planet's night side,
# the turret's red and its crosshairs.
ship_gold='rgb(212,166,50)' cyan='rgb(29,192,221)' gold='rgb(199,174,25)'
exhaust='rgb(234,103,39)' planet='rgb(9,23,47)' turret='rgb(212,50,25)' crosshair='rgb(255,70,40)'

# The centre "X Y" of the pixels of one colour, such as a ship's own colour; fails when
# fewer than 12 are seen (a protected ship blinks).
sprite_at() { # IMAGE COLOUR FUZZ
    local n w h x y
    n=$(colour_count "$@")
    [[ $n -ge 12 ]] || return 1
    read -r w h x y < <(colour_box "$@")
    echo "$((x + w / 2)) $((y + h / 2))"
}
# Whether two centres "X Y" are more than PIXELS apart.
apart() { # "X1 Y1" "X2 Y2" PIXELS
    local a=($1) b=($2)
    local dx=$((a[0] - b[0])) dy=$((a[1] - b[1]))
    [[ $((dx * dx + dy * dy)) -gt $(($3 * $3)) ]]
}
