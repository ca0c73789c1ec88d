#!/usr/bin/env bash
# How long a fresh machine takes to be ready: a fresh clone of this checkout,
# built with an empty compiler cache, timed for
#   test: `scripts/dev test` (install what is missing, build everything, run every test)
#   run:  what `scripts/dev run` does before the window shows: install what is
#         missing and build the program (here `scripts/dev run --version`, which
#         then prints the version instead of opening the window)
# each from an empty build folder and an empty cache. Wall and CPU time
# (user + sys of every process) are printed for each, with the build's step
# count and the size of its build folder.
#   bench/setup-time.sh [test|run|both] [commit]     (default: both, HEAD)
# The Debian packages are installed by `scripts/dev` when they are missing, so
# on a fresh machine the figures include their installation; where they are
# installed already, they do not. QUORVANT_SETUP_KEEP=1 keeps the work folder.
set -euo pipefail
what="${1:-both}"
commit="${2:-HEAD}"
repo="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/quorvant-setup.XXXXXX")"
[ "${QUORVANT_SETUP_KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

git clone -q --no-local "$repo" "$work/src"
git -C "$work/src" checkout -q "$(git -C "$repo" rev-parse "$commit")"
echo "commit $(git -C "$work/src" log --oneline -1)"
echo "$(nproc) cores, load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

# timed NAME COMMAND...: runs the command from a fresh build folder and an
# empty compiler cache, and prints its wall and CPU time.
timed() {
  local name="$1"
  shift
  rm -rf "$work/build" "$work/ccache"
  export QUORVANT_BUILD_DIR="$work/build" CCACHE_DIR="$work/ccache"
  local log="$work/$name.log"
  if ! /usr/bin/time -o "$work/$name.time" -f '%e %U %S' "$@" >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "$name: failed (log above)" >&2
    exit 1
  fi
  read -r wall user sys <"$work/$name.time"
  local seconds=${wall%.*} cpu steps
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.0f", u + s }')
  steps=$(grep -oE '^\[[0-9]+/[0-9]+\]' "$log" | tail -n 1 | tr -d '[]' | cut -d/ -f2)
  printf '%s: wall %d min %02d s, CPU %s s (user %.0f + sys %.0f), %s build steps, build folder %s\n' \
    "$name" $((seconds / 60)) $((seconds % 60)) "$cpu" "$user" "$sys" "$steps" "$(du -sh "$work/build" | cut -f1)"
  grep -E 'tests passed|tests failed' "$log" || true
}

cd "$work/src"
case "$what" in
  test) timed test scripts/dev test ;;
  run) timed run scripts/dev run --version ;;
  both)
    timed run scripts/dev run --version
    timed test scripts/dev test
    ;;
  *)
    echo "usage: bench/setup-time.sh [test|run|both] [commit]" >&2
    exit 2
    ;;
esac
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
