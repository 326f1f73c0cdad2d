// test_voxel_collide.cpp — the block line and its placer, line-sphere contacts far from the
// origin, the full line, point distances and the sphere push-out
#include <gtest/gtest.h>

#include <cmath>

#include "edit_test_util.h"

static vector vec(float x, float y, float z) { return vector{x, y, z}; }

// Chunk (1, 1) with only the crystal bottom, and three or four stone blocks at z = 10 around
// the group whose lowest block is (80, 80, 10).
static void floating_blocks(bool fourth) {
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(34, 1)}); });
    voxel_set_xyz(80, 80, 10, 3, 0, 0);
    voxel_set_xyz(81, 80, 10, 3, 0, 0);
    voxel_set_xyz(80, 81, 10, 3, 0, 0);
    if (fourth) voxel_set_xyz(81, 81, 10, 3, 0, 0);
}

TEST(VoxelBlockLine, StartingInsideAHalfSolidGroupHitsAtOnce) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    vector start = vec(80.2f, 80.3f, 3.6f), end = vec(90.2f, 80.3f, 3.6f), placer = vec(0, 0, 0);
    ASSERT_EQ(voxel_collide_block_line(&start, &end, &placer), 1);
    EXPECT_EQ(end.x, 80.0f);
    EXPECT_EQ(end.y, 80.0f);
    EXPECT_EQ(end.z, 5.0f);
    // With no cell before it, the placer steps back along x against the walk.
    EXPECT_EQ(placer.x, 79.0f);
    EXPECT_EQ(placer.y, 80.0f);
    EXPECT_EQ(placer.z, 5.0f);
}

TEST(VoxelBlockLine, AGroupOfThreeSolidBlocksIsPassedThrough) {
    ScratchWorld world;
    floating_blocks(false);
    vector start = vec(70.9f, 81.0f, 10.0f), end = vec(90.9f, 81.0f, 10.0f), placer = vec(-1, -1, -1);
    EXPECT_EQ(voxel_collide_block_line(&start, &end, &placer), 0);
    EXPECT_EQ(end.x, 90.9f);
    EXPECT_EQ(placer.x, -1.0f);
}

TEST(VoxelBlockLine, ThePlacerStepsBackTowardsTheStartOnTheCrossedAxis) {
    ScratchWorld world;
    floating_blocks(true);
    vector start = vec(70.9f, 81.0f, 10.0f), end = vec(90.9f, 81.0f, 10.0f), placer;
    ASSERT_EQ(voxel_collide_block_line(&start, &end, &placer), 1);
    EXPECT_EQ(end.x, 81.0f);
    EXPECT_EQ(end.y, 81.0f);
    EXPECT_EQ(end.z, 11.0f);
    EXPECT_EQ(placer.x, 80.0f);
    EXPECT_EQ(placer.y, 81.0f);
    EXPECT_EQ(placer.z, 11.0f);
    // Walking the other way the placer lies on the other side.
    start = vec(90.9f, 81.0f, 10.0f);
    end = vec(70.9f, 81.0f, 10.0f);
    ASSERT_EQ(voxel_collide_block_line(&start, &end, &placer), 1);
    EXPECT_EQ(end.x, 81.0f);
    EXPECT_EQ(placer.x, 82.0f);
    EXPECT_EQ(placer.y, 81.0f);
    // Looking straight down onto the ground the step back is upward.
    make_flat_chunk(2, 2, 5, 1, 10);
    start = vec(150.3f, 150.3f, 12.0f);
    end = vec(150.3f, 150.3f, 0.0f);
    ASSERT_EQ(voxel_collide_block_line(&start, &end, &placer), 1);
    EXPECT_EQ(end.z, 5.0f);
    EXPECT_EQ(placer.x, 150.0f);
    EXPECT_EQ(placer.y, 150.0f);
    EXPECT_EQ(placer.z, 6.0f);
}

