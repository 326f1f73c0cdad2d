// kestrova_actions.cpp — the local player's actions with the item in hand: swing and strike,
// digging, building blocks and walls, spraying on the build plane, picking up, throwing, Q and E,
// respawning and the item drawn in hand
#include <cmath>
#include <cstring>

#include "display/display.h"
#include "display/input.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "game/kestrova.h"
#include "game/kestrova_actions.h"
#include "game/kestrova_gather.h"
#include "game/kestrova_survival.h"
#include "game/kestrova_tree.h"
#include "models/joint.h"
#include "models/model.h"
#include "objects/inventory.h"
#include "objects/object_draw.h"
#include "objects/object_update.h"
#include "objects/object.h"
#include "objects/template.h"
#include "sound/sound.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"

vector plop = {0.0f, 0.0f, 0.0f};
uint8_t plop_valid = 0;
static float plop_radius = 0.75f;
uint8_t build_plane_active = 0;
static vector build_plane_center = {0.0f, 0.0f, 0.0f}, build_plane_normal = {0.0f, 0.0f, 1.0f};

uint8_t actions_world_button_down[4] = {0, 0, 0, 0};
static uint8_t actions_world_button_pressed[4] = {0, 0, 0, 0};
// Whether each button's current press began while the board or the title was shown.
static uint8_t button_on_board[4] = {0, 0, 0, 0};

// Presses kept from a pass that ran no world step.
static uint8_t kept_z = 0, kept_space = 0;

#define ACTIONS_BUILD_PLANE_SCALE 10.0f
// How far along the crosshair a throw looks for the terrain it aims at.
#define ACTIONS_THROW_REACH 40.0f

void actions_reset(void) {
    plop = {0.0f, 0.0f, 0.0f};
    plop_valid = 0;
    plop_radius = 0.75f;
    build_plane_active = 0;
    build_plane_center = {0.0f, 0.0f, 0.0f};
    build_plane_normal = {0.0f, 0.0f, 1.0f};
    kept_z = kept_space = 0;
    survival_reset();
    for (int i = 0; i < 4; i++) button_on_board[i] = actions_world_button_down[i] = actions_world_button_pressed[i] = 0;
}

void actions_route_buttons(uint8_t board_shown) {
    for (int i = 0; i < 4; i++) {
        if (mouse_pressed[i])
            button_on_board[i] = board_shown ? 1 : 0;
        else if (!mouse_down[i])
            button_on_board[i] = 0;
        const uint8_t world = !board_shown && !button_on_board[i];
        actions_world_button_down[i] = world && mouse_down[i] ? 1 : 0;
        actions_world_button_pressed[i] = world && mouse_pressed[i] ? 1 : 0;
    }
}

// Squared distance from p to the box lo..hi.
static float box_distance2(const vector *p, const vector &lo, const vector &hi) {
    const float q[3] = {p->x, p->y, p->z}, a[3] = {lo.x, lo.y, lo.z}, b[3] = {hi.x, hi.y, hi.z};
    float d2 = 0.0f;
    for (int k = 0; k < 3; k++) {
        float d = q[k] < a[k] ? a[k] - q[k] : (q[k] > b[k] ? q[k] - b[k] : 0.0f);
        d2 += d * d;
    }
    return d2;
}

uint8_t actions_cube_clear_of_body(const vector *body, float body_radius, const vector *plop, uint8_t wall) {
    if (!body || !plop) return 1;
    // The snapped group's surface runs through its blocks' middles: what shows is the unit cube
    // around the rounded plop, as the marker draws it.
    const float X = (float)voxel_edit_box_int(0.5f + plop->x), Y = (float)voxel_edit_box_int(0.5f + plop->y),
                Z = (float)voxel_edit_box_int(0.5f + plop->z);
    const vector lo = {X - 0.5f, Y - 0.5f, Z - 0.5f}, hi = {X + 0.5f, Y + 0.5f, Z + 0.5f + (wall ? 5.0f : 0.0f)};
    return box_distance2(body, lo, hi) >= body_radius * body_radius ? 1 : 0;
}

uint8_t actions_sphere_clear_of_body(const vector *body, float body_radius, const vector *center, float radius) {
    if (!body || !center) return 1;
    const float dx = center->x - body->x, dy = center->y - body->y, dz = center->z - body->z;
    const float reach = body_radius + radius;
    return dx * dx + dy * dy + dz * dz >= reach * reach ? 1 : 0;
}


