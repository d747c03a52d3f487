#!/usr/bin/env bash
# Builds the benchmarks in Release and prints one table of figures, each with its target.
# Usage: bash scripts/bench.sh            (run as root on a fresh machine to install packages)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing $QUOR_BUILD_PACKAGES libbenchmark-dev xvfb xauth python3

build="$QUOR_ROOT/build-bench"
(cd "$QUOR_ROOT" && cmake --preset bench >/dev/null && cmake --build --preset bench -j "$(nproc)")

# An empty settings store and a private home for every run.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
use_private_home "$scratch"
export QT_QPA_PLATFORM=offscreen

results="$scratch/results.json"
for program in bench_editor bench_views bench_window bench_responsive bench_cli bench_engine \
    bench_host bench_lsp; do
    "$build/bin/$program" --benchmark_format=json --benchmark_out="$scratch/$program.json" \
        --benchmark_out_format=json >/dev/null 2>&1
done

# Start-up, memory and idle CPU come from the instrumented start-up, run on a real X server
# (a virtual one) from the examples folder, so the Current Folder dock lists it.
probe() {
    (cd "$QUOR_ROOT/examples" &&
        QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" \
            "$build/bin/startup_probe" "$@" 2>/dev/null)
}
: >"$scratch/probe.txt"
for run in 1 2 3 4 5; do
    rm -rf "$XDG_CONFIG_HOME"/*
    probe >>"$scratch/probe.txt"
done
probe --idle 5 >>"$scratch/probe.txt"
probe --lines 1000000 >>"$scratch/probe.txt"
mkdir -p "$XDG_CONFIG_HOME/QuorStudio"
printf '[General]\noutputScrollbackLines=100000\n' >"$XDG_CONFIG_HOME/QuorStudio/QuorStudio.conf"
probe --lines 1000000 >>"$scratch/probe.txt"

python3 - "$scratch" <<'PY'
import json, statistics, sys, os
scratch = sys.argv[1]
bench = {}
for name in ("bench_editor", "bench_views", "bench_window", "bench_responsive", "bench_cli",
             "bench_engine", "bench_host", "bench_lsp"):
    with open(os.path.join(scratch, name + ".json")) as f:
        for b in json.load(f)["benchmarks"]:
            bench[b["name"]] = b
def ms(name, key="real_time"):
    for full, b in bench.items():
        if full == name or full.startswith(name + "/") or (name.endswith("/") and full.startswith(name)):
            unit = {"ms": 1, "us": 1e-3, "ns": 1e-6}[b.get("time_unit", "ns")]
            return b[key] * unit
    return float("nan")
def counter(name, key):
    for full, b in bench.items():
        if full == name or full.startswith(name + "/"):
            return b.get(key, float("nan"))
    return float("nan")
probe = {"startup_ms": [], "rss_kb": []}
extra = {}
with open(os.path.join(scratch, "probe.txt")) as f:
    for line in f:
        parts = line.split()
        if not parts:
            continue
        if parts[0] in probe:
            probe[parts[0]].append(float(parts[1]))
        else:
            extra[parts[0]] = float(parts[1])
rows = [
    ("2,000 error messages marked and painted", ms("BM_ErrorMessagesMarked"), "ms", "< 50"),
    ("Cursor move, 20,000 lines, 2,000 marks", ms("BM_CursorMoveWithErrorMarks"), "ms", "< 0.5"),
    ("5 MB: first paint, visible part coloured", ms("BM_LargeDocumentFirstPaint"), "ms", "< 150"),
    ("5 MB: fully coloured in idle slices", ms("BM_LargeDocumentFullyHighlighted"), "ms", "< 1000"),
    ("5 MB: longest stall meanwhile", counter("BM_LargeDocumentFullyHighlighted", "worst_stall_ms"), "ms", "< 16"),
    ("Open + highlight 5 MB, 100,000 lines", ms("BM_OpenLargeDocument"), "ms", "< 1000"),
    ("Type one character in it", ms("BM_TypeInLargeDocument"), "ms", "< 16"),
    ("Bracket search from unmatched '('", ms("BM_MatchUnmatchedBracket"), "ms", "< 16"),
    ("Largest 'q' message to view (labelled)", ms("BM_QuestionTree/labelled:1"), "ms", "< 20"),
    ("Largest 'q' message to view (links only)", ms("BM_QuestionTree/labelled:0"), "ms", "< 5"),
    ("Largest 'n' message to view", ms("BM_InferenceGraph"), "ms", "< 20"),
    ("Term table from largest 'w' message", ms("BM_TermTable"), "ms", "< 20"),
    ("Engine flood, 100,000 messages shown", ms("BM_EngineFlood"), "ms", "< 1000"),
    ("Engine flood, worst 10 ms timer delay", counter("BM_EngineFlood", "worst_timer_delay_ms"), "ms", "< 100"),
    ("Engine flood through the engine host", ms("BM_EngineFloodSeparate"), "ms", "report"),
    ("  over the flood in the window's process",
     100 * (ms("BM_EngineFloodSeparate") / ms("BM_EngineFlood") - 1), "%", "< 10"),
    ("  worst 10 ms timer delay", counter("BM_EngineFloodSeparate", "worst_timer_delay_ms"), "ms", "< 50"),
    ("One-line input to its answer, in-process", ms("BM_RoundTrip/host:0"), "ms", "report"),
    ("  through the engine host, above that",
     ms("BM_RoundTrip/host:1") - ms("BM_RoundTrip/host:0"), "ms", "< 0.3"),
    ("Engine host start to first answer", ms("BM_HostStartToFirstAnswer"), "ms", "< 30"),
    ("Find: highlight 50,000 matches in 5 MB", ms("BM_FindAndReplace/replace_all:0"), "ms", "< 500"),
    ("Replace All on 50,000 matches", ms("BM_FindAndReplace/replace_all:1"), "ms", "< 1000"),
    ("Start-up to first paint (median of 5)", statistics.median(probe["startup_ms"]), "ms", "< 400"),
    ("Resident memory at start-up", statistics.median(probe["rss_kb"]) / 1024, "MB", "< 80"),
    ("Resident memory after 1,000,000 lines", extra.get("rss_kb_after_lines", float("nan")) / 1024, "MB", "report"),
    ("  the same, scrollback limit 100,000", extra.get("rss_kb_after_lines_limited", float("nan")) / 1024, "MB", "< 300"),
    ("CPU used while idle for 5 s", extra.get("idle_cpu_ms", float("nan")), "ms", "~ 0"),
    ("quorstudio-run tutorial, wall time", ms("BM_TutorialRun"), "ms", "< 50"),
    ("quorstudio-run 5 MB, over the engine alone",
     100 * (ms("BM_LargeInputRun") / ms("BM_LargeInputEngine") - 1), "%", "< 10"),
    ("quorstudio-run --graphs, largest 'q' (links)", ms("BM_GraphFiles/graph:0"), "ms", "< 20"),
    ("quorstudio-run --graphs, largest 'q' (labels)", ms("BM_GraphFiles/graph:1"), "ms", "< 20"),
    ("quorstudio-run --graphs, largest 'n'", ms("BM_GraphFiles/graph:2"), "ms", "< 20"),
    ("Engine: the tutorial", ms("BM_EngineTutorial"), "ms", "< 5"),
    ("Engine: 10,000 judgements", ms("BM_EngineJudgements"), "ms", "< 100"),
    ("Engine: a variable question, 1,000 beliefs", ms("BM_EngineVariableSearch"), "ms", "report"),
    ("Language server: tutorial, settled to diagnostics", ms("BM_DiagnosticsTutorial"), "ms", "< 50"),
    ("Language server: 5 MB, settled to diagnostics", ms("BM_Diagnostics5MB"), "ms", "< 1500"),
    ("Language server: completion, 10,000 words", ms("BM_Completion10000Words"), "ms", "< 5"),
    ("Language server: semantic tokens of 5 MB", ms("BM_SemanticTokensRequest5MB"), "ms", "report"),
]
print()
print(f"{'Benchmark':<44} {'Measured':>10}  {'Unit':<4} Target")
print("-" * 72)
for name, value, unit, target in rows:
    print(f"{name:<44} {value:>10.2f}  {unit:<4} {target}")
PY
