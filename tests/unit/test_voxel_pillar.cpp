// test_voxel_pillar.cpp — voxel records: bit layout, markers, substitutes, height, dump and the pool
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "terrain_test_util.h"

TEST(VoxelRecord, CreateLimitsRunLengthTo511AndSetsDefaults) {
    ScratchWorld world;
    voxel *v = voxel_create(5, 600);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->data >> 7, 511);
    EXPECT_EQ(voxel_material(v), 5);
    EXPECT_EQ(voxel_is_single(v), 0);
    EXPECT_EQ(voxel_length(v), 511);
    EXPECT_EQ(v->sunlight, 0);
    EXPECT_EQ(v->glowlight, 0);
    EXPECT_EQ(v->fluid_depth, 0);
    EXPECT_EQ(v->fluid_draw_depth, 0);
    EXPECT_EQ(v->fluid_pressure, 0);
    EXPECT_FLOAT_EQ(v->nx, 0.01f);
    EXPECT_FLOAT_EQ(v->ny, 0.01f);
    EXPECT_FLOAT_EQ(v->nz, 0.99f);
    EXPECT_EQ(v->next, nullptr);
    voxel_destroy(v);
}

TEST(VoxelRecord, CreateMasksMaterialToSixBits) {
    ScratchWorld world;
    voxel *v = voxel_create(64 + 7, 2);
    EXPECT_EQ(v->data, run_word(7, 2));
    voxel_destroy(v);
}

TEST(VoxelRecord, SingleBlockCountsAsOneWhateverItsUpperBits) {
    ScratchWorld world;
    voxel *v = voxel_create(10, 1);
    v->data = 0xFFC0 | 10;
    EXPECT_EQ(voxel_length(v), 1);
    vector marker = {0.0f, 0.0f, 0.0f};
    EXPECT_EQ(voxel_add_marker_offset_xyz(v, &marker), 1);
    EXPECT_FLOAT_EQ(marker.x, 0.9375f);
    EXPECT_FLOAT_EQ(marker.y, 0.9375f);
    EXPECT_FLOAT_EQ(marker.z, 0.9375f);
    voxel_destroy(v);
}

TEST(VoxelMarker, SetMarkerEncodesClampedOffsetsAndKeepsMaterialAndFlag) {
    ScratchWorld world;
    voxel *v = voxel_create(10, 1);
    v->data = single_word(10);
    voxel_set_marker(v, 0.0f, 1.0f, 0.5f);
    EXPECT_EQ((v->data >> 7) & 7, 0);
    EXPECT_EQ((v->data >> 10) & 7, 7);
    EXPECT_EQ((v->data >> 13) & 7, 3);
    EXPECT_EQ(v->data & 0x7F, 10 | VOXEL_SINGLE_FLAG);
    vector marker = {3.0f, 4.0f, 5.0f};
    EXPECT_EQ(voxel_add_marker_offset_xyz(v, &marker), 1);
    EXPECT_FLOAT_EQ(marker.x, 3.0625f);
    EXPECT_FLOAT_EQ(marker.y, 4.9375f);
    EXPECT_FLOAT_EQ(marker.z, 5.4375f);

    // The centred marker value decodes to 0.5625 on each axis.
    v->data = single_word(10);
    marker = {0.0f, 0.0f, 0.0f};
    voxel_add_marker_offset_xyz(v, &marker);
    EXPECT_FLOAT_EQ(marker.x, 0.5625f);

    // A value that is not a number lands on the lowest marker instead of an undefined conversion.
    voxel_set_marker(v, NAN, 0.5625f, 0.5625f);
    EXPECT_EQ((v->data >> 7) & 7, 0);
    EXPECT_EQ((v->data >> 10) & 7, 4);
    voxel_destroy(v);
}

TEST(VoxelMarker, SetMarkerLeavesRunsAloneAndRunsDecodeToTheCentre) {
    ScratchWorld world;
    voxel *v = voxel_create(3, 9);
    voxel_set_marker(v, 0.1f, 0.2f, 0.3f);
    EXPECT_EQ(v->data, run_word(3, 9));
    vector marker = {1.0f, 2.0f, 3.0f};
    EXPECT_EQ(voxel_add_marker_offset_xyz(v, &marker), 0);
    EXPECT_FLOAT_EQ(marker.x, 1.5f);
    EXPECT_FLOAT_EQ(marker.y, 2.5f);
    EXPECT_FLOAT_EQ(marker.z, 3.5f);
    voxel_set_marker(nullptr, 0.5f, 0.5f, 0.5f);
    voxel_destroy(v);
}