static vector add_scaled(vector a, const vector &b, float k) {
    a.x += b.x * k;
    a.y += b.y * k;
    a.z += b.z * k;
    return a;
}

static quaternion axis_rotation(float ax, float ay, float az, float angle) {
    float s = sinf(0.5f * angle);
    return quaternion{ax * s, ay * s, az * s, cosf(0.5f * angle)};
}

static void set_facing(object *o, const quaternion &q) {
    o->facing_xyzw[0] = q.x;
    o->facing_xyzw[1] = q.y;
    o->facing_xyzw[2] = q.z;
    o->facing_xyzw[3] = q.w;
}

static object *inhand(void) { return local_player ? local_player->inventory_pile : nullptr; }

uint8_t actions_is_material_item(const object *o) { return o && o->behave_like_debris ? 1 : 0; }

uint8_t actions_is_swing_item(const object *o) {
    return o && o->inhand_animation && o->inhand_animation->number_of_frames > 1 ? 1 : 0;
}

uint8_t actions_is_throwable(const object *o) {
    if (!o || !o->inventory_stackable || actions_is_material_item(o)) return 0;
    return o->behave_like_bomb || o->behave_like_terrain_model || o->behave_like_tree ? 1 : 0;
}

static uint8_t is_block_item(const object *o) {
    return o && block_object_template && o->template_index == block_object_template->template_index ? 1 : 0;
}

void actions_respawn_check(uint8_t r_pressed) { survival_respawn_check(r_pressed); }

uint16_t actions_dig(const object *item) {
    if (!local_player || !item || item->dig_radius <= 0.01f) return 0;
    float strength = item->material > 2 ? 20.5f : 3.5f;
    vector reach;
    // The tool digs where the crosshair meets the ground within reach.
    if (!gather_dig_point(&local_player->position, &camera_fore_vector, item->dig_radius, &reach)) {
        log_message(4, "Dug 0 blocks: nothing within reach");
        gather_set_hint("Nothing within reach to dig");
        return 0;
    }
    // Never deeper under the feet than a jump climbs back.
    const float lowest = local_player->position.z - local_player->size - GATHER_DEEPEST;
    if (reach.z - item->dig_radius < lowest) reach.z = lowest + item->dig_radius;
    log_message(5, "  Chopping away at terrain");
    uint16_t dug = voxel_sphere_xyz(reach.x, reach.y, reach.z, item->dig_radius, 0, 1, 1, strength, 1);
    vector mouth;
    if (gather_dig_mouth(&reach, &camera_fore_vector, item->dig_radius, &mouth)) {
        const uint8_t hard = global_hit_something_hard;
        dug = (uint16_t)(dug + voxel_sphere_xyz(mouth.x, mouth.y, mouth.z, item->dig_radius, 0, 1, 1, strength, 1));
        global_hit_something_hard |= hard;
    }
    log_message(5, "  Done chopping away at terrain");
    log_message(4, "Dug %d blocks at %0.1f, %0.1f, %0.1f", (int)dug, (double)reach.x, (double)reach.y, (double)reach.z);
    if (dug > 1) {
        sound_play(rubble_sound, 255, 255, 0, 0);
        if (global_hit_something_hard) sound_play(chink_sound, 128, 128, 0, 0);
    } else if (global_hit_something_hard) {
        gather_too_hard(item, &reach, strength);
    }
    return dug;
}

static void hit_tree(object *tree, float damage, const vector *hit_point) {
    uint8_t light = (uint8_t)(global_sun_light_level / 2);
    object_spawn_debris(VOXEL_GRASS_EDGE, light, 20, tree->position.x, tree->position.y, hit_point->z);
    sound_play(chop_sound, 255, 255, 0, 0);
    if (damage <= 10.0f) return;
    tree->hits -= 1.0f;
    tree->frame = model_get_start_or_last_frame(tree->model_index, (const uint8_t *)"FALL", 1);
    tree->delay = 1;
    gather_drop_from_tree(tree, "LOG");
    log_message(4, "Chopped a tree: %d hits left", (int)tree->hits);
    // The felling blow also drops a sapling to plant again.
    if (tree->hits <= 0.0f) gather_drop_from_tree(tree, "SAPLING");
}

