// bench_edit.cpp — digging a pick-sized (radius 2) and a bomb-sized (radius 5) sphere into solid
// ground, without the relight, each time into untouched ground
#include <benchmark/benchmark.h>

#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "terrain/voxel.h"

// Four resident chunks of deep flat ground: crystal, 38 blocks of dirt, a grass surface on top.
static const int edit_first_chunk = 10, edit_chunks = 2, edit_height = 40;

static void edit_build_ground() {
    for (int cx = edit_first_chunk; cx < edit_first_chunk + edit_chunks; cx++) {
        for (int cy = edit_first_chunk; cy < edit_first_chunk + edit_chunks; cy++) {
            chunk_destroy(chunk_map[cx][cy]);
            chunk *c = chunk_create();
            if (!c) abort();
            for (int x = 0; x < CHUNK_SIZE; x++) {
                for (int y = 0; y < CHUNK_SIZE; y++) {
                    voxel *bottom = voxel_create(34, 1), *dirt = voxel_create(1, edit_height - 2),
                          *top = voxel_create(10, 1);
                    if (!bottom || !dirt || !top) abort();
                    top->data = 10 | VOXEL_CENTRED_SINGLE;
                    top->sunlight = 127;
                    bottom->next = dirt;
                    dirt->next = top;
                    c->pillar[x][y] = bottom;
                }
            }
            chunk_map[cx][cy] = c;
        }
    }
}

static void edit_setup() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    global_log_level = 0;
    voxel_clear_map();
    voxel_setup_materials();
    chunkmap_setup();
}

// Digs spheres on a grid of fresh spots halfway down the ground; rebuilds the ground (untimed)
// once every spot has been used.
static void edit_dig(benchmark::State &state, float radius, float strength) {
    edit_setup();
    edit_build_ground();
    const int spacing = (int)(2.0f * radius) + 4;
    const int first = edit_first_chunk * CHUNK_SIZE + spacing / 2;
    const int last = (edit_first_chunk + edit_chunks) * CHUNK_SIZE - spacing / 2;
    int x = first, y = first;
    uint64_t blocks = 0, digs = 0;
    for (auto _ : state) {
        uint16_t count = voxel_sphere_xyz((float)x + 0.5f, (float)y + 0.5f, edit_height / 2.0f, radius, 0, 1, 0,
                                          strength, 1);
        benchmark::DoNotOptimize(count);
        blocks += count;
        digs++;
        x += spacing;
        if (x > last) {
            x = first;
            y += spacing;
            if (y > last) {
                state.PauseTiming();
                y = first;
                edit_build_ground();
                state.ResumeTiming();
            }
        }
    }
    state.SetLabel("blocks_per_dig=" + std::to_string(digs ? blocks / digs : 0));
}

// A pick's dig and a bomb's blast.
static void BM_DigPickRadius2(benchmark::State &state) { edit_dig(state, 2.0f, 3.5f); }
static void BM_DigBombRadius5(benchmark::State &state) { edit_dig(state, 5.0f, 20.0f); }

BENCHMARK(BM_DigPickRadius2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DigBombRadius5)->Unit(benchmark::kMicrosecond);
