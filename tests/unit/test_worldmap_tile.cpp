// test_worldmap_tile.cpp — island tile painting, tile sampling, map layers and the seed file
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "world/maptile.h"
#include "foundation/random.h"
#include "terrain_test_util.h"
#include "world/worldmap.h"
#include "foundation/settings.h"

namespace {

std::string read_text(const char *path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int tile_sum(void) {
    int sum = 0;
    for (auto &row : isletile_data)
        for (uint8_t v : row) sum += v;
    return sum;
}

TEST(IslandTile, FullWriteOverZeroGives254AndZeroAlphaScalesTheOldValue) {
    isletile_clear();
    isletile_write(10, 20, 255, 255);
    EXPECT_EQ(isletile_data[20][10], 254);
    isletile_write(10, 20, 255, 0);
    EXPECT_EQ(isletile_data[20][10], (255 * 254) >> 8);
    isletile_write(11, 20, 77, 0);
    EXPECT_EQ(isletile_data[20][11], 0);
    // Half alpha blends: (200 * 128 + 127 * 100) >> 8.
    isletile_data[5][5] = 100;
    isletile_write(5, 5, 200, 128);
    EXPECT_EQ(isletile_data[5][5], (200 * 128 + 127 * 100) >> 8);
    // Coordinates wrap into the tile.
    isletile_write(256 + 3, 512 + 4, 255, 255);
    EXPECT_EQ(isletile_data[4][3], 254);
}

TEST(IslandTile, CircleIsSoftFullInTheMiddleAndNothingOutsideItsRadius) {
    isletile_clear();
    isletile_write_circle(100, 100, 255, 255, 4);
    EXPECT_EQ(isletile_data[100][100], 254);
    EXPECT_GT(isletile_data[100][102], isletile_data[100][104]);
    EXPECT_GT(isletile_data[100][104], 0);  // 4 < 4.5: still inside the soft edge
    EXPECT_EQ(isletile_data[100][105], 0);
    EXPECT_EQ(isletile_data[96][96], 0);  // corner of the square, outside the disc
    EXPECT_EQ(isletile_data[100][96], isletile_data[100][104]);
}

TEST(IslandTile, CircleReachingTheBorderIsSkippedWhole) {
    isletile_clear();
    isletile_try_write_circle(3.0f, 128.0f, 255, 255, 2.0f);    // 3 - 3 is not above 0
    isletile_try_write_circle(128.0f, 253.0f, 255, 255, 2.0f);  // 256 is not below 256
    isletile_try_write_circle(128.0f, 128.0f, 255, 255, 200.0f);
    EXPECT_EQ(tile_sum(), 0);
    isletile_try_write_circle(3.5f, 128.0f, 255, 255, 2.0f);
    EXPECT_GT(tile_sum(), 0);
    EXPECT_EQ(isletile_data[128][3], 254);  // drawn at the truncated centre
    EXPECT_EQ(isletile_data[128][0], 0);
}

TEST(TileSampling, MapTileKeepsTheReferencePixels) {
    const int row0[8] = {76, 218, 236, 57, 124, 141, 182, 107};
    const int row63[8] = {90, 225, 225, 35, 80, 192, 220, 77};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(maptile[(0 * 64 + i * 8) * 3], row0[i]);
        EXPECT_EQ(maptile[(63 * 64 + i * 8) * 3], row63[i]);
    }
    EXPECT_EQ(maptile[64 * 3], 105);
    EXPECT_EQ(maptile[MAPTILE_BYTES - 1], 0);
    int lowest = 255, highest = 0;
    long sum = 0;
    for (int p = 0; p < 64 * 64; p++) {
        uint8_t v = maptile[p * 3];
        EXPECT_EQ(maptile[p * 3 + 1], v);
        EXPECT_EQ(maptile[p * 3 + 2], v);
        lowest = std::min(lowest, (int)v);
        highest = std::max(highest, (int)v);
        sum += v;
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 251);
    EXPECT_NEAR((double)sum / 4096.0, 93.0, 4.0);
}

TEST(TileSampling, BilinearBetweenPixelsAndWrapping) {
    auto cell = [](int row, int column) { return (float)maptile[(row * 64 + column) * 3]; };
    EXPECT_FLOAT_EQ(maptile_height(0.0f, 0.0f), (76.0f / 256.0f - 0.5f) * 2.0f);
    // Halfway between columns 0 and 1 of row 0.
    float half = 0.5f / 64.0f;
    EXPECT_NEAR(maptile_height(half, 0.0f), ((cell(0, 0) + cell(0, 1)) / 2.0f / 256.0f - 0.5f) * 2.0f, 1e-5);
    // Halfway between the last column and the first: the tile wraps.
    EXPECT_NEAR(maptile_height(63.5f / 64.0f, 0.0f), ((cell(0, 63) + cell(0, 0)) / 2.0f / 256.0f - 0.5f) * 2.0f,
                1e-5);
    EXPECT_NEAR(maptile_height(0.0f, 63.5f / 64.0f), ((cell(63, 0) + cell(0, 0)) / 2.0f / 256.0f - 0.5f) * 2.0f,
                1e-5);
    EXPECT_NEAR(maptile_height(1.0f, 0.0f), maptile_height(0.0f, 0.0f), 1e-6);

    isletile_clear();
    isletile_data[0][0] = 128;
    isletile_data[0][1] = 192;
    EXPECT_FLOAT_EQ(isletile_height(0.0f, 0.0f), 0.0f);
    EXPECT_NEAR(isletile_height(0.5f / 256.0f, 0.0f), 200.0f * ((160.0f / 256.0f) - 0.5f) * 2.0f, 1e-3);
    EXPECT_NEAR(isletile_height(0.5f, 0.5f), -200.0f, 1e-3);
}

class Layers : public ::testing::Test {
  protected:
    void SetUp() override { random_setup(); }
    ScratchWorld world;
};

TEST_F(Layers, ListsHoldTheirLayersNewestFirstWithTheIslandLast) {
    worldmap_setup(1234, WORLD_NAME);
    const float total_scales[4] = {400.0f, 270.0f, 180.0f, 10000.0f};
    const maplayer *ml = maplayer_total;
    for (int i = 0; i < 4; i++, ml = ml->next) {
        ASSERT_NE(ml, nullptr);
        EXPECT_EQ(ml->scale, total_scales[i]);
        EXPECT_EQ(ml->layer_mode, i == 3 ? 1 : 0);
        EXPECT_FLOAT_EQ(ml->weight, sqrtf(total_scales[i]));
        EXPECT_NEAR(ml->sidex * ml->sidex + ml->sidey * ml->sidey, 1.0f, 1e-5);
        EXPECT_FLOAT_EQ(ml->frontx, -ml->sidey);
        EXPECT_FLOAT_EQ(ml->fronty, ml->sidex);
    }
    EXPECT_EQ(ml, nullptr);
    const float detail_scales[6] = {400.0f, 270.0f, 180.0f, 120.0f, 80.0f, 50.0f};
    for (const maplayer *list : {maplayer_grass, maplayer_stone, maplayer_sand}) {
        int n = 0;
        for (ml = list; ml; ml = ml->next, n++) {
            ASSERT_LT(n, 6);
            EXPECT_EQ(ml->scale, detail_scales[n]);
            EXPECT_EQ(ml->layer_mode, 0);
        }
        EXPECT_EQ(n, 6);
    }
    EXPECT_EQ(global_ocean_level, 20.0f);
    EXPECT_EQ(isletile_scale, 200.0f);
    EXPECT_EQ(maptile_scale, 5.0f);
}

TEST_F(Layers, HeightsStayInTheirBounds) {
    worldmap_setup(99, WORLD_NAME);
    for (int i = 0; i < 200; i++) {
        float x = (float)(i * 16 % 3200) + 0.5f, y = (float)(i * 37 % 3200) + 0.5f;
        float detail = maplayer_height(maplayer_grass, x, y);
        EXPECT_GE(detail, -1.0f);
        EXPECT_LE(detail, 1.0f);
        float island = isletile_height(x / 10000.0f, y / 10000.0f);
        float total = maplayer_height(maplayer_total, x, y);
        EXPECT_LE(fabsf(total - island), 5.0f + 1e-3f);
    }
}

TEST_F(Layers, FourAtATimeGivesTheSameBitsAsOneAtATime) {
    worldmap_setup(2718, WORLD_NAME);
    const float odd[] = {-0.0f, -1.5f, -40000.0f, 1e9f, 3199.999f, 0.0f, 1e-30f, 12345.678f};
    int points = 0;
    for (const maplayer *list : {maplayer_total, maplayer_grass, maplayer_stone, maplayer_sand}) {
        for (int n = 0; n < 400; n++) {
            float x[4], y[4], four[4];
            for (int k = 0; k < 4; k++) {
                x[k] = random_range(-100.0f, 3300.0f);
                y[k] = n < 8 ? odd[n] : random_range(-100.0f, 3300.0f);
            }
            maplayer_height4(list, x, y, four);
            for (int k = 0; k < 4; k++, points++) {
                float one = maplayer_height(list, x[k], y[k]);
                EXPECT_EQ(memcmp(&one, &four[k], sizeof(float)), 0) << x[k] << ", " << y[k];
            }
        }
    }
    EXPECT_EQ(points, 4 * 400 * 4);
    // A point that is not a number sends the four down the one-at-a-time path.
    float x[4] = {1.5f, NAN, 3.5f, INFINITY}, y[4] = {1.5f, 2.5f, 3.5f, 4.5f}, four[4];
    maplayer_height4(maplayer_grass, x, y, four);
    float first = maplayer_height(maplayer_grass, 1.5f, 1.5f);
    EXPECT_EQ(memcmp(&first, &four[0], sizeof(float)), 0);
}

TEST_F(Layers, OutOfBoundsSumsAreClamped) {
    isletile_clear();
    // A layer with a negative weight drives the weighted average far out of -1..1.
    maplayer *strong = maplayer_create(100.0f, 0);
    maplayer *weak = maplayer_create(100.0f, 0);
    ASSERT_TRUE(strong && weak);
    strong->next = weak;
    weak->weight = -0.999f * strong->weight;
    float texture_only = maplayer_height(strong, 10.5f, 10.5f);
    EXPECT_GE(texture_only, -1.0f);
    EXPECT_LE(texture_only, 1.0f);
    EXPECT_EQ(fabsf(texture_only), 1.0f);
    maplayer *island = maplayer_create(10000.0f, 1);
    weak->next = island;
    float total = maplayer_height(strong, 10.5f, 10.5f);
    EXPECT_EQ(fabsf(total - isletile_height(10.5f / 10000.0f, 10.5f / 10000.0f)), 5.0f);
    // Creation clamps a tiny scale.
    maplayer *tiny = maplayer_create(0.0f, 0);
    EXPECT_FLOAT_EQ(tiny->scale, 0.1f);
    maplayer_destroy(tiny);
    maplayer_destroy(strong);
}

TEST_F(Layers, SameSeedSameIslandAndDifferentSeedDifferentIsland) {
    worldmap_setup(4242, WORLD_NAME);
    static uint8_t first[256][256];
    memcpy(first, isletile_data, sizeof(first));
    float first_height = maplayer_height(maplayer_total, 1600.5f, 1600.5f);
    // The seed file now says 4242, so any later argument is ignored.
    worldmap_setup(1, WORLD_NAME);
    EXPECT_EQ(memcmp(first, isletile_data, sizeof(first)), 0);
    EXPECT_EQ(maplayer_height(maplayer_total, 1600.5f, 1600.5f), first_height);
    EXPECT_EQ(global_world_seed, 4242);

    remove(fix_path("WORLDS\\" WORLD_NAME "\\SEED.TXT"));
    worldmap_setup(4243, WORLD_NAME);
    EXPECT_NE(memcmp(first, isletile_data, sizeof(first)), 0);
    EXPECT_GT(tile_sum(), 0);
}

TEST_F(Layers, NewWorldWritesItsSeedAndCreatesTheFolders) {
    worldmap_setup(-77, "FRESH");
    EXPECT_EQ(read_text("WORLDS/FRESH/SEED.TXT"), "-77");
    struct stat info;
    EXPECT_EQ(stat("WORLDS/FRESH", &info), 0);

    // Without even the WORLDS folder, both folders are made.
    rename("WORLDS", "OLDWORLDS");
    worldmap_setup(5, "FRESH");
    EXPECT_EQ(read_text("WORLDS/FRESH/SEED.TXT"), "5");
}

TEST_F(Layers, UnreadableSeedFileIsKeptAndTheGivenSeedUsed) {
    {
        std::ofstream out("WORLDS/" WORLD_NAME "/SEED.TXT");
        out << "not a number";
    }
    worldmap_setup(31337, WORLD_NAME);
    EXPECT_EQ(global_world_seed, 31337);
    EXPECT_EQ(read_text("WORLDS/" WORLD_NAME "/SEED.TXT"), "not a number");
    std::string log = read_text(LOGFILE_NAME);
    EXPECT_NE(log.find("Error:"), std::string::npos);
}

TEST_F(Layers, SeedTooBigForTheSeedIsNoSeed) {
    for (const char *text : {"99999999999", "-2147483649", "-"}) {
        {
            std::ofstream out("WORLDS/" WORLD_NAME "/SEED.TXT");
            out << text;
        }
        worldmap_setup(444, WORLD_NAME);
        EXPECT_EQ(global_world_seed, 444) << text;
        EXPECT_EQ(read_text("WORLDS/" WORLD_NAME "/SEED.TXT"), text);
    }
    {
        std::ofstream out("WORLDS/" WORLD_NAME "/SEED.TXT");
        out << "  -2147483648\n";
    }
    worldmap_setup(444, WORLD_NAME);
    EXPECT_EQ(global_world_seed, INT32_MIN);
}

TEST_F(Layers, EmptySeedFileCountsAsMissingOnlyWhileTheWorldHasNoChunks) {
    for (const char *text : {"", " \n"}) {
        write_text_file("WORLDS/" WORLD_NAME "/SEED.TXT", text);
        worldmap_setup(444, WORLD_NAME);
        EXPECT_EQ(read_text("WORLDS/" WORLD_NAME "/SEED.TXT"), "444");
    }
    // The log names the path as this system writes it.
    const std::string seed = fix_path("WORLDS\\" WORLD_NAME "\\SEED.TXT");
    EXPECT_TRUE(log_contains("Warn :Seed file " + seed + " is empty and the world has no chunks yet; it "
                             "starts afresh with seed 444"));

    // Beside saved chunks the file is the player's to mend, and the player is told what follows.
    write_text_file("WORLDS/" WORLD_NAME "/SEED.TXT", "");
    write_text_file("WORLDS/" WORLD_NAME "/010-011.DAT", "x");
    write_text_file("WORLDS/" WORLD_NAME "/010-012.DAT", "x");
    worldmap_setup(555, WORLD_NAME);
    EXPECT_EQ(global_world_seed, 555);
    EXPECT_EQ(read_text("WORLDS/" WORLD_NAME "/SEED.TXT"), "");
    EXPECT_TRUE(log_contains("Error:Seed file " + seed + " holds no number; running with stand-in seed 555 and "
                             "leaving the file alone"));
    EXPECT_EQ(global_world_seed_lost, 1);
    EXPECT_TRUE(log_contains("new land is not saved until " + seed + " holds the world's seed"));
}

TEST_F(Layers, SeedThatCannotBeWrittenLeavesNoFileAndHoldsBackChunkSaves) {
    global_chunkmap_save_fault = 1;
    worldmap_setup(777, WORLD_NAME);
    EXPECT_EQ(global_world_seed, 777);
    EXPECT_EQ(global_world_seed_unsaved, 1);
    FILE *file = fopen("WORLDS/" WORLD_NAME "/SEED.TXT", "r");
    EXPECT_EQ(file, nullptr);
    if (file) fclose(file);
    file = fopen("WORLDS/" WORLD_NAME "/SEED.TXT.TMP", "r");
    EXPECT_EQ(file, nullptr);
    if (file) fclose(file);
    const std::string seed = fix_path("WORLDS\\" WORLD_NAME "\\SEED.TXT");
    EXPECT_TRUE(log_contains("Error:Unable to write seed 777 to " + seed + " -- cannot create the file: Permission denied"));

    // A chunk is never saved without its seed: once the seed can be written, it goes first.
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(34, 1)}); });
    chunkmap_unload(1, 1);
    EXPECT_TRUE(log_contains("Error:Could not save chunk WORLDS\\DEZORE\\001-001.DAT -- it is new land and the "
                             "world's seed is not on disk"));
    EXPECT_EQ(global_world_seed_unsaved, 1);
    global_chunkmap_save_fault = 0;
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(34, 1)}); });
    chunkmap_unload(1, 1);
    EXPECT_EQ(read_text("WORLDS/" WORLD_NAME "/SEED.TXT"), "777");
    EXPECT_EQ(global_world_seed_unsaved, 0);
    EXPECT_TRUE(log_contains("Warn :Seed 777 is written to the world's folder at last"));
    EXPECT_EQ(read_text("WORLDS/" WORLD_NAME "/001-001.DAT").size(), 16384u);
}

TEST_F(Layers, ExistingSeedIsReadBack) {
    {
        std::ofstream out("WORLDS/" WORLD_NAME "/SEED.TXT");
        out << "123456";
    }
    worldmap_setup(9, WORLD_NAME);
    EXPECT_EQ(global_world_seed, 123456);
}

}  // namespace
