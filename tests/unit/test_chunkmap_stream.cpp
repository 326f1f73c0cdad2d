// test_chunkmap_stream.cpp — streaming chunks around a point: window, candidates, ties, force,
// the idle sleep, the full sweep and saving everything at exit
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "terrain_test_util.h"
#include "foundation/timer.h"

typedef std::set<std::pair<int, int>> chunk_set;

static chunk_set resident_chunks() {
    chunk_set set;
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++)
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++)
            if (chunk_map[cx][cy]) set.insert({cx, cy});
    return set;
}

// Makes chunks resident without generating terrain: one crystal block in one column.
static void make_resident(const chunk_set &chunks) {
    for (auto &c : chunks) make_resident_chunk(c.first, c.second, [](int x, int y) {
            return (x == 0 && y == 0) ? make_pillar({run_word(34, 1)}) : nullptr;
        });
}

static float distance_squared(int x, int y, int cx, int cy) {
    float dx = (float)(x - (cx * 64 + 32)), dy = (float)(y - (cy * 64 + 32));
    return dx * dx + dy * dy;
}

TEST(ChunkStreaming, WindowClampsAtTheMapEdges) {
    ScratchWorld world;
    chunkmap_update(10, 10, 100.0f, 200.0f, 1);
    EXPECT_EQ(resident_chunks(), (chunk_set{{0, 0}, {1, 0}, {0, 1}}));
    chunkmap_update(3190, 3190, 100.0f, 200.0f, 1);
    // The far corner's chunks came in; the first corner's are beyond the unload radius and
    // outside the window, so the full sweep takes one of them per settled pass.
    chunk_set after = resident_chunks();
    EXPECT_TRUE(after.count({49, 49}) && after.count({48, 49}) && after.count({49, 48}));
    EXPECT_FALSE(after.count({0, 0}));
    EXPECT_EQ(after.size(), 5u);
}

TEST(ChunkStreaming, ForcedPassLoadsAndUnloadsEverythingThenSweepsOnce) {
    ScratchWorld world;
    global_world_frame = 500;
    // (26,25) lies between the two radii: resident, it stays. (25,27) is beyond the unload radius
    // inside the window. (0,0) and (1,0) are far outside the window.
    make_resident({{26, 25}, {25, 27}, {0, 0}, {1, 0}});
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 1);
    EXPECT_EQ(resident_chunks(), (chunk_set{{24, 24}, {25, 24}, {24, 25}, {25, 25}, {26, 25}, {1, 0}}));
    EXPECT_EQ(last_chunkmap_update, 500u);
    // The saved chunks have files now; the generated ones do not yet.
    EXPECT_FALSE(read_text_file(chunk_path(25, 27)).empty());
    EXPECT_FALSE(read_text_file(chunk_path(0, 0)).empty());
    EXPECT_TRUE(read_text_file(chunk_path(1, 0)).empty());
    EXPECT_TRUE(read_text_file(chunk_path(24, 24)).empty());
}

TEST(ChunkStreaming, NearestMissingChunkLoadsFirstWithTiesInScanOrder) {
    ScratchWorld world;
    global_world_frame = 61;
    // Four chunks at the same distance from (1600, 1600): row by row, then column by column.
    const std::pair<int, int> order[] = {{24, 24}, {25, 24}, {24, 25}, {25, 25}};
    chunk_set expected;
    for (auto &next : order) {
        chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
        expected.insert(next);
        EXPECT_EQ(resident_chunks(), expected);
        EXPECT_EQ(last_chunkmap_update, 0u);  // work was found: no idle mark yet
    }
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
    EXPECT_EQ(resident_chunks(), expected);
    EXPECT_EQ(last_chunkmap_update, 61u);
}

TEST(ChunkStreaming, NearerChunkExaminedLaterStillWins) {
    ScratchWorld world;
    global_world_frame = 100;
    chunkmap_update(1610, 1610, 60.0f, 120.0f, 0);
    EXPECT_EQ(resident_chunks(), (chunk_set{{25, 25}}));
    chunkmap_update(1610, 1610, 60.0f, 120.0f, 0);
    EXPECT_EQ(resident_chunks(), (chunk_set{{25, 25}, {25, 24}}));
}

TEST(ChunkStreaming, FarthestResidentChunkUnloadsFirstWithTiesInScanOrder) {
    ScratchWorld world;
    global_world_frame = 1000;
    make_resident({{24, 24}, {25, 24}, {24, 25}, {25, 25}, {27, 25}, {22, 25}, {25, 22}, {27, 27}});
    ASSERT_EQ(distance_squared(1600, 1600, 27, 25), distance_squared(1600, 1600, 22, 25));
    ASSERT_EQ(distance_squared(1600, 1600, 27, 25), distance_squared(1600, 1600, 25, 22));
    const std::pair<int, int> order[] = {{27, 27}, {25, 22}, {22, 25}, {27, 25}};
    for (auto &gone : order) {
        EXPECT_TRUE(chunk_map[gone.first][gone.second]);
        chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
        EXPECT_FALSE(chunk_map[gone.first][gone.second]) << gone.first << ", " << gone.second;
    }
    EXPECT_EQ(resident_chunks(), (chunk_set{{24, 24}, {25, 24}, {24, 25}, {25, 25}}));
}

