// object.cpp — object piles, creating, spawning and destroying objects, the particle spawners, and
// the hooks through which terrain and the chunk files reach the objects
#include "objects/object.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/random.h"
#include "models/joint.h"
#include "objects/inventory.h"
#include "objects/object_draw.h"
#include "objects/object_field.h"
#include "objects/object_file.h"
#include "objects/object_pool.h"
#include "objects/template.h"
#include "terrain/multri.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

object *local_player = nullptr;
object *global_inworld_selected_object = nullptr;
void (*object_destroyed_hook)(object *o) = nullptr;

static uint8_t object_tree_contains(const object *container, const object *o, object *const *pile);
// Set while a particle spawner spawns: its record then comes from the particle store.
static uint8_t object_spawning_particle = 0;

void remove_object_from_pile(object *o) {
    if (!o) return;
    if (o->current_pile && *o->current_pile == o) *o->current_pile = o->next;
    // Cleared whether or not o was the head: a stale pile pointer would let a later removal
    // rewrite a pile o no longer belongs to.
    o->current_pile = nullptr;
    object *old_prev = o->prev;
    if (o->prev) {
        o->prev->next = o->next;
        o->prev = nullptr;
    }
    if (o->next) {
        o->next->prev = old_prev;
        o->next = nullptr;
    }
}

void put_object_into_pile(object *o, object **pile) {
    if (!o || !pile) return;
    // An object cannot hold itself, nor go into an inventory it holds.
    if (pile == &o->inventory_pile) return;
    if (o->inventory_pile && object_tree_contains(o, nullptr, pile)) return;
    remove_object_from_pile(o);
    o->next = *pile;
    if (*pile) (*pile)->prev = o;
    *pile = o;
    o->current_pile = pile;
}

// Recipes live in templates only: an object's ten positions need nothing.
static void object_set_no_recipe(object *o) {
    for (int i = 0; i < OBJECT_RECIPE_SIZE; i++) {
        o->recipe_template_index[i] = OBJECT_NO_TEMPLATE;
        o->recipe_material[i] = OBJECT_ANY_MATERIAL;
    }
}

object *object_create(void) {
    object *o = object_spawning_particle ? object_pool_take() : (object *)calloc(1, sizeof(object));
    if (!o) return nullptr;
    object_set_no_recipe(o);
    return o;
}

// A float column coordinate as a map column; far or non-finite values become -1 (off the map).
static int object_column(float v) {
    if (!std::isfinite(v) || v <= -1.0f || v >= (float)CHUNKMAP_COLUMNS) return -1;
    return (int)v;
}

object *object_spawn_into_pile(object *copy_from, object **pile, uint16_t delay, float x, float y, float z) {
    if (!copy_from || !pile) return nullptr;
    log_message(5, "    Pile pointer is valid");
    object *o = object_create();
    if (!o) return nullptr;
    log_message(5, "      Object %p spawned", (void *)o);

    // The kind whole, then what belongs to this instance alone: it shares nothing it owns (links,
    // joints, kept records) with the template; the in-hand animation and textures stay shared.
    *o = *copy_from;
    object_field_clear_instance(o);
    object_set_no_recipe(o);
    o->delay = delay;
    o->position = vector{x, y, z};
    o->facing_xyzw[3] = 1.0f;
    if (o->num_mesh > OBJECT_MAX_MESH) o->num_mesh = OBJECT_MAX_MESH;

    safe_string_copy(o->name, copy_from->name, OBJECT_NAME_SIZE, 0);
    string_normalcase(o->name);

    put_object_into_pile(o, pile);
    return o;
}

object *object_spawn(object *copy_from, object *holder, uint16_t delay, float x, float y, float z) {
    if (!copy_from) return nullptr;
    log_message(5, "Attempting to spawn object %s at %f, %f, %f", copy_from->name, (double)x, (double)y, (double)z);
    object **pile;
    if (holder) {
        log_message(5, "  Putting object into holder inventory pile");
        pile = &holder->inventory_pile;
    } else {
        log_message(5, "  Putting object into chunkmap pile");
        pile = chunkmap_pile_pointer(object_column(x), object_column(y));
    }
    return object_spawn_into_pile(copy_from, pile, delay, x, y, z);
}

