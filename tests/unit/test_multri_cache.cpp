// test_multri_cache.cpp — drawing through the triangle cache in a real window: a pillar is meshed
// once and replayed, a ring caches what it draws, an edit drops the caches around it, unloading frees them
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_opengl.h>

#include "display/display.h"
#include "multri_test_util.h"
#include "test_window.h"
#include "foundation/settings.h"

namespace {

struct MultriCache : ::testing::Test {
    ScratchWorld *world = nullptr;
    void SetUp() override {
        if (!test_window_display_available()) GTEST_SKIP() << "no X display (test.sh runs the tests under xvfb-run)";
        test_window_ignore_library_leaks();
        setenv("SDL_VIDEODRIVER", "x11", 0);
        screen_x = 320;
        screen_y = 240;
        fullscreen_mode = 0;
        ASSERT_EQ(display_setup(), 1) << SDL_GetError();
        world = new ScratchWorld();
        voxel_geometry_setup();
        multri_test_quiet_tables();
        make_resident_chunk(1, 1, [](int, int) { return floor_pillar(4); });
        reset_counters();
    }
    void TearDown() override { delete world; }
    void reset_counters() {
        voxel_draw_count = voxel_draw_triangle_count = multri_draw_count = debug_mega_tile = 0;
    }
    multri *slot(int level, int x, int y) {
        multri **s = chunkmap_get_xy_multri(level, x, y);
        return s ? *s : nullptr;
    }
};

TEST_F(MultriCache, PillarIsMeshedOnceAndThenReplayedFromItsList) {
    voxel_draw_pillar_xy(80, 80);
    EXPECT_EQ(voxel_draw_triangle_count, 2u);
    EXPECT_EQ(multri_draw_count, 0u);
    multri *list = slot(0, 80, 80);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(multri_count(list), 2u);
    reset_counters();
    voxel_draw_pillar_xy(80, 80);
    EXPECT_EQ(voxel_draw_triangle_count, 0u);
    EXPECT_EQ(multri_draw_count, 2u);
    EXPECT_EQ(slot(0, 80, 80), list);
}

TEST_F(MultriCache, OutlinesAreCachedOnlyForPillarsMeshedInCartoonMode) {
    tilt_floor_tops(80, 80);
    tilt_floor_tops(81, 80);
    voxel_draw_pillar_xy(80, 80);
    global_cartoon_mode = 1;
    voxel_draw_pillar_xy(80, 80);  // replayed: no rims appear
    voxel_draw_pillar_xy(81, 80);
    global_cartoon_mode = 0;
    EXPECT_EQ(multri_count(slot(0, 80, 80)), 2u);
    EXPECT_EQ(multri_count(slot(0, 81, 80)), 4u);
    int rims = 0;
    for (multri *m = slot(0, 81, 80); m; m = m->next)
        if (m->sunlight[0] == 39 && m->glowlight[2] == 39) rims++;
    EXPECT_EQ(rims, 2);
}

TEST_F(MultriCache, PillarOfAnUnloadedChunkIsDrawnLiveEveryFrame) {
    voxel_draw_pillar_xy(10, 10);
    voxel_draw_pillar_xy(10, 10);
    EXPECT_EQ(voxel_draw_triangle_count, 4u);
    EXPECT_EQ(multri_draw_count, 0u);
}

TEST_F(MultriCache, InvalidatingAPillarEmptiesAllFourLevels) {
    voxel_draw_pillar_xy(80, 80);
    for (int mega = 2; mega <= 8; mega *= 2) voxel_draw_mega_pillar_xy(80, 80, mega);
    for (int level = 0; level < 4; level++) ASSERT_NE(slot(level, 80, 80), nullptr);
    chunkmap_invalidate_xy_multri(80, 80);
    EXPECT_EQ(slot(0, 80, 80), nullptr);
    for (int level = 0; level < 4; level++) EXPECT_EQ(slot(level, 80, 80), nullptr);
}

TEST_F(MultriCache, RingDrawsVisiblePillarsAndCachesTilesInTheirLevels) {
    camera_vector = {96.0f, 75.0f, 20.0f};
    vector target = {96.0f, 95.0f, 10.0f};
    display_look_at(&camera_vector, &target);
    voxel_draw_map(&camera_vector, 6, 20, 0, 1);
    EXPECT_GT(voxel_draw_count, 50u);
    EXPECT_EQ(voxel_draw_triangle_count, 2 * voxel_draw_count - multri_draw_count);
    EXPECT_NE(slot(0, 96, 85), nullptr);  // ahead
    EXPECT_EQ(slot(0, 96, 66), nullptr);  // behind, farther than 6
    EXPECT_NE(slot(0, 96, 71), nullptr);  // behind, within 6
    reset_counters();
    voxel_draw_map(&camera_vector, 6, 20, 0, 1);
    EXPECT_EQ(voxel_draw_triangle_count, 0u);
    EXPECT_EQ(multri_draw_count, 2 * voxel_draw_count);

    reset_counters();
    voxel_draw_map(&camera_vector, 17, 60, 0, 2);
    EXPECT_GT(debug_mega_tile, 10u);
    uint32_t level1 = 0, level2 = 0;
    for (int x = 64; x < 128; x++)
        for (int y = 64; y < 128; y++) {
            level1 += slot(1, x, y) ? 1 : 0;
            level2 += slot(2, x, y) ? 1 : 0;
        }
    EXPECT_GT(level1, 0u);
    EXPECT_EQ(level2, 0u);
    EXPECT_GT(multri_draw_count, 0u);
}

TEST_F(MultriCache, DigDropsTheCachesWithinTwoOfTheEditAndKeepsTheRest) {
    for (int x = 74; x <= 86; x++)
        for (int y = 74; y <= 86; y++) {
            voxel_draw_pillar_xy(x, y);
            voxel_draw_mega_pillar_xy(x, y, 2);
        }
    multri *far_list = slot(0, 86, 86), *far_tile = slot(1, 74, 74);
    ASSERT_NE(far_list, nullptr);
    ASSERT_NE(far_tile, nullptr);
    // Dig out the surface block of column (80, 80).
    voxel_sphere_xyz(80.5f, 80.5f, 4.5f, 0.4f, 0, 0, 0, 99.0f, 0);
    for (int x = 78; x <= 82; x++)
        for (int y = 78; y <= 82; y++)
            for (int level = 0; level < 4; level++) EXPECT_EQ(slot(level, x, y), nullptr) << x << ", " << y;
    EXPECT_EQ(slot(0, 86, 86), far_list);
    EXPECT_EQ(slot(1, 74, 74), far_tile);
    // The next draw meshes the new shape: the hole dips below the old surface.
    reset_counters();
    voxel_draw_pillar_xy(80, 80);
    EXPECT_GT(voxel_draw_triangle_count, 0u);
    bool low = false;
    for (multri *m = slot(0, 80, 80); m; m = m->next)
        for (int k = 0; k < 3; k++)
            if (m->corner_xyz[k][2] < 4.5f) low = true;
    EXPECT_TRUE(low);
}

TEST_F(MultriCache, NothingIsCachedOverAChunkThatIsStillToComeIn) {
    // Chunk (2, 1) east of the resident one is on the map but not resident yet.
    voxel_draw_pillar_xy(127, 80);
    EXPECT_GT(voxel_draw_triangle_count, 2u);  // drawn live, down to the stand-in floor
    EXPECT_EQ(slot(0, 127, 80), nullptr);
    voxel_draw_mega_pillar_xy(120, 80, 8);
    EXPECT_EQ(slot(3, 120, 80), nullptr);
    voxel_draw_mega_pillar_xy(104, 80, 8);
    EXPECT_NE(slot(3, 104, 80), nullptr);
    make_resident_chunk(2, 1, [](int, int) { return floor_pillar(4); });
    voxel_draw_pillar_xy(127, 80);
    voxel_draw_mega_pillar_xy(120, 80, 8);
    EXPECT_EQ(multri_count(slot(0, 127, 80)), 2u);
    EXPECT_NE(slot(3, 120, 80), nullptr);
    // Off the map the stand-in floor is permanent, so a tile at the map's edge is cached.
    make_resident_chunk(49, 49, [](int, int) { return floor_pillar(4); });
    voxel_draw_mega_pillar_xy(3192, 3192, 8);
    EXPECT_NE(slot(3, 3192, 3192), nullptr);
}

TEST_F(MultriCache, UnloadingAChunkFreesItsCachedLists) {
    for (int x = 70; x < 90; x++) voxel_draw_pillar_xy(x, 80);
    voxel_draw_mega_pillar_xy(64, 64, 8);
    EXPECT_GT(multri_cache_memory(), 0u);
    chunk_destroy(chunk_map[1][1]);
    chunk_map[1][1] = nullptr;
    EXPECT_EQ(multri_cache_memory(), 0u);
}

}  // namespace
