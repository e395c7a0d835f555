#!/usr/bin/env bash
# Installs what is missing, builds into build/ and makes the Debian package in build/packages/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
configure_build "$ROOT/build"
rm -f "$ROOT"/build/packages/*.deb
cpack --config "$ROOT/build/CPackConfig.cmake" -G DEB -B "$ROOT/build/packages" >/dev/null
ls "$ROOT"/build/packages/*.deb
