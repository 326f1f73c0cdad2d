// test_voxel_edit.cpp — setting blocks, compression, fluffing, column fills, eggshells, ore spheres
// and the pillar check
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>

#include "edit_test_util.h"

// One resident chunk (1, 1) whose column (70, 70) is built from the given words; the rest empty.
static void one_column(const std::vector<uint16_t> &words) {
    make_resident_chunk(1, 1, [&](int x, int y) { return (x == 6 && y == 6) ? make_pillar(words) : nullptr; });
}

static std::vector<uint16_t> column_70() { return pillar_words(chunkmap_get_xy(70, 70)); }

TEST(VoxelSet, StoneAboveTheTopAppendsAnAirFillerAndReportsTheChange) {
    ScratchWorld world;
    one_column({run_word(3, 4)});
    EXPECT_EQ(voxel_set_xyz(70, 70, 10, 3, 0, 0), 1);
    EXPECT_EQ(global_voxel_old_material, 0);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(3, 4), run_word(0, 6), run_word(3, 1)}));
    EXPECT_EQ(voxel_height_xy(70, 70, 0), 10);
}

TEST(VoxelSet, AirFillerLongerThanOneRunIsSplit) {
    ScratchWorld world;
    one_column({run_word(3, 4)});
    EXPECT_EQ(voxel_set_xyz(70, 70, 700, 1, VOXEL_SET_SINGLE, 0), 1);
    EXPECT_EQ(column_70(),
              (std::vector<uint16_t>{run_word(3, 4), run_word(0, 511), run_word(0, 185), single_word(1)}));
    EXPECT_TRUE(voxel_check_pillar_xy(70, 70)) << global_voxel_check_problem;
}

TEST(VoxelSet, ReplacingARunOfLengthOneLeavesNoZeroLengthRecord) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 2), run_word(1, 1), run_word(3, 3)});
    EXPECT_EQ(voxel_set_xyz(70, 70, 3, 3, 0, 1), 1);
    EXPECT_EQ(global_voxel_old_material, 1);
    // The stone around it merges into one run.
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 6)}));
}

TEST(VoxelSet, SettingInsideARunSplitsItAroundTheNewBlock) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 9)});
    EXPECT_EQ(voxel_set_xyz(70, 70, 5, 1, VOXEL_SET_SINGLE, 1), 1);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 4), single_word(1), run_word(3, 4)}));
    // Setting the same material again changes nothing that counts.
    EXPECT_EQ(voxel_set_xyz(70, 70, 5, 1, 0, 1), 0);
    EXPECT_EQ(global_voxel_old_material, 1);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 4), run_word(1, 1), run_word(3, 4)}));
}

TEST(VoxelSet, SolidBlocksStayUnlessReplacingIsAllowedButCavesFill) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 3), run_word(0, 2), run_word(3, 2)});
    std::vector<uint16_t> before = column_70();
    EXPECT_EQ(voxel_set_xyz(70, 70, 2, 1, 0, 0), 0);
    EXPECT_EQ(global_voxel_old_material, 3);
    EXPECT_EQ(column_70(), before);
    // Air inside the column is replaced even without permission.
    EXPECT_EQ(voxel_set_xyz(70, 70, 4, 1, 0, 0), 1);
    EXPECT_EQ(column_70(),
              (std::vector<uint16_t>{run_word(34, 1), run_word(3, 3), run_word(1, 1), run_word(0, 1), run_word(3, 2)}));
}

TEST(VoxelSet, BottomLayerIsNeverReplacedOnlyMadeSingle) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 3)});
    EXPECT_EQ(voxel_set_xyz(70, 70, 0, 1, 0, 1), 0);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 3)}));
    EXPECT_EQ(voxel_set_xyz(70, 70, 0, 0, 0, 1), 0);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{single_word(34), run_word(3, 3)}));
    // A longer bottom run is left as it is.
    chunk_map[1][1]->pillar[6][7] = make_pillar({run_word(3, 5)});
    EXPECT_EQ(voxel_set_xyz(70, 71, 0, 0, VOXEL_SET_SINGLE, 1), 0);
    EXPECT_EQ(pillar_words(chunkmap_get_xy(70, 71)), std::vector<uint16_t>{run_word(3, 5)});
}

