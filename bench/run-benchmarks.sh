#!/usr/bin/env bash
# Runs the document benchmarks of an existing build and prints the figures
# against their targets, then the peak memory of opening a 50 MiB file.
#
#   bench/run-benchmarks.sh [BUILD_DIR] [benchmark options...]
#
# BUILD_DIR defaults to /work/build; it must hold bench/documents_bench.
# Further options go to the benchmark program (e.g. --benchmark_filter=Open).
# The exit status is 1 when a figure misses its target.
set -euo pipefail

build=${1:-/work/build}
shift || true
bin="$build/bench/documents_bench"
if [[ ! -x "$bin" ]]; then
    echo "no benchmark program at $bin: build the documents_bench target first" >&2
    exit 2
fi
command -v python3 >/dev/null || { echo "python3 is needed for the summary" >&2; exit 2; }

export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program writes its generated HTML files below TMPDIR; keep them here.
export TMPDIR="$work"

echo "== timings"
"$bin" --benchmark_out="$work/results.json" --benchmark_out_format=json "$@"

echo
echo "== peak memory: opening a 50 MiB HTML file in a fresh process"
"$bin" --make-fixture html 50 "$work/peak-50.html"
peak_status=0
if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -v -o "$work/time.txt" "$bin" --open-peak "$work/peak-50.html" >"$work/peak.txt" || peak_status=$?
    grep -E "Maximum resident set size" "$work/time.txt" >>"$work/peak.txt" || true
else
    "$bin" --open-peak "$work/peak-50.html" >"$work/peak.txt" || peak_status=$?
fi
cat "$work/peak.txt"
echo "open_peak_exit=$peak_status" >>"$work/peak.txt"

echo
python3 - "$work/results.json" "$work/peak.txt" <<'EOF'
import json, sys

results = {b["name"].split("/iterations:")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
peak = {}
for line in open(sys.argv[2]):
    if "=" in line:
        key, value = line.strip().split("=", 1)
        peak[key] = value
    elif "Maximum resident set size" in line:
        peak["time_max_rss_kb"] = line.split(":")[-1].strip()

rows, missed = [], False

def row(what, figure, target, ok):
    global missed
    verdict = "" if ok is None else ("PASS" if ok else "FAIL")
    missed |= ok is False
    rows.append((what, figure, target, verdict))

def get(name):
    b = results.get(name)
    if b is None:
        return None
    if b.get("error_occurred"):
        row(name, "error: " + b.get("error_message", "?"), "", False)
        return None
    return b

b = get("Open/html_50MiB")
if b:
    row("Open 50 MiB HTML: OpenFile", f'{b["real_time"]:.0f} ms (max {b["open_max_ms"]:.0f})', "< 2000 ms", b["real_time"] < 2000)
    both = b["open_ms"] + b["first_paint_ms"]
    row("Open 50 MiB HTML: OpenFile + first repaint", f"{both:.0f} ms", "< 2000 ms", both < 2000)
if peak.get("peak_delta_kb"):
    delta = int(peak["peak_delta_kb"]) / 1024
    size = int(peak["file_bytes"]) / 1024 / 1024
    ratio = delta / size
    extra = f', max RSS {int(peak["time_max_rss_kb"]) / 1024:.0f} MiB' if "time_max_rss_kb" in peak else ""
    row("Open 50 MiB HTML: peak memory (VmHWM rise)", f"{delta:.0f} MiB = {ratio:.2f} x file{extra}",
        f"< 5 x file ({5 * size:.0f} MiB)", ratio < 5 and peak.get("opened_whole") == "1")
elif peak:
    row("Open 50 MiB HTML: peak memory", "no figure (open-peak failed)", "< 5 x file", False)
b = get("Open/single_line_10MiB")
if b:
    row("Open 10 MiB single-line HTML (opens whole)", f'{b["real_time"]:.0f} ms + first repaint {b["first_paint_ms"]:.0f} ms', "opens", True)
for view in ("view_at_top", "view_at_middle"):
    b = get(f"SwitchTabs/2x20MiB/{view}")
    if b:
        row(f"Switch tabs 2 x 20 MiB, {view.replace('_', ' ')}", f'{b["real_time"]:.1f} ms (max {b["switch_max_ms"]:.1f})', "< 20 ms", b["real_time"] < 20)
b = get("Save/html_50MiB")
if b:
    row("Save 50 MiB document", f'{b["real_time"]:.0f} ms (max {b["save_max_ms"]:.0f})', "< 1000 ms", b["real_time"] < 1000)
empty, big = get("Typing/empty"), get("Typing/html_50MiB")
if empty:
    row("Keystroke + repaint, empty document", f'{empty["real_time"]:.2f} ms (max {empty["key_max_ms"]:.2f})', "reference", None)
if big:
    ratio = f' = {big["real_time"] / empty["real_time"]:.0f} x empty' if empty else ""
    row("Keystroke + repaint, 50 MiB document (caret mid-file)",
        f'{big["real_time"]:.2f} ms (max {big["key_max_ms"]:.2f}){ratio}', "compare with empty", None)
    row("  first keystroke there (moves the gap)", f'{big["first_key_ms"]:.1f} ms', "", None)

widths = [max(len(r[i]) for r in rows + [("What", "Measured", "Target", "")]) for i in range(4)]
line = "  ".join("{:<%d}" % w for w in widths)
print(line.format("What", "Measured", "Target", ""))
print(line.format(*("-" * w for w in widths)))
for r in rows:
    print(line.format(*r))
sys.exit(1 if missed else 0)
EOF