static void hit_zombi(object *zombi, float damage, const vector *hit_point) {
    sound_play(grimstone_sound, 128, 128, 0, 0);
    if (zombi->hits > damage) {
        zombi->hits -= damage;
        zombi->frame = model_get_start_or_last_frame(zombi->model_index, (const uint8_t *)"HIT1", 1);
        zombi->vdamp.x += camera_fore_vector.x;
        zombi->vdamp.y += camera_fore_vector.y;
    } else {
        zombi->hits = -1.0f;
        if (!zombi->joints)
            zombi->joints = joint_array_create(zombi->model_index, &zombi->position, zombi->facing_xyzw, zombi->frame,
                                               1.0f, 0.5f);
        // A model without joints gives no array: the zombi still dies, it only cannot fall apart.
        if (zombi->joints) {
            zombi->joints[0].velocity.x = 0.2f * camera_fore_vector.x;
            zombi->joints[0].velocity.y = 0.2f * camera_fore_vector.y;
        }
        zombi->delay = 120;
    }
    object_spawn_debris(VOXEL_SWAMP, (uint8_t)(global_sun_light_level / 2), 20, zombi->position.x, zombi->position.y,
                        hit_point->z);
}

void actions_hit_objects(float damage, const vector *hit_point) {
    object *o = chunkmap_first_object_in_pile((int)hit_point->x, (int)hit_point->y);
    while (o) {
        // Debris and logs spawned below go to the head of a pile, never after o.
        object *next = o->next;
        if (o->hits > 0.0f) {
            float dx = o->position.x - hit_point->x, dy = o->position.y - hit_point->y,
                  dz = o->position.z - hit_point->z;
            if (sqrtf(dx * dx + dy * dy + dz * dz + 0.00001f) <= 5.0f) {
                if (o->behave_like_tree)
                    hit_tree(o, damage, hit_point);
                else if (o->behave_like_zombi)
                    hit_zombi(o, damage, hit_point);
            }
        }
        o = next;
    }
}

void actions_swing_step(void) {
    object *item = inhand();
    if (!local_swing_count || !item || !item->inhand_animation) return;
    local_swing_end = (uint32_t)(item->inhand_animation->number_of_frames > 0 ? item->inhand_animation->number_of_frames
                                                                              : 0);
    if (local_swing_count < local_swing_end)
        local_swing_count++;
    else
        local_swing_count = 0;
    if (!local_swing_count || local_swing_count != local_swing_end / 2) return;
    actions_dig(item);
    vector hit = add_scaled(target_vector, camera_fore_vector, 2.0f);
    actions_hit_objects(item->attack_damage, &hit);
}

void actions_choose_item(uint8_t q_pressed, uint8_t e_pressed) {
    if (!(q_pressed || e_pressed) || !local_player || local_swing_count) return;
    object *chosen = nullptr;
    for (object *o = local_player->inventory_pile; o; o = o->next) {
        if (q_pressed && actions_is_material_item(o)) chosen = o;
        // Equipment: the swinging tools and the things thrown one at a time (torches, bombs).
        if (e_pressed && (actions_is_swing_item(o) || actions_is_throwable(o))) chosen = o;
    }
    if (!chosen) return;
    put_object_into_pile(chosen, &local_player->inventory_pile);
    if (actions_is_material_item(chosen))
        log_message(4, "In hand: %s of %s", chosen->name, voxel_material_name[chosen->material & 63]);
    else
        log_message(4, "In hand: %s", chosen->name);
}

// The line from the player through end meets the build plane's square: end moves to the crossing.
static uint8_t build_plane_cross(vector *end) {
    if (!build_plane_active || !local_player) return 0;
    vector start = local_player->position;
    return display_oriented_plane_collide(&build_plane_center, &build_plane_normal, ACTIONS_BUILD_PLANE_SCALE,
                                          &start, end)
               ? 1
               : 0;
}

