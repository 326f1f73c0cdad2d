// worldmap.h — world generation: the island tile, the map layers of height texture laid over it,
// the world's seed file and the building of new chunks from these height fields
#pragma once
#include <cstdint>

#include "terrain/voxel.h"

#define ISLETILE_SIZE 256
#define WORLDMAP_PATH_SIZE 256

// One layer of a height field: the map tile rotated, scaled and shifted (mode 0), or the island
// tile (mode 1), which ends its list.
struct maplayer {
    float x, y;                  // origin in columns
    float sidex, sidey;          // rotated axes
    float frontx, fronty;
    float scale;                 // columns per texture repeat
    float weight;
    uint8_t layer_mode;          // 0 = texture layer, 1 = island layer
    maplayer *next;
};

extern uint8_t isletile_data[ISLETILE_SIZE][ISLETILE_SIZE];  // [y][x], 0 = deepest sea
extern maplayer *maplayer_total, *maplayer_grass, *maplayer_stone, *maplayer_sand;
extern float isletile_scale, maptile_scale;
extern float global_ocean_level;

// worldmap_tile.cpp — the two tiles and the layers
void isletile_clear(void);
void isletile_write(unsigned x, unsigned y, unsigned value, unsigned alpha);
void isletile_write_circle(unsigned cx, unsigned cy, unsigned value, unsigned alpha, unsigned radius);
void isletile_try_write_circle(float cx, float cy, unsigned value, unsigned alpha, float radius);
float isletile_height(float x, float y);
float maptile_height(float x, float y);
maplayer *maplayer_create(float scale, uint8_t mode);
void maplayer_create_and_append(maplayer **list, float scale, uint8_t mode);
void maplayer_destroy(maplayer *ml);
float maplayer_height(const maplayer *ml, float x, float y);
// maplayer_height of four points (x[k], y[k]) into out[k], with the same results.
void maplayer_height4(const maplayer *ml, const float *x, const float *y, float *out);

// worldmap_setup.cpp — the world folder, its seed, the island and the layer lists
uint8_t worldmap_setup(int32_t seed, const char *world_name);
// No seed, the start ocean level and scales, no tree hook, as before worldmap_setup.
void worldmap_reset(void);
// The seed the world runs with, as worldmap_setup left it.
extern int32_t global_world_seed;
// Set when a new world's seed file could not be written. Chunks are saved only once it is, so
// a world never holds chunks of a seed it does not record.
extern uint8_t global_world_seed_unsaved;
// Tries again to write the seed of a new world; 1 when it is on disk (or was already), else 0
// with the reason in errno.
uint8_t worldmap_save_unsaved_seed(void);
// Set when the world's seed is lost: its seed file holds no number, or it is missing while chunk
// files exist. The world then runs on a stand-in seed that is never written; as with a seed
// that cannot be written, chunks read from files are saved as usual and chunks made from the
// stand-in are not (worldmap_save_unsaved_seed answers 0).
extern uint8_t global_world_seed_lost;

// The two painting stages of worldmap_setup, for the seed (both draw from the random sequence).
void worldmap_paint_island_tile(int32_t seed);
void worldmap_build_layers(void);

// worldmap_land.cpp — choosing the seed of a new world
// The ocean level worldmap_setup gives every world.
#define WORLDMAP_OCEAN_LEVEL 20.0f
// A new world's start column and its neighbours within WORLDMAP_LAND_REACH stand at least this
// far above the ocean level.
#define WORLDMAP_LAND_MARGIN 4.0f
#define WORLDMAP_LAND_REACH 2
// Seeds tried before a new world settles for the first one.
#define WORLDMAP_LAND_DRAWS 500
// 1 when the world folder of world_name holds a seed file with something in it: worldmap_setup
// then keeps the world's own seed, and no seed is drawn.
uint8_t worldmap_has_seed_file(const char *world_name);
// The seed drawn after seed, the same on every platform.
int32_t worldmap_next_seed(int32_t seed);
// The lowest terrain height among the columns within WORLDMAP_LAND_REACH of column (x, y), for
// the layers as they are now.
float worldmap_lowest_height_near(int x, int y);
// 1 when a world of this seed has dry land comfortably above the ocean at column (x, y). Paints
// the island tile and builds the layers for it, then releases them.
uint8_t worldmap_seed_starts_on_land(int32_t seed, int x, int y);
// The seed of a new world: first_draw, or the first seed drawn after it whose column (x, y) is dry
// land; logs the seed chosen. The island tile and the layers are left empty.
int32_t worldmap_draw_land_seed(int32_t first_draw, int x, int y);

// worldmap.cpp — chunk generation
// Called for each tree seed of a chunk being generated, with the seed's column centre and ground
// height; returns 1 when it grew a tree there (the seed is then not laid). It must draw no random
// numbers, so the rest of the chunk comes out the same. None: every seed is laid.
extern uint8_t (*worldmap_tree_hook)(float x, float y, float z);
// With the hook set, a chunk also grows up to a dozen trees on its grassland at places drawn from
// the world's seed and the chunk (no random numbers).
// Called once a chunk's generation is done (its terrain final), with the chunk's coordinates:
// the game lets what it grew there come to rest before the chunk is ever saved. None: nothing.
extern void (*worldmap_generated_hook)(int cx, int cy);
// Creates, registers and fills chunk (cx, cy); nothing if it is off the map or resident.
void worldmap_generate_chunk(int cx, int cy);
// The same result built the plain way, one record per block; kept as the reference the fast
// generator is checked against.
void worldmap_generate_chunk_reference(int cx, int cy);
// A freshly built column of the world's terrain at world column (x, y), bottom record first, as
// the column stage of generation makes it (before tree seeds, ores and edges), or none when (x, y)
// is off the map or memory runs out. The chunk reader rebuilds the columns of a damaged file with it.
voxel *worldmap_generate_pillar(int x, int y);
// The edge pass of generation over the one column (x, y), with the neighbours now resident: a
// rebuilt column gets the edge materials a generated one has.
void worldmap_edge_pillar(int x, int y);
