// voxel_edit.cpp — setting one block, compressing a pillar, fluffing, column fills, ore spheres
// and re-materialising a pillar's surface
#include <cmath>
#include <cstdlib>

#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "terrain/voxel.h"

uint8_t global_voxel_old_material = 0;
uint8_t global_hit_something_hard = 0;

static inline uint16_t voxel_run_word(uint8_t material, uint16_t length) {
    return (uint16_t)((material & VOXEL_MATERIAL_MASK) | (length << VOXEL_LENGTH_SHIFT));
}

// Frees one record that has already been unlinked (voxel_destroy follows next).
static inline void voxel_free_one(voxel *v) {
    v->next = nullptr;
    voxel_destroy(v);
}

uint8_t voxel_set_xyz(int x, int y, int z, uint8_t material, uint8_t flags, uint8_t allow_replace) {
    global_voxel_old_material = 0;
    material &= VOXEL_MATERIAL_MASK;

    // The bottom layer is never replaced; digging or asking for a single block there only makes
    // a one-block bottom record single.
    if (z == 0) {
        if (material == 0 || (flags & VOXEL_SET_SINGLE)) {
            voxel *bottom = chunkmap_get_xyz(x, y, 0);
            if (bottom && voxel_length(bottom) == 1)
                bottom->data = (uint16_t)(voxel_material(bottom) | VOXEL_CENTRED_SINGLE);
        }
        return 0;
    }
    if (z < 0 || z > VOXEL_EDIT_TOP_Z) return 0;

    voxel *block = voxel_create(material, 1);
    if (!block) return 0;
    if (material != 0 && (flags & VOXEL_SET_SINGLE)) block->data = (uint16_t)(material | VOXEL_CENTRED_SINGLE);

    voxel *current = chunkmap_get_xyz(x, y, z);
    if (current) {
        uint16_t length = voxel_length(current);
        uint16_t top = global_voxel_topmost_z;
        if (z >= (int)top) log_message(1, "voxel_set_xyz() -- z == %d, global_voxel_topmost_z == %d", z, top);
        uint8_t old = voxel_material(current);
        global_voxel_old_material = old;
        if (old != 0 && !allow_replace) {
            voxel_destroy(block);
            return 0;
        }
        voxel *upper = voxel_create(old, (uint16_t)(top - z - 1));
        uint16_t lower = (uint16_t)(z - (top - length));
        if (lower >= length || !upper) {
            log_message(1, "  Something happened that shouldn't happen");
            if (!upper) log_message(1, "  Hmmm...  Upper is null");
            voxel_destroy(upper);
            voxel_destroy(block);
            return 0;
        }
        upper->next = current->next;
        block->next = upper;
        current->next = block;
        // The current record keeps the part below z as a run; zero lengths go in the compression.
        current->data = voxel_run_word(old, lower);
    } else {
        voxel *pillar = chunkmap_get_xy(x, y);
        if (!pillar) {
            voxel_destroy(block);
            return 0;
        }
        // z is at or above the top: fill the gap with air runs, then put the block on top. The
        // lookup above left the last record and the column's height behind.
        voxel *last = global_voxel_topmost;
        int height = global_voxel_topmost_z;
        while (height < z) {
            int gap = z - height;
            uint16_t length = (uint16_t)(gap > VOXEL_MAX_RUN ? VOXEL_MAX_RUN : gap);
            voxel *air = voxel_create(0, length);
            if (!air) {
                voxel_destroy(block);
                voxel_compress(pillar);
                return 0;
            }
            last->next = air;
            last = air;
            height += length;
        }
        last->next = block;
    }
    voxel_compress(chunkmap_get_xy(x, y));
    return material != global_voxel_old_material ? 1 : 0;
}

