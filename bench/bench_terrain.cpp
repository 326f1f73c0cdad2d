// bench_terrain.cpp — terrain rendering: meshing a near pillar, building a distant tile at each
// size, and whole frames of the start view at 800 x 600 (needs an X display, e.g. xvfb-run),
// with the vertex batches and with one draw per triangle
#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "world/chunkmap.h"
#include "display/display.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "terrain/multri.h"
#include "foundation/random.h"
#include "terrain/voxel.h"
#include "world/worldmap.h"
#include "foundation/settings.h"
#include "game/kestrova.h"
#include "bench_util.h"

static const int start_x = 1600, start_y = 1600;
static float bench_start_z = 100.0f;

// A scratch world with every chunk around the start resident, as after start-up.
static void bench_terrain_world() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    if (!bench_enter_scratch_world("terrain")) abort();
    global_log_level = 0;
    random_setup();
    voxel_setup_light_table();
    voxel_clear_map();
    voxel_setup_materials();
    setup_wave_table(0, 0, 0);
    voxel_geometry_setup();
    chunkmap_setup();
    worldmap_setup(1765200000, WORLD_NAME);
    const float load = (float)global_background_distance + 64.0f, unload = (float)global_background_distance + 128.0f;
    chunkmap_update(start_x, start_y, load, unload, 1);
    // The view of the start: the camera one block above the start column's ground, as the loop has it.
    bench_start_z = (float)voxel_height_xy(start_x, start_y, 0) + 2.0f;
}

struct bench_counter {
    uint32_t triangles;
};
static void bench_count_sink(void *context, const multri *, uint8_t) { ((bench_counter *)context)->triangles++; }

static void BM_MeshNearPillar(benchmark::State &state) {
    bench_terrain_world();
    bench_counter counter = {0};
    int i = 0;
    uint64_t pillars = 0;
    for (auto _ : state) {
        int x = start_x - 32 + (i & 63), y = start_y - 32 + ((i >> 6) & 63);
        multri_mesh_pillar_xy(x, y, bench_count_sink, &counter);
        i++;
        pillars++;
    }
    state.counters["triangles_per_pillar"] = (double)counter.triangles / (double)pillars;
}
BENCHMARK(BM_MeshNearPillar);

static void BM_BuildTile(benchmark::State &state) {
    bench_terrain_world();
    const int mega = (int)state.range(0);
    uint64_t triangles = 0, tiles = 0;
    int i = 0;
    for (auto _ : state) {
        int x = start_x - 128 + mega * (i & 31), y = start_y - 128 + mega * ((i >> 5) & 31);
        multri *list = nullptr;
        triangles += multri_build_mega_tile(x, y, mega, &list);
        multri_destroy(list);
        i++;
        tiles++;
    }
    state.counters["triangles_per_tile"] = (double)triangles / (double)tiles;
}
BENCHMARK(BM_BuildTile)->Arg(2)->Arg(4)->Arg(8);

static bool bench_window() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ready = 0;
    if (!getenv("DISPLAY")) return false;
    // KESTROVA_BENCH_SMALL draws into 200 x 150 to tell fill costs from the rest.
    screen_x = getenv("KESTROVA_BENCH_SMALL") ? 200 : 800;
    screen_y = getenv("KESTROVA_BENCH_SMALL") ? 150 : 600;
    fullscreen_mode = 0;
    if (!display_setup()) return false;
    std::string game = bench_game_folder();
    material_texture = display_load_texture_file_rgba((game + "/ART/MATERIAL.TGA").c_str(), 1, 1);
    light_texture = display_load_texture_file_rgba((game + "/ART/LIGHT.TGA").c_str(), 0, 0);
    backdrop_texture = display_load_texture_file_rgba((game + "/ART/BACKDROP.TGA").c_str(), 0, 0);
    updrop_texture = display_load_texture_file_rgba((game + "/ART/UPDROP.TGA").c_str(), 0, 0);
    downdrop_texture = display_load_texture_file_rgba((game + "/ART/DOWNDROP.TGA").c_str(), 0, 0);
    ready = material_texture && light_texture ? 1 : 0;
    // As the game does (a whole-process choice, so old and new frames alike); KESTROVA_BENCH_MALLOC
    // leaves the C library's limits alone, to measure what it saves by two runs.
    if (!getenv("KESTROVA_BENCH_MALLOC")) platform_reuse_large_blocks(1);
    return ready == 1;
}

// One frame of the start view: the camera set up as the loop does, the bands far to near.
static void bench_draw_frame() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    target_vector = {(float)start_x, (float)start_y, bench_start_z};
    display_camera_position();
    display_look_at(&camera_vector, &target_vector);
    multri_draw_count = voxel_draw_count = voxel_draw_triangle_count = debug_mega_tile = 0;
    main_loop_band bands[4];
    uint8_t count = main_loop_terrain_bands(0, global_display_distance, global_background_distance, bands);
    for (uint8_t i = 0; i < count; i++)
        voxel_draw_map(&camera_vector, bands[i].min_radius, bands[i].max_radius, bands[i].backdrop, bands[i].mega);
    glFinish();
    SDL_GL_SwapBuffers();
}

