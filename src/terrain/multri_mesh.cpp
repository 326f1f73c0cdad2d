// multri_mesh.cpp — the near mesher: walks the four pillars of a cell column in step, looks up the
// shape table per cell and hands over textured, lit triangles (and cartoon rims); no GL here
#include <cmath>

#include "foundation/settings.h"
#include "world/chunkmap.h"
#include "terrain/multri.h"
#include "foundation/random.h"
#include "terrain/voxel.h"

// Whether the player's eyes are under water; the main loop sets it each frame from the player.
uint8_t local_player_under_water = 0;
uint32_t global_multri_mesh_steps = 0;

int multri_corner_light(uint8_t sunlight, uint8_t glowlight, float nx, float ny, float nz) {
    int base = (int)(((uint32_t)global_sun_light_level * sunlight) >> 8) & 255;
    const vector &l = global_light_direction;
    float shade = (1.0f - (nx * l.x + ny * l.y + nz * l.z)) / 2.0f;
    int light = (int)((float)base * shade);
    return glowlight > light ? glowlight : light;
}

int multri_fog_corner(int light, float d, float dz, float texpos[2]) {
    float near_edge = (float)global_display_distance + 200.0f;
    float span = (float)global_background_distance - near_edge;
    float f = span > 0.0f ? (d - near_edge) / span : (d > near_edge ? 1.0f : 0.0f);
    if (f < 0.0f) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    float e = dz / d * 2.0f;
    if (e > 1.0f) e = 1.0f;
    if (e < -1.0f) e = -1.0f;
    // The atlas's last tile holds the fog: its alpha rises to the right, its rows go from the
    // colour above the camera to the colour below it.
    texpos[0] = 0.938f + 0.0615f * f;
    texpos[1] = 0.938f + 0.0615f * (0.5f - 0.5f * e);
    return (int)((float)(global_sun_light_level >> 2) * f + (float)light * (1.0f - f));
}

// The offset, in the atlas, of an edge e seen from a corner with normal n: the edge projected on
// the corner's side and up directions, made a unit direction and scaled to half a tile.
static void multri_edge_offset(const float n[3], const float e[3], float out[2]) {
    float s[3] = {n[1], -n[0], 0.0f};
    float u[3];
    vector_cross_xyz(s, n, u);
    float es = vector_dot_xyz(e, s);
    float eu = vector_dot_xyz(e, u);
    float length = sqrtf(es * es + eu * eu);
    float scale = 32.0f * (length + 0.0000001f);
    out[0] = es / scale;
    out[1] = -eu / scale;
}

void multri_texture_triangle(multri *t, const float tile[3][2]) {
    float normal[3][3];
    for (int k = 0; k < 3; k++) {
        normal[k][0] = t->nx[k];
        normal[k][1] = t->ny[k];
        normal[k][2] = t->nz[k];
    }
    float ab[3], ac[3], bc[3];
    for (int i = 0; i < 3; i++) {
        ab[i] = t->corner_xyz[1][i] - t->corner_xyz[0][i];
        ac[i] = t->corner_xyz[2][i] - t->corner_xyz[0][i];
        bc[i] = t->corner_xyz[2][i] - t->corner_xyz[1][i];
    }
    float off_a_ab[2], off_a_ac[2], off_b_ab[2], off_b_bc[2], off_c_ac[2], off_c_bc[2];
    multri_edge_offset(normal[0], ab, off_a_ab);
    multri_edge_offset(normal[0], ac, off_a_ac);
    multri_edge_offset(normal[1], ab, off_b_ab);
    multri_edge_offset(normal[1], bc, off_b_bc);
    multri_edge_offset(normal[2], ac, off_c_ac);
    multri_edge_offset(normal[2], bc, off_c_bc);
    for (int i = 0; i < 2; i++) {
        // corner a
        t->texpos[0][0][i] = tile[0][i];
        t->texpos[1][0][i] = tile[1][i] - off_b_ab[i];
        t->texpos[2][0][i] = tile[2][i] - off_c_ac[i];
        // corner b
        t->texpos[0][1][i] = tile[0][i] + off_a_ab[i];
        t->texpos[1][1][i] = tile[1][i];
        t->texpos[2][1][i] = tile[2][i] - off_c_bc[i];
        // corner c
        t->texpos[0][2][i] = tile[0][i] + off_a_ac[i];
        t->texpos[1][2][i] = tile[1][i] + off_b_bc[i];
        t->texpos[2][2][i] = tile[2][i];
    }
}

// The walk over one pillar of a cell column: its current record and the blocks left in it from z.
struct multri_walk {
    const voxel *record;
    uint32_t remaining;
};

static void multri_walk_start(multri_walk *w, const voxel *bottom) {
    w->record = bottom ? bottom : global_empty_voxel;
    w->remaining = voxel_length(w->record);
    if (w->remaining == 0) w->remaining = 1;  // a damaged zero-length run must not stall the walk
}

static void multri_walk_advance(multri_walk *w, uint32_t step) {
    w->remaining -= step;
    if (w->remaining > 0) return;
    const voxel *next = w->record->next;
    multri_walk_start(w, next);
}

uint8_t multri_nearly_level(const multri *t) {
    // Within about 25 degrees of level at all three corners.
    return t->nz[0] > 0.9f && t->nz[1] > 0.9f && t->nz[2] > 0.9f ? 1 : 0;
}

