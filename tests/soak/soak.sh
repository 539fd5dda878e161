#!/usr/bin/env bash
# Random-input soak of the real game in a private X window:
#   soak.sh SECONDS SEED GAME_BINARY DATA_ROOT [LOG_DIR]
# DATA_ROOT holds data/. Seeded random keys drive every screen: title menu, player
# count, key capture, ship choice, difficulty, settings (sizes, audio, speed, Apply),
# games with held controls, every Alt hotkey, Pause and Escape. Quit restarts the game.
# Only exit status 0 is allowed, no sanitizer report, and resident memory may grow by
# at most 2 MiB per 10 minutes of a process's life (plus SOAK_MEM_SLACK_KIB, 2 MiB for
# runs of 10 minutes or more, 8 MiB for shorter ones).
# The run is replayed with the printed seed; the keys are the same, the timing is not.
# SOAK_SHOTS=1 keeps a picture of every screen the driver believes it has reached.
duration=${1:-60} seed=${2:-$(date +%s)} binary=$3 root=$4
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
[[ -d "$root/data/images" ]] || fail "no generated data tree below $root"
[[ -x "$binary" ]] || fail "no game binary $binary"
log_dir=${5:-$(mktemp -d /tmp/stellarox-soak.XXXXXX)}
mkdir -p "$log_dir"
mem_slack=${SOAK_MEM_SLACK_KIB:-$((duration >= 600 ? 2048 : 8192))}
warm_s=${SOAK_WARM_S:-$((duration >= 600 ? 60 : 15))}
max_life=$((duration / 2 < 600 ? duration / 2 : 600)) # planned Quit after this age
((max_life < 20)) && max_life=20
RANDOM=$seed

# The sanitizers stop at the first report; freed blocks wait in a small quarantine so
# that resident memory settles within the warm-up (the default holds 256 MiB).
export ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null

# ---- Figures
events=0 runs=0 restarts=0 statuses="" failures="" mem_lines="" visits=""
declare -A seen=()

soak_finish() {
    local rc=$?
    {
        echo "soak: seed $seed, ${duration} s, $events key events, $runs runs, $restarts restarts"
        echo "soak: exit statuses: ${statuses:-none}"
        echo "soak: screens entered: $(for s in "${!seen[@]}"; do printf '%s=%s ' "$s" "${seen[$s]}"; done)"
        printf '%b' "$mem_lines"
        [[ -n "$failures" ]] && printf 'soak: FAILED:%b\n' "$failures"
        echo "soak: logs in $log_dir"
    } | tee -a "$log_dir/summary.txt"
    if [[ $rc -ne 0 || -n "$failures" ]]; then
        echo "soak: replay with SEED=$seed (scripts/soak.sh $duration $seed)" >&2
        rc=1
    fi
    # finish reads the status from $?; errexit must not end the trap before it runs.
    set +e
    (exit $rc)
    finish
}
trap soak_finish EXIT

problem() { # records a failure and stops the run
    failures+="\n  $*"
    exit 1
}