static void BM_StartViewFrame(benchmark::State &state) {
    bench_terrain_world();
    if (!bench_window()) {
        state.SkipWithError("no X display or textures (run under xvfb-run after building the game folder)");
        return;
    }
    global_sun_light_level = 255;
    global_day_night_cycle = 0.3f;
    global_multri_batching = (uint8_t)state.range(0);
    bench_draw_frame();  // builds the caches
    state.counters["cache_bytes"] = (double)multri_cache_memory();
    int resident = 0;
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++)
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) resident += chunk_map[cx][cy] ? 1 : 0;
    state.counters["chunks"] = resident;
    state.counters["camera_z"] = camera_vector.z;
    for (auto _ : state) bench_draw_frame();
    state.counters["live_triangles"] = voxel_draw_triangle_count;
    state.counters["cached_triangles"] = multri_draw_count;
    state.counters["tiles"] = debug_mega_tile;
    state.counters["pillars"] = voxel_draw_count;
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    global_multri_batching = 1;
}
BENCHMARK(BM_StartViewFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- old against new drawing path, frame by frame in turn: the start view at the eight headings
// 45 degrees apart, then the same view with twenty zombis standing 5 to 15 blocks ahead. Each
// frame ends with glFinish, so it is timed whole; the counters are medians in milliseconds, and the
// fragments that passed the depth test (textured and written) in the colour pass of one frame.
#include <algorithm>
#include <chrono>
#include <vector>

#include "game/kestrova_stages.h"
#include "models/model.h"
#include "objects/object.h"
#include "objects/object_draw.h"
#include "objects/object_update.h"
#include "objects/inventory.h"
#include "objects/template.h"

static double bench_median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

static bool bench_zombis() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ready = 0;
    const std::string game = bench_game_folder();
    char world[4096];
    if (!getcwd(world, sizeof(world)) || chdir(game.c_str()) != 0) return false;
    template_setup();
    object_recipe_setup();
    template_load("ZOMBI");
    template_find_particle_templates();
    if (chdir(world) != 0) return false;
    object_register_hooks();
    shade_texture = display_load_texture_file_rgba((game + "/ART/SHADE.TGA").c_str(), 0, 0);
    object *zombi = template_get_by_name("ZOMBI");
    if (!zombi) return false;
    // Heading 0 looks towards +y: four rows of five, 5 to 15 blocks ahead (they stood behind the
    // camera before, where the objects pass left them out).
    for (int i = 0; i < 20; i++) {
        float x = start_x + (float)((i % 5) - 2) * 2.0f, y = start_y + 5.0f + (float)(i / 5) * 3.3f;
        object *o = object_spawn(zombi, nullptr, 0, x, y, (float)voxel_height_xy((int)x, (int)y, 0) + 1.0f);
        if (!o) return false;
        // Facing the camera, mid-stride, lit by day, as the simulation would leave them.
        o->facing_xyzw[0] = o->facing_xyzw[1] = o->facing_xyzw[2] = 0.0f;
        o->facing_xyzw[3] = 1.0f;
        o->frame = (uint16_t)(model_get_start_or_last_frame(o->model_index, (const uint8_t *)"WALK1", 1) + i % 4);
        o->light = 200;
    }
    ready = 1;
    return true;
}

// Fragments that passed the depth test in the frame (written, so textured), by an occlusion query.
typedef void(APIENTRY *bench_query_gen)(GLsizei, GLuint *);
typedef void(APIENTRY *bench_query_begin)(GLenum, GLuint);
typedef void(APIENTRY *bench_query_end)(GLenum);
typedef void(APIENTRY *bench_query_get)(GLuint, GLenum, GLuint *);
static GLuint bench_query = 0;
static bench_query_begin bench_begin = nullptr;
static bench_query_end bench_end = nullptr;
static bench_query_get bench_get = nullptr;
static uint32_t bench_samples = 0;
// What the latest frame cost besides its time: CPU of every thread (the GL driver's rasterizer
// threads too) and the GL work it handed over.
struct bench_frame_counts {
    double process_cpu_ms;
    uint32_t terrain_triangles, model_triangles, unit_selects, state_changes, draw_calls;
};
static bench_frame_counts bench_counts;