void actions_plop_position(uint32_t updates, uint8_t draw) {
    plop_valid = 0;
    plop = local_player ? local_player->position : target_vector;
    object *item = inhand();
    if (placer_active) {
        plop = add_scaled(plop, camera_fore_vector, placer_front);
        plop = add_scaled(plop, camera_side_vector, placer_side);
        plop = add_scaled(plop, camera_up_vector, placer_up);
        if (build_plane_active) {
            vector crossing = plop;
            if (build_plane_cross(&crossing)) plop = crossing;
        }
    } else if (local_player && actions_is_material_item(item)) {
        vector start = local_player->position;
        vector reach = add_scaled(start, camera_fore_vector, 20.0f);
        const uint8_t *color = item->inventory_stack_count > 9 ? white : red;
        if (is_block_item(item)) {
            vector end = reach, placer = {0.0f, 0.0f, 0.0f};
            if (voxel_collide_block_line(&start, &end, &placer)) {
                plop = end;
                plop_valid = 1;
                if (!actions_cube_clear_of_body(&start, local_player->size, &plop, key_down[KEY_LEFT_SHIFT])) color = red;
                if (draw) {
                    voxel_snap_cube_draw(color, plop.x, plop.y, plop.z);
                    if (key_down[KEY_LEFT_SHIFT])
                        for (int k = 1; k <= 5; k++) voxel_snap_cube_draw(color, plop.x, plop.y, plop.z + (float)k);
                }
            }
        } else if (build_plane_active) {
            vector end = reach;
            if (build_plane_cross(&end)) {
                plop = end;
                plop_valid = 1;
                if (!actions_sphere_clear_of_body(&start, local_player->size, &plop, plop_radius)) color = red;
                if (draw) display_sphere(color, plop.x, plop.y, plop.z, plop_radius, 16, 16);
            }
        }
    }
    // Spraying loose material from the placer.
    if (local_player && actions_is_material_item(item) && !is_block_item(item) && placer_active &&
        !object_local_player_swimming()) {
        const uint8_t *color = red;
        if (item->inventory_stack_count > 9) {
            vector at = add_scaled(plop, camera_fore_vector, -0.5f);
            object_spawn_debris((uint8_t)(item->material & 63), 128, (uint16_t)(updates * 4), at.x, at.y, at.z);
            color = white;
        }
        if (draw) display_sphere(color, plop.x, plop.y, plop.z, plop_radius, 16, 16);
    }
}

void actions_build_plane(uint8_t draw) {
    if (actions_world_button_down[2]) {
        build_plane_active = 1;
        build_plane_center = add_scaled(target_vector, camera_fore_vector, 5.0f);
        build_plane_normal = vector{-camera_fore_vector.x, -camera_fore_vector.y, -camera_fore_vector.z};
    }
    if (!build_plane_active) return;
    float dx = target_vector.x - build_plane_center.x, dy = target_vector.y - build_plane_center.y;
    if (dx * dx + dy * dy > 1600.0f || key_down[KEY_F5]) {
        build_plane_active = 0;
        return;
    }
    if (draw) display_oriented_plane(blue, 128, &build_plane_center, &build_plane_normal, ACTIONS_BUILD_PLANE_SCALE);
}

vector actions_hand_point(const object *item) {
    // The right hand's place when the item has no pose of its own.
    float front = 0.5f, side = 0.3f, up = -0.3f;
    if (item && item->inhand_animation && item->inhand_animation->number_of_frames > 0) {
        const float *f = item->inhand_animation->frame[0];
        front = f[3];
        side = f[4];
        up = f[5];
    }
    vector hand = add_scaled(target_vector, camera_fore_vector, front);
    hand = add_scaled(hand, camera_side_vector, side);
    hand = add_scaled(hand, camera_up_vector, up);
    // A hand reaching into a wall throws from the eyes instead.
    vector end = hand;
    if (voxel_collide_full_line(&target_vector, &end)) return target_vector;
    return hand;
}

vector actions_crosshair_point(float reach) {
    vector end = add_scaled(target_vector, camera_fore_vector, reach);
    voxel_collide_full_line(&target_vector, &end);
    return end;
}

vector actions_throw_direction(const vector *hand, const vector *aim) {
    vector d = {aim->x - hand->x, aim->y - hand->y, aim->z - hand->z};
    const float length = sqrtf(vector_dot(d, d) + 0.00001f);
    if (length < 0.01f) return camera_fore_vector;
    return vector{d.x / length, d.y / length, d.z / length};
}