// Frees one object whose inventory is already empty.
static void object_free(object *o) {
    if (o == local_player) local_player = nullptr;
    if (o == global_inworld_selected_object) global_inworld_selected_object = nullptr;
    if (object_destroyed_hook) object_destroyed_hook(o);
    remove_object_from_pile(o);
    joint_array_destroy(o->joints);
    o->joints = nullptr;
    free(o->kept_records);
    o->kept_records = nullptr;
    log_message(5, "Done poofing object %p", (void *)o);
    if (object_pool_holds(o))
        object_pool_give_back(o);
    else
        free(o);
}

uint8_t object_destroy(object *o) {
    log_message(5, "Trying to poof object %p", (void *)o);
    if (!o) {
        log_message(5, "Done poofing object %p", (void *)o);
        return 0;
    }
    // The inventory, however deeply nested, is taken apart without recursion: each held object's
    // own inventory joins the work pile before the object itself is freed.
    object *work = nullptr;
    while (o->inventory_pile) put_object_into_pile(o->inventory_pile, &work);
    while (work) {
        object *held = work;
        remove_object_from_pile(held);
        log_message(5, "Trying to poof object %p", (void *)held);
        while (held->inventory_pile) put_object_into_pile(held->inventory_pile, &work);
        object_free(held);
    }
    o->inventory_pile = nullptr;
    object_free(o);
    return 0;
}

uint8_t object_return_to_pile(object *o, object **fallback) {
    if (!o) return 0;
    object **pile = chunkmap_pile_pointer(object_column(o->position.x), object_column(o->position.y));
    if (pile) {
        put_object_into_pile(o, pile);
        return 1;
    }
    put_object_into_pile(o, fallback);
    return 0;
}

// Walks container's inventory tree depth first (to the nesting limit) looking for the object o or
// for the inventory pile whose head pointer is at pile.
static uint8_t object_tree_contains(const object *container, const object *o, object *const *pile) {
    const object *stack[OBJECT_MAX_NESTING + 1];
    int depth = 0;
    stack[0] = container->inventory_pile;
    while (depth >= 0) {
        const object *at = stack[depth];
        if (!at) {
            depth--;
            if (depth >= 0) stack[depth] = stack[depth]->next;
            continue;
        }
        if (at == o || &at->inventory_pile == pile) return 1;
        if (at->inventory_pile && depth < OBJECT_MAX_NESTING) {
            stack[++depth] = at->inventory_pile;
        } else {
            stack[depth] = at->next;
        }
    }
    return 0;
}

uint8_t object_holds(const object *container, const object *o) {
    if (!container || !o) return 0;
    if (container == o) return 1;
    return object_tree_contains(container, o, nullptr);
}

// A particle of copy_from at (x, y, z) with countdown 30, from the particle store.
static object *object_spawn_particle(object *copy_from, float x, float y, float z) {
    object_spawning_particle = 1;
    object *o = object_spawn(copy_from, nullptr, 30, x, y, z);
    object_spawning_particle = 0;
    return o;
}

// A unit direction from three random bytes, drawn in the order x, y, z.
static vector object_random_direction(void) {
    vector d;
    d.x = (float)random_number() - 128.0f;
    d.y = (float)random_number() - 128.0f;
    d.z = (float)random_number() - 128.0f;
    float length = sqrtf(vector_dot(d, d) + 0.00001f);
    d.x /= length;
    d.y /= length;
    d.z /= length;
    return d;
}

static void object_random_spin(object *o) {
    o->spin = (uint16_t)(random_number() * 256);
    o->spin_add = (int16_t)(random_number() * 5 - 640);
}

void object_spawn_debris(uint8_t material, uint8_t light, uint16_t count, float x, float y, float z) {
    if (material >= VOXEL_MATERIAL_COUNT) return;
    for (uint16_t i = 0; i < count; i++) {
        object *o = object_spawn_particle(debris_object_template, x, y, z);
        if (!o) continue;
        vector d = object_random_direction();
        object_random_spin(o);
        o->velocity = vector{0.02f * d.x, 0.02f * d.y, 0.02f * d.z - 0.05f};
        o->position.x += 0.2f * d.x;
        o->position.y += 0.2f * d.y;
        o->position.z += 0.2f * d.z;
        // Cut blocks crumble to stone.
        o->material = material == VOXEL_BLOCK ? (uint8_t)VOXEL_STONE : material;
        float f = (float)random_number() / 255.0f * 0.5f + 0.5f;
        o->size = f;
        o->delay = (uint16_t)(30.0f * f);
        o->light = light;
    }
}