TEST(VoxelBlockLine, OffTheMapTheStoneLayerIsSeen) {
    ScratchWorld world;
    vector start = vec(-20.3f, -20.3f, 3.0f), end = vec(-20.3f, -20.3f, -5.0f), placer;
    ASSERT_EQ(voxel_collide_block_line(&start, &end, &placer), 1);
    EXPECT_EQ(end.z, 1.0f);
    EXPECT_EQ(placer.z, 2.0f);
    // A line that stays high above it meets nothing.
    start = vec(-20.3f, -20.3f, 30.0f);
    end = vec(-40.3f, -20.3f, 30.0f);
    EXPECT_EQ(voxel_collide_block_line(&start, &end, &placer), 0);
}

TEST(VoxelBlockLine, WildLinesMeetNothingAndReturnAtOnce) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    vector placer;
    vector start = vec(NAN, 80.0f, 10.0f), end = vec(80.0f, 80.0f, 0.0f);
    EXPECT_EQ(voxel_collide_block_line(&start, &end, &placer), 0);
    start = vec(80.0f, 80.0f, 10.0f);
    end = vec(80.0f, 80.0f, -INFINITY);
    EXPECT_EQ(voxel_collide_block_line(&start, &end, &placer), 0);
    end = vec(80.0f, 80.0f, -1e20f);
    EXPECT_EQ(voxel_collide_block_line(&start, &end, &placer), 0);
    EXPECT_EQ(voxel_collide_full_line(&start, &end), 0);
    end = vec(80.0f, 80.0f, 0.0f);
    EXPECT_EQ(voxel_collide_block_line(&start, &end, nullptr), 0);
}

TEST(VoxelLineSphere, StartInsideGivesContactAtTheStart) {
    vector start = vec(10.2f, 10.0f, 10.0f), end = vec(20.0f, 10.0f, 10.0f), center = vec(10.0f, 10.0f, 10.0f);
    vector normal;
    ASSERT_EQ(voxel_collide_line_sphere(&start, &end, &center, 1.0f, &normal), 1);
    EXPECT_EQ(global_debug_u, 0.0f);
    EXPECT_FLOAT_EQ(end.x, 10.2f);
    EXPECT_NEAR(normal.x, 1.0f, 1e-3f);
}

TEST(VoxelLineSphere, SegmentEndingExactlyOnTheSphereCounts) {
    vector start = vec(0.0f, 0.0f, 3.0f), end = vec(0.0f, 0.0f, 1.0f), center = vec(0.0f, 0.0f, 0.0f);
    ASSERT_EQ(voxel_collide_line_sphere(&start, &end, &center, 1.0f, nullptr), 1);
    EXPECT_EQ(global_debug_u, 1.0f);
    EXPECT_EQ(end.z, 1.0f);
    // Stopping short, passing beside, and grazing the sphere are no contact; the end stays.
    end = vec(0.0f, 0.0f, 1.01f);
    EXPECT_EQ(voxel_collide_line_sphere(&start, &end, &center, 1.0f, nullptr), 0);
    EXPECT_EQ(end.z, 1.01f);
    end = vec(2.0f, 0.0f, -3.0f);
    start = vec(2.0f, 0.0f, 3.0f);
    EXPECT_EQ(voxel_collide_line_sphere(&start, &end, &center, 1.0f, nullptr), 0);
    start = vec(1.0f, 0.0f, 3.0f);
    end = vec(1.0f, 0.0f, -3.0f);
    EXPECT_EQ(voxel_collide_line_sphere(&start, &end, &center, 1.0f, nullptr), 0);
    // Behind the start and a segment of no length.
    start = vec(0.0f, 0.0f, -3.0f);
    end = vec(0.0f, 0.0f, -6.0f);
    EXPECT_EQ(voxel_collide_line_sphere(&start, &end, &center, 1.0f, nullptr), 0);
    end = start;
    EXPECT_EQ(voxel_collide_line_sphere(&start, &end, &center, 1.0f, nullptr), 0);
}

