// test_voxel_material.cpp — material tables, light table and wave tables
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "terrain_test_util.h"

TEST(VoxelMaterials, UnlistedMaterialsKeepTheDefaults) {
    ScratchWorld world;
    for (int m : {0, 9, 19, 39, 62, 63}) {
        SCOPED_TRACE(m);
        EXPECT_FLOAT_EQ(voxel_texture_xy[m][0], 0.21875f);
        EXPECT_FLOAT_EQ(voxel_texture_xy[m][1], 0.21875f);
        EXPECT_EQ(voxel_texture_variants[m], 1);
        EXPECT_EQ(voxel_texture_frames[m], 1);
        EXPECT_EQ(voxel_texture_slopes[m], 1);
        EXPECT_EQ(voxel_texture_frame_add[m], 0);
        EXPECT_FLOAT_EQ(voxel_material_hardness[m], 2.0f);
        EXPECT_FLOAT_EQ(voxel_material_glow[m], 0.0f);
        EXPECT_EQ(voxel_material_parent[m], m);
    }
    EXPECT_STREQ(voxel_material_name[0], "Mat0");
    EXPECT_STREQ(voxel_material_name[11], "Mat11");
    EXPECT_STREQ(voxel_material_name[200], "Mat200");
    EXPECT_STREQ(voxel_material_name[254], "Mat254");
}

TEST(VoxelMaterials, TableRowsSetAtlasTilesFamiliesHardnessAndGlow) {
    ScratchWorld world;
    // Stone: tile (12, 0), four variants, hardness 9.
    EXPECT_FLOAT_EQ(voxel_texture_xy[3][0], 0.78125f);
    EXPECT_FLOAT_EQ(voxel_texture_xy[3][1], 0.03125f);
    EXPECT_EQ(voxel_texture_variants[3], 4);
    EXPECT_FLOAT_EQ(voxel_material_hardness[3], 9.0f);
    EXPECT_STREQ(voxel_material_name[3], "Stone");
    // The edge variants belong to their family.
    EXPECT_EQ(voxel_material_parent[11], 10);
    EXPECT_EQ(voxel_material_parent[8], 7);
    EXPECT_EQ(voxel_material_parent[4], 3);
    EXPECT_EQ(voxel_material_parent[21], 20);
    EXPECT_FLOAT_EQ(voxel_material_hardness[8], 1.5f);
    // The animated materials share one tile with 16 variants and frames.
    for (int m : {14, 15, 16}) {
        EXPECT_EQ(voxel_material_parent[m], 14);
        EXPECT_FLOAT_EQ(voxel_texture_xy[m][0], 0.03125f);
        EXPECT_FLOAT_EQ(voxel_texture_xy[m][1], 11.0f / 16.0f + 0.03125f);
        EXPECT_EQ(voxel_texture_variants[m], 16);
        EXPECT_EQ(voxel_texture_frames[m], 16);
        EXPECT_FLOAT_EQ(voxel_material_hardness[m], 0.0f);
    }
    EXPECT_FLOAT_EQ(voxel_material_glow[12], 1.0f);
    EXPECT_FLOAT_EQ(voxel_material_glow[13], 0.5f);
    EXPECT_FLOAT_EQ(voxel_material_glow[28], 0.95f);
    EXPECT_EQ(voxel_material_parent[28], 63);
    // Ores sit in a row of tiles 13, 14, 15.
    EXPECT_FLOAT_EQ(voxel_texture_xy[25][0], 13.0f / 16.0f + 0.03125f);
    EXPECT_FLOAT_EQ(voxel_texture_xy[27][0], 15.0f / 16.0f + 0.03125f);
    EXPECT_EQ(voxel_material_parent[27], 3);
    EXPECT_EQ(voxel_material_parent[31], 30);
    EXPECT_EQ(voxel_material_parent[30], 1);
    EXPECT_FLOAT_EQ(voxel_material_hardness[34], 99999.0f);
    EXPECT_FLOAT_EQ(voxel_material_hardness[5], 14.0f);
    EXPECT_FLOAT_EQ(voxel_material_hardness[2], 7.0f);
    const char *named[][2] = {{"1", "Dirt"},    {"10", "Grass"},  {"7", "Sand"},      {"20", "Swamp"},
                              {"5", "Block"},   {"6", "Paver"},   {"31", "Bark"},     {"32", "Leaves"},
                              {"38", "Roof"},   {"33", "Grimstone"}, {"34", "Crystal"}};
    for (auto &entry : named) EXPECT_STREQ(voxel_material_name[atoi(entry[0])], entry[1]);
    EXPECT_TRUE(log_contains("Setting up material 34"));
}

