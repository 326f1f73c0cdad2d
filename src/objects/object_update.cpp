// object_update.cpp — one world step of the objects near the camera target: countdowns,
// behaviours, sphere physics against the terrain and each other, and light tracking
#include "objects/object_update.h"

#include <cmath>

#include "foundation/logfile.h"
#include "foundation/settings.h"
#include "models/joint.h"
#include "models/model.h"
#include "models/squishy.h"
#include "objects/template.h"
#include "sound/sound.h"
#include "terrain/multri.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

uint32_t local_walk_count = 0;
float local_walk_fade = 0.0f;
uint8_t local_player_hit_timer = 0;
uint16_t local_player_grace_timer = 0;
sound_effect *jump_sound = nullptr, *bomb_sound = nullptr;
uint16_t global_object_shake = 0;

uint8_t object_local_player_protected(void) {
    if (local_player_grace_timer || draw_inventory || draw_menu) return 1;
    return local_player && !(local_player->hits > 0.0f) ? 1 : 0;
}

uint8_t object_get_light(float x, float y, float z) {
    int ix = std::isfinite(x) ? (int)fmaxf(fminf(x, 1.0e6f), -1.0e6f) : -1;
    int iy = std::isfinite(y) ? (int)fmaxf(fminf(y, 1.0e6f), -1.0e6f) : -1;
    int iz = std::isfinite(z) ? (int)fmaxf(fminf(z, 1.0e6f), -1.0e6f) : -1;
    global_last_single_voxel = nullptr;
    chunkmap_get_xyz_off_map(ix, iy, iz);
    if (!global_last_single_voxel) return global_sun_light_level;
    uint16_t s = global_last_single_voxel->sunlight, g = global_last_single_voxel->glowlight;
    uint16_t t = (uint16_t)((uint16_t)(s + s / 2) * (uint16_t)global_sun_light_level);
    t = (uint16_t)(t >> 7);
    t = (uint16_t)(t + 2 * g);
    return t > 255 ? (uint8_t)255 : (uint8_t)t;
}

void object_collide(object *q, object *u) {
    if (!q || !u || q == u) return;
    vector d = {u->position.x - q->position.x, u->position.y - q->position.y, u->position.z - q->position.z};
    float reach = q->size + u->size;
    float d2 = vector_dot(d, d);
    if (!(reach * reach > d2 && d2 > 0.00001f)) return;
    float dist = sqrtf(d2);
    vector n = {d.x / dist, d.y / dist, d.z / dist};
    float wsum = u->weight + q->weight;
    if (!(wsum > 0.0f) || q->no_collide_parent == u || u->no_collide_parent == q) return;
    vector rv = {u->velocity.x - q->velocity.x, u->velocity.y - q->velocity.y, u->velocity.z - q->velocity.z};
    float k = -2.0f * vector_dot(n, rv);
    vector impulse = {k * n.x, k * n.y, k * n.z};
    if (u->weight < OBJECT_IMMOVABLE_WEIGHT) {
        float s = q->weight / wsum * (reach - dist);
        u->vdamp.x += n.x * s;
        u->vdamp.y += n.y * s;
        u->vdamp.z += n.z * s / 2.0f;
        float m = fminf(q->weight / wsum, 0.5f);
        u->velocity.x += m * impulse.x;
        u->velocity.y += m * impulse.y;
        u->velocity.z += m * impulse.z;
    }
    if (q->weight < OBJECT_IMMOVABLE_WEIGHT) {
        float s = u->weight / wsum * (reach - dist);
        q->vdamp.x -= n.x * s;
        q->vdamp.y -= n.y * s;
        q->vdamp.z -= n.z * s / 2.0f;
        float m = fminf(u->weight / wsum, 0.5f);
        q->velocity.x -= m * impulse.x;
        q->velocity.y -= m * impulse.y;
        q->velocity.z -= m * impulse.z;
    }
}

static uint8_t object_is_dust_template(const object *o) {
    return dust_object_template && o->template_index == dust_object_template->template_index;
}

static void object_three_bursts(const object *o, const float bursts[3][5]) {
    for (int i = 0; i < 3; i++)
        object_spawn_dust(o->light, (uint16_t)bursts[i][0], o->position.x, o->position.y, o->position.z, bursts[i][1],
                          bursts[i][2], bursts[i][3], bursts[i][4]);
}

