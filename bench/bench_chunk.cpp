// bench_chunk.cpp — saving, loading and releasing one chunk typical of the generated world, and
// creating and destroying voxel records through the pool
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "terrain/voxel.h"
#include "world/worldmap.h"
#include "foundation/settings.h"
#include "bench_util.h"

// A chunk on the island's slope near the middle of the map.
static const int bench_cx = 22, bench_cy = 27;

// Works in a scratch folder holding an empty world, with the log quiet, for the whole run.
static void bench_world_setup() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    if (!bench_enter_scratch_world("bench")) abort();
    global_log_level = 0;
    voxel_clear_map();
    voxel_setup_materials();
    chunkmap_setup();
    // A real island, so the chunk is typical of the world.
    random_setup();
    worldmap_setup(1765200000, WORLD_NAME);
}

static std::string bench_path() {
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), bench_cx, bench_cy);
    return fix_path(name);
}

static void bench_save(benchmark::State &state, uint8_t sync) {
    bench_world_setup();
    global_chunkmap_sync_to_disk = sync;
    for (auto _ : state) {
        state.PauseTiming();
        worldmap_generate_chunk(bench_cx, bench_cy);
        state.ResumeTiming();
        chunkmap_unload(bench_cx, bench_cy);  // writes the file and releases the chunk
    }
    global_chunkmap_sync_to_disk = 1;
}

// Saving without the flush to disk, and with it (the flush's cost is the difference).
static void BM_ChunkSave(benchmark::State &state) { bench_save(state, 0); }
static void BM_ChunkSaveWithFlushToDisk(benchmark::State &state) { bench_save(state, 1); }

static void BM_ChunkLoad(benchmark::State &state) {
    bench_world_setup();
    global_chunkmap_sync_to_disk = 0;
    worldmap_generate_chunk(bench_cx, bench_cy);
    chunkmap_unload(bench_cx, bench_cy);
    global_chunkmap_sync_to_disk = 1;
    struct stat info;
    stat(bench_path().c_str(), &info);
    for (auto _ : state) {
        chunkmap_load(bench_cx, bench_cy);
        state.PauseTiming();
        chunk_destroy(chunk_map[bench_cx][bench_cy]);
        chunk_map[bench_cx][bench_cy] = nullptr;
        state.ResumeTiming();
    }
    state.SetLabel("file_bytes=" + std::to_string((long long)info.st_size));
}

static void BM_ChunkDestroy(benchmark::State &state) {
    bench_world_setup();
    uint32_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        uint32_t before = voxel_pool_live_count();
        worldmap_generate_chunk(bench_cx, bench_cy);
        records = voxel_pool_live_count() - before;
        state.ResumeTiming();
        chunk_destroy(chunk_map[bench_cx][bench_cy]);
        chunk_map[bench_cx][bench_cy] = nullptr;
    }
    // Memory of one resident chunk: the record itself plus its voxel records (no triangle caches).
    state.SetLabel("records=" + std::to_string(records) +
                   " chunk_bytes=" + std::to_string(sizeof(chunk) + (size_t)records * sizeof(voxel)));
}

// 20000 records made and freed one by one through the pool, and through malloc for comparison.
static void BM_VoxelPoolCreateDestroy(benchmark::State &state) {
    bench_world_setup();
    static voxel *made[20000];
    for (auto _ : state) {
        for (int i = 0; i < 20000; i++) made[i] = voxel_create(3, 1);
        for (int i = 0; i < 20000; i++) voxel_destroy(made[i]);
    }
}

// The same records from malloc and free, filled in the same way, for comparison.
static void BM_VoxelMallocCreateDestroy(benchmark::State &state) {
    static voxel *made[20000];
    for (auto _ : state) {
        for (int i = 0; i < 20000; i++) {
            voxel *v = (voxel *)malloc(sizeof(voxel));
            *v = voxel{(uint16_t)(3 | (1 << 7)), 0, 0, 0, 0, 0, 0.01f, 0.01f, 0.99f, nullptr};
            made[i] = v;
        }
        benchmark::DoNotOptimize(made);
        for (int i = 0; i < 20000; i++) free(made[i]);
    }
}

BENCHMARK(BM_ChunkSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChunkSaveWithFlushToDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChunkLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChunkDestroy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoxelPoolCreateDestroy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VoxelMallocCreateDestroy)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
