#!/bin/sh
# The game reads data/ below its working directory: go where it is installed.
# Both are found relative to this script, so an unpacked package works too.
here=$(dirname "$(readlink -f "$0")")
prefix=$(dirname "$here")
cd "$prefix/share/games/stellarox" || exit 1
exec "$prefix/lib/games/stellarox/stellarox" "$@"
