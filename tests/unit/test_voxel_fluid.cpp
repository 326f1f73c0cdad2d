// test_voxel_fluid.cpp — the pairwise fluid exchange, capacities, the sea and the drawn depth
#include <gtest/gtest.h>

#include "edit_test_util.h"

// Chunk (0, 0) with every column a crystal bottom, a dirt run and a single block of `top` at z = 4
// (marker height 4.5625); `cover` columns get a stone run of 2 above it.
static void fluid_world(uint8_t top) { make_flat_chunk(0, 0, 5, 1, top); }

static voxel *surface(int x, int y) { return chunkmap_get_xyz(x, y, 4); }

static void set_fluid(voxel *v, uint16_t depth) {
    v->fluid_depth = depth;
    v->fluid_pressure = depth;
}

TEST(VoxelFluid, EightBesideNothingEndsAsOneAndSeven) {
    ScratchWorld world;
    fluid_world(10);
    set_fluid(surface(5, 5), 8);
    voxel_fluid_update_xy(5, 5, 6, 5);
    EXPECT_EQ(surface(5, 5)->fluid_depth, 1);
    EXPECT_EQ(surface(5, 5)->fluid_pressure, 1);
    EXPECT_EQ(surface(6, 5)->fluid_depth, 7);
    EXPECT_EQ(surface(6, 5)->fluid_pressure, 7);
    // Grass under flowing water turns to its edge material; the neighbour stays as it was.
    EXPECT_EQ(voxel_material(surface(5, 5)), 11);
    EXPECT_EQ(voxel_material(surface(6, 5)), 10);
    // Only the updated column's drawn depth moves, one step at a time.
    EXPECT_EQ(surface(5, 5)->fluid_draw_depth, 1);
    EXPECT_EQ(surface(6, 5)->fluid_draw_depth, 0);
}

TEST(VoxelFluid, NothingFlowsToItselfOrUphill) {
    ScratchWorld world;
    fluid_world(1);
    set_fluid(surface(5, 5), 8);
    voxel_fluid_update_xy(5, 5, 5, 5);
    EXPECT_EQ(surface(5, 5)->fluid_depth, 8);
    // A neighbour whose surface stands above this fluid's level takes nothing.
    ASSERT_EQ(voxel_set_xyz(6, 5, 5, 1, VOXEL_SET_SINGLE, 0), 1);
    ASSERT_EQ(voxel_set_xyz(6, 5, 6, 1, VOXEL_SET_SINGLE, 0), 1);
    voxel_fluid_update_xy(5, 5, 6, 5);
    EXPECT_EQ(surface(5, 5)->fluid_depth, 8);
    EXPECT_EQ(voxel_material(surface(5, 5)), 1);
}

TEST(VoxelFluid, ANeighbourCoveredBySolidTakesNothing) {
    ScratchWorld world;
    fluid_world(1);
    ASSERT_EQ(voxel_set_xyz(6, 5, 5, 3, 0, 0), 1);
    set_fluid(surface(5, 5), 8);
    voxel_fluid_update_xy(5, 5, 6, 5);
    EXPECT_EQ(surface(5, 5)->fluid_depth, 8);
    EXPECT_EQ(surface(6, 5)->fluid_depth, 0);
}

TEST(VoxelFluid, ACoveredBlockFillsOnlyToItsCapacity) {
    ScratchWorld world;
    fluid_world(1);
    // Under solid, the block at marker z field 4 holds 16 - 4 = 12 eighths.
    ASSERT_EQ(voxel_set_xyz(5, 5, 5, 3, 0, 0), 1);
    set_fluid(surface(5, 5), 5);
    set_fluid(surface(6, 5), 40);
    voxel_fluid_update_xy(5, 5, 6, 5);
    EXPECT_EQ(surface(5, 5)->fluid_depth, 12);
    EXPECT_EQ(surface(6, 5)->fluid_depth, 33);
    // Once full, the neighbour's push shows as pressure above the surface instead.
    EXPECT_GT(surface(5, 5)->fluid_pressure, 12);
}

