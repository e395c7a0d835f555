#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/fuzz_*.cpp) with clang++ in build-fuzz/ and runs each
# for a short while (LINTREL_FUZZ_SECONDS, 20 by default). A crash fails the script.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_PER_TARGET="${LINTREL_FUZZ_SECONDS:-20}"
JOBS="$(nproc 2>/dev/null || echo 2)"
BUILD="$ROOT/build-fuzz"

if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT/fuzz" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++
fi
cmake --build "$BUILD" -j "$JOBS"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for source in "$ROOT"/fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    corpus="$BUILD/corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    if [ -d "$ROOT/fuzz/corpus/$name" ]; then
        seeds=("$ROOT/fuzz/corpus/$name")
    fi
    echo "== $name (${SECONDS_PER_TARGET}s)"
    log="$BUILD/$name.log"
    # libFuzzer reports every new input; keep that in the log and show its end on failure.
    if ! (cd "$BUILD" && "./$name" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
        "$corpus" "${seeds[@]}") >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "$name failed (log: $log)" >&2
        exit 1
    fi
    grep -E '^Done|stat::number_of_executed_units' "$log" || true
done
