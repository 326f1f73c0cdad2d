// kestrova_player.cpp — the local player kept with the world: read at start-up and placed on its
// saved spot (or a fresh player at the start column with the starting kit), saved every few
// minutes of play and at exit
#include <cstdlib>

#include "display/display.h"
#include "foundation/logfile.h"
#include "game/kestrova.h"
#include "objects/object.h"
#include "objects/player_file.h"
#include "objects/template.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

float global_start_x = MAIN_LOOP_START_X, global_start_y = MAIN_LOOP_START_Y;
uint32_t global_start_world_frame = 0;
uint32_t global_player_save_interval = MAIN_PLAYER_SAVE_STEPS;
uint32_t global_player_failed_saves = 0;
static uint32_t player_steps_since_save = 0;
static uint8_t player_file_ready = 0;

// Materials a falling player could catch in and stay stuck: bark and leaves.
static uint8_t main_is_foliage(uint8_t material) { return material == VOXEL_BARK || material == VOXEL_LEAVES; }

void main_read_player_file(void) {
    global_start_x = MAIN_LOOP_START_X;
    global_start_y = MAIN_LOOP_START_Y;
    global_start_world_frame = 0;
    player_steps_since_save = 0;
    const char *interval = getenv("KESTROVA_PLAYER_SAVE_STEPS");
    if (interval && atoi(interval) > 0) {
        global_player_save_interval = (uint32_t)atoi(interval);
        log_message(2, "KESTROVA_PLAYER_SAVE_STEPS is set: the player is saved every %u world steps",
                    (unsigned)global_player_save_interval);
    }
    char name[CHUNKMAP_PATH_SIZE];
    player_file_name(name, sizeof(name), WORLD_NAME);
    player_file_ready = player_file_load(name, WORLD_NAME);
    if (!player_file_ready) return;
    global_start_x = global_player_file.position.x;
    global_start_y = global_player_file.position.y;
}

// The fresh player's height: 100 above the start column's top, as a new world has always begun,
// unless something taller than a slope or foliage stands over the spot a falling body lands on;
// a fall through a canopy ends stuck in it, so then the player starts standing on top instead.
static float main_fresh_spawn_z(float x, float y, float size) {
    chunkmap_get_xyz((int)x, (int)y, 2048);
    float ground = (float)global_voxel_topmost_z;
    uint8_t covered = 0;
    int reach = (int)size + 1;
    for (int dy = -reach; dy <= reach; dy++) {
        for (int dx = -reach; dx <= reach; dx++) {
            if (!chunkmap_get_xyz((int)x + dx, (int)y + dy, 2048) && !global_voxel_topmost) continue;
            float top = (float)global_voxel_topmost_z;
            if (top > ground + 2.0f || (global_voxel_topmost && main_is_foliage(voxel_material(global_voxel_topmost))))
                covered = 1;
        }
    }
    if (!covered) return ground + 100.0f;
    float z = player_free_ground_z(x, y, ground + size, size);
    log_message(3, "Something stands over the start column; the player starts on top of it at %0.2f", (double)z);
    return z;
}

static void main_spawn_fresh_player(object *kind) {
    float size = kind ? kind->size : 1.0f;
    float z = main_fresh_spawn_z(MAIN_LOOP_START_X, MAIN_LOOP_START_Y, size);
    chunkmap_get_xyz((int)MAIN_LOOP_START_X, (int)MAIN_LOOP_START_Y, 2048);
    global_start_ground_z = (float)global_voxel_topmost_z;
    log_message(3, "Player XYZ == %f, %f, %f", (double)MAIN_LOOP_START_X, (double)MAIN_LOOP_START_Y, (double)z);
    local_player = object_spawn(kind, nullptr, 300, MAIN_LOOP_START_X, MAIN_LOOP_START_Y, z);
    if (!local_player) log_message(2, "No local player could be spawned (is there an OBJECT\\PLAYER folder?)");
    main_fill_starting_inventory();
}

// The saved player on its spot, or on the nearest free ground above it when terrain fills it now
// (a kill can lose the chunk it had dug out).
static uint8_t main_spawn_saved_player(object *kind) {
    const vector saved = global_player_file.position;
    local_player = object_spawn(kind, nullptr, 300, saved.x, saved.y, saved.z);
    if (!local_player || !player_file_restore(local_player)) {
        player_file_forget();
        if (local_player) object_destroy(local_player);
        local_player = nullptr;
        log_message(1, "The saved player could not be put back; a fresh player starts");
        return 0;
    }
    // The spawn copied the template's size; the record does not change it.
    float z = player_free_ground_z(saved.x, saved.y, saved.z, local_player->size);
    if (z != saved.z)
        log_message(2, "Terrain fills the player's saved spot; it is lifted to the free ground at %0.2f", (double)z);
    local_player->position.z = z;
    local_player->velocity = vector{0.0f, 0.0f, 0.0f};
    camera_rotation_xy[0] = global_player_file.heading;
    camera_rotation_xy[1] = global_player_file.pitch;
    global_start_world_frame = global_player_file.world_frame;
    chunkmap_get_xyz((int)saved.x, (int)saved.y, 2048);
    global_start_ground_z = (float)global_voxel_topmost_z;
    int items = 0;
    for (object *o = local_player->inventory_pile; o; o = o->next) items++;
    log_message(3, "Player XYZ == %f, %f, %f", (double)saved.x, (double)saved.y, (double)z);
    log_message(3, "Player restored with %d things on the board, %s in hand, %0.1f hits, world step %u", items,
                local_player->inventory_pile ? local_player->inventory_pile->name : "nothing",
                (double)local_player->hits, (unsigned)global_start_world_frame);
    return 1;
}

void main_spawn_player(void) {
    log_message(5, "Spawning local player");
    object *kind = template_get_by_name("PLAYER");
    if (player_file_ready && kind && main_spawn_saved_player(kind)) return;
    player_file_ready = 0;
    global_start_world_frame = 0;
    main_spawn_fresh_player(kind);
}

uint8_t main_save_player(void) {
    player_steps_since_save = 0;
    if (!local_player) return 0;
    player_file_state state = {global_world_frame, camera_rotation_xy[0], camera_rotation_xy[1], local_player->position};
    char name[CHUNKMAP_PATH_SIZE];
    player_file_name(name, sizeof(name), WORLD_NAME);
    if (player_file_save(name, local_player, &state)) return 1;
    global_player_failed_saves++;
    return 0;
}

void main_player_save_step(uint32_t updates) {
    player_steps_since_save += updates;
    if (player_steps_since_save >= global_player_save_interval) main_save_player();
}
