// test_voxel_sphere.cpp — digging and filling spheres, snapped cubes, hostile arguments, and a
// randomized run of edits that must keep every column sound through a save and a load
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "edit_test_util.h"

// A world with the per-block trace of the sphere edits switched off.
class QuietWorld {
  public:
    QuietWorld() { global_log_level = 1; }

  private:
    ScratchWorld world_;
};

TEST(VoxelSphere, DiggingARadiusTwoHoleEmptiesTheInsideAndPullsTheWallsOntoTheSphere) {
    QuietWorld world;
    make_flat_chunk(1, 1, 10, 1, 10);
    int before = solid_blocks(64, 127, 64, 127);
    uint16_t count = voxel_sphere_xyz(96.5f, 96.5f, 8.0f, 2.0f, 0, 1, 0, 3.5f, 1);
    EXPECT_EQ(global_hit_something_hard, 0);
    EXPECT_GE(count, 8);
    int removed = before - solid_blocks(64, 127, 64, 127);
    EXPECT_GE(removed, count);
    // Straight down the middle: the two blocks inside are gone; the blocks the sphere's surface
    // passes through stay as single blocks whose points sit on the sphere, at its bottom and top.
    EXPECT_EQ(pillar_words(chunkmap_get_xy(96, 96)),
              (std::vector<uint16_t>{run_word(34, 1), run_word(1, 5), (uint16_t)(1 | 0x0DC0), run_word(0, 2),
                                     (uint16_t)(10 | 0xEDC0)}));
    EXPECT_NEAR(marker_of(chunkmap_get_xyz(96, 96, 6)).z, 0.0625f, 1e-6f);
    EXPECT_NEAR(marker_of(chunkmap_get_xyz(96, 96, 9)).z, 0.9375f, 1e-6f);
    // Beside the middle, the block level with the centre is gone too; far columns are untouched.
    EXPECT_EQ(material_at(97, 96, 8), 0);
    EXPECT_EQ(pillar_words(chunkmap_get_xy(101, 96)),
              (std::vector<uint16_t>{run_word(34, 1), run_word(1, 8), single_word(10)}));
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
}

TEST(VoxelSphere, DiggingPullsAnExposedSurfaceInToTheSphere) {
    QuietWorld world;
    make_flat_chunk(1, 1, 10, 1, 10);
    // A sphere whose edge passes through the top block: its surface point moves down to the edge.
    voxel_sphere_xyz(96.5f, 96.5f, 10.2f, 0.9f, 0, 1, 0, 3.5f, 0);
    voxel *top = chunkmap_get_xyz(96, 96, 9);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(voxel_is_single(top));
    EXPECT_NEAR(marker_of(top).z, 0.3125f, 1e-6f);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
}

TEST(VoxelSphere, DiggingHardRockSetsHitSomethingHard) {
    QuietWorld world;
    make_flat_chunk(1, 1, 10, 3, 3);
    int before = solid_blocks(64, 127, 64, 127);
    EXPECT_EQ(voxel_sphere_xyz(96.5f, 96.5f, 8.0f, 2.0f, 0, 1, 0, 3.5f, 1), 0);
    EXPECT_EQ(global_hit_something_hard, 1);
    EXPECT_EQ(solid_blocks(64, 127, 64, 127), before);
    // A metal tool's strength goes through, and the flag is cleared at the start of each dig.
    EXPECT_GT(voxel_sphere_xyz(96.5f, 96.5f, 8.0f, 2.0f, 0, 1, 0, 20.5f, 1), 0);
    EXPECT_EQ(global_hit_something_hard, 0);
    EXPECT_LT(solid_blocks(64, 127, 64, 127), before);
}

TEST(VoxelSphere, AirInsideAColumnIsAsHardAsDirtButAirAboveItIsNothing) {
    QuietWorld world;
    make_resident_chunk(1, 1, [](int, int) {
        return make_pillar({run_word(34, 1), run_word(1, 4), run_word(0, 3), run_word(1, 3)});
    });
    // A tiny sphere around the middle of the cave touches only one air block.
    voxel_sphere_xyz(80.5f, 80.5f, 6.5f, 0.4f, 0, 1, 0, 2.0f, 0);
    EXPECT_EQ(global_hit_something_hard, 1);
    voxel_sphere_xyz(80.5f, 80.5f, 6.5f, 0.4f, 0, 1, 0, 3.5f, 0);
    EXPECT_EQ(global_hit_something_hard, 0);
    voxel_sphere_xyz(80.5f, 80.5f, 20.5f, 0.4f, 0, 1, 0, 2.0f, 0);
    EXPECT_EQ(global_hit_something_hard, 0);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
}

