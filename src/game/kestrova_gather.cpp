// kestrova_gather.cpp — gathering: the dig point along the crosshair, sparks and hints for a swing
// at something too hard, trees grown on the tree seeds of new chunks and their drops, and room
// for the player after T
#include "game/kestrova_gather.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/random.h"
#include "foundation/timer.h"
#include "game/kestrova.h"
#include "objects/inventory.h"
#include "objects/object.h"
#include "objects/object_update.h"
#include "objects/template.h"
#include "sound/sound.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

// The hint shown under the crosshair ("" when none) and the world step it was set on.
static char gather_hint[96] = "";
static uint32_t gather_hint_frame = 0;

void gather_reset(void) {
    gather_hint[0] = 0;
    gather_hint_frame = 0;
}

void gather_set_hint(const char *text) {
    snprintf(gather_hint, sizeof(gather_hint), "%s", text ? text : "");
    gather_hint_frame = global_world_frame;
}

const char *gather_current_hint(void) {
    if (!gather_hint[0] || global_world_frame - gather_hint_frame > GATHER_HINT_STEPS) return nullptr;
    return gather_hint;
}

uint8_t gather_dig_point(const vector *eye, const vector *fore, float radius, vector *out) {
    vector start = *eye;
    vector end = {eye->x + fore->x * GATHER_REACH, eye->y + fore->y * GATHER_REACH, eye->z + fore->z * GATHER_REACH};
    if (!voxel_collide_full_line(&start, &end)) return 0;
    // Centred on the surface the sphere would only pull the surface in; most of a radius deep it
    // takes out whole blocks, its top still breaking the surface.
    const float in = 0.8f * radius;
    *out = vector{end.x + fore->x * in, end.y + fore->y * in, end.z + fore->z * in};
    return 1;
}

uint8_t gather_dig_mouth(const vector *center, const vector *fore, float radius, vector *out) {
    if (!(fore->z < -0.5f)) return 0;
    const float back = 0.4f * radius;
    *out = vector{center->x - fore->x * back, center->y - fore->y * back, center->z - fore->z * back};
    return 1;
}

void gather_too_hard(const object *item, const vector *at, float strength) {
    // Bright chips of the glowing material fly off: a spark.
    object_spawn_debris(VOXEL_BURNING, 255, 6, at->x, at->y, at->z);
    sound_play(chink_sound, 255, 255, 0, 0);
    char text[96];
    if (item && strength < 20.0f)
        snprintf(text, sizeof(text), "Too hard for a %.20s %.20s -- it needs iron or better",
                 metal_name[object_metal_index(item->material)], item->name);
    else
        snprintf(text, sizeof(text), "Too hard to dig");
    gather_set_hint(text);
    log_message(4, "Hint: %s", text);
}

uint8_t gather_grow_tree(float x, float y, float z) {
    object *kind = template_get_by_name("TREE");
    if (!kind) return 0;
    // The model's foot is one size below its centre: it stands on the ground.
    object *tree = object_spawn(kind, nullptr, 0, x, y, z + kind->size);
    if (!tree) return 0;
    log_message(4, "Grew a tree at %0.1f, %0.1f, %0.1f", (double)x, (double)y, (double)z);
    return 1;
}

static void gather_settle_trees_of(int cx, int cy) {
    if (cx < 0 || cy < 0 || cx >= CHUNKMAP_SIZE || cy >= CHUNKMAP_SIZE || !chunk_map[cx][cy]) return;
    for (object *o = chunk_map[cx][cy]->local_object_pile; o; o = o->next) {
        if (!o->behave_like_tree) continue;
        // The chunk file keeps normals to a hundredth, and the ground a tree rests on is the
        // ground read back: the normals under it are rounded now, as saving would round them.
        const int reach = (int)o->size + GATHER_SETTLE_REACH;
        for (int y = (int)o->position.y - reach; y <= (int)o->position.y + reach; y++)
            for (int x = (int)o->position.x - reach; x <= (int)o->position.x + reach; x++)
                for (voxel *v = chunkmap_get_xy(x, y); v; v = v->next) voxel_round_trip_normal(v);
        if (!object_settle(o, GATHER_SETTLE_STEPS))
            log_message(2, "A tree at %0.1f, %0.1f, %0.1f did not come to rest", (double)o->position.x,
                        (double)o->position.y, (double)o->position.z);
    }
}

void gather_settle_trees(int cx, int cy) {
    if (cx < 0 || cy < 0 || cx >= CHUNKMAP_SIZE || cy >= CHUNKMAP_SIZE || !chunk_map[cx][cy]) return;
    // A new chunk's ore pockets and edges reach into its resident neighbours, so their trees are
    // settled again on what is now their ground (a tree already at rest takes a few steps).
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++) gather_settle_trees_of(cx + dx, cy + dy);
}

object *gather_drop_from_tree(const object *tree, const char *kind_name) {
    object *kind = template_get_by_name(kind_name);
    if (!kind || !tree) return nullptr;
    object *drop = object_spawn(kind, nullptr, 300, tree->position.x, tree->position.y, tree->position.z);
    if (!drop) return nullptr;
    drop->inventory_stack_count = 1;
    float angle = random_range(0.0f, 6.2831859f);
    drop->velocity = vector{0.05f * sinf(angle), 0.05f * cosf(angle), 0.1f};
    drop->no_collide_parent = (object *)tree;
    return drop;
}

int gather_free_player(void) {
    if (!local_player) return 0;
    const vector p = local_player->position;
    // The body from the feet up, and a block of head room above the eyes.
    const float radius = local_player->size + 1.0f;
    const int x0 = (int)floorf(p.x - radius), x1 = (int)floorf(p.x + radius);
    const int y0 = (int)floorf(p.y - radius), y1 = (int)floorf(p.y + radius);
    const int z0 = (int)floorf(p.z - local_player->size), z1 = (int)floorf(p.z + 2.0f);
    int cleared = 0;
    for (int z = z0; z <= z1; z++)
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                if (x < 0 || y < 0 || z < 1) continue;
                const float dx = (float)x + 0.5f - p.x, dy = (float)y + 0.5f - p.y;
                if (dx * dx + dy * dy > radius * radius) continue;
                const voxel *v = chunkmap_get_xyz(x, y, z);
                if (!v) continue;
                const uint8_t m = voxel_material(v);
                // Only what the tree laid: the ground the player stands on stays.
                if (m != VOXEL_BARK && m != VOXEL_LEAVES) continue;
                cleared += voxel_set_xyz(x, y, z, 0, 0, 1) ? 1 : 0;
            }
    if (!cleared) return 0;
    for (int y = y0 - 1; y <= y1 + 1; y++)
        for (int x = x0 - 1; x <= x1 + 1; x++) voxel_compress_checked_xy(x, y);
    voxel_relight_sphere_xyz(p.x, p.y, p.z, radius + 6.0f, 1);
    for (int y = y0 - 2; y <= y1 + 2; y++)
        for (int x = x0 - 2; x <= x1 + 2; x++) chunkmap_invalidate_xy_multri(x, y);
    log_message(4, "Cleared %d blocks of the tree out of the player's way", cleared);
    return cleared;
}