# ---- Seeded choices (never in a subshell: that would re-seed RANDOM)
rnd() { r=$((RANDOM % $1)); }        # r in 0 .. N-1
between() { r=$(($1 + RANDOM % ($2 - $1 + 1))); }
pick() { # pick name:weight ...: sets choice
    local total=0 item
    for item in "$@"; do total=$((total + ${item##*:})); done
    rnd "$total"
    for item in "$@"; do
        r=$((r - ${item##*:}))
        if ((r < 0)); then
            choice=${item%%:*}
            return
        fi
    done
}

# ---- The game process
game_log=""
born=0 warm_rss="" warm_t=0 last_rss="" last_t=0

start_soak_game() {
    runs=$((runs + 1))
    game_log="$log_dir/game-$runs.log"
    (cd "$root" && exec "$binary" >"$game_log" 2>&1) &
    game_pid=$!
    wait_window
    born=$SECONDS warm_rss="" last_rss=""
    focus_window
    st=title tc=0 pc=${pc_default:-1} paused=0 sw=640 sh=480 gs=100
    enter title
}

focus_window() {
    win=$(xdotool search --name '^Stellarox$' 2>/dev/null | head -1 || true)
    [[ -n "$win" ]] && xdotool mousemove --window "$win" 10 10 2>/dev/null || true
}

sample_memory() {
    local kib size
    kib=$(awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status" 2>/dev/null || true)
    [[ -n "$kib" ]] || return 0
    last_rss=$kib last_t=$SECONDS
    # The window's size: the images, and so the memory they need, grow with it.
    size=$(xwininfo -id "$win" 2>/dev/null | awk '/Width:/ {w = $2} /Height:/ {h = $2}
        END {print (w ? w "x" h : "?")}' || true)
    echo "$runs $((SECONDS - born)) $kib $st $size" >>"$log_dir/rss.txt"
    if [[ -z "$warm_rss" && $((SECONDS - born)) -ge $warm_s ]]; then
        warm_rss=$kib warm_t=$SECONDS
    fi
}

check_log() {
    if grep -qE 'AddressSanitizer|UndefinedBehaviorSanitizer|runtime error:|LeakSanitizer' "$game_log"; then
        problem "sanitizer report in $game_log: $(grep -m1 -E 'ERROR|runtime error' "$game_log")"
    fi
}

# Resident memory follows the screen size (every image is scaled to it) and swings by
# megabytes as the heap is reused, so like is compared with like: for each window size
# seen in both halves of a process's life after warm-up, the least sample of the later
# half against the least of the earlier. A leak raises the later floor at every size.
check_memory() { # the figures of the process that just ended
    local life=$((last_t - born)) figures
    if [[ -z "$warm_rss" ]]; then
        mem_lines+="soak: run $runs: ${life} s, ${last_rss:-?} KiB at the end (no warm-up sample)\n"
        return
    fi
    figures=$(awk -v run="$runs" -v warm="$warm_s" 'BEGIN {n = 0}
        $1 == run && $2 >= warm {t[n] = $2; k[n] = $3; s[n] = $5; n++}
        END {
            mid = (t[0] + t[n - 1]) / 2
            for (i = 0; i < n; i++) {
                if (t[i] < mid) {
                    if (!(s[i] in early) || k[i] < early[s[i]]) early[s[i]] = k[i]
                } else if (!(s[i] in late) || k[i] < late[s[i]]) {
                    late[s[i]] = k[i]
                }
            }
            best = ""
            for (size in early) {
                if ((size in late) && (best == "" || late[size] - early[size] > growth)) {
                    best = size
                    growth = late[size] - early[size]
                }
            }
            if (best == "") print "none", 0, 0, t[n - 1] - t[0]
            else print best, early[best], late[best], t[n - 1] - t[0]
        }' "$log_dir/rss.txt")
    local size first last span
    read -r size first last span <<<"$figures"
    mem_lines+="soak: run $runs: ${life} s, VmRSS $warm_rss KiB after warm-up, $last_rss KiB at the end;"
    if [[ "$size" == none ]]; then
        mem_lines+=" no window size was seen in both halves, so growth is not judged\n"
        return
    fi
    local growth=$((last - first))
    local allowed=$((2048 * span / 600 + mem_slack))
    mem_lines+=" at $size the floor went $first -> $last KiB (growth $growth KiB over $span s, allowed $allowed)\n"
    ((growth <= allowed)) || problem "run $runs: resident memory floor at $size grew by $growth KiB in $span s"
}

reap() { # the game has ended: its status must be 0
    local rc=0
    wait "$game_pid" || rc=$?
    game_pid=""
    statuses+="$rc "
    check_log
    check_memory
    [[ $rc -eq 0 ]] || problem "run $runs ended with status $rc (log $game_log)"
}

# After every action: a game that ended is checked and started again.
alive_or_restart() {
    if kill -0 "$game_pid" 2>/dev/null; then
        sample_memory
        return 0
    fi
    reap
    restarts=$((restarts + 1))
    start_soak_game
    return 1
}

wait_gone() { # wait_gone SECONDS: true when the game ended meanwhile
    local t=$(($1 * 10))
    while kill -0 "$game_pid" 2>/dev/null && ((t > 0)); do sleep 0.1; t=$((t - 1)); done
    ! kill -0 "$game_pid" 2>/dev/null
}

# ---- Keys. Menu keys are spaced so that every press lands in a frame of its own.
gap=0.15
press() { # press KEY...: each pressed and released
    local k
    for k in "$@"; do
        xdotool key "$k" 2>/dev/null || true
        events=$((events + 1))
        sleep "$gap"
    done
}

soak_hold() { # soak_hold MS KEY...: held together, then released
    local ms=$1 k
    shift
    for k in "$@"; do xdotool keydown "$k" 2>/dev/null || true; done
    events=$((events + $#))
    sleep "$(awk -v m="$ms" 'BEGIN {printf "%.3f", m / 1000}')"
    for k in "$@"; do xdotool keyup "$k" 2>/dev/null || true; done
    sleep 0.05
}

soak_alt_key() { # Alt held over whole frames, so the game sees it with the key
    xdotool keydown Alt_L 2>/dev/null || true
    sleep 0.1
    xdotool key "$1" 2>/dev/null || true
    sleep 0.1
    xdotool keyup Alt_L 2>/dev/null || true
    events=$((events + 2))
    sleep 0.05
}

toggle_fullscreen() { # Alt+Return held over a frame or more: one or more toggles
    between 40 120
    soak_hold "$r" Alt_L Return
    sleep 0.8
    focus_window
}

shots=0
enter() { # counts a screen the model expects; SOAK_SHOTS=1 keeps a picture of each
    seen[$1]=$((${seen[$1]:-0} + 1))
    if [[ -n "${SOAK_SHOTS:-}" && -n "$win" ]]; then
        sleep 0.4
        shots=$((shots + 1))
        local name
        name=$(printf '%03d-%s' "$shots" "$1")
        shot "$name" 2>/dev/null && mv "$e2e_work/$name.png" "$log_dir/" || true
    fi
}

# ---- The model of the screen the game shows, and what to do there
alt_hotkey() {
    pick minus:3 equal:3 0:3 KP_Add:4 KP_Subtract:4 u:3 f:3 q:3 s:3 m:4 n:4 1:1 2:1 3:1 4:1 \
        5:1 6:1 w:3 p:6 o:5 k:3 l:3
    soak_alt_key "$choice"
}

noise() { # keys a menu screen ignores (or uses harmlessly)
    pick alt:6 pause:2 side:3 full:1 space:2
    case $choice in
    alt) alt_hotkey ;;
    pause) press Pause ;;
    side) press Left Right ;;
    full) toggle_fullscreen ;;
    space) press space ;;
    esac
}

nav_title() { # moves the title cursor from tc to $1
    local n=$((($1 - tc + 4) % 4)) k
    if ((n == 3)); then
        press Up
    else
        for ((k = 0; k < n; k++)); do press Down; done
    fi
    tc=$1
}

choose_title() { # Return (or Escape) on the item under the cursor
    press "$1"
    case $tc in
    0) st=difficulty ;;
    1) st=count ;;
    2) st=settings cur=0 ;;
    3)
        enter quit
        wait_gone 10 || { st=unknown; return; }
        ;;
    esac
    enter "$st"
}

act_title() {
    if ((SECONDS - born > max_life)); then
        sample_memory
        nav_title 3
        choose_title Return
        return
    fi
    pick play:40 configure:18 settings:18 escape:4 quit:2 noise:18
    case $choice in
    play) nav_title 0 && choose_title Return ;;
    configure) nav_title 1 && choose_title Return ;;
    settings) nav_title 2 && choose_title Return ;;
    quit) nav_title 3 && choose_title Return ;;
    escape) choose_title Escape ;;
    noise) noise ;;
    esac
}

