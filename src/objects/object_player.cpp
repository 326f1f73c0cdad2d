// object_player.cpp — the local player's controls and swimming, the object under the crosshair, and
// the smoke and flame of burning blocks
#include <cmath>

#include "foundation/logfile.h"
#include "foundation/settings.h"
#include "objects/object_update.h"
#include "objects/template.h"
#include "objects/player_file.h"
#include "sound/sound.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"

player_command global_player_command = {};
uint16_t global_burning_count = 0;
static vector burning_position[OBJECT_MAX_BURNING];

uint8_t object_point_in_water(float x, float y, float z) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !(z < global_ocean_level)) return 0;
    if (x < 0.0f || y < 0.0f || x >= (float)CHUNKMAP_COLUMNS || y >= (float)CHUNKMAP_COLUMNS) return 1;
    // Open water: nothing solid in the column at or above the point (a cave below the sea is dry).
    int top = 0, z_base = 0;
    for (const voxel *v = chunkmap_get_xy((int)x, (int)y); v; v = v->next) {
        z_base += voxel_length(v);
        if (voxel_material(v) != 0) top = z_base;
    }
    return (float)top <= z ? 1 : 0;
}

uint8_t object_local_player_swimming(void) {
    if (!local_player) return 0;
    const object *p = local_player;
    if (!object_point_in_water(p->position.x, p->position.y, p->position.z)) return 0;
    // Wading is not swimming: a body whose feet reach the bottom stands, until the water closes
    // over its eyes. The reach is under half the body's radius, so a body floating with its middle
    // at the surface over water too deep to stand in keeps floating rather than bobbing.
    if (object_local_player_eye_under_water()) return 1;
    return player_feet_on_ground(&p->position, p->size, OBJECT_WADING_REACH * p->size) ? 0 : 1;
}

uint8_t object_local_player_eye_under_water(void) {
    if (!local_player) return 0;
    const vector &p = local_player->position;
    return object_point_in_water(p.x, p.y, p.z + 0.5f * local_player->size);
}

// An ordinary jump lifts the centre by about 2.3. With a ledge ahead (the way the player walks,
// else the way it looks) higher than 1.5 and within the climb, the jump is a climb: it rises
// straight up to half a block above the ledge, and walking carries the body on only once it is
// level with the ledge, so it does not catch under the rim. The deepest pit one dig makes is
// climbed out of this way.
#define OBJECT_JUMP_SPEED 0.15f
#define OBJECT_JUMP_LEAST 1.5f
#define OBJECT_GRAVITY 0.005f
static uint8_t object_climbing = 0;
static float object_climb_top = 0.0f;

static float object_jump_speed(const object *p, const vector *direction) {
    float dx = direction->x, dy = direction->y;
    if (dx * dx + dy * dy < 0.01f) {
        dx = global_player_command.fore.x;
        dy = global_player_command.fore.y;
    }
    const float rise = player_climb_rise(&p->position, p->size, dx, dy, OBJECT_JUMP_LEAST, PLAYER_CLIMB_MOST);
    if (!(rise > 0.0f)) return OBJECT_JUMP_SPEED;
    object_climbing = 1;
    object_climb_top = p->position.z + rise;
    log_message(4, "Climbing onto the ledge %.1f above", (double)rise);
    return fmaxf(OBJECT_JUMP_SPEED, player_jump_speed_for(rise + 0.5f, OBJECT_GRAVITY));
}

void object_local_player_controls(void) {
    object *p = local_player;
    player_command &c = global_player_command;
    if (p) {
        vector direction = {0.0f, 0.0f, 0.0f};
        float speed = 0.0f;
        if (c.forward) {
            direction = c.fore;
            local_walk_count++;
            local_walk_fade += 0.1f;
            speed = 0.1f;
        }
        if (c.back) {
            direction.x -= c.fore.x;
            direction.y -= c.fore.y;
            direction.z -= c.fore.z;
            local_walk_fade += 0.1f;
            speed = 0.1f;
        }
        if (c.left) {
            direction.x -= c.side.x;
            direction.y -= c.side.y;
            direction.z -= c.side.z;
            speed = 0.1f;
        }
        if (c.right) {
            direction.x += c.side.x;
            direction.y += c.side.y;
            direction.z += c.side.z;
            speed = 0.1f;
        }
        // A climb ends at the ledge's height or when the body stops rising.
        if (object_climbing && (!(p->velocity.z > 0.0f) || !(p->position.z < object_climb_top))) object_climbing = 0;
        if (speed > 0.0f) {
            if (c.run) speed *= 2.0f;
            float length = sqrtf(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z +
                                 0.00001f);
            direction.x /= length;
            direction.y /= length;
            direction.z /= length;
        }
        if (speed > 0.0f && !object_climbing) {
            p->position.x += speed * direction.x;
            p->position.y += speed * direction.y;
            p->position.z += speed * direction.z;
            int x = std::isfinite(p->position.x) ? (int)fmaxf(fminf(p->position.x, 1.0e6f), -1.0f) : -1;
            int y = std::isfinite(p->position.y) ? (int)fmaxf(fminf(p->position.y, 1.0e6f), -1.0f) : -1;
            object **pile = chunkmap_pile_pointer(x, y);
            if (pile && pile != p->current_pile) put_object_into_pile(p, pile);
        }
        if (object_local_player_swimming()) {
            // Water carries the body: the deeper it is, the harder it is pushed up, and the water
            // slows every movement. Space strokes upwards.
            float depth = fminf(global_ocean_level - p->position.z, 1.0f);
            p->velocity.z += 0.005f + 0.01f * depth;
            p->velocity.x *= 0.9f;
            p->velocity.y *= 0.9f;
            p->velocity.z *= 0.9f;
            if (c.swim_up) p->velocity.z += 0.01f;
        } else if (c.jump && p->jumps_remaining > 0) {
            p->velocity.z = object_jump_speed(p, &direction);
            if (!object_climbing) {
                p->velocity.x += 0.05f * direction.x;
                p->velocity.y += 0.05f * direction.y;
            }
            p->jumps_remaining--;
            c.jump = 0;
            if (jump_sound) sound_play(jump_sound, 255, 255, 0, 0);
        }
    }
    local_walk_fade *= 0.9f;
}