void voxel_compress(voxel *v) {
    if (!v) return;
    voxel *bottom = v;
    if (voxel_length(bottom) == 0) bottom->data = voxel_run_word(voxel_material(bottom), 1);

    voxel *current = bottom;
    while (current->next) {
        voxel *next = current->next;
        if (voxel_length(next) == 0) {
            current->next = next->next;
            voxel_free_one(next);
            continue;
        }
        uint8_t material = voxel_material(current);
        if (voxel_material(next) == material &&
            (material == 0 || (!voxel_is_single(current) && !voxel_is_single(next)))) {
            uint16_t sum = (uint16_t)(voxel_length(current) + voxel_length(next));
            if (sum <= VOXEL_MAX_RUN) {
                current->data = voxel_run_word(material, sum);
                current->next = next->next;
                voxel_free_one(next);
                continue;
            }
            current->data = voxel_run_word(material, VOXEL_MAX_RUN);
            next->data = voxel_run_word(material, (uint16_t)(sum - VOXEL_MAX_RUN));
        }
        current = next;
    }

    // No air stands on top of a pillar: every trailing air record goes, however many there are.
    // A pillar that is all air keeps its bottom record.
    voxel *last_solid = nullptr;
    for (voxel *w = bottom; w; w = w->next)
        if (voxel_material(w) != 0) last_solid = w;
    voxel *keep = last_solid ? last_solid : bottom;
    voxel_destroy(keep->next);
    keep->next = nullptr;
}

void voxel_compress_xy(int x, int y) { voxel_compress(chunkmap_get_xy(x, y)); }

void voxel_compress_checked_xy(int x, int y) {
    voxel_compress_xy(x, y);
#ifndef NDEBUG
    // Debug builds check every column a composite edit leaves behind.
    if (!voxel_check_pillar_xy(x, y))
        log_message(1, "Column %d, %d is unsound after an edit: %s", x, y, global_voxel_check_problem);
#endif
}

// Below the bottom layer counts as solid ground.
static inline uint8_t voxel_neighbour_solid(int x, int y, int z) {
    if (z < 0) return 1;
    voxel *v = chunkmap_get_xyz_off_map(x, y, z);
    return (v && voxel_material(v) != 0) ? 1 : 0;
}

uint8_t voxel_fluff_xyz(int x, int y, int z, uint8_t allow_removal) {
    global_voxel_old_material = 0;
    if (z < 0) return 0;
    voxel *v = chunkmap_get_xyz(x, y, z);
    if (!v) return 0;
    uint8_t material = voxel_material(v);
    global_voxel_old_material = material;
    if (voxel_length(v) == 0) return 0;

    uint8_t left = voxel_neighbour_solid(x - 1, y, z), right = voxel_neighbour_solid(x + 1, y, z);
    uint8_t back = voxel_neighbour_solid(x, y - 1, z), front = voxel_neighbour_solid(x, y + 1, z);
    uint8_t below = voxel_neighbour_solid(x, y, z - 1), above = voxel_neighbour_solid(x, y, z + 1);
    int solid = left + right + back + front + below + above;
    int axes = (left | right) + (back | front) + (below | above);

    if ((axes >= 2 && solid > 2) || !allow_removal || z == 0) {
        if (voxel_is_single(v)) {
            if (material != 0 && solid < 6) return allow_removal ? 0 : 1;
            v->data = voxel_run_word(material, 1);
            return 0;
        }
        if (material != 0 && solid <= 5) {
            voxel_set_xyz(x, y, z, material, VOXEL_SET_SINGLE, 1);
            return allow_removal ? 0 : 1;
        }
        return 0;
    }

    // Held on fewer than two axes or by at most two neighbours: the block falls away.
    if (voxel_length(v) == 1)
        v->data = voxel_run_word(0, 1);
    else
        voxel_set_xyz(x, y, z, 0, 0, 1);
    global_voxel_old_material = material;
    return (material != 0 && allow_removal) ? 1 : 0;
}

void voxel_fluff_xy(int x, int y, uint8_t off_map, uint8_t allow_removal) {
    int height = voxel_height_xy(x, y, off_map);
    for (int z = 0; z <= height; z++) voxel_fluff_xyz(x, y, z, allow_removal);
    voxel_compress_checked_xy(x, y);
}

