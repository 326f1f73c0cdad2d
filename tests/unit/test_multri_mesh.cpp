// test_multri_mesh.cpp — the near mesher over hand-made columns: triangles, positions, texture
// centres and offsets, variants, per-corner light, cartoon rims, waves and run skipping
#include <gtest/gtest.h>

#include <cmath>

#include "multri_test_util.h"
#include "foundation/settings.h"
#include "terrain/voxel.h"

namespace {

struct MultriMesh : ::testing::Test {
    ScratchWorld world;
    void SetUp() override {
        multri_test_flat_shapes();
        multri_test_quiet_tables();
        make_resident_chunk(1, 1, [](int, int) { return floor_pillar(4); });
    }
};

float length2(float a, float b) { return sqrtf(a * a + b * b); }

TEST_F(MultriMesh, FlatFloorGivesTwoUpwardTrianglesThroughTheMarkers) {
    auto triangles = mesh_pillar(70, 70);
    ASSERT_EQ(triangles.size(), 2u);
    // Pattern 0xF0: (7, 4, 5) then (7, 6, 4); corner 7 is pillar (71, 71), corner 4 is (70, 70).
    const multri &t = triangles[0].triangle;
    EXPECT_FLOAT_EQ(t.corner_xyz[0][0], 71.5625f);
    EXPECT_FLOAT_EQ(t.corner_xyz[0][1], 71.5625f);
    EXPECT_FLOAT_EQ(t.corner_xyz[0][2], 4.5625f);
    EXPECT_FLOAT_EQ(t.corner_xyz[1][0], 70.5625f);
    EXPECT_FLOAT_EQ(t.corner_xyz[1][1], 70.5625f);
    EXPECT_FLOAT_EQ(t.corner_xyz[2][0], 71.5625f);
    EXPECT_FLOAT_EQ(t.corner_xyz[2][1], 70.5625f);
    for (const auto &c : triangles) {
        const multri &m = c.triangle;
        EXPECT_EQ(c.outline, 0);
        float ab[3], ac[3];
        for (int i = 0; i < 3; i++) {
            ab[i] = m.corner_xyz[1][i] - m.corner_xyz[0][i];
            ac[i] = m.corner_xyz[2][i] - m.corner_xyz[0][i];
            EXPECT_FLOAT_EQ(m.corner_xyz[i][2], 4.5625f);
        }
        // Wound counter-clockwise from the air: the cross product points up.
        EXPECT_GT(ab[0] * ac[1] - ab[1] * ac[0], 0.0f);
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(m.sunlight[k], 127);
            EXPECT_EQ(m.glowlight[k], 1);
            EXPECT_FLOAT_EQ(m.nz[k], 0.99f);
        }
    }
}

TEST_F(MultriMesh, EachCornerSamplesItsOwnMaterialAtTheTileCentreAndFadesHalfATileAlongItsEdges) {
    auto triangles = mesh_pillar(70, 70);
    ASSERT_EQ(triangles.size(), 2u);
    const multri &t = triangles[0].triangle;
    const float grass_s = voxel_texture_xy[10][0], grass_t = voxel_texture_xy[10][1];
    // Own material: unit k at corner k sits on the tile centre.
    for (int k = 0; k < 3; k++) {
        EXPECT_FLOAT_EQ(t.texpos[k][k][0], grass_s);
        EXPECT_FLOAT_EQ(t.texpos[k][k][1], grass_t);
    }
    // Every other corner is 1/32 of the atlas away from that centre.
    for (int unit = 0; unit < 3; unit++)
        for (int k = 0; k < 3; k++) {
            if (k == unit) continue;
            EXPECT_NEAR(length2(t.texpos[unit][k][0] - grass_s, t.texpos[unit][k][1] - grass_t), 1.0f / 32.0f, 1e-5f)
                << "unit " << unit << " corner " << k;
        }
    // Unit 1 at corner a and at corner c lie on opposite sides of b's centre (edges ab and bc
    // leave b in different directions).
    EXPECT_GT(length2(t.texpos[1][0][0] - t.texpos[1][2][0], t.texpos[1][0][1] - t.texpos[1][2][1]), 0.001f);
}

TEST_F(MultriMesh, VariantSeedMovesTheTileRightByWholeTiles) {
    // Column 71 gets seed 1 from the table; grass has two variants.
    random_table[71] = 1;
    auto triangles = mesh_pillar(70, 70);
    ASSERT_EQ(triangles.size(), 2u);
    const multri &t = triangles[0].triangle;  // corners (71,71), (70,70), (71,70)
    EXPECT_FLOAT_EQ(t.texpos[0][0][0], voxel_texture_xy[10][0]);            // seed 2: variant 0
    EXPECT_FLOAT_EQ(t.texpos[1][1][0], voxel_texture_xy[10][0]);            // seed 0: variant 0
    EXPECT_FLOAT_EQ(t.texpos[2][2][0], voxel_texture_xy[10][0] + 0.0625f);  // seed 1: variant 1
    // The animation offset is added to the seed.
    voxel_texture_frame_add[10] = 1;
    auto animated = mesh_pillar(70, 70);
    EXPECT_FLOAT_EQ(animated[0].triangle.texpos[0][0][0], voxel_texture_xy[10][0] + 0.0625f);
    EXPECT_FLOAT_EQ(animated[0].triangle.texpos[2][2][0], voxel_texture_xy[10][0]);
}

