#!/usr/bin/env bash
# The team load on a throwaway PostgreSQL cluster: 20 coder processes code a project of 100,000
# cases as fast as they can (run 1), then the same on a fresh database while coders are killed at
# random and the server is restarted once (run 2). Prints the checks and a table of figures:
# throughput, claim and action round trips (median / p95 / p99) while all coders work, kills.
# The exit status is non-zero when a check fails.
#
#   bench/team_load.sh [BUILD_FOLDER] [OPTIONS OF bench_team_load...]      (default: build)
#   bench/team_load.sh build --runs 1 --cases 20000 --coders 10
#   SERVER_OPTIONS="-c fsync=off" bench/team_load.sh
#
# Needs a build with TARNWICK_BENCH on and the Debian package postgresql. The cluster and the
# coders' files go to a folder of their own under $TMPDIR, stopped and removed at the end unless
# KEEP=1; as root the cluster runs as user postgres, since initdb refuses root.
set -euo pipefail

build=build
if [ $# -gt 0 ] && [[ $1 != -* ]]; then
    build=$1
    shift
fi
here=$(cd "$(dirname "$0")/.." && pwd)
prog=$build/bench/bench_team_load
cluster=$here/tests/team/pg_cluster.sh
for tool in "$prog" "$cluster"; do
    [ -x "$tool" ] || { echo "missing: $tool (build with TARNWICK_BENCH=ON first)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-team-load.XXXXXX")
# The cluster's own user must reach its folder inside.
chmod 755 "$work"
cleanup() {
    if [ "${KEEP:-0}" = 1 ]; then
        echo "kept: $work (the server runs on; $cluster stop $work/cluster stops it)" >&2
        return
    fi
    "$cluster" stop "$work/cluster" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# SERVER_OPTIONS go to the server as they are, e.g. "-c fsync=off" to leave the disk's flushes
# out of the figures.
# shellcheck disable=SC2086
"$cluster" start "$work/cluster" ${SERVER_OPTIONS:-} >/dev/null
data=$work/cluster/data
owner=$(stat -c %U "$data")
pg_ctl=$(pg_config --bindir)/pg_ctl
# An immediate restart, as after a crash: the server recovers from its log. Its output goes to a
# file, so that it keeps no descriptor of ours open.
restart="$pg_ctl -D '$data' -l '$work/cluster/restart.log' -m immediate -w restart >/dev/null"
if [ "$(id -un)" != "$owner" ]; then
    restart="runuser -u '$owner' -- $restart"
fi

status=0
"$prog" --conninfo "$(cat "$work/cluster/conninfo")" --work "$work/coders" \
    --restart "$restart" "$@" || status=$?
exit $status
