// voxel.h — terrain columns: run-length lists of blocks from z = 0 upwards, the material tables,
// the light table, the wave tables and the pillar encoding of chunk files
#pragma once
#include <cstdint>
#include <cstdio>

#include "foundation/vecmath.h"


// One record of a pillar: a run of blocks of one material, or one exposed surface block
// carrying its own surface point (marker), normal and light.
struct voxel {
    uint16_t data;  // material (bits 0-5), single-block flag (6), run length or marker (7-15)
    uint8_t sunlight;
    uint8_t glowlight;
    uint16_t fluid_depth;       // eighths of a block
    uint16_t fluid_draw_depth;  // smoothed depth used for drawing
    uint16_t fluid_pressure;    // eighths of a block
    float nx;
    float ny;
    float nz;
    voxel *next;  // the record above, or nullptr
};

#define VOXEL_MATERIAL_MASK 0x003F
#define VOXEL_SINGLE_FLAG 0x0040
#define VOXEL_LENGTH_SHIFT 7
#define VOXEL_MAX_RUN 511
#define VOXEL_MATERIAL_COUNT 64
#define VOXEL_NAME_COUNT 255
#define VOXEL_NAME_SIZE 32
// A single block with the centred marker (4,4,4), used wherever a block is made single
// without choosing a marker.
#define VOXEL_CENTRED_SINGLE 0x9240
// A single block with marker (3,3,3): the top of the off-map pillar.
#define VOXEL_LOW_SINGLE 0x6DC0
// No pillar the game builds is this tall; a chunk file claiming more is damaged.
#define VOXEL_PILLAR_HEIGHT_LIMIT 999

// Materials the code names; their tables are set up in voxel_material.cpp. 11, 8, 4 and 21 are
// the edge variants of 10, 7, 3 and 20.
#define VOXEL_AIR 0
#define VOXEL_DIRT 1
#define VOXEL_GRAVEL 2
#define VOXEL_STONE 3
#define VOXEL_STONE_EDGE 4
#define VOXEL_BLOCK 5  // cut stone; crumbles back to VOXEL_STONE as debris
#define VOXEL_PAVER 6
#define VOXEL_SAND 7
#define VOXEL_SAND_EDGE 8
#define VOXEL_GRASS 10
#define VOXEL_GRASS_EDGE 11
#define VOXEL_MAGMA 12  // glowing; its wave table sways all terrain seen from under water
#define VOXEL_EMBERS 13
#define VOXEL_WATER_FIRST 14  // 14, 15 and 16: water, texture-animated
#define VOXEL_WATER_LAST 16
#define VOXEL_LAVA 17
#define VOXEL_BOG_WATER 18
#define VOXEL_SWAMP 20
#define VOXEL_SWAMP_EDGE 21
#define VOXEL_COAL_ORE 22  // 22 to 27: what ore veins are made of
#define VOXEL_CLAY 23
#define VOXEL_LOAM 24
#define VOXEL_COPPER_ORE 25
#define VOXEL_IRON_ORE 26
#define VOXEL_GOLD_ORE 27
#define VOXEL_ORE_KINDS 6
#define VOXEL_BURNING 28
#define VOXEL_SPIKES 29
#define VOXEL_PLANKS 30
#define VOXEL_BARK 31
#define VOXEL_LEAVES 32
#define VOXEL_GRIMSTONE 33
#define VOXEL_CRYSTAL 34  // the unbreakable bottom layer
#define VOXEL_SNOW 35
#define VOXEL_ICE 36
#define VOXEL_ROOF 38
#define VOXEL_WAVE_ONLY 62  // a wave table and no table row
#define VOXEL_NO_FAMILY 63  // a parent that joins no family for edge finding

// Length of a record: 1 for a single block whatever bits 7-15 hold, the run length otherwise.
inline uint16_t voxel_length(const voxel *v) {
    return (v->data & VOXEL_SINGLE_FLAG) ? 1 : (uint16_t)(v->data >> VOXEL_LENGTH_SHIFT);
}
inline uint8_t voxel_material(const voxel *v) { return (uint8_t)(v->data & VOXEL_MATERIAL_MASK); }
inline uint8_t voxel_is_single(const voxel *v) { return (v->data & VOXEL_SINGLE_FLAG) ? 1 : 0; }

// The two shared substitute records, never linked into a map pillar.
extern voxel *global_empty_voxel;
extern voxel *global_off_map_voxel;

