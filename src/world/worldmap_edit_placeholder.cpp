// worldmap_edit_placeholder.cpp — PLACEHOLDER until the terrain editing module lands: the four
// edits world generation calls (set one block, compress a pillar, re-materialise its single
// blocks, sprinkle ore through a sphere), written from what the generator expects of them.
// Delete this file when voxel_edit.cpp arrives.
#include <cstdlib>

#include "chunkmap.h"
#include "logfile.h"
#include "voxel.h"

uint8_t global_voxel_old_material = 0;

static inline void placeholder_set_length(voxel *v, uint16_t length) {
    v->data = (uint16_t)((v->data & VOXEL_MATERIAL_MASK) | (length << VOXEL_LENGTH_SHIFT));
}

void voxel_compress(voxel *v) {
    voxel *previous = nullptr;
    while (v) {
        if (voxel_length(v) == 0) {
            if (previous) {
                previous->next = v->next;
                v->next = nullptr;
                voxel_destroy(v);
                v = previous;
                previous = nullptr;  // looked at again below; its own previous is not needed
                continue;
            }
            placeholder_set_length(v, 1);
            continue;
        }
        voxel *next = v->next;
        if (!next) break;
        if (!next->next && voxel_material(next) == 0) {
            v->next = nullptr;
            voxel_destroy(next);
            break;
        }
        if (voxel_material(next) == voxel_material(v) &&
            ((!voxel_is_single(v) && !voxel_is_single(next)) || voxel_material(v) == 0)) {
            int sum = voxel_length(v) + voxel_length(next);
            if (sum <= VOXEL_MAX_RUN) {
                placeholder_set_length(v, (uint16_t)sum);
                v->next = next->next;
                next->next = nullptr;
                voxel_destroy(next);
                continue;
            }
            placeholder_set_length(v, VOXEL_MAX_RUN);
            placeholder_set_length(next, (uint16_t)(sum - VOXEL_MAX_RUN));
        }
        previous = v;
        v = next;
    }
}

void voxel_compress_xy(int x, int y) { voxel_compress(chunkmap_get_xy(x, y)); }

void voxel_eggshell_pillar(voxel *v, uint8_t material_to_replace, uint8_t material) {
    for (voxel *r = v; r; r = r->next)
        if (voxel_is_single(r) && voxel_material(r) == material_to_replace)
            r->data = (uint16_t)((r->data & ~VOXEL_MATERIAL_MASK) | (material & VOXEL_MATERIAL_MASK));
    voxel_compress(v);
}

void voxel_eggshell_pillar_xy(int x, int y, uint8_t material_to_replace, uint8_t material) {
    voxel_eggshell_pillar(chunkmap_get_xy(x, y), material_to_replace, material);
}

uint8_t voxel_set_xyz(int x, int y, int z, uint8_t material, uint8_t flags, uint8_t allow_replace) {
    global_voxel_old_material = 0;
    if (z == 0) {
        if (material == 0 || (flags & 0x40)) {
            voxel *v = chunkmap_get_xyz(x, y, 0);
            if (v && voxel_length(v) == 1) v->data = (uint16_t)(voxel_material(v) | VOXEL_CENTRED_SINGLE);
        }
        return 0;
    }
    if (z < 0 || z > 999) return 0;
    voxel *added = voxel_create(material, 1);
    if (!added) return 0;
    if (material && (flags & 0x40)) added->data = (uint16_t)(material | VOXEL_CENTRED_SINGLE);
    voxel *current = chunkmap_get_xyz(x, y, z);
    if (current) {
        uint16_t length = voxel_length(current);
        uint16_t top = global_voxel_topmost_z;
        global_voxel_old_material = voxel_material(current);
        if (global_voxel_old_material && !allow_replace) {
            voxel_destroy(added);
            return 0;
        }
        voxel *upper = voxel_create(global_voxel_old_material, (uint16_t)(top - z - 1));
        uint16_t lower = (uint16_t)(z - (top - length));
        if (lower >= length || !upper) {
            log_message(1, "  Something happened that shouldn't happen");
            voxel_destroy(added);
            voxel_destroy(upper);
            return 0;
        }
        upper->next = current->next;
        added->next = upper;
        current->next = added;
        current->data = (uint16_t)(global_voxel_old_material | (lower << VOXEL_LENGTH_SHIFT));
    } else {
        voxel *last = global_voxel_topmost;
        if (!last) {
            voxel_destroy(added);
            return 0;
        }
        int height = global_voxel_topmost_z;
        while (height < z) {
            int gap = z - height > VOXEL_MAX_RUN ? VOXEL_MAX_RUN : z - height;
            voxel *air = voxel_create(0, (uint16_t)gap);
            if (!air) {
                voxel_destroy(added);
                voxel_compress_xy(x, y);
                return 0;
            }
            last->next = air;
            last = air;
            height += gap;
        }
        last->next = added;
    }
    voxel_compress_xy(x, y);
    return material != global_voxel_old_material ? 1 : 0;
}

uint16_t voxel_ore_sphere_xyz(float centerx, float centery, float centerz, float radius, uint8_t ore_material,
                              uint8_t material_to_replace, uint8_t surface_only, uint8_t percent_fill) {
    float r = radius + 1.0f;
    uint16_t count = 0;
    int top = (int)(centerz + r), bottom = (int)(centerz - r);
    if (top < 0) top = 0;
    if (bottom < 0) bottom = 0;
    for (int y = (int)(centery - r); y <= (int)(centery + r); y++) {
        for (int x = (int)(centerx - r); x <= (int)(centerx + r); x++) {
            for (int z = top; z >= bottom; z--) {
                float dx = (float)x + 0.5f - centerx, dy = (float)y + 0.5f - centery, dz = (float)z + 0.5f - centerz;
                if (dx * dx + dy * dy + dz * dz >= r * r) continue;
                voxel *v = chunkmap_get_xyz(x, y, z);
                if (!v || voxel_material(v) != material_to_replace) continue;
                if (rand() % 100 >= percent_fill) continue;
                if (voxel_is_single(v)) {
                    v->data = (uint16_t)((v->data & ~VOXEL_MATERIAL_MASK) | (ore_material & VOXEL_MATERIAL_MASK));
                    count++;
                } else if (!surface_only) {
                    voxel_set_xyz(x, y, z, ore_material, 0, 1);
                    count++;
                }
            }
            voxel_compress_xy(x, y);
        }
    }
    return count;
}
