#!/usr/bin/env bash
# Start-up of the real program with the automatic sign-in on while the
# address service is down (a closed port, and an address that never answers),
# against start-up without it: the window must be usable within 100 ms of the
# plain start-up.
#   bench/network-signin-startup.sh [build folder] [runs]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
runs="${2:-10}"
program="$build/src/quorvant"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export QUORVANT_STARTUP_PROBE=1

measure() {  # data folder -> mean ms
  local data="$1" total=0 line ms
  "$program" --data-dir "$data" > /dev/null 2>&1 || true   # warm the file cache
  for i in $(seq "$runs"); do
    line=$("$program" --data-dir "$data" 2>/dev/null | grep startup_ms)
    ms=${line#startup_ms=}; ms=${ms%% *}
    total=$((total + ms))
  done
  echo $((total / runs))
}

folder() {  # address -> a data folder past its first run, sign-in on when an address is given
  local data; data="$(mktemp -d)"
  printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
  if [ -n "$1" ]; then
    printf '[USERDETAILS]\r\nUSERNAME=bench\r\nPASSWORD=bench\r\nAUTOCONNECT=1\r\n[CONNECTION]\r\nADDRESS=%s\r\n' "$1" > "$data/Halvorn.INI"
  fi
  echo "$data"
}

plain=$(folder "")
closed=$(folder "127.0.0.1:9")
# A service that takes the connection on loopback and never answers.
exec 3< <(python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(128)
print(s.getsockname()[1], flush=True); time.sleep(3600)')
silent_pid=$!
read -r silent_port <&3
silent=$(folder "127.0.0.1:$silent_port")
trap 'kill "$silent_pid" 2>/dev/null; rm -rf "$plain" "$closed" "$silent"' EXIT
base=$(measure "$plain")
down=$(measure "$closed")
hang=$(measure "$silent")
echo "start-up without sign-in:                        $base ms (mean of $runs)"
echo "with sign-in, address service refusing (port 9): $down ms, +$((down - base)) ms (target < 100 ms)"
echo "with sign-in, address service not answering:     $hang ms, +$((hang - base)) ms (target < 100 ms)"
