#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/fuzz_*.cpp) against the instrumented core in build-fuzz/
# and runs each for LINTREL_FUZZ_SECONDS (10 by default; 600 for the long run), starting from
# its seeds in fuzz/corpus/<target>/. Names given as arguments run only those targets. A crash,
# leak, undefined behaviour or hang fails the script; the executions of each run are printed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_PER_TARGET="${LINTREL_FUZZ_SECONDS:-10}"
JOBS="$(nproc 2>/dev/null || echo 2)"
BUILD="$ROOT/build-fuzz"

# A build folder configured some other way is configured afresh (its corpus is kept).
if ! grep -q '^LINTREL_FUZZ:BOOL=ON' "$BUILD/CMakeCache.txt" 2>/dev/null; then
    rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles" "$BUILD/build.ninja"
    launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DLINTREL_FUZZ=ON "${launcher[@]}"
fi

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    for source in "$ROOT"/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi
cmake --build "$BUILD" -j "$JOBS" --target "${targets[@]}"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
for name in "${targets[@]}"; do
    corpus="$BUILD/corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    if [ -d "$ROOT/fuzz/corpus/$name" ]; then
        seeds=("$ROOT/fuzz/corpus/$name")
    fi
    echo "== $name (${SECONDS_PER_TARGET}s)"
    log="$BUILD/$name.log"
    # libFuzzer reports every new input; keep that in the log and show its end on failure.
    # An input that runs longer than 10 s counts as a hang.
    if ! (cd "$BUILD" && "./fuzz/$name" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
        -print_final_stats=1 "$corpus" "${seeds[@]}") >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "$name failed (log: $log)" >&2
        exit 1
    fi
    grep -E '^Done|stat::number_of_executed_units|stat::average_exec_per_sec' "$log" || true
done
