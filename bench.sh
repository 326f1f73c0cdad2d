#!/usr/bin/env bash
# Builds Release and runs the benchmarks with repetitions, then prints one table: benchmark,
# median (real time), the target set for it and what it measured (labels and counters).
#   ./bench.sh [benchmark flags]          the full run (BENCH_REPETITIONS, 9 by default)
#   ./bench.sh --quick [benchmark flags]  every benchmark once with a tiny minimum time, as
#                                         test.sh runs it to check that the benchmarks still work
# Exits non-zero when the benchmark program fails or any benchmark reports an error.
set -euo pipefail
cd "$(dirname "$0")"

quick=0
if [ "${1:-}" = "--quick" ]; then
  quick=1
  shift
fi

./scripts/setup.sh
. scripts/build_env.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKESTROVA_BENCH=ON >/dev/null
# Several benchmarks load the object kinds, models and art from the game folder, so it is built
# (with its generated assets) too.
nice cmake --build build -j "$(nproc)" --target kestrova_bench game_folder

results=$(mktemp)
trap 'rm -f "$results"' EXIT
if [ "$quick" -eq 1 ]; then
  # libbenchmark 1.7 reads the minimum time as plain seconds.
  run_flags=(--benchmark_min_time=0.01)
else
  run_flags=(--benchmark_repetitions="${BENCH_REPETITIONS:-9}" --benchmark_display_aggregates_only=true)
fi
# The start-view benchmark opens a window: without a display, a virtual one is started.
x_wrapper=()
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
  x_wrapper=(xvfb-run -a -s "-screen 0 1024x768x24 -noreset")
fi
# The console report goes to /dev/null (the table below replaces it); errors stay on stderr.
"${x_wrapper[@]}" ./build/bench/kestrova_bench "${run_flags[@]}" --benchmark_out="$results" --benchmark_out_format=json "$@" \
  >/dev/null

python3 - "$results" <<'PYTHON'
import json
import sys
from fnmatch import fnmatch

# The target of each benchmark, by name (shell-style patterns).
TARGETS = [
    ("BM_ChunkSave", "<= 2 ms (without the flush to disk)"),
    ("BM_ChunkSaveWithFlushToDisk", "reported: save plus flush to disk"),
    ("BM_ChunkLoad", "<= 2 ms"),
    ("BM_ChunkDestroy", "resident chunk <= 1 MiB (chunk_bytes)"),
    ("BM_VoxelPoolCreateDestroy", "faster than malloc (next row)"),
    ("BM_WorldmapGenerateChunk", "<= 3 ms per chunk"),
    ("BM_WorldmapGenerateChunkReference", "plain builder: ratio to the row above"),
    ("BM_WorldGenerationStageFresh*", "<= 1.5 s"),
    ("BM_WorldGenerationStageExisting*", "<= 1 s"),
    ("BM_RelightSphereRadius8", "reported"),
    ("BM_DigPickRadius2", "<= 0.5 ms (no relight)"),
    ("BM_DigBombRadius5", "<= 3 ms (no relight)"),
    ("BM_ObjectChunkSave/500", "<= 2 ms (500 objects, no flush)"),
    ("BM_ObjectChunkLoad/500", "<= 2 ms (500 objects)"),
    ("BM_ObjectChunkSave/0", "the same chunk without objects"),
    ("BM_ObjectChunkLoad/0", "the same chunk without objects"),
    ("BM_ObjectDebrisSpawnDestroy10000", "reported: divide by 10,000 per object"),
    ("BM_ModelLoad50000Vertices*", "well under 1 s (/1: with the full log)"),
    ("BM_ModelLoadLargestGenerated*", "reported: largest OBJECT model, log on"),
    ("BM_ModelSkin2000Vertices", "<= 50 us"),
    ("BM_ModelDrawSkinned/0/0*", "frame without models (baseline)"),
    ("BM_ModelDrawSkinned/20/*", "added time <= 3 ms: row minus baseline"),
    ("BM_SquishyCall*", "<= 20 us"),
    ("BM_ObjectUpdateAll/500/20", "<= 2 ms per world step"),
    ("BM_ObjectUpdateAll/0/0", "the player alone"),
    ("BM_ObjectDrawStartView/0*", "frame without zombis (baseline)"),
    ("BM_ObjectDrawStartView/20*", "reported: 20 zombis, row minus baseline"),
    ("BM_PlayerSave", "<= 2 ms (start kit + 500 items, no flush)"),
    ("BM_PlayerSaveWithFlushToDisk", "reported: save plus flush to disk"),
    ("BM_PlayerLoad", "<= 2 ms (start kit + 500 items)"),
    ("BM_PlayInventoryOpenFrame", "frame at the start view, inventory open"),
    ("BM_PlayDigWithRelightAndMesh", "<= 16 ms (click to next frame)"),
]

# Keys of a run record that are not counters.
STANDARD = {
    "name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
    "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit", "label",
    "aggregate_name", "aggregate_unit", "error_occurred", "error_message",
}


def target_of(name):
    base = name.split("/")[0]
    for pattern, target in TARGETS:
        if fnmatch(base, pattern) or fnmatch(name, pattern):
            return target
    return "-"


with open(sys.argv[1]) as f:
    report = json.load(f)
runs = report.get("benchmarks", [])
failed = [r for r in runs if r.get("error_occurred")]
for r in failed:
    print(f"benchmark {r['name']} failed: {r.get('error_message', '')}", file=sys.stderr)

# The median of each benchmark, or its one run when there are no repetitions. Aggregates carry
# no label, so the label of the benchmark's last run is shown with its median.
rows = {}
labels = {}
for r in runs:
    if r.get("error_occurred"):
        continue
    name = r.get("run_name", r["name"])
    if r.get("run_type") == "aggregate":
        if r.get("aggregate_name") == "median":
            rows[name] = r
        continue
    if r.get("label"):
        labels[name] = r["label"]
    rows.setdefault(name, r)

print(f"{'benchmark':<46} {'median':>14}  {'target':<40} measured")
for name, r in rows.items():
    median = f"{r['real_time']:.3f} {r['time_unit']}"
    label = r.get("label") or labels.get(name)
    measured = [label] if label else []
    measured += [f"{k}={v:.0f}" if float(v).is_integer() else f"{k}={v:.4g}"
                 for k, v in r.items() if k not in STANDARD and isinstance(v, (int, float))]
    print(f"{name:<46} {median:>14}  {target_of(name):<40} {' '.join(measured)}")

if not runs:
    print("no benchmark ran", file=sys.stderr)
    sys.exit(1)
sys.exit(1 if failed else 0)
PYTHON
