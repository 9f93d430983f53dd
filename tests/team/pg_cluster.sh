#!/bin/bash
# A throwaway PostgreSQL cluster for the team store's tests and benchmarks.
#
#   pg_cluster.sh start DIR [SERVER OPTION...]   makes and starts a cluster in DIR/data, on a
#                                                Unix socket in DIR and on 127.0.0.1 at a free
#                                                port, and writes DIR/conninfo (one line)
#   pg_cluster.sh stop DIR                       stops it and removes DIR
#   pg_cluster.sh halt DIR                       stops it and keeps it, as a server that is down
#   pg_cluster.sh resume DIR                     starts a halted one again, on the same port
#
# The server options go to postgres as they are (e.g. -c fsync=off). initdb refuses to run as
# root, so root runs the cluster as the user postgres of the Debian package.
set -euo pipefail

usage() {
    echo "usage: $0 start DIR [SERVER OPTION...] | stop DIR | halt DIR | resume DIR" >&2
    exit 2
}
[ $# -ge 2 ] || usage
action=$1
dir=$2
shift 2

# The newest server programs: those pg_config names, else the highest Debian version.
bindir=""
if command -v pg_config >/dev/null && [ -x "$(pg_config --bindir)/pg_ctl" ]; then
    bindir=$(pg_config --bindir)
fi
if [ -z "$bindir" ]; then
    bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
fi
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "$0: initdb and pg_ctl not found (install the package postgresql)" >&2
    exit 1
fi

as_owner() {
    if [ "$(id -u)" = 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

stop() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
    fi
}

case $action in
start)
    # What an earlier run left behind goes first.
    stop
    rm -rf "$dir"
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if [ "$(id -u)" = 0 ]; then
        chown postgres: "$dir"
    fi
    as_owner "$bindir/initdb" --auth=trust -U postgres -E UTF8 --locale=C.UTF-8 \
        -D "$dir/data" >"$dir/initdb.log" 2>&1 ||
        { cat "$dir/initdb.log" >&2; exit 1; }
    # A free port: another cluster may take one between the look and the start, so a failed
    # start tries another.
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
        if as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
            -o "-k $dir -p $port -c listen_addresses=127.0.0.1 $*" start >/dev/null; then
            echo "host=127.0.0.1 port=$port user=postgres dbname=postgres" >"$dir/conninfo"
            echo "-k $dir -p $port -c listen_addresses=127.0.0.1 $*" >"$dir/options"
            exit 0
        fi
        echo "$0: start on port $port failed (attempt $attempt)" >&2
    done
    tail -n 20 "$dir/server.log" >&2 || true
    exit 1
    ;;
stop)
    stop
    rm -rf "$dir"
    ;;
halt)
    stop
    ;;
resume)
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "$(cat "$dir/options")" start >/dev/null
    ;;
*)
    usage
    ;;
esac
