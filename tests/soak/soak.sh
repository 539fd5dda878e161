#!/usr/bin/env bash
# Seeded random keys over every screen of the real game in a private X window; Quit
# starts it again. Each run must end with status 0 and no sanitizer report, and unless
# SOAK_JUDGE_MEMORY=0 (the sanitizer build, whose quarantine moves the floor) its resident
# memory growing by at most 2 MiB per 10 minutes plus SOAK_MEM_SLACK_KIB (2 MiB for soaks
# of 10 minutes or more, 8 MiB below). A failure prints the seed that replays the keys
# (not their timing).
#   soak.sh SECONDS SEED GAME_BINARY DATA_ROOT [LOG_DIR]
duration=$1 seed=$2 binary=$3 root=$4
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
log_dir=${5:-$(mktemp -d /tmp/stellarox-soak.XXXXXX)} && mkdir -p "$log_dir"
slack=${SOAK_MEM_SLACK_KIB:-$((duration >= 600 ? 2048 : 8192))} warm=$((duration >= 600 ? 60 : 15))
max_life=$((duration < 40 ? 20 : duration / 2 < 600 ? duration / 2 : 600)) deadline=$((SECONDS + duration))
RANDOM=$seed # never drawn in a subshell, which would not advance it
# The sanitizers stop at their first report; a small quarantine lets memory settle.
export ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export SDL_DISKAUDIOFILE=/dev/null
runs=0 events=0 statuses=""
declare -A seen=()
say() { echo "soak: $*" | tee -a "$log_dir/summary.txt"; }
problem() { say "FAILED: $*" && exit 1; }
soak_end() {
    local rc=$? s
    say "seed $seed, $duration s, $events key events, $runs runs, exit statuses ${statuses:-none}"
    say "screens entered: $(for s in "${!seen[@]}"; do printf '%s=%s ' "$s" "${seen[$s]}"; done)"
    ((rc == 0)) || say "FAILED: replay with scripts/soak.sh $duration $seed (logs in $log_dir)" >&2
    finish "$rc"
}
trap soak_end EXIT