act_difficulty() {
    rnd 20
    if ((r == 0)); then
        press Escape
        st=title tc=0
        return
    fi
    pick 1:30 2:30 3:20 4:12 6:8
    local k
    for ((k = 1; k < choice; k++)); do press Up; done
    press Return
    st=game paused=0
    enter "game-d$choice"
    play_game
}

play_game() {
    local long=0 until
    rnd 4
    if ((r == 0)); then
        long=1
        between 30 90
    else
        between 4 15
    fi
    until=$((SECONDS + r))
    ((until > deadline)) && until=$deadline
    while ((SECONDS < until)); do
        pick fly:60 alt:25 pause:3 full:1 nothing:4
        case $choice in
        fly)
            local keys=() k
            for k in Left Right Up Down space; do
                rnd 3
                ((r == 0)) && keys+=("$k")
            done
            ((${#keys[@]} == 0)) && keys=(space)
            between 100 1500
            soak_hold "$r" "${keys[@]}"
            ;;
        alt) alt_hotkey ;;
        pause)
            press Pause
            paused=$((1 - paused))
            ;;
        full) toggle_fullscreen ;;
        nothing) sleep 0.5 ;;
        esac
        sample_memory
        kill -0 "$game_pid" 2>/dev/null || return 0
    done
    ((paused)) && press Pause
    if ((long)); then
        # Perhaps the game is over and the title menu is back (choice 0): Up then
        # Escape leaves a game as well as it quits from there; both end on the title.
        press Up Escape
        if wait_gone 3; then
            enter game-over-quit
            return
        fi
    else
        press Escape
    fi
    st=title tc=0
    enter title
}