TEST(VoxelSet, OutOfRangeMissingAndOffMapTargetsChangeNothing) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 3)});
    uint32_t live = voxel_pool_live_count();
    EXPECT_EQ(voxel_set_xyz(70, 70, -1, 1, 0, 1), 0);
    EXPECT_EQ(voxel_set_xyz(70, 70, INT_MIN, 1, 0, 1), 0);
    EXPECT_EQ(voxel_set_xyz(70, 70, VOXEL_EDIT_TOP_Z + 1, 1, 0, 1), 0);
    EXPECT_EQ(voxel_set_xyz(70, 70, INT_MAX, 1, 0, 1), 0);
    EXPECT_EQ(voxel_set_xyz(71, 70, 5, 1, 0, 1), 0);      // empty column
    EXPECT_EQ(voxel_set_xyz(10, 10, 5, 1, 0, 1), 0);      // chunk not resident
    EXPECT_EQ(voxel_set_xyz(-5, 70, 0, 0, 0, 1), 0);      // off the map: the shared pillar is untouched
    EXPECT_EQ(voxel_set_xyz(3200, 70, 5, 1, 0, 1), 0);
    EXPECT_EQ(global_off_map_voxel->data, 3 | VOXEL_CENTRED_SINGLE);
    EXPECT_EQ(voxel_pool_live_count(), live);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 3)}));
    // The highest editable block keeps the column within what a chunk file holds whole.
    EXPECT_EQ(voxel_set_xyz(70, 70, VOXEL_EDIT_TOP_Z, 1, 0, 1), 1);
    EXPECT_EQ(voxel_height_xy(70, 70, 0) + 1, VOXEL_PILLAR_HEIGHT_LIMIT);
    EXPECT_TRUE(voxel_check_pillar_xy(70, 70)) << global_voxel_check_problem;
}

TEST(VoxelSet, DiggingAirAboveTheTopLeavesNoAirBehind) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 3)});
    EXPECT_EQ(voxel_set_xyz(70, 70, 9, 0, 0, 1), 0);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 3)}));
    // Digging the top block away removes it entirely.
    EXPECT_EQ(voxel_set_xyz(70, 70, 3, 0, 0, 1), 1);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 2)}));
}

TEST(VoxelSet, RunningOutOfMemoryLeavesTheColumnAsItWas) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 9)});
    std::vector<uint16_t> before = column_70();
    uint32_t live = voxel_pool_live_count();
    // No record at all.
    global_voxel_allocation_limit = live;
    EXPECT_EQ(voxel_set_xyz(70, 70, 5, 1, 0, 1), 0);
    EXPECT_EQ(column_70(), before);
    // The new block but not the upper part of the split run.
    global_voxel_allocation_limit = live + 1;
    EXPECT_EQ(voxel_set_xyz(70, 70, 5, 1, 0, 1), 0);
    EXPECT_EQ(column_70(), before);
    EXPECT_TRUE(log_contains("  Hmmm...  Upper is null"));
    // Above the top, the second air filler cannot be made: the first one is compressed away.
    global_voxel_allocation_limit = live + 2;
    EXPECT_EQ(voxel_set_xyz(70, 70, 700, 1, 0, 1), 0);
    EXPECT_EQ(column_70(), before);
    global_voxel_allocation_limit = 0;
    EXPECT_EQ(voxel_pool_live_count(), live);
}

TEST(VoxelCompress, LongRunsSplitAt511AndTheWalkEnds) {
    ScratchWorld world;
    voxel *v = make_pillar({run_word(3, 400), run_word(3, 200)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), (std::vector<uint16_t>{run_word(3, 511), run_word(3, 89)}));
    EXPECT_TRUE(voxel_check_pillar(v));
    voxel_destroy(v);
    // Three full runs stay three runs.
    v = make_pillar({run_word(3, 511), run_word(3, 511), run_word(3, 2)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), (std::vector<uint16_t>{run_word(3, 511), run_word(3, 511), run_word(3, 2)}));
    voxel_destroy(v);
}

TEST(VoxelCompress, SingleAirBlocksMergeButSingleStonesDoNot) {
    ScratchWorld world;
    voxel *v = make_pillar({run_word(3, 2), single_word(0), single_word(0), single_word(3), single_word(3)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v),
              (std::vector<uint16_t>{run_word(3, 2), run_word(0, 2), single_word(3), single_word(3)}));
    EXPECT_TRUE(voxel_check_pillar(v));
    voxel_destroy(v);
    // A run and a single block of one material stay apart too.
    v = make_pillar({run_word(1, 2), single_word(1), run_word(1, 3)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), (std::vector<uint16_t>{run_word(1, 2), single_word(1), run_word(1, 3)}));
    voxel_destroy(v);
}

