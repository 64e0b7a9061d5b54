#!/bin/sh
# A throw-away PostgreSQL server for the tests: initdb into a folder, listening on a Unix socket in
# that folder alone (no TCP), trust authentication for the one test role. As root the server runs
# as the package's postgres user, which owns the folder.
#   pg_test_server.sh start <folder> [port]   prints nothing; the socket is <folder>/.s.PGSQL.<port>
#   pg_test_server.sh stop <folder>
set -eu
action=$1
dir=$2
port=${3:-54329}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL's server programs are missing: install the postgresql package (make deps)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" = 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case $action in
start)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "$(id -u)" = 0 ] && chown postgres "$dir"
    chmod 0700 "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U quillane --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
        { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=on -c max_connections=60" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    # The clients of the tests run as any user: the socket folder must let them reach the socket.
    chmod 0711 "$dir"
    ;;
stop)
    # Immediately: the data is thrown away, so the shutdown checkpoint of every test's database
    # (a minute and more after a full run) is not waited for.
    [ -d "$dir/data" ] && as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop <folder> [port]" >&2
    exit 2
    ;;
esac
