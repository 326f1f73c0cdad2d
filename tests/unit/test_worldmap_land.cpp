// test_worldmap_land.cpp — the seed of a new world: fifty first draws all end on a start column
// of dry land in the generated world, the same way every time, and an existing seed file is kept
#include <gtest/gtest.h>

#include <cstdio>

#include "foundation/random.h"
#include "terrain_test_util.h"
#include "world/worldmap.h"

namespace {

TEST(NewWorldSeed, FiftyNewWorldsAllStartOnDryLandAndTheDrawIsRepeatable) {
    ScratchWorld world;
    // The generator draws from the random table, as the game sets it up before any world.
    random_setup();
    global_log_level = 2;
    int redrawn = 0;
    for (int i = 0; i < 50; i++) {
        // Clock readings a little over a day apart, as new worlds would draw them.
        int32_t first = 1765200000 + i * 86413;
        int32_t seed = worldmap_draw_land_seed(first, 1600, 1600);
        if (seed != first) redrawn++;
        if (i == 0) {
            EXPECT_EQ(worldmap_draw_land_seed(first, 1600, 1600), seed) << "the same draws every time";
        }

        // The generator builds the start chunk of that seed: the start column stands out of the sea.
        chunkmap_reset();
        chunkmap_setup();
        remove(fix_path("WORLDS\\" WORLD_NAME "\\SEED.TXT"));
        worldmap_setup(seed, WORLD_NAME);
        worldmap_generate_chunk(25, 25);
        ASSERT_FALSE(chunkmap_get_xyz(1600, 1600, 2048));
        const voxel *top = global_voxel_topmost;
        ASSERT_NE(top, nullptr);
        EXPECT_NE(voxel_material(top), 0);
        EXPECT_GE((float)global_voxel_topmost_z, global_ocean_level + WORLDMAP_LAND_MARGIN - 1.0f)
            << "seed " << seed << " drawn from " << first;
    }
    // Some first draws start in the sea, so the redrawing was put to work.
    EXPECT_GT(redrawn, 0);
    EXPECT_LT(redrawn, 50);
}

TEST(NewWorldSeed, OnlyAWorldWithoutASeedFileDrawsOne) {
    ScratchWorld world;
    EXPECT_EQ(worldmap_has_seed_file(WORLD_NAME), 0);
    write_text_file("WORLDS/" WORLD_NAME "/SEED.TXT", " \n");
    EXPECT_EQ(worldmap_has_seed_file(WORLD_NAME), 0) << "blanks hold no seed";
    write_text_file("WORLDS/" WORLD_NAME "/SEED.TXT", "12345");
    EXPECT_EQ(worldmap_has_seed_file(WORLD_NAME), 1);
    write_text_file("WORLDS/" WORLD_NAME "/SEED.TXT", "not a number");
    EXPECT_EQ(worldmap_has_seed_file(WORLD_NAME), 1) << "a damaged seed file is the world's own to mend";
    EXPECT_NE(worldmap_next_seed(1), worldmap_next_seed(2));
    EXPECT_EQ(worldmap_next_seed(-5), worldmap_next_seed(-5));
}

}  // namespace