TEST(VoxelMarker, SetMarkerXyzChangesTheBlockHoldingThatHeight) {
    ScratchWorld world;
    make_resident_chunk(1, 2, [](int x, int y) {
        return (x == 3 && y == 4) ? make_pillar({run_word(3, 5), single_word(10)}) : nullptr;
    });
    voxel_set_marker_xyz(64 + 3, 128 + 4, 5, 0.0625f, 0.0625f, 0.9375f);
    voxel *top = chunkmap_get_xy(64 + 3, 128 + 4)->next;
    EXPECT_EQ(top->data, 10 | VOXEL_SINGLE_FLAG | (7 << 13));
    // A height inside the run finds the run, which keeps its length.
    voxel_set_marker_xyz(64 + 3, 128 + 4, 2, 0.9f, 0.9f, 0.9f);
    EXPECT_EQ(chunkmap_get_xy(64 + 3, 128 + 4)->data, run_word(3, 5));
}

TEST(VoxelSubstitutes, ClearMapMakesAnAirRunAndAStoneLayer) {
    ScratchWorld world;
    ASSERT_NE(global_empty_voxel, nullptr);
    EXPECT_EQ(global_empty_voxel->data, 0x0080);
    EXPECT_EQ(global_empty_voxel->next, nullptr);
    ASSERT_NE(global_off_map_voxel, nullptr);
    EXPECT_EQ(global_off_map_voxel->data, 0x9243);
    EXPECT_EQ(global_off_map_voxel->sunlight, 64);
    EXPECT_EQ(global_off_map_voxel->glowlight, 0);
    EXPECT_FLOAT_EQ(global_off_map_voxel->nz, 0.99f);
    EXPECT_EQ(global_off_map_voxel->next, nullptr);
    EXPECT_TRUE(log_contains("!!!BAD!!! voxel_clear_map needs work"));

    // Clearing again replaces both without leaking the old ones.
    uint32_t live = voxel_pool_live_count();
    voxel_clear_map();
    EXPECT_EQ(voxel_pool_live_count(), live);
}

TEST(VoxelSubstitutes, OffMapPillarIsARunToppedByAWaterSurfaceBlock) {
    ScratchWorld world;
    voxel_setup_off_map_pillar(3, 12, 20, 25.0f, 100, 7);
    voxel *run = global_off_map_voxel;
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->data, run_word(3, 20));
    voxel *top = run->next;
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->data, 12 | 0x6DC0);
    EXPECT_EQ(top->fluid_depth, 40);
    EXPECT_EQ(top->fluid_pressure, 40);
    EXPECT_EQ(top->fluid_draw_depth, 44);
    EXPECT_EQ(top->sunlight, 100);
    EXPECT_EQ(top->glowlight, 7);
    EXPECT_EQ(top->next, nullptr);
    // Outside the map the off-map pillar now stands 21 blocks tall.
    EXPECT_EQ(voxel_height_xy(-5, 10, 1), 20);
    EXPECT_EQ(voxel_height_xy(-5, 10, 0), 0);

    // Water below the surface means no water; an overlong run stops at 511.
    voxel_setup_off_map_pillar(1, 10, 600, 3.0f, 0, 0);
    EXPECT_EQ(global_off_map_voxel->data, run_word(1, 511));
    EXPECT_EQ(global_off_map_voxel->next->fluid_depth, 0);
    EXPECT_EQ(global_off_map_voxel->next->fluid_draw_depth, 4);

    // Height 0 leaves just the top block, never a run of length 0.
    voxel_setup_off_map_pillar(1, 10, 0, 2.0f, 0, 0);
    EXPECT_EQ(global_off_map_voxel->data, 10 | 0x6DC0);
    EXPECT_EQ(global_off_map_voxel->next, nullptr);
    EXPECT_EQ(global_off_map_voxel->fluid_depth, 16);
}

TEST(VoxelSubstitutes, OffMapPillarKeepsTheOldOneWhenMemoryRunsOut) {
    ScratchWorld world;
    voxel *before = global_off_map_voxel;
    global_voxel_allocation_limit = voxel_pool_live_count() + 1;  // the top block, not the run
    voxel_setup_off_map_pillar(3, 12, 20, 25.0f, 0, 0);
    EXPECT_EQ(global_off_map_voxel, before);
    EXPECT_EQ(voxel_pool_live_count(), 2u);
}

