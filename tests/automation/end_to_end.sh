#!/usr/bin/env bash
# The real program on a private session bus, driven from outside through
# quorvant-ctl: open a file, put a tag around a selected word, answer
# Close All's question, check the file on disk and the recorded box; fill a
# dialog, pick rows of a list, read the Tag Inspector; then a second start
# hands its files over and ends.
#   end_to_end.sh QUORVANT QUORVANT_CTL
# Exits 77 (skipped) only when dbus-run-session is missing. Every wait is bounded.
set -u
program=$1
ctl_program=$2

source "$(dirname "${BASH_SOURCE[0]}")/../support/privatebus.sh"
on_private_bus 270 "$0" "$@"

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
scripts=$(cd "$(dirname "$0")" && pwd)/scripts
export QUORVANT_CTL=$ctl_program
# same LABEL EXPECTED ACTUAL
same() { [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"; }
# refused LABEL ERRORNAME ctl-arguments...: the call must fail with that error.
refused() {
  local label=$1 name=$2 out
  shift 2
  out=$(ctl "$@" 2>&1) && fail "$label: the call succeeded: $out"
  [[ "$out" == *"org.quorvant.Editor.Error.$name"* ]] || fail "$label: expected $name, got: $out"
}
count_is() { [ "$(ctl DocumentCount)" == "$1" ]; }

step "without a session bus every start is a first one, and automation is unavailable"
mkdir -m 700 "$work/nobus"
env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/nobus" QUORVANT_STARTUP_PROBE=1 \
  timeout 60 "$program" --data-dir "$other" --automation > "$work/nobus.log" 2>&1
same "exit status without a bus" 0 "$?"
grep -q "automation is unavailable: there is no session bus" "$work/nobus.log" || fail "no note about the missing bus"
grep -q "startup_ms=" "$work/nobus.log" || fail "the program did not reach its Task Manager without a bus"

step "a script that opens a file as the program starts keeps its window: calls that act wait for the start"
early_data="$work/early"
mkdir -p "$early_data"
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$early_data/Main.INI"
ectl() { "$ctl_program" --data-dir "$early_data" --timeout 20 "$@"; }
"$program" --data-dir "$early_data" --automation > "$work/early.log" 2>&1 &
early=$!
started+=("$early")
# As fast as a script can: the calls land while the windows are still being built.
answers=""
opened=""
for _ in $(seq 1200); do
  if out=$(ectl OpenFile a.htm 2>&1); then opened=1; break; fi
  case "$out" in
    *"No Quorvant is running"* | *UnknownObject* | *UnknownMethod* | *UnknownInterface* | *Error.NotReady*) answers+="$out"$'\n' ;;
    *) fail "OpenFile while starting: $out" ;;
  esac
  sleep 0.02
done
[ -n "$opened" ] || fail "OpenFile never succeeded: $(sort -u <<< "$answers")"
echo "answers before the start had finished: $(grep -c NotReady <<< "$answers") NotReady"
ectl WindowTitles | grep -q "Task Manager" && fail "the Task Manager came up over the opened file: $(ectl WindowTitles)"
ectl Trigger SelectAll1 || fail "Trigger after the early OpenFile"
same "the early file" "$work/a.htm" "$(ectl CurrentFileName)"
same "selected by the trigger" '<p>hello world</p>' "$(ectl SelectedText | tr -d '\r')"
ectl Trigger Exit1 || fail "Exit1 after the early OpenFile"
wait_for 20 bash -c "! kill -0 $early" || fail "the early instance did not end"

step "start with --automation and answers for the start-up boxes"
# One answer a line (CR LF or LF; empty lines skipped): the missing file's warning.
printf 'button:OK\r\n\n' > answers.txt
"$program" --data-dir "$data" --automation --answers answers.txt missing-at-start.htm > "$work/editor.log" 2>&1 &
editor=$!
started+=("$editor")
task_manager_shown() { ctl WindowTitles | grep -q "Task Manager"; }
wait_for 60 task_manager_shown || fail "the automation interface did not come up"
same "no document at start" 0 "$(ctl DocumentCount)"
messages=$(ctl TakeMessages)
[[ "$messages" == *'"answered":true'*'missing-at-start.htm does not exist'* ]] || fail "start-up box not answered: $messages"

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

step "TypeText reads \\n as Return, as documented"
ctl SetDocumentText '' || fail "clearing"
ctl TypeText 'a\nb\tc' || fail "TypeText with escapes"
same "escapes typed as keys" $'a\nb\tc' "$(ctl DocumentText | tr -d '\r')"
ctl SetDocumentText "$typed"$'\r\n' true || fail "SetDocumentText keeping the flag"
same "still modified" true "$(ctl IsModified)"

step "a queued relative path imports the file as the dialog would"
mkdir -p sub
printf 'imported line\n' > sub/notes.txt
ctl SetCaretPoint 0 1 || fail "caret to the end"
(cd sub && "$ctl_program" --data-dir "$data" QueueAnswers path:notes.txt) || fail "QueueAnswers path"
ctl Trigger Import1 || fail "Trigger Import1"
same "text after the import" "$typed"$'\r\nimported line\r' "$(ctl DocumentText)"
ctl DebugLines | grep -q "could not be read\|does not exist" && fail "the import reported a failure: $(ctl DebugLines)"
ctl SetDocumentText "$typed"$'\r\n' || fail "restoring the text"