TEST(VoxelLineSphere, ContactsAreExactFarFromTheOrigin) {
    const float places[][3] = {{3000.3f, 2999.7f, 500.2f}, {1600.1f, 1599.9f, 40.3f}, {3199.9f, 0.1f, 998.7f}};
    for (auto &p : places) {
        vector center = vec(p[0], p[1], p[2]);
        vector start = vec(p[0], p[1], p[2] + 3.0f), end = vec(p[0], p[1], p[2] - 3.0f), normal;
        ASSERT_EQ(voxel_collide_line_sphere(&start, &end, &center, 0.867f, &normal), 1);
        EXPECT_NEAR(end.z, p[2] + 0.867f, 1e-3f);
        EXPECT_NEAR(end.x, p[0], 1e-3f);
        EXPECT_NEAR(normal.z, 1.0f, 1e-3f);
        // Sideways, through the sphere off its centre line.
        start = vec(p[0] - 3.0f, p[1] + 0.5f, p[2]);
        end = vec(p[0] + 3.0f, p[1] + 0.5f, p[2]);
        ASSERT_EQ(voxel_collide_line_sphere(&start, &end, &center, 0.867f, &normal), 1);
        EXPECT_NEAR(end.x, p[0] - sqrtf(0.867f * 0.867f - 0.25f), 1e-3f);
    }
}

TEST(VoxelCollideLine, BlocksAreSpheresAroundTheirSurfacePoints) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    // The top single block: its sphere's top lies at its surface point, pushed in along the normal
    // (0.01, 0.01, 0.99) by the radius and out again.
    vector start = vec(80.5625f, 80.5625f, 10.0f), end = vec(80.5625f, 80.5625f, 0.0f);
    ASSERT_EQ(voxel_collide_line(&start, &end, 80, 80, 4), 1);
    EXPECT_NEAR(end.z, 4.5625f - 0.867f * 0.99f + 0.867f, 2e-3f);
    // A run block is a sphere about its centre; air and missing records are nothing.
    end = vec(80.5f, 80.5f, 0.0f);
    start = vec(80.5f, 80.5f, 10.0f);
    ASSERT_EQ(voxel_collide_line(&start, &end, 80, 80, 2), 1);
    EXPECT_NEAR(end.z, 2.5f + 0.867f, 1e-4f);
    end = vec(80.5f, 80.5f, 0.0f);
    EXPECT_EQ(voxel_collide_line(&start, &end, 80, 80, 7), 0);
    EXPECT_EQ(voxel_collide_line(&start, &end, 80, 80, -1), 0);
    voxel_set_xyz(80, 80, 3, 0, 0, 1);
    EXPECT_EQ(voxel_collide_line(&start, &end, 80, 80, 3), 0);
}

TEST(VoxelCollideLine, FullLineStopsAtTheFirstBlockOnTheWay) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    vector start = vec(80.5625f, 80.5625f, 10.0f), end = vec(80.5625f, 80.5625f, 0.0f);
    ASSERT_EQ(voxel_collide_full_line(&start, &end), 1);
    EXPECT_NEAR(end.z, 4.5625f + 0.867f * 0.01f, 2e-3f);
    // Above the ground nothing is met.
    start = vec(70.0f, 70.0f, 8.0f);
    end = vec(90.0f, 90.0f, 8.0f);
    EXPECT_EQ(voxel_collide_full_line(&start, &end), 0);
    EXPECT_EQ(end.x, 90.0f);
}

TEST(VoxelCollidePoint, OnlySolidSingleBlocksHaveASurfacePlane) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    vector p = vec(80.5625f, 80.5625f, 6.5625f);
    voxel *top = chunkmap_get_xyz(80, 80, 4);
    EXPECT_NEAR(voxel_collide_point(top, &p, 80, 80, 4), 0.99f * 2.0f, 1e-4f);
    p.z = 3.5625f;
    EXPECT_NEAR(voxel_collide_point(top, &p, 80, 80, 4), -0.99f, 1e-4f);
    EXPECT_EQ(voxel_collide_point(chunkmap_get_xyz(80, 80, 2), &p, 80, 80, 2), -99999.0f);
    EXPECT_EQ(voxel_collide_point(nullptr, &p, 80, 80, 4), -99999.0f);
    EXPECT_EQ(voxel_collide_point(top, nullptr, 80, 80, 4), -99999.0f);
    voxel *air = make_pillar({single_word(0)});
    EXPECT_EQ(voxel_collide_point(air, &p, 80, 80, 4), -99999.0f);
    voxel_destroy(air);
}

