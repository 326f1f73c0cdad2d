// bench_simulation.cpp — one world step of the objects around the player (500 debris, 20 zombis
// and the player), and drawing 20 zombis at the start view (needs an X display, e.g. xvfb-run)
#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/display.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "game/kestrova.h"
#include "models/model.h"
#include "objects/object.h"
#include "objects/object_draw.h"
#include "objects/object_file.h"
#include "objects/object_update.h"
#include "objects/template.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"
#include "bench_util.h"

static const float sim_x = 1600.5f, sim_y = 1600.5f;

static bool sim_copy(const std::string &from, const std::string &to) {
    FILE *in = fopen(from.c_str(), "rb");
    if (!in) return false;
    FILE *out = fopen(to.c_str(), "wb");
    if (!out) abort();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), in)) > 0) fwrite(buffer, 1, n, out);
    fclose(in);
    fclose(out);
    return true;
}

// Flat ground (stone runs with a single grass block on top at z = 10) on the 9 x 9 chunks around
// the start, the player standing on it, and the kinds of the game's player, zombi and debris.
static bool sim_world() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ready = 0;
    std::string game = bench_game_folder();
    if (!bench_enter_scratch_world("simulation")) abort();
    mkdir("OBJECT", 0755);
    for (const char *kind : {"PLAYER", "ZOMBI", "DEBRIS"}) {
        std::string to = std::string("OBJECT/") + kind;
        mkdir(to.c_str(), 0755);
        std::string from = game + "/OBJECT/" + kind;
        if (!sim_copy(from + "/TEMPLATE.TXT", to + "/TEMPLATE.TXT")) return false;
        sim_copy(from + "/MODEL.IQE", to + "/MODEL.IQE");
    }
    // The crowded chunk below is full of bars, a kind that is saved with its chunk.
    mkdir("OBJECT/BAR", 0755);
    if (!sim_copy(game + "/OBJECT/BAR/TEMPLATE.TXT", "OBJECT/BAR/TEMPLATE.TXT")) return false;
    global_log_level = 0;
    random_setup();
    voxel_clear_map();
    voxel_setup_materials();
    chunkmap_setup();
    global_ocean_level = 2.0f;
    for (int cx = 21; cx <= 29; cx++) {
        for (int cy = 21; cy <= 29; cy++) {
            chunk *c = chunk_create();
            for (int x = 0; x < CHUNK_SIZE; x++) {
                for (int y = 0; y < CHUNK_SIZE; y++) {
                    voxel *run = voxel_create(3, 9), *top = voxel_create(2, 1);
                    top->data = (uint16_t)(2 | VOXEL_CENTRED_SINGLE);
                    top->sunlight = 127;
                    run->next = top;
                    c->pillar[x][y] = run;
                }
            }
            chunk_map[cx][cy] = c;
        }
    }
    model_setup();
    template_setup();
    for (const char *kind : {"PLAYER", "ZOMBI", "DEBRIS", "BAR"}) template_load(kind);
    template_find_particle_templates();
    object_register_hooks();
    global_sun_light_level = 255;
    local_player = object_spawn(template_get_by_name("PLAYER"), nullptr, 0, sim_x, sim_y, 11.0f);
    ready = local_player && template_get_by_name("ZOMBI") ? 1 : 0;
    return ready == 1;
}

// Clears every pile but the player's, then lays out 20 zombis in a ring and debris around him.
static void sim_populate(int debris, int zombis) {
    for (int cx = 21; cx <= 29; cx++) {
        for (int cy = 21; cy <= 29; cy++) {
            object *o = chunk_map[cx][cy]->local_object_pile;
            while (o) {
                object *next = o->next;
                if (o != local_player) object_destroy(o);
                o = next;
            }
        }
    }
    local_player->position = {sim_x, sim_y, 10.5f + local_player->size};
    object *zombi = template_get_by_name("ZOMBI");
    for (int i = 0; i < zombis; i++) {
        float a = (float)i * 6.2831853f / (float)zombis;
        object_spawn(zombi, nullptr, 1, sim_x + 8.0f * cosf(a), sim_y + 8.0f * sinf(a), 11.0f);
    }
    // Debris that stays for the whole run: a long countdown, drifting slowly.
    for (int i = 0; i < debris; i++) {
        object *d = object_spawn(debris_object_template, nullptr, 60000, sim_x - 10.0f + (float)(i % 20),
                                 sim_y - 12.0f + (float)(i / 20), 12.0f);
        if (d) d->velocity = {0.0f, 0.0f, -0.001f};
    }
}

static void sim_target(void) {
    target_vector = local_player->position;
    target_vector.z += 0.5f * local_player->size;
    // The zombis go for the player's eyes as the step's command gives them.
    global_player_command.target = target_vector;
}

static void BM_ObjectUpdateAll(benchmark::State &state) {
    if (!sim_world()) {
        state.SkipWithError("no game folder with the PLAYER, ZOMBI and DEBRIS kinds (build the game first)");
        return;
    }
    sim_populate((int)state.range(0), (int)state.range(1));
    for (auto _ : state) {
        sim_target();
        object_update_all(target_vector.x, target_vector.y, 9);
        local_player_hit_timer = 0;
        local_player->hits = 5.0f;
    }
    int count = 0;
    for (object *o = chunk_map[25][25]->local_object_pile; o; o = o->next) count++;
    state.counters["objects_in_start_chunk"] = count;
}
BENCHMARK(BM_ObjectUpdateAll)->Args({500, 20})->Args({0, 0})->Unit(benchmark::kMillisecond);

