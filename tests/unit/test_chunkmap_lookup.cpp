// test_chunkmap_lookup.cpp — chunk records and the column, height and cache lookups
#include <gtest/gtest.h>

#include "terrain_test_util.h"

TEST(ChunkRecord, NewChunkIsEmptyAndDestroyReleasesItsColumns) {
    ScratchWorld world;
    uint32_t live = voxel_pool_live_count();
    chunk *c = chunk_create();
    ASSERT_NE(c, nullptr);
    for (int x = 0; x < CHUNK_SIZE; x++) {
        for (int y = 0; y < CHUNK_SIZE; y++) {
            ASSERT_EQ(c->pillar[x][y], nullptr);
            ASSERT_EQ(c->pillar_flags[x][y], 0);
            for (int level = 0; level < 4; level++) ASSERT_EQ(c->multri_list[level][x][y], nullptr);
        }
    }
    EXPECT_EQ(c->local_object_pile, nullptr);
    for (int x = 0; x < CHUNK_SIZE; x++)
        for (int y = 0; y < CHUNK_SIZE; y++) c->pillar[x][y] = make_pillar({run_word(34, 1), run_word(3, 9)});
    EXPECT_EQ(voxel_pool_live_count(), live + 2 * 4096);
    chunk_destroy(c);
    chunk_destroy(nullptr);
    EXPECT_EQ(voxel_pool_live_count(), live);
}

TEST(ChunkLookup, ColumnsMapToTheirChunkAndLocalPosition) {
    ScratchWorld world;
    chunk *c = make_resident_chunk(2, 1, [](int x, int y) {
        return (x == 2 && y == 6) ? make_pillar({run_word(3, 4)}) : nullptr;
    });
    voxel *v = chunkmap_get_xy(130, 70);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v, c->pillar[2][6]);
    EXPECT_EQ(chunkmap_get_xy_off_map(130, 70), v);
    EXPECT_EQ(chunkmap_pile_pointer(130, 70), &c->local_object_pile);
    EXPECT_EQ(chunkmap_pile_pointer(128, 64), &c->local_object_pile);
    EXPECT_EQ(chunkmap_pile_pointer(191, 127), &c->local_object_pile);
    EXPECT_EQ(chunkmap_first_object_in_pile(130, 70), nullptr);
    EXPECT_EQ(chunkmap_get_xy_multri(0, 130, 70), &c->multri_list[0][2][6]);
    EXPECT_EQ(chunkmap_get_xy_multri(3, 130, 70), &c->multri_list[3][2][6]);
}

TEST(ChunkLookup, MissingEmptyOffMapAndNonResidentColumns) {
    ScratchWorld world;
    make_resident_chunk(0, 0, [](int x, int y) { return x == 0 && y == 0 ? nullptr : make_pillar({run_word(3, 2)}); });
    // An empty column of a resident chunk is none, even with the off-map lookup.
    EXPECT_EQ(chunkmap_get_xy(0, 0), nullptr);
    EXPECT_EQ(chunkmap_get_xy_off_map(0, 0), nullptr);
    // A chunk that is not resident.
    EXPECT_EQ(chunkmap_get_xy(64, 0), nullptr);
    EXPECT_EQ(chunkmap_get_xy_off_map(64, 0), global_off_map_voxel);
    EXPECT_EQ(chunkmap_pile_pointer(64, 0), nullptr);
    EXPECT_EQ(chunkmap_first_object_in_pile(64, 0), nullptr);
    EXPECT_EQ(chunkmap_get_xy_multri(0, 64, 0), nullptr);
    // Off the map on every side.
    for (auto point : {std::pair<int, int>{-1, 5}, {5, -1}, {3200, 5}, {5, 3200}, {-100000, 3}}) {
        EXPECT_EQ(chunkmap_get_xy(point.first, point.second), nullptr);
        EXPECT_EQ(chunkmap_get_xy_off_map(point.first, point.second), global_off_map_voxel);
        EXPECT_EQ(chunkmap_pile_pointer(point.first, point.second), nullptr);
        EXPECT_EQ(chunkmap_get_xy_multri(1, point.first, point.second), nullptr);
        chunkmap_invalidate_xy_multri(point.first, point.second);
    }
    // Cache levels outside 0..3.
    EXPECT_EQ(chunkmap_get_xy_multri(-1, 5, 5), nullptr);
    EXPECT_EQ(chunkmap_get_xy_multri(4, 5, 5), nullptr);
    // Off the map there is one stone layer at z = 0 and air above.
    voxel *v = chunkmap_get_xyz_off_map(-1, -1, 0);
    EXPECT_EQ(v, global_off_map_voxel);
    EXPECT_EQ(voxel_material(v), 3);
    EXPECT_EQ(chunkmap_get_xyz_off_map(-1, -1, 1), nullptr);
    EXPECT_EQ(chunkmap_get_xyz(-1, -1, 0), nullptr);
}

