// voxel_edit_sphere.cpp — the composite edits: digging and filling a sphere, and the snapped
// 2 x 2 x 2 cube of grid building with its preview
#include <cmath>

#include "world/chunkmap.h"
#include "display/display.h"
#include "foundation/logfile.h"
#include "terrain/voxel.h"

// The box of one sphere edit, already clamped to the map and to the editable heights.
struct voxel_edit_box {
    int x0, x1, y0, y1, bottom, top;
};

static voxel_edit_box voxel_sphere_box(float cx, float cy, float cz, float r) {
    voxel_edit_box box;
    box.x0 = voxel_edit_box_int(cx - r);
    box.x1 = voxel_edit_box_int(cx + r);
    box.y0 = voxel_edit_box_int(cy - r);
    box.y1 = voxel_edit_box_int(cy + r);
    box.top = voxel_edit_box_int(cz + r);
    box.bottom = voxel_edit_box_int(cz - r);
    if (box.x0 < 0) box.x0 = 0;
    if (box.y0 < 0) box.y0 = 0;
    if (box.x1 > CHUNKMAP_COLUMNS - 1) box.x1 = CHUNKMAP_COLUMNS - 1;
    if (box.y1 > CHUNKMAP_COLUMNS - 1) box.y1 = CHUNKMAP_COLUMNS - 1;
    if (box.top < 0) box.top = 0;
    if (box.bottom < 0) box.bottom = 0;
    if (box.top > VOXEL_EDIT_TOP_Z) box.top = VOXEL_EDIT_TOP_Z;
    if (box.bottom > VOXEL_EDIT_TOP_Z) box.bottom = VOXEL_EDIT_TOP_Z + 1;  // nothing to do
    return box;
}

void (*voxel_debris_hook)(uint8_t material, uint8_t light, uint8_t count, float x, float y, float z) = nullptr;
void (*voxel_collect_hook)(uint8_t material) = nullptr;

// The collect objects a dug block gives the local player: the material's own and its family's,
// looked up by the hook. Grass family blocks dug by a sphere give dirt.
static void voxel_sphere_reward(uint8_t material, uint8_t grass_gives_dirt) {
    if (grass_gives_dirt && material < VOXEL_MATERIAL_COUNT && voxel_material_parent[material] == VOXEL_GRASS)
        material = VOXEL_DIRT;
    if (material >= VOXEL_MATERIAL_COUNT) return;
    if (voxel_collect_hook) voxel_collect_hook(material);
}

static inline uint8_t voxel_light_of(const voxel *v) {
    // The sum is kept in 8 bits, as the light byte it feeds.
    return (uint8_t)((int)global_sun_light_level * v->sunlight / 256 + v->glowlight);
}

