// test_voxel_light.cpp — sunlight and glow from the bounded flood, and the relight of a sphere
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/random.h"
#include "terrain_test_util.h"

namespace {

class Lighting : public ::testing::Test {
  protected:
    void SetUp() override {
        random_setup();
        voxel_geometry_setup();
    }
    ScratchWorld world;
};

TEST_F(Lighting, TopBlockSeesSkyWithoutFlood) {
    make_resident_chunk(0, 0, [](int, int) { return make_pillar({run_word(3, 5), single_word(1)}); });
    voxel_set_light_xyz(10, 10, 5, 0);
    voxel *v = chunkmap_get_xyz(10, 10, 5);
    EXPECT_EQ(v->sunlight, 127);
    EXPECT_EQ(v->glowlight, 1);
    EXPECT_GT(v->nz, 0.7f);  // the normal is refreshed with the light
}

TEST_F(Lighting, TunnelFiveStepsFromSkyGives74) {
    // Solid everywhere up to z = 20, a tunnel at z = 5 from x = 11 to 14, and an open shaft at x = 15.
    make_resident_chunk(0, 0, [](int x, int y) {
        if (y == 10 && x == 10) return make_pillar({run_word(3, 5), single_word(1), run_word(3, 14)});
        if (y == 10 && x >= 11 && x <= 14) return make_pillar({run_word(3, 5), run_word(0, 1), run_word(3, 14)});
        if (y == 10 && x == 15) return make_pillar({run_word(3, 5)});
        return make_pillar({run_word(3, 20)});
    });
    voxel_set_light_xyz(10, 10, 5, 0);
    EXPECT_EQ(chunkmap_get_xyz(10, 10, 5)->sunlight, 74);
    // With the glow calculation asked for but no glow in the box, the answer is the same.
    voxel_set_light_xyz(10, 10, 5, 1);
    EXPECT_EQ(chunkmap_get_xyz(10, 10, 5)->sunlight, 74);
}

TEST_F(Lighting, SkyOutsideTheBoxLeavesTheBlockDark) {
    // The same tunnel, but its shaft lies outside the 13-block box.
    make_resident_chunk(0, 0, [](int x, int y) {
        if (y == 10 && x == 10) return make_pillar({run_word(3, 5), single_word(1), run_word(3, 14)});
        if (y == 10 && x >= 11 && x <= 16) return make_pillar({run_word(3, 5), run_word(0, 1), run_word(3, 14)});
        if (y == 10 && x == 17) return make_pillar({run_word(3, 5)});  // beyond the box
        return make_pillar({run_word(3, 20)});
    });
    voxel_set_light_xyz(10, 10, 5, 0);
    EXPECT_EQ(chunkmap_get_xyz(10, 10, 5)->sunlight, 0);
}

TEST_F(Lighting, EnclosedBlockIsDark) {
    make_resident_chunk(0, 0, [](int x, int y) {
        if (x == 30 && y == 30) return make_pillar({run_word(3, 5), single_word(1), run_word(3, 24)});
        return make_pillar({run_word(3, 30)});
    });
    voxel *v = chunkmap_get_xyz(30, 30, 5);
    v->sunlight = 99;
    voxel_set_light_xyz(30, 30, 5, 1);
    EXPECT_EQ(v->sunlight, 0);
    EXPECT_EQ(v->glowlight, 1);
}

TEST_F(Lighting, GlowNextToMaterial28Gives78) {
    make_resident_chunk(0, 0, [](int x, int y) {
        if (x == 11 && y == 10) return make_pillar({run_word(3, 5), single_word(28)});
        return make_pillar({run_word(3, 5), single_word(1)});
    });
    voxel_set_light_xyz(10, 10, 5, 1);
    voxel *v = chunkmap_get_xyz(10, 10, 5);
    EXPECT_EQ(v->glowlight, 78);
    EXPECT_EQ(v->sunlight, 127);
    // Without the glow calculation the top block skips the flood and sees no glow.
    voxel_set_light_xyz(10, 10, 5, 0);
    EXPECT_EQ(v->glowlight, 1);
    // A glowing block lights itself fully: int(96 * min(1, 0.95 + 0.95 * 5.5/6.5)) + 1.
    voxel_set_light_xyz(11, 10, 5, 1);
    EXPECT_EQ(chunkmap_get_xyz(11, 10, 5)->glowlight, 97);
}

TEST_F(Lighting, RunBlocksAndMissingRecordsAreNeverLit) {
    make_resident_chunk(0, 0, [](int, int) { return make_pillar({run_word(3, 5), single_word(1)}); });
    voxel *run = chunkmap_get_xyz(10, 10, 2);
    voxel_set_light_xyz(10, 10, 2, 1);
    EXPECT_EQ(run->sunlight, 0);
    EXPECT_EQ(run->glowlight, 0);
    voxel_set_light_xyz(10, 10, 50, 1);   // above the pillar
    voxel_set_light_xyz(500, 500, 5, 1);  // no chunk there
    voxel_set_light_xyz(10, 10, -1, 1);
}

TEST_F(Lighting, RelightSphereLightsSinglesInsideAndEdgesThem) {
    make_resident_chunk(0, 0, [](int x, int) {
        return make_pillar({run_word(3, 5), single_word(x == 20 ? 1 : 10)});
    });
    voxel_relight_sphere_xyz(20.5f, 20.5f, 5.5f, 3.0f, 0);
    // Inside the sphere (r = 4): lit, and grass beside the dirt column turned to edge grass.
    EXPECT_EQ(chunkmap_get_xyz(20, 20, 5)->sunlight, 127);
    EXPECT_EQ(chunkmap_get_xyz(23, 20, 5)->sunlight, 127);
    EXPECT_EQ(voxel_material(chunkmap_get_xyz(21, 20, 5)), 11);
    EXPECT_EQ(voxel_material(chunkmap_get_xyz(19, 22, 5)), 11);
    // Outside it: untouched.
    EXPECT_EQ(chunkmap_get_xyz(25, 20, 5)->sunlight, 0);
    EXPECT_EQ(chunkmap_get_xyz(20, 25, 5)->sunlight, 0);
    EXPECT_EQ(voxel_material(chunkmap_get_xyz(21, 25, 5)), 10);
}

}  // namespace

