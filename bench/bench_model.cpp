// bench_model.cpp — loading large models, skinning one mesh, drawing twenty skinned models, and one
// squishy collision call
#include <SDL.h>
#include <SDL_opengl.h>
#include <benchmark/benchmark.h>
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/display.h"
#include "foundation/logfile.h"
#include "models/model.h"
#include "models/squishy.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "bench_util.h"

// A tube along z made of rings of `segments` vertices, cut into `parts` meshes that share their
// boundary rings (so seam fixing has pairs to join), skinned to a chain of `joints` bones with two
// weights per vertex, with `frames` frames of a gentle sway.
static std::string bench_tube_model(int rings, int segments, int parts, float height, int joints, int frames,
                                    bool smoothing) {
    std::string text = "# Inter-Quake Export\n";
    char line[256];
    if (smoothing) {
        text += "#fix_normals 0.01\n";
        for (int k = 1; k < parts && k <= 10; k++) {
            float z = height * (float)(k * (rings - 1) / parts) / (float)(rings - 1);
            snprintf(line, sizeof(line), "#fix_seam %f %f\n", z - 0.05f, z + 0.05f);
            text += line;
        }
    }
    for (int j = 0; j < joints; j++) {
        snprintf(line, sizeof(line), "joint \"bone%d\" %d\n", j, j - 1);
        text += line;
    }
    for (int j = 0; j < joints; j++) {
        snprintf(line, sizeof(line), "pq 0 0 %f 0 0 0 1\n", height * (float)j / (float)joints);
        text += line;
    }
    for (int part = 0; part < parts; part++) {
        snprintf(line, sizeof(line), "mesh \"part%d\"\n", part);
        text += line;
        int first = part * (rings - 1) / parts, last = (part + 1) * (rings - 1) / parts;
        for (int r = first; r <= last; r++)
            for (int s = 0; s < segments; s++) {
                float a = (float)s * 6.2831853f / (float)segments;
                float z = height * (float)r / (float)(rings - 1);
                float along = z / height * (float)(joints - 1);
                int j0 = (int)along;
                if (j0 > joints - 2) j0 = joints - 2;
                float w1 = along - (float)j0;
                snprintf(line, sizeof(line), "vp %f %f %f\nvt %f %f\nvn %f %f 0\nvb %d %f %d %f\n", cosf(a) * 0.3f,
                         sinf(a) * 0.3f, z, (float)s / (float)segments, z / height, cosf(a), sinf(a), j0, 1.0f - w1,
                         j0 + 1, w1);
                text += line;
            }
        int ring_count = last - first + 1;
        for (int r = 0; r + 1 < ring_count; r++)
            for (int s = 0; s < segments; s++) {
                int a = r * segments + s, b = r * segments + (s + 1) % segments;
                snprintf(line, sizeof(line), "fm %d %d %d\nfm %d %d %d\n", a, b, a + segments, b, b + segments,
                         a + segments);
                text += line;
            }
    }
    text += "animation \"SWAY\"\nframerate 10\n";
    for (int f = 0; f < frames; f++) {
        text += "frame\n";
        float angle = 0.05f * sinf((float)f * 0.7f);
        for (int j = 0; j < joints; j++) {
            snprintf(line, sizeof(line), "pq 0 0 %f %f 0 0 %f\n", j == 0 ? 0.0f : height / (float)joints,
                     sinf(angle), cosf(angle));
            text += line;
        }
    }
    return text;
}

static void bench_quiet_log() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    global_log_level = 0;
    model_setup();
}

// Opens the log in a scratch folder of its own, leaving the working folder as it was.
static void bench_open_log() {
    char pattern[] = "/tmp/kestrova_bench_model_XXXXXX";
    char *folder = mkdtemp(pattern);
    char *cwd = getcwd(nullptr, 0);
    if (folder && cwd && chdir(folder) == 0) {
        open_logfile();
        if (chdir(cwd) != 0) abort();
    }
    free(cwd);
}

