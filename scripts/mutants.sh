#!/usr/bin/env bash
# How sharp are the unit tests? Each deliberate fault in scripts/mutants.txt is put
# into a scratch copy of the project, which is rebuilt and unit-tested; a fault the
# tests notice is killed. Prints "killed K of N" and the survivors. Not part of CI: a
# full run takes about an hour.
#
#   scripts/mutants.sh [--rev REV] [--keep] [--only NAME...]
#
# --rev REV tests the suite of a git revision instead of the working tree (the fault
# list is always the working tree's); --keep leaves the scratch copy in place;
# --only runs the named faults alone, e.g. to check survivors again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
list=$root/scripts/mutants.txt
rev="" keep=0 only=()
while (($#)); do
    case $1 in
    --rev) rev=$2 && shift 2 ;;
    --keep) keep=1 && shift ;;
    --only) shift && only=("$@") && break ;;
    *) echo "usage: $0 [--rev REV] [--keep] [--only NAME...]" >&2 && exit 2 ;;
    esac
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/stellarox-mutants.XXXXXX")
src=$scratch/src build=$scratch/src/build
if ((keep)); then
    echo "scratch copy: $scratch"
else
    trap 'rm -rf "$scratch"' EXIT
fi

# The sources: a revision, or the working tree's tracked and unignored files.
mkdir "$src"
if [[ -n $rev ]]; then
    git -C "$root" archive "$rev" | tar -x -C "$src"
else
    git -C "$root" ls-files -z --cached --others --exclude-standard |
        tar -c -C "$root" --null -T - --ignore-failed-read 2>/dev/null | tar -x -C "$src"
fi

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTELLAROX_BENCH=OFF >/dev/null
compile() { cmake --build "$build" -j2 >"$scratch/build.log" 2>&1; }
unit_tests() {
    ctest --test-dir "$build" -j2 --stop-on-failure --timeout 60 --repeat until-pass:2 \
        -LE 'e2e|memcheck|soak' >"$scratch/test.log" 2>&1
}
compile || { cat "$scratch/build.log" >&2 && echo "the unmutated copy does not build" >&2 && exit 1; }

# The tests read data/ below the source dir. A private copy, so that nothing else can
# change it meanwhile; faults in the generator get a tree of their own (see below).
rm -rf "$src/data" && mkdir "$scratch/data"
if [[ -f $root/data/.generated ]]; then
    cp -a "$root/data/." "$scratch/data/"
else
    "$build/tools/assetgen/stellarox-assetgen" "$scratch/data" >/dev/null
fi
ln -s "$scratch/data" "$src/data"

# A red suite measures nothing.
unit_tests || { tail -40 "$scratch/test.log" >&2 && echo "the unmutated unit tests fail" >&2 && exit 1; }

killed=0 total=0 survivors=()
while IFS= read -r line <&3; do
    [[ -z $line || $line == \#* ]] && continue
    path=${line%%|*} name=${line##*|}
    expr=${line#*|} && expr=${expr%|*}
    if ((${#only[@]})) && [[ ! " ${only[*]} " == *" $name "* ]]; then
        continue
    fi
    start=$SECONDS file=$src/$path
    cp -p "$file" "$scratch/original"
    sed -i -e "$expr" "$file"
    changed=$(diff "$scratch/original" "$file" | grep -c '^<' || true)
    if ((changed != 1)); then
        outcome="does not apply ($changed lines changed)"
    elif ! compile; then
        outcome="does not compile"
    else
        # The generator's faults show in the tree it writes: the tests read that one.
        if [[ $path == tools/assetgen/* ]]; then
            rm -rf "$scratch/data-mutant"
            "$build/tools/assetgen/stellarox-assetgen" "$scratch/data-mutant" >/dev/null 2>&1 || true
            ln -sfn "$scratch/data-mutant" "$src/data"
        fi
        total=$((total + 1))
        if unit_tests; then
            outcome=survived && survivors+=("$name")
        else
            outcome=killed && killed=$((killed + 1))
        fi
        ln -sfn "$scratch/data" "$src/data"
    fi
    # Copied back and touched, so the next build recompiles what the fault changed.
    cp "$scratch/original" "$file" && touch "$file"
    printf '%-28s %-34s %4ds\n' "$name" "$outcome" $((SECONDS - start))
done 3<"$list"

echo "killed $killed of $total"
((${#survivors[@]} == 0)) || echo "survivors: ${survivors[*]}"