void voxel_fill_xy(int x, int y, int low_z, int high_z, uint8_t material) {
    // Heights outside 0..top can change nothing, so the loop never runs past them.
    if (low_z < 0) low_z = 0;
    if (high_z > VOXEL_EDIT_TOP_Z) high_z = VOXEL_EDIT_TOP_Z;
    for (int z = low_z; z <= high_z; z++) voxel_set_xyz(x, y, z, material, 0, 1);
}

void voxel_eggshell_pillar(voxel *v, uint8_t material_to_replace, uint8_t material) {
    for (voxel *w = v; w; w = w->next)
        if (voxel_is_single(w) && voxel_material(w) == material_to_replace)
            w->data = (uint16_t)((w->data & ~VOXEL_MATERIAL_MASK) | (material & VOXEL_MATERIAL_MASK));
    voxel_compress(v);
}

void voxel_eggshell_pillar_xy(int x, int y, uint8_t material_to_replace, uint8_t material) {
    voxel_eggshell_pillar(chunkmap_get_xy(x, y), material_to_replace, material);
}

// A coordinate of an edit box as an integer, truncated toward zero; far-off values are pinned
// well outside the map first, so the conversion is always defined. Callers reject NaN.
int voxel_edit_box_int(float value) {
    if (value > 100000.0f) return 100000;
    if (value < -100000.0f) return -100000;
    return (int)value;
}

uint16_t voxel_ore_sphere_xyz(float centerx, float centery, float centerz, float radius, uint8_t ore_material,
                              uint8_t material_to_replace, uint8_t surface_only, uint8_t percent_fill) {
    if (!std::isfinite(centerx) || !std::isfinite(centery) || !std::isfinite(centerz) || !std::isfinite(radius) ||
        radius < 0.0f) {
        log_message(1, "voxel_ore_sphere_xyz() at %f, %f, %f radius %f ignored", (double)centerx, (double)centery,
                    (double)centerz, (double)radius);
        return 0;
    }
    if (radius > VOXEL_SPHERE_MAX_RADIUS) radius = VOXEL_SPHERE_MAX_RADIUS;
    float r = radius + 1.0f;
    int x0 = voxel_edit_box_int(centerx - r), x1 = voxel_edit_box_int(centerx + r);
    int y0 = voxel_edit_box_int(centery - r), y1 = voxel_edit_box_int(centery + r);
    int top = voxel_edit_box_int(centerz + r), bottom = voxel_edit_box_int(centerz - r);
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > CHUNKMAP_COLUMNS - 1) x1 = CHUNKMAP_COLUMNS - 1;
    if (y1 > CHUNKMAP_COLUMNS - 1) y1 = CHUNKMAP_COLUMNS - 1;
    if (top < 0) top = 0;
    if (bottom < 0) bottom = 0;
    if (top > VOXEL_EDIT_TOP_Z) top = VOXEL_EDIT_TOP_Z;

    uint16_t count = 0;
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            if (!chunkmap_get_xy(x, y)) continue;  // nothing to convert in a missing column
            for (int z = top; z >= bottom; z--) {
                float dx = (float)x + 0.5f - centerx, dy = (float)y + 0.5f - centery, dz = (float)z + 0.5f - centerz;
                if (!(dx * dx + dy * dy + dz * dz < r * r)) continue;
                voxel *v = chunkmap_get_xyz(x, y, z);
                if (!v || voxel_material(v) != material_to_replace) continue;
                if (rand() % 100 >= percent_fill) continue;
                if (voxel_is_single(v)) {
                    v->data = (uint16_t)((v->data & ~VOXEL_MATERIAL_MASK) | (ore_material & VOXEL_MATERIAL_MASK));
                } else {
                    if (surface_only) continue;
                    voxel_set_xyz(x, y, z, ore_material, 0, 1);
                }
                count++;
            }
            voxel_compress_checked_xy(x, y);
        }
    }
    return count;
}
