// test_worldmap_generate.cpp — chunk generation: determinism, the crystal bottom, the surface,
// and the fast builder against the plain one, byte for byte
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>
#include <fstream>
#include <initializer_list>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "terrain_test_util.h"
#include "world/worldmap.h"
#include "foundation/settings.h"

namespace {

// Every byte of every record of the chunk's columns, column by column.
std::vector<uint8_t> chunk_bytes(int cx, int cy) {
    std::vector<uint8_t> bytes;
    const chunk *c = chunk_map[cx][cy];
    if (!c) return bytes;
    for (int x = 0; x < CHUNK_SIZE; x++) {
        for (int y = 0; y < CHUNK_SIZE; y++) {
            for (const voxel *v = c->pillar[x][y]; v; v = v->next) {
                auto put = [&bytes](const void *field, size_t size) {
                    const uint8_t *raw = static_cast<const uint8_t *>(field);
                    bytes.insert(bytes.end(), raw, raw + size);
                };
                put(&v->data, 2);
                put(&v->sunlight, 1);
                put(&v->glowlight, 1);
                put(&v->fluid_depth, 2);
                put(&v->fluid_draw_depth, 2);
                put(&v->fluid_pressure, 2);
                put(&v->nx, 4);
                put(&v->ny, 4);
                put(&v->nz, 4);
            }
            bytes.push_back(0xEE);  // column separator
        }
    }
    return bytes;
}

void release_all_chunks(void) {
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            chunk_destroy(chunk_map[cx][cy]);
            chunk_map[cx][cy] = nullptr;
        }
    }
}

using chunk_list = std::vector<std::pair<int, int>>;

// Sets up the world, generates the chunks in order with the given builder and returns their bytes.
std::vector<std::vector<uint8_t>> generate(int32_t seed, const chunk_list &chunks, void (*builder)(int, int)) {
    release_all_chunks();
    remove(fix_path("WORLDS\\" WORLD_NAME "\\SEED.TXT"));
    worldmap_setup(seed, WORLD_NAME);
    for (auto c : chunks) builder(c.first, c.second);
    std::vector<std::vector<uint8_t>> result;
    for (auto c : chunks) result.push_back(chunk_bytes(c.first, c.second));
    return result;
}

class Generation : public ::testing::Test {
  protected:
    void SetUp() override {
        random_setup();
        voxel_geometry_setup();
        global_log_level = 2;  // the timers and layers log a lot
    }
    ScratchWorld world;
};

TEST_F(Generation, FastBuilderMatchesThePlainOneByteForByte) {
    // Neighbouring chunks, so ore spheres and edges reach into resident neighbours, and a few far
    // ones, over several seeds.
    const chunk_list chunks = {{25, 25}, {26, 25}, {25, 26}, {24, 24}, {0, 0}, {49, 49}, {10, 37}, {31, 8}};
    for (int32_t seed : {1, 77, 20261208, -5, 65535}) {
        auto fast = generate(seed, chunks, worldmap_generate_chunk);
        auto plain = generate(seed, chunks, worldmap_generate_chunk_reference);
        for (size_t i = 0; i < chunks.size(); i++) {
            ASSERT_FALSE(plain[i].empty());
            EXPECT_EQ(fast[i], plain[i]) << "seed " << seed << " chunk " << chunks[i].first << ", "
                                         << chunks[i].second;
        }
    }
}

TEST_F(Generation, SameSeedGivesTheSameChunkInTwoRuns) {
    const chunk_list chunks = {{25, 25}, {25, 24}};
    auto first = generate(424242, chunks, worldmap_generate_chunk);
    auto second = generate(424242, chunks, worldmap_generate_chunk);
    EXPECT_EQ(first, second);
    auto other = generate(424243, chunks, worldmap_generate_chunk);
    EXPECT_NE(first, other);
}