void object_determine_inworld_selected_object(void) {
    global_inworld_selected_object = nullptr;
    object *p = local_player;
    if (!p) return;
    float best = 100.0f;
    static const float corner[4][2] = {{-16, -16}, {16, -16}, {16, 16}, {-16, 16}};
    for (int k = 0; k < 4; k++) {
        float cxf = p->position.x + corner[k][0], cyf = p->position.y + corner[k][1];
        if (!std::isfinite(cxf) || !std::isfinite(cyf) || cxf < 0.0f || cyf < 0.0f) continue;
        for (object *o = chunkmap_first_object_in_pile((int)fminf(cxf, 1.0e6f), (int)fminf(cyf, 1.0e6f)); o;
             o = o->next) {
            if (o->weight >= 1000.0f || o->behave_like_bomb || o->behave_like_zombi || !o->full_collide) continue;
            vector v = {o->position.x - p->position.x, o->position.y - p->position.y, o->position.z - p->position.z};
            const player_command &c = global_player_command;
            float fore = v.x * c.fore.x + v.y * c.fore.y + v.z * c.fore.z;
            float speed2 = o->velocity.x * o->velocity.x + o->velocity.y * o->velocity.y + o->velocity.z * o->velocity.z;
            if (!(fore > 0.01f) || !(fore - o->size - p->size < 3.0f) || !(speed2 < 0.01f)) continue;
            float up = v.x * c.up.x + v.y * c.up.y + v.z * c.up.z;
            float side = v.x * c.side.x + v.y * c.side.y + v.z * c.side.z;
            float off = sqrtf(up * up + side * side);
            if (off / fore < 0.5f && off < best) {
                global_inworld_selected_object = o;
                best = off;
            }
        }
    }
}

void object_terrain_model_place(const voxel *v, int x, int y, int base_z, vector *point, vector *normal,
                                vector *axis) {
    *point = {(float)x + (float)((v->data >> 7) & 7) * 0.125f + 0.0625f,
              (float)y + (float)((v->data >> 10) & 7) * 0.125f + 0.0625f,
              (float)base_z + (float)(v->data >> 13) * 0.125f + 0.0625f};
    const vector n = {v->nx, v->ny, v->nz};
    *normal = n;
    // up x n = (-n.y, n.x, 0)
    vector a = {-n.y, n.x, 0.0f};
    float len = sqrtf(a.x * a.x + a.y * a.y + 0.00001f);
    a.x /= len;
    a.y /= len;
    *axis = a;
}

// The burning blocks of one column that has its terrain models drawn (material 28 shows one).
static void object_collect_burning_column(int x, int y) {
    if (x < 0 || y < 0 || x >= CHUNKMAP_COLUMNS || y >= CHUNKMAP_COLUMNS || !voxel_material_object[VOXEL_BURNING]) return;
    int z = 0;
    for (const voxel *v = chunkmap_get_xy(x, y); v; v = v->next) {
        int base_z = z;
        z += voxel_length(v);
        if (!voxel_is_single(v) || voxel_material(v) != VOXEL_BURNING) continue;
        vector p, n, axis;
        object_terrain_model_place(v, x, y, base_z, &p, &n, &axis);
        // The flame sits off the block's face and to one side: axis x n.
        vector an = {axis.y * n.z - axis.z * n.y, axis.z * n.x - axis.x * n.z, axis.x * n.y - axis.y * n.x};
        object_note_burning_block(p.x + 0.2f * n.x + 0.4f * an.x, p.y + 0.2f * n.y + 0.4f * an.y,
                                  p.z + 0.2f * n.z + 0.4f * an.z);
    }
}

void object_collect_burning_blocks(float centerx, float centery, const vector *eye, const vector *fore,
                                   float radius) {
    global_burning_count = 0;
    if (!std::isfinite(centerx) || !std::isfinite(centery) || centerx < 0.0f || centery < 0.0f) return;
    int d = global_display_distance;
    int camx = (int)eye->x, camy = (int)eye->y;
    float r2 = radius * radius;
    for (int y = camy - d; y <= camy + d; y++) {
        for (int x = camx - d; x <= camx + d; x++) {
            float dx = (float)x + 0.5f - eye->x, dy = (float)y + 0.5f - eye->y;
            if (!(dx * dx + dy * dy < r2)) continue;
            if (dx * fore->x + dy * fore->y <= -5.0f) continue;
            object_collect_burning_column(x, y);
        }
    }
}

void object_note_burning_block(float x, float y, float z) {
    if (global_burning_count >= OBJECT_MAX_BURNING) return;
    burning_position[global_burning_count++] = vector{x, y, z};
}

void object_burning_step(void) {
    for (uint16_t i = 0; i < global_burning_count; i++) {
        const vector &b = burning_position[i];
        object_spawn_smoke(b.x, b.y, b.z, 0.03f, 0.1f);
        object_spawn_flame(b.x, b.y, b.z, 0.01f, 0.1f);
    }
}

void object_player_reset(void) {
    global_player_command = player_command{};
    object_climbing = 0;
    object_climb_top = 0.0f;
}
