// chunkmap.cpp — the chunk grid, chunk records, the column and voxel lookups
#include "world/chunkmap.h"

#include <cstdlib>

#include "foundation/vecmath.h"
#include "foundation/logfile.h"
#include "terrain/multri.h"

chunk *chunk_map[CHUNKMAP_SIZE][CHUNKMAP_SIZE];
uint32_t last_chunkmap_update = 0;
voxel *global_voxel_topmost = nullptr;
uint16_t global_voxel_topmost_z = 0;
voxel *global_last_single_voxel = nullptr;

static void chunkmap_release_multri_list(multri **slot) {
    multri_destroy(*slot);
    *slot = nullptr;
}

void (*chunkmap_pile_destroy_hook)(chunk *c) = nullptr;

void chunkmap_setup(void) {
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++)
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            chunk_map[cx][cy] = nullptr;
            global_chunkmap_from_file[cx][cy] = 0;
        }
}

void chunkmap_reset(void) {
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            chunk_destroy(chunk_map[cx][cy]);
            chunk_map[cx][cy] = nullptr;
            global_chunkmap_from_file[cx][cy] = 0;
        }
    }
    last_chunkmap_update = 0;
}

chunk *chunk_create(void) {
    // calloc leaves every pillar, cache slot, flag and the pile empty.
    return (chunk *)calloc(1, sizeof(chunk));
}

void chunk_destroy(chunk *c) {
    if (!c) return;
    for (int x = 0; x < CHUNK_SIZE; x++) {
        for (int y = 0; y < CHUNK_SIZE; y++) {
            voxel_destroy(c->pillar[x][y]);
            c->pillar[x][y] = nullptr;
        }
    }
    for (int level = 0; level < 4; level++)
        for (int x = 0; x < CHUNK_SIZE; x++)
            for (int y = 0; y < CHUNK_SIZE; y++) chunkmap_release_multri_list(&c->multri_list[level][x][y]);
    // Without the object layer nothing spawns objects, so the pile is empty.
    if (chunkmap_pile_destroy_hook) chunkmap_pile_destroy_hook(c);
    c->local_object_pile = nullptr;
    free(c->kept_objects);
    free(c);
}

static inline uint8_t chunkmap_on_map(int x, int y) {
    return (x >= 0 && x < CHUNKMAP_COLUMNS && y >= 0 && y < CHUNKMAP_COLUMNS) ? 1 : 0;
}

// The resident chunk holding column (x, y), or none when off the map or not resident.
static inline chunk *chunkmap_chunk_xy(int x, int y) {
    if (!chunkmap_on_map(x, y)) return nullptr;
    return chunk_map[x >> CHUNK_SHIFT][y >> CHUNK_SHIFT];
}

object **chunkmap_pile_pointer(int x, int y) {
    chunk *c = chunkmap_chunk_xy(x, y);
    return c ? &c->local_object_pile : nullptr;
}

object *chunkmap_first_object_in_pile(int x, int y) {
    chunk *c = chunkmap_chunk_xy(x, y);
    return c ? c->local_object_pile : nullptr;
}

voxel *chunkmap_get_xy(int x, int y) {
    chunk *c = chunkmap_chunk_xy(x, y);
    return c ? c->pillar[x & (CHUNK_SIZE - 1)][y & (CHUNK_SIZE - 1)] : nullptr;
}

voxel *chunkmap_get_xy_off_map(int x, int y) {
    chunk *c = chunkmap_chunk_xy(x, y);
    if (!c) return global_off_map_voxel;
    return c->pillar[x & (CHUNK_SIZE - 1)][y & (CHUNK_SIZE - 1)];
}

multri **chunkmap_get_xy_multri(int shift, int x, int y) {
    if (shift < 0 || shift > 3) return nullptr;
    chunk *c = chunkmap_chunk_xy(x, y);
    return c ? &c->multri_list[shift][x & (CHUNK_SIZE - 1)][y & (CHUNK_SIZE - 1)] : nullptr;
}

void chunkmap_invalidate_xy_multri(int x, int y) {
    chunk *c = chunkmap_chunk_xy(x, y);
    if (!c) return;
    for (int level = 0; level < 4; level++)
        chunkmap_release_multri_list(&c->multri_list[level][x & (CHUNK_SIZE - 1)][y & (CHUNK_SIZE - 1)]);
}

// Walks a column from the bottom; the height sum is 16-bit, as the side result holds it.
static voxel *chunkmap_walk_to_z(voxel *v, int z, uint8_t track_single) {
    global_voxel_topmost = nullptr;
    global_voxel_topmost_z = 0;
    for (; v; v = v->next) {
        global_voxel_topmost_z = (uint16_t)(global_voxel_topmost_z + voxel_length(v));
        global_voxel_topmost = v;
        if (track_single && voxel_is_single(v)) global_last_single_voxel = v;
        if (z < (int)global_voxel_topmost_z) return v;
    }
    return nullptr;
}

voxel *chunkmap_get_xyz(int x, int y, int z) { return chunkmap_walk_to_z(chunkmap_get_xy(x, y), z, 0); }

voxel *chunkmap_get_xyz_off_map(int x, int y, int z) {
    voxel *bottom = chunkmap_get_xy_off_map(x, y);
    global_last_single_voxel = bottom;
    return chunkmap_walk_to_z(bottom, z, 1);
}
