#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Lintrel.
# Without a display it runs the program under Xvfb, saves build/screenshot.png and ends it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
configure_build "$ROOT/build"

BIN="$ROOT/build/src/lintrel"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$BIN"
fi

# Headless: start under Xvfb, wait for the main window, take a screenshot, end the program.
SHOT="$ROOT/build/screenshot.png"
rm -f "$SHOT"
export -n QT_QPA_PLATFORM 2>/dev/null || true
unset QT_QPA_PLATFORM
DBUS_SESSION_BUS_ADDRESS=disabled: xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    bin="$1"; shot="$2"
    "$bin" &
    pid=$!
    for _ in $(seq 1 100); do
        if xwininfo -root -tree 2>/dev/null | grep -q "\"Lintrel"; then break; fi
        if ! kill -0 "$pid" 2>/dev/null; then echo "the program ended early" >&2; exit 1; fi
        sleep 0.1
    done
    sleep 1
    import -window root "$shot"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
' _ "$BIN" "$SHOT"
echo "$SHOT"