void object_spawn_dust(uint8_t light, uint16_t count, float x, float y, float z, float velxy, float velz,
                       float distance, float size) {
    for (uint16_t i = 0; i < count; i++) {
        object *o = object_spawn_particle(dust_object_template, x, y, z);
        if (!o) continue;
        vector d = object_random_direction();
        object_random_spin(o);
        o->velocity = vector{velxy * d.x, velxy * d.y, velz * d.z};
        float e = random_range(0.0f, 0.5f * distance);
        o->position.x += e * d.x;
        o->position.y += e * d.y;
        o->position.z += e * d.z;
        float f = random_range(0.5f, 1.5f);
        o->size = f * size;
        // The lifetime is taken as 16 bits (wrapping), then limited.
        float life = o->size * 60.0f;
        uint16_t delay = 127;
        if (std::isfinite(life) && life > -2.0e9f && life < 2.0e9f) delay = (uint16_t)(int32_t)life;
        o->delay = delay > 127 ? (uint16_t)127 : delay;
        o->light = light;
    }
}

// Smoke and flame: spin first, then the direction of the offset.
static object *object_spawn_rising(object *copy_from, float x, float y, float z, float zvel, float distance) {
    object *o = object_spawn_particle(copy_from, x, y, z);
    if (!o) return nullptr;
    object_random_spin(o);
    o->velocity = vector{0.0f, 0.0f, zvel};
    vector d = object_random_direction();
    float e = random_range(0.0f, distance);
    o->position.x += e * d.x;
    o->position.y += e * d.y;
    o->position.z += e * d.z;
    o->size = random_range(0.2f, 0.25f);
    o->light = 128;
    return o;
}

void object_spawn_smoke(float x, float y, float z, float zvel, float distance) {
    object *o = object_spawn_rising(smoke_object_template, x, y, z, zvel, distance);
    if (o) o->delay = (uint16_t)((random_number() & 15) | 48);
}

void object_spawn_flame(float x, float y, float z, float zvel, float distance) {
    object *o = object_spawn_rising(flame_object_template, x, y, z, zvel, distance);
    if (o) o->delay = (uint16_t)((random_number() & 31) + 50);
}

void object_collect_material(uint8_t material) {
    if (!local_player || material >= VOXEL_MATERIAL_COUNT) return;
    object *collect = voxel_material_template[material];
    if (collect) object_add_to_inventory(local_player, collect, 1, 1, voxel_material_metal[material]);
    uint8_t parent = voxel_material_parent[material];
    if (parent != material && parent < VOXEL_MATERIAL_COUNT && voxel_material_template[parent])
        object_add_to_inventory(local_player, voxel_material_template[parent], 1, 1, voxel_material_metal[parent]);
}

void object_destroy_chunk_pile(chunk *c) {
    if (!c) return;
    while (c->local_object_pile) {
        // The head always records this pile, so destroying it advances the head.
        c->local_object_pile->current_pile = &c->local_object_pile;
        object_destroy(c->local_object_pile);
    }
}

// Digging throws at most a few particles per block.
static void object_debris_from_terrain(uint8_t material, uint8_t light, uint8_t count, float x, float y, float z) {
    object_spawn_debris(material, light, count, x, y, z);
}

void object_register_hooks(void) {
    voxel_debris_hook = object_debris_from_terrain;
    voxel_collect_hook = object_collect_material;
    chunkmap_object_import_hook = object_import_chunk;
    chunkmap_object_export_hook = object_export_chunk;
    chunkmap_pile_destroy_hook = object_destroy_chunk_pile;
    multri_billboard_hook = object_billboard;
}

// Takes back the hooks object_register_hooks set: terrain and the chunk files work without objects.
void object_unregister_hooks(void) {
    voxel_debris_hook = nullptr;
    voxel_collect_hook = nullptr;
    chunkmap_object_import_hook = nullptr;
    chunkmap_object_export_hook = nullptr;
    chunkmap_pile_destroy_hook = nullptr;
    multri_billboard_hook = nullptr;
}

void object_reset(void) {
    local_player = nullptr;
    global_inworld_selected_object = nullptr;
    object_destroyed_hook = nullptr;
    object_spawning_particle = 0;
    object_pool_reset();
}