TEST(VoxelCompress, EveryTrailingAirRecordGoesButAnAllAirColumnKeepsOne) {
    ScratchWorld world;
    // Two trailing air records that cannot merge into one run.
    voxel *v = make_pillar({run_word(3, 2), run_word(0, 400), run_word(0, 300)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), std::vector<uint16_t>{run_word(3, 2)});
    voxel_destroy(v);
    v = make_pillar({run_word(3, 2), single_word(0), run_word(0, 3), single_word(0)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), std::vector<uint16_t>{run_word(3, 2)});
    voxel_destroy(v);
    v = make_pillar({run_word(0, 3)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), std::vector<uint16_t>{run_word(0, 3)});
    EXPECT_TRUE(voxel_check_pillar(v));
    voxel_destroy(v);
    v = make_pillar({run_word(0, 400), run_word(0, 400)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), std::vector<uint16_t>{run_word(0, 511)});
    voxel_destroy(v);
    voxel_compress(nullptr);
}

TEST(VoxelCompress, ZeroLengthRecordsGoAndAZeroLengthBottomBecomesOne) {
    ScratchWorld world;
    voxel *v = make_pillar({run_word(34, 0), run_word(3, 2), run_word(1, 0), run_word(3, 0), run_word(3, 4)});
    voxel_compress(v);
    EXPECT_EQ(pillar_words(v), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 6)}));
    voxel_destroy(v);
}

TEST(VoxelCheck, ReportsEachKindOfFault) {
    ScratchWorld world;
    struct {
        std::vector<uint16_t> words;
        const char *problem;
    } cases[] = {
        {{run_word(3, 2), run_word(1, 0), run_word(3, 1)}, "record of length 0"},
        {{run_word(3, 2), run_word(0, 1)}, "air record on top"},
        {{run_word(3, 2), run_word(3, 1)}, "unmerged runs"},
        {{run_word(3, 510), run_word(3, 2)}, "unmerged runs"},
        {{run_word(3, 2), single_word(0), run_word(0, 1), run_word(3, 1)}, "unmerged air records"},
        {{run_word(3, 511), run_word(1, 511)}, "pillar too tall"},
    };
    for (auto &c : cases) {
        voxel *v = make_pillar(c.words);
        EXPECT_FALSE(voxel_check_pillar(v));
        EXPECT_NE(std::string(global_voxel_check_problem).find(c.problem), std::string::npos)
            << global_voxel_check_problem;
        voxel_destroy(v);
    }
    voxel *v = make_pillar({run_word(34, 1), single_word(3), single_word(3), run_word(0, 2), single_word(10)});
    EXPECT_TRUE(voxel_check_pillar(v)) << global_voxel_check_problem;
    voxel_destroy(v);
    EXPECT_TRUE(voxel_check_pillar(nullptr));
    // A loop in the list is caught instead of walked for ever.
    v = make_pillar({run_word(3, 1), run_word(1, 1)});
    v->next->next = v;
    EXPECT_FALSE(voxel_check_pillar(v));
    v->next->next = nullptr;
    voxel_destroy(v);
}

TEST(VoxelFluff, BlockRestingOnOneNeighbourFallsAway) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    ASSERT_EQ(voxel_set_xyz(70, 70, 5, 3, VOXEL_SET_SINGLE, 0), 1);
    EXPECT_EQ(voxel_fluff_xyz(70, 70, 5, 1), 1);
    EXPECT_EQ(global_voxel_old_material, 3);
    EXPECT_EQ(material_at(70, 70, 5), 0);
    // Without removal it stays, and a solid single block with open faces reports 1.
    ASSERT_EQ(voxel_set_xyz(71, 70, 5, 3, VOXEL_SET_SINGLE, 0), 1);
    EXPECT_EQ(voxel_fluff_xyz(71, 70, 5, 0), 1);
    EXPECT_EQ(material_at(71, 70, 5), 3);
    // Air and missing records report nothing.
    EXPECT_EQ(voxel_fluff_xyz(70, 70, 9, 1), 0);
    EXPECT_EQ(global_voxel_old_material, 0);
    EXPECT_EQ(voxel_fluff_xyz(70, 70, -1, 1), 0);
}

TEST(VoxelFluff, EnclosedSingleBlockBecomesARunBlock) {
    ScratchWorld world;
    make_flat_chunk(1, 1, 8, 1, 10);
    ASSERT_EQ(voxel_set_xyz(70, 70, 3, 1, VOXEL_SET_SINGLE, 1), 0);  // same material, now single
    voxel *v = chunkmap_get_xyz(70, 70, 3);
    ASSERT_TRUE(voxel_is_single(v));
    EXPECT_EQ(voxel_fluff_xyz(70, 70, 3, 1), 0);
    EXPECT_EQ(v->data, run_word(1, 1));
    voxel_compress_xy(70, 70);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(1, 6), single_word(10)}));
}