TEST(VoxelSphere, FillingPushesAnExistingSurfaceOutward) {
    QuietWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    voxel *top = chunkmap_get_xyz(80, 80, 4);
    ASSERT_NEAR(marker_of(top).z, 0.5625f, 1e-6f);
    voxel_sphere_xyz(80.5f, 80.5f, 4.0f, 0.9f, 1, 0, 0, 20.0f, 0);
    top = chunkmap_get_xyz(80, 80, 4);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(voxel_material(top), 10);  // a fill never replaces solid blocks
    EXPECT_NEAR(marker_of(top).z, 0.9375f, 1e-6f);
    EXPECT_EQ(material_at(80, 80, 5), 0);
}

TEST(VoxelSphere, FillingInTheAirBuildsABallAndCountsWhatStays) {
    QuietWorld world;
    make_flat_chunk(1, 1, 10, 1, 10);
    int before = solid_blocks(64, 127, 64, 127);
    uint16_t count = voxel_sphere_xyz(90.5f, 90.5f, 20.5f, 2.5f, 3, 0, 1, 20.0f, 0);
    EXPECT_GT(count, 20);
    EXPECT_EQ(solid_blocks(64, 127, 64, 127) - before, count);
    EXPECT_EQ(material_at(90, 90, 20), 3);
    EXPECT_FALSE(voxel_is_single(chunkmap_get_xyz(90, 90, 20)));
    // The outermost blocks carry their own surface point on the sphere.
    voxel *side = chunkmap_get_xyz(92, 90, 20);
    ASSERT_NE(side, nullptr);
    EXPECT_TRUE(voxel_is_single(side));
    EXPECT_GT(marker_of(side).x, 0.5f);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
    // The relight gave the top of the ball open sky.
    voxel *crown = chunkmap_get_xyz(90, 90, 22);
    ASSERT_NE(crown, nullptr);
    EXPECT_EQ(crown->sunlight, 127);
}

TEST(VoxelSnapCube, PlacesOnlyTheMissingBlocksAndCountsThem) {
    QuietWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    // Rounded centre (80, 80, 5): the layer z = 5 is empty, z = 4 is ground.
    EXPECT_EQ(voxel_snap_cube_xyz(80.2f, 79.7f, 5.2f, 5, 0), 4);
    for (int y = 79; y <= 80; y++)
        for (int x = 79; x <= 80; x++) {
            voxel *v = chunkmap_get_xyz(x, y, 5);
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(v->data, 5 | VOXEL_LOW_SINGLE);
            EXPECT_EQ(material_at(x, y, 4), 10);
        }
    EXPECT_EQ(material_at(81, 80, 5), 0);
    EXPECT_EQ(material_at(78, 80, 5), 0);
    EXPECT_EQ(voxel_snap_cube_xyz(80.2f, 79.7f, 5.2f, 5, 0), 0);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
}

TEST(VoxelSnapCube, ACubeInTheAirHoldsItselfUp) {
    QuietWorld world;
    make_flat_chunk(1, 1, 5, 1, 10);
    int before = solid_blocks(64, 127, 64, 127);
    EXPECT_EQ(voxel_snap_cube_xyz(90.0f, 90.0f, 30.0f, 3, 1), 8);
    EXPECT_EQ(solid_blocks(64, 127, 64, 127), before + 8);
    EXPECT_EQ(material_at(89, 89, 29), 3);
    EXPECT_EQ(material_at(90, 90, 30), 3);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
    // Wild centres place nothing.
    EXPECT_EQ(voxel_snap_cube_xyz(NAN, 90.0f, 30.0f, 3, 1), 0);
    EXPECT_EQ(voxel_snap_cube_xyz(90.0f, 90.0f, 1e30f, 3, 1), 0);
    EXPECT_EQ(voxel_snap_cube_xyz(-1e30f, 90.0f, 30.0f, 3, 1), 0);
    EXPECT_EQ(solid_blocks(64, 127, 64, 127), before + 8);
}

