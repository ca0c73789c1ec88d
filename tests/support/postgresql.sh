#!/usr/bin/env bash
# Runs a test program with a private PostgreSQL server of its own: a new
# cluster in a temporary folder, listening on 127.0.0.1 on a free port (and
# on a Unix socket in that folder only), stopped and removed afterwards
# whatever the program's outcome. The program sees, in
# HALVORN_TEST_POSTGRESQL, the URL of the cluster's "postgres" database for
# its superuser "postgres" (who needs no password there), and in
# HALVORN_TEST_POSTGRESQL_CTL a script that stops or starts that server
# again on the same port ("CTL stop" / "CTL start"), for tests of its loss.
#   postgresql.sh [--not-a-test] PROGRAM [ARG...]
# Exits 77 (skipped, saying why) where PostgreSQL is not installed or does
# not start; fails when the program ran no test or skipped one. With
# --not-a-test (a benchmark, say) the program's own exit status counts.
# HALVORN_TEST_POSTGRESQL_FSYNC=on keeps PostgreSQL's fsync on, as on a
# real server (off by default: the cluster is thrown away afterwards).
set -uo pipefail
skip() { echo "SKIP: $*"; exit 77; }
gtest=1
if [ "${1:-}" = "--not-a-test" ]; then
  gtest=0
  shift
fi
fsync="${HALVORN_TEST_POSTGRESQL_FSYNC:-off}"

bin="${HALVORN_TEST_POSTGRESQL_BIN:-/usr/lib/postgresql/15/bin}"
for tool in initdb pg_ctl; do
  [ -x "$bin/$tool" ] || skip "$bin/$tool is missing (Debian package postgresql-15)"
done

folder="$(mktemp -d)"
# initdb refuses to run as root: the cluster belongs to the postgres user then.
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  id postgres > /dev/null 2>&1 || skip "there is no postgres user to run PostgreSQL as root"
  chown postgres: "$folder"
  as_owner=(runuser -u postgres --)
fi
stop() {
  "${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate stop > /dev/null 2>&1
  rm -rf "$folder"
}
trap stop EXIT

"${as_owner[@]}" "$bin/initdb" -D "$folder/data" -U postgres --auth=trust -E UTF8 --locale=C \
  > "$folder/initdb.log" 2>&1 || { cat "$folder/initdb.log"; skip "initdb failed"; }

server_options() {
  echo "-c listen_addresses=127.0.0.1 -p $1 -c unix_socket_directories=$folder -c fsync=$fsync -c max_connections=200"
}
port=""
for attempt in 1 2 3 4 5 6 7 8; do
  candidate=$((20000 + RANDOM % 30000))
  if "${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 \
       -o "$(server_options $candidate)" start > /dev/null 2>&1; then
    port=$candidate
    break
  fi
done
[ -n "$port" ] || { cat "$folder/server.log" 2> /dev/null; skip "PostgreSQL did not start"; }

control="$folder/control.sh"
cat > "$control" <<EOF
#!/usr/bin/env bash
# stop: at once, dropping every connection; start: again on port $port.
case "\$1" in
  stop) exec ${as_owner[*]} "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop ;;
  start) exec ${as_owner[*]} "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 -o "$(server_options $port)" start ;;
esac
exit 2
EOF

output="$folder/test-output"
HALVORN_TEST_POSTGRESQL_CTL="$control" HALVORN_TEST_POSTGRESQL="postgresql://postgres@127.0.0.1:$port/postgres" "$@" 2>&1 | tee "$output"
status=${PIPESTATUS[0]}
[ "$gtest" = 1 ] || exit "$status"
grep -q '^\[ RUN      \]' "$output" || { echo "FAIL: the program ran no test"; exit 1; }
if grep -q '^\[  SKIPPED \]' "$output"; then
  echo "FAIL: a test skipped itself although PostgreSQL runs"
  exit 1
fi
exit "$status"
