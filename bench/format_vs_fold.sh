#!/usr/bin/env bash
# Times `lintrel-format wrap -w 60` against GNU `fold -s -w 60` on a 64 MiB email corpus,
# both in the same run. Usage: bench/format_vs_fold.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
tool="$build/tools/lintrel-format/lintrel-format"
gen="$build/bench/bench_formatter"
for exe in "$tool" "$gen"; do
    [[ -x "$exe" ]] || { echo "missing $exe: build the project first" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
corpus="$work/corpus.txt"
"$gen" --write-corpus "$corpus" $((64 << 20))
cat "$corpus" > /dev/null # into the page cache for both

if command -v hyperfine > /dev/null; then
    hyperfine --warmup 2 --runs 10 \
        "fold -s -w 60 '$corpus' > /dev/null" \
        "'$tool' wrap -w 60 '$corpus' > /dev/null"
    exit 0
fi

# Without hyperfine: best of several alternating runs, wall-clock seconds.
best() { sort -g | head -n 1; }
run() { # prints the wall time of one run of "$@" with output to /dev/null
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}
fold_times=() tool_times=()
for _ in 1 2 3 4 5 6 7; do
    fold_times+=("$(run fold -s -w 60 "$corpus")")
    tool_times+=("$(run "$tool" wrap -w 60 "$corpus")")
done
fold_best=$(printf '%s\n' "${fold_times[@]}" | best)
tool_best=$(printf '%s\n' "${tool_times[@]}" | best)
printf 'corpus: 64 MiB, best of 7 runs each\n'
awk -v f="$fold_best" -v t="$tool_best" 'BEGIN {
    printf "fold -s -w 60:             %.3f s  (%.2f GB/s)\n", f, 67108864 / f / 1e9
    printf "lintrel-format wrap -w 60: %.3f s  (%.2f GB/s)\n", t, 67108864 / t / 1e9
    printf "speed-up: %.1fx\n", f / t
}'
