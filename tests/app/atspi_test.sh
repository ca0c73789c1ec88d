#!/usr/bin/env bash
# The real program under Xvfb on a private session bus with the AT-SPI bus
# running, read as a screen reader reads it: the main window and each dialog
# opened through quorvant-ctl must have no focusable control without a name
# or role (atspi_names.py).
#   atspi_test.sh QUORVANT QUORVANT_CTL
# Exits 77 (skipped, saying why) when Xvfb, dbus-run-session, the AT-SPI bus
# launcher or python3-pyatspi is missing. Every wait is bounded.
set -u
program=$1
ctl_program=$2
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
launcher=/usr/libexec/at-spi-bus-launcher

skip() { echo "SKIP: $*"; exit 77; }
if [ -z "${QUORVANT_ATSPI_ON_PRIVATE_BUS:-}" ]; then
  command -v Xvfb > /dev/null || skip "Xvfb is not installed (Debian package xvfb)"
  command -v dbus-run-session > /dev/null || skip "dbus-run-session is not installed (Debian package dbus-daemon)"
  [ -x "$launcher" ] || skip "$launcher is missing (Debian package at-spi2-core)"
  "$python" -c 'import pyatspi' 2> /dev/null || skip "pyatspi is missing (Debian package python3-pyatspi)"
  export QUORVANT_ATSPI_ON_PRIVATE_BUS=1
  exec timeout -k 10 270 dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
data="$work/data"
mkdir -p "$data" "$work/runtime"
chmod 700 "$work/runtime"
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
printf '<p>hello</p>\r\n' > "$work/a.htm"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2> /dev/null; done
  sleep 0.3
  for p in "${pids[@]}"; do kill -9 "$p" 2> /dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do [ -f "$log" ] && { echo "== $log"; tail -20 "$log"; }; done
  exit 1
}

# A display of our own: Xvfb picks a free number and writes it.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -3 "$work/xvfb.log")"
export DISPLAY=":$(head -1 "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QUORVANT_DATA_DIR QUORVANT_AUTOMATION
export XDG_RUNTIME_DIR="$work/runtime" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0

"$launcher" --launch-immediately > "$work/atspi.log" 2>&1 &
pids+=($!)
"$python" -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount' > /dev/null 2>&1 ||
  { sleep 1; "$python" -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount' > /dev/null 2>&1; } ||
  skip "the AT-SPI bus did not answer: $(tail -3 "$work/atspi.log")"

ctl() { "$ctl_program" --data-dir "$data" --timeout 20 "$@"; }
"$program" --data-dir "$data" --automation "$work/a.htm" > "$work/quorvant.log" 2>&1 &
pids+=($!)
# Automation answers before the file named on the command line is open.
for _ in $(seq 600); do [ "$(ctl DocumentCount 2>/dev/null)" == 1 ] && break; sleep 0.2; done
count=$(ctl DocumentCount 2>&1)
[ "$count" == 1 ] || fail "the program did not start with the document: $count"

faults=0
# check TITLE: the window of that title read from the accessibility bus.
check() {
  local out
  out=$("$python" "$here/atspi_names.py" Quorvant "$1" 2>&1)
  case $? in
    0) echo "ok: $1" ;;
    *) echo "$out"; faults=$((faults + 1)) ;;
  esac
}
# newest_title BEFORE: the title shown now that was not in BEFORE.
newest_title() { comm -13 <(sort <<< "$1") <(ctl WindowTitles | sort) | head -1; }

main_title=$(ctl WindowTitles | grep -m1 'Quorvant')
[ -n "$main_title" ] || fail "no main window among: $(ctl WindowTitles)"
check "$main_title"

for command in Find1 Replace1 GotoLineNumber1 Findinfiles1 OpenFromtheWeb1 Tables1 Image1 AnchorLink1 Email1 \
               HorizontalRule1 List1 Comment1 JavaApplet1 Font1 DocumentProperties1 Margins1 PageTransitions1 \
               HTMLTidyFixandFormat1 EditorPreferences1 EnvironmentOptions1 About1; do
  before=$(ctl WindowTitles)
  ctl Trigger "$command" > /dev/null || fail "Trigger $command"
  title=""
  for _ in $(seq 50); do title=$(newest_title "$before"); [ -n "$title" ] && break; sleep 0.1; done
  [ -n "$title" ] || { echo "$command opened no window"; faults=$((faults + 1)); continue; }
  check "$title"
  ctl Key Escape > /dev/null
  for _ in $(seq 50); do [ -z "$(newest_title "$before")" ] && break; sleep 0.1; done
  [ -z "$(newest_title "$before")" ] || fail "$title did not close with Escape"
done

[ "$faults" -eq 0 ] || fail "$faults window(s) with controls a screen reader cannot name"
echo "accessibility names ok"