TEST(VoxelMaterials, SingleMaterialTurnsZeroCountsIntoOneAndMasksTheParent) {
    ScratchWorld world;
    strcpy(voxel_material_name[40], "Kept");
    voxel_setup_single_material(40, 64 + 5, 2, 3, 0, 0, 0, nullptr, 4.5f, 0.25f);
    EXPECT_EQ(voxel_texture_variants[40], 1);
    EXPECT_EQ(voxel_texture_frames[40], 1);
    EXPECT_EQ(voxel_texture_slopes[40], 1);
    EXPECT_EQ(voxel_material_parent[40], 5);
    EXPECT_FLOAT_EQ(voxel_texture_xy[40][0], 0.15625f);
    EXPECT_FLOAT_EQ(voxel_texture_xy[40][1], 0.21875f);
    EXPECT_FLOAT_EQ(voxel_material_hardness[40], 4.5f);
    EXPECT_FLOAT_EQ(voxel_material_glow[40], 0.25f);
    EXPECT_STREQ(voxel_material_name[40], "Kept");
}

TEST(VoxelLight, LightTableRisesFromFiveOver128AndSaturatesAt122) {
    ScratchWorld world;
    voxel_setup_light_table();
    EXPECT_FLOAT_EQ(voxel_light_table[0], 0.0390625f);
    for (int i = 0; i < 256; i++) {
        EXPECT_GE(voxel_light_table[i], 0.01f);
        EXPECT_LE(voxel_light_table[i], 0.99f);
    }
    EXPECT_LT(voxel_light_table[121], 0.99f);
    for (int i = 122; i < 256; i++) EXPECT_FLOAT_EQ(voxel_light_table[i], 0.99f);
    vector d = global_light_direction;
    EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1.0f, 1e-4f);
    EXPECT_NEAR(d.y / d.x, 0.5f, 1e-6f);
    EXPECT_NEAR(d.z / d.x, 0.3f, 1e-6f);
    EXPECT_LT(d.x, 0.0f);
    EXPECT_TRUE(log_contains("Setting up light table..."));
}

// Mean absolute difference between neighbouring cells of one wave field.
static float wave_roughness(int m) {
    float sum = 0.0f;
    for (int j = 0; j < 16; j++)
        for (int k = 0; k < 16; k++) sum += fabsf(material_wave_initial[m][j][k] - material_wave_initial[m][(j + 1) & 15][k]);
    return sum / 256.0f;
}

TEST(VoxelWaves, SetupFillsPhasesAndSmoothsOnlyTheWaterMaterials) {
    ScratchWorld world;
    srand(1234);
    setup_wave_table(0, 0.0f, 0.0f);
    for (int m = 0; m < 64; m++) {
        for (int j = 0; j < 16; j++) {
            for (int k = 0; k < 16; k++) {
                ASSERT_GE(material_wave_initial[m][j][k], -1.0f);
                ASSERT_LE(material_wave_initial[m][j][k], 1.0f);
                ASSERT_EQ(material_wave_offset[m][j][k], 0.0f);
            }
        }
    }
    for (int smooth : {62, 12, 16, 15})
        for (int rough : {0, 14, 40})
            EXPECT_LT(wave_roughness(smooth) * 2.0f, wave_roughness(rough)) << smooth << " vs " << rough;
}

TEST(VoxelWaves, OffsetsFollowTheSineOfPhasePlusTime) {
    ScratchWorld world;
    srand(99);
    setup_wave_table(0, 0.0f, 0.0f);
    setup_wave_table(12, 0.25f, 0.15f);
    for (int j = 0; j < 16; j++) {
        for (int k = 0; k < 16; k++) {
            float expected = sinf((material_wave_initial[12][j][k] + 0.25f) * 2.0f * 3.141593f) * 0.15f;
            ASSERT_NEAR(material_wave_offset[12][j][k], expected, 1e-6f);
            ASSERT_EQ(material_wave_offset[14][j][k], 0.0f);
        }
    }
    // Material numbers wrap at 64: 64 + 14 animates material 14.
    setup_wave_table(64 + 14, 0.5f, 0.3f);
    EXPECT_NEAR(material_wave_offset[14][3][4],
                sinf((material_wave_initial[14][3][4] + 0.5f) * 2.0f * 3.141593f) * 0.3f, 1e-6f);
}