#ifndef _WIN32
// (On Windows the chunk tool's files are compared with the Linux builds' instead.)
TEST_F(Generation, SameSeedGivesTheSameChunkInAnotherProcess) {
    const chunk_list chunks = {{25, 25}};
    auto here = generate(8080, chunks, worldmap_generate_chunk);
    fflush(nullptr);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A fresh random table in the child, as a new program would have.
        random_setup();
        auto there = generate(8080, chunks, worldmap_generate_chunk);
        FILE *out = fopen("child.bin", "wb");
        if (out) {
            fwrite(there[0].data(), 1, there[0].size(), out);
            fclose(out);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream in("child.bin", std::ios::binary);
    std::vector<uint8_t> there((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(here[0], there);
}
#endif

TEST_F(Generation, EveryColumnStandsOnCrystalAndIsSound) {
    generate(31, {{25, 25}, {3, 45}}, worldmap_generate_chunk);
    for (auto c : chunk_list{{25, 25}, {3, 45}}) {
        for (int x = 0; x < CHUNK_SIZE; x++) {
            for (int y = 0; y < CHUNK_SIZE; y++) {
                const voxel *v = chunk_map[c.first][c.second]->pillar[x][y];
                ASSERT_NE(v, nullptr);
                EXPECT_EQ(voxel_material(v), 34);
                EXPECT_EQ(voxel_length(v), 1);
                const voxel *top = v;
                for (; v; v = v->next) {
                    EXPECT_NE(voxel_length(v), 0);
                    if (v->next && !voxel_is_single(v) && !voxel_is_single(v->next)) {
                        EXPECT_NE(voxel_material(v), voxel_material(v->next));
                    }
                    top = v;
                }
                // The top block is a lit surface block.
                EXPECT_TRUE(voxel_is_single(top));
                EXPECT_EQ(top->sunlight, 127);
                EXPECT_NE(voxel_material(top), 0);
            }
        }
    }
}

TEST_F(Generation, ColumnsFollowTheHeightField) {
    generate(5150, {{25, 25}}, worldmap_generate_chunk);
    int land = 0;
    for (int x = 0; x < CHUNK_SIZE; x += 7) {
        for (int y = 0; y < CHUNK_SIZE; y += 5) {
            int X = 25 * 64 + x, Y = 25 * 64 + y;
            float totalz = maplayer_height(maplayer_total, (float)X + 0.5f, (float)Y + 0.5f);
            int expected = totalz < 0.0f ? 0 : (int)totalz;
            // Tree seeds may stand one block above the ground, ore pockets never change the height.
            int height = voxel_height_xy(X, Y, 0);
            EXPECT_GE(height, expected);
            EXPECT_LE(height, expected + 1);
            if (expected > 20) land++;
        }
    }
    EXPECT_GT(land, 0);  // the centre of the map is an island
}

TEST_F(Generation, GeneratingTwiceOrOffTheMapDoesNothing) {
    generate(12, {{25, 25}}, worldmap_generate_chunk);
    chunk *first = chunk_map[25][25];
    worldmap_generate_chunk(25, 25);
    EXPECT_EQ(chunk_map[25][25], first);
    worldmap_generate_chunk(-1, 3);
    worldmap_generate_chunk(50, 3);
    worldmap_generate_chunk_reference(3, 50);
    EXPECT_EQ(worldmap_generate_pillar(-1, 5), nullptr);
    EXPECT_EQ(worldmap_generate_pillar(5, 3200), nullptr);
}

TEST_F(Generation, SinglePillarMatchesTheColumnsOfAGeneratedChunk) {
    generate(777, {}, worldmap_generate_chunk);
    // The chunk reader's rebuilt columns are the generator's columns before tree seeds, ores and
    // edges, so most columns of a generated chunk are exactly such a pillar.
    worldmap_generate_chunk(25, 25);
    int same = 0;
    for (int x = 0; x < CHUNK_SIZE; x += 9) {
        for (int y = 0; y < CHUNK_SIZE; y += 9) {
            voxel *p = worldmap_generate_pillar(25 * 64 + x, 25 * 64 + y);
            ASSERT_NE(p, nullptr);
            int height = 0;
            for (voxel *v = p; v; v = v->next) height += voxel_length(v);
            int in_chunk = voxel_height_xy(25 * 64 + x, 25 * 64 + y, 0);
            EXPECT_GE(in_chunk, height - 1);
            EXPECT_LE(in_chunk, height);  // a tree seed adds one block
            if (pillar_words(p) == pillar_words(chunk_map[25][25]->pillar[x][y])) same++;
            voxel_destroy(p);
        }
    }
    EXPECT_GT(same, 0);
}

}  // namespace

namespace {

TEST_F(Generation, RunningOutOfRecordsLeavesBlocksOutButNeverCrashes) {
    generate(5150, {}, worldmap_generate_chunk);
    uint32_t live = voxel_pool_live_count();
    for (void (*builder)(int, int) : {worldmap_generate_chunk, worldmap_generate_chunk_reference}) {
        release_all_chunks();
        global_voxel_allocation_limit = live + 5000;
        builder(25, 25);
        ASSERT_NE(chunk_map[25][25], nullptr);
        EXPECT_LE(voxel_pool_live_count(), live + 5000);
        int empty = 0;
        for (int x = 0; x < CHUNK_SIZE; x++)
            for (int y = 0; y < CHUNK_SIZE; y++)
                if (!chunk_map[25][25]->pillar[x][y]) empty++;
        EXPECT_GT(empty, 0);
        global_voxel_allocation_limit = 0;
    }
    release_all_chunks();
    EXPECT_EQ(voxel_pool_live_count(), live);
}

}  // namespace