TEST(VoxelFluid, AirAboveSetsTheCapacity) {
    ScratchWorld world;
    fluid_world(1);
    // One air block, then stone: 16 - 4 + 8 = 20 eighths.
    ASSERT_EQ(voxel_set_xyz(5, 5, 6, 3, 0, 0), 1);
    set_fluid(surface(5, 5), 12);
    set_fluid(surface(6, 5), 60);
    voxel_fluid_update_xy(5, 5, 6, 5);
    EXPECT_EQ(surface(5, 5)->fluid_depth, 20);
    EXPECT_EQ(surface(6, 5)->fluid_depth, 52);
}

TEST(VoxelFluid, TheSeaGivesAndTakesWithoutChanging) {
    ScratchWorld world;
    fluid_world(1);
    // A sea level just under the shore's surface point: the shore drains into it.
    voxel_setup_off_map_pillar(3, 7, 4, 4.0f, 127, 0);
    voxel *sea = global_off_map_voxel->next;
    ASSERT_NE(sea, nullptr);
    EXPECT_EQ(sea->fluid_depth, 0);
    set_fluid(surface(0, 5), 16);
    voxel_fluid_update_xy(0, 5, -1, 5);
    EXPECT_EQ(surface(0, 5)->fluid_depth, 6);  // ten steps of one eighth
    EXPECT_EQ(sea->fluid_depth, 0);
    // A high sea floods the shore.
    voxel_setup_off_map_pillar(3, 7, 4, 10.0f, 127, 0);
    sea = global_off_map_voxel->next;
    EXPECT_EQ(sea->fluid_depth, 48);
    set_fluid(surface(0, 5), 1);
    voxel_fluid_update_xy(0, 5, -1, 5);
    EXPECT_EQ(surface(0, 5)->fluid_depth, 11);
    EXPECT_EQ(sea->fluid_depth, 48);
    EXPECT_EQ(sea->fluid_pressure, 48);
    // A column beside a chunk that is not resident sees the sea as well.
    set_fluid(surface(63, 5), 1);
    voxel_fluid_update_xy(63, 5, 64, 5);
    EXPECT_EQ(surface(63, 5)->fluid_depth, 11);
}

TEST(VoxelFluid, TheSharedOffMapBlockNeverFillsUp) {
    ScratchWorld world;
    fluid_world(1);
    // Before any sea level is set up, the off-map pillar is one stone block at z = 0.
    set_fluid(surface(0, 5), 30);
    for (int i = 0; i < 5; i++) voxel_fluid_update_xy(0, 5, -1, 5);
    EXPECT_LT(surface(0, 5)->fluid_depth, 30);
    EXPECT_EQ(global_off_map_voxel->fluid_depth, 0);
    EXPECT_EQ(global_off_map_voxel->fluid_pressure, 0);
}

TEST(VoxelFluid, DrawnDepthEasesTowardsDepthPlusFour) {
    ScratchWorld world;
    fluid_world(1);
    set_fluid(surface(5, 5), 8);
    for (int i = 0; i < 12; i++) voxel_fluid_update_xy(5, 5, 5, 5);
    EXPECT_EQ(surface(5, 5)->fluid_draw_depth, 12);
    voxel_fluid_update_xy(5, 5, 5, 5);
    EXPECT_EQ(surface(5, 5)->fluid_draw_depth, 12);
    surface(5, 5)->fluid_draw_depth = 20;
    voxel_fluid_update_xy(5, 5, 5, 5);
    EXPECT_EQ(surface(5, 5)->fluid_draw_depth, 19);
    // Dry blocks let the drawn depth fall to 0 and stay there.
    set_fluid(surface(5, 5), 0);
    surface(5, 5)->fluid_draw_depth = 2;
    for (int i = 0; i < 4; i++) voxel_fluid_update_xy(5, 5, 5, 5);
    EXPECT_EQ(surface(5, 5)->fluid_draw_depth, 0);
    // Columns that do not exist are ignored.
    voxel_fluid_update_xy(-3, 5, -2, 5);
    voxel_fluid_update_xy(100, 100, 101, 100);
}

TEST(VoxelFluid, NoFluidIsReportedAnywhere) {
    ScratchWorld world;
    fluid_world(1);
    set_fluid(surface(5, 5), 8);
    EXPECT_EQ(voxel_fluid_xyz(5, 5, 4), 0.0f);
    EXPECT_EQ(voxel_fluid_xyz(5, 5, 5), 0.0f);
    EXPECT_EQ(voxel_fluid_xyz(-1, 9999, -4), 0.0f);
    voxel_draw_pillar_fluid_xy(5, 5);
}
