#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Lintrel with the demo brand kit and
# the demo news server (lintrel-newsd on 127.0.0.1:8642); the server stops with the program.
# --plain starts an unbranded copy of the program (build/plain/) instead.
# Without a display it runs the program under Xvfb, saves build/screenshot.png and ends it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PLAIN=0
case "${1:-}" in
    --plain) PLAIN=1 ;;
    "") ;;
    *) echo "Usage: scripts/run.sh [--plain]" >&2; exit 64 ;;
esac

ensure_packages
configure_build "$ROOT/build"

BUILD="$ROOT/build"
NEWSD="$BUILD/tools/lintrel-newsd/lintrel-newsd"
if [ "$PLAIN" -eq 1 ]; then
    # The program finds its files beside its own executable (resolved through
    # /proc/self/exe, so a symlink would not do): a copy in a folder of its own runs unbranded.
    mkdir -p "$BUILD/plain"
    cp -f "$BUILD/src/lintrel" "$BUILD/plain/lintrel"
    BIN="$BUILD/plain/lintrel"
else
    BIN="$BUILD/src/lintrel"
    "$ROOT/examples/demo-kit/build-kit.sh" \
        --brand-tool "$BUILD/tools/lintrel-brand/lintrel-brand" "$BUILD/src"
fi

# The demo news and live-update server, stopped whenever this script ends.
NEWSD_OUT="$BUILD/newsd.out"
NEWSD_LOG="$BUILD/newsd.log"
: >"$NEWSD_OUT"
"$NEWSD" --content "$ROOT/examples/demo-kit/news-content" >"$NEWSD_OUT" 2>"$NEWSD_LOG" &
NEWSD_PID=$!
trap 'kill "$NEWSD_PID" 2>/dev/null || true; wait "$NEWSD_PID" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
    grep -q '^listening on' "$NEWSD_OUT" && break
    if ! kill -0 "$NEWSD_PID" 2>/dev/null; then
        echo "lintrel-newsd did not start (is port 8642 taken?):" >&2
        cat "$NEWSD_LOG" >&2
        exit 1
    fi
    sleep 0.1
done
echo "news server: $(cat "$NEWSD_OUT") (log: $NEWSD_LOG)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    status=0
    "$BIN" || status=$?
    exit "$status"
fi

# Headless: start under Xvfb, wait for the main window, take a screenshot, end the program.
SHOT="$BUILD/screenshot.png"
rm -f "$SHOT"
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
    # The screen cut to the main window (a balloon over the window shows too).
    id=$(xwininfo -root -tree | grep "\"Lintrel" | head -n 1 | awk "{print \$1}")
    geometry=$(xwininfo -id "$id" | awk "/Absolute upper-left X/{x=\$4} /Absolute upper-left Y/{y=\$4}
        /Width:/{w=\$2} /Height:/{h=\$2} END{printf \"%dx%d+%d+%d\", w, h, x, y}")
    if [ -n "$id" ]; then
        import -window root -crop "$geometry" +repage "$shot"
    else
        import -window root "$shot"
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
' _ "$BIN" "$SHOT"
echo "$SHOT"