static void bench_load(benchmark::State &state, const std::string &text, bool log) {
    bench_quiet_log();
    // With the log on, every loading step is written and flushed as the game does at start-up.
    if (log) bench_open_log();
    global_log_level = log ? 5 : 0;
    for (auto _ : state) {
        if (!model_load_iqe_text(text.data(), text.size(), 0)) state.SkipWithError("model refused");
    }
    uint32_t vertices = 0;
    if (global_model_data[0])
        for (uint32_t i = 0; i < global_model_data[0]->num_mesh; i++)
            vertices += global_model_data[0]->mesh_data[i]->num_vertex;
    state.counters["vertices"] = vertices;
    state.counters["bytes"] = (double)text.size();
    global_log_level = 0;
    close_logfile();
    model_free_all();
}

// About 50,000 vertices in six meshes, with seam and normal fixing, 20 joints and 30 frames; with
// the log off and with it on at full detail.
static void BM_ModelLoad50000Vertices(benchmark::State &state) {
    static const std::string text = bench_tube_model(2495, 20, 6, 40.0f, 20, 30, true);
    bench_load(state, text, state.range(0) != 0);
}
BENCHMARK(BM_ModelLoad50000Vertices)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest MODEL.IQE in the game folder, or an empty string when there is none.
static std::string bench_largest_generated_model(off_t *size) {
    std::string pattern = bench_game_folder() + "/OBJECT/*/MODEL.IQE";
    glob_t found;
    std::string largest;
    *size = 0;
    if (glob(pattern.c_str(), 0, nullptr, &found) == 0) {
        for (size_t i = 0; i < found.gl_pathc; i++) {
            struct stat st;
            if (stat(found.gl_pathv[i], &st) == 0 && st.st_size > *size) {
                *size = st.st_size;
                largest = found.gl_pathv[i];
            }
        }
    }
    globfree(&found);
    return largest;
}

// The largest generated model, loaded as start-up loads it (log on).
static void BM_ModelLoadLargestGenerated(benchmark::State &state) {
    off_t size = 0;
    std::string largest = bench_largest_generated_model(&size);
    FILE *file = fopen(largest.c_str(), "rb");
    std::string text((size_t)size, '\0');
    size_t got = file ? fread(&text[0], 1, text.size(), file) : 0;
    if (file) fclose(file);
    text.resize(got);
    state.SetLabel(largest.substr(largest.rfind("/OBJECT/") + 8));
    bench_load(state, text, true);
}
// Registered only when the game folder holds generated models.
static const bool bench_largest_registered = [] {
    off_t size = 0;
    if (bench_largest_generated_model(&size).empty()) return false;
    benchmark::RegisterBenchmark("BM_ModelLoadLargestGenerated", BM_ModelLoadLargestGenerated)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    return true;
}();

static const float bench_identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// A 2,000-vertex tube (100 rings of 20, in one mesh) on 20 joints in slot 1, a 500-vertex one
// (25 rings) in slot 2 and a 160-vertex one (8 rings, the size of the boxy test walker) in slot 3,
// loaded once.
static void bench_skin_model() {
    bench_quiet_log();
    if (global_model_data[1]) return;
    std::string text = bench_tube_model(100, 20, 1, 4.0f, 20, 8, false);
    model_load_iqe_text(text.data(), text.size(), 1);
    text = bench_tube_model(25, 20, 1, 2.0f, 10, 8, false);
    model_load_iqe_text(text.data(), text.size(), 2);
    text = bench_tube_model(8, 20, 1, 2.0f, 7, 8, false);
    model_load_iqe_text(text.data(), text.size(), 3);
}

static void BM_ModelSkin2000Vertices(benchmark::State &state) {
    bench_skin_model();
    vector center = {10.0f, 10.0f, 10.0f};
    camera_side_vector = {1.0f, 0.0f, 0.0f};
    camera_up_vector = {0.0f, 0.0f, 1.0f};
    uint16_t frame = 1;
    uint32_t vertices = 0;
    for (auto _ : state) {
        const model_mesh *a = model_skin(1, 0, &center, bench_identity, frame, frame, 1.0f, nullptr, 0);
        vertices = a ? a->num_vertex : 0;
        benchmark::DoNotOptimize(global_model_skin_position[0][0]);
        frame = (uint16_t)(frame % 8 + 1);
    }
    state.counters["vertices"] = vertices;
}
BENCHMARK(BM_ModelSkin2000Vertices)->Unit(benchmark::kMicrosecond);

