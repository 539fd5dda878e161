# Shared by the play and test scripts: configure and build one build tree, and
# regenerate the data tree when it is missing or older than the generator.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

build_tree() { # build_tree DIR [cmake options...]
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

generate_data() { # generate_data BUILD_DIR
    local generator=$1/tools/assetgen/stellarox-assetgen
    [[ -x "$generator" ]] || return 0
    if [[ ! -f "$root/data/.generated" || "$generator" -nt "$root/data/.generated" ]]; then
        echo "Generating the data tree..."
        "$generator" "$root/data"
        touch "$root/data/.generated"
    fi
}
