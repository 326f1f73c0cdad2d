// voxel_edit_placeholder.cpp — PLACEHOLDER for the lighting module's relight, which the edits
// call after changing the terrain; it goes when lighting lands.
#include <cmath>

#include "chunkmap.h"
#include "voxel.h"

// PLACEHOLDER (lighting): the real relight floods light through a box around every single block
// of the sphere and refreshes its normal and edge material. Until then the single blocks of the
// sphere that top their pillar see the full sky and the others keep their light.
void voxel_relight_sphere_xyz(float centerx, float centery, float centerz, float radius,
                              uint8_t do_glow_calculation) {
    (void)do_glow_calculation;
    if (!std::isfinite(centerx) || !std::isfinite(centery) || !std::isfinite(centerz) || !std::isfinite(radius))
        return;
    if (radius > VOXEL_SPHERE_MAX_RADIUS + 8.0f) radius = VOXEL_SPHERE_MAX_RADIUS + 8.0f;
    float r = radius + 1.0f;
    int z0 = voxel_edit_box_int(centerz - r), z1 = voxel_edit_box_int(centerz + r);
    if (z0 < 0) z0 = 0;
    if (z1 > VOXEL_PILLAR_HEIGHT_LIMIT) z1 = VOXEL_PILLAR_HEIGHT_LIMIT;
    for (int y = voxel_edit_box_int(centery - r); y <= voxel_edit_box_int(centery + r); y++) {
        for (int x = voxel_edit_box_int(centerx - r); x <= voxel_edit_box_int(centerx + r); x++) {
            if (!chunkmap_get_xy(x, y)) continue;
            for (int z = z0; z <= z1; z++) {
                float dx = (float)x + 0.5f - centerx, dy = (float)y + 0.5f - centery, dz = (float)z + 0.5f - centerz;
                if (!(dx * dx + dy * dy + dz * dz < r * r)) continue;
                voxel *v = chunkmap_get_xyz(x, y, z);
                if (v && voxel_is_single(v) && !v->next) v->sunlight = 127;
            }
        }
    }
}
