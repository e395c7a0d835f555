#!/usr/bin/env bash
# Prints the folder-level include graph of src/ and fails when two folders reach each other.
# usage: scripts/include_graph.sh [SRC_DIR]   (default: src/ beside this script)
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
cd "$src"

# One "from to" line per include of another folder's header. A folder is a file's directory
# below src/ (brand/aes_lib counts as its own folder).
edges=$(grep -rHo --include='*.h' --include='*.cpp' --include='*.inc' \
            '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/[^"]*"' . |
        sed -E 's|^\./||; s|^(.*)/[^/]*:[^"]*"(.*)/[^/]*"$|\1 \2|' |
        awk '$1 != $2' | sort -u)

printf '%s\n' "$edges" | awk 'NF == 2 { print "  " $1 " -> " $2 }'

# A cycle exists exactly when tsort cannot order the folders; it names the folders of one.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
if ! printf '%s\n' "$edges" | tsort >/dev/null 2>"$errors"; then
    echo "include cycle between folders of src/:" >&2
    grep -v 'input contains a loop' "$errors" | sed 's/^tsort: /  /' >&2
    exit 1
fi
echo "no include cycle between folders of src/"
