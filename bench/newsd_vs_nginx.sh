#!/usr/bin/env bash
# lintrel-newsd against nginx serving the same answer bytes as static files, with wrk on
# loopback, both measured in turns in the same run:
#   bench/newsd_vs_nginx.sh [BUILD_DIR] [RUNS]
# Prints, for getlastnews (conttype lastcode and all) and getnewsdetails, the median
# requests per second of RUNS runs (default 3; each DURATION=5s with CONNECTIONS=64 and
# THREADS=2) for both servers and their ratio; then the latency percentiles of getlastnews
# with 20,000 items, how long a request waits beside 64 clients dripping their headers, and
# the peak memory of lintrel-newsd while a 150 MiB chunked upload is refused.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
RUNS="${2:-3}"
DURATION="${DURATION:-5s}"
CONNECTIONS="${CONNECTIONS:-64}"
THREADS="${THREADS:-2}"
NEWSD="$BUILD/tools/lintrel-newsd/lintrel-newsd"
for tool in wrk nginx curl; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
[ -x "$NEWSD" ] || { echo "no $NEWSD: build the lintrel-newsd target first" >&2; exit 1; }

TMP="$(mktemp -d)"
# shellcheck source=../tests/tools/lintrel-newsd/loopback_servers.sh
source "$ROOT/tests/tools/lintrel-newsd/loopback_servers.sh"
trap 'stop_servers; rm -rf "$TMP"' EXIT

BOUNDARY="--------121026104500123"
# The multipart body of a news request, as the program builds it; $1 is the fourth field.
news_body() {
    local field
    for field in memusername=demo-gold prodcode=LINTRELDEMO prodtype=BG "$1" newstarget=UA something=; do
        printf -- '--%s\r\nContent-Disposition: form-data; name="%s"\r\n\r\n%s\r\n' \
            "$BOUNDARY" "${field%%=*}" "${field#*=}"
    done
    printf -- '\r\n--%s--\r\n' "$BOUNDARY"
}
declare -A SCRIPT=([lastcode]=getlastnews.php [all]=getlastnews.php [details]=getnewsdetails.php)
declare -A FIELD=([lastcode]=conttype=lastcode [all]=conttype=all [details]=newsid=4)
mkdir -p "$TMP/www"
for kind in lastcode all details; do
    news_body "${FIELD[$kind]}" >"$TMP/$kind.body"
    cat >"$TMP/$kind.lua" <<LUA
local f = io.open("$TMP/$kind.body", "rb")
wrk.method = "POST"
wrk.body = f:read("*a")
f:close()
wrk.headers["Content-Type"] = "multipart/form-data; boundary=$BOUNDARY"
LUA
done

cp -r "$ROOT/examples/demo-kit/news-content" "$TMP/content"
start_newsd "$NEWSD" "$TMP/content" newsd
NEWSD_URL="http://127.0.0.1:$NEWSD_PORT/news"
for kind in lastcode all details; do
    curl -sS -m 5 -H "Content-Type: multipart/form-data; boundary=$BOUNDARY" \
        --data-binary "@$TMP/$kind.body" "$NEWSD_URL/${SCRIPT[$kind]}" -o "$TMP/www/$kind"
    grep -q 'OK$' "$TMP/www/$kind" || { echo "lintrel-newsd gave no answer for $kind" >&2; exit 1; }
done

NGINX_PORT="$(free_port)"
cat >"$TMP/static.conf" <<CONF
server {
    listen 127.0.0.1:$NGINX_PORT;
    root $TMP/www;
    default_type text/html;
}
CONF
start_nginx "$TMP/static.conf"
NGINX_URL="http://127.0.0.1:$NGINX_PORT"
for kind in lastcode all details; do
    curl -sS -m 5 "$NGINX_URL/$kind" | cmp -s - "$TMP/www/$kind" ||
        { echo "nginx does not serve the same bytes for $kind" >&2; exit 1; }
done

# wrk_rate URL [ARGS...]: requests per second.
wrk_rate() {
    local url="$1"
    shift
    wrk -t"$THREADS" -c"$CONNECTIONS" -d"$DURATION" "$@" "$url" |
        awk '/^Requests\/sec:/ {print $2}'
}
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

