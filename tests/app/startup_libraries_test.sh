#!/usr/bin/env bash
# The program starts without the browser engine, without Qt Network and
# without the secret store (QtKeychain, libsecret): none is linked in, and an
# idle start (no browser shown, nothing sent, no password read) loads none.
# The code a start runs lies together: an idle start keeps little of the
# program's own code in memory.
#   startup_libraries_test.sh PROGRAM
set -uo pipefail
program="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

needed=$(readelf -d "$program" | grep NEEDED)
linked=$(grep -E 'libQt6(WebEngine|Quick|Qml)' <<<"$needed" || true)
[ -z "$linked" ] || fail "the program is linked against the browser engine: $linked"
linked=$(grep -E 'libQt6Network' <<<"$needed" || true)
[ -z "$linked" ] || fail "the program is linked against Qt Network: $linked"
linked=$(grep -E 'libqt6keychain|libsecret' <<<"$needed" || true)
[ -z "$linked" ] || fail "the program is linked against the secret store: $linked"

data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
# An account whose password is in the secret store: the start reads the file only.
printf '[USERDETAILS]\r\nUSERNAME=ann\r\nAUTOCONNECT=0\r\n' > "$data/Halvorn.INI"
# The dynamic linker names every library it loads, at start or later, into
# loaded.<pid>: what the program maps while it starts and idles.
line=$(env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=offscreen QUORVANT_STARTUP_PROBE=1 \
  LD_DEBUG=files LD_DEBUG_OUTPUT="$data/loaded" \
  timeout 60 "$program" --data-dir "$data" 2>/dev/null | grep startup_ms)
[ -n "$line" ] || fail "the program did not reach its Task Manager"
[[ "$line" == *"browser_engine=no"* ]] || fail "the browser engine was loaded at start: $line"
ls "$data"/loaded.* >/dev/null 2>&1 || fail "the dynamic linker wrote no list of loaded libraries"
grep -q 'file=libQt6Core' "$data"/loaded.* || fail "the list of loaded libraries is not readable"
network=$(grep -h 'file=.*libQt6Network' "$data"/loaded.* | head -3 || true)
[ -z "$network" ] || fail "Qt Network was loaded at start: $network"
secrets=$(grep -hE 'file=.*(libqt6keychain|libsecret)' "$data"/loaded.* | head -3 || true)
[ -z "$secrets" ] || fail "the secret store was loaded at start: $secrets"
# Some 0.6 MiB when the start-up code lies together (src/startup-order.ld),
# 2 MiB when it is spread over the whole program.
code=${line#*code_kib=}; code=${code%% *}
[[ "$code" =~ ^[0-9]+$ ]] || fail "no resident code size in the report: $line"
# A sanitizer build (scripts/dev test --sanitize) carries the sanitizer
# runtime in its code and checks on every access: its size says nothing of
# the program's layout.
if readelf --dyn-syms -W "$program" | grep ' __asan_init$' > /dev/null; then
  echo "ok (the code's size is not measured in a sanitizer build): $line"
  exit 0
fi
(( code > 0 && code <= 1024 )) || fail "$code KiB of the program's code in memory after an idle start (at most 1024)"
echo "ok: $line"