TEST(VoxelCollideSphere, PushesOutAlongTheDeepestContact) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    // The block straight below stands higher than its neighbours, so it is the deepest contact.
    voxel *below = chunkmap_get_xyz(80, 80, 4);
    voxel_set_marker(below, 0.5625f, 0.5625f, 0.9375f);
    vector center = vec(80.5f, 80.5f, 5.0f), push, normal;
    ASSERT_EQ(voxel_collide_sphere(&center, 0.8f, &push, &normal), 1);
    vector c = center;
    float deepest = 0.8f - voxel_collide_point(below, &c, 80, 80, 4);
    EXPECT_NEAR(normal.z, 0.99f, 1e-6f);
    EXPECT_NEAR(push.z, 0.99f * deepest, 1e-5f);
    EXPECT_NEAR(push.x, 0.01f * deepest, 1e-5f);
    EXPECT_EQ(global_hit_spike, 0);
    // A spike there is the deepest contact; beside it, it is not.
    below->data = (uint16_t)((below->data & ~VOXEL_MATERIAL_MASK) | 29);
    voxel_collide_sphere(&center, 0.8f, &push, &normal);
    EXPECT_EQ(global_hit_spike, 1);
    below->data = (uint16_t)((below->data & ~VOXEL_MATERIAL_MASK) | 10);
    chunkmap_get_xyz(81, 80, 4)->data = (uint16_t)(29 | VOXEL_CENTRED_SINGLE);
    voxel_collide_sphere(&center, 0.8f, &push, &normal);
    EXPECT_EQ(global_hit_spike, 0);
}

TEST(VoxelCollideSphere, RunBlocksNeverPushASphere) {
    ScratchWorld world;
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(34, 1), run_word(1, 4)}); });
    vector center = vec(80.5f, 80.5f, 4.2f), push = vec(9, 9, 9), normal = vec(9, 9, 9);
    EXPECT_EQ(voxel_collide_sphere(&center, 1.5f, &push, &normal), 0);
    EXPECT_EQ(push.x, 0.0f);
    EXPECT_EQ(push.y, 0.0f);
    EXPECT_EQ(push.z, 0.0f);
    EXPECT_EQ(normal.x, 0.0f);
    EXPECT_EQ(normal.z, 1.0f);
    // Wild spheres touch nothing either.
    center = vec(NAN, 80.0f, 4.0f);
    EXPECT_EQ(voxel_collide_sphere(&center, 1.0f, &push, &normal), 0);
    center = vec(80.0f, 80.0f, 4.0f);
    EXPECT_EQ(voxel_collide_sphere(&center, INFINITY, &push, &normal), 0);
    EXPECT_EQ(voxel_collide_sphere(&center, 1.0f, nullptr, nullptr), 0);
}

TEST(VoxelCollideSphere, ASmallSphereInsideOneLayerTestsThatLayer) {
    ScratchWorld world;
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(3, 4), single_word(1)}); });
    // The single block of layer 4 has its marker at 4.5 with an upward normal; a sphere of radius
    // 0.2 at 4.6 lies wholly inside layer 4 and reaches below the marker plane.
    vector center = vec(80.5f, 80.5f, 4.6f), push, normal;
    ASSERT_EQ(voxel_collide_sphere(&center, 0.2f, &push, &normal), 1);
    EXPECT_GT(push.z, 0.0f);
    // Well above the marker it touches nothing.
    center = vec(80.5f, 80.5f, 4.9f);
    EXPECT_EQ(voxel_collide_sphere(&center, 0.05f, &push, &normal), 0);
}