TEST(VoxelHeight, HeightIsTheTopBlocksZ) {
    ScratchWorld world;
    make_resident_chunk(0, 0, [](int x, int y) {
        if (x == 1 && y == 1) return make_pillar({run_word(34, 1), run_word(3, 3), single_word(10)});
        if (x == 2 && y == 1) return make_pillar({single_word(34)});
        return (voxel *)nullptr;
    });
    EXPECT_EQ(voxel_height_xy(1, 1, 0), 4);
    EXPECT_EQ(voxel_height_xy(2, 1, 0), 0);
    EXPECT_EQ(voxel_height_xy(3, 1, 0), 0);       // empty column
    EXPECT_EQ(voxel_height_xy(3, 1, 1), 0);       // still empty with the off-map lookup
    EXPECT_EQ(voxel_height_xy(100, 100, 0), 0);   // chunk not resident
    EXPECT_EQ(voxel_height_xy(3200, 0, 1), 0);    // off the map: one stone layer
}

TEST(VoxelDump, DumpWritesEveryRecordOfThePillar) {
    ScratchWorld world;
    make_resident_chunk(0, 0, [](int x, int y) {
        return (x == 5 && y == 6) ? make_pillar({run_word(3, 3), single_word(10)}, 200) : nullptr;
    });
    dump_pillar_xy(5, 6);
    std::vector<std::string> lines = log_lines();
    int start = -1;
    for (size_t i = 0; i < lines.size(); i++)
        if (lines[i] == "Dump of pillar at 5, 6") start = (int)i;
    ASSERT_GE(start, 1);
    ASSERT_EQ(lines.size(), (size_t)start + 4);
    EXPECT_EQ(lines[start - 1], std::string(34, '='));
    EXPECT_EQ(lines[start + 1], std::string(34, '='));
    EXPECT_NE(lines[start + 2].find(" -- Run of 3 blocks -- material == 3"), std::string::npos);
    EXPECT_NE(lines[start + 3].find(" -- Single block (1 blocks) -- material == 10, normal == 0.010000, 0.010000, "
                                    "0.990000, sun == 200, glow == 0...  marker == 0.56, 0.56, 0.56"),
              std::string::npos);
}

TEST(VoxelPool, DestroyingAPillarReturnsEveryRecordAboveIt) {
    ScratchWorld world;
    uint32_t live = voxel_pool_live_count();
    voxel *pillar = make_pillar({run_word(3, 4), run_word(1, 2), single_word(10)});
    EXPECT_EQ(voxel_pool_live_count(), live + 3);
    voxel_destroy(pillar->next);
    pillar->next = nullptr;
    EXPECT_EQ(voxel_pool_live_count(), live + 1);
    voxel_destroy(pillar);
    voxel_destroy(nullptr);
    EXPECT_EQ(voxel_pool_live_count(), live);
}

TEST(VoxelPool, RecordsAreReusedAndBlocksFreedWhenNothingIsLive) {
    {
        ScratchWorld world;
        std::vector<voxel *> made;
        for (int i = 0; i < 10000; i++) made.push_back(voxel_create(3, 1));
        uint32_t blocks = voxel_pool_block_count();
        EXPECT_GE(blocks, 3u);
        for (voxel *v : made) voxel_destroy(v);
        // Freed records are handed out again before the pool grows.
        for (int i = 0; i < 10000; i++) made[i] = voxel_create(3, 1);
        EXPECT_EQ(voxel_pool_block_count(), blocks);
        // Every record is distinct.
        std::sort(made.begin(), made.end());
        EXPECT_EQ(std::unique(made.begin(), made.end()), made.end());
        for (voxel *v : made) voxel_destroy(v);
    }
    // The scratch world gave back its substitutes: nothing is live, so the blocks are gone.
    EXPECT_EQ(voxel_pool_live_count(), 0u);
    EXPECT_EQ(voxel_pool_block_count(), 0u);
}

TEST(VoxelPool, CreateReturnsNoneWhenMemoryRunsOut) {
    ScratchWorld world;
    global_voxel_allocation_limit = voxel_pool_live_count() + 2;
    voxel *a = voxel_create(1, 1);
    voxel *b = voxel_create(1, 1);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(voxel_create(1, 1), nullptr);
    voxel_destroy(a);
    EXPECT_NE(a = voxel_create(1, 1), nullptr);
    voxel_destroy(a);
    voxel_destroy(b);
}