// Material property tables, indexed by material 0-63.
extern float voxel_texture_xy[VOXEL_MATERIAL_COUNT][2];
extern uint8_t voxel_texture_variants[VOXEL_MATERIAL_COUNT];
extern uint8_t voxel_texture_frames[VOXEL_MATERIAL_COUNT];
extern uint8_t voxel_texture_slopes[VOXEL_MATERIAL_COUNT];
extern uint8_t voxel_texture_frame_add[VOXEL_MATERIAL_COUNT];
extern float voxel_material_hardness[VOXEL_MATERIAL_COUNT];
extern float voxel_material_glow[VOXEL_MATERIAL_COUNT];
extern uint8_t voxel_material_parent[VOXEL_MATERIAL_COUNT];
extern char voxel_material_name[VOXEL_NAME_COUNT][VOXEL_NAME_SIZE];

// Light bytes to brightness, and the direction the light comes from.
extern float voxel_light_table[256];
extern vector global_light_direction;
// The sun's level (0-255) that scales every sunlight byte, and the phase of the day (0..1) that
// places the sun and moon; the game's day and night sets both.
extern uint8_t global_sun_light_level;
extern float global_day_night_cycle;
// Full sun and the cycle's start, as at start.
void voxel_light_reset(void);

// Per material a 16 x 16 field of wave phases and the offsets drawn from them.
extern float material_wave_initial[VOXEL_MATERIAL_COUNT][16][16];
extern float material_wave_offset[VOXEL_MATERIAL_COUNT][16][16];

// The record pool (voxel_pool.cpp). Records come only from voxel_create and go back only through
// voxel_destroy, which are the only callers of take and give back. The blocks are freed when no
// record is live and at exit. global_voxel_allocation_limit (0 = none) caps the live records, so
// running out of memory can be exercised.
extern uint32_t global_voxel_allocation_limit;
// No cap on live records again; the records themselves stay with their pillars.
void voxel_pool_reset_limit(void);
uint32_t voxel_pool_live_count(void);
uint32_t voxel_pool_block_count(void);
voxel *voxel_pool_take(void);
void voxel_pool_give_back(voxel *v);

// voxel_pillar.cpp
voxel *voxel_create(uint8_t material, uint16_t length);
void voxel_destroy(voxel *v);
uint8_t voxel_add_marker_offset_xyz(const voxel *v, vector *marker);
void voxel_set_marker(voxel *v, float mx, float my, float mz);
void voxel_set_marker_xyz(int x, int y, int z, float mx, float my, float mz);
void voxel_clear_map(void);
// Gives the two substitute records back to the pool (at a fresh start; voxel_clear_map makes new ones).
void voxel_release_substitutes(void);
void voxel_setup_off_map_pillar(uint8_t material, uint8_t top_material, uint16_t height, float water_height,
                                uint8_t sunlight, uint8_t glowlight);
int voxel_height_xy(int x, int y, uint8_t off_map);
void dump_pillar_xy(int x, int y);

// voxel_material.cpp
void voxel_setup_single_material(uint8_t material, uint8_t parent_material, uint8_t x, uint8_t y, uint8_t variants,
                                 uint8_t frames, uint8_t slopes, const char *name, float hardness, float glow);
void voxel_setup_materials(void);
void voxel_setup_light_table(void);
void setup_wave_table(uint8_t material, float time, float scale);

// voxel_file.cpp
void voxel_export(FILE *openfile, const voxel *v);
void voxel_export_terminator(FILE *openfile);  // the 16-bit 0 that ends a pillar
voxel *voxel_import(FILE *openfile);
// Gives a single-block voxel the normal that writing and reading it back would leave it with.
void voxel_round_trip_normal(voxel *v);

// voxel_edit.cpp, voxel_edit_sphere.cpp — setting blocks, compression, fluffing and the composite
// edits (spheres, snapped cubes, ore spheres, eggshells).
// The material that stood at the block last set or fluffed (0 if none).
extern uint8_t global_voxel_old_material;
// Set when a dig met a block whose hardness is not below the dig strength.
extern uint8_t global_hit_something_hard;
// flags bit 0x40 asks for a single block.
#define VOXEL_SET_SINGLE 0x40
// The highest z an edit may touch: a pillar never grows taller than a chunk file keeps whole.
#define VOXEL_EDIT_TOP_Z (VOXEL_PILLAR_HEIGHT_LIMIT - 1)
// Spheres bigger than this are edited at this radius, so a wild radius cannot stall the game.
#define VOXEL_SPHERE_MAX_RADIUS 64.0f
// A float box bound as an integer (toward zero), pinned to +-100000 so the conversion is defined.
int voxel_edit_box_int(float value);
uint8_t voxel_set_xyz(int x, int y, int z, uint8_t material, uint8_t flags, uint8_t allow_replace);
void voxel_compress(voxel *v);
void voxel_compress_xy(int x, int y);
// Compresses the column; debug builds then check it and log any fault at level 1.
void voxel_compress_checked_xy(int x, int y);
uint8_t voxel_fluff_xyz(int x, int y, int z, uint8_t allow_removal);
void voxel_fluff_xy(int x, int y, uint8_t off_map, uint8_t allow_removal);
void voxel_fill_xy(int x, int y, int low_z, int high_z, uint8_t material);
// Hooks the object layer sets at start-up (null until then, and nothing happens): debris thrown by
// a dug block, and the collect objects of a dug material given to the local player (null while
// there is no local player; the caller has already turned grass family into dirt where it should).
extern void (*voxel_debris_hook)(uint8_t material, uint8_t light, uint8_t count, float x, float y, float z);
extern void (*voxel_collect_hook)(uint8_t material);
uint16_t voxel_sphere_xyz(float centerx, float centery, float centerz, float radius, uint8_t material,
                          uint8_t allow_particle, uint8_t retrace, float dig_strength, uint8_t add_to_stockpile);
