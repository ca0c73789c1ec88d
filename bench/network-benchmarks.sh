#!/usr/bin/env bash
# The network benchmarks, against their targets:
#   network_codec_bench     10,000 packets in 1 MB dispatched (< 100 ms)
#   network_transfer_bench  10 MB booked out over loopback (< 0.5 s), booked in,
#                           CPU of an idle connected client (< 0.5 %)
#   server_load_bench       1,000 clients chatting in 50 rooms while 20 stop
#                           reading: fan-out p99 (< 50 ms); again while an
#                           attacker floods sign-ins and trickles partial
#                           packets: p99 (< 50 ms), server memory (< 256 MiB);
#                           again over TLS: sign-in (< 30 s), p99 (< 50 ms);
#                           each run also books out 10 MB (< 0.5 s)
#   server-instances-bench.sh  2 servers on PostgreSQL, 2,000 clients in 100
#                           rooms, 400 messages a second: p99 (< 100 ms),
#                           10 MB book-out (< 0.5 s); again on SQLite
# Usage: bench/network-benchmarks.sh [BUILD_DIR]
set -euo pipefail
build="${1:-build}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-/work}" CCACHE_NOHASHDIR=1
cmake --build "$build" --target network_codec_bench network_transfer_bench server_load_bench halvorn-server >/dev/null

echo "== codec"
"$build/bench/network_codec_bench" --benchmark_min_time=0.5
echo "== transfer and idle client"
"$build/bench/network_transfer_bench"
echo "== transfer and idle client over TLS"
"$build/bench/network_transfer_bench" --tls
echo "== server load"
"$build/bench/server_load_bench"
echo "== server load under attack"
"$build/bench/server_load_bench" --attack
echo "== server load over TLS"
"$build/bench/server_load_bench" --tls
echo "== several servers on PostgreSQL, and one on SQLite"
"$(dirname "$0")/server-instances-bench.sh" "$build"
