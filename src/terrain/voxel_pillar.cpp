// voxel_pillar.cpp — the voxel record: creation and destruction, markers, the shared substitute
// pillars, pillar height and the pillar dump
#include <cstdint>

#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "terrain/voxel.h"

voxel *global_empty_voxel = nullptr;
voxel *global_off_map_voxel = nullptr;

voxel *voxel_create(uint8_t material, uint16_t length) {
    voxel *v = voxel_pool_take();
    if (!v) return nullptr;
    if (length > VOXEL_MAX_RUN) length = VOXEL_MAX_RUN;
    v->data = (uint16_t)((material & VOXEL_MATERIAL_MASK) | (length << VOXEL_LENGTH_SHIFT));
    v->sunlight = 0;
    v->glowlight = 0;
    v->fluid_depth = 0;
    v->fluid_draw_depth = 0;
    v->fluid_pressure = 0;
    v->nx = 0.01f;
    v->ny = 0.01f;
    v->nz = 0.99f;
    v->next = nullptr;
    return v;
}

void voxel_destroy(voxel *v) {
    while (v) {
        voxel *above = v->next;
        voxel_pool_give_back(v);
        v = above;
    }
}

static float voxel_marker_offset(uint16_t field) { return (float)(field & 7) * 0.125f + 0.0625f; }

uint8_t voxel_add_marker_offset_xyz(const voxel *v, vector *marker) {
    if (!v || !marker) return 0;
    if (!voxel_is_single(v)) {
        marker->x += 0.5f;
        marker->y += 0.5f;
        marker->z += 0.5f;
        return 0;
    }
    marker->x += voxel_marker_offset((uint16_t)(v->data >> 7));
    marker->y += voxel_marker_offset((uint16_t)(v->data >> 10));
    marker->z += voxel_marker_offset((uint16_t)(v->data >> 13));
    return 1;
}

static uint16_t voxel_encode_marker(float m) {
    if (!(m >= 0.0625f)) m = 0.0625f;  // also catches NaN
    if (m > 0.9375f) m = 0.9375f;
    return (uint16_t)(8.0f * (m - 0.0625f) + 0.49f);
}

void voxel_set_marker(voxel *v, float mx, float my, float mz) {
    if (!v || !voxel_is_single(v)) return;
    v->data = (uint16_t)((v->data & 0x007F) | (voxel_encode_marker(mx) << 7) | (voxel_encode_marker(my) << 10) |
                         (voxel_encode_marker(mz) << 13));
}

void voxel_set_marker_xyz(int x, int y, int z, float mx, float my, float mz) {
    voxel_set_marker(chunkmap_get_xyz(x, y, z), mx, my, mz);
}

void voxel_clear_map(void) {
    log_message(0, "!!!BAD!!! voxel_clear_map needs work");
    voxel_destroy(global_empty_voxel);
    global_empty_voxel = voxel_create(0, 1);

    voxel_destroy(global_off_map_voxel);
    global_off_map_voxel = voxel_create(VOXEL_STONE, 1);
    if (global_off_map_voxel) {
        global_off_map_voxel->data = 3 | VOXEL_CENTRED_SINGLE;
        global_off_map_voxel->sunlight = 64;
        global_off_map_voxel->glowlight = 0;
    }
}

void voxel_release_substitutes(void) {
    voxel_destroy(global_empty_voxel);
    global_empty_voxel = nullptr;
    voxel_destroy(global_off_map_voxel);
    global_off_map_voxel = nullptr;
}

void voxel_setup_off_map_pillar(uint8_t material, uint8_t top_material, uint16_t height, float water_height,
                                uint8_t sunlight, uint8_t glowlight) {
    if (height > VOXEL_MAX_RUN) height = VOXEL_MAX_RUN;
    voxel *top = voxel_create(top_material, 1);
    if (!top) return;
    top->data = (uint16_t)((top_material & VOXEL_MATERIAL_MASK) | VOXEL_LOW_SINGLE);
    // Water below the top block means none; the depth is clamped so the conversion stays defined.
    float depth = (water_height - (float)height) * 8.0f;
    if (!(depth > 0.0f)) depth = 0.0f;
    if (depth > 65531.0f) depth = 65531.0f;
    top->fluid_depth = (uint16_t)depth;
    top->fluid_pressure = top->fluid_depth;
    top->fluid_draw_depth = (uint16_t)(top->fluid_depth + 4);
    top->sunlight = sunlight;
    top->glowlight = glowlight;

    // A run of length 0 would break the pillar walk, so height 0 leaves the top block alone.
    voxel *pillar = top;
    if (height > 0) {
        pillar = voxel_create(material, height);
        if (!pillar) {
            voxel_destroy(top);
            return;
        }
        pillar->next = top;
    }
    voxel_destroy(global_off_map_voxel);
    global_off_map_voxel = pillar;
}

int voxel_height_xy(int x, int y, uint8_t off_map) {
    const voxel *v = off_map ? chunkmap_get_xy_off_map(x, y) : chunkmap_get_xy(x, y);
    int height = 0;
    for (; v; v = v->next) height += voxel_length(v);
    return height > 0 ? height - 1 : 0;
}

void dump_pillar_xy(int x, int y) {
    log_message(0, "==================================");
    log_message(0, "Dump of pillar at %d, %d", x, y);
    log_message(0, "==================================");
    for (const voxel *v = chunkmap_get_xy(x, y); v; v = v->next) {
        const void *address = (const void *)v;
        if (!voxel_is_single(v)) {
            log_message(0, "  %p -- Run of %d blocks -- material == %d", address, voxel_length(v), voxel_material(v));
        } else {
            log_message(0,
                        "  %p -- Single block (%d blocks) -- material == %d, normal == %f, %f, %f, sun == %d, glow == "
                        "%d...  marker == %4.2f, %4.2f, %4.2f",
                        address, voxel_length(v), voxel_material(v), (double)v->nx, (double)v->ny, (double)v->nz,
                        v->sunlight, v->glowlight, (double)voxel_marker_offset((uint16_t)(v->data >> 7)),
                        (double)voxel_marker_offset((uint16_t)(v->data >> 10)),
                        (double)voxel_marker_offset((uint16_t)(v->data >> 13)));
        }
    }
}
