#!/usr/bin/env bash
# A private PostgreSQL server for tests, benchmarks and trying the plant archive by hand.
#   scripts/pg-server.sh start DIR   create DIR/data once, start it; the last line printed
#                                    is the libpq connection string
#   scripts/pg-server.sh stop DIR    stop it (nothing to do when it does not run)
# The server listens only on a unix socket in DIR/socket, never on a network address, and
# trusts the database user "ventaro". PostgreSQL refuses to run as root: as root, the server
# runs as the system user ventaro-pg (created once, without login), which then owns DIR.
set -euo pipefail

PG_SYSTEM_USER=ventaro-pg
DB_USER=ventaro

die() {
    echo "pg-server: $*" >&2
    exit 1
}

pg_bin() {
    local dir
    dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    [ -n "$dir" ] && [ -x "$dir/pg_ctl" ] ||
        die "no PostgreSQL server in /usr/lib/postgresql (apt-get install postgresql)"
    echo "$dir"
}

# as_server CMD...: runs CMD as the user the server runs as.
as_server() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$PG_SYSTEM_USER" -- "$@"
    else
        "$@"
    fi
}

ensure_system_user() {
    [ "$(id -u)" -eq 0 ] || return 0
    id -u "$PG_SYSTEM_USER" >/dev/null 2>&1 && return 0
    # Two runs creating it at once: the loser finds it there afterwards.
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
        "$PG_SYSTEM_USER" 2>/dev/null || id -u "$PG_SYSTEM_USER" >/dev/null 2>&1 ||
        die "cannot create the system user $PG_SYSTEM_USER"
}

# libpq quoting of a value that may hold spaces or quotes.
conn_value() {
    local v=$1
    if [[ $v =~ [[:space:]\'\\] || -z $v ]]; then
        v=${v//\\/\\\\}
        v=${v//\'/\\\'}
        v="'$v'"
    fi
    printf '%s' "$v"
}

# A port from DIR's name, so that runs side by side rarely meet; the socket lies in DIR, so
# the port only has to be free for PostgreSQL's shared-memory key.
derived_port() {
    local sum
    sum=$(printf '%s' "$1" | cksum | cut -d' ' -f1)
    echo $((20000 + sum % 20000))
}

start() {
    local dir=$1 bin port
    bin=$(pg_bin)
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    ensure_system_user
    mkdir -p "$dir/socket"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R "$PG_SYSTEM_USER" "$dir"
        # The server user must reach DIR through its parents (QTemporaryDir makes 0700 folders).
        local parent
        parent=$(dirname "$dir")
        as_server test -x "$parent" || die "$PG_SYSTEM_USER cannot enter $parent"
    fi
    # The server user may not enter the caller's working directory.
    cd "$dir"
    if [ ! -f "$dir/data/PG_VERSION" ]; then
        as_server "$bin/initdb" -D "$dir/data" -U "$DB_USER" --auth=trust -E UTF8 \
            --locale=C >"$dir/initdb.log" 2>&1 ||
            die "initdb failed: $(tail -n 3 "$dir/initdb.log" | tr '\n' ' ')"
    fi
    if as_server "$bin/pg_ctl" -D "$dir/data" status >/dev/null 2>&1; then
        port=$(cat "$dir/port")
    else
        # The same port on a restart, so that a connection string handed out stays good.
        local first
        if [ -f "$dir/port" ]; then first=$(cat "$dir/port"); else first=$(derived_port "$dir"); fi
        local attempt started=""
        for attempt in 0 1 2 3 4 5 6 7; do
            port=$((first + attempt * 37))
            [ "$port" -gt 65000 ] && port=$((port - 40000))
            if as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
                -o "-c listen_addresses='' -k '$dir/socket' -p $port" start >/dev/null 2>&1; then
                started=1
                break
            fi
            [ -f "$dir/port" ] && break
        done
        [ -n "$started" ] || die "the server did not start: $(tail -n 3 "$dir/server.log" 2>/dev/null | tr '\n' ' ')"
        echo "$port" >"$dir/port"
    fi
    echo "host=$(conn_value "$dir/socket") port=$port dbname=postgres user=$DB_USER"
}

stop() {
    local dir=$1 bin
    bin=$(pg_bin)
    [ -f "$dir/data/PG_VERSION" ] || return 0
    cd "$dir"
    if as_server "$bin/pg_ctl" -D "$dir/data" status >/dev/null 2>&1; then
        as_server "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null ||
            die "the server in $dir did not stop"
    fi
}

[ $# -eq 2 ] || die "usage: pg-server.sh start|stop DIR"
case "$1" in
start) start "$2" ;;
stop) stop "$2" ;;
*) die "usage: pg-server.sh start|stop DIR" ;;
esac
