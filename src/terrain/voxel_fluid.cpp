// voxel_fluid.cpp — fluid held by single blocks: capacities, the pairwise exchange between
// neighbouring pillars with the sea outside the map, and the easing of the drawn depth
#include "world/chunkmap.h"
#include "terrain/voxel.h"

// Marker height of a single block standing at z: its surface point's height.
static inline float voxel_fluid_marker_height(const voxel *v, int z) {
    return (float)z + (float)((v->data >> 13) & 7) * 0.125f + 0.0625f;
}

// The most fluid a single block may hold, in eighths. A block covered by solid holds a little
// when it is the one giving or taking, and takes nothing as a neighbour.
static uint16_t voxel_fluid_capacity(const voxel *v, uint8_t as_neighbour) {
    int mz = (v->data >> 13) & 7;
    const voxel *above = v->next;
    if (!above) return 65535;
    if (voxel_material(above) != 0) return as_neighbour ? 0 : (uint16_t)(16 - mz);
    if (voxel_is_single(above)) return (uint16_t)(24 - mz);
    int capacity = 16 - mz + 8 * voxel_length(above);
    return (uint16_t)(capacity > 65535 ? 65535 : capacity);
}

// Exchanges fluid between single block v (standing at z) and the single blocks of the pillar
// starting at neighbour. The off-map pillar stands for the sea: its top gives and takes without
// changing. Its records are shared by every column off the map, so none of them ever changes,
// not even the lone stone block the pillar is before a sea level is set up.
static void voxel_fluid_exchange(voxel *v, int z, voxel *neighbour) {
    const uint8_t sea = (neighbour == global_off_map_voxel) ? 1 : 0;
    const float M = voxel_fluid_marker_height(v, z);
    float F = M + (float)v->fluid_depth / 8.0f;
    float P = M + (float)v->fluid_pressure / 8.0f;
    const uint16_t C = voxel_fluid_capacity(v, 0);

    int nz = 0;
    for (voxel *n = neighbour; n; nz += voxel_length(n), n = n->next) {
        if (!voxel_is_single(n)) continue;
        const float m = voxel_fluid_marker_height(n, nz);
        const uint16_t c = voxel_fluid_capacity(n, 1);
        // The neighbour's pressure height is read once, before the exchange.
        const float p = m + (float)n->fluid_pressure / 8.0f;
        if (!(m < F && M < m + (float)c / 8.0f && c != 0)) continue;
        if (voxel_material(v) == VOXEL_GRASS) v->data = (uint16_t)((v->data & ~VOXEL_MATERIAL_MASK) | VOXEL_GRASS_EDGE);

        for (int step = 0; step < 10; step++) {
            if (P > p + 0.125f) {
                if (n->fluid_depth < c) {
                    if (v->fluid_depth && v->fluid_pressure) {
                        if (!sea) {
                            n->fluid_depth++;
                            n->fluid_pressure = n->fluid_depth;
                        }
                        v->fluid_depth--;
                        v->fluid_pressure--;
                        F -= 0.125f;
                        P -= 0.125f;
                    }
                } else if (v->fluid_pressure && !sea) {
                    float level = (P - m) * 8.0f;
                    n->fluid_pressure = (uint16_t)(level > 0.0f ? (level < 65535.0f ? level : 65535.0f) : 0.0f);
                }
            } else if (p > P + 0.125f) {
                if (v->fluid_depth < C) {
                    if (n->fluid_depth && n->fluid_pressure) {
                        v->fluid_depth++;
                        v->fluid_pressure = v->fluid_depth;
                        if (!sea) {
                            n->fluid_depth--;
                            n->fluid_pressure--;
                        }
                        F += 0.125f;
                        P += 0.125f;
                    }
                } else if (n->fluid_pressure) {
                    float level = (p - M) * 8.0f;
                    v->fluid_pressure = (uint16_t)(level > 0.0f ? (level < 65535.0f ? level : 65535.0f) : 0.0f);
                    P -= 0.125f;
                }
            } else {
                break;
            }
        }
    }
}

void voxel_fluid_update_xy(int x, int y, int nx, int ny) {
    voxel *pillar = chunkmap_get_xy(x, y);
    if (!pillar) return;
    if (nx != x || ny != y) {
        voxel *neighbour = chunkmap_get_xy_off_map(nx, ny);
        int z = 0;
        for (voxel *v = pillar; v; z += voxel_length(v), v = v->next)
            if (voxel_is_single(v) && v->fluid_depth) voxel_fluid_exchange(v, z, neighbour);
    }
    for (voxel *v = pillar; v; v = v->next) {
        int wanted = (int)v->fluid_depth + 4;
        if (v->fluid_depth == 0) {
            if (v->fluid_draw_depth) v->fluid_draw_depth--;
        } else if ((int)v->fluid_draw_depth < wanted) {
            v->fluid_draw_depth++;
        } else if ((int)v->fluid_draw_depth > wanted) {
            v->fluid_draw_depth--;
        }
    }
}

float voxel_fluid_xyz(int x, int y, int z) {
    (void)x;
    (void)y;
    (void)z;
    return 0.0f;
}

// Fluid is kept and exchanged but not drawn.
void voxel_draw_pillar_fluid_xy(int x, int y) {
    (void)x;
    (void)y;
}