static bool bench_model_window() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ready = 0;
    if (!getenv("DISPLAY")) return false;
    if (!SDL_GetVideoSurface()) {
        screen_x = 800;
        screen_y = 600;
        fullscreen_mode = 0;
        if (!display_setup() || !display_setup_multitexture()) return false;
    }
    ready = 1;
    return true;
}

// A frame with the camera looking at a ring of skinned models: clear, draw range(0) models of
// range(1) vertices, finish. The difference between a row with 20 models and the row with none is
// the time the models add to a frame.
static void BM_ModelDrawSkinned(benchmark::State &state) {
    bench_skin_model();
    if (!bench_model_window()) {
        state.SkipWithError("no X display (run under xvfb-run)");
        return;
    }
    static uint32_t texture = 0;
    if (!texture) {
        static uint8_t pixels[64 * 64 * 4];
        for (int i = 0; i < 64 * 64; i++) {
            uint8_t v = (uint8_t)((((i & 63) >> 3) ^ ((i >> 9) & 7)) & 1 ? 200 : 120);
            pixels[i * 4] = v;
            pixels[i * 4 + 1] = (uint8_t)(v - 40);
            pixels[i * 4 + 2] = (uint8_t)(v / 2);
            pixels[i * 4 + 3] = 255;
        }
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    }
    int models = (int)state.range(0);
    uint16_t slot = state.range(1) == 2000 ? 1 : (state.range(1) == 500 ? 2 : 3);
    uint16_t frame = 1;
    for (auto _ : state) {
        glClearColor(0.2f, 0.3f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        target_vector = {100.0f, 100.0f, 2.0f};
        camera_rotation_xy[0] = 0;
        camera_rotation_xy[1] = 32768 - 3000;
        camera_distance = 12.0f;
        display_camera_position();
        display_look_at(&camera_vector, &target_vector);
        for (int i = 0; i < models; i++) {
            float a = (float)i * 6.2831853f / (float)(models ? models : 1);
            vector at = {100.0f + 5.0f * cosf(a), 100.0f + 5.0f * sinf(a), 0.0f};
            model_draw_args args;
            args.center = &at;
            args.root_quaternion = bench_identity;
            args.primary_texture = args.secondary_texture = texture;
            args.light = 200;
            args.frame_index = args.next_frame_index = frame;
            model_draw(slot, 0, &args);
        }
        glFinish();
        SDL_GL_SwapBuffers();
        frame = (uint16_t)(frame % 8 + 1);
    }
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ModelDrawSkinned)->Args({0, 0})->Args({20, 160})->Args({20, 500})->Args({20, 2000})->Unit(benchmark::kMillisecond)->UseRealTime();

// One ragdoll-style call (radius 0.5, 5 steps) and one object-style call (20 steps, preferring
// vertical pushes) of a sphere resting on a shaped floor.
static void BM_SquishyCall(benchmark::State &state) {
    bench_quiet_log();
    static bool world = false;
    if (!world) {
        world = true;
        voxel_clear_map();
        voxel_setup_materials();
        chunkmap_setup();
        chunk *c = chunk_create();
        for (int x = 0; x < CHUNK_SIZE; x++)
            for (int y = 0; y < CHUNK_SIZE; y++) {
                int top = 4 + ((x + y) & 1);
                voxel *bottom = voxel_create(34, 1), *run = voxel_create(3, (uint16_t)(top - 1));
                voxel *surface = voxel_create(3, 1);
                surface->data = (uint16_t)(3 | VOXEL_CENTRED_SINGLE);
                surface->nx = 0.1f;
                surface->ny = 0.0f;
                surface->nz = 0.995f;
                bottom->next = run;
                run->next = surface;
                c->pillar[x][y] = bottom;
            }
        chunk_map[1][1] = c;
    }
    uint16_t steps = (uint16_t)state.range(0);
    uint8_t prefer_z = steps == 20 ? 1 : 0;
    int i = 0;
    for (auto _ : state) {
        vector center = {80.3f + 0.01f * (float)(i & 15), 80.5f, 5.0f};
        benchmark::DoNotOptimize(squishy_collide(&center, 0.5f, steps, prefer_z));
        i++;
    }
}
BENCHMARK(BM_SquishyCall)->Arg(5)->Arg(20)->Unit(benchmark::kMicrosecond);