TEST(VoxelSphere, HostileCentresAndRadiiChangeNothing) {
    QuietWorld world;
    make_flat_chunk(1, 1, 10, 1, 10);
    int before = solid_blocks(64, 127, 64, 127);
    uint32_t live = voxel_pool_live_count();
    const float bad[] = {NAN, INFINITY, -INFINITY};
    for (float b : bad) {
        EXPECT_EQ(voxel_sphere_xyz(b, 90.0f, 5.0f, 2.0f, 0, 1, 1, 20.0f, 1), 0);
        EXPECT_EQ(voxel_sphere_xyz(90.0f, b, 5.0f, 2.0f, 3, 1, 1, 20.0f, 1), 0);
        EXPECT_EQ(voxel_sphere_xyz(90.0f, 90.0f, b, 2.0f, 0, 1, 1, 20.0f, 1), 0);
        EXPECT_EQ(voxel_sphere_xyz(90.0f, 90.0f, 5.0f, b, 0, 1, 1, 20.0f, 1), 0);
    }
    EXPECT_EQ(voxel_sphere_xyz(90.0f, 90.0f, 5.0f, -3.0f, 0, 1, 1, 20.0f, 1), 0);
    // Off the map, on a chunk that is not resident, and far above the editable heights.
    EXPECT_EQ(voxel_sphere_xyz(-50.0f, 90.0f, 5.0f, 3.0f, 3, 1, 1, 20.0f, 1), 0);
    EXPECT_EQ(voxel_sphere_xyz(1e9f, -1e9f, 5.0f, 3.0f, 3, 1, 1, 20.0f, 1), 0);
    EXPECT_EQ(voxel_sphere_xyz(20.0f, 20.0f, 5.0f, 3.0f, 3, 1, 1, 20.0f, 1), 0);
    EXPECT_EQ(voxel_sphere_xyz(90.0f, 90.0f, 5000.0f, 3.0f, 3, 1, 1, 20.0f, 1), 0);
    EXPECT_EQ(voxel_sphere_xyz(90.0f, 90.0f, -50.0f, 3.0f, 3, 1, 1, 20.0f, 1), 0);
    EXPECT_EQ(solid_blocks(64, 127, 64, 127), before);
    EXPECT_EQ(voxel_pool_live_count(), live);
    EXPECT_EQ(global_off_map_voxel->data, 3 | VOXEL_CENTRED_SINGLE);
}

TEST(VoxelSphere, AHugeRadiusIsCutAndFinishesWithSoundColumns) {
    QuietWorld world;
    make_flat_chunk(1, 1, 10, 1, 10);
    voxel_sphere_xyz(96.0f, 96.0f, 5.0f, 10000.0f, 0, 1, 0, 20.0f, 1);
    EXPECT_TRUE(log_contains("radius 10000.000000 cut to"));
    // Everything above the bottom layer within reach is gone.
    EXPECT_EQ(solid_blocks(64, 127, 64, 127), 64 * 64);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
}

TEST(VoxelSphere, RunningOutOfMemoryMidDigLeavesSoundColumns) {
    QuietWorld world;
    make_flat_chunk(1, 1, 10, 1, 10);
    uint32_t live = voxel_pool_live_count();
    for (uint32_t spare = 0; spare < 40; spare += 3) {
        global_voxel_allocation_limit = live + spare;
        voxel_sphere_xyz(80.5f + (float)spare, 90.5f, 8.0f, 2.5f, 0, 1, 1, 20.0f, 1);
        voxel_sphere_xyz(80.5f + (float)spare, 100.5f, 12.0f, 2.5f, 3, 0, 1, 20.0f, 0);
        global_voxel_allocation_limit = 0;
        ASSERT_TRUE(pillars_sound(64, 127, 64, 127)) << "spare records " << spare;
        live = voxel_pool_live_count();
    }
    EXPECT_EQ(records_in_world(), voxel_pool_live_count());
}

// A hilly chunk with stone under dirt, sand low down, caves, and single blocks on top.
static voxel *hilly_pillar(int x, int y) {
    int height = 6 + (int)(8.0f + 7.0f * sinf((float)x * 0.21f) * cosf((float)y * 0.17f) + 4.0f * sinf((float)(x + y) * 0.5f));
    std::vector<uint16_t> words = {run_word(34, 1)};
    int stone = height / 2;
    words.push_back(run_word(3, (uint16_t)(stone - 1)));
    int cave = ((x / 5 + y / 7) % 3 == 0) ? 2 : 0;
    if (cave) words.push_back(run_word(0, (uint16_t)cave));
    int rest = height - stone - cave - 1;
    if (rest > 0) words.push_back(run_word(height < 12 ? 7 : 1, (uint16_t)rest));
    words.push_back(single_word(height < 12 ? 7 : 10));
    return make_pillar(words, 127);
}

