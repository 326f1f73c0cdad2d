// bench_object.cpp — saving and loading a chunk that holds objects, and spawning and destroying
// debris particles
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/logfile.h"
#include "foundation/random.h"
#include "foundation/settings.h"
#include "objects/object.h"
#include "objects/template.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"
#include "bench_util.h"

// A chunk on the island's slope near the middle of the map.
static const int bench_cx = 22, bench_cy = 27;

static void bench_write_kind(const char *name, const char *text) {
    std::string folder = std::string("OBJECT/") + name;
    mkdir(folder.c_str(), 0755);
    FILE *file = fopen((folder + "/TEMPLATE.TXT").c_str(), "wb");
    if (!file) abort();
    fputs(text, file);
    fclose(file);
}

// Works in a scratch folder holding an empty world and two object kinds, with the log quiet.
static void bench_object_setup() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    if (!bench_enter_scratch_world("bench_objects")) abort();
    mkdir("OBJECT", 0755);
    bench_write_kind("CRATE", "FULLCOLLIDE\nROLLINGSPHERE\nINVENTORYSTACKABLE\n");
    bench_write_kind("DEBRIS", "BEHAVELIKEDEBRIS\nROLLINGSPHERE\n");
    global_log_level = 0;
    voxel_clear_map();
    voxel_setup_materials();
    chunkmap_setup();
    random_setup();
    worldmap_setup(1765200000, WORLD_NAME);
    template_setup();
    template_load("CRATE");
    template_load("DEBRIS");
    template_find_particle_templates();
    object_register_hooks();
    global_chunkmap_sync_to_disk = 0;
}

// Generates the chunk and lays count crates on it; one in five holds two stacks of its own.
static void bench_fill_chunk(int count) {
    worldmap_generate_chunk(bench_cx, bench_cy);
    object *crate = template_get_by_name("CRATE");
    for (int i = 0; i < count; i++) {
        float x = (float)(bench_cx * 64) + (float)(i % 64) + 0.5f, y = (float)(bench_cy * 64) + (float)(i / 8 % 64);
        object *o = object_spawn(crate, nullptr, 1, x, y, 60.0f);
        if (i % 5 == 0) {
            object_spawn(crate, o, 1, -80.0f, -80.0f, 0.0f);
            object_spawn(crate, o, 1, -40.0f, -65.0f, 0.0f);
        }
    }
}

// Saving (without the flush to disk, which the terrain benchmark reports on its own) and releasing.
static void BM_ObjectChunkSave(benchmark::State &state) {
    bench_object_setup();
    for (auto _ : state) {
        state.PauseTiming();
        bench_fill_chunk((int)state.range(0));
        state.ResumeTiming();
        chunkmap_unload(bench_cx, bench_cy);
    }
}

static void BM_ObjectChunkLoad(benchmark::State &state) {
    bench_object_setup();
    bench_fill_chunk((int)state.range(0));
    chunkmap_unload(bench_cx, bench_cy);
    for (auto _ : state) {
        chunkmap_load(bench_cx, bench_cy);
        state.PauseTiming();
        chunk_destroy(chunk_map[bench_cx][bench_cy]);
        chunk_map[bench_cx][bench_cy] = nullptr;
        state.ResumeTiming();
    }
}

// 10,000 debris particles spawned into a chunk and destroyed again; divide by 10,000 for the
// cost of one.
static void BM_ObjectDebrisSpawnDestroy10000(benchmark::State &state) {
    bench_object_setup();
    worldmap_generate_chunk(bench_cx, bench_cy);
    chunk *c = chunk_map[bench_cx][bench_cy];
    float x = (float)(bench_cx * 64 + 32), y = (float)(bench_cy * 64 + 32);
    for (auto _ : state) {
        object_spawn_debris(3, 200, 10000, x, y, 60.0f);
        object_destroy_chunk_pile(c);
    }
    state.SetItemsProcessed((int64_t)state.iterations() * 10000);
    chunk_destroy(c);
    chunk_map[bench_cx][bench_cy] = nullptr;
}

BENCHMARK(BM_ObjectChunkSave)->Arg(0)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectChunkLoad)->Arg(0)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectDebrisSpawnDestroy10000)->Unit(benchmark::kMillisecond);