static bool sim_window() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ready = 0;
    if (!getenv("DISPLAY")) return false;
    screen_x = 800;
    screen_y = 600;
    fullscreen_mode = 0;
    if (!display_setup()) return false;
    std::string game = bench_game_folder();
    object *zombi = template_get_by_name("ZOMBI");
    for (int j = 0; j < 2; j++) {
        std::string path = game + "/OBJECT/ZOMBI/TEXTURE" + std::to_string(j) + ".TGA";
        zombi->local_texture[j] = display_load_texture_file_rgba(path.c_str(), 1, 0);
    }
    shade_texture = display_load_texture_file_rgba((game + "/ART/SHADE.TGA").c_str(), 1, 0);
    ready = zombi->local_texture[0] ? 1 : 0;
    return ready == 1;
}

// A frame of object drawing at the start view: clear, camera at the player's eyes looking along
// the ring of zombis, the three passes of object_draw_all, finish. The row with zombis minus the
// row without is what they add to a frame.
static void BM_ObjectDrawStartView(benchmark::State &state) {
    if (!sim_world()) {
        state.SkipWithError("no game folder with the PLAYER, ZOMBI and DEBRIS kinds (build the game first)");
        return;
    }
    if (!sim_window()) {
        state.SkipWithError("no X display or zombi textures (run under xvfb-run after building the game folder)");
        return;
    }
    sim_populate(0, (int)state.range(0));
    // Spread the ring out in front of the camera, all in view.
    int i = 0;
    for (object *o = chunk_map[25][25]->local_object_pile; o; o = o->next) {
        if (o == local_player) continue;
        o->position = {sim_x + 6.0f + (float)(i % 5) * 2.0f, sim_y - 5.0f + (float)(i / 5) * 3.0f, 11.4f};
        o->spin = 49152;
        o->light = 200;
        i++;
    }
    uint16_t frame = 1;
    for (auto _ : state) {
        glClearColor(0.2f, 0.3f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        sim_target();
        camera_rotation_xy[0] = 0;
        camera_rotation_xy[1] = 32768 - 1500;
        camera_distance = 0.0f;
        display_camera_position();
        display_look_at(&camera_vector, &target_vector);
        for (object *o = chunk_map[25][25]->local_object_pile; o; o = o->next)
            if (o != local_player) o->frame = frame;
        object_draw_all(target_vector.x, target_vector.y, (float)global_display_distance);
        glFinish();
        SDL_GL_SwapBuffers();
        frame = (uint16_t)(frame % 60 + 1);
    }
    state.counters["objects_drawn"] = global_object_draw_count;
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ObjectDrawStartView)->Arg(0)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// One object record as a chunk file holds it: a bar at (x, y, 11), upright, empty inventory.
static std::string sim_bar_record(float x, float y) {
    std::string s;
    auto f32 = [&s](float v) { s.append((const char *)&v, 4); };
    f32(x);
    f32(y);
    f32(11.0f);
    s.append("BAR", 4);
    s.append("Bar", 4);
    s.append("\x03\x80\x01\x00\x00\x01\x00", 7);  // material, light, full collide, ..., static sphere
    s.append("\x01\x00\x00\x00\x00\x00", 6);
    for (float v : {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}) f32(v);
    s += "<";
    for (int i = 0; i < 3; i++) f32(0.0f);
    s.append("\0\0", 2);
    return s;
}

// A chunk file holding 10,000 objects, read in, then one world step of everything around the
// player. The chunk wakes at most the limit (argument) and the rest sleeps in its file; the
// second case lifts the limit to show what the limit saves.
static void BM_ChunkOfTenThousandObjects(benchmark::State &state) {
    if (!sim_world() || !template_get_by_name("BAR")) {
        state.SkipWithError("no game folder with the PLAYER, ZOMBI, DEBRIS and BAR kinds (build the game first)");
        return;
    }
    sim_populate(0, 0);
    global_object_chunk_limit = (uint32_t)state.range(0);
    chunkmap_unload(22, 22);
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), 22, 22);
    std::string path = fix_path(name);
    FILE *file = fopen(path.c_str(), "ab");
    if (!file) abort();
    for (int i = 0; i < 10000; i++) {
        std::string r = sim_bar_record(1410.0f + (float)(i % 100) * 0.6f, 1410.0f + (float)(i / 100) * 0.6f);
        fwrite(r.data(), 1, r.size(), file);
    }
    fclose(file);
    chunkmap_load(22, 22);
    for (auto _ : state) {
        sim_target();
        object_update_all(target_vector.x, target_vector.y, 9);
    }
    int awake = 0;
    for (object *o = chunk_map[22][22]->local_object_pile; o; o = o->next) awake++;
    state.counters["awake_in_crowded_chunk"] = awake;
    global_object_chunk_limit = OBJECT_CHUNK_LIMIT;
    // Back to a chunk without objects for the benchmarks after this one.
    object_destroy_chunk_pile(chunk_map[22][22]);
    free(chunk_map[22][22]->kept_objects);
    chunk_map[22][22]->kept_objects = nullptr;
    chunk_map[22][22]->kept_objects_size = 0;
}
BENCHMARK(BM_ChunkOfTenThousandObjects)->Arg(OBJECT_CHUNK_LIMIT)->Arg(10000)->Unit(benchmark::kMillisecond);
