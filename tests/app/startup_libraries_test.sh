#!/usr/bin/env bash
# The program starts without the browser engine: it is not linked in, and
# an idle start (no browser shown) does not load it.
#   startup_libraries_test.sh PROGRAM
set -uo pipefail
program="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

linked=$(readelf -d "$program" | grep NEEDED | grep -E 'libQt6(WebEngine|Quick|Qml)' || true)
[ -z "$linked" ] || fail "the program is linked against the browser engine: $linked"

data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
line=$(env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=offscreen QUORVANT_STARTUP_PROBE=1 \
  timeout 60 "$program" --data-dir "$data" 2>/dev/null | grep startup_ms)
[ -n "$line" ] || fail "the program did not reach its Task Manager"
[[ "$line" == *"browser_engine=no"* ]] || fail "the browser engine was loaded at start: $line"
echo "ok: $line"