// One whole frame with the objects after the terrain; returns its milliseconds.
static double bench_timed_frame(uint8_t old_path, uint8_t objects, uint8_t depth_first = 0) {
    if (!bench_query) {
        bench_query_gen gen = (bench_query_gen)SDL_GL_GetProcAddress("glGenQueriesARB");
        bench_begin = (bench_query_begin)SDL_GL_GetProcAddress("glBeginQueryARB");
        bench_end = (bench_query_end)SDL_GL_GetProcAddress("glEndQueryARB");
        bench_get = (bench_query_get)SDL_GL_GetProcAddress("glGetQueryObjectuivARB");
        if (gen && bench_begin && bench_end && bench_get) gen(1, &bench_query);
    }
    stages_use_old_path(old_path);
    global_multri_depth_first = depth_first;
    global_multri_submitted = global_model_submitted = global_display_unit_selects = 0;
    global_display_state_changes = global_multri_draw_calls = global_model_draw_calls = 0;
    const uint64_t cpu0 = platform_process_cpu_us();
    auto t0 = std::chrono::steady_clock::now();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    target_vector = {(float)start_x, (float)start_y, bench_start_z};
    display_camera_position();
    display_look_at(&camera_vector, &target_vector);
    main_loop_band bands[4];
    uint8_t count = main_loop_terrain_bands(0, global_display_distance, global_background_distance, bands);
    if (global_multri_depth_first)
        for (uint8_t i = 0; i < count; i++)
            voxel_draw_map_depth(&camera_vector, bands[i].min_radius, bands[i].max_radius, bands[i].mega);
    if (bench_query) bench_begin(GL_SAMPLES_PASSED_ARB, bench_query);
    for (uint8_t i = 0; i < count; i++)
        voxel_draw_map(&camera_vector, bands[i].min_radius, bands[i].max_radius, bands[i].backdrop, bands[i].mega);
    if (objects) object_draw_all(target_vector.x, target_vector.y, (float)global_display_distance);
    if (bench_query) {
        bench_end(GL_SAMPLES_PASSED_ARB);
        GLuint samples = 0;
        bench_get(bench_query, GL_QUERY_RESULT_ARB, &samples);
        bench_samples = samples;
    }
    glFinish();
    SDL_GL_SwapBuffers();
    auto t1 = std::chrono::steady_clock::now();
    bench_counts = {(double)(platform_process_cpu_us() - cpu0) / 1000.0, global_multri_submitted, global_model_submitted,
                    global_display_unit_selects, global_display_state_changes,
                    global_multri_draw_calls + global_model_draw_calls};
    stages_use_old_path(0);
    global_multri_depth_first = 0;
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

// range(0): the heading in 45-degree steps; range(1): 1 with the twenty zombis.
static void BM_OldAgainstNewPathFrame(benchmark::State &state) {
    bench_terrain_world();
    if (!bench_window() || (state.range(1) && !bench_zombis())) {
        state.SkipWithError("no X display, textures or ZOMBI (run under xvfb-run after building the game folder)");
        return;
    }
    global_sun_light_level = 255;
    global_day_night_cycle = 0.3f;
    camera_rotation_xy[0] = (uint16_t)(state.range(0) * 8192);
    camera_rotation_xy[1] = 32768;
    camera_distance = 0.01f;
    bench_timed_frame(0, (uint8_t)state.range(1));  // builds the caches
    std::vector<double> old_ms, new_ms, depth_ms, old_cpu, new_cpu;
    bench_frame_counts old_counts = {}, new_counts = {};
    uint32_t old_samples = 0, new_samples = 0, depth_samples = 0;
    for (auto _ : state) {
        old_ms.push_back(bench_timed_frame(1, (uint8_t)state.range(1)));
        old_counts = bench_counts;
        old_cpu.push_back(bench_counts.process_cpu_ms);
        old_samples = bench_samples;
        new_ms.push_back(bench_timed_frame(0, (uint8_t)state.range(1)));
        new_counts = bench_counts;
        new_cpu.push_back(bench_counts.process_cpu_ms);
        new_samples = bench_samples;
        depth_ms.push_back(bench_timed_frame(0, (uint8_t)state.range(1), 1));
        depth_samples = bench_samples;
    }
    const double o = bench_median(old_ms), n = bench_median(new_ms);
    state.counters["depth_first_ms"] = bench_median(depth_ms);
    state.counters["old_shaded_px"] = old_samples;
    state.counters["new_shaded_px"] = new_samples;
    state.counters["depth_first_shaded_px"] = depth_samples;
    state.counters["old_ms"] = o;
    state.counters["new_ms"] = n;
    state.counters["old_fps"] = o > 0 ? 1000.0 / o : 0.0;
    state.counters["new_fps"] = n > 0 ? 1000.0 / n : 0.0;
    state.counters["new_over_old_fps"] = n > 0 ? o / n : 0.0;
    // CPU of the whole process per frame: less sensitive to other programs than the wall clock.
    state.counters["old_cpu_ms"] = bench_median(old_cpu);
    state.counters["new_cpu_ms"] = bench_median(new_cpu);
    state.counters["old_terrain_tris"] = old_counts.terrain_triangles;
    state.counters["new_terrain_tris"] = new_counts.terrain_triangles;
    state.counters["old_model_tris"] = old_counts.model_triangles;
    state.counters["new_model_tris"] = new_counts.model_triangles;
    state.counters["old_units"] = old_counts.unit_selects;
    state.counters["new_units"] = new_counts.unit_selects;
    state.counters["old_states"] = old_counts.state_changes;
    state.counters["new_states"] = new_counts.state_changes;
    state.counters["old_calls"] = old_counts.draw_calls;
    state.counters["new_calls"] = new_counts.draw_calls;
}
BENCHMARK(BM_OldAgainstNewPathFrame)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7}, {0}})
    ->Args({0, 1})
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
