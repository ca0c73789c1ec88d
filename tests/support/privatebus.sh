# Shared by the shell tests that drive the real program through quorvant-ctl;
# sourced, never run.

# on_private_bus SECONDS SCRIPT [ARG...]: runs the calling script again on a
# private session bus, ended after SECONDS; returns at once when already
# there. Exits 77 (skipped) when dbus-run-session is missing.
on_private_bus() {
  local seconds=$1
  shift
  [ -n "${QUORVANT_TEST_ON_PRIVATE_BUS:-}" ] && return 0
  if ! command -v dbus-run-session > /dev/null; then
    echo "SKIP: dbus-run-session is not installed (Debian package dbus-daemon)"
    exit 77
  fi
  export QUORVANT_TEST_ON_PRIVATE_BUS=1
  exec timeout -k 10 "$seconds" dbus-run-session -- bash "$@"
}

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local tries=$(($1 * 5))
  shift
  for _ in $(seq "$tries"); do "$@" > /dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}