TEST(VoxelFluff, ExposedRunBlockBecomesSingle) {
    ScratchWorld world;
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(34, 1), run_word(1, 4)}); });
    // The top block of a flat run floor has five solid neighbours.
    EXPECT_EQ(voxel_fluff_xyz(70, 70, 4, 0), 1);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(1, 3), single_word(1)}));
    EXPECT_EQ(voxel_fluff_xyz(71, 70, 4, 1), 0);
    EXPECT_TRUE(voxel_is_single(chunkmap_get_xyz(71, 70, 4)));
    // Buried blocks stay runs.
    EXPECT_EQ(voxel_fluff_xyz(72, 70, 2, 0), 0);
    EXPECT_FALSE(voxel_is_single(chunkmap_get_xyz(72, 70, 2)));
}

TEST(VoxelFluff, BottomLayerAndWellHeldBlocksStay) {
    ScratchWorld world;
    make_resident_chunk(1, 1, [](int x, int) {
        return x == 6 ? make_pillar({run_word(3, 1)}) : make_pillar({run_word(3, 1), run_word(1, 3)});
    });
    // Column 70 is a one-block trench: its bottom has no side support but is never removed.
    EXPECT_EQ(voxel_fluff_xyz(70, 70, 0, 1), 0);
    EXPECT_EQ(material_at(70, 70, 0), 3);
    // A wall block beside the trench is held on two axes.
    EXPECT_EQ(voxel_fluff_xyz(71, 70, 2, 1), 0);
    EXPECT_EQ(material_at(71, 70, 2), 1);
}

TEST(VoxelFluff, WholeColumnFluffLeavesSurfaceSingleAndInsideRuns) {
    ScratchWorld world;
    make_resident_chunk(1, 1, [](int x, int) {
        return make_pillar({run_word(34, 1), run_word(1, (uint16_t)(x == 6 ? 8 : 4))});
    });
    voxel_fluff_xy(70, 70, 0, 0);
    // Blocks 5..8 stand above the neighbours; block 4 and below are held on all sides.
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(1, 4), single_word(1), single_word(1),
                                                  single_word(1), single_word(1)}));
    EXPECT_TRUE(voxel_check_pillar_xy(70, 70));
}

TEST(VoxelFill, FillsAnInclusiveRangeAndIgnoresWildBounds) {
    ScratchWorld world;
    one_column({run_word(34, 1), run_word(3, 3)});
    voxel_fill_xy(70, 70, 2, 6, 1);
    EXPECT_EQ(column_70(), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 1), run_word(1, 5)}));
    voxel_fill_xy(70, 70, INT_MIN, INT_MAX, 7);
    EXPECT_EQ(column_70(),
              (std::vector<uint16_t>{run_word(34, 1), run_word(7, 511), run_word(7, VOXEL_EDIT_TOP_Z - 511)}));
    EXPECT_TRUE(voxel_check_pillar_xy(70, 70)) << global_voxel_check_problem;
}

TEST(VoxelEggshell, OnlySingleBlocksOfTheMaterialChange) {
    ScratchWorld world;
    voxel *v = make_pillar({run_word(34, 1), run_word(1, 3), single_word(1), single_word(3), single_word(1)}, 90);
    v->next->next->data = (uint16_t)(1 | VOXEL_LOW_SINGLE);
    voxel_eggshell_pillar(v, 1, 10);
    EXPECT_EQ(pillar_words(v), (std::vector<uint16_t>{run_word(34, 1), run_word(1, 3), (uint16_t)(10 | VOXEL_LOW_SINGLE),
                                                      single_word(3), single_word(10)}));
    EXPECT_EQ(v->next->next->sunlight, 90);
    voxel_destroy(v);
    voxel_eggshell_pillar(nullptr, 1, 10);
}

// A stone floor of height 10 in chunk (1, 1) with a single stone block on top of each column.
static void stone_floor() { make_flat_chunk(1, 1, 10, 3, 3); }

static int count_material(uint8_t material) {
    int count = 0;
    for (int y = 64; y < 128; y++)
        for (int x = 64; x < 128; x++)
            for (int z = 0; z < 10; z++)
                if (material_at(x, y, z) == material) count++;
    return count;
}

