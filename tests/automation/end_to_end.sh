#!/usr/bin/env bash
# The real program on a private session bus, driven from outside through
# quorvant-ctl: open a file, put a tag around a selected word, answer
# Close All's question, check the file on disk and the recorded box; then a
# second start hands its files over and ends.
#   end_to_end.sh QUORVANT QUORVANT_CTL
# Exits 77 (skipped) only when dbus-run-session is missing. Every wait is bounded.
set -u
program=$1
ctl_program=$2

if [ -z "${QUORVANT_E2E_ON_PRIVATE_BUS:-}" ]; then
  if ! command -v dbus-run-session > /dev/null; then
    echo "SKIP: dbus-run-session is not installed (Debian package dbus-daemon)"
    exit 77
  fi
  export QUORVANT_E2E_ON_PRIVATE_BUS=1
  exec timeout -k 10 270 dbus-run-session -- bash "$0" "$@"
fi

export QT_QPA_PLATFORM=offscreen
unset QUORVANT_DATA_DIR QUORVANT_AUTOMATION
work=$(mktemp -d)
data="$work/data"
other="$work/other"
mkdir -p "$data" "$other"
# Past the first run, so no question waits at start-up.
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$other/Main.INI"
cd "$work"
printf '<p>hello world</p>\r\n' > a.htm