namespace {

TEST_F(Lighting, RelightRefusesNonFiniteArgumentsAndCapsTheRadius) {
    make_resident_chunk(0, 0, [](int, int) { return make_pillar({run_word(3, 5), single_word(1)}); });
    voxel *v = chunkmap_get_xyz(10, 10, 5);
    voxel_relight_sphere_xyz(NAN, 10.0f, 5.0f, 3.0f, 1);
    voxel_relight_sphere_xyz(10.0f, 10.0f, 5.0f, INFINITY, 1);
    EXPECT_EQ(v->sunlight, 0);
    // A wild radius is cut to a size that still covers the neighbourhood.
    voxel_relight_sphere_xyz(10.5f, 10.5f, 5.5f, 1e30f, 0);
    EXPECT_EQ(v->sunlight, 127);
}

TEST_F(Lighting, DiggingWithRetraceLightsTheNewSurface) {
    make_resident_chunk(0, 0, [](int, int) { return make_pillar({run_word(3, 20), single_word(1)}); });
    // A pit in the middle of a flat floor: the blocks of its walls and floor become single and lit.
    voxel_sphere_xyz(32.5f, 32.5f, 20.0f, 3.0f, 0, 0, 1, 20.0f, 0);
    int lit = 0, dark = 0;
    for (int x = 28; x <= 37; x++) {
        for (int y = 28; y <= 37; y++) {
            for (int z = 14; z <= 20; z++) {
                voxel *b = chunkmap_get_xyz(x, y, z);
                if (!b || !voxel_is_single(b)) continue;
                if (b->sunlight > 0)
                    lit++;
                else
                    dark++;
                EXPECT_GE(b->glowlight, 1);
            }
        }
    }
    EXPECT_GT(lit, 10);
    EXPECT_EQ(dark, 0);  // every surface block of an open pit sees the sky within a few steps
}

}  // namespace