static void object_behave_bomb(object *o, uint8_t *destroy) {
    if (o->delay >= 2) {
        uint16_t period = o->delay >= 90 ? 60 : 30;
        o->mesh_local_texture_index[0] = (o->delay % period) < 15 ? 1 : 0;
    }
    if (o->delay == 1) {
        if (bomb_sound) sound_play(bomb_sound, 255, 255, 0, 0);
        o->size = 5.0f;
        o->weight = 100.0f;
        voxel_sphere_xyz(o->position.x, o->position.y, o->position.z, 5.0f, 0, 1, 1, 20.0f, 0);
        global_object_shake = OBJECT_SHAKE_STEPS;
        static const float bursts[3][5] = {{20, 0.55f, 0.55f, 1, 1}, {40, 0.4f, 0.4f, 3, 1}, {50, 0.15f, 0.15f, 5, 1}};
        object_three_bursts(o, bursts);
    }
    if (o->delay == 0) *destroy = 1;
}

// An angle in turns-times-65535 as a 16-bit spin: through a signed integer, so negative angles wrap
// instead of being undefined.
static uint16_t object_spin_from_radians(float radians) {
    float turns = radians / 6.283186f * 65535.0f;
    if (!std::isfinite(turns)) turns = 0.0f;
    int32_t a = (int32_t)turns + 16384;
    return (uint16_t)(a & 0xFFFF);
}

// Daylight: the zombi stands in flames and smoke, then falls apart as a struck one does (or, with
// no joints to fall with, crumbles to dust at once).
static void object_zombi_burn(object *o, uint8_t *destroy) {
    if (o->burning == 0)
        log_message(3, "Zombi at %0.1f, %0.1f, %0.1f burns in the daylight", (double)o->position.x,
                    (double)o->position.y, (double)o->position.z);
    o->burning++;
    if ((o->burning & 3) == 1) {
        float h = o->size * (float)(o->burning & 12) / 12.0f;
        object_spawn_flame(o->position.x, o->position.y, o->position.z - 0.5f * o->size + h, 0.03f, 0.5f * o->size);
        object_spawn_smoke(o->position.x, o->position.y, o->position.z + 0.5f * o->size, 0.02f, 0.4f * o->size);
    }
    if (o->burning < OBJECT_ZOMBI_BURN_STEPS) return;
    o->hits = -1.0f;
    if (!o->joints)
        o->joints = joint_array_create(o->model_index, &o->position, o->facing_xyzw, o->frame, 1.0f, 0.5f);
    o->delay = 60;
    if (!o->joints) {
        static const float bursts[3][5] = {
            {20, 0.1f, 0.01f, 0.3f, 0.75f}, {30, 0.2f, 0.01f, 0.2f, 0.75f}, {40, 0.3f, 0.01f, 0.1f, 0.75f}};
        object_three_bursts(o, bursts);
        *destroy = 1;
    }
}

static void object_behave_zombi(object *o, uint8_t *destroy) {
    // A dead zombi that has no ragdoll to play out lies still until its countdown ends.
    if (o->hits <= 0.0f) {
        if (o->delay == 0) *destroy = 1;
        return;
    }
    // Zombis belong to the night: by day (a saved one brought back by day as well) they burn away.
    if (global_day_night_cycle <= 0.5f && !o->spared_by_daylight) {
        object_zombi_burn(o, destroy);
        return;
    }
    const vector &target = global_player_command.target;
    float dx = target.x - o->position.x, dy = target.y - o->position.y;
    float dist = sqrtf(dx * dx + dy * dy + 0.00001f);
    dx /= dist;
    dy /= dist;
    // Out of sight the zombi stays where it is, swaying on the spot.
    if (dist > OBJECT_ZOMBI_NOTICE_DISTANCE) {
        if (o->delay == 0) {
            o->frame = model_next_frame(o->model_index, o->frame, "WALK1");
            o->delay = 2;
        }
        return;
    }
    if (dist > 3.0f) {
        o->vdamp.x += 0.03f * dx;
        o->vdamp.y += 0.03f * dy;
    }
    if (dist < 5.0f && o->hits > 0.0f) {
        uint16_t attack = model_get_start_or_last_frame(o->model_index, (const uint8_t *)"ATTACK1", 1);
        if (model_get_frame_animation_type(o->model_index, o->frame) !=
            model_get_frame_animation_type(o->model_index, attack)) {
            log_message(5, "Zombi %p attacks from %0.2f blocks", (void *)o, (double)dist);
            o->frame = attack;
        }
    }
    if (o->frame == OBJECT_ZOMBI_BLOW_FRAME && dist < 5.0f && local_player) {
        float dz = target.z - o->position.z;
        dx = target.x - o->position.x;
        dy = target.y - o->position.y;
        float dist3 = sqrtf(dx * dx + dy * dy + dz * dz + 0.00001f);
        dx /= dist3;
        dy /= dist3;
        // The grace after a respawn, the open board or title, or a player already dying: no blow lands.
        if (dist3 < 5.0f && !object_local_player_protected()) {
            if (local_player_hit_timer == 0) local_player->hits -= 1.0f;
            local_player_hit_timer = 15;
            global_object_shake = OBJECT_SHAKE_STEPS;
        }
    }
    o->spin = object_spin_from_radians(atan2f(dy, dx));
    if (o->delay == 0) {
        o->frame = model_next_frame(o->model_index, o->frame, "WALK1");
        o->delay = 2;
    }
}

