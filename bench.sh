#!/usr/bin/env bash
# Builds Release and runs the benchmarks with repetitions, then prints one table: benchmark,
# median (real time) and the target set for it.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKESTROVA_BENCH=ON >/dev/null
nice cmake --build build -j "$(nproc)" --target kestrova_bench

results=$(mktemp)
trap 'rm -f "$results"' EXIT
./build/bench/kestrova_bench --benchmark_repetitions="${BENCH_REPETITIONS:-9}" \
  --benchmark_report_aggregates_only=true --benchmark_format=csv "$@" 2>/dev/null >"$results"

# The target of each benchmark, by name.
target_of() {
  case "$1" in
    BM_ChunkSave) echo "<= 2 ms (without the flush to disk)" ;;
    BM_ChunkSaveWithFlushToDisk) echo "reported: save plus flush to disk" ;;
    BM_ChunkLoad) echo "<= 2 ms" ;;
    BM_ChunkDestroy) echo "resident chunk <= 1 MiB (chunk_bytes)" ;;
    BM_VoxelPoolCreateDestroy) echo "faster than malloc (next row)" ;;
    BM_WorldmapGenerateChunk) echo "<= 3 ms per chunk" ;;
    BM_WorldmapGenerateChunkReference) echo "plain builder: ratio to the row above" ;;
    BM_WorldGenerationStageFresh*) echo "<= 1.5 s" ;;
    BM_WorldGenerationStageExisting*) echo "<= 1 s" ;;
    BM_RelightSphereRadius8) echo "reported" ;;
    BM_DigPickRadius2) echo "<= 0.5 ms (no relight)" ;;
    BM_DigBombRadius5) echo "<= 3 ms (no relight)" ;;
    BM_ObjectChunkSave/500) echo "<= 2 ms (500 objects, no flush)" ;;
    BM_ObjectChunkLoad/500) echo "<= 2 ms (500 objects)" ;;
    BM_ObjectChunkSave/0|BM_ObjectChunkLoad/0) echo "the same chunk without objects" ;;
    BM_ObjectDebrisSpawnDestroy10000) echo "reported: divide by 10,000 per object" ;;
    BM_ModelLoad50000Vertices*) echo "well under 1 s (/1: with the full log)" ;;
    BM_ModelLoadLargestGenerated*) echo "reported: largest OBJECT model, log on" ;;
    BM_ModelSkin2000Vertices) echo "<= 50 us" ;;
    BM_ModelDrawSkinned/0/0*) echo "frame without models (baseline)" ;;
    BM_ModelDrawSkinned/20/*) echo "added time <= 3 ms: row minus baseline" ;;
    BM_SquishyCall/*) echo "<= 20 us" ;;
    *) echo "-" ;;
  esac
}

printf '%-30s %12s  %-40s %s\n' "benchmark" "median" "target" "measured"
# CSV columns: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,
# label,error_occurred,error_message. Labels carry sizes and counts.
awk -F, 'NR > 1 && $1 ~ /_median"?$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    label = $8; gsub(/"/, "", label)
    printf "%s|%.3f %s|%s\n", name, $3, $5, label
  }' "$results" | while IFS='|' read -r name median label; do
  printf '%-30s %12s  %-40s %s\n' "$name" "$median" "$(target_of "$name")" "$label"
done
