#!/usr/bin/env bash
# Times the real program on a real X display (Xvfb with the openbox window
# manager), as a user starting it from the shell would see it.
#
#   bench/startup-x11.sh [--runs N] [--open FILE | --open-50mib | --all | --paired] [build folder]
#
# --all: the idle start and then the start with a 50 MiB file, every target
# in one run.
# Each run starts the program on a fresh data folder (past its first-run
# question) and reports, medians over N runs (default 5):
#   - the time from exec to the Task Manager shown (the window manager takes
#     it on: it is in _NET_CLIENT_LIST);
#   - the time from exec to settled: the process (all its threads) used less
#     than 5 % of a CPU over 0.5 s, read from /proc/PID/stat;
#   - the CPU time (user + system) the process used until settled;
#   - PSS and RSS once settled (/proc/PID/smaps_rollup), and whether the
#     browser engine's libraries are mapped.
# With --open FILE the file is named on the command line and the figures are
# exec to settled with the document open, the longest stall of the main
# window's event loop meanwhile (from the Task Manager shown until settled:
# the longest the main window kept a _NET_WM_PING waiting, pings sent every
# 20 ms by bench/x11probe outside the program), and the peak RSS (VmHWM).
# --open-50mib generates a 50 MiB HTML file with documents_bench first.
# --paired: the same against Geany (Debian geany, or $QUORVANT_X11_BENCH_GEANY),
# started alternately with the program on the same display, N runs each,
# idle and then with the 50 MiB file (or the --open FILE); Geany on a fresh
# configuration folder (-c, --no-session), both with fresh XDG folders. The
# first window shown is Geany's main window. Prints both medians and their
# ratio (program / Geany) against the targets: settled <= 0.8 x Geany, idle
# RSS <= Geany, peak RSS with the file <= 150 MiB.
#
# Needs: xvfb openbox dbus-daemon (Debian packages; geany for --paired) and
# the build's src/quorvant and bench/x11probe. Exit status 1 when a target is
# missed.
set -euo pipefail
. "$(dirname "$0")/x11-display.sh"
export LC_ALL=C

runs=5
open=""
make50=0
all=0
paired=0
build=""
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --open) open="$(realpath "$2")"; shift 2 ;;
    --open-50mib) make50=1; shift ;;
    --all) all=1; make50=1; shift ;;
    --paired) paired=1; shift ;;
    -h|--help) sed -n '2,36p' "$0"; exit 0 ;;
    *) build="$1"; shift ;;
  esac
done
build="$(realpath "${build:-$(dirname "$0")/../build}")"
program="$build/src/quorvant"
probe="$build/bench/x11probe"
for f in "$program" "$probe"; do
  [ -x "$f" ] || { echo "missing $f: build the targets quorvant and x11probe" >&2; exit 2; }
done
for tool in Xvfb openbox dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "missing $tool: apt-get install xvfb openbox dbus-daemon" >&2; exit 2; }
done
geany="${QUORVANT_X11_BENCH_GEANY:-geany}"
if [ "$paired" = 1 ]; then
  command -v "$geany" >/dev/null || { echo "missing $geany: apt-get install geany" >&2; exit 2; }
  [ -n "$open" ] || make50=1
fi

# One session bus for the whole benchmark, as a desktop session has.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ -z "${QUORVANT_X11_BENCH_IN_SESSION:-}" ]; then
  export QUORVANT_X11_BENCH_IN_SESSION=1
  args=(--runs "$runs")
  [ -n "$open" ] && args+=(--open "$open")
  [ "$make50" = 1 ] && args+=(--open-50mib)
  [ "$all" = 1 ] && args+=(--all)
  [ "$paired" = 1 ] && args+=(--paired)
  exec dbus-run-session -- "$0" "${args[@]}" "$build"
fi

work="$(mktemp -d)"
xvfb_pid=""; wm_pid=""; prog_pid=""
cleanup() {
  [ -n "$prog_pid" ] && kill -KILL "$prog_pid" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ "$make50" = 1 ]; then
  [ -x "$build/bench/documents_bench" ] || { echo "missing $build/bench/documents_bench" >&2; exit 2; }
  open="$work/page50.html"
  "$build/bench/documents_bench" --make-fixture html 50 "$open" >/dev/null
fi

# A display of our own, with a window manager.
start_x11_display "$probe"

mkfifo "$work/nap"
exec {nap}<>"$work/nap"
nap() { read -r -t "$1" -u "$nap" _ || true; }

