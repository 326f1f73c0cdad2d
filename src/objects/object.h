// object.h — the object record shared by every non-terrain thing and by the templates, object
// piles (doubly linked lists with a head pointer), spawning, destruction and the particle spawners
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

struct joint;
struct chunk;

#define OBJECT_NAME_SIZE 32
#define OBJECT_MAX_MESH 16
#define OBJECT_RECIPE_SIZE 10
#define OBJECT_LOCAL_TEXTURES 10
#define OBJECT_INHAND_FRAMES 60
// Template index meaning "no template" (recipes, lookups).
#define OBJECT_NO_TEMPLATE 100
// Recipe material meaning "any material".
#define OBJECT_ANY_MATERIAL 255
// Inventories nest at most this deep in chunk files and when objects are put into inventories.
#define OBJECT_MAX_NESTING 16
// A SIZE of 0 or less would divide by zero in the physics; it becomes this.
#define OBJECT_MIN_SIZE 0.01f
// Metals are indexed 0..254.
#define OBJECT_METAL_COUNT 255

// Up to 60 frames of an in-hand swing: turns about x, y, z (whole turns), then front, side and up
// offsets from the eye point.
struct inhand_animation {
    int32_t number_of_frames;
    float frame[OBJECT_INHAND_FRAMES][6];
};

struct object {
    char name[OBJECT_NAME_SIZE];
    uint16_t template_index;
    uint8_t material;
    uint8_t light;
    uint8_t full_collide;
    uint8_t flat_on_ground;
    uint8_t rolling_sphere;
    uint8_t static_sphere;
    uint8_t show_material;
    uint16_t recipe_template_index[OBJECT_RECIPE_SIZE];
    uint8_t recipe_material[OBJECT_RECIPE_SIZE];
    uint8_t behave_like_debris;
    uint8_t behave_like_dust;
    uint8_t behave_like_bomb;
    uint8_t behave_like_zombi;
    uint8_t behave_like_tree;
    uint8_t behave_like_terrain_model;
    uint16_t delay;
    uint16_t spin;
    int16_t spin_add;
    uint8_t jumps_remaining;
    float hits;
    float size;
    float dig_radius;
    float attack_damage;
    float weight;
    float value;
    float min;
    float max;
    vector position;
    vector velocity;
    vector vdamp;
    uint8_t icon_in_game;
    uint8_t icon_in_inventory;
    uint8_t icon_has_material_overlay;
    uint32_t icon_texture;
    uint32_t local_texture[OBJECT_LOCAL_TEXTURES];
    float inventory_scale;
    uint8_t inventory_stackable;
    uint16_t inventory_stack_count;
    uint16_t max_inventory_stack_count;
    uint16_t model_index;
    uint16_t num_mesh;
    uint16_t frame;
    uint16_t mesh_index[OBJECT_MAX_MESH];
    uint16_t mesh_frame[OBJECT_MAX_MESH];
    uint8_t mesh_local_texture_index[OBJECT_MAX_MESH];
    uint8_t mesh_local_overlay_index[OBJECT_MAX_MESH];
    uint8_t mesh_paperdoll[OBJECT_MAX_MESH];
    float facing_xyzw[4];
    object **current_pile;
    object *inventory_pile;
    object *next;
    object *prev;
    object *linka;
    object *linkb;
    object *no_collide_parent;
    struct inhand_animation *inhand_animation;
    joint *joints;
    // Records of this object's inventory read from a chunk file but not brought to life (a kind
    // that is not loaded, nesting too deep): owned here, written back unchanged after the rest of
    // its inventory. None in templates.
    uint8_t *kept_records;
    uint32_t kept_records_size;
    // Zombis only, never saved: one called up with Z by day is spared by the daylight; steps it has
    // burnt in the daylight so far (0: not burning).
    uint8_t spared_by_daylight;
    uint16_t burning;
};

// The player object, or none.
extern object *local_player;
// The object under the crosshair, or none; cleared when that object is destroyed.
extern object *global_inworld_selected_object;
// Called with every object just before it is freed, so higher layers can drop what they keep
// pointing at (the inventory grab); none until set.
extern void (*object_destroyed_hook)(object *o);

// The metal table index of an object's material: 255 ("any") has no entry and reads as 0.
inline uint8_t object_metal_index(uint8_t material) {
    return material < OBJECT_METAL_COUNT ? material : (uint8_t)0;
}

void remove_object_from_pile(object *o);
void put_object_into_pile(object *o, object **pile);
object *object_create(void);
object *object_spawn(object *copy_from, object *holder, uint16_t delay, float x, float y, float z);
// As object_spawn, into the given pile (none: fails).
object *object_spawn_into_pile(object *copy_from, object **pile, uint16_t delay, float x, float y, float z);
uint8_t object_destroy(object *o);
// Puts o into the pile of the chunk under its position; when that chunk is not resident (or the
// position is off the map) into fallback instead, so it is never left in no pile. Returns 1 when
// the chunk under it took it.
uint8_t object_return_to_pile(object *o, object **fallback);
// 1 when o is held, at any depth, in container's inventory (or is container itself).
uint8_t object_holds(const object *container, const object *o);

void object_spawn_debris(uint8_t material, uint8_t light, uint16_t count, float x, float y, float z);
void object_spawn_dust(uint8_t light, uint16_t count, float x, float y, float z, float velxy, float velz,
                       float distance, float size);
void object_spawn_smoke(float x, float y, float z, float zvel, float distance);
void object_spawn_flame(float x, float y, float z, float zvel, float distance);

// Dug blocks: gives the local player one of the material's collect object and one of its
// parent material's, when they have them. Nothing without a local player.
void object_collect_material(uint8_t material);
// Destroys every object of a chunk's pile (the chunk is being released).
void object_destroy_chunk_pile(chunk *c);
// Sets the hooks through which terrain and the chunk files reach the objects.
void object_register_hooks(void);
void object_unregister_hooks(void);
// No local player, nothing selected, no destroyed hook and every particle record free, as at start;
// only once no pile holds objects any more.
void object_reset(void);