echo "wrk -t$THREADS -c$CONNECTIONS -d$DURATION, median of $RUNS runs (requests per second)"
printf '%-10s %14s %14s %8s\n' request lintrel-newsd nginx ratio
declare -A OURS THEIRS
for run in $(seq 1 "$RUNS"); do
    for kind in lastcode all details; do
        OURS[$kind]+="$(wrk_rate "$NEWSD_URL/${SCRIPT[$kind]}" -s "$TMP/$kind.lua") "
        THEIRS[$kind]+="$(wrk_rate "$NGINX_URL/$kind") "
    done
done
for kind in lastcode all details; do
    ours="$(tr ' ' '\n' <<<"${OURS[$kind]}" | grep . | median)"
    theirs="$(tr ' ' '\n' <<<"${THEIRS[$kind]}" | grep . | median)"
    printf '%-10s %14s %14s %8.2f\n' "$kind" "$ours" "$theirs" "$(awk "BEGIN {print $ours / $theirs}")"
done

echo
echo "getlastnews with 20,000 items: latency percentiles (wrk --latency)"
mkdir -p "$TMP/content-20k/news"
cp "$TMP/content/publishers.ini" "$TMP/content-20k/"
for id in $(seq 1 20000); do
    printf 'Title: Item %s\nPublished: 2026-01-01\n\n<p>Item %s</p>\n' "$id" "$id" \
        >"$TMP/content-20k/news/$id.html"
done
start_newsd "$NEWSD" "$TMP/content-20k" newsd-20k
# wrk_latency URL [ARGS...]: the 50th, 90th and 99th percentiles and the rate, on one line.
wrk_latency() {
    local url="$1"
    shift
    wrk -t1 -c"$conns" -d"$DURATION" --latency "$@" "$url" |
        awk '/^ +(50|90|99)%/ {printf "p%s %s  ", substr($1, 1, 2), $2} /^Requests\/sec/ {print $2 " req/s"}'
}
for kind in lastcode all; do
    curl -sS -m 5 -H "Content-Type: multipart/form-data; boundary=$BOUNDARY" \
        --data-binary "@$TMP/$kind.body" "http://127.0.0.1:$NEWSD_PORT/news/getlastnews.php" \
        -o "$TMP/www/$kind-20k"
    for conns in "$CONNECTIONS" 1; do
        echo "-- $kind, $conns connection(s)"
        printf '  %-16s' lintrel-newsd
        wrk_latency "http://127.0.0.1:$NEWSD_PORT/news/getlastnews.php" -s "$TMP/$kind.lua"
        printf '  %-16s' "nginx (static)"
        wrk_latency "$NGINX_URL/$kind-20k"
    done
done
PID_20K="$NEWSD_PID"

echo
echo "peak memory (VmHWM) of lintrel-newsd with 20,000 items, before and after a 150 MiB chunked upload"
grep VmHWM "/proc/$PID_20K/status"
status="$(head -c 157286400 /dev/zero | curl -s -m 60 -o /dev/null -w '%{http_code}' -X POST -T - \
    -H "Content-Type: multipart/form-data; boundary=$BOUNDARY" \
    "http://127.0.0.1:$NEWSD_PORT/news/getlastnews.php" || true)"
echo "upload answered $status"
grep VmHWM "/proc/$PID_20K/status"

echo
echo "a request beside 64 clients that send one header line every 0.5 s"
slow=()
for i in $(seq 1 64); do
    exec {fd}<>"/dev/tcp/127.0.0.1/$NEWSD_PORT"
    printf 'POST /news/getlastnews.php HTTP/1.1\r\nHost: x\r\n' >&"$fd"
    slow+=("$fd")
done
(for round in 1 2 3 4 5 6; do
    for fd in "${slow[@]}"; do printf 'X-Drip: %s\r\n' "$round" >&"$fd" 2>/dev/null || true; done
    sleep 0.5
done) &
DRIP_PID=$!
sleep 0.6
curl -sS -m 5 -o /dev/null -w 'answered %{http_code} in %{time_total} s\n' \
    -H "Content-Type: multipart/form-data; boundary=$BOUNDARY" \
    --data-binary "@$TMP/lastcode.body" "http://127.0.0.1:$NEWSD_PORT/news/getlastnews.php"
wait "$DRIP_PID"
for fd in "${slow[@]}"; do exec {fd}>&-; done
