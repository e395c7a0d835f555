#!/usr/bin/env bash
# Times `lintrel-format stats` against GNU `wc -lwm` in a UTF-8 locale on a 64 MiB email corpus,
# ASCII and UTF-8, both tools in the same run (median of alternating runs, wall-clock seconds).
# Usage: bench/stats_vs_wc.sh [BUILD_DIR] [RUNS]   (defaults: build, 7)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-7}"
tool="$build/tools/lintrel-format/lintrel-format"
gen="$build/bench/bench_formatter"
for exe in "$tool" "$gen"; do
    [[ -x "$exe" ]] || { echo "missing $exe: build the project first" >&2; exit 1; }
done
export LC_ALL=C.UTF-8 # wc counts characters in the locale's encoding
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

seconds() { # wall time of one run of "$@", output discarded
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for variant in ascii utf8; do
    corpus="$work/$variant.txt"
    if [[ $variant == utf8 ]]; then
        "$gen" --write-corpus "$corpus" $((64 << 20)) utf8
    else
        "$gen" --write-corpus "$corpus" $((64 << 20))
    fi
    cat "$corpus" > /dev/null # into the page cache for both
    wc_times=() tool_times=()
    for _ in $(seq "$runs"); do
        wc_times+=("$(seconds wc -lwm "$corpus")")
        tool_times+=("$(seconds "$tool" stats "$corpus")")
    done
    w=$(printf '%s\n' "${wc_times[@]}" | median)
    t=$(printf '%s\n' "${tool_times[@]}" | median)
    awk -v v="$variant" -v w="$w" -v t="$t" -v n="$runs" 'BEGIN {
        printf "%s corpus, 64 MiB, median of %d runs each\n", v, n
        printf "  wc -lwm:              %.3f s  (%.2f GB/s)\n", w, 67108864 / w / 1e9
        printf "  lintrel-format stats: %.3f s  (%.2f GB/s)\n", t, 67108864 / t / 1e9
        printf "  speed-up: %.1fx\n", w / t
    }'
done
