# Shell helpers that start lintrel-newsd and a private nginx on free loopback ports and stop
# them again; sourced by the nginx test and the benchmark. Needs $TMP (a private folder);
# call stop_servers from an EXIT trap.

SERVER_PIDS=()

# A random high loopback port that refuses a connection, so nothing listens there.
free_port() {
    local port tries
    for tries in $(seq 1 50); do
        port=$((20000 + RANDOM % 40000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    echo "no free loopback port found" >&2
    return 1
}

# start_newsd NEWSD CONTENT_DIR NAME: starts lintrel-newsd on a free port; sets NEWSD_PORT
# and NEWSD_PID. Its output goes to $TMP/NAME.log.
start_newsd() {
    local newsd="$1" content="$2" name="$3" i
    "$newsd" --content "$content" --port 0 >"$TMP/$name.out" 2>"$TMP/$name.log" &
    NEWSD_PID=$!
    SERVER_PIDS+=("$NEWSD_PID")
    for i in $(seq 1 200); do
        if grep -q '^listening on ' "$TMP/$name.out" 2>/dev/null; then
            NEWSD_PORT="$(sed -n 's/^listening on http:\/\/127\.0\.0\.1:\([0-9]*\)$/\1/p' "$TMP/$name.out")"
            return 0
        fi
        sleep 0.05
    done
    echo "lintrel-newsd ($name) did not start:" >&2
    cat "$TMP/$name.log" >&2
    return 1
}

# start_nginx HTTP_BLOCK_FILE: runs nginx in the foreground of a background job with its own
# prefix, pid and log files under $TMP/nginx, the given file as the body of its http block
# and NGINX_PORT in it as the port to listen on; sets NGINX_PID.
start_nginx() {
    local body="$1" i
    mkdir -p "$TMP/nginx/logs"
    {
        # As root, nginx would hand its workers to "nobody", who cannot read $TMP.
        [ "$(id -u)" -eq 0 ] && echo "user root;"
        echo "worker_processes auto;"
        echo "pid $TMP/nginx/nginx.pid;"
        echo "error_log $TMP/nginx/logs/error.log warn;"
        echo "events { worker_connections 1024; }"
        echo "http {"
        echo "    access_log $TMP/nginx/logs/access.log;"
        for dir in client_body proxy fastcgi uwsgi scgi; do
            echo "    ${dir}_temp_path $TMP/nginx/${dir}_temp;"
        done
        cat "$body"
        echo "}"
    } >"$TMP/nginx/nginx.conf"
    nginx -p "$TMP/nginx" -e "$TMP/nginx/logs/error.log" -c "$TMP/nginx/nginx.conf" \
        -g 'daemon off;' &
    NGINX_PID=$!
    SERVER_PIDS+=("$NGINX_PID")
    for i in $(seq 1 200); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$NGINX_PORT") 2>/dev/null; then
            return 0
        fi
        kill -0 "$NGINX_PID" 2>/dev/null || break
        sleep 0.05
    done
    echo "nginx did not start:" >&2
    cat "$TMP/nginx/logs/error.log" >&2
    return 1
}

# Stops what was started here (nginx by its master process) and waits for it.
stop_servers() {
    local pid
    for pid in "${SERVER_PIDS[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${SERVER_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    SERVER_PIDS=()
}
