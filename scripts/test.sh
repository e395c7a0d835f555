#!/usr/bin/env bash
# Installs what is missing, builds with -Werror and runs the whole suite through CTest,
# then again with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages

export DBUS_SESSION_BUS_ADDRESS=disabled:
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1

echo "== build and test (build/)"
configure_build "$ROOT/build" -DLINTREL_WERROR=ON
ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"

echo "== install layout and Debian package"
bash "$ROOT/tests/tools/lintrel-newsd/package_test.sh" "$ROOT/build"

echo "== fuzz targets (build-fuzz/)"
"$ROOT/scripts/fuzz.sh"

echo "== build and test with sanitizers (build-asan/)"
configure_build "$ROOT/build-asan" -DLINTREL_WERROR=ON -DLINTREL_SANITIZE=ON \
    -DLINTREL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp" \
    ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$JOBS"