TEST(VoxelEditProperty, ThousandsOfRandomEditsKeepEveryColumnSoundThroughSaveAndLoad) {
    QuietWorld world;
    make_resident_chunk(1, 1, [](int x, int y) { return hilly_pillar(64 + x, 64 + y); });
    ASSERT_TRUE(pillars_sound(64, 127, 64, 127));
    std::mt19937 rng(20261208);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const uint8_t materials[] = {1, 3, 5, 7, 10, 20, 28, 31, 32};
    const float strengths[] = {1.0f, 2.0f, 3.5f, 9.5f, 20.5f};
    srand(7);

    for (int step = 0; step < 2500; step++) {
        float cx = uniform(60.0f, 132.0f), cy = uniform(60.0f, 132.0f), cz = uniform(-2.0f, 34.0f);
        float radius = uniform(0.2f, 4.5f);
        uint8_t material = materials[pick(0, 8)];
        int kind = pick(0, 9);
        switch (kind) {
            case 0:
            case 1:
            case 2:
                voxel_sphere_xyz(cx, cy, cz, radius, 0, (uint8_t)pick(0, 1), (uint8_t)pick(0, 1),
                                 strengths[pick(0, 4)], (uint8_t)pick(0, 1));
                break;
            case 3:
            case 4:
                voxel_sphere_xyz(cx, cy, cz, radius * 0.7f, material, 0, (uint8_t)pick(0, 1), 20.0f, 0);
                break;
            case 5:
            case 6:
                voxel_snap_cube_xyz(cx, cy, cz, material, (uint8_t)pick(0, 1));
                break;
            case 7:
                voxel_set_xyz((int)cx, (int)cy, (int)cz + pick(-3, 30), (uint8_t)pick(0, 40),
                              (uint8_t)(pick(0, 1) * VOXEL_SET_SINGLE), (uint8_t)pick(0, 1));
                break;
            case 8:
                voxel_ore_sphere_xyz(cx, cy, cz, radius, 22, (uint8_t)(pick(0, 1) ? 3 : 1), (uint8_t)pick(0, 1),
                                     (uint8_t)pick(0, 100));
                break;
            default:
                if (pick(0, 1))
                    voxel_fluff_xy((int)cx, (int)cy, 0, (uint8_t)pick(0, 1));
                else
                    voxel_eggshell_pillar_xy((int)cx, (int)cy, 10, 11);
                break;
        }
        int reach = (int)radius + 4;
        int x0 = std::max(64, (int)cx - reach), x1 = std::min(127, (int)cx + reach);
        int y0 = std::max(64, (int)cy - reach), y1 = std::min(127, (int)cy + reach);
        ASSERT_TRUE(pillars_sound(x0, x1, y0, y1)) << "after edit " << step << " of kind " << kind;
    }
    ASSERT_TRUE(pillars_sound(64, 127, 64, 127));
    EXPECT_EQ(records_in_world(), voxel_pool_live_count());
    EXPECT_FALSE(log_contains("Something happened that shouldn't happen"));
    EXPECT_FALSE(log_contains("voxel_set_xyz() -- z =="));
    EXPECT_FALSE(log_contains("is unsound after an edit"));

    std::vector<std::vector<uint16_t>> saved;
    for (int y = 64; y < 128; y++)
        for (int x = 64; x < 128; x++) saved.push_back(pillar_words(chunkmap_get_xy(x, y)));
    chunkmap_unload(1, 1);
    ASSERT_EQ(chunk_map[1][1], nullptr);
    chunkmap_load(1, 1);
    ASSERT_NE(chunk_map[1][1], nullptr);
    EXPECT_FALSE(log_contains("Error:"));  // nothing had to be repaired on the way back
    size_t k = 0;
    for (int y = 64; y < 128; y++)
        for (int x = 64; x < 128; x++, k++) ASSERT_EQ(pillar_words(chunkmap_get_xy(x, y)), saved[k]) << x << ", " << y;
}

// What the object layer's hooks were handed during a dig.
static std::vector<uint8_t> hooked_debris_materials;
static std::vector<uint8_t> hooked_collected;
static void record_debris(uint8_t material, uint8_t, uint8_t count, float, float, float) {
    if (count) hooked_debris_materials.push_back(material);
}
static void record_collect(uint8_t material) { hooked_collected.push_back(material); }

TEST(VoxelSphere, DiggingHandsDebrisAndCollectedMaterialsToTheHooksOnlyWhenAsked) {
    QuietWorld world;
    hooked_debris_materials.clear();
    hooked_collected.clear();
    voxel_debris_hook = record_debris;
    voxel_collect_hook = record_collect;
    make_flat_chunk(1, 1, 10, 1, 10);
    // Without particles or a stockpile the hooks hear nothing.
    voxel_sphere_xyz(96.5f, 96.5f, 8.0f, 2.0f, 0, 0, 0, 3.5f, 0);
    EXPECT_TRUE(hooked_debris_materials.empty());
    EXPECT_TRUE(hooked_collected.empty());
    // Digging through the grass top: debris of what was dug, and the grass family is collected as dirt.
    voxel_sphere_xyz(100.5f, 100.5f, 9.0f, 2.0f, 0, 1, 0, 3.5f, 1);
    voxel_debris_hook = nullptr;
    voxel_collect_hook = nullptr;
    EXPECT_FALSE(hooked_debris_materials.empty());
    ASSERT_FALSE(hooked_collected.empty());
    for (uint8_t material : hooked_collected) EXPECT_EQ(material, 1);
    // With no hooks set a dig still works and nothing is called.
    EXPECT_GT(voxel_sphere_xyz(104.5f, 104.5f, 9.0f, 2.0f, 0, 1, 0, 3.5f, 1), 0);
    EXPECT_TRUE(pillars_sound(64, 127, 64, 127));
}
