// test_multri_mega.cpp — distant tiles: super-block reduction, material and normal choice, the
// run placeholder, the final lap, the cache levels and the tile sizes that draw nothing
#include <gtest/gtest.h>

#include "multri_test_util.h"

namespace {

struct MultriMega : ::testing::Test {
    ScratchWorld world;
    multri *list = nullptr;
    void SetUp() override {
        multri_test_flat_shapes();
        multri_test_quiet_tables();
        make_resident_chunk(1, 1, [](int, int) { return floor_pillar(4); });
    }
    void TearDown() override { multri_destroy(list); }
    void replace(int x, int y, voxel *pillar) {
        voxel_destroy(chunk_map[1][1]->pillar[x & 63][y & 63]);
        chunk_map[1][1]->pillar[x & 63][y & 63] = pillar;
    }
    // The triangles of the list whose corners all lie at height z.
    int count_at(float z) {
        int count = 0;
        for (multri *m = list; m; m = m->next)
            if (m->corner_xyz[0][2] == z && m->corner_xyz[1][2] == z && m->corner_xyz[2][2] == z) count++;
        return count;
    }
};

TEST_F(MultriMega, TileSizesOutsideTwoToEightBuildNothing) {
    EXPECT_EQ(multri_build_mega_tile(64, 64, 1, &list), 0u);
    EXPECT_EQ(multri_build_mega_tile(64, 64, 16, &list), 0u);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(multri_mega_level(2), 1);
    EXPECT_EQ(multri_mega_level(4), 2);
    EXPECT_EQ(multri_mega_level(8), 3);
    EXPECT_EQ(multri_mega_level(5), 1);
}

TEST_F(MultriMega, FlatFloorReducesToAveragedSurfacePointsCappedByTheFinalLap) {
    ASSERT_EQ(multri_build_mega_tile(64, 64, 2, &list), 4u);
    // The underside of the first layer (two triangles at the run placeholders) and the top,
    // which only the extra lap after the last pillar ends can draw.
    EXPECT_EQ(count_at(4.5625f), 2);
    for (multri *m = list; m; m = m->next) {
        if (m->corner_xyz[0][2] != 4.5625f) continue;
        for (int k = 0; k < 3; k++) {
            // Quadrant points average four markers: 64.5625 .. 65.5625 -> 65.0625 (or 67.0625).
            float fx = m->corner_xyz[k][0], fy = m->corner_xyz[k][1];
            EXPECT_TRUE(fx == 65.0625f || fx == 67.0625f) << fx;
            EXPECT_TRUE(fy == 65.0625f || fy == 67.0625f) << fy;
            EXPECT_EQ(m->sunlight[k], 127);
            EXPECT_EQ(m->glowlight[k], 1);
            EXPECT_FLOAT_EQ(m->nz[k], 0.99f);
        }
    }
}

TEST_F(MultriMega, RunWithoutSurfaceBlockStandsInHalfwayUpTheRestOfTheRun) {
    // The first layer of mega 4 sees only the stone runs (four blocks from z = 0): each quadrant
    // takes the first pillar's run centre, halfway up the four blocks left.
    ASSERT_GT(multri_build_mega_tile(64, 64, 4, &list), 0u);
    int underside = 0;
    for (multri *m = list; m; m = m->next) {
        if (m->corner_xyz[0][2] != 2.0f) continue;
        underside++;
        for (int k = 0; k < 3; k++) {
            float fx = m->corner_xyz[k][0];
            EXPECT_TRUE(fx == 64.5f || fx == 68.5f) << fx;
            EXPECT_FLOAT_EQ(m->texpos[k][k][0], voxel_texture_xy[3][0]);
        }
    }
    EXPECT_EQ(underside, 2);
    // In the next layer the surface blocks replace the placeholders: the top is at the markers.
    EXPECT_EQ(count_at(4.5625f), 2);
}

TEST_F(MultriMega, SurfaceBlockReplacesTheRunPlaceholderOfItsOwnPillar) {
    // Mega 2, first layer z 0..1: pillar (64, 64) holds a single stone block at z 1 above one
    // run block, so its quadrant's point is that block's marker, not the run's centre.
    voxel *p = make_pillar({run_word(3, 1), single_word(3), run_word(3, 2), single_word(10)}, 127);
    p->next->nx = 0.6f;
    p->next->nz = 0.8f;
    replace(64, 64, p);
    ASSERT_GT(multri_build_mega_tile(64, 64, 2, &list), 0u);
    bool found = false;
    for (multri *m = list; m; m = m->next)
        for (int k = 0; k < 3; k++)
            if (m->corner_xyz[k][0] == 64.5625f && m->corner_xyz[k][1] == 64.5625f && m->corner_xyz[k][2] == 1.5625f) {
                found = true;
                EXPECT_FLOAT_EQ(m->nx[k], 0.6f);
            }
    EXPECT_TRUE(found);
}

TEST_F(MultriMega, SmallestMaterialNumberWinsAndBringsItsNormal) {
    // In quadrant 0 one of the four surface blocks is stone with a tilted normal.
    voxel *p = floor_pillar(4, 3);
    p->next->nx = 0.6f;
    p->next->nz = 0.8f;
    replace(65, 64, p);
    ASSERT_EQ(multri_build_mega_tile(64, 64, 2, &list), 4u);
    int stone_corners = 0;
    for (multri *m = list; m; m = m->next) {
        if (m->corner_xyz[0][2] != 4.5625f) continue;
        for (int k = 0; k < 3; k++) {
            if (m->corner_xyz[k][0] != 65.0625f || m->corner_xyz[k][1] != 65.0625f) {
                EXPECT_FLOAT_EQ(m->texpos[k][k][0], voxel_texture_xy[10][0]);
                continue;
            }
            stone_corners++;
            EXPECT_FLOAT_EQ(m->texpos[k][k][0], voxel_texture_xy[3][0]);
            EXPECT_FLOAT_EQ(m->texpos[k][k][1], voxel_texture_xy[3][1]);
            EXPECT_FLOAT_EQ(m->nx[k], 0.6f);
            EXPECT_FLOAT_EQ(m->nz[k], 0.8f);
        }
    }
    EXPECT_EQ(stone_corners, 2);  // quadrant 0 is corner 4 of both floor triangles
}

TEST_F(MultriMega, TallPillarsCostAFewLayersAndKeepAveragedLight) {
    for (int x = 64; x < 80; x++)
        for (int y = 64; y < 80; y++) {
            voxel *p = floor_pillar(300);
            p->next->sunlight = (uint8_t)(x & 1 ? 100 : 50);
            replace(x, y, p);
        }
    ASSERT_EQ(multri_build_mega_tile(64, 64, 8, &list), 4u);
    EXPECT_EQ(count_at(300.5625f), 2);
    for (multri *m = list; m; m = m->next)
        if (m->corner_xyz[0][2] == 300.5625f) {
            for (int k = 0; k < 3; k++) EXPECT_EQ(m->sunlight[k], 75);
        }
}

TEST_F(MultriMega, TileOverUnloadedGroundUsesTheOffMapFloorButHasNoCacheSlot) {
    EXPECT_EQ(chunkmap_get_xy_multri(1, 0, 0), nullptr);
    EXPECT_EQ(multri_build_mega_tile(0, 0, 2, &list), 4u);
    // One layer of single blocks: its underside and its top both pass through the markers.
    EXPECT_EQ(count_at(0.5625f), 4);
}

}  // namespace