void actions_launch(object *o) {
    float angle = -(float)camera_rotation_xy[0] / 65535.0f * 2.0f * KESTROVA_PI;
    set_facing(o, axis_rotation(0.0f, 0.0f, 1.0f, angle));
    // From the hand, towards what the crosshair looks at.
    vector hand = actions_hand_point(o);
    vector aim = actions_crosshair_point(ACTIONS_THROW_REACH);
    vector direction = actions_throw_direction(&hand, &aim);
    o->position = hand;
    float speed = 0.25f * (1.0f + camera_fore_vector.z);
    if (o->weight > 10.0f) speed = 0.25f * speed + 7.5f * speed / o->weight;
    o->velocity = vector{direction.x * speed, direction.y * speed, direction.z * speed};
    o->no_collide_parent = local_player;
}

// Lays the material item in hand; returns what it cost.
static void lay_material(object *item) {
    if (!plop_valid && !placer_active) return;
    if (plop_valid && !placer_active && !is_block_item(item)) {
        placer_active = 1;
        placer_front = (plop.x - local_player->position.x) * camera_fore_vector.x +
                       (plop.y - local_player->position.y) * camera_fore_vector.y +
                       (plop.z - local_player->position.z) * camera_fore_vector.z;
        placer_side = placer_up = 0.0f;
    }
    if (item->inventory_stack_count < 10) return;
    const uint8_t material = (uint8_t)(item->material & 63);
    uint16_t cost = 0;
    if (is_block_item(item)) {
        if (!actions_world_button_pressed[0] || !plop_valid) return;
        if (!actions_cube_clear_of_body(&local_player->position, local_player->size, &plop, key_down[KEY_LEFT_SHIFT])) {
            log_message(4, "Not laying a block where the player stands");
            return;
        }
        if (key_down[KEY_LEFT_SHIFT]) {
            // The bottom block is laid (and charged) first: the cubes above overlap it, and laid
            // before it they would leave it nothing to cost. The last call relights the wall.
            cost = voxel_snap_cube_xyz(plop.x, plop.y, plop.z, material, 0);
            for (int k = 5; k >= 1; k--) voxel_snap_cube_xyz(plop.x, plop.y, plop.z + (float)k, material, 0);
            voxel_snap_cube_xyz(plop.x, plop.y, plop.z, material, 1);
        } else {
            cost = voxel_snap_cube_xyz(plop.x, plop.y, plop.z, material, 1);
        }
        sound_play(rubble_sound, 128, 128, 0, 0);
        log_message(4, "Laid %s of material %d at %0.1f, %0.1f, %0.1f for %d", key_down[KEY_LEFT_SHIFT] ? "a wall" : "a block",
                    (int)material, (double)plop.x, (double)plop.y, (double)plop.z, (int)cost);
    } else {
        vector crossing = plop;
        if (!build_plane_cross(&crossing)) return;
        if (!actions_sphere_clear_of_body(&local_player->position, local_player->size, &crossing, plop_radius)) return;
        cost = voxel_sphere_xyz(crossing.x, crossing.y, crossing.z, plop_radius, material, 0, 1, 20.0f, 0);
    }
    // The last of a stack is never used up.
    if (cost >= item->inventory_stack_count)
        item->inventory_stack_count = 1;
    else
        item->inventory_stack_count = (uint16_t)(item->inventory_stack_count - cost);
}

// Throws one of the stackable item in hand; nothing when its last one would land off the map.
static void throw_one(object *item) {
    object *thrown = item;
    if (item->inventory_stack_count >= 2) {
        thrown = object_spawn(item, nullptr, 300, target_vector.x, target_vector.y, target_vector.z);
        if (!thrown) return;
        item->inventory_stack_count--;
        thrown->inventory_stack_count = 1;
        thrown->material = item->material;
        memcpy(thrown->facing_xyzw, item->facing_xyzw, sizeof(thrown->facing_xyzw));
    } else {
        object **pile = chunkmap_pile_pointer((int)target_vector.x, (int)target_vector.y);
        if (!pile) return;
        put_object_into_pile(item, pile);
    }
    actions_launch(thrown);
    sound_play(swipe_sound, 192, 128, 0, 0);
    log_message(4, "Threw a %s", thrown->name);
}

