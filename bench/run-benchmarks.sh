#!/usr/bin/env bash
# Runs the benchmark programs of an existing build and prints the figures
# against their targets: the document set (with the peak memory of opening a
# 50 MiB file), the source toolkit and the preview.
#
#   bench/run-benchmarks.sh [BUILD_DIR] [benchmark options...]
#
# BUILD_DIR defaults to /work/build; it must hold the programs in bench/.
# Further options go to every benchmark program (e.g. --benchmark_filter=Open).
# BENCH_PROGRAMS picks the programs (default "documents toolkit preview"; "validate"
# times Tools > Validate Page (W3C) and needs scripts/dev install-validator),
# e.g. BENCH_PROGRAMS=toolkit bench/run-benchmarks.sh /work/build-bench
# The exit status is 1 when a figure misses its target.
set -euo pipefail

build=${1:-/work/build}
shift || true
programs=${BENCH_PROGRAMS:-documents toolkit preview}
for name in $programs; do
    case $name in
    documents | toolkit | preview | validate) ;;
    *) echo "unknown benchmark program '$name' (documents, toolkit, preview, validate)" >&2; exit 2 ;;
    esac
    if [[ ! -x "$build/bench/${name}_bench" ]]; then
        echo "no benchmark program at $build/bench/${name}_bench: build the ${name}_bench target first" >&2
        exit 2
    fi
done
command -v python3 >/dev/null || { echo "python3 is needed for the summary" >&2; exit 2; }

export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The programs write their generated files below TMPDIR; keep them here.
export TMPDIR="$work"
# The machine may be shared: the figures go with the load they were taken at.
cut -d' ' -f1-3 /proc/loadavg >"$work/load-start.txt" 2>/dev/null || true

for name in $programs; do
    echo "== timings: ${name}_bench"
    "$build/bench/${name}_bench" --benchmark_out="$work/$name.json" --benchmark_out_format=json "$@"
    echo
done

if [[ " $programs " == *" documents "* ]]; then
    bin="$build/bench/documents_bench"
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
else
    : >"$work/peak.txt"
fi
cut -d' ' -f1-3 /proc/loadavg >"$work/load-end.txt" 2>/dev/null || true

python3 - "$work" <<'EOF'
import json, os, sys

work = sys.argv[1]
results = {}
for program in ("documents", "toolkit", "preview", "validate"):
    path = os.path.join(work, program + ".json")
    # A filter that matches nothing leaves the file empty.
    if os.path.exists(path) and os.path.getsize(path) > 0:
        for b in json.load(open(path))["benchmarks"]:
            results[b["name"].split("/iterations:")[0]] = b
peak = {}
for line in open(os.path.join(work, "peak.txt")):
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
        message = b.get("error_message", "?")
        row(name, "error: " + (message if len(message) <= 90 else message[:87] + "..."), "", False)
        return None
    return b

b = get("Validate/w3c_1MiB")
if b:
    row("Validate Page (W3C), 1 MiB page, with Java's start", f'{b["real_time"]:.0f} ms (UI gap max {b["max_ui_gap_ms"]:.0f} ms)',
        "< 5000 ms", b["real_time"] < 5000)
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

def median_max(b, unit="ms", digits=2):
    return f'{b["median_ms"]:.{digits}f} {unit} median (max {b["max_ms"]:.{digits}f})'

for case, what in (("caret_mid", "caret mid-file, no selection"), ("selection_3_lines_mid", "3-line selection mid-file")):
    b = get(f"Ptext/html_50MiB/{case}")
    if b:
        row(f"ptext <b></b>, 50 MiB document, {what} (undone after each)", median_max(b, digits=3), "< 5 ms", b["median_ms"] < 5)
    b = get(f"Ptext/html_50MiB/{case}/after_load")
    if b:
        row("  first call after a load (moves the buffer's gap)", median_max(b, digits=1), "(< 5 ms, noted)", None)
b = get("StripAllTags/html_50MiB")
if b:
    row("Strip all tags, 50 MiB document", f'{median_max(b, digits=0)} -> {b["stripped_MiB"]:.0f} MiB', "< 2000 ms", b["median_ms"] < 2000)
for case, what in (("lines", "many lines"), ("single_line", "one single line")):
    b = get(f"GetTagAtCaret/plain_10MiB/{case}")
    if b:
        row(f"GetTagAtCaret, caret mid 10 MiB without tags, {what}", f'{median_max(b, digits=1)}, first {b["first_ms"]:.1f}',
            "< 100 ms", b["median_ms"] < 100)
b = get("Preview/F11_html_1MiB/first_showing")
if b:
    row("F11 until the preview has loaded, 1 MiB HTML, first showing (starts the browser engine)",
        f'{b["median_ms"]:.0f} ms, of which previewByKey() {b["call_median_ms"]:.0f} ms', "report", None)
b = get("Preview/F11_html_1MiB/later_showing")
if b:
    row("F11 until the preview has loaded, 1 MiB HTML, later showings",
        f'{median_max(b, digits=0)}, previewByKey() {b["call_median_ms"]:.0f} ms', "report", None)

widths = [max(len(r[i]) for r in rows + [("What", "Measured", "Target", "")]) for i in range(4)]
line = "  ".join("{:<%d}" % w for w in widths)
print(line.format("What", "Measured", "Target", ""))
print(line.format(*("-" * w for w in widths)))
for r in rows:
    print(line.format(*r))
loads = []
for when in ("start", "end"):
    path = os.path.join(work, f"load-{when}.txt")
    if os.path.exists(path):
        loads.append(f"{when} {open(path).read().strip()}")
if loads:
    print("\nLoad average (1, 5, 15 min): " + ", ".join(loads))
sys.exit(1 if missed else 0)
EOF