ticks_per_s=$(getconf CLK_TCK)
# CPU ticks (user + system, all threads) of a process into $ticks_now; false
# once it is gone. No subshell: the sampling loop should not load the CPU.
read_ticks() {
  local line
  read -r line < "/proc/$1/stat" 2>/dev/null || return 1
  line="${line##*) }"
  local -a f=($line)
  ticks_now=$(( f[11] + f[12] ))
}
kib() { awk -v k="$2" '$1 == k":" { print $2 }' "$1"; }

# One run of $kind ("quorvant", or "geany" for --paired): prints
# "tm_ms settled_ms cpu_ms pss_kib rss_kib hwm_kib stall_ms webengine".
# For Geany the first window (the "Task Manager" of the figures) is its main
# window.
kind=quorvant
one_run() {
  local data="$work/data$1"
  mkdir -p "$data"
  local first_title main_title
  local -a cmd env=()
  if [ "$kind" = geany ]; then
    first_title="*Geany"; main_title="*Geany"
    cmd=("$geany" -c "$data/geany" --no-session)
  else
    first_title="Quorvant: Task Manager"; main_title="Quorvant : Enterprise Edition"
    printf '[GENERAL]\r\nFIRSTRUN=0\r\n' > "$data/Main.INI"
    cmd=("$program" --data-dir "$data")
  fi
  [ -n "$open" ] && cmd+=("$open")
  [ "$paired" = 1 ] && env=(XDG_CONFIG_HOME="$data/config" XDG_DATA_HOME="$data/share" XDG_CACHE_HOME="$data/cache")
  : > "$work/tm"; : > "$work/main"; : > "$work/ping"
  "$probe" wait "$first_title" 120 > "$work/tm" 2>/dev/null &
  local tm_probe=$!
  "$probe" wait "$main_title" 120 > "$work/main" 2>/dev/null &
  local main_probe=$!
  nap 0.3   # the probes are watching

  local t0=$EPOCHREALTIME
  env "${env[@]}" "${cmd[@]}" >/dev/null 2>&1 &
  prog_pid=$!
  t0=${t0/./}

  # Samples every 20 ms; settled at the start of the first 0.5 s in which
  # the process used under 5 % of a CPU, counted once the Task Manager is up.
  local -a at=() ticks=()
  local tm="" ping_pid="" settled="" settled_ticks="" i=0 j now
  local limit=$(( ticks_per_s * 5 / 200 )) deadline=$(( t0 + ${QUORVANT_X11_BENCH_TIMEOUT:-120} * 1000000 ))
  while :; do
    now=${EPOCHREALTIME/./}
    read_ticks "$prog_pid" || { echo "the program ended early" >&2; return 1; }
    at+=("$now"); ticks+=("$ticks_now")
    if [ -n "$open" ] && [ -z "$ping_pid" ] && [ -s "$work/main" ]; then
      local main_window
      read -r _ main_window < "$work/main"
      "$probe" ping "$main_window" 20 > "$work/ping" &
      ping_pid=$!
    fi
    if [ -z "$tm" ] && [ -s "$work/tm" ]; then
      read -r tm _ < "$work/tm"; tm=${tm/./}
    fi
    # A file that opens at once can hide the Task Manager before the window
    # manager shows it: then the main window's showing counts.
    if [ -z "$tm" ] && [ -n "$open" ] && [ -s "$work/main" ]; then
      local main_at
      read -r main_at _ < "$work/main"; main_at=${main_at/./}
      if (( now - main_at > 3000000 )); then
        tm=$main_at
        echo "run $1: the Task Manager was not seen; timed from the main window" >&2
      fi
    fi
    if [ -n "$tm" ]; then
      j=$(( ${#at[@]} - 1 ))
      # the latest sample at least 0.5 s before this one
      while (( i + 1 < j && at[j] - at[i + 1] >= 500000 )); do i=$((i + 1)); done
      if (( at[j] - at[i] >= 500000 && ticks[j] - ticks[i] <= limit )); then
        settled=$(( at[i] > tm ? at[i] : tm )); settled_ticks=${ticks[i]}
        break
      fi
    fi
    (( now < deadline )) || { echo "not settled after 120 s" >&2; return 1; }
    nap 0.02
  done

  if [ -n "${QUORVANT_X11_BENCH_TRACE:-}" ]; then   # the samples, for a closer look
    for k in "${!at[@]}"; do echo "sample $(( (at[k] - t0) / 1000 )) ms ticks ${ticks[k]}"; done >&2
    echo "task manager $(( (tm - t0) / 1000 )) ms" >&2
  fi
  local stall="-"
  if [ -n "$ping_pid" ]; then
    kill -TERM "$ping_pid" 2>/dev/null || true
    wait "$ping_pid" || true
    # The longest the window kept a ping waiting once the Task Manager was
    # up (before that the program is still starting, without its loop).
    stall=$(awk -v tm="$tm" -v end="$EPOCHREALTIME" '
      $1 == "ping" { s = $2 * 1e6; a = ($3 == "-" ? end : $3) * 1e6
                     if (s < tm) s = tm
                     if (a > s && a - s > m) { m = a - s; at = s } }
      END { printf "%d %d\n", m / 1000, (at - tm) / 1000 }' "$work/ping")
    [ -n "${QUORVANT_X11_BENCH_TRACE:-}" ] && echo "longest stall ${stall% *} ms from ${stall#* } ms after the Task Manager; $(tail -1 "$work/ping")" >&2
    stall=${stall% *}
  fi
  local pss rss hwm webengine=no
  pss=$(kib "/proc/$prog_pid/smaps_rollup" Pss)
  rss=$(kib "/proc/$prog_pid/smaps_rollup" Rss)
  hwm=$(kib "/proc/$prog_pid/status" VmHWM)
  grep -q 'libQt6WebEngine' "/proc/$prog_pid/maps" && webengine=yes
  kill -TERM "$prog_pid" 2>/dev/null || true
  local waited
  for waited in $(seq 100); do kill -0 "$prog_pid" 2>/dev/null || break; nap 0.05; done
  kill -KILL "$prog_pid" 2>/dev/null || true
  wait "$prog_pid" 2>/dev/null || true
  prog_pid=""
  kill "$tm_probe" "$main_probe" 2>/dev/null || true
  wait "$tm_probe" "$main_probe" 2>/dev/null || true
  rm -rf "$data"
  echo "$(( (tm - t0) / 1000 )) $(( (settled - t0) / 1000 )) $(( settled_ticks * 1000 / ticks_per_s )) $pss $rss $hwm $stall $webengine"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.0f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

missed=0
check() {  # name value unit target
  local verdict=pass
  [ "$2" -lt "$4" ] || { verdict=MISSED; missed=1; }
  printf '  %-44s %6s %-4s (target < %s %s) %s\n' "$1" "$2" "$3" "$4" "$3" "$verdict"
}

# N runs of one kind (idle start when $open is empty), then their medians
# against the targets.
measure() {
  echo "display $DISPLAY (Xvfb + openbox), $runs runs, load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  [ -n "$open" ] && echo "opening $open ($(( $(stat -c %s "$open") / 1048576 )) MiB)"
  cat "$program" "$open" > /dev/null 2>&1 || true   # files in the page cache
  one_run warm > /dev/null || true                  # libraries in the page cache
  local results="$work/results" r line
  : > "$results"
  printf '%-4s %8s %10s %8s %9s %9s %10s %9s %s\n' run tm_ms settled_ms cpu_ms pss_MiB rss_MiB peak_MiB stall_ms webengine_mapped
  for r in $(seq "$runs"); do
    line=$(one_run "$r") || exit 1
    echo "$line" >> "$results"
    awk -v r="$r" '{ printf "%-4s %8s %10s %8s %9.1f %9.1f %10.1f %9s %s\n", r, $1, $2, $3, $4 / 1024, $5 / 1024, $6 / 1024, $7, $8 }' <<< "$line"
  done
  col() { awk -v c="$1" '{ print $c }' "$results" | median; }
  local tm settled cpu pss rss hwm
  tm=$(col 1); settled=$(col 2); cpu=$(col 3); pss=$(( $(col 4) / 1024 )); rss=$(( $(col 5) / 1024 )); hwm=$(( $(col 6) / 1024 ))
  echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "medians:"
  if [ -z "$open" ]; then
    printf '  %-44s %6s ms\n' "exec to Task Manager shown" "$tm"
    check "exec to settled" "$settled" ms 300
    check "CPU time until settled" "$cpu" ms 250
    check "PSS when idle" "$pss" MiB 40
    check "RSS when idle" "$rss" MiB 70
    printf '  %-44s %6s of %s runs\n' "browser engine mapped when idle" "$(awk '$8 == "yes"' "$results" | wc -l)" "$runs"
  else
    printf '  %-44s %6s ms\n' "exec to Task Manager shown" "$tm"
    check "exec to settled with the file open" "$settled" ms 2000
    check "longest event-loop stall (_NET_WM_PING)" "$(col 7)" ms 200
    check "peak RSS" "$hwm" MiB 200
    printf '  %-44s %6s ms\n' "CPU time until settled" "$cpu"
  fi
}

# --paired: N runs of Geany and of the program, alternating (which of the
# two goes first alternates too), idle or with $open; the results of each go
# to $work/paired-$1-geany and $work/paired-$1-quorvant.
paired_runs() {
  local phase="$1" r k line
  echo "== $phase: display $DISPLAY (Xvfb + openbox), $runs runs each, load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  [ -n "$open" ] && echo "opening $open ($(( $(stat -c %s "$open") / 1048576 )) MiB)"
  cat "$program" "$(command -v "$geany")" "$open" > /dev/null 2>&1 || true   # files in the page cache
  for kind in geany quorvant; do   # libraries in the page cache
    one_run warm > /dev/null || true
    : > "$work/paired-$phase-$kind"
  done
  printf '%-9s %-4s %10s %8s %9s %9s %10s %9s\n' program run settled_ms cpu_ms pss_MiB rss_MiB peak_MiB stall_ms
  for r in $(seq "$runs"); do
    for k in $( (( r % 2 )) && echo geany quorvant || echo quorvant geany); do
      kind=$k
      line=$(one_run "$r") || exit 1
      echo "$line" >> "$work/paired-$phase-$kind"
      awk -v k="$kind" -v r="$r" '{ printf "%-9s %-4s %10s %8s %9.1f %9.1f %10.1f %9s\n", k, r, $2, $3, $4 / 1024, $5 / 1024, $6 / 1024, $7 }' <<< "$line"
    done
  done
  kind=quorvant
  echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
}

# One line of the paired table: name, phase, column, divisor (1024 for KiB
# to MiB), and the target: "ratio LIMIT" (program / Geany at most LIMIT) or
# "abs LIMIT" (the program's median at most LIMIT).
paired_row() {
  local name="$1" phase="$2" c="$3" div="$4" how="$5" limit="$6" g q
  g=$(awk -v c="$c" '{ print $c }' "$work/paired-$phase-geany" | median)
  q=$(awk -v c="$c" '{ print $c }' "$work/paired-$phase-quorvant" | median)
  local out
  out=$(awk -v n="$name" -v g="$g" -v q="$q" -v d="$div" -v how="$how" -v lim="$limit" 'BEGIN {
    r = (g > 0 ? q / g : 0)
    if (how == "ratio") { t = sprintf("ratio <= %.2f", lim); ok = (g > 0 && r <= lim) }
    else if (how == "abs") { t = sprintf("<= %g", lim); ok = (q / d <= lim) }
    else { t = ""; ok = 1 }
    printf "  %-34s %9.*f %9.*f %7.2f   %-14s %s\n", n, (d > 1 ? 1 : 0), g / d, (d > 1 ? 1 : 0), q / d, r, t, (t == "" ? "" : ok ? "pass" : "MISSED")
    exit !ok }') || missed=1
  echo "$out"
}

if [ "$paired" = 1 ]; then
  file="$open"; open=""
  paired_runs idle
  echo
  open="$file"
  paired_runs file
  echo
  echo "medians (Geany, Quorvant, Quorvant / Geany):"
  printf '  %-34s %9s %9s %7s   %s\n' "" Geany Quorvant ratio target
  paired_row "exec to settled, ms" idle 2 1 ratio 0.8
  paired_row "CPU time until settled, ms" idle 3 1 - 0
  paired_row "PSS when idle, MiB" idle 4 1024 - 0
  paired_row "RSS when idle, MiB" idle 5 1024 ratio 1
  paired_row "file: exec to settled, ms" file 2 1 - 0
  paired_row "file: peak RSS, MiB" file 6 1024 abs 150
  paired_row "file: CPU time until settled, ms" file 3 1 - 0
  echo
  [ "$missed" = 0 ] && echo "all targets met" || echo "some targets MISSED"
  exit "$missed"
fi

if [ "$all" = 1 ]; then
  echo "== start-up, no file"
  saved="$open"; open=""
  measure
  echo
  echo "== start-up with the file"
  open="$saved"
fi
measure
[ "$all" = 1 ] && echo && { [ "$missed" = 0 ] && echo "all targets met" || echo "some targets MISSED"; }
exit "$missed"