choose() { choice=${*:RANDOM % $# + 1:1}; } # one of the words; repeats weigh more
between() { r=$(($1 + RANDOM % ($2 - $1 + 1))); }
enter() { seen[$1]=$((${seen[$1]:-0} + 1)); } # a screen the driver expects
press() { local k && for k in "$@"; do xdotool key "$k" sleep 0.15 2>/dev/null; events=$((events + 1)); done; }
hold() { # MS KEY...: held together
    xdotool keydown "${@:2}" sleep "$(awk -v m="$1" 'BEGIN {print m / 1000}')" keyup "${@:2}" sleep 0.05 2>/dev/null
    events=$((events + $# - 1))
}
alive() { kill -0 "$game_pid" 2>/dev/null; }
refocus() { win=$(xdotool search --name '^Stellarox$' | head -1) && xdotool mousemove --window "$win" 10 10; }
hotkey() { choose minus equal 0 KP_Add KP_Subtract u f q s m m n n 1 2 3 4 5 6 w p p o o k l && hold 150 Alt_L "$choice"; }
fullscreen() { between 40 120 && hold "$r" Alt_L Return && sleep 0.8 && refocus; }
noise() { # keys the menus ignore or take harmlessly
    choose hotkey hotkey hotkey fullscreen "press Pause" "press Left" "press Right" "press space" && $choice
}

start() {
    runs=$((runs + 1)) game_log=$log_dir/game-$runs.log
    start_game "$root" "$binary" && wait_window
    born=$SECONDS st=title tc=0 pc=1 cur=0 val=(0 0 0 0 0 0 0)
    sleep 2 && enter title # the loading screen
}
sample() { # resident memory and the window's size: every image is scaled to it
    local kib size
    kib=$(awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status" 2>/dev/null) && [[ -n $kib ]] || return 0
    size=$(xwininfo -id "$win" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}') || true
    echo "$runs $((SECONDS - born)) $kib $size" >>"$log_dir/rss.txt"
}
# The heap swings by megabytes as it is reused: for each size seen after the warm-up in
# both halves of a run, the least sample of the later half against the least of the
# earlier. A leak raises the later floor at every size.
judge() {
    awk -v n=0 -v run=$runs -v warm=$warm -v slack=$slack '$1 == run && $2 >= warm {t[n] = $2; k[n] = $3; z[n++] = $4}
        END {
            for (i = 0; i < n; i++) {
                h = (t[i] * 2 < t[0] + t[n - 1] ? 1 : 2) z[i]
                if (!(h in m) || k[i] < m[h]) m[h] = k[i]
            }
            for (i = 0; i < n; i++) if ((1 z[i]) in m && (2 z[i]) in m && (s == "" || m[2 z[i]] - m[1 z[i]] > g)) {
                s = z[i]; g = m[2 s] - m[1 s]
            }
            if (s == "") { print "run " run ": no window size seen early and late after the warm-up"; exit }
            if (t[n - 1] - t[0] < 60) { print "run " run ": under a minute after the warm-up (the heap still settles), not judged"; exit }
            a = int(2048 * (t[n - 1] - t[0]) / 600 + slack)
            printf "run %d: at %s the least VmRSS went %d -> %d KiB over %d s (%d allowed)\n", run, s, m[1 s], m[2 s], t[n - 1] - t[0], a
            exit (g > a)
        }' "$log_dir/rss.txt"
}
reap() {
    local rc=0 verdict
    wait "$game_pid" || rc=$?
    game_pid="" statuses+="$rc "
    ((rc == 0)) || problem "run $runs ended with status $rc (log $game_log)"
    ! grep -m1 -E 'Sanitizer|runtime error:' "$game_log" || problem "a sanitizer report in $game_log"
    [[ "${SOAK_JUDGE_MEMORY:-1}" == 0 ]] && return 0
    verdict=$(judge) && say "$verdict" || problem "resident memory grew: $verdict"
}

# The screens, as the driver expects the game to show them. On the title menu: the cursor
# to ITEM, then Return (or Escape, the same) there.
title() { # ITEM [KEY]
    for (( ; tc != $1; tc = (tc + 1) % 4)); do press Down; done
    press "${2:-Return}"
    st=$(echo difficulty count settings quit | cut -d' ' -f$((tc + 1))) cur=0 && enter $st
    [[ $st != quit ]] || poll 10 eval '! alive' || st=lost
}
back() { st=title tc=$1 && enter title; }
act_title() {
    ((SECONDS - born <= max_life)) || { title 3 && return; } # a planned Quit
    choose 0 0 0 0 0 0 0 0 1 1 1 1 2 2 2 2 3 Escape noise noise noise noise
    case $choice in Escape) title "$tc" Escape ;; noise) noise ;; *) title "$choice" ;; esac
}
fly() { # some of the controls held together
    local keys=() k
    for k in Left Right Up Down space; do ((RANDOM % 3)) || keys+=("$k"); done
    between 100 1500 && hold "$r" "${keys[@]:-space}"
}
pause() { press Pause && paused=$((1 - paused)); }
act_difficulty() { # then a game with held controls, hotkeys and Pause
    ((RANDOM % 20)) || { press Escape && back 0 && return; }
    choose 1 1 1 2 2 2 3 3 4 6
    for ((k = 1; k < choice; k++)); do press Up; done
    press Return && enter "game-d$choice"
    local long=$((RANDOM % 4 == 0)) paused=0 end
    ((long)) && between 30 90 || between 4 15
    end=$((SECONDS + r < deadline ? SECONDS + r : deadline))
    while ((SECONDS < end)) && alive; do
        choose fly fly fly fly fly fly fly hotkey hotkey hotkey pause "sleep 0.5" fullscreen && $choice
        sample
    done
    ((paused == 0)) || press Pause
    # After a long game the title menu may be back: Up and Escape quit from there.
    ((long)) && press Up Escape && poll 3 eval '! alive' && { enter game-over-quit && return; }
    ((long)) || press Escape
    back 0
}
act_count() {
    ((RANDOM % 25)) || { press Escape && back 1 && return; }
    choose 1 1 2 2 2 2 2 3 3 3 4 4
    for (( ; pc < choice; pc++)); do press Up; done && for (( ; pc > choice; pc--)); do press Down; done
    press Return && st=keys kp=0 kk=0 && enter keys
}
act_keys() { # mostly the default controls, now and then another key
    local defaults=(Left Right Up Down space) others=(a z x c Tab Control_L Shift_L 9 b period)
    ((RANDOM % 100)) || { press Escape && back 1 && return; }
    ((RANDOM % 8)) && press "${defaults[kk]}" || press "${others[RANDOM % 10]}"
    kk=$(((kk + 1) % 5)) && ((kk)) || kp=$((kp + 1))
    ((kk || kp < pc)) || { st=ship sp=0 && enter ship; }
}
act_ship() {
    ((RANDOM % 30)) || { press Escape && back 1 && return; }
    between 0 4 && choose Left Right
    for (( ; r > 0; r--)); do press "$choice"; done
    press Return
    ((++sp < pc)) || back 1
}
row() { for (( ; cur < $1; cur++)); do press Down; done && for (( ; cur > $1; cur--)); do press Up; done; }
# Held Right or Left changes a row about every second frame; the values stay sensible:
# within so many steps (tens, but ones on the audio rows) of where they started.
bound=(24 18 30 30 20 20 4) side=(Left "" Right)
act_settings() {
    local e n dir
    between 1 3
    for ((e = r; e > 0; e--)); do
        choose 0 0 0 0 0 1 1 1 1 1 2 3 4 4 5 5 6 6 6 Escape full
        [[ $choice != [0-6] ]] || row "$choice"
        case $choice in
        Escape) press Escape ;;            # the menu's only ways out are its items
        full) ((cur > 5)) || fullscreen ;; # Return on the last rows would leave
        *)
            between 1 5 && n=$r dir=$((RANDOM % 2 * 2 - 1))
            ((val[cur] + dir * n <= bound[cur])) || dir=-1
            ((val[cur] + dir * n >= -bound[cur])) || dir=1
            hold $((n * 66 + 20)) $( ((cur == 2 || cur == 3)) || echo Control_L) "${side[dir + 1]}"
            val[cur]=$((val[cur] + dir * n))
            ;;
        esac
        alive || return 0
    done
    choose 7 7 7 7 8 8 6 # Apply changes, Cancel, or Return on Game Speed
    row "$choice" && press Return
    ((choice != 7)) || { enter settings-apply && sleep 1.5 && refocus; } # every image is reloaded
    back 2
}
act_lost() { press Up Escape && back 0; } # Escape leaves every screen but the title and settings

start_x
start
while ((SECONDS < deadline)); do
    "act_$st" || true
    if alive; then sample; else reap && start; fi
done
sample && kill -TERM "$game_pid" # a window close ends the game with status 0 from any screen
poll 20 eval '! alive' || problem "the game did not end after a window close"
reap && say "passed"