uint16_t voxel_sphere_xyz(float centerx, float centery, float centerz, float radius, uint8_t material,
                          uint8_t allow_particle, uint8_t retrace, float dig_strength, uint8_t add_to_stockpile) {
    log_message(5, "voxel_sphere_xyz() at %f, %f, %f", (double)centerx, (double)centery, (double)centerz);
    global_hit_something_hard = 0;
    if (!std::isfinite(centerx) || !std::isfinite(centery) || !std::isfinite(centerz) || !std::isfinite(radius) ||
        radius < 0.0f) {
        log_message(1, "voxel_sphere_xyz() at %f, %f, %f radius %f ignored", (double)centerx, (double)centery,
                    (double)centerz, (double)radius);
        return 0;
    }
    if (radius > VOXEL_SPHERE_MAX_RADIUS) {
        log_message(1, "voxel_sphere_xyz() radius %f cut to %f", (double)radius, (double)VOXEL_SPHERE_MAX_RADIUS);
        radius = VOXEL_SPHERE_MAX_RADIUS;
    }
    material &= VOXEL_MATERIAL_MASK;
    const uint8_t digging = material == 0 ? 1 : 0;
    const float r = radius;
    const voxel_edit_box box = voxel_sphere_box(centerx, centery, centerz, r);
    uint16_t count = 0;
    uint32_t total_light = 0, total_light_count = 0;

    log_message(5, "  Considering voxels in bounding box z (%d->%d)", box.top, box.bottom);
    for (int z = box.top; z >= box.bottom; z--) {
        log_message(5, "    Considering voxels in bounding box y (%d->%d)", box.y0, box.y1);
        for (int y = box.y0; y <= box.y1; y++) {
            log_message(5, "      Considering voxels in bounding box x (%d->%d)", box.x0, box.x1);
            for (int x = box.x0; x <= box.x1; x++) {
                log_message(5, "        Considering %d,%d,%d", x, y, z);
                const float px = (float)x + 0.5f, py = (float)y + 0.5f, pz = (float)z + 0.5f;
                const float dx = px - centerx, dy = py - centery, dz = pz - centerz;
                const float d = sqrtf(dx * dx + dy * dy + dz * dz + 0.00001f);
                // Where the ray from the centre through the block centre meets the sphere,
                // relative to the block's corner.
                const float mx = dx / d * r + centerx - (float)x;
                const float my = dy / d * r + centery - (float)y;
                const float mz = dz / d * r + centerz - (float)z;
                const uint8_t surface = (mx > 0.0f && mx < 1.0f && my > 0.0f && my < 1.0f && mz > 0.0f && mz < 1.0f);
                uint32_t light_total = 0, light_count = 0;
                uint16_t particles = 0;
                uint8_t changed = 0;
                voxel *v = chunkmap_get_xyz(x, y, z);

                if (surface) {
                    if (v && voxel_material(v) != 0 && voxel_is_single(v)) {
                        // An existing surface: e is its current surface point.
                        const uint8_t old = voxel_material(v);
                        vector e = {(float)x, (float)y, (float)z};
                        voxel_add_marker_offset_xyz(v, &e);
                        const float ex = e.x - centerx, ey = e.y - centery, ez = e.z - centerz;
                        const uint8_t outside = (r * r <= ex * ex + ey * ey + ez * ez);
                        const uint8_t light = voxel_light_of(v);
                        light_total += light;
                        if (light) light_count++;
                        if (!digging) {
                            log_message(5, "  voxel_set_xyz(%d,%d,%d)", x, y, z);
                            changed = voxel_set_xyz(x, y, z, material, VOXEL_SET_SINGLE, 0);
                            log_message(5, "    Done");
                            if (outside)
                                voxel_set_marker_xyz(x, y, z, e.x - (float)x, e.y - (float)y, e.z - (float)z);
                            else
                                voxel_set_marker_xyz(x, y, z, mx, my, mz);
                        } else if (dig_strength <= voxel_material_hardness[old]) {
                            if (!outside) global_hit_something_hard = 1;
                        } else if (!outside) {
                            // The surface is pulled in to the sphere.
                            log_message(5, "  voxel_set_xyz(%d,%d,%d)", x, y, z);
                            changed = voxel_set_xyz(x, y, z, old, VOXEL_SET_SINGLE, 1);
                            log_message(5, "    Done");
                            voxel_set_marker_xyz(x, y, z, mx, my, mz);
                            particles += 1;
                        }
                    } else if (v) {
                        const uint8_t old = voxel_material(v);
                        if (!digging) {
                            log_message(5, "  voxel_set_xyz(%d,%d,%d)", x, y, z);
                            changed = voxel_set_xyz(x, y, z, material, VOXEL_SET_SINGLE, 0);
                            log_message(5, "    Done");
                            voxel_set_marker_xyz(x, y, z, mx, my, mz);
                        } else if (dig_strength > voxel_material_hardness[old]) {
                            if (old != 0) {
                                log_message(5, "  voxel_set_xyz(%d,%d,%d)", x, y, z);
                                changed = voxel_set_xyz(x, y, z, old, VOXEL_SET_SINGLE, 1);
                                log_message(5, "    Done");
                                voxel_set_marker_xyz(x, y, z, mx, my, mz);
                                particles += 1;
                            }
                        } else {
                            global_hit_something_hard = 1;
                        }
                    } else if (!digging) {
                        log_message(5, "  voxel_set_xyz(%d,%d,%d)", x, y, z);
                        changed = voxel_set_xyz(x, y, z, material, VOXEL_SET_SINGLE, 0);
                        log_message(5, "    Done");
                        voxel_set_marker_xyz(x, y, z, mx, my, mz);
                    }
                } else if (d < r) {
                    if (digging) {
                        if (v) {
                            if (voxel_material_hardness[voxel_material(v)] < dig_strength) {
                                log_message(5, "  voxel_set_xyz(%d,%d,%d)", x, y, z);
                                changed = voxel_set_xyz(x, y, z, 0, 0, 1);
                                log_message(5, "    Done");
                                particles += 3;
                            } else {
                                global_hit_something_hard = 1;
                            }
                        }
                    } else {
                        log_message(5, "  voxel_set_xyz(%d,%d,%d)", x, y, z);
                        changed = voxel_set_xyz(x, y, z, material, 0, 0);
                        log_message(5, "    Done");
                    }
                }

                total_light += light_total;
                total_light_count += light_count;
                if (particles && digging && allow_particle && light_count && global_voxel_old_material != 0) {
                    uint32_t average = light_total / light_count;
                    uint8_t light = average > 244 ? 255 : (uint8_t)(average + 10);
                    if (voxel_debris_hook)
                        voxel_debris_hook(global_voxel_old_material, light, (uint8_t)particles, px, py, pz);
                }
                if (changed && add_to_stockpile) voxel_sphere_reward(global_voxel_old_material, 1);
                count = (uint16_t)(count + changed);
                log_message(5, "        Done considering %d,%d,%d", x, y, z);
            }
        }
    }

    log_message(5, "  Fluffing");
    uint16_t removed = 0;
    for (int pass = 0; pass < 2; pass++) {
        for (int z = box.top + 1; z >= box.bottom - 1; z--) {
            for (int y = box.y0 - 1; y <= box.y1 + 1; y++) {
                for (int x = box.x0 - 1; x <= box.x1 + 1; x++) {
                    if (!voxel_fluff_xyz(x, y, z, 1)) continue;
                    removed++;
                    if (!digging || !add_to_stockpile) continue;
                    uint8_t old = global_voxel_old_material;
                    if (allow_particle && old != 0 && total_light_count) {
                        uint32_t average = total_light / total_light_count;
                        uint8_t light = average > 244 ? 255 : (uint8_t)(average + 10);
                        if (voxel_debris_hook)
                            voxel_debris_hook(old, light, 3, (float)x + 0.5f, (float)y + 0.5f, (float)z + 0.5f);
                    }
                    voxel_sphere_reward(old, 0);
                }
            }
        }
    }

    log_message(5, "  Doing compression");
    for (int y = box.y0 - 1; y <= box.y1 + 1; y++)
        for (int x = box.x0 - 1; x <= box.x1 + 1; x++) voxel_compress_checked_xy(x, y);

    if (retrace) {
        log_message(5, "  Doing retrace");
        voxel_relight_sphere_xyz(centerx, centery, centerz, r + 6.0f, 1);
    }

    log_message(5, "  Doing invalidate");
    for (int y = box.y0 - 2; y <= box.y1 + 2; y++)
        for (int x = box.x0 - 2; x <= box.x1 + 2; x++) chunkmap_invalidate_xy_multri(x, y);

    if (!digging) count = count > removed ? (uint16_t)(count - removed) : 0;
    log_message(5, "Done with voxel_sphere_xyz()");
    return count;
}

