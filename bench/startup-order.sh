#!/usr/bin/env bash
# Writes src/startup-order.ld: the program's own functions that run while it
# starts, which the link puts side by side at the front of the code, so a
# start touches a few hundred KiB of the program's code instead of pages all
# over it.
#
#   bench/startup-order.sh [build folder]
#
# Runs the build's src/quorvant under valgrind's callgrind on a fresh data
# folder on its own Xvfb + openbox display until the Task Manager has been
# shown for 8 s, then lists every function of the program that ran. Run it
# again after larger changes to what the start does, and rebuild: functions
# missing from the list still work, they are only placed with the rest.
#
# Needs: valgrind xvfb openbox dbus-daemon, and bench/x11probe built.
set -euo pipefail
. "$(dirname "$0")/x11-display.sh"
export LC_ALL=C

here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$here/build}")"
program="$build/src/quorvant"
probe="$build/bench/x11probe"
out="$here/src/startup-order.ld"
for f in "$program" "$probe"; do
  [ -x "$f" ] || { echo "missing $f: build the targets quorvant and x11probe" >&2; exit 2; }
done
for tool in valgrind Xvfb openbox dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "missing $tool: apt-get install valgrind xvfb openbox dbus-daemon" >&2; exit 2; }
done
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- "$0" "$build"
fi

work="$(mktemp -d)"
xvfb_pid=""; wm_pid=""; run_pid=""
cleanup() {
  [ -n "$run_pid" ] && kill -KILL "$run_pid" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own, with a window manager.
start_x11_display "$probe"

mkdir "$work/data"
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$work/data/Main.INI"
valgrind --tool=callgrind --demangle=no --callgrind-out-file="$work/callgrind.out" \
  "$program" --data-dir "$work/data" >"$work/run.log" 2>&1 &
run_pid=$!
"$probe" wait "Quorvant: Task Manager" 300 >/dev/null || { echo "the Task Manager was not shown" >&2; exit 1; }
sleep 8
kill -TERM "$run_pid"
wait "$run_pid" || true
run_pid=""

# callgrind names each function once in full, then by "(id)".
python3 - "$work/callgrind.out" "$program" "$out" <<'EOF'
import re, subprocess, sys
profile, program, out = sys.argv[1:]
# The program's own functions; callgrind names the program's object "???"
# when the code is laid out by an earlier list.
defined = set()
for line in subprocess.run(['nm', '--defined-only', program], capture_output=True, text=True, check=True).stdout.splitlines():
    fields = line.split()
    if len(fields) == 3 and fields[1] in 'tTwW':
        defined.add(fields[2])
names, objects, ran, current = {}, {}, set(), None
def name(table, text):
    m = re.match(r'\((\d+)\)(?: (.*))?', text)
    if not m:
        return text
    if m.group(2):
        table[m.group(1)] = m.group(2)
    return table[m.group(1)]
for line in open(profile):
    line = line.rstrip('\n')
    key, _, value = line.partition('=')
    if key == 'ob':
        current = name(objects, value)
    elif key == 'cob':
        name(objects, value)
    elif key == 'cfn':
        name(names, value)
    elif key == 'fn':
        fn = name(names, value)
        if current in (program, '???'):
            ran.add(re.sub(r"'\d+$", '', fn))   # callgrind marks recursion with 'N
# A constructor or destructor has two names for one body (C1/C2, D1/D2):
# the section is named after either.
for fn in list(ran):
    for one, two in (('C1', 'C2'), ('D1', 'D2')):
        ran.add(re.sub(r'(?<=[0-9A-Za-z_])%s(?=[EI])' % one, two, fn))
        ran.add(re.sub(r'(?<=[0-9A-Za-z_])%s(?=[EI])' % two, one, fn))
functions = sorted(f for f in ran & defined if re.match(r'^[A-Za-z_][\w.$]*$', f) and f != 'main')
with open(out, 'w') as f:
    f.write('/* Written by bench/startup-order.sh: the functions of the program that run\n'
            '   while it starts, placed side by side before the rest of its code\n'
            '   (compiled with -ffunction-sections, each is a section of its own),\n'
            '   after the C start-up, main and the constructors of static objects. */\n'
            'SECTIONS\n{\n  .text.startup_path :\n  {\n'
            '    *crt1.o(.text) *crtbeginS.o(.text)\n'
            '    *(.text.startup .text.startup.*)\n')
    for fn in functions:
        f.write('    *(.text.%s)\n' % fn)
    f.write('  }\n}\nINSERT BEFORE .text;\n')
print('%d functions written to %s' % (len(functions), out))
EOF