static void object_behave_tree(object *o, uint8_t *destroy) {
    if (o->delay != 0) return;
    uint16_t animation = model_get_frame_animation_type(o->model_index, o->frame);
    o->frame++;
    if (model_get_frame_animation_type(o->model_index, o->frame) != animation) {
        if (o->frame > 1 && o->num_mesh > 0) o->mesh_index[0]++;
        o->frame = 0;
        if (o->hits == 0.0f) *destroy = 1;
    }
    o->delay = 2;
}

// Drops the cached triangles of the column whose pillar holds v, searching the columns around p.
static void object_invalidate_column_of(const voxel *v, const vector *p, int reach) {
    int px = (int)p->x, py = (int)p->y;
    for (int y = py - reach; y <= py + reach; y++) {
        for (int x = px - reach; x <= px + reach; x++) {
            for (const voxel *r = chunkmap_get_xy(x, y); r; r = r->next) {
                if (r == v) {
                    chunkmap_invalidate_xy_multri(x, y);
                    return;
                }
            }
        }
    }
}

static void object_become_terrain(object *o, uint8_t *destroy) {
    voxel *v = global_squishy_surface_voxel;
    // The shared off-map and empty records stand for many columns: never rewrite them.
    if (!v || v == global_off_map_voxel || v == global_empty_voxel || !voxel_is_single(v)) return;
    uint8_t m = voxel_material(v), mine = (uint8_t)(o->behave_like_terrain_model & VOXEL_MATERIAL_MASK);
    if (m == VOXEL_CRYSTAL || m == mine) return;
    v->data = (uint16_t)((v->data & ~VOXEL_MATERIAL_MASK) | mine);
    int reach = (int)fminf(o->size, 5.0f) + 2;
    object_invalidate_column_of(v, &o->position, reach);
    if (mine == VOXEL_BURNING) {
        voxel_relight_sphere_xyz(o->position.x, o->position.y, o->position.z, 8.0f, 1);
        // The glow reaches the neighbours' blocks too: their cached triangles must be lit anew, or
        // only the torch's own column would show its light.
        int cx = (int)o->position.x, cy = (int)o->position.y;
        for (int y = cy - 9; y <= cy + 9; y++)
            for (int x = cx - 9; x <= cx + 9; x++) chunkmap_invalidate_xy_multri(x, y);
    }
    *destroy = 1;
}

// One step's move: the damped push halves, and velocity and push carry the object on.
static void object_move_one_step(object *o) {
    o->vdamp.x *= 0.5f;
    o->vdamp.y *= 0.5f;
    o->vdamp.z *= 0.5f;
    o->position.x += o->velocity.x + o->vdamp.x;
    o->position.y += o->velocity.y + o->vdamp.y;
    o->position.z += o->velocity.z + o->vdamp.z;
}

