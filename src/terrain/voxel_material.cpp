// voxel_material.cpp — the 64-entry material tables, the light table and the material wave tables
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "foundation/logfile.h"
#include "terrain/voxel.h"

float voxel_texture_xy[VOXEL_MATERIAL_COUNT][2];
uint8_t voxel_texture_variants[VOXEL_MATERIAL_COUNT];
uint8_t voxel_texture_frames[VOXEL_MATERIAL_COUNT];
uint8_t voxel_texture_slopes[VOXEL_MATERIAL_COUNT];
uint8_t voxel_texture_frame_add[VOXEL_MATERIAL_COUNT];
float voxel_material_hardness[VOXEL_MATERIAL_COUNT];
float voxel_material_glow[VOXEL_MATERIAL_COUNT];
uint8_t voxel_material_parent[VOXEL_MATERIAL_COUNT];
char voxel_material_name[VOXEL_NAME_COUNT][VOXEL_NAME_SIZE];

float voxel_light_table[256];
vector global_light_direction = {0.0f, 0.0f, 1.0f};

float material_wave_initial[VOXEL_MATERIAL_COUNT][16][16];
float material_wave_offset[VOXEL_MATERIAL_COUNT][16][16];

void voxel_setup_single_material(uint8_t material, uint8_t parent_material, uint8_t x, uint8_t y, uint8_t variants,
                                 uint8_t frames, uint8_t slopes, const char *name, float hardness, float glow) {
    log_message(5, "Setting up material %d", material);
    material &= VOXEL_MATERIAL_MASK;
    voxel_texture_xy[material][0] = (float)x / 16.0f + 0.03125f;
    voxel_texture_xy[material][1] = (float)y / 16.0f + 0.03125f;
    voxel_texture_variants[material] = variants ? variants : 1;
    voxel_texture_frames[material] = frames ? frames : 1;
    voxel_texture_slopes[material] = slopes ? slopes : 1;
    voxel_material_hardness[material] = hardness;
    voxel_material_glow[material] = glow;
    voxel_material_parent[material] = parent_material & VOXEL_MATERIAL_MASK;
    if (name) safe_string_copy(voxel_material_name[material], name, VOXEL_NAME_SIZE, 0);
}

// One row of the material table: material, parent, atlas tile, variants, frames, hardness, glow, name.
struct voxel_material_row {
    uint8_t material;
    uint8_t parent;
    uint8_t x;
    uint8_t y;
    uint8_t variants;
    uint8_t frames;
    float hardness;
    float glow;
    const char *name;
};

// Applied in this order; slopes is 1 in every row.
static const voxel_material_row voxel_material_rows[] = {
    {1, 1, 0, 2, 2, 1, 2.0f, 0.0f, "Dirt"},
    {10, 10, 0, 0, 2, 1, 2.0f, 0.0f, "Grass"},
    {11, 10, 0, 1, 2, 1, 2.0f, 0.0f, nullptr},
    {7, 7, 0, 4, 2, 1, 1.0f, 0.0f, "Sand"},
    {8, 7, 0, 3, 2, 1, 1.5f, 0.0f, nullptr},
    {3, 3, 12, 0, 4, 1, 9.0f, 0.0f, "Stone"},
    {4, 3, 10, 0, 2, 1, 2.0f, 0.0f, nullptr},
    {14, 14, 0, 11, 16, 16, 0.0f, 0.0f, nullptr},
    {15, 14, 0, 11, 16, 16, 0.0f, 0.0f, nullptr},
    {16, 14, 0, 11, 16, 16, 0.0f, 0.0f, nullptr},
    {17, 14, 0, 14, 16, 16, 0.0f, 0.0f, nullptr},
    {18, 14, 0, 15, 16, 16, 0.0f, 0.0f, nullptr},
    {12, 12, 0, 8, 1, 1, 0.0f, 1.0f, nullptr},
    {13, 12, 0, 6, 1, 1, 0.0f, 0.5f, nullptr},
    {20, 20, 6, 0, 2, 1, 2.0f, 0.0f, "Swamp"},
    {21, 20, 8, 0, 2, 1, 2.0f, 0.0f, nullptr},
    {23, 1, 10, 1, 1, 1, 2.0f, 0.0f, nullptr},
    {24, 1, 11, 1, 1, 1, 2.0f, 0.0f, nullptr},
    {22, 3, 12, 1, 1, 1, 9.0f, 0.0f, nullptr},
    {25, 3, 13, 1, 1, 1, 9.0f, 0.0f, nullptr},
    {26, 3, 14, 1, 1, 1, 9.0f, 0.0f, nullptr},
    {27, 3, 15, 1, 1, 1, 9.0f, 0.0f, nullptr},
    {5, 3, 12, 2, 4, 1, 14.0f, 0.0f, "Block"},
    {6, 3, 12, 3, 4, 1, 14.0f, 0.0f, "Paver"},
    {2, 1, 12, 4, 4, 1, 7.0f, 0.0f, nullptr},
    {28, 63, 0, 5, 1, 1, 9.0f, 0.95f, nullptr},
    {29, 63, 1, 5, 1, 1, 9.0f, 0.0f, nullptr},
    {35, 63, 6, 2, 1, 1, 2.0f, 0.0f, nullptr},
    {36, 63, 8, 2, 1, 1, 2.0f, 0.0f, nullptr},
    {37, 63, 12, 2, 1, 1, 14.0f, 0.0f, nullptr},
    {30, 1, 6, 1, 2, 1, 2.0f, 0.0f, nullptr},
    {31, 30, 12, 5, 2, 1, 2.0f, 0.0f, "Bark"},
    {32, 30, 10, 5, 2, 1, 2.0f, 0.0f, "Leaves"},
    {38, 63, 8, 5, 2, 1, 2.0f, 0.0f, "Roof"},
    {33, 3, 8, 1, 2, 1, 2.0f, 0.0f, "Grimstone"},
    {34, 3, 14, 5, 2, 1, 99999.0f, 0.0f, "Crystal"},
};

