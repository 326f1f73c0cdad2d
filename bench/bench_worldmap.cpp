// bench_worldmap.cpp — generating chunks around the start column (fast builder and the plain
// one in the same run), the whole "World Generation" stage of a fresh and of an existing world
// with the resident memory after it, and relighting a sphere of radius 8
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "world/chunkmap.h"
#include "game/kestrova.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "terrain/voxel.h"
#include "world/worldmap.h"

static const int32_t bench_seed = 1765200000;

// A scratch folder of its own, with the log quiet, the tables and a world set up.
static void bench_worldmap_setup() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    char pattern[] = "/tmp/kestrova_bench_world_XXXXXX";
    char *folder = mkdtemp(pattern);
    if (!folder || chdir(folder) != 0) abort();
    global_log_level = 0;
    random_setup();
    voxel_clear_map();
    voxel_setup_materials();
    voxel_geometry_setup();
    chunkmap_setup();
    worldmap_setup(bench_seed, WORLD_NAME);
}

static void bench_release_all(void) {
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            chunk_destroy(chunk_map[cx][cy]);
            chunk_map[cx][cy] = nullptr;
        }
    }
}

// Each iteration builds one of the 25 chunks around the start column, alone on the map.
static void bench_generate(benchmark::State &state, void (*builder)(int, int)) {
    bench_worldmap_setup();
    bench_release_all();
    int n = 0;
    for (auto _ : state) {
        int cx = 23 + n % 5, cy = 23 + (n / 5) % 5;
        n++;
        builder(cx, cy);
        state.PauseTiming();
        chunk_destroy(chunk_map[cx][cy]);
        chunk_map[cx][cy] = nullptr;
        state.ResumeTiming();
    }
}

static void BM_WorldmapGenerateChunk(benchmark::State &state) { bench_generate(state, worldmap_generate_chunk); }
static void BM_WorldmapGenerateChunkReference(benchmark::State &state) {
    bench_generate(state, worldmap_generate_chunk_reference);
}

static long bench_resident_kib(void) {
    FILE *f = fopen("/proc/self/statm", "r");
    if (!f) return 0;
    long pages = 0, resident = 0;
    if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    fclose(f);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

static int bench_resident_chunks(void) {
    int count = 0;
    for (auto &column : chunk_map)
        for (chunk *c : column)
            if (c) count++;
    return count;
}

// The stage as start-up runs it: the grid cleared, the world set up, 101 forced passes.
static void bench_world_stage(void) {
    chunkmap_setup();
    worldmap_setup(bench_seed, WORLD_NAME);
    float load_radius = (float)global_background_distance + 64.0f;
    float unload_radius = (float)global_background_distance + 128.0f;
    for (int pass = 0; pass < 101; pass++) chunkmap_update(1600, 1600, load_radius, unload_radius, 1);
}

static void BM_WorldGenerationStageFresh(benchmark::State &state) {
    bench_worldmap_setup();
    int chunks = 0;
    long resident = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench_release_all();
        if (system("rm -rf WORLDS") != 0) abort();
        state.ResumeTiming();
        bench_world_stage();
        state.PauseTiming();
        chunks = bench_resident_chunks();
        resident = bench_resident_kib();
        state.ResumeTiming();
    }
    bench_release_all();
    state.SetLabel(std::to_string(chunks) + " chunks, resident " + std::to_string(resident / 1024) + " MiB");
}

static void BM_WorldGenerationStageExisting(benchmark::State &state) {
    bench_worldmap_setup();
    bench_release_all();
    if (system("rm -rf WORLDS") != 0) abort();
    bench_world_stage();
    chunkmap_unload_everything();  // the files a later start reads back
    int chunks = 0;
    long resident = 0;
    for (auto _ : state) {
        bench_world_stage();
        state.PauseTiming();
        chunks = bench_resident_chunks();
        resident = bench_resident_kib();
        bench_release_all();
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(chunks) + " chunks read, resident " + std::to_string(resident / 1024) + " MiB");
}

static void BM_RelightSphereRadius8(benchmark::State &state) {
    bench_worldmap_setup();
    bench_release_all();
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++) worldmap_generate_chunk(cx, cy);
    float ground = (float)voxel_height_xy(1600, 1600, 0);
    for (auto _ : state) voxel_relight_sphere_xyz(1600.5f, 1600.5f, ground, 8.0f, 1);
    bench_release_all();
}

BENCHMARK(BM_WorldmapGenerateChunk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorldmapGenerateChunkReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorldGenerationStageFresh)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_WorldGenerationStageExisting)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RelightSphereRadius8)->Unit(benchmark::kMillisecond);