static void object_physics_static(object *o, const vector *old) {
    o->velocity.z -= 0.005f;
    float size = o->size > OBJECT_MIN_SIZE ? o->size : OBJECT_MIN_SIZE;
    if (!squishy_collide(&o->position, size, 20, 1)) {
        o->position.x = 0.5f * (o->position.x + old->x);
        o->position.y = 0.5f * (o->position.y + old->y);
        o->position.z = 0.5f * (o->position.z + old->z);
        squishy_collide(&o->position, size, 5, 0);
    }
    if (global_squishy_supported) {
        o->velocity.x *= 0.7f;
        o->velocity.y *= 0.7f;
        if (o->velocity.z < 0.0f)
            o->velocity.z *= -0.3f;
        else
            o->velocity.z *= 0.9f;
        o->jumps_remaining = 1;
        // A thing lying on the ground (not a walker) that a step moves less than a hair's breadth
        // stays where it was: gravity and the ground's push would otherwise make it creep, and
        // each game would save it a little lower or further along.
        const float dx = o->position.x - old->x, dy = o->position.y - old->y, dz = o->position.z - old->z;
        if (o != local_player && !o->behave_like_zombi && dx * dx + dy * dy + dz * dz < 0.0001f) {
            o->position = *old;
            o->velocity = vector{0.0f, 0.0f, 0.0f};
            o->vdamp = vector{0.0f, 0.0f, 0.0f};
        }
    }
    float a = (float)o->spin / 65535.0f * 2.0f * KESTROVA_PI;
    o->facing_xyzw[0] = 0.0f;
    o->facing_xyzw[1] = 0.0f;
    o->facing_xyzw[2] = sinf(a / 2.0f);
    o->facing_xyzw[3] = cosf(a / 2.0f);
}