started=()
cleanup() {
  for p in "${started[@]}"; do kill "$p" 2> /dev/null; done
  for p in "${started[@]}"; do
    for _ in $(seq 50); do kill -0 "$p" 2> /dev/null || break; sleep 0.1; done
    kill -9 "$p" 2> /dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

step() { echo "--- $*"; }
fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do [ -f "$log" ] && { echo "== $log"; cat "$log"; }; done
  exit 1
}
ctl() { "$ctl_program" --data-dir "$data" --timeout 20 "$@"; }
# same LABEL EXPECTED ACTUAL
same() { [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"; }
# refused LABEL ERRORNAME ctl-arguments...: the call must fail with that error.
refused() {
  local label=$1 name=$2 out
  shift 2
  out=$(ctl "$@" 2>&1) && fail "$label: the call succeeded: $out"
  [[ "$out" == *"org.quorvant.Editor.Error.$name"* ]] || fail "$label: expected $name, got: $out"
}
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local tries=$(($1 * 5))
  shift
  for _ in $(seq "$tries"); do "$@" > /dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}
count_is() { [ "$(ctl DocumentCount)" == "$1" ]; }

step "without a session bus every start is a first one, and automation is unavailable"
mkdir -m 700 "$work/nobus"
env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/nobus" QUORVANT_STARTUP_PROBE=1 \
  timeout 60 "$program" --data-dir "$other" --automation > "$work/nobus.log" 2>&1
same "exit status without a bus" 0 "$?"
grep -q "automation is unavailable: there is no session bus" "$work/nobus.log" || fail "no note about the missing bus"
grep -q "startup_ms=" "$work/nobus.log" || fail "the program did not reach its Task Manager without a bus"

step "start with --automation"
"$program" --data-dir "$data" --automation > "$work/editor.log" 2>&1 &
editor=$!
started+=("$editor")
wait_for 60 ctl DocumentCount || fail "the automation interface did not come up"
same "no document at start" 0 "$(ctl DocumentCount)"

step "open a file"
ctl OpenFile a.htm || fail "OpenFile"
same "documents" 1 "$(ctl DocumentCount)"
same "file name" "$work/a.htm" "$(ctl CurrentFileName)"
same "page" EditorPage "$(ctl ActivePage)"
same "not modified" false "$(ctl IsModified)"

step "select a word and run a tag command on it"
ctl Select 9 0 14 0 || fail "Select"
same "selection" world "$(ctl SelectedText)"
# Bold Text from the Tags menu; where the tag catalogue is not built in, Quote
# Block, the Edit command that works on the selection, stands in for it.
if ctl Commands | grep -qx BoldTextB1; then
  edit_command=BoldTextB1 edited='<p>hello <b>world</b></p>' typed='<p>hello <b>there</b></p>' caret="17 0"
else
  edit_command=QuoteBlock1 edited='> <p>hello world</p>' typed='> <p>hello there</p>' caret="16 0"
fi
echo "edit command: $edit_command"
ctl Trigger "$edit_command" || fail "Trigger $edit_command"
same "text after $edit_command" "$edited"$'\r' "$(ctl DocumentText)"
same "modified" true "$(ctl IsModified)"
same "the word stays selected" world "$(ctl SelectedText)"
ctl TypeText there || fail "TypeText"
same "typed over the selection" "$typed"$'\r' "$(ctl DocumentText)"
same "caret after typing" "$caret" "$(ctl CaretPoint)"

step "bad input gets clear errors"
refused "unknown command" UnknownCommand Trigger NoSuchCommand
refused "column beyond the line" OutOfRange Select 99 0 0 0
refused "line beyond the text" OutOfRange SetCaretPoint 0 9
refused "answer not understood" InvalidArgument QueueAnswers button:Maybe

step "a modal dialog answers the call and takes the input until it is closed"
ctl Trigger Find1 || fail "Trigger Find1"
ctl WindowTitles | grep -qx "Find Text" || fail "the Find dialog is not shown"
refused "typing under a modal dialog" ModalDialog TypeText x
refused "menu under a modal dialog" ModalDialog Trigger SelectAll1
printf '<p>b</p>\r\n' > b.htm
timeout 30 "$program" --data-dir "$data" b.htm > "$work/handover.log" 2>&1 || fail "hand-over under a modal dialog"
sleep 0.5
same "no file opens under the dialog" 1 "$(ctl DocumentCount)"
ctl Trigger cancelButton || fail "closing the Find dialog"
ctl WindowTitles | grep -qx "Find Text" && fail "the Find dialog is still shown"
wait_for 10 count_is 2 || fail "b.htm did not open once the dialog closed"
same "handed-over file" "$work/b.htm" "$(ctl CurrentFileName)"
ctl Trigger Close1 || fail "closing b.htm"
same "text after the dialog" "$typed"$'\r' "$(ctl DocumentText)"

step "Close All asks, the queued answer saves"
ctl TakeMessages > /dev/null
ctl QueueAnswers button:Yes || fail "QueueAnswers"
ctl Trigger CloseAll1 || fail "Trigger CloseAll1"
same "documents after Close All" 0 "$(ctl DocumentCount)"
printf '%s\r\n' "$typed" > expected.htm
cmp -s a.htm expected.htm || fail "a.htm on disk: $(od -c a.htm)"
messages=$(ctl TakeMessages)
for part in '"text":"This document has been modified do you wish to save?"' '"answered":true' \
            '"buttons":["Yes","No","Cancel","NoToAll"]' '"icon":"Information"'; do
  [[ "$messages" == *"$part"* ]] || fail "recorded box lacks $part: $messages"
done
same "one box" 1 "$(grep -o '"kind"' <<< "$messages" | wc -l)"

step "a second start with the same data folder hands its files over and ends"
timeout 30 "$program" --data-dir "$data" a.htm missing.htm > "$work/second.log" 2>&1
same "second start's exit status" 0 "$?"
wait_for 10 count_is 1 || fail "a.htm did not open in the running instance"
same "handed-over file" "$work/a.htm" "$(ctl CurrentFileName)"
messages=$(ctl TakeMessages)
[[ "$messages" == *"The file $work/missing.htm does not exist, so it was not opened."* ]] ||
  fail "missing file not reported: $messages"
kill -0 "$editor" 2> /dev/null || fail "the first instance is gone"

step "another data folder starts its own instance, without automation"
"$program" --data-dir "$other" > "$work/other.log" 2>&1 &
second=$!
started+=("$second")
wait_for 60 bash -c "[ \"\$('$ctl_program' --list | wc -l)\" == 2 ]" || fail "no second instance on the bus"
kill -0 "$second" 2> /dev/null || fail "the second instance ended"
out=$("$ctl_program" --data-dir "$other" --timeout 20 DocumentCount 2>&1) && fail "automation is on without --automation"
[[ "$out" == *"--automation"* ]] || fail "unhelpful error without automation: $out"
kill "$second"
wait_for 20 bash -c "! kill -0 $second" || fail "the second instance did not end"

step "Exit ends the program"
ctl Trigger Exit1 > /dev/null 2>&1
wait_for 20 bash -c "! kill -0 $editor" || fail "the program did not end after Exit1"
wait "$editor"
same "exit status" 0 "$?"
echo "PASS"
