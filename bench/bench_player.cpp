// bench_player.cpp — saving and loading the player's file with the starting inventory and 500
// collected items besides
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_util.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "foundation/settings.h"
#include "game/kestrova.h"
#include "objects/object.h"
#include "objects/player_file.h"
#include "objects/template.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"

static char bench_player_name[CHUNKMAP_PATH_SIZE];

static void bench_player_kind(const char *name, const char *text) {
    std::string folder = std::string("OBJECT/") + name;
    mkdir(folder.c_str(), 0755);
    FILE *file = fopen((folder + "/TEMPLATE.TXT").c_str(), "wb");
    if (!file) abort();
    fputs(text, file);
    fclose(file);
}

// A scratch world with the kinds of the starting inventory, the player on generated ground at the
// start column with its starting kit, and 500 items collected one by one.
static void bench_player_setup() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    if (!bench_enter_scratch_world("bench_player")) abort();
    mkdir("OBJECT", 0755);
    static const char *tools[] = {"PICK", "AXE", "HAMMER", "HEAVY-PICK", "SHIELD", "KNIFE", "SPEAR", "HEAVY-AXE",
                                  "SAW", "GOBLIN", "GOBLIN-CHAIN", "ZOMBI", "CATAPULT", "ROCK"};
    static const char *stacks[] = {"BOMB", "BAR", "TORCH", "BOARD"};
    bench_player_kind("PLAYER", "FULLCOLLIDE\nSTATICSPHERE\nSIZE 0.9\nHITS 5\n");
    for (const char *kind : tools) bench_player_kind(kind, "FULLCOLLIDE\n");
    for (const char *kind : stacks) bench_player_kind(kind, "FULLCOLLIDE\nINVENTORYSTACKABLE 100\n");
    bench_player_kind("BLOCK", "BEHAVELIKEDEBRIS\nINVENTORYSTACKABLE 10000\n");
    bench_player_kind("DEBRIS", "BEHAVELIKEDEBRIS\nINVENTORYSTACKABLE 10000\n");
    global_log_level = 0;
    voxel_clear_map();
    voxel_setup_materials();
    chunkmap_setup();
    random_setup();
    worldmap_setup(1765200000, WORLD_NAME);
    template_setup();
    template_load("PLAYER");
    for (const char *kind : tools) template_load(kind);
    for (const char *kind : stacks) template_load(kind);
    template_load("BLOCK");
    template_load("DEBRIS");
    template_find_particle_templates();
    object_register_hooks();
    global_chunkmap_sync_to_disk = 0;
    worldmap_generate_chunk(25, 25);
    local_player = object_spawn(template_get_by_name("PLAYER"), nullptr, 300, 1600.5f, 1600.5f, 60.0f);
    main_fill_starting_inventory();
    object *rock = template_get_by_name("ROCK");
    for (int i = 0; i < 500; i++) object_spawn(rock, local_player, 1, (float)(i % 200) - 100.0f, (float)(i / 5 % 200) - 100.0f, 0.0f);
    player_file_name(bench_player_name, sizeof(bench_player_name), WORLD_NAME);
}

static int bench_count_items(const object *o) {
    int n = 0;
    for (const object *held = o->inventory_pile; held; held = held->next) n += 1 + bench_count_items(held);
    return n;
}

static void bench_player_save(benchmark::State &state, uint8_t sync) {
    bench_player_setup();
    global_chunkmap_sync_to_disk = sync;
    player_file_state file_state = {12345, 16384, 32768, local_player->position};
    for (auto _ : state)
        if (!player_file_save(bench_player_name, local_player, &file_state)) state.SkipWithError("save failed");
    global_chunkmap_sync_to_disk = 0;
    state.counters["items"] = bench_count_items(local_player);
}

// Saving the player: encoding, writing the temporary file and renaming it (no flush to disk).
static void BM_PlayerSave(benchmark::State &state) { bench_player_save(state, 0); }
// The same with the flush to disk the game does.
static void BM_PlayerSaveWithFlushToDisk(benchmark::State &state) { bench_player_save(state, 1); }

// Loading the player: reading and checking the file, then building the player and all it carries.
static void BM_PlayerLoad(benchmark::State &state) {
    bench_player_setup();
    player_file_state file_state = {12345, 16384, 32768, local_player->position};
    if (!player_file_save(bench_player_name, local_player, &file_state)) abort();
    object *kind = template_get_by_name("PLAYER");
    int items = 0;
    for (auto _ : state) {
        if (!player_file_load(bench_player_name, WORLD_NAME)) {
            state.SkipWithError("load failed");
            break;
        }
        object *player = object_spawn(kind, nullptr, 300, global_player_file.position.x, global_player_file.position.y,
                                      global_player_file.position.z);
        player_file_restore(player);
        state.PauseTiming();
        items = bench_count_items(player);
        object_destroy(player);
        state.ResumeTiming();
    }
    state.counters["items"] = items;
}

BENCHMARK(BM_PlayerSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerSaveWithFlushToDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerLoad)->Unit(benchmark::kMillisecond);