static void object_physics_rolling(object *o, const vector *old, uint8_t *destroy) {
    o->velocity.z -= 0.005f;
    float size = o->size > OBJECT_MIN_SIZE ? o->size : OBJECT_MIN_SIZE;
    squishy_collide(&o->position, size, 5, 0);
    vector mv = {o->position.x - old->x, o->position.y - old->y, o->position.z - old->z};
    if (vector_dot(mv, mv) < 0.0004f) {
        o->position.x = 0.01f * o->position.x + 0.99f * old->x;
        o->position.y = 0.01f * o->position.y + 0.99f * old->y;
        o->position.z = 0.01f * o->position.z + 0.99f * old->z;
    }
    if (o->flat_on_ground) {
        o->facing_xyzw[0] *= 0.99f;
        o->facing_xyzw[1] *= 0.99f;
        o->facing_xyzw[2] *= 0.99f;
        o->facing_xyzw[3] = 0.95f * o->facing_xyzw[3] + 0.05f;
    }
    float dx = o->position.x - old->x, dy = o->position.y - old->y;
    float dist = sqrtf(dx * dx + dy * dy + 0.00001f);
    if (dist > 0.0001f) {
        float angle = dist / size;
        float s = sinf(angle / 2.0f);
        float r[4] = {-dy / dist * s, dx / dist * s, 0.0f, cosf(angle / 2.0f)};
        float q[4];
        quaternion_multiply_xyzw(r, o->facing_xyzw, q);
        float len = sqrtf(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
        if (len > 0.0f && std::isfinite(len))
            for (int i = 0; i < 4; i++) o->facing_xyzw[i] = q[i] / len;
    }
    if (global_squishy_adjusted) {
        if (o->behave_like_terrain_model) object_become_terrain(o, destroy);
        o->no_collide_parent = nullptr;
        const vector &n = global_squishy_normal;
        vector &v = o->velocity;
        float j = vector_dot(v, n);
        if (j < 0.0f) {
            v.x = 0.25f * (v.x - j * n.x) + 0.75f * (v.x - 2.0f * j * n.x);
            v.y = 0.25f * (v.y - j * n.y) + 0.75f * (v.y - 2.0f * j * n.y);
            v.z = 0.25f * (v.z - j * n.z) + 0.75f * (v.z - 2.0f * j * n.z);
            v.x *= 0.7f;
            v.y *= 0.7f;
            v.z -= 0.005f;
        }
    }
}

static uint8_t object_vector_finite(const vector &v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

uint8_t object_update(object *o) {
    if (!o) return 0;
    uint8_t destroy = 0;
    if (o->delay > 0) o->delay--;
    vector old = o->position;

    if (o->joints) {
        joint_array_update(o->joints, &o->position);
        if (o->delay == 0) {
            static const float bursts[3][5] = {
                {20, 0.1f, 0.01f, 0.3f, 0.75f}, {30, 0.2f, 0.01f, 0.2f, 0.75f}, {40, 0.3f, 0.01f, 0.1f, 0.75f}};
            object_three_bursts(o, bursts);
            destroy = 1;
        }
    } else {
        o->spin = (uint16_t)(o->spin + o->spin_add);
        object_move_one_step(o);

        if (o->behave_like_debris) {
            o->size *= 0.95f;
            if (o->delay == 0) destroy = 1;
        } else if (o->behave_like_dust) {
            float k = object_is_dust_template(o) ? 0.9f : 0.99f;
            o->velocity.x *= k;
            o->velocity.y *= k;
            o->velocity.z *= k;
            o->size += 0.005f;
            if (o->delay == 0) destroy = 1;
        } else if (o->behave_like_bomb) {
            object_behave_bomb(o, &destroy);
        } else if (o->behave_like_zombi) {
            object_behave_zombi(o, &destroy);
        } else if (o->behave_like_tree) {
            object_behave_tree(o, &destroy);
        }

        if (o->static_sphere)
            object_physics_static(o, &old);
        else if (o->rolling_sphere)
            object_physics_rolling(o, &old, &destroy);
    }

    // A step that lost the position (a non-finite velocity or push) keeps the old one.
    if (!object_vector_finite(o->position)) {
        o->position = object_vector_finite(old) ? old : vector{0.0f, 0.0f, 0.0f};
        o->velocity = vector{0.0f, 0.0f, 0.0f};
        o->vdamp = vector{0.0f, 0.0f, 0.0f};
    }
    if (!object_vector_finite(o->velocity)) o->velocity = vector{0.0f, 0.0f, 0.0f};
    if (!object_vector_finite(o->vdamp)) o->vdamp = vector{0.0f, 0.0f, 0.0f};

    if (o->full_collide)
        o->light = (uint8_t)((o->light >> 2) * 3 + (object_get_light(o->position.x, o->position.y, o->position.z) >> 2));

    if (destroy) {
        object_destroy(o);
        return 0;
    }
    return 1;
}

static chunk *object_resident_chunk(int cx, int cy) {
    if (cx < 0 || cy < 0 || cx >= CHUNKMAP_SIZE || cy >= CHUNKMAP_SIZE) return nullptr;
    return chunk_map[cx][cy];
}

// A float column coordinate as an integer; far or non-finite values land off the map.
static int object_float_column(float v) {
    if (!std::isfinite(v) || v < -1.0e6f || v > 1.0e6f) return -1;
    return (int)v;
}

// Whether every chunk within an object's reach is resident: the terrain its sphere touches and
// the objects it could meet (up to 8 blocks beyond its chunk). Until they are, it stays still,
// so nothing sinks through ground that is not there yet.
uint8_t object_surroundings_resident(const object *o) {
    float reach = o->size + 8.0f;
    if (!(reach < 64.0f)) reach = 64.0f;
    int x0 = object_float_column(o->position.x - reach), x1 = object_float_column(o->position.x + reach);
    int y0 = object_float_column(o->position.y - reach), y1 = object_float_column(o->position.y + reach);
    int cx0 = x0 < 0 ? 0 : x0 >> 6, cy0 = y0 < 0 ? 0 : y0 >> 6;
    int cx1 = x1 < 0 ? -1 : x1 >> 6, cy1 = y1 < 0 ? -1 : y1 >> 6;
    if (cx1 >= CHUNKMAP_SIZE) cx1 = CHUNKMAP_SIZE - 1;
    if (cy1 >= CHUNKMAP_SIZE) cy1 = CHUNKMAP_SIZE - 1;
    // Off the map (or not a number) is never resident; the map's own edge needs nothing beyond.
    if (cx1 < cx0 || cy1 < cy0) return 0;
    for (int cx = cx0; cx <= cx1; cx++)
        for (int cy = cy0; cy <= cy1; cy++)
            if (!chunk_map[cx][cy]) return 0;
    return 1;
}

static void object_update_chunk(chunk *c, int cx, int cy) {
    object *collide = nullptr, *finished = nullptr, *external = nullptr;
    object *o = c->local_object_pile;
    while (o) {
        object *next = o->next;
        remove_object_from_pile(o);
        if (!object_surroundings_resident(o))
            put_object_into_pile(o, &finished);
        else if (object_update(o))
            put_object_into_pile(o, o->full_collide ? &collide : &finished);
        o = next;
    }
    float centre_x = (float)(cx * 64 + 32), centre_y = (float)(cy * 64 + 32);
    static const int around[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    for (int k = 0; k < 8; k++) {
        chunk *n = object_resident_chunk(cx + around[k][0], cy + around[k][1]);
        if (!n) continue;
        object *e = n->local_object_pile;
        while (e) {
            object *next = e->next;
            if (e->full_collide && fabsf(e->position.x - centre_x) < 40.0f && fabsf(e->position.y - centre_y) < 40.0f)
                put_object_into_pile(e, &external);
            e = next;
        }
    }
    for (object *q = collide; q; q = q->next) {
        for (object *u = external; u; u = u->next) object_collide(q, u);
        for (object *u = q->next; u; u = u->next) object_collide(q, u);
    }
    object **lists[2] = {&finished, &collide};
    for (object **list : lists) {
        while (*list) {
            object *r = *list;
            object **pile = chunkmap_pile_pointer(object_float_column(r->position.x), object_float_column(r->position.y));
            if (!pile) {
                log_message(3, "Pile pointer was NULL when doing object update thing");
                pile = &c->local_object_pile;
            }
            put_object_into_pile(r, pile);
        }
    }
    while (external) {
        object *r = external;
        int x = object_float_column(r->position.x), y = object_float_column(r->position.y);
        chunk *home = (x >= 0 && y >= 0) ? object_resident_chunk(x >> 6, y >> 6) : nullptr;
        if (home) {
            put_object_into_pile(r, &home->local_object_pile);
        } else {
            // Left in no pile it would be lost for good: it stays with the chunk being updated.
            log_message(1, "Failed to return object to pile");
            put_object_into_pile(r, &c->local_object_pile);
        }
    }
}

void object_update_all(float centerx, float centery, int size) {
    int ccx = object_float_column(centerx), ccy = object_float_column(centery);
    if (ccx < 0 || ccy < 0 || size <= 0) return;
    int offset = size >> 1;
    for (int row = 0; row < size; row++) {
        for (int column = 0; column < size; column++) {
            int cx = (ccx >> 6) + column - offset, cy = (ccy >> 6) + row - offset;
            chunk *c = object_resident_chunk(cx, cy);
            if (c) object_update_chunk(c, cx, cy);
        }
    }
}

void object_update_reset(void) {
    local_walk_count = 0;
    local_walk_fade = 0.0f;
    local_player_hit_timer = 0;
    local_player_grace_timer = 0;
    global_burning_count = 0;
    global_object_shake = 0;
    object_player_reset();
}

uint8_t object_settle(object *o, int max_steps) {
    if (!o || !o->static_sphere || o->joints) return 0;
    // At rest, a step may leave a little downward velocity that the next step's bounce takes
    // back: the object is settled once it comes back to rest where it last was at rest, never
    // having moved in between, since every later step then repeats that round.
    uint8_t rested = 0, anchored = 0;
    vector anchor = o->position;
    for (int step = 0; step <= max_steps; step++) {
        const uint8_t at_rest = o->velocity.x == 0.0f && o->velocity.y == 0.0f && o->velocity.z == 0.0f &&
                                o->vdamp.x == 0.0f && o->vdamp.y == 0.0f && o->vdamp.z == 0.0f;
        if (at_rest) {
            if (anchored && step > 0) {
                rested = 1;
                break;
            }
            anchor = o->position;
            anchored = 1;
        }
        if (step == max_steps) break;
        const vector old = o->position;
        object_move_one_step(o);
        object_physics_static(o, &old);
        if (!object_vector_finite(o->position) || !object_vector_finite(o->velocity)) {
            o->position = old;
            o->velocity = vector{0.0f, 0.0f, 0.0f};
            o->vdamp = vector{0.0f, 0.0f, 0.0f};
            return 0;
        }
        if (o->position.x != anchor.x || o->position.y != anchor.y || o->position.z != anchor.z) anchored = 0;
    }
    if (o->full_collide) {
        const uint8_t around = object_get_light(o->position.x, o->position.y, o->position.z);
        for (int i = 0; i < 64; i++) {
            const uint8_t next = (uint8_t)((o->light >> 2) * 3 + (around >> 2));
            if (next == o->light) break;
            o->light = next;
        }
    }
    // Saved without velocity, it is read back at rest.
    o->velocity = vector{0.0f, 0.0f, 0.0f};
    return rested;
}