// The snapped cube's rounded centre; NaN or far-off centres give 0 so nothing is placed.
static uint8_t voxel_snap_centre(float cx, float cy, float cz, int *X, int *Y, int *Z) {
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(cz)) return 0;
    *X = voxel_edit_box_int(0.5f + cx);
    *Y = voxel_edit_box_int(0.5f + cy);
    *Z = voxel_edit_box_int(0.5f + cz);
    return 1;
}

uint16_t voxel_snap_cube_xyz(float centerx, float centery, float centerz, uint8_t material, uint8_t retrace) {
    int X, Y, Z;
    if (!voxel_snap_centre(centerx, centery, centerz, &X, &Y, &Z)) return 0;
    int top = Z > 0 ? Z : 0, bottom = Z - 1 > 0 ? Z - 1 : 0;
    if (top > VOXEL_EDIT_TOP_Z + 1) return 0;  // wholly above the editable heights

    uint16_t count = 0;
    for (int z = top; z >= bottom; z--) {
        for (int y = Y - 1; y <= Y; y++) {
            for (int x = X - 1; x <= X; x++) {
                // Solid blocks are never replaced; a placed block's point sits near its middle.
                if (voxel_set_xyz(x, y, z, material, VOXEL_SET_SINGLE, 0)) {
                    voxel_set_marker_xyz(x, y, z, 0.5f, 0.5f, 0.5f);
                    count++;
                }
            }
        }
    }
    for (int pass = 0; pass < 2; pass++)
        for (int z = top + 1; z >= bottom - 1; z--)
            for (int y = Y - 2; y <= Y + 1; y++)
                for (int x = X - 2; x <= X + 1; x++) voxel_fluff_xyz(x, y, z, 1);
    for (int y = Y - 2; y <= Y + 1; y++)
        for (int x = X - 2; x <= X + 1; x++) voxel_compress_checked_xy(x, y);
    if (retrace) voxel_relight_sphere_xyz((float)X, (float)Y, (float)Z, 6.0f, 1);
    for (int y = Y - 3; y <= Y + 2; y++)
        for (int x = X - 3; x <= X + 2; x++) chunkmap_invalidate_xy_multri(x, y);
    return count;
}

void voxel_snap_cube_draw(const uint8_t *color, float centerx, float centery, float centerz) {
    int X, Y, Z;
    if (!color || !voxel_snap_centre(centerx, centery, centerz, &X, &Y, &Z)) return;
    display_wireframe_block(color, (float)X, (float)Y, (float)Z);
}
