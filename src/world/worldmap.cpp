// worldmap.cpp — building new chunks from the height fields: the columns with their shaped
// surface, tree seeds, ore pockets and edge materials. The fast builder samples each column's
// height once into a grid and builds runs directly; the reference builder makes one record per
// block as the plain algorithm does, and both give the same bytes.
#include "world/worldmap.h"

#include <cmath>

#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "foundation/timer.h"

#define WORLDMAP_TIMER_NAME "worldmap_generate_chunk"
// The grid of total heights covers the chunk, its one-column border for the edge pass and the
// neighbours of that border: columns -2 .. 65 of the chunk.
#define WORLDMAP_GRID (CHUNK_SIZE + 4)
#define WORLDMAP_GRID_OFFSET 2

uint8_t (*worldmap_tree_hook)(float x, float y, float z) = nullptr;
void (*worldmap_generated_hook)(int cx, int cy) = nullptr;
#define WORLDMAP_TREE_TRIES 12

namespace {

// The height fields of one column at its sample point.
struct column_heights {
    float totalz, stonez, sandz, grassz;
    float left, right, down, up;
};

inline float worldmap_stone_height(float x, float y) {
    return (maplayer_height(maplayer_stone, x, y) + 0.75f) * isletile_scale;
}
inline float worldmap_sand_height(float x, float y) { return maplayer_height(maplayer_sand, x, y) * isletile_scale; }
inline float worldmap_grass_height(float x, float y) {
    return (maplayer_height(maplayer_grass, x, y) + 0.5f) * isletile_scale * 2.0f;
}

inline uint8_t worldmap_block_material(int z, float sandz, float stonez) {
    if (z == 0) return VOXEL_CRYSTAL;  // the unbreakable bottom, whatever the rest says
    if (z < stonez) return VOXEL_STONE;
    if (z < sandz) return VOXEL_SAND;
    return VOXEL_DIRT;
}

// The surface normal of a column from its neighbours' heights. raw_x and raw_y are the normalised
// slopes before the straight-up replacement; the marker placement uses them.
struct column_normal {
    float nx, ny, nz, raw_x, raw_y;
};

inline column_normal worldmap_column_normal(const column_heights &h) {
    column_normal n;
    float nx = -2.0f * (h.right - h.left), ny = -2.0f * (h.up - h.down);
    float length = sqrtf(nx * nx + ny * ny + 16.0f + 0.00001f);
    n.raw_x = nx / length;
    n.raw_y = ny / length;
    n.nx = n.raw_x;
    n.ny = n.raw_y;
    n.nz = 4.0f / length;
    if (n.nz > 0.99f) {
        n.nx = 0.01f;
        n.ny = 0.01f;
        n.nz = 0.99f;
    }
    return n;
}

inline int worldmap_neighbor_z(const column_heights &h) {
    return (int)fminf(fminf(h.left, h.right), fminf(h.down, h.up));
}

inline uint8_t worldmap_grassy(const column_heights &h, int topz) {
    return (topz < h.grassz && global_ocean_level < h.grassz) ? 1 : 0;
}

// Makes v a lit surface block of the column with its marker; marker_height is the total height at
// the marker's column point, sampled by the caller.
inline void worldmap_shape_block(voxel *v, const column_normal &n, float mx, float my, float marker_height, int z) {
    v->data = (uint16_t)(voxel_material(v) | VOXEL_CENTRED_SINGLE);
    v->sunlight = 127;
    v->nx = n.nx;
    v->ny = n.ny;
    v->nz = n.nz;
    voxel_set_marker(v, mx, my, marker_height - (float)z);
}

// The marker offset of the block at z: surface blocks below the top lean out along the slope.
inline float worldmap_marker_offset(int topz, int neighborz, int z) {
    float offset = (float)(topz - neighborz);
    if (offset > 0.0f) offset = (float)(topz - z) / offset;
    return offset;
}

// The column the plain way: one record per block, then shaping, grass and compression.
voxel *worldmap_reference_column(int X, int Y) {
    float fx = (float)X + 0.5f, fy = (float)Y + 0.5f;
    column_heights h;
    h.totalz = maplayer_height(maplayer_total, fx, fy);
    h.stonez = worldmap_stone_height(fx, fy);
    h.sandz = worldmap_sand_height(fx, fy);
    h.grassz = worldmap_grass_height(fx, fy);
    h.left = maplayer_height(maplayer_total, fx - 1.0f, fy);
    h.right = maplayer_height(maplayer_total, fx + 1.0f, fy);
    h.down = maplayer_height(maplayer_total, fx, fy - 1.0f);
    h.up = maplayer_height(maplayer_total, fx, fy + 1.0f);
    int neighborz = worldmap_neighbor_z(h);
    int topz = (int)h.totalz;
    if (topz < 0) topz = 0;

    voxel *bottom = nullptr, *top = nullptr;
    column_normal n = worldmap_column_normal(h);
    for (int z = 0; z <= topz; z++) {
        voxel *v = voxel_create(worldmap_block_material(z, h.sandz, h.stonez), 1);
        if (!v) continue;
        if (z >= neighborz || z == topz) {
            float offset = worldmap_marker_offset(topz, neighborz, z);
            float mx = n.raw_x * offset + 0.5f, my = n.raw_y * offset + 0.5f;
            worldmap_shape_block(v, n, mx, my, maplayer_height(maplayer_total, (float)X + mx, (float)Y + my), z);
        }
        if (top)
            top->next = v;
        else
            bottom = v;
        top = v;
    }
    subfunction_timer_start(2);
    if (bottom && worldmap_grassy(h, topz)) voxel_eggshell_pillar(bottom, VOXEL_DIRT, VOXEL_GRASS);
    voxel_compress(bottom);
    subfunction_timer_end(2);
    return bottom;
}

// The first z in low .. high - 1 that is not below the height f, or high if every one is. Heights
// are compared exactly as the block rule compares them: the integer z as a float against f.
inline int worldmap_first_not_below(float f, int low, int high) {
    if (low >= high) return high;
    if (!((float)low < f)) return low;
    if ((float)(high - 1) < f) return high;
    int z = (int)ceilf(f);
    if (z < low) z = low;
    if (z > high) z = high;
    while (z > low && !((float)(z - 1) < f)) z--;
    while (z < high && (float)z < f) z++;
    return z;
}

// The fast column: every height comes from the chunk's sample grids, runs are built whole, and
// the top block's marker point is the column's own sample point, so its height is the grid's too.
voxel *worldmap_fast_column(int X, int Y, const column_heights &c) {
    int topz = (int)c.totalz;
    if (topz < 0) topz = 0;
    int neighborz = worldmap_neighbor_z(c);
    int first_single = neighborz < topz ? neighborz : topz;
    if (first_single < 0) first_single = 0;
    uint8_t grassy = worldmap_grassy(c, topz);
    column_normal n = worldmap_column_normal(c);

    voxel *bottom = nullptr, *top = nullptr;
    auto link = [&](voxel *v) {
        if (top)
            top->next = v;
        else
            bottom = v;
        top = v;
    };
    // Below the surface: crystal, then stone, sand and dirt, each one stretch (the material of a
    // block only changes upward in that order), cut into runs of at most 511.
    if (first_single > 0) {
        int stone_end = worldmap_first_not_below(c.stonez, 1, first_single);
        int sand_end = worldmap_first_not_below(c.sandz, stone_end, first_single);
        const int bounds[5] = {0, 1, stone_end, sand_end, first_single};
        const uint8_t materials[4] = {VOXEL_CRYSTAL, VOXEL_STONE, VOXEL_SAND, VOXEL_DIRT};
        for (int part = 0; part < 4; part++) {
            for (int z = bounds[part]; z < bounds[part + 1];) {
                int length = bounds[part + 1] - z;
                if (length > VOXEL_MAX_RUN) length = VOXEL_MAX_RUN;
                voxel *v = voxel_create(materials[part], (uint16_t)length);
                if (v) link(v);
                z += length;
            }
        }
    }
    for (int z = first_single; z <= topz; z++) {
        uint8_t material = worldmap_block_material(z, c.sandz, c.stonez);
        if (material == VOXEL_DIRT && grassy) material = VOXEL_GRASS;
        voxel *v = voxel_create(material, 1);
        if (!v) continue;
        float offset = worldmap_marker_offset(topz, neighborz, z);
        float mx = n.raw_x * offset + 0.5f, my = n.raw_y * offset + 0.5f;
        float marker_height = offset == 0.0f ? c.totalz : maplayer_height(maplayer_total, (float)X + mx, (float)Y + my);
        worldmap_shape_block(v, n, mx, my, marker_height, z);
        link(v);
    }
    return bottom;
}

// A well-mixed 32-bit hash of the world's seed, a chunk and a try number.
uint32_t worldmap_tree_hash(int cx, int cy, int i) {
    uint32_t h = (uint32_t)global_world_seed * 0x9E3779B1u ^ (uint32_t)cx * 0x85EBCA77u ^ (uint32_t)cy * 0xC2B2AE3Du ^
                 (uint32_t)i * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// The woods the game grows on the grassland besides the seeds' trees: placed by a hash of the
// world's seed and the chunk rather than by the shared random sequence, so the rest of the
// world comes out the same with or without them, and only where a seed could grow.
void worldmap_grow_trees(int cx, int cy) {
    if (!worldmap_tree_hook) return;
    float grown[WORLDMAP_TREE_TRIES][2];
    int count = 0;
    for (int i = 0; i < WORLDMAP_TREE_TRIES; i++) {
        uint32_t h = worldmap_tree_hash(cx, cy, i);
        float tx = (float)(64 * cx + (int)(h & 63)) + 0.5f, ty = (float)(64 * cy + (int)((h >> 6) & 63)) + 0.5f;
        // Off the chunk's one-column border, so a crown never leans into a chunk not yet made.
        if ((h & 63) < 2 || (h & 63) > 61 || ((h >> 6) & 63) < 2 || ((h >> 6) & 63) > 61) continue;
        uint8_t crowded = 0;
        for (int k = 0; k < count; k++)
            crowded |= (grown[k][0] - tx) * (grown[k][0] - tx) + (grown[k][1] - ty) * (grown[k][1] - ty) < 25.0f;
        if (crowded) continue;
        float totalz = maplayer_height(maplayer_total, tx, ty);
        float stonez = worldmap_stone_height(tx, ty);
        float grassz = worldmap_grass_height(tx, ty);
        if (!(totalz < grassz && grassz > global_ocean_level && totalz > stonez)) continue;
        if (!worldmap_tree_hook(tx, ty, totalz)) continue;
        grown[count][0] = tx;
        grown[count][1] = ty;
        count++;
    }
}

void worldmap_tree_seeds(int cx, int cy) {
    int count = (int)random_range(0.0f, 5.0f);
    for (int i = 0; i < count; i++) {
        float tx = random_range(0.0f, 64.0f) + (float)(64 * cx);
        float ty = random_range(0.0f, 64.0f) + (float)(64 * cy);
        float totalz = maplayer_height(maplayer_total, tx, ty);
        float stonez = worldmap_stone_height(tx, ty);
        float grassz = worldmap_grass_height(tx, ty);
        if (!(totalz < grassz && grassz > global_ocean_level && totalz > stonez)) continue;
        // A seed the game grows into a standing tree is used up by it; without the hook it stays
        // in the ground as a seed.
        if (worldmap_tree_hook && worldmap_tree_hook((float)(int)tx + 0.5f, (float)(int)ty + 0.5f, totalz)) continue;
        voxel_set_xyz((int)tx, (int)ty, (int)totalz, VOXEL_SNOW, 64, 1);
    }
    worldmap_grow_trees(cx, cy);
}

void worldmap_ores(int cx, int cy) {
    uint8_t ore = (uint8_t)(VOXEL_COAL_ORE + random_number() % VOXEL_ORE_KINDS);
    int count = (int)random_range(0.0f, 10.0f);
    for (int i = 0; i < count; i++) {
        float ox = random_range(0.0f, 64.0f) + (float)(64 * cx);
        float oy = random_range(0.0f, 64.0f) + (float)(64 * cy);
        float totalz = maplayer_height(maplayer_total, ox, oy);
        float stonez = worldmap_stone_height(ox, oy);
        if (ore == VOXEL_CLAY || ore == VOXEL_LOAM) {
            if (stonez < totalz) {
                float z = random_range(stonez, totalz);
                voxel_ore_sphere_xyz(ox, oy, z, 6.0f, ore, VOXEL_DIRT, 0, 100);
            }
        } else {
            float z = random_range(0.0f, stonez);
            if (z < totalz) voxel_ore_sphere_xyz(ox, oy, z, 4.0f, ore, VOXEL_STONE, 0, 100);
        }
    }
}

// The total height and its four neighbours at a column's sample point.
column_heights worldmap_edge_heights(int X, int Y) {
    float fx = (float)X + 0.5f, fy = (float)Y + 0.5f;
    column_heights h;
    h.totalz = maplayer_height(maplayer_total, fx, fy);
    h.left = maplayer_height(maplayer_total, fx - 1.0f, fy);
    h.right = maplayer_height(maplayer_total, fx + 1.0f, fy);
    h.down = maplayer_height(maplayer_total, fx, fy - 1.0f);
    h.up = maplayer_height(maplayer_total, fx, fy + 1.0f);
    return h;
}

// Edge materials over the columns (x0 .. x0 + width - 1, y0 .. y0 + height - 1), each from the
// smallest neighbour height up to the column's top.
void worldmap_edges_of_columns(int x0, int y0, int width, int height) {
    for (int i = 0; i < width; i++) {
        for (int j = 0; j < height; j++) {
            int X = x0 + i, Y = y0 + j;
            column_heights h = worldmap_edge_heights(X, Y);
            int low = worldmap_neighbor_z(h);
            int high = (int)h.totalz;
            if (high < 0) high = 0;
            // Nothing lies below the bottom layer, so the walk can start there.
            if (low < 0) low = 0;
            for (int z = low; z <= high; z++) voxel_edge_xyz(X, Y, z);
        }
    }
}

// The fast edge pass. A lookup walks a pillar from the bottom through the long runs beneath the
// surface; here each column of the window keeps the record holding the lowest height any edge
// check can ask of it, so a lookup at or above that height starts there. The window is built
// after the ores, the last step that relinks records; the edge pass only rewrites material bits.
struct edge_column {
    voxel *start;  // record holding start_z, or none: then nothing lies at or above start_z
    int start_z;   // the base of that record, or the pillar's height
};
edge_column worldmap_edge_window[WORLDMAP_GRID][WORLDMAP_GRID];

inline voxel *worldmap_edge_lookup(int i, int j, int X, int Y, int z) {
    const edge_column &e = worldmap_edge_window[i][j];
    voxel *v;
    int base;
    if (z >= e.start_z) {
        if (!e.start) return nullptr;
        v = e.start;
        base = e.start_z;
    } else {
        v = chunkmap_get_xy(X, Y);
        base = 0;
    }
    for (; v; v = v->next) {
        int top = base + voxel_length(v);
        if (z < top) return v;
        base = top;
    }
    return nullptr;
}

// The records of one column of the window at z - 1, z and z + 1 (none below the bottom), found
// in one walk.
inline void worldmap_edge_lookup3(int i, int j, int X, int Y, int z, voxel *out[3]) {
    int first = z - 1 < 0 ? 0 : z - 1;
    const edge_column &e = worldmap_edge_window[i][j];
    voxel *v;
    int base;
    if (first >= e.start_z) {
        v = e.start;
        base = e.start_z;
    } else {
        v = chunkmap_get_xy(X, Y);
        base = 0;
    }
    out[0] = nullptr;
    for (int k = z - 1 < 0 ? 1 : 0; k < 3; k++) {
        int target = z - 1 + k;
        while (v && target >= base + voxel_length(v)) {
            base += voxel_length(v);
            v = v->next;
        }
        out[k] = v;
    }
}

// The same rule as voxel_edge_xyz, with the window's lookups; (i, j) is the column's place in it.
inline void worldmap_edge_block(int i, int j, int X, int Y, int z) {
    voxel *v = worldmap_edge_lookup(i, j, X, Y, z);
    if (!v || !voxel_is_single(v)) return;
    uint8_t material = voxel_material(v);
    if (material != VOXEL_GRASS && material != VOXEL_SAND && material != VOXEL_STONE && material != VOXEL_SWAMP) return;
    uint8_t family = voxel_material_parent[material];
    uint8_t new_material = family;
    for (int dx = -1; dx <= 1 && new_material == family; dx++) {
        for (int dy = -1; dy <= 1 && new_material == family; dy++) {
            voxel *column[3];
            worldmap_edge_lookup3(i + dx, j + dy, X + dx, Y + dy, z, column);
            for (int k = 0; k < 3; k++) {
                voxel *n = column[k];
                if ((!dx && !dy && k == 1) || !n || !voxel_is_single(n)) continue;
                uint8_t other = voxel_material_parent[voxel_material(n)];
                // Once the block is an edge, no further neighbour can change that.
                if (other != family && other != VOXEL_NO_FAMILY) {
                    new_material = (uint8_t)(family + 1);
                    break;
                }
            }
        }
    }
    if (new_material == material) return;
    v->data = (uint16_t)((v->data & ~VOXEL_MATERIAL_MASK) | (new_material & VOXEL_MATERIAL_MASK));
}

// Creates and registers the chunk; none when it is off the map, resident or memory runs out.
chunk *worldmap_new_chunk(int cx, int cy) {
    if (cx < 0 || cx >= CHUNKMAP_SIZE || cy < 0 || cy >= CHUNKMAP_SIZE || chunk_map[cx][cy]) return nullptr;
    chunk *c = chunk_create();
    if (!c) {
        log_message(1, "Could not create chunk at %d, %d", cx, cy);
        return nullptr;
    }
    chunk_map[cx][cy] = c;
    return c;
}

void worldmap_timers_start(void) {
    function_timer_start(WORLDMAP_TIMER_NAME);
    subfunction_timer_reset();
}

void worldmap_timers_end(void) {
    function_timer_end(WORLDMAP_TIMER_NAME);
    for (uint8_t sub = 0; sub < 6; sub++) subfunction_timer_log(WORLDMAP_TIMER_NAME, sub);
}

// Scratch of the fast builder, reused by every chunk.
column_heights worldmap_grid_heights[CHUNK_SIZE + 2][CHUNK_SIZE + 2];
float worldmap_grid_total[WORLDMAP_GRID][WORLDMAP_GRID];

void worldmap_fast_edges(int cx, int cy) {
    int base_x = 64 * cx - WORLDMAP_GRID_OFFSET, base_y = 64 * cy - WORLDMAP_GRID_OFFSET;
    // The lowest check of a column comes from itself or a neighbour, one below that one's range.
    int low[WORLDMAP_GRID][WORLDMAP_GRID];
    for (int i = 0; i < WORLDMAP_GRID; i++) {
        for (int j = 0; j < WORLDMAP_GRID; j++) {
            int a = i - 1, b = j - 1;  // place in worldmap_grid_heights
            low[i][j] = (a >= 0 && b >= 0 && a < CHUNK_SIZE + 2 && b < CHUNK_SIZE + 2)
                            ? worldmap_neighbor_z(worldmap_grid_heights[a][b])
                            : 1 << 30;
        }
    }
    for (int i = 0; i < WORLDMAP_GRID; i++) {
        for (int j = 0; j < WORLDMAP_GRID; j++) {
            int lowest = 1 << 30;
            for (int a = i - 1; a <= i + 1; a++)
                for (int b = j - 1; b <= j + 1; b++)
                    if (a >= 0 && b >= 0 && a < WORLDMAP_GRID && b < WORLDMAP_GRID && low[a][b] < lowest)
                        lowest = low[a][b];
            lowest -= 1;
            if (lowest < 0) lowest = 0;
            edge_column &e = worldmap_edge_window[i][j];
            e.start = nullptr;
            int base = 0;
            for (voxel *v = chunkmap_get_xy(base_x + i, base_y + j); v; v = v->next) {
                int top = base + voxel_length(v);
                if (lowest < top) {
                    e.start = v;
                    break;
                }
                base = top;
            }
            e.start_z = base;  // with no record found: the pillar's height, nothing above it
        }
    }
    for (int i = 0; i < CHUNK_SIZE + 2; i++) {
        for (int j = 0; j < CHUNK_SIZE + 2; j++) {
            const column_heights &h = worldmap_grid_heights[i][j];
            int from = worldmap_neighbor_z(h);
            int to = (int)h.totalz;
            if (to < 0) to = 0;
            if (from < 0) from = 0;
            for (int z = from; z <= to; z++) worldmap_edge_block(i + 1, j + 1, base_x + i + 1, base_y + j + 1, z);
        }
    }
}

}  // namespace

voxel *worldmap_generate_pillar(int x, int y) {
    if (x < 0 || x >= CHUNKMAP_COLUMNS || y < 0 || y >= CHUNKMAP_COLUMNS) return nullptr;
    return worldmap_reference_column(x, y);
}

void worldmap_edge_pillar(int x, int y) {
    if (x < 0 || x >= CHUNKMAP_COLUMNS || y < 0 || y >= CHUNKMAP_COLUMNS) return;
    worldmap_edges_of_columns(x, y, 1, 1);
}

void worldmap_generate_chunk_reference(int cx, int cy) {
    worldmap_timers_start();
    subfunction_timer_start(0);
    chunk *c = worldmap_new_chunk(cx, cy);
    subfunction_timer_end(0);
    if (c) {
        subfunction_timer_start(1);
        for (int x = 0; x < CHUNK_SIZE; x++)
            for (int y = 0; y < CHUNK_SIZE; y++) c->pillar[x][y] = worldmap_reference_column(64 * cx + x, 64 * cy + y);
        subfunction_timer_end(1);
        subfunction_timer_start(3);
        worldmap_tree_seeds(cx, cy);
        subfunction_timer_end(3);
        subfunction_timer_start(4);
        worldmap_ores(cx, cy);
        subfunction_timer_end(4);
        subfunction_timer_start(5);
        // The chunk and its one-column border.
        worldmap_edges_of_columns(64 * cx - 1, 64 * cy - 1, CHUNK_SIZE + 2, CHUNK_SIZE + 2);
        subfunction_timer_end(5);        if (worldmap_generated_hook) worldmap_generated_hook(cx, cy);
    }
    worldmap_timers_end();
}

void worldmap_generate_chunk(int cx, int cy) {
    worldmap_timers_start();
    subfunction_timer_start(0);
    chunk *c = worldmap_new_chunk(cx, cy);
    subfunction_timer_end(0);
    if (c) {
        subfunction_timer_start(1);
        // One sample per column: (X - 1) + 0.5 is exactly the neighbour point X + 0.5 - 1, so the
        // grid serves the neighbour heights of every column and of the edge border.
        int base_x = 64 * cx - WORLDMAP_GRID_OFFSET, base_y = 64 * cy - WORLDMAP_GRID_OFFSET;
        static_assert(WORLDMAP_GRID % 4 == 0 && CHUNK_SIZE % 4 == 0, "the grids are sampled four at a time");
        float px[4], py[4];
        for (int i = 0; i < WORLDMAP_GRID; i++) {
            for (int j = 0; j < WORLDMAP_GRID; j += 4) {
                for (int k = 0; k < 4; k++) {
                    px[k] = (float)(base_x + i) + 0.5f;
                    py[k] = (float)(base_y + j + k) + 0.5f;
                }
                maplayer_height4(maplayer_total, px, py, &worldmap_grid_total[i][j]);
            }
        }
        // The stone, sand and grass fields of every column of the chunk.
        for (int x = 0; x < CHUNK_SIZE; x++) {
            for (int y = 0; y < CHUNK_SIZE; y += 4) {
                float stone[4], sand[4], grass[4];
                for (int k = 0; k < 4; k++) {
                    px[k] = (float)(64 * cx + x) + 0.5f;
                    py[k] = (float)(64 * cy + y + k) + 0.5f;
                }
                maplayer_height4(maplayer_stone, px, py, stone);
                maplayer_height4(maplayer_sand, px, py, sand);
                maplayer_height4(maplayer_grass, px, py, grass);
                for (int k = 0; k < 4; k++) {
                    column_heights &h = worldmap_grid_heights[x + 1][y + k + 1];
                    h.stonez = (stone[k] + 0.75f) * isletile_scale;
                    h.sandz = sand[k] * isletile_scale;
                    h.grassz = (grass[k] + 0.5f) * isletile_scale * 2.0f;
                }
            }
        }
        for (int i = 0; i < CHUNK_SIZE + 2; i++) {
            for (int j = 0; j < CHUNK_SIZE + 2; j++) {
                column_heights &h = worldmap_grid_heights[i][j];
                h.totalz = worldmap_grid_total[i + 1][j + 1];
                h.left = worldmap_grid_total[i][j + 1];
                h.right = worldmap_grid_total[i + 2][j + 1];
                h.down = worldmap_grid_total[i + 1][j];
                h.up = worldmap_grid_total[i + 1][j + 2];
            }
        }
        for (int x = 0; x < CHUNK_SIZE; x++)
            for (int y = 0; y < CHUNK_SIZE; y++)
                c->pillar[x][y] = worldmap_fast_column(64 * cx + x, 64 * cy + y, worldmap_grid_heights[x + 1][y + 1]);
        // Grass and compression (sub-timer 2) happen while the runs are built, so they count here.
        subfunction_timer_end(1);
        subfunction_timer_start(3);
        worldmap_tree_seeds(cx, cy);
        subfunction_timer_end(3);
        subfunction_timer_start(4);
        worldmap_ores(cx, cy);
        subfunction_timer_end(4);
        subfunction_timer_start(5);
        worldmap_fast_edges(cx, cy);
        subfunction_timer_end(5);        if (worldmap_generated_hook) worldmap_generated_hook(cx, cy);
    }
    worldmap_timers_end();
}
