#!/usr/bin/env bash
# Checks the install layout and the Debian package of a finished build:
#   tests/tools/lintrel-newsd/package_test.sh BUILD_DIR
# The package must hold the program, its tools, the launcher, the desktop entry, the icon,
# the AppStream metadata and the demo kit, with dependencies filled in. The launcher must
# start a per-user copy and refresh only the files that changed in the install.
set -euo pipefail

BUILD="$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

echo "== package contents"
cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$TMP/pkg" >"$TMP/cpack.log" 2>&1 ||
    { cat "$TMP/cpack.log" >&2; exit 1; }
DEB="$(ls "$TMP"/pkg/*.deb)"
dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's#^\./#/#' >"$TMP/files"
expected=(
    /usr/lib/lintrel/lintrel /usr/lib/lintrel/lintrel-brand /usr/lib/lintrel/lintrel-newsd
    /usr/lib/lintrel/dbsettings.dat /usr/lib/lintrel/mainskin.dat /usr/lib/lintrel/main.ico
    /usr/lib/lintrel/banner1.dat /usr/lib/lintrel/banner2.dat
    /usr/bin/lintrel /usr/bin/lintrel-brand /usr/bin/lintrel-newsd
    /usr/share/applications/org.lintrel.Lintrel.desktop
    /usr/share/metainfo/org.lintrel.Lintrel.metainfo.xml
    /usr/share/icons/hicolor/128x128/apps/org.lintrel.Lintrel.png
    /usr/share/lintrel/demo-news/publishers.ini /usr/share/lintrel/demo-news/news/1.html
)
[ -x "$BUILD/tools/lintrel-format/lintrel-format" ] &&
    expected+=(/usr/lib/lintrel/lintrel-format /usr/bin/lintrel-format)
for f in "${expected[@]}"; do
    grep -qxF "$f" "$TMP/files" || fail "the package lacks $f"
done
for field in Depends Maintainer Description; do
    [ -n "$(dpkg-deb -f "$DEB" "$field")" ] || fail "the package has no $field"
done
dpkg-deb -f "$DEB" Depends | grep -q 'libqt6widgets6' || fail "Depends does not name Qt"

echo "== launcher and per-user copy"
cmake --install "$BUILD" --prefix "$TMP/prefix" >/dev/null
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net \
        "$TMP/prefix/share/metainfo/org.lintrel.Lintrel.metainfo.xml" >"$TMP/as.log" 2>&1 ||
        { cat "$TMP/as.log" >&2; fail "the AppStream metadata does not validate"; }
fi
LIB="$TMP/prefix/lib/lintrel"
# A stand-in program that says where it runs from.
printf '#!/bin/sh\necho "ran $0 $*"\n' >"$LIB/lintrel"
chmod +x "$LIB/lintrel"
USERDIR="$TMP/data/lintrel"
run() { XDG_DATA_HOME="$TMP/data" "$TMP/prefix/bin/lintrel" "$@"; }

[ "$(run --x)" = "ran $USERDIR/lintrel --x" ] || fail "the launcher does not run the user copy"
cmp -s "$LIB/dbsettings.dat" "$USERDIR/dbsettings.dat" || fail "dbsettings.dat not copied"
cmp -s "$LIB/main.ico" "$USERDIR/main.ico" || fail "main.ico not copied"

echo "user state" >"$USERDIR/dbsettings.dat"
run >/dev/null
[ "$(cat "$USERDIR/dbsettings.dat")" = "user state" ] ||
    fail "an unchanged install overwrote the user's dbsettings.dat"

echo "new brand from an upgrade" >"$LIB/dbsettings.dat"
rm "$LIB/banner2.dat"
run >/dev/null
cmp -s "$LIB/dbsettings.dat" "$USERDIR/dbsettings.dat" ||
    fail "a changed dbsettings.dat in the install was not copied"
[ ! -e "$USERDIR/banner2.dat" ] || fail "a file gone from the install stayed in the copy"

rm "$USERDIR/main.ico"
run >/dev/null
[ -e "$USERDIR/main.ico" ] || fail "a file missing from the copy was not restored"

if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "package and launcher: all checks passed"
