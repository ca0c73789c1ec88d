#!/usr/bin/env bash
# Runs a test program on a private session bus with a Secret Service of its
# own: gnome-keyring-daemon with an unlocked keyring whose files are in a
# temporary HOME, so the desktop's own keyring is never touched. The program
# sees QUORVANT_TEST_SECRET_SERVICE=1 and, in QUORVANT_TEST_SECRET_SERVICE_PID,
# the process that answers for the service.
#   secretservice.sh PROGRAM [ARG...]
# Exits 77 (skipped, saying why) where dbus-run-session or
# gnome-keyring-daemon is missing or no Secret Service answers; fails when
# the program ran no test at all.
set -uo pipefail
skip() { echo "SKIP: $*"; exit 77; }

if [ -z "${QUORVANT_TEST_SECRET_BUS:-}" ]; then
  command -v dbus-run-session > /dev/null || skip "dbus-run-session is not installed (Debian package dbus-daemon)"
  command -v gnome-keyring-daemon > /dev/null || skip "gnome-keyring-daemon is not installed (Debian package gnome-keyring)"
  home="$(mktemp -d)"
  trap 'rm -rf "$home"' EXIT
  mkdir -p -m 700 "$home/run"
  QUORVANT_TEST_SECRET_BUS=1 HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/run" \
    timeout -k 10 250 dbus-run-session -- bash "$0" "$@"
  exit $?
fi

# On the private bus: a new "login" keyring, unlocked with a test password,
# then the daemon's Secret Service. It ends with the bus.
printf 'quorvant-test-keyring' | gnome-keyring-daemon --unlock --components=secrets > /dev/null 2>&1 \
  || skip "gnome-keyring-daemon could not unlock a keyring"
gnome-keyring-daemon --start --components=secrets > /dev/null 2>&1 || skip "gnome-keyring-daemon did not start"
pid=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.secrets 2> /dev/null \
      | awk '/uint32/ { print $2 }')
[ -n "$pid" ] || skip "no Secret Service answered on the private bus"

output="$HOME/test-output"
QUORVANT_TEST_SECRET_SERVICE=1 QUORVANT_TEST_SECRET_SERVICE_PID="$pid" "$@" 2>&1 | tee "$output"
status=${PIPESTATUS[0]}
grep -q '^\[ RUN      \]' "$output" || { echo "FAIL: the program ran no test"; exit 1; }
exit "$status"
