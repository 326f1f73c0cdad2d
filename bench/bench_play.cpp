// bench_play.cpp — what the player's actions cost: a frame of the start view with the inventory
// screen open (beside the same frame with it closed), and one dig of the heavy pick with its relight
// followed by the frame that meshes the new shape (beside that frame without a dig)
#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "display/display.h"
#include "display/input.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "foundation/settings.h"
#include "game/kestrova.h"
#include "game/kestrova_actions.h"
#include "game/kestrova_hud.h"
#include "objects/inventory.h"
#include "objects/object.h"
#include "objects/object_update.h"
#include "objects/template.h"
#include "terrain/multri.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"
#include "bench_util.h"

static const int play_x = 1600, play_y = 1600;

// The world around the start (the one another benchmark made, when there is one), a window with
// the game's textures, every object kind, and the player with the starting kit.
static bool play_setup() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ready = 0;
    if (!getenv("DISPLAY")) return false;
    const std::string game = bench_game_folder();
    if (!chunk_map[play_x >> 6][play_y >> 6]) {
        if (!bench_enter_scratch_world("play")) return false;
        global_log_level = 0;
        global_background_distance = 100;
        random_setup();
        voxel_setup_light_table();
        voxel_clear_map();
        voxel_setup_materials();
        setup_wave_table(0, 0, 0);
        voxel_geometry_setup();
        chunkmap_setup();
        worldmap_setup(1765200000, WORLD_NAME);
        chunkmap_update(play_x, play_y, (float)global_background_distance + 64.0f,
                        (float)global_background_distance + 128.0f, 1);
    }
    if (!SDL_GetVideoSurface()) {
        screen_x = 800;
        screen_y = 600;
        fullscreen_mode = 0;
        if (!display_setup() || !display_setup_multitexture()) return false;
    }
    material_texture = display_load_texture_file_rgba((game + "/ART/MATERIAL.TGA").c_str(), 1, 1);
    light_texture = display_load_texture_file_rgba((game + "/ART/LIGHT.TGA").c_str(), 0, 0);
    backdrop_texture = display_load_texture_file_rgba((game + "/ART/BACKDROP.TGA").c_str(), 0, 0);
    backpack_texture = display_load_texture_file_rgba((game + "/ART/BACKPACK.TGA").c_str(), 0, 0);
    select_texture = display_load_texture_file_rgba((game + "/ART/SELECT.TGA").c_str(), 0, 0);
    cross_texture = display_load_texture_file_rgba((game + "/ART/CROSS.TGA").c_str(), 0, 0);
    shade_texture = display_load_texture_file_rgba((game + "/ART/SHADE.TGA").c_str(), 0, 0);
    font_texture = display_load_texture_file_rgba((game + "/ART/FONT.TGA").c_str(), 0, 0);
    char world[4096];
    if (!getcwd(world, sizeof(world)) || chdir(game.c_str()) != 0) return false;
    template_setup();
    object_recipe_setup();
    static const char *kinds[] = {"PLAYER", "DEBRIS", "BLOCK", "DUST", "SMOKE", "FLAME", "PICK", "AXE", "HAMMER",
                                  "HEAVY-PICK", "KNIFE", "SPEAR", "SAW", "BOMB", "BAR", "TORCH", "BOARD", "ZOMBI"};
    for (const char *kind : kinds) template_load(kind);
    template_find_particle_templates();
    if (chdir(world) != 0) return false;
    object_register_hooks();
    chunkmap_get_xyz(play_x, play_y, 2048);
    local_player = object_spawn(template_get_by_name("PLAYER"), nullptr, 300, play_x + 0.5f, play_y + 0.5f,
                                (float)global_voxel_topmost_z + 1.0f);
    if (!local_player) return false;
    static const struct {
        const char *kind;
        uint16_t stack;
        uint8_t material;
    } kit[] = {{"PICK", 1, 1}, {"AXE", 1, 2}, {"HAMMER", 1, 3}, {"HEAVY-PICK", 1, 3}, {"KNIFE", 1, 3},
               {"SPEAR", 1, 3}, {"SAW", 1, 3}, {"BOMB", 10, 3}, {"BAR", 10, 1}, {"BAR", 10, 2},
               {"TORCH", 10, 3}, {"BOARD", 10, 3}, {"ZOMBI", 1, 3}, {"BLOCK", 10000, 5}, {"DEBRIS", 10000, 31},
               {"DEBRIS", 10000, 32}};
    for (const auto &item : kit)
        object_add_to_inventory(local_player, template_get_by_name(item.kind), 1, item.stack, item.material);
    ready = 1;
    return true;
}