TEST(VoxelOreSphere, FullFillConvertsEveryMatchingBlockInside) {
    ScratchWorld world;
    stone_floor();
    srand(1234);
    uint16_t count = voxel_ore_sphere_xyz(90.0f, 90.0f, 6.0f, 2.0f, 22, 3, 0, 100);
    int expected = 0;
    for (int y = 86; y <= 94; y++)
        for (int x = 86; x <= 94; x++)
            for (int z = 1; z < 10; z++) {
                float dx = x + 0.5f - 90.0f, dy = y + 0.5f - 90.0f, dz = z + 0.5f - 6.0f;
                if (dx * dx + dy * dy + dz * dz < 9.0f) expected++;
            }
    EXPECT_EQ(count, expected);
    EXPECT_EQ(count_material(22), expected);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
    // Other materials are never touched; the crystal bottom stays.
    EXPECT_EQ(material_at(90, 90, 0), 34);
}

TEST(VoxelOreSphere, SurfaceOnlyConvertsSingleBlocksKeepingTheirMarker) {
    ScratchWorld world;
    stone_floor();
    uint16_t count = voxel_ore_sphere_xyz(90.0f, 90.0f, 9.0f, 2.0f, 25, 3, 1, 100);
    EXPECT_GT(count, 0);
    EXPECT_EQ(count_material(25), count);
    for (int y = 86; y <= 94; y++)
        for (int x = 86; x <= 94; x++) {
            voxel *v = chunkmap_get_xyz(x, y, 9);
            ASSERT_TRUE(voxel_is_single(v));
            EXPECT_EQ(v->data & ~VOXEL_MATERIAL_MASK, VOXEL_CENTRED_SINGLE);
            for (int z = 1; z < 9; z++) EXPECT_EQ(material_at(x, y, z), 3);
        }
}

TEST(VoxelOreSphere, PartialFillFollowsTheRandomSeed) {
    ScratchWorld world;
    stone_floor();
    EXPECT_EQ(voxel_ore_sphere_xyz(80.0f, 80.0f, 5.0f, 3.0f, 22, 3, 0, 0), 0);
    srand(99);
    uint16_t first = voxel_ore_sphere_xyz(80.0f, 80.0f, 5.0f, 3.0f, 22, 3, 0, 50);
    std::vector<uint8_t> picked;
    for (int y = 75; y <= 85; y++)
        for (int x = 75; x <= 85; x++)
            for (int z = 0; z < 10; z++) picked.push_back(material_at(x, y, z));
    // The same seed on a fresh floor converts the same blocks.
    chunk_destroy(chunk_map[1][1]);
    chunk_map[1][1] = nullptr;
    stone_floor();
    srand(99);
    EXPECT_EQ(voxel_ore_sphere_xyz(80.0f, 80.0f, 5.0f, 3.0f, 22, 3, 0, 50), first);
    std::vector<uint8_t> again;
    for (int y = 75; y <= 85; y++)
        for (int x = 75; x <= 85; x++)
            for (int z = 0; z < 10; z++) again.push_back(material_at(x, y, z));
    EXPECT_EQ(picked, again);
    int full = 0;
    for (uint8_t m : picked) full += (m == 22);
    EXPECT_EQ(full, first);
    // About half of the stone inside the sphere (radius 4 around the centre) becomes ore.
    int candidates = 0;
    for (int y = 75; y <= 85; y++)
        for (int x = 75; x <= 85; x++)
            for (int z = 1; z < 10; z++) {
                float dx = x + 0.5f - 80.0f, dy = y + 0.5f - 80.0f, dz = z + 0.5f - 5.0f;
                if (dx * dx + dy * dy + dz * dz < 16.0f) candidates++;
            }
    EXPECT_GT(first, candidates / 4);
    EXPECT_LT(first, 3 * candidates / 4);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
}

TEST(VoxelOreSphere, WildArgumentsAreRefused) {
    ScratchWorld world;
    stone_floor();
    EXPECT_EQ(voxel_ore_sphere_xyz(NAN, 80.0f, 5.0f, 3.0f, 22, 3, 0, 100), 0);
    EXPECT_EQ(voxel_ore_sphere_xyz(80.0f, 80.0f, INFINITY, 3.0f, 22, 3, 0, 100), 0);
    EXPECT_EQ(voxel_ore_sphere_xyz(80.0f, 80.0f, 5.0f, -3.0f, 22, 3, 0, 100), 0);
    EXPECT_EQ(voxel_ore_sphere_xyz(-1e30f, 80.0f, 5.0f, 3.0f, 22, 3, 0, 100), 0);
    EXPECT_EQ(count_material(22), 0);
}
