// multri_mega.cpp — distant terrain tiles: super blocks of mega^3 blocks reduced to one averaged
// surface point each, meshed with the shape table into the cache slot of the tile's corner pillar
#include "world/chunkmap.h"
#include "terrain/multri.h"
#include "terrain/voxel.h"

#define MULTRI_MEGA_MAX 8
#define MULTRI_MEGA_PILLARS (2 * MULTRI_MEGA_MAX * 2 * MULTRI_MEGA_MAX)

// One super block of the cell being meshed: quadrant q (0-3) of the upper layer, q + 4 below.
struct multri_super_block {
    uint8_t material;  // 0 = none
    float point[3];    // summed, then averaged surface point
    uint32_t count;
    uint32_t sunlight;  // summed, then averaged
    uint32_t glowlight;
    float normal[3];
};

int multri_mega_level(int mega) {
    if (mega == 4) return 2;
    if (mega == 8) return 3;
    return 1;
}

// Scratch of one build; tiles are built one at a time on the main thread.
static const voxel *mega_record[MULTRI_MEGA_PILLARS];
static uint32_t mega_remaining[MULTRI_MEGA_PILLARS];
static uint8_t mega_placeholder[MULTRI_MEGA_PILLARS];

static void multri_mega_take(int i, const voxel *v) {
    mega_record[i] = v ? v : global_empty_voxel;
    mega_remaining[i] = voxel_length(mega_record[i]);
    if (mega_remaining[i] == 0) mega_remaining[i] = 1;  // a damaged zero-length run must not stall
}

uint32_t multri_build_mega_tile(int x, int y, int mega, multri **list) {
    if (mega < 2 || mega > MULTRI_MEGA_MAX || !list || !global_empty_voxel) return 0;
    const int side = 2 * mega;
    for (int ox = 0; ox < side; ox++)
        for (int oy = 0; oy < side; oy++) multri_mega_take(ox * side + oy, chunkmap_get_xy_off_map(x + ox, y + oy));
    multri_super_block block[8] = {};
    uint32_t added = 0;
    int z = 0;
    uint8_t keep_going = 1, final_lap = 0;
    while (keep_going) {
        keep_going = 0;
        for (int q = 0; q < 4; q++) {
            block[q + 4] = block[q];
            block[q].material = 0;
            block[q].point[0] = block[q].point[1] = block[q].point[2] = 0.0f;
            block[q].count = 0;
            block[q].sunlight = block[q].glowlight = 0;
        }
        for (int ox = 0; ox < side; ox++) {
            for (int oy = 0; oy < side; oy++) {
                const int i = ox * side + oy;
                multri_super_block &b = block[(ox >= mega ? 1 : 0) + (oy >= mega ? 2 : 0)];
                mega_placeholder[i] = 0;
                uint32_t n = 0;
                while (n < (uint32_t)mega) {
                    const voxel *v = mega_record[i];
                    const uint8_t material = voxel_material(v);
                    if (voxel_is_single(v)) {
                        if (material) {
                            if (mega_placeholder[i]) {
                                // A run stood in for this super block; a real surface block wins.
                                b.count = 0;
                                b.point[0] = b.point[1] = b.point[2] = 0.0f;
                                b.material = 0;
                                mega_placeholder[i] = 0;
                            }
                            vector point = {(float)(x + ox), (float)(y + oy), (float)(z + (int)n)};
                            voxel_add_marker_offset_xyz(v, &point);
                            b.point[0] += point.x;
                            b.point[1] += point.y;
                            b.point[2] += point.z;
                            b.count++;
                            b.glowlight += v->glowlight;
                            b.sunlight += v->sunlight;
                            if (!b.material || material < b.material) {
                                b.material = material;
                                b.normal[0] = v->nx;
                                b.normal[1] = v->ny;
                                b.normal[2] = v->nz;
                            }
                        }
                        multri_mega_take(i, v->next);
                        n++;
                    } else {
                        if (material && !b.material && !b.count) {
                            b.material = material;
                            b.point[0] = (float)(x + ox) + 0.5f;
                            b.point[1] = (float)(y + oy) + 0.5f;
                            b.point[2] = (float)(z + (int)n) + (float)mega_remaining[i] / 2.0f;
                            b.count = 1;
                            mega_placeholder[i] = 1;
                        }
                        n += mega_remaining[i];
                        if (n > (uint32_t)mega) {
                            mega_remaining[i] = n - (uint32_t)mega;  // the rest carries into the next layer
                            n = (uint32_t)mega;
                        } else {
                            multri_mega_take(i, v->next);
                        }
                    }
                }
                if (mega_record[i] != global_empty_voxel) keep_going = 1;
            }
        }
        for (int q = 0; q < 4; q++) {
            multri_super_block &b = block[q];
            if (b.count > 1) {
                for (int k = 0; k < 3; k++) b.point[k] /= (float)b.count;
                b.sunlight /= b.count;
                b.glowlight /= b.count;
            }
        }
        uint8_t pattern = 0;
        for (int q = 0; q < 8; q++)
            if (block[q].material) pattern |= (uint8_t)(1 << q);
        const uint8_t *entry = voxel_geometry_triangles[pattern];
        const uint8_t triangles = entry[0] > 10 ? 10 : entry[0];
        for (int t = 0; t < triangles; t++) {
            multri *tri = multri_create();
            if (!tri) return 0;  // what was built stays; the tile is drawn with what it has
            float tile[3][2];
            for (int k = 0; k < 3; k++) {
                const multri_super_block &b = block[entry[1 + 3 * t + k] & 7];
                tile[k][0] = voxel_texture_xy[b.material][0];
                tile[k][1] = voxel_texture_xy[b.material][1];
                for (int i = 0; i < 3; i++) tri->corner_xyz[k][i] = b.point[i];
                tri->nx[k] = b.normal[0];
                tri->ny[k] = b.normal[1];
                tri->nz[k] = b.normal[2];
                tri->sunlight[k] = (uint8_t)(b.sunlight > 255 ? 255 : b.sunlight);
                tri->glowlight[k] = (uint8_t)(b.glowlight > 255 ? 255 : b.glowlight);
            }
            multri_texture_triangle(tri, tile);
            tri->next = *list;
            *list = tri;
            added++;
        }
        if (!keep_going && !final_lap) {
            // One more layer, with empty upper super blocks, caps the top.
            final_lap = 1;
            keep_going = 1;
        }
        z += mega;
    }
    return added;
}

void voxel_draw_mega_pillar_xy(int x, int y, int mega) {
    if (mega < 2 || mega > MULTRI_MEGA_MAX) return;
    const int level = multri_mega_level(mega);
    multri **slot = chunkmap_get_xy_multri(level, x, y);
    if (!slot) return;
    if (!*slot && multri_depth_pass) return;  // tiles are built by the colour pass
    if (!*slot) {
        // A tile is only built once every chunk it reads is resident; a tile built over the
        // stand-in floor of a missing chunk would keep that hole in its cache.
        if (!multri_area_settled(x, y, 2 * mega)) return;
        multri_build_mega_tile(x, y, mega, slot);
    }
    if (*slot) multri_draw(*slot, level == 3 ? 1 : 0);
}