act_count() {
    rnd 25
    if ((r == 0)); then
        press Escape
        st=title tc=1
        return
    fi
    pick 1:15 2:40 3:25 4:20
    while ((pc < choice)); do press Up && pc=$((pc + 1)); done
    while ((pc > choice)); do press Down && pc=$((pc - 1)); done
    press Return
    st=keys kp=0 kk=0
    enter keys
}

act_keys() { # one key per capture: mostly the default controls, now and then another
    local defaults=(Left Right Up Down space) others=(a z x c Tab Control_L Shift_L 9 b period)
    rnd 100
    if ((r == 0)); then
        press Escape
        st=title tc=1
        return
    elif ((r < 12)); then
        rnd ${#others[@]}
        press "${others[$r]}"
    else
        press "${defaults[$kk]}"
    fi
    kk=$((kk + 1))
    if ((kk == 5)); then
        kk=0 kp=$((kp + 1))
        if ((kp == pc)); then
            st=ship sp=0
            enter ship
        fi
    fi
}

act_ship() {
    rnd 30
    if ((r == 0)); then
        press Escape
        st=title tc=1
        return
    fi
    between 0 4
    local n=$r k
    rnd 2
    local side=$([[ $r == 0 ]] && echo Left || echo Right)
    for ((k = 0; k < n; k++)); do press "$side"; done
    press Return
    sp=$((sp + 1))
    ((sp == pc)) && st=title tc=1
}

nav_settings() { # moves the settings cursor from cur to $1
    while ((cur < $1)); do press Down && cur=$((cur + 1)); done
    while ((cur > $1)); do press Up && cur=$((cur - 1)); done
}

# Held Right or Left changes the row about every second frame.
change_row() { # change_row ROW: a held change, kept within sensible bounds
    local row=$1 n dir ctrl=() value lo hi step
    nav_settings "$row"
    case $row in
    0) value=$sw lo=400 hi=880 step=10 ctrl=(Control_L) ;;
    1) value=$sh lo=300 hi=660 step=10 ctrl=(Control_L) ;;
    2 | 3) value=0 lo=-30 hi=30 step=1 ;;
    4 | 5) value=0 lo=-200 hi=200 step=10 ctrl=(Control_L) ;;
    6) value=$gs lo=60 hi=140 step=10 ctrl=(Control_L) ;;
    esac
    between 1 5
    n=$r
    rnd 2
    dir=$((r == 0 ? 1 : -1))
    ((value + dir * n * step > hi)) && dir=-1
    ((value + dir * n * step < lo)) && dir=1
    local key=$([[ $dir == 1 ]] && echo Right || echo Left)
    soak_hold $((n * 66 + 20)) "${ctrl[@]}" "$key"
    value=$((value + dir * n * step))
    case $row in
    0) sw=$value ;;
    1) sh=$value ;;
    6) gs=$value ;;
    esac
}

act_settings() {
    between 1 3
    local edits=$r e
    for ((e = 0; e < edits; e++)); do
        pick 0:25 1:25 2:3 3:3 4:8 5:8 6:14 escape:3 full:1
        case $choice in
        escape) press Escape ;; # the settings menu has no way back but its items
        full) ((cur > 5)) || toggle_fullscreen ;; # Return on the last rows would leave
        *) change_row "$choice" ;;
        esac
        kill -0 "$game_pid" 2>/dev/null || return 0
    done
    pick apply:60 cancel:25 speed:15
    case $choice in
    apply)
        nav_settings 7
        press Return
        enter settings-apply
        sleep 1.5 # a size change reloads every image
        focus_window
        ;;
    cancel) nav_settings 8 && press Return ;;
    speed) nav_settings 6 && press Return ;;
    esac
    st=title tc=2
    enter title
}

act_unknown() { # lost track: Escape leaves every screen but the title and settings
    press Up Escape
    st=title tc=0
}

# ---- The run
deadline=$((SECONDS + duration))
start_x
start_soak_game
while ((SECONDS < deadline)); do
    "act_$st" || true
    alive_or_restart || true
done

# The end: a window close ends the game with status 0 from any screen.
sample_memory
kill -TERM "$game_pid" 2>/dev/null || true
wait_gone 20 || problem "the game did not end after a window close"
reap
echo "soak: passed"