step "a dialog driven by object name: Environment Options sets the tab width"
refused "a field behind no dialog" NotFound SetProperty tabWidth value 4
same "the INI line" "TabWidth=3" "$(bash "$scripts/set_tab_width.sh" 3 "$data")"
ctl Trigger EnvironmentOptions1 || fail "reopening the options"
same "the dialog shows the stored width" 3 "$(ctl Property tabWidth value)"
refused "a value beyond the range" OutOfRange SetProperty tabWidth value 99
refused "a property a spin box lacks" InvalidArgument SetProperty tabWidth colour 3
refused "the main window behind the dialog" ModalDialog SetProperty PageSelector currentIndex 0
ctl Widgets | grep -q "^tabWidth	QSpinBox	3	enabled,visible" || fail "Widgets: $(ctl Widgets)"
ctl Trigger Cancel || fail "Cancel"

step "a list: select, activate, pop-up menu"
ctl SetDocumentText '' || fail "clearing"
ctl SelectRow ListView3 0 || fail "choosing the first tag list"
rows=$(ctl Rows ListView1)
[ "$(tail -n 1 <<< "$rows")" == "current -1" ] || [ "$(tail -n 1 <<< "$rows")" == "current 0" ] || fail "Rows: $rows"
first=$(head -n 1 <<< "$rows" | cut -f 4)
ctl SelectRow ListView1 1 || fail "SelectRow"
same "current row" "current 1" "$(ctl Rows ListView1 | tail -n 1)"
ctl ActivateRow ListView1 0 || fail "ActivateRow"
[[ "$(ctl DocumentText)" == "$first"* ]] || fail "the activated tag was not placed: $(ctl DocumentText)"
ctl SetDocumentText '' || fail "clearing"
ctl SelectRow ListView1 0 || fail "SelectRow"
ctl MenuItems TagListPopup | grep -q "^Insert current tag	true	false$" || fail "MenuItems: $(ctl MenuItems TagListPopup)"
ctl PopupMenu ListView1 'Insert current tag' || fail "PopupMenu"
[[ "$(ctl DocumentText)" == "$first"* ]] || fail "the pop-up menu placed nothing: $(ctl DocumentText)"
refused "a missing menu item" NotFound PopupMenu ListView1 'No such item'
refused "a row beyond the list" OutOfRange SelectRow ListView1 9999
refused "an unknown widget" NotFound Rows NoSuchList

step "the Tag Inspector's grid for the tag at the caret"
ctl SetDocumentText '<a href="x.htm" target="_top">link</a>' || fail "a link"
grid=$(bash "$scripts/inspect_tag.sh" 3 0 "$data") || fail "inspect_tag.sh"
grep -q '^HREF	x.htm$' <<< "$grid" || fail "href not in the grid: $grid"
grep -q '^TARGET	_top$' <<< "$grid" || fail "target not in the grid: $grid"

step "tabs, status, syntax mode, keys"
same "tabs" 1 "$(ctl Tabs | wc -l)"
same "current tab" 0 "$(ctl CurrentTab)"
ctl SelectTab 0 || fail "SelectTab"
refused "a tab beyond the last" OutOfRange SelectTab 5
same "syntax mode" HTML "$(ctl SyntaxMode)"
ctl Click 0 0 || fail "Click"
ctl Key End || fail "Key End"
same "caret after End" "$(ctl DocumentText | head -n 1 | wc -m | awk '{ print $1 - 1 }') 0" "$(ctl CaretPoint)"
ctl StatusText | grep -q . || fail "no status text"
refused "not a key" InvalidArgument Key 'ctrl+nothing+at+all'

step "the text routines on org.quorvant.Toolkit"
same "SetTagCase" '<table border="ONE">' "$(ctl SetTagCase '<TABLE BORDER="ONE">' true)"
same "GetTagValue" x.htm "$(ctl GetTagValue '<a href="x.htm">' href)"
same "ColorToHex" Red "$(ctl ColorToHex 255 0 0)"
same "HexToColor" "18 52 86" "$(ctl HexToColor '#123456')"
refused "HexToColor of no colour" InvalidArgument HexToColor nocolour
same "GetPageTitle" Home "$(ctl GetPageTitle '<html><title>Home</title></html>')"
same "StripTags" "bold" "$(ctl StripTags '<b>bold</b>')"
ctl SetDocumentText "$typed"$'\r\n' || fail "restoring the text"

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
for call in "StripTags <b>x</b>" "Widgets" "Property tabWidth value"; do
  # shellcheck disable=SC2086
  out=$("$ctl_program" --data-dir "$other" --timeout 20 $call 2>&1) && fail "$call answers without --automation"
  [[ "$out" == *"--automation"* ]] || fail "$call without automation: $out"
done
kill "$second"
wait_for 20 bash -c "! kill -0 $second" || fail "the second instance did not end"

step "Exit ends the program; the boxes shown while it ends can still be taken"
ctl TakeMessages > /dev/null
ctl SetDocumentText 'unsaved' || fail "an unsaved change"
ctl QueueAnswers button:No || fail "QueueAnswers"
ctl Trigger Exit1 > /dev/null 2>&1
messages=""
for _ in $(seq 50); do
  m=$(ctl TakeMessages 2> /dev/null) || break
  messages+=$m
  [[ "$messages" == *'"answered":true'* ]] && break
  sleep 0.1
done
[[ "$messages" == *'do you wish to save?'* && "$messages" == *'"answered":true'* ]] || fail "the closing box was not kept: $messages"
wait_for 20 bash -c "! kill -0 $editor" || fail "the program did not end after Exit1"
wait "$editor"
same "exit status" 0 "$?"
echo "PASS"
