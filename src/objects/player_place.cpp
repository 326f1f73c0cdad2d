// player_place.cpp — where a player may be put: the nearest free ground at or above a spot,
// whether a body's feet reach the ground under it, and the ledge ahead a jump climbs onto
#include <cmath>

#include "models/squishy.h"
#include "objects/player_file.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

// The highest spot looked at above the starting one: taller than any column can grow.
#define PLAYER_PLACE_SEARCH_LIMIT 2100
// The most the collision may move a body, in parts of its radius, for its spot to count as free.
#define PLAYER_PLACE_NUDGE 0.35f

// 1 when a body at (x, y, z) is inside terrain: the collision the simulation runs cannot push it
// out, or only by moving it more than a part of its radius. A body resting on the ground, sunk a
// little into a shaped surface block as bodies always are, is not inside.
static uint8_t player_sphere_blocked(float x, float y, float z, float radius) {
    vector pushed = {x, y, z};
    if (!squishy_collide(&pushed, radius, 20, 1)) return 1;
    float dx = pushed.x - x, dy = pushed.y - y, dz = pushed.z - z;
    return dx * dx + dy * dy + dz * dz > PLAYER_PLACE_NUDGE * PLAYER_PLACE_NUDGE * radius * radius ? 1 : 0;
}

float player_free_ground_z(float x, float y, float z, float radius) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return z;
    if (!(radius > 0.0f)) radius = OBJECT_MIN_SIZE;
    if (!player_sphere_blocked(x, y, z, radius)) return z;
    // A body resting on a block has its centre about a radius above a whole height: try those from
    // the first one above the spot upwards.
    float base = floorf(z - radius) + 1.0f;
    for (int step = 0; step < PLAYER_PLACE_SEARCH_LIMIT; step++) {
        float rest = base + (float)step + radius;
        if (!player_sphere_blocked(x, y, rest, radius)) return rest;
    }
    return base + (float)PLAYER_PLACE_SEARCH_LIMIT + radius;
}

uint8_t player_feet_on_ground(const vector *center, float radius, float reach) {
    if (!center || !std::isfinite(center->x) || !std::isfinite(center->y) || !std::isfinite(center->z)) return 0;
    if (center->x < 0.0f || center->y < 0.0f || center->x >= (float)CHUNKMAP_COLUMNS ||
        center->y >= (float)CHUNKMAP_COLUMNS)
        return 0;
    // The top of the highest solid run that begins below the centre.
    float top = -1.0e9f;
    int base = 0;
    for (const voxel *v = chunkmap_get_xy((int)center->x, (int)center->y); v; v = v->next) {
        int length = voxel_length(v);
        if ((float)base >= center->z) break;
        if (voxel_material(v) != 0) top = (float)(base + length);
        base += length;
    }
    return top >= center->z - radius - reach ? 1 : 0;
}

float player_climb_rise(const vector *center, float radius, float dx, float dy, float least, float most) {
    if (!center || !std::isfinite(center->x) || !std::isfinite(center->y) || !std::isfinite(center->z) ||
        !std::isfinite(dx) || !std::isfinite(dy) || !(radius > 0.0f) || !(most > least))
        return 0.0f;
    const float length = sqrtf(dx * dx + dy * dy);
    if (length < 0.1f) return 0.0f;
    dx /= length;
    dy /= length;
    // Room overhead: the climb rises straight up before it moves onto the ledge.
    vector top = {center->x, center->y, center->z + most + radius};
    float room = most + radius;
    if (voxel_collide_full_line(center, &top)) room = top.z - center->z;
    // Ground a little ahead, then further: a pit is often wider below than at its rim, so the
    // spot just ahead of the body may still be inside it.
    static const float ahead[3] = {0.4f, 0.8f, 1.2f};
    for (float a : ahead) {
        const float x = center->x + dx * (radius + a), y = center->y + dy * (radius + a);
        const float rest = player_free_ground_z(x, y, center->z, radius);
        const float rise = rest - center->z;
        if (!(rise > least)) continue;
        if (rise > most) return 0.0f;
        return rise + radius <= room ? rise : 0.0f;
    }
    return 0.0f;
}

float player_jump_speed_for(float height, float gravity) {
    if (!(height > 0.0f) || !(gravity > 0.0f)) return 0.0f;
    // A body moved by v, v - g, v - 2g, ... rises v * v / (2g) + v / 2 in all.
    return -0.5f * gravity + sqrtf(0.25f * gravity * gravity + 2.0f * gravity * height);
}