TEST(ChunkLookup, HeightLookupFindsTheCoveringRecordAndLeavesSideResults) {
    ScratchWorld world;
    make_resident_chunk(0, 0, [](int x, int y) {
        return (x == 1 && y == 2) ? make_pillar({run_word(34, 1), run_word(3, 4), single_word(10), run_word(1, 2)})
                                  : nullptr;
    });
    voxel *bottom = chunkmap_get_xy(1, 2);
    voxel *stone = bottom->next, *grass = stone->next, *dirt = grass->next;
    EXPECT_EQ(chunkmap_get_xyz(1, 2, 0), bottom);
    EXPECT_EQ(global_voxel_topmost_z, 1);
    EXPECT_EQ(chunkmap_get_xyz(1, 2, 1), stone);
    EXPECT_EQ(chunkmap_get_xyz(1, 2, 4), stone);
    EXPECT_EQ(global_voxel_topmost, stone);
    EXPECT_EQ(global_voxel_topmost_z, 5);
    EXPECT_EQ(chunkmap_get_xyz(1, 2, 5), grass);
    EXPECT_EQ(chunkmap_get_xyz(1, 2, 7), dirt);
    // At or above the column's height: none, with the height and top record left behind.
    EXPECT_EQ(chunkmap_get_xyz(1, 2, 8), nullptr);
    EXPECT_EQ(global_voxel_topmost_z, 8);
    EXPECT_EQ(global_voxel_topmost, dirt);
    EXPECT_EQ(chunkmap_get_xyz(1, 2, 2048), nullptr);
    EXPECT_EQ(global_voxel_topmost_z, 8);
    // Below the bottom: the bottom record.
    EXPECT_EQ(chunkmap_get_xyz(1, 2, -3), bottom);
    // A missing column resets the side results.
    EXPECT_EQ(chunkmap_get_xyz(2, 2, 0), nullptr);
    EXPECT_EQ(global_voxel_topmost, nullptr);
    EXPECT_EQ(global_voxel_topmost_z, 0);
}

TEST(ChunkLookup, OffMapHeightLookupTracksTheLastSingleBlock) {
    ScratchWorld world;
    make_resident_chunk(0, 0, [](int x, int y) {
        return (x == 1 && y == 2) ? make_pillar({run_word(34, 1), single_word(3), run_word(3, 4), single_word(10)})
                                  : nullptr;
    });
    voxel *bottom = chunkmap_get_xy(1, 2);
    voxel *first_single = bottom->next, *run = first_single->next, *top = run->next;
    EXPECT_EQ(chunkmap_get_xyz_off_map(1, 2, 0), bottom);
    EXPECT_EQ(global_last_single_voxel, bottom);  // the column's first record before the walk
    EXPECT_EQ(chunkmap_get_xyz_off_map(1, 2, 3), run);
    EXPECT_EQ(global_last_single_voxel, first_single);
    EXPECT_EQ(chunkmap_get_xyz_off_map(1, 2, 6), top);
    EXPECT_EQ(global_last_single_voxel, top);  // the returned single block counts too
    EXPECT_EQ(chunkmap_get_xyz_off_map(1, 2, 50), nullptr);
    EXPECT_EQ(global_last_single_voxel, top);
    EXPECT_EQ(global_voxel_topmost_z, 7);
    // An empty resident column: no record at all.
    EXPECT_EQ(chunkmap_get_xyz_off_map(5, 5, 0), nullptr);
    EXPECT_EQ(global_last_single_voxel, nullptr);
    // A chunk that is not resident reads the off-map layer.
    EXPECT_EQ(chunkmap_get_xyz_off_map(100, 100, 0), global_off_map_voxel);
    EXPECT_EQ(global_last_single_voxel, global_off_map_voxel);
}

TEST(ChunkLookup, SetupEmptiesTheGrid) {
    ScratchWorld world;
    chunk *c = make_resident_chunk(49, 49, [](int, int) { return (voxel *)nullptr; });
    EXPECT_EQ(chunkmap_get_xy_off_map(3199, 3199), nullptr);
    chunkmap_setup();
    EXPECT_EQ(chunk_map[49][49], nullptr);
    EXPECT_EQ(chunkmap_get_xy_off_map(3199, 3199), global_off_map_voxel);
    chunk_destroy(c);
}