TEST_F(MultriMesh, WavesRaiseCornersByTheirOwnMaterialOrByWaterWavesUnderWater) {
    material_wave_offset[10][71 & 15][71 & 15] = 0.25f;
    material_wave_offset[12][70 & 15][70 & 15] = -0.5f;
    auto dry = mesh_pillar(70, 70);
    EXPECT_FLOAT_EQ(dry[0].triangle.corner_xyz[0][2], 4.8125f);
    EXPECT_FLOAT_EQ(dry[0].triangle.corner_xyz[1][2], 4.5625f);
    local_player_under_water = 1;
    auto wet = mesh_pillar(70, 70);
    local_player_under_water = 0;
    EXPECT_FLOAT_EQ(wet[0].triangle.corner_xyz[0][2], 4.5625f);
    EXPECT_FLOAT_EQ(wet[0].triangle.corner_xyz[1][2], 4.0625f);
}

TEST_F(MultriMesh, CartoonModeAddsReversedRimsPushedOutAlongTheNormalWithLight39) {
    global_cartoon_mode = 1;
    // Level ground has no rims; a slope has.
    EXPECT_EQ(mesh_pillar(72, 72).size(), 2u);
    tilt_floor_tops(70, 70);
    auto triangles = mesh_pillar(70, 70);
    global_cartoon_mode = 0;
    ASSERT_EQ(triangles.size(), 4u);
    const multri &face = triangles[0].triangle;
    const multri &rim = triangles[1].triangle;
    EXPECT_EQ(triangles[0].outline, 0);
    EXPECT_EQ(triangles[1].outline, 1);
    const int order[3] = {0, 2, 1};
    for (int k = 0; k < 3; k++) {
        int from = order[k];
        EXPECT_FLOAT_EQ(rim.corner_xyz[k][0], face.corner_xyz[from][0] + 0.6f * 0.2f);
        EXPECT_FLOAT_EQ(rim.corner_xyz[k][2], face.corner_xyz[from][2] + 0.8f * 0.2f);
        EXPECT_FLOAT_EQ(rim.texpos[0][k][0], face.texpos[0][from][0]);
        EXPECT_FLOAT_EQ(rim.texpos[2][k][1], face.texpos[2][from][1]);
        EXPECT_EQ(rim.sunlight[k], 39);
        EXPECT_EQ(rim.glowlight[k], 39);
    }
}

TEST_F(MultriMesh, ShadingTakesTheLargerOfGlowAndShadedSunlight) {
    global_light_direction = {0.0f, 0.0f, -1.0f};
    global_sun_light_level = 200;
    // (200 * 127) >> 8 = 99, fully lit facing the light.
    EXPECT_EQ(multri_corner_light(127, 1, 0.0f, 0.0f, 1.0f), 99);
    // Facing away: no sun, the glow remains.
    EXPECT_EQ(multri_corner_light(127, 40, 0.0f, 0.0f, -1.0f), 40);
    // Side-on: half.
    EXPECT_EQ(multri_corner_light(127, 1, 1.0f, 0.0f, 0.0f), 49);
    EXPECT_EQ(multri_corner_light(127, 120, 0.0f, 0.0f, 1.0f), 120);
    global_sun_light_level = 0;
    EXPECT_EQ(multri_corner_light(127, 5, 0.0f, 0.0f, 1.0f), 5);
}

TEST_F(MultriMesh, LongRunsSharedByTheFourPillarsAreSkippedInOneStep) {
    for (int x = 80; x <= 81; x++)
        for (int y = 80; y <= 81; y++) {
            voxel_destroy(chunk_map[1][1]->pillar[x & 63][y & 63]);
            chunk_map[1][1]->pillar[x & 63][y & 63] = floor_pillar(400);
        }
    auto triangles = mesh_pillar(80, 80);
    EXPECT_EQ(triangles.size(), 2u);
    EXPECT_FLOAT_EQ(triangles[0].triangle.corner_xyz[0][2], 400.5625f);
    // The run, the surface block and the air above: three cells, not four hundred.
    EXPECT_EQ(global_multri_mesh_steps, 3u);
}

TEST_F(MultriMesh, PillarOfAnUnloadedChunkIsMeshedFromTheOffMapStoneFloor) {
    // Column 20 lies in chunk (0, 0), which is not resident.
    auto triangles = mesh_pillar(20, 20);
    ASSERT_EQ(triangles.size(), 2u);
    // The off-map pillar is one stone block with the centred marker at z = 0.
    EXPECT_FLOAT_EQ(triangles[0].triangle.corner_xyz[0][2], 0.5625f);
    EXPECT_FLOAT_EQ(triangles[0].triangle.texpos[0][0][1], voxel_texture_xy[3][1]);
    EXPECT_EQ(chunkmap_get_xy_multri(0, 20, 20), nullptr);
}

TEST_F(MultriMesh, EmptyColumnsAndSolidInteriorsGiveNoTriangles) {
    for (int x = 90; x <= 91; x++)
        for (int y = 90; y <= 91; y++) {
            voxel_destroy(chunk_map[1][1]->pillar[x & 63][y & 63]);
            chunk_map[1][1]->pillar[x & 63][y & 63] = nullptr;
        }
    EXPECT_EQ(mesh_pillar(90, 90).size(), 0u);
    EXPECT_EQ(global_multri_mesh_steps, 0u);
}

}  // namespace