uint32_t multri_mesh_pillar_xy(int x, int y, multri_sink sink, void *context) {
    if (!global_empty_voxel) return 0;
    multri_walk walk[4];
    const voxel *lower[4], *upper[4];
    int px[4], py[4];
    for (int i = 0; i < 4; i++) {
        px[i] = x + (i & 1);
        py[i] = y + ((i >> 1) & 1);
        multri_walk_start(&walk[i], chunkmap_get_xy_off_map(px[i], py[i]));
        lower[i] = walk[i].record;
    }
    uint32_t count = 0;
    int z = 0;
    global_multri_mesh_steps = 0;
    for (;;) {
        uint8_t going = 0;
        for (int i = 0; i < 4; i++)
            if (lower[i] != global_empty_voxel) going = 1;
        if (!going) break;
        global_multri_mesh_steps++;
        uint8_t pattern = 0;
        for (int i = 0; i < 4; i++) {
            upper[i] = walk[i].record;
            if (voxel_material(upper[i])) pattern |= (uint8_t)(1 << i);
            if (voxel_material(lower[i])) pattern |= (uint8_t)(16 << i);
        }
        const uint8_t *entry = voxel_geometry_triangles[pattern];
        uint8_t triangles = entry[0] > 10 ? 10 : entry[0];
        if (triangles) {
            const voxel *record[8];
            float position[8][3], outline[8][3];
            uint8_t seed[8];
            for (int c = 0; c < 8; c++) {
                int i = c & 3;
                record[c] = c < 4 ? upper[i] : lower[i];
                int cz = c < 4 ? z : z - 1;
                vector point = {(float)px[i], (float)py[i], (float)cz};
                voxel_add_marker_offset_xyz(record[c], &point);
                uint8_t wave_material = local_player_under_water ? VOXEL_MAGMA : voxel_material(record[c]);
                point.z += material_wave_offset[wave_material][px[i] & 15][py[i] & 15];
                position[c][0] = point.x;
                position[c][1] = point.y;
                position[c][2] = point.z;
                outline[c][0] = point.x + record[c]->nx * 0.2f;
                outline[c][1] = point.y + record[c]->ny * 0.2f;
                outline[c][2] = point.z + record[c]->nz * 0.2f;
                seed[c] = (uint8_t)(random_table[px[i] & 255] + random_table[py[i] & 255] + random_table[cz & 255]);
            }
            for (int t = 0; t < triangles; t++) {
                const uint8_t corner[3] = {(uint8_t)(entry[1 + 3 * t] & 7), (uint8_t)(entry[2 + 3 * t] & 7),
                                           (uint8_t)(entry[3 + 3 * t] & 7)};
                multri tri = {};
                float tile[3][2];
                for (int k = 0; k < 3; k++) {
                    const voxel *v = record[corner[k]];
                    uint8_t m = voxel_material(v);
                    uint8_t variants = voxel_texture_variants[m] ? voxel_texture_variants[m] : 1;
                    int variant = (seed[corner[k]] + voxel_texture_frame_add[m]) % variants;
                    tile[k][0] = voxel_texture_xy[m][0] + (float)variant / 16.0f;
                    tile[k][1] = voxel_texture_xy[m][1];
                    for (int i = 0; i < 3; i++) tri.corner_xyz[k][i] = position[corner[k]][i];
                    tri.nx[k] = v->nx;
                    tri.ny[k] = v->ny;
                    tri.nz[k] = v->nz;
                    tri.sunlight[k] = v->sunlight;
                    tri.glowlight[k] = v->glowlight;
                }
                multri_texture_triangle(&tri, tile);
                sink(context, &tri, 0);
                count++;
                // Nearly level ground gets no rim: seen low across rolling land, every gentle crest
                // would show its rim as a long dark streak along the horizon. Slopes, walls and
                // blocks keep theirs.
                if (global_cartoon_mode && !multri_nearly_level(&tri)) {
                    // The rim: corners a, c, b at the outline positions, each keeping its own
                    // texture coordinates, lit as the outline row.
                    multri rim = tri;
                    const int order[3] = {0, 2, 1};
                    for (int k = 0; k < 3; k++) {
                        int from = order[k];
                        for (int i = 0; i < 3; i++) rim.corner_xyz[k][i] = outline[corner[from]][i];
                        for (int u = 0; u < 3; u++) {
                            rim.texpos[u][k][0] = tri.texpos[u][from][0];
                            rim.texpos[u][k][1] = tri.texpos[u][from][1];
                        }
                        rim.nx[k] = tri.nx[from];
                        rim.ny[k] = tri.ny[from];
                        rim.nz[k] = tri.nz[from];
                        rim.sunlight[k] = 39;
                        rim.glowlight[k] = 39;
                    }
                    sink(context, &rim, 1);
                    count++;
                }
            }
        }
        uint32_t step = walk[0].remaining;
        for (int i = 1; i < 4; i++)
            if (walk[i].remaining < step) step = walk[i].remaining;
        for (int i = 0; i < 4; i++) {
            lower[i] = upper[i];
            multri_walk_advance(&walk[i], step);
        }
        z += (int)step;
    }
    return count;
}
