#!/usr/bin/env bash
# The real program killed with SIGKILL while two documents have unsaved
# changes: the next start's Task Manager offers both, restoring them opens
# them modified with the typed text, and a clean exit leaves no copies.
# Runs on a private session bus, driven through quorvant-ctl.
#   killrestart_test.sh QUORVANT QUORVANT_CTL
# Exits 77 (skipped) only when dbus-run-session is missing.
set -u
program=$1
ctl_program=$2

source "$(dirname "${BASH_SOURCE[0]}")/../support/privatebus.sh"
on_private_bus 200 "$0" "$@"

export QT_QPA_PLATFORM=offscreen
unset QUORVANT_DATA_DIR QUORVANT_AUTOMATION
work=$(mktemp -d)
data="$work/data"
mkdir -p "$data"
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
cd "$work"
printf '<p>on disk</p>\n' > a.htm

started=()
cleanup() {
  for p in "${started[@]}"; do kill -9 "$p" 2> /dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do [ -f "$log" ] && { echo "== $log"; cat "$log"; }; done
  exit 1
}
same() { [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"; }
ctl() { "$ctl_program" --data-dir "$data" --timeout 20 "$@"; }
window_up() { ctl WindowTitles | grep -q "Quorvant"; }
copies() { find "$data/Recovery" -name '*.qrec' 2> /dev/null | wc -l; }
copies_are() { [ "$(copies)" == "$1" ]; }

echo "--- type into a file's document and an untitled one"
"$program" --data-dir "$data" --automation a.htm > "$work/first.log" 2>&1 &
first=$!
started+=("$first")
wait_for 60 window_up || fail "the first start did not come up"
wait_for 20 ctl CurrentFileName || fail "a.htm did not open"
ctl SetCaretPoint 0 1 || fail "caret"
ctl TypeText 'typed before the crash' || fail "TypeText"
ctl Trigger BlankDocument1 || fail "new document"
ctl TypeText 'never saved' || fail "TypeText untitled"
wait_for 20 copies_are 2 || fail "the recovery copies were not written: $(copies)"

echo "--- kill -9"
kill -9 "$first"
wait "$first" 2> /dev/null

echo "--- the next start offers both"
"$program" --data-dir "$data" --automation > "$work/second.log" 2>&1 &
second=$!
started+=("$second")
task_manager_up() { ctl WindowTitles | grep -q "Task Manager"; }
wait_for 60 task_manager_up || fail "the second start did not show the Task Manager"
rows=$(ctl Rows RecoveredListView) || fail "no recovery offer"
echo "$rows"
[[ "$rows" == *a.htm*"$work/a.htm"* ]] || fail "a.htm not offered: $rows"
[[ "$rows" == *Untitled* ]] || fail "the untitled document not offered: $rows"
ctl Trigger RestoreAllRecovered || fail "Restore All"
same "documents" 2 "$(ctl DocumentCount)"
same "modified" true "$(ctl IsModified)"
# Restored in the order offered: find each by its file.
titled=0 untitled=1
ctl SelectTab 0 || fail "tab 0"
[ -z "$(ctl CurrentFileName)" ] && titled=1 untitled=0
ctl SelectTab "$titled" || fail "tab $titled"
same "file" "$work/a.htm" "$(ctl CurrentFileName)"
same "text" $'<p>on disk</p>\ntyped before the crash' "$(ctl DocumentText | tr -d '\r')"
same "modified" true "$(ctl IsModified)"
same "the file itself" '<p>on disk</p>' "$(cat a.htm)"
ctl SelectTab "$untitled" || fail "tab $untitled"
same "untitled file name" "" "$(ctl CurrentFileName)"
same "untitled text" 'never saved' "$(ctl DocumentText | tr -d '\r')"
same "untitled modified" true "$(ctl IsModified)"

echo "--- a clean exit without saving leaves no copies"
ctl QueueAnswers button:NoToAll > /dev/null || fail "QueueAnswers"
ctl Trigger Exit1 || fail "Exit"
for _ in $(seq 100); do kill -0 "$second" 2> /dev/null || break; sleep 0.2; done
kill -0 "$second" 2> /dev/null && fail "the second start did not end"
same "copies left" 0 "$(copies)"
[ -z "$(ls -A "$data/Recovery")" ] || fail "the recovery folder is not empty: $(ls -A "$data/Recovery")"
echo "kill and restart ok"