void actions_left_button(void) {
    object *item = inhand();
    if (!local_player) return;
    if (item && actions_is_material_item(item)) {
        lay_material(item);
        return;
    }
    if (!actions_world_button_pressed[0] || local_swing_count) return;
    object *picked = global_inworld_selected_object;
    if (picked && picked != local_player && !object_holds(picked, local_player)) {
        remove_object_from_pile(picked);
        const uint16_t kind = picked->template_index;
        const uint8_t material = picked->material;
        object_add_to_inventory(local_player, picked, 0, 1, 0);
        sound_play(swipe_sound, 128, 64, 0, 0);
        // Where it went: its own place, or the stack it joined.
        for (object *o = local_player->inventory_pile; o; o = o->next)
            if (o->template_index == kind && o->material == material) {
                log_message(4, "Picked up %s: %d on the board at %0.0f, %0.0f", o->name, (int)o->inventory_stack_count,
                            (double)o->position.x, (double)o->position.y);
                break;
            }
        return;
    }
    if (!item) return;
    if (item->inventory_stackable) {
        throw_one(item);
    } else if (actions_is_swing_item(item)) {
        local_swing_count = 1;
        sound_play(swipe_sound, 192, 255, 0, 0);
        log_message(4, "Swing of the %s from %0.1f, %0.1f, %0.1f heading %d pitch %d", item->name,
                    (double)local_player->position.x, (double)local_player->position.y,
                    (double)local_player->position.z, (int)camera_rotation_xy[0], (int)camera_rotation_xy[1]);
    }
}

void actions_tree_key(void) {
    vector start = {target_vector.x + 5.0f * camera_fore_vector.x, target_vector.y + 5.0f * camera_fore_vector.y,
                    target_vector.z - 2.0f};
    vector up = {0.0f, 0.0f, 1.0f};
    log_message(3, "Plopping a tree at %f, %f, %f", (double)start.x, (double)start.y, (double)start.z);
    voxel_tree_plopper(&start, &up, 1.6f, 5, 2, 5);
    // Its branches may reach back over the player: never leave it shut in.
    gather_free_player();
}

void actions_keep_unstepped_presses(uint32_t updates) {
    if (kept_z) key_pressed[KEY_Z] = 1;
    if (kept_space) key_pressed[KEY_SPACE] = 1;
    // A pass without a world step hands its presses on; a pass with steps has used them.
    if (updates == 0) {
        kept_z = key_pressed[KEY_Z];
        kept_space = key_pressed[KEY_SPACE];
    } else {
        kept_z = kept_space = 0;
    }
}

void actions_draw_inhand(void) {
    object *item = inhand();
    if (!item || !item->inhand_animation || item->inhand_animation->number_of_frames <= 0) return;
    const inhand_animation *a = item->inhand_animation;
    vector saved_position = item->position;
    float saved_facing[4];
    memcpy(saved_facing, item->facing_xyzw, sizeof(saved_facing));
    if (local_swing_count >= (uint32_t)a->number_of_frames) local_swing_count = 0;
    const float *f = a->frame[local_swing_count];
    const float turn = 2.0f * KESTROVA_PI;
    quaternion q = axis_rotation(0.0f, 0.0f, 1.0f, f[2] * turn);
    q = quaternion_multiply(axis_rotation(0.0f, 1.0f, 0.0f, f[1] * turn), q);
    float pitch = (32768.0f - (float)camera_rotation_xy[1]) / 65535.0f * turn;
    q = quaternion_multiply(axis_rotation(1.0f, 0.0f, 0.0f, f[0] * turn + pitch), q);
    float heading = (32768.0f - (float)camera_rotation_xy[0]) / 65535.0f * turn;
    q = quaternion_multiply(axis_rotation(0.0f, 0.0f, 1.0f, heading), q);
    float bob = (float)(local_walk_count & 63) / 64.0f * turn;
    float side = f[4] + 0.005f * sinf(bob) * local_walk_fade * 15.0f;
    float up = f[5] + 0.005f * fabsf(cosf(bob) * local_walk_fade * 30.0f);
    vector p = add_scaled(target_vector, camera_fore_vector, f[3]);
    p = add_scaled(p, camera_side_vector, side);
    p = add_scaled(p, camera_up_vector, up);
    item->position = p;
    set_facing(item, q);
    item->light = local_player->light;
    object_draw(item, 0, 1.0f);
    item->position = saved_position;
    memcpy(item->facing_xyzw, saved_facing, sizeof(saved_facing));
}
