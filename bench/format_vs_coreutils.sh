#!/usr/bin/env bash
# Times lintrel-format against GNU coreutils on 64 MiB email corpora (CR LF breaks), ASCII and
# UTF-8 with accents and emoji, given as FILE operands, in the same run:
#   lintrel-format wrap -w 60  against  fold -s -w 60   (output to /dev/null)
#   lintrel-format stats       against  wc -lwm         (in a UTF-8 locale)
# Usage: bench/format_vs_coreutils.sh [BUILD_DIR] [RUNS]   (defaults: build, 7)
# Each figure is the best of RUNS alternating runs, wall-clock seconds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-7}"
tool="${LINTREL_FORMAT:-$build/tools/lintrel-format/lintrel-format}"
gen="$build/bench/bench_formatter"
for exe in "$tool" "$gen"; do
    [[ -x "$exe" ]] || { echo "missing $exe: build the project first" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
"$gen" --write-corpus "$work/ascii.txt" $((64 << 20))
"$gen" --write-corpus "$work/utf8.txt" $((64 << 20)) utf8

run() { # prints the wall time of one run of "$@" with output to /dev/null
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}
best() { sort -g | head -n 1; }

# compare LABEL "PEER COMMAND" "TOOL COMMAND" FILE
compare() {
    local label="$1" peer="$2" mine="$3" file="$4" peer_times=() tool_times=()
    cat "$file" > /dev/null # into the page cache for both
    for ((i = 0; i < runs; ++i)); do
        peer_times+=("$(run $peer "$file")")
        tool_times+=("$(run $mine "$file")")
    done
    local p t
    p=$(printf '%s\n' "${peer_times[@]}" | best)
    t=$(printf '%s\n' "${tool_times[@]}" | best)
    awk -v l="$label" -v pc="$peer" -v mc="${mine##*/}" -v p="$p" -v t="$t" 'BEGIN {
        printf "%-6s %-28s %7.3f s   %-32s %7.3f s   %5.1fx\n", l, pc, p, mc, t, p / t }'
}

printf 'corpus: 64 MiB each, best of %s runs, LC_ALL=%s\n' "$runs" "$LC_ALL"
for corpus in ascii utf8; do
    compare "$corpus" "fold -s -w 60" "$tool wrap -w 60" "$work/$corpus.txt"
    compare "$corpus" "wc -lwm" "$tool stats" "$work/$corpus.txt"
done