// One frame as the loop draws it: the camera at the player's eyes, terrain far to near, the
// objects, the item in hand and the overlay.
static void play_frame() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    target_vector = local_player->position;
    target_vector.z += 0.5f * local_player->size;
    display_camera_position();
    display_look_at(&camera_vector, &target_vector);
    main_loop_band bands[4];
    uint8_t count = main_loop_terrain_bands(0, global_display_distance, global_background_distance, bands);
    for (uint8_t i = 0; i < count; i++)
        voxel_draw_map(&camera_vector, bands[i].min_radius, bands[i].max_radius, bands[i].backdrop, bands[i].mega);
    actions_draw_inhand();
    display_window_mode();
    hud_draw_crosshair_and_tints();
    hud_draw_board_and_counts();
    display_end_window_mode();
    glFinish();
    SDL_GL_SwapBuffers();
}

static void BM_PlayInventoryOpenFrame(benchmark::State &state) {
    if (!play_setup()) {
        state.SkipWithError("no X display or game folder (run under xvfb-run after building the game folder)");
        return;
    }
    global_sun_light_level = 255;
    camera_rotation_xy[0] = 0;
    camera_rotation_xy[1] = 32768;
    draw_inventory = (uint8_t)state.range(0);
    inventory_fade = draw_inventory ? 1.0f : 0.0f;
    mouse_x = 400.0f;
    mouse_y = 300.0f;
    play_frame();  // builds the caches
    for (auto _ : state) play_frame();
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    draw_inventory = 0;
    inventory_fade = 0.0f;
}
BENCHMARK(BM_PlayInventoryOpenFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0) 1: a heavy-pick dig into fresh ground ahead (relit, its blocks collected), then the frame
// that meshes it; 0: the same frame at the same places without the dig. The difference is the dig.
static void BM_PlayDigWithRelightAndMesh(benchmark::State &state) {
    if (!play_setup()) {
        state.SkipWithError("no X display or game folder (run under xvfb-run after building the game folder)");
        return;
    }
    global_sun_light_level = 255;
    draw_inventory = 0;
    inventory_fade = 0.0f;
    camera_rotation_xy[1] = 32768 - 8000;  // looking down at the ground ahead
    object *pick = nullptr;
    for (object *o = local_player->inventory_pile; o; o = o->next)
        if (o->dig_radius > 1.5f) pick = o;
    if (!pick) {
        state.SkipWithError("no heavy pick");
        return;
    }
    put_object_into_pile(pick, &local_player->inventory_pile);
    play_frame();
    int step = 0;
    double dug = 0.0;
    for (auto _ : state) {
        // Fresh ground each time, the player standing a little into it as after a first dig, so
        // every dig takes whole blocks; the row without digs draws the same places.
        state.PauseTiming();
        const int x = play_x - 40 + 3 * (step % 27), y = play_y - 40 + 3 * ((step / 27) % 27);
        chunkmap_get_xyz(x, y, 2048);
        local_player->position = {x + 0.5f, y + 0.5f, (float)global_voxel_topmost_z + 0.2f};
        play_frame();
        step++;
        state.ResumeTiming();
        if (state.range(0)) dug += actions_dig(pick);
        play_frame();
    }
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    if (state.range(0)) state.counters["blocks_per_dig"] = dug / (double)(step ? step : 1);
}
BENCHMARK(BM_PlayDigWithRelightAndMesh)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
