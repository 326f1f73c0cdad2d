// multri_test_util.h — helpers for the terrain rendering tests: a collecting sink, floors of
// hand-made columns, and the few shape-table entries the flat cases need
#pragma once
#include <cstring>
#include <vector>

#include "world/chunkmap.h"
#include "terrain/multri.h"
#include "foundation/random.h"
#include "terrain_test_util.h"
#include "terrain/voxel.h"
#include "foundation/settings.h"

struct collected_triangle {
    multri triangle;
    uint8_t outline;
};

inline void collect_sink(void *context, const multri *triangle, uint8_t outline) {
    ((std::vector<collected_triangle> *)context)->push_back({*triangle, outline});
}

inline std::vector<collected_triangle> mesh_pillar(int x, int y) {
    std::vector<collected_triangle> out;
    uint32_t count = multri_mesh_pillar_xy(x, y, collect_sink, &out);
    EXPECT_EQ(count, out.size());
    return out;
}

// Stand-in entries of the shape table for the flat cases: a floor seen from above (0xF0) and the
// underside of a layer (0x0F). The rest of the table stays empty.
inline void multri_test_flat_shapes() {
    memset(voxel_geometry_triangles, 0, sizeof(voxel_geometry_triangles));
    const uint8_t floor_entry[] = {2, 7, 4, 5, 7, 6, 4};
    const uint8_t ceiling_entry[] = {2, 1, 2, 3, 1, 0, 2};
    memcpy(voxel_geometry_triangles[0xF0], floor_entry, sizeof(floor_entry));
    memcpy(voxel_geometry_triangles[0x0F], ceiling_entry, sizeof(ceiling_entry));
}

// The pillar of a flat floor: a stone run of 'depth' blocks under one grass block with the centred
// marker, full sunlight and a straight-up normal.
inline voxel *floor_pillar(uint16_t depth, uint8_t top_material = 10) {
    voxel *p = make_pillar({run_word(3, depth), single_word(top_material)}, 127);
    voxel *top = p->next;
    top->nx = 0.01f;
    top->ny = 0.0f;
    top->nz = 0.99f;
    top->glowlight = 1;
    return p;
}

// Tilts the top blocks of the 2 x 2 pillars from (x, y) to a slope of normal (0.6, 0, 0.8): ground
// steep enough to get cartoon rims.
inline void tilt_floor_tops(int x, int y) {
    for (int dx = 0; dx < 2; dx++)
        for (int dy = 0; dy < 2; dy++) {
            voxel *top = chunkmap_get_xy(x + dx, y + dy)->next;
            top->nx = 0.6f;
            top->nz = 0.8f;
        }
}

// Quiet tables: no waves, no animation offset, a random table of zeros.
inline void multri_test_quiet_tables() {
    memset(material_wave_offset, 0, sizeof(material_wave_offset));
    memset(voxel_texture_frame_add, 0, sizeof(voxel_texture_frame_add));
    memset(random_table, 0, RANDOM_TABLE_SIZE);
    global_cartoon_mode = 0;
    local_player_under_water = 0;
}