TEST(ChunkStreaming, OnePassLoadsOneAndSavesOne) {
    ScratchWorld world;
    global_world_frame = 1000;
    make_resident({{24, 24}, {25, 24}, {24, 25}, {27, 25}, {27, 26}});
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
    EXPECT_EQ(resident_chunks(), (chunk_set{{24, 24}, {25, 24}, {24, 25}, {25, 25}, {27, 25}}));
}

TEST(ChunkStreaming, SettledStreamingSleepsSixtyFrames) {
    ScratchWorld world;
    global_world_frame = 100;
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 1);
    EXPECT_EQ(last_chunkmap_update, 100u);
    ASSERT_TRUE(chunk_map[24][24]);
    chunkmap_unload(24, 24);

    global_world_frame = 160;
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
    EXPECT_FALSE(chunk_map[24][24]);
    global_world_frame = 161;
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
    EXPECT_TRUE(chunk_map[24][24]);

    // The frame counter wrapping around does not wake streaming early.
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);  // settles at frame 161
    chunkmap_unload(24, 24);
    last_chunkmap_update = 0xFFFFFFF0u;
    global_world_frame = 0x20;  // 48 frames later
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
    EXPECT_FALSE(chunk_map[24][24]);
    global_world_frame = 0x2D;  // 61 frames later
    chunkmap_update(1600, 1600, 50.0f, 120.0f, 0);
    EXPECT_TRUE(chunk_map[24][24]);
}

TEST(ChunkStreaming, FullSweepUnloadsTheFirstFarChunkOnly) {
    ScratchWorld world;
    make_resident({{5, 0}, {0, 5}, {25, 25}, {26, 25}});
    chunkmap_full_update(1632, 1632, 64.0f);
    EXPECT_EQ(resident_chunks(), (chunk_set{{0, 5}, {25, 25}, {26, 25}}));
    chunkmap_full_update(1632, 1632, 64.0f);
    // (26,25) is exactly 64 columns away: not farther, so it stays.
    EXPECT_EQ(resident_chunks(), (chunk_set{{25, 25}, {26, 25}}));
    chunkmap_full_update(1632, 1632, 64.0f);
    EXPECT_EQ(resident_chunks(), (chunk_set{{25, 25}, {26, 25}}));
}

TEST(ChunkStreaming, ChunksFollowAMovingPointAndComeBackFromTheirFiles) {
    ScratchWorld world;
    const float load_radius = 100.0f, unload_radius = 160.0f;
    global_world_frame = 1;
    chunkmap_update(1000, 1000, load_radius, unload_radius, 1);
    // Dig a mark into the starting chunk so its return from the file can be seen.
    voxel *mark = chunkmap_get_xy(1000, 1000);
    ASSERT_NE(mark, nullptr);
    voxel_destroy(mark->next);
    mark->next = nullptr;
    mark->data = run_word(5, 3);

    auto settle_at = [&](int x, int y) {
        for (int pass = 0; pass < 200; pass++) {
            global_world_frame++;
            chunkmap_update(x, y, load_radius, unload_radius, 0);
        }
        for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
            for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
                float dis = distance_squared(x, y, cx, cy);
                if (dis < load_radius * load_radius) {
                    ASSERT_TRUE(chunk_map[cx][cy]) << cx << ", " << cy;
                }
                if (dis > unload_radius * unload_radius) {
                    ASSERT_FALSE(chunk_map[cx][cy]) << cx << ", " << cy;
                }
            }
        }
    };
    for (int x = 1000; x <= 1400; x += 50) settle_at(x, 1000 + (x - 1000) / 2);
    EXPECT_FALSE(chunk_map[1000 >> 6][1000 >> 6]);
    for (int x = 1400; x >= 1000; x -= 100) settle_at(x, 1000);
    EXPECT_EQ(pillar_words(chunkmap_get_xy(1000, 1000)), std::vector<uint16_t>{run_word(5, 3)});
}

TEST(ChunkStreaming, UnloadEverythingSavesAndReleasesEveryChunk) {
    ScratchWorld world;
    uint32_t live = voxel_pool_live_count();
    make_resident({{0, 0}, {49, 49}, {7, 42}});
    chunkmap_unload_everything();
    EXPECT_TRUE(resident_chunks().empty());
    EXPECT_EQ(voxel_pool_live_count(), live);
    for (auto &c : chunk_set{{0, 0}, {49, 49}, {7, 42}})
        EXPECT_EQ(read_text_file(chunk_path(c.first, c.second)).size(), 4096u * 2 + 2);
    EXPECT_TRUE(log_contains("Info :Unloading entire chunkmap (writing to disk)"));
    EXPECT_TRUE(log_contains("Info :  Attempting to unload 49, 49"));
    EXPECT_TRUE(log_contains("Info :  Finished unload of 7, 42"));
    EXPECT_TRUE(log_contains("Info :Done unloading entire chunkmap"));
}
