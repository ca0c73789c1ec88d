#!/usr/bin/env bash
# Times the real program from process start until the Task Manager is shown
# and the event loop is idle, and reports the memory in use at that point.
#   bench/startup.sh [build folder] [runs]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
runs="${2:-10}"
program="$build/src/quorvant"
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
# A data folder past its first run, so no question waits for an answer.
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export QUORVANT_STARTUP_PROBE=1
"$program" --data-dir "$data" > /dev/null 2>&1 || true   # warm the file cache
total=0; best=999999; worst=0
for i in $(seq "$runs"); do
  line=$("$program" --data-dir "$data" 2>/dev/null | grep startup_ms)
  ms=${line#startup_ms=}; ms=${ms%% *}
  rss=${line#*rss=}
  total=$((total + ms)); (( ms < best )) && best=$ms; (( ms > worst )) && worst=$ms
done
echo "start-up to idle Task Manager: mean $((total / runs)) ms, best $best ms, worst $worst ms over $runs runs (target < 500 ms)"
echo "memory at that point: $rss"
