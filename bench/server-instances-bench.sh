#!/usr/bin/env bash
# halvorn-server as one service of several instances: 2 servers on one
# private PostgreSQL (started in a temporary folder by
# tests/support/postgresql.sh, with fsync on as on a real server, and
# removed afterwards), 2,000 signed-in clients in 100 rooms whose members
# are spread over both servers, 400 messages a second: fan-out p50 and p99,
# also apart for receivers on the sender's server and on the other
# (target p99 < 100 ms), and a 10 MB book-out (< 0.5 s). Then the same run
# on one server with SQLite, for comparison. Prints the load average at the
# start and the end; exits with 1 when a target is missed.
# Usage: bench/server-instances-bench.sh [BUILD_DIR]
set -uo pipefail
build="${1:-build}"
here="$(cd "$(dirname "$0")" && pwd)"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$here")}" CCACHE_NOHASHDIR=1
cmake --build "$build" --target server_load_bench halvorn-server > /dev/null || exit 1

run=(--clients 2000 --rooms 100 --rate 400 --messages 8000 --slow 0 --target-p99 100)
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== 2 servers on PostgreSQL"
HALVORN_TEST_POSTGRESQL_FSYNC=on bash "$here/../tests/support/postgresql.sh" --not-a-test \
  "$build/bench/server_load_bench" --postgresql --instances 2 "${run[@]}"
postgres=$?
echo "== 1 server on SQLite"
"$build/bench/server_load_bench" "${run[@]}"
sqlite=$?
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
[ "$postgres" -eq 77 ] && echo "PostgreSQL is not installed here (Debian package postgresql-15): its run was skipped"
[ "$postgres" -eq 0 ] && [ "$sqlite" -eq 0 ]
