#!/usr/bin/env bash
# The program keeps running when whoever started it stops reading its
# output: with stdout and stderr on a pipe whose reader has gone, it starts,
# shows a template in Instant Java's preview browser (the engine writes log
# lines as it starts), answers, and ends normally when asked.
#   closed_output.sh QUORVANT QUORVANT_CTL
# Exits 77 (skipped) only when dbus-run-session is missing. Every wait is bounded.
set -u
program=$1
ctl_program=$2

source "$(dirname "${BASH_SOURCE[0]}")/../support/privatebus.sh"
on_private_bus 170 "$0" "$@"

export QT_QPA_PLATFORM=offscreen
unset QUORVANT_DATA_DIR QUORVANT_AUTOMATION
work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
data="$work/data"
mkdir -p "$data"
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
trap 'pkill -f -- "--data-dir $data" 2> /dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
ctl() { "$ctl_program" --data-dir "$data" --timeout 20 "$@"; }
exited() { [ -s "$work/status" ]; }

# The reader of the pipe ends at once; the program's status is kept.
{ "$program" --automation --data-dir "$data"; echo $? > "$work/status"; } 2>&1 | true &

wait_for 60 ctl Trigger NewBlankPage || fail "the program did not start (status $(cat "$work/status" 2> /dev/null))"
ctl Trigger InstantJava1 &
wait_for 20 ctl SelectRow JavaScriptList 0 || fail "Instant Java's list did not come (status $(cat "$work/status" 2> /dev/null))"
# The preview names the template's page once the engine has started.
page_title_shown() { [ -n "$(ctl Property JavaScriptPreview title)" ]; }
wait_for 60 page_title_shown || fail "the preview did not show the template (status $(cat "$work/status" 2> /dev/null))"
ctl DocumentCount > /dev/null || fail "the program does not answer after the preview started"
ctl Trigger CancelButton || fail "Instant Java did not close"
ctl QueueAnswers button:No > /dev/null
ctl Trigger Exit1 || fail "Exit was refused"
wait_for 30 exited || fail "the program did not end when asked"
[ "$(cat "$work/status")" == 0 ] || fail "the program ended with status $(cat "$work/status")"
echo "ok"