void voxel_setup_materials(void) {
    for (int m = 0; m < VOXEL_MATERIAL_COUNT; m++) {
        voxel_texture_xy[m][0] = 0.21875f;
        voxel_texture_xy[m][1] = 0.21875f;
        voxel_texture_variants[m] = 1;
        voxel_texture_frames[m] = 1;
        voxel_texture_slopes[m] = 1;
        voxel_texture_frame_add[m] = 0;
        voxel_material_hardness[m] = 2.0f;
        voxel_material_glow[m] = 0.0f;
        voxel_material_parent[m] = (uint8_t)m;
    }
    for (int i = 0; i < VOXEL_NAME_COUNT; i++)
        snprintf(voxel_material_name[i], VOXEL_NAME_SIZE, "Mat%d", i);
    for (const voxel_material_row &row : voxel_material_rows)
        voxel_setup_single_material(row.material, row.parent, row.x, row.y, row.variants, row.frames, 1, row.name,
                                    row.hardness, row.glow);
}

void voxel_setup_light_table(void) {
    log_message(5, "Setting up light table...");
    float x = -1.0f, y = -0.5f, z = -0.3f;
    float length = sqrtf(x * x + y * y + z * z + 0.00001f);
    global_light_direction.x = x / length;
    global_light_direction.y = y / length;
    global_light_direction.z = z / length;
    for (int i = 0; i < 256; i++) {
        float value = (float)(i + 5) / 256.0f * 2.0f;
        if (value < 0.01f) value = 0.01f;
        if (value > 0.99f) value = 0.99f;
        voxel_light_table[i] = value;
    }
}

// The materials whose wave fields are smoothed into gentle swells; the others stay rough.
static const uint8_t wave_smoothed_materials[4] = {VOXEL_WAVE_ONLY, VOXEL_MAGMA, VOXEL_WATER_LAST,
                                                   VOXEL_WATER_FIRST + 1};

void setup_wave_table(uint8_t material, float time, float scale) {
    if (material == 0) {
        for (int m = 0; m < VOXEL_MATERIAL_COUNT; m++) {
            for (int j = 0; j < 16; j++) {
                for (int k = 0; k < 16; k++) {
                    material_wave_initial[m][j][k] = ((float)(rand() & 255) / 255.0f - 0.5f) * 2.0f;
                    material_wave_offset[m][j][k] = 0.0f;
                }
            }
        }
        // Smoothing in place: updated cells feed the later cells of the same pass.
        for (int pass = 0; pass < 2; pass++) {
            for (int j = 0; j < 16; j++) {
                for (int k = 0; k < 16; k++) {
                    for (uint8_t m : wave_smoothed_materials) {
                        float(*w)[16] = material_wave_initial[m];
                        w[j][k] = 0.2f * (w[j][k] + w[(j + 15) & 15][k] + w[(j + 1) & 15][k] + w[j][(k + 15) & 15] +
                                          w[j][(k + 1) & 15]);
                    }
                }
            }
        }
        return;
    }
    material &= VOXEL_MATERIAL_MASK;
    for (int j = 0; j < 16; j++) {
        for (int k = 0; k < 16; k++) {
            material_wave_offset[material][j][k] =
                sinf((material_wave_initial[material][j][k] + time) * 2.0f * KESTROVA_PI) * scale;
        }
    }
}
