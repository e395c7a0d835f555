#!/usr/bin/env bash
# Two lintrel-newsd instances behind nginx with the shipped site file, all on loopback:
#   tests/tools/lintrel-newsd/nginx_proxy_test.sh NEWSD BRAND_TOOL
# The news requests (made by lintrel-brand exactly as the program makes them) and the update
# descriptor come through nginx; with one instance stopped they still do. Exits 77 (skipped)
# without nginx.
set -euo pipefail

NEWSD="${1:?usage: nginx_proxy_test.sh NEWSD BRAND_TOOL}"
BRAND="${2:?usage: nginx_proxy_test.sh NEWSD BRAND_TOOL}"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../../.." && pwd)"
command -v nginx >/dev/null || { echo "nginx is not installed: skipped"; exit 77; }
command -v curl >/dev/null || { echo "curl is not installed: skipped"; exit 77; }

TMP="$(mktemp -d)"
# shellcheck source=loopback_servers.sh
source "$HERE/loopback_servers.sh"
trap 'stop_servers; rm -rf "$TMP"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Each instance has its own copy of the content, as on separate machines.
for name in a b; do
    cp -r "$ROOT/examples/demo-kit/news-content" "$TMP/content-$name"
done
start_newsd "$NEWSD" "$TMP/content-a" newsd-a
PORT_A="$NEWSD_PORT"
start_newsd "$NEWSD" "$TMP/content-b" newsd-b
PORT_B="$NEWSD_PORT" PID_B="$NEWSD_PID"

NGINX_PORT="$(free_port)"
sed -e "s/127\.0\.0\.1:8642/127.0.0.1:$PORT_A/; s/127\.0\.0\.1:8643/127.0.0.1:$PORT_B/" \
    -e "s/^\( *\)listen 80;/\1listen 127.0.0.1:$NGINX_PORT;/" \
    "$ROOT/packaging/nginx-lintrel-newsd.conf" >"$TMP/site.conf"
grep -q "listen 127.0.0.1:$NGINX_PORT;" "$TMP/site.conf" || fail "the site file has no listen 80 line"
start_nginx "$TMP/site.conf"
URL="http://127.0.0.1:$NGINX_PORT"

# The demo brand, asking for its news through nginx.
sed "s#<%%GoldNewsBaseURL%%>[^<]*<%%/GoldNewsBaseURL%%>#<%%GoldNewsBaseURL%%>$URL/news/<%%/GoldNewsBaseURL%%>#" \
    "$ROOT/examples/demo-kit/brand.txt" >"$TMP/brand.txt"
"$BRAND" encrypt "$TMP/brand.txt" "$TMP/dbsettings.dat" >/dev/null

newest="$(head -n 1 "$ROOT/examples/demo-kit/news-content/news/4.html" | sed 's/^Title: //')"
check_everything() {
    local when="$1" out
    out="$("$BRAND" news --timeout 5 "$TMP/dbsettings.dat" last)" || { fail "$when: last: $out"; return; }
    [ "$out" = "4	$newest" ] || fail "$when: last gave '$out'"
    out="$("$BRAND" news --timeout 5 "$TMP/dbsettings.dat" list)" || { fail "$when: list"; return; }
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 4 ] || fail "$when: list gave '$out'"
    out="$("$BRAND" news --timeout 5 "$TMP/dbsettings.dat" body 4)" || { fail "$when: body"; return; }
    grep -q "<h2>" <<<"$out" || fail "$when: body gave '$out'"
    out="$(curl -sS -m 5 "$URL/liveupdate/lintrel/mainappupdate.inf")" || { fail "$when: descriptor"; return; }
    grep -q '^Version=2.1' <<<"$out" || fail "$when: descriptor gave '$out'"
}

echo "== both instances"
for round in 1 2 3; do check_everything "both instances, round $round"; done
grep -q "POST /news/getlastnews.php 200" "$TMP/newsd-a.log" || fail "instance a got no request"
grep -q "POST /news/getlastnews.php 200" "$TMP/newsd-b.log" || fail "instance b got no request"

echo "== nginx enforces the request limits"
status="$(head -c 70000 /dev/zero | curl -s -m 5 -o /dev/null -w '%{http_code}' \
    -H 'Content-Type: multipart/form-data; boundary=x' --data-binary @- "$URL/news/getlastnews.php")"
[ "$status" = 413 ] || fail "a 70000-byte body through nginx gave $status"
status="$(curl -s -m 5 -o /dev/null -w '%{http_code}' "$URL/other")"
[ "$status" = 404 ] || fail "a path outside the service gave $status"

echo "== one instance stopped"
kill -TERM "$PID_B"
wait "$PID_B" 2>/dev/null || true
for round in 1 2 3; do check_everything "instance b stopped, round $round"; done

if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "nginx in front of two instances: all checks passed"