uint16_t voxel_snap_cube_xyz(float centerx, float centery, float centerz, uint8_t material, uint8_t retrace);
void voxel_snap_cube_draw(const uint8_t *color, float centerx, float centery, float centerz);
uint16_t voxel_ore_sphere_xyz(float centerx, float centery, float centerz, float radius, uint8_t ore_material,
                              uint8_t material_to_replace, uint8_t surface_only, uint8_t percent_fill);
void voxel_eggshell_pillar(voxel *v, uint8_t material_to_replace, uint8_t material);
void voxel_eggshell_pillar_xy(int x, int y, uint8_t material_to_replace, uint8_t material);

// voxel_check.cpp — check of the pillar invariants, used by the tests after every edit and by
// the chunk reader on every column it reads. Returns 1 when the pillar starting at v is sound (no
// zero-length record, no air record on top, no unmerged neighbours, runs of at most 511, no
// taller than a chunk file keeps whole, normals of single blocks within -1..1 as a file keeps
// them), else 0 with the first fault described in global_voxel_check_problem.
extern char global_voxel_check_problem[128];
uint8_t voxel_check_pillar(const voxel *v);
uint8_t voxel_check_pillar_xy(int x, int y);

// voxel_fluid.cpp — fluid held by single blocks and the pairwise exchange between pillars.
float voxel_fluid_xyz(int x, int y, int z);
void voxel_fluid_update_xy(int x, int y, int nx, int ny);
void voxel_draw_pillar_fluid_xy(int x, int y);

// voxel_collide.cpp — collision queries against the terrain; they never change it.
extern uint8_t global_hit_spike;
extern float global_debug_u;
uint8_t voxel_collide_block_line(const vector *start, vector *end, vector *placer);
uint8_t voxel_collide_line_sphere(const vector *start, vector *end, const vector *center, float radius,
                                  vector *normal);
uint8_t voxel_collide_line(const vector *start, vector *end, int x, int y, int z);
uint8_t voxel_collide_full_line(const vector *start, vector *end);
float voxel_collide_point(const voxel *v, const vector *p, int x, int y, int z);
uint8_t voxel_collide_sphere(const vector *center, float radius, vector *result, vector *result_normal);
// voxel_shape.cpp — the triangle table of the 256 cell patterns, normals and edge materials.
// A cell is a 2 x 2 x 2 group of blocks; corner c sits at x offset c & 1, y offset (c >> 1) & 1,
// in the lower layer when c >= 4. An entry is the triangle count then three corners per triangle.
#define VOXEL_GEOMETRY_ENTRY_SIZE 32
extern uint8_t voxel_geometry_triangles[256][VOXEL_GEOMETRY_ENTRY_SIZE];
void voxel_geometry_setup(void);
void voxel_assign_triangles(char *non_empty_points, char *triangle_points, uint8_t assign_rotated_and_flipped_versions);
void voxel_assign_replace(char *first, char *second, char to_replace, char replace_with);
void voxel_assign_triangles_rotate_helper(char *first, char *second);
void voxel_assign_triangles_roll_helper(char *first, char *second);
void voxel_assign_triangles_flip_helper(char *first, char *second);
void voxel_assign_backface_flip(char *first);
void voxel_set_normal_xyz(voxel *v, int x, int y, int z);
uint8_t voxel_edge_xyz(int x, int y, int z);

// voxel_light.cpp — sunlight and glow of single blocks by a bounded flood through open blocks
#define VOXEL_FLOOD_SIZE 13
#define VOXEL_FLOOD_QUEUE 500
void voxel_set_light_xyz(int x, int y, int z, uint8_t do_glow_calculation);
void voxel_relight_sphere_xyz(float centerx, float centery, float centerz, float radius, uint8_t do_glow_calculation);
