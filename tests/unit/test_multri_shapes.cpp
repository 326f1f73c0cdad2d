// test_multri_shapes.cpp — the near mesher with the real shape table: a step, a single block on a
// floor and a column under an overhang
#include <gtest/gtest.h>

#include "multri_test_util.h"

namespace {

struct MultriShapes : ::testing::Test {
    ScratchWorld world;
    void SetUp() override {
        voxel_geometry_setup();
        multri_test_quiet_tables();
        make_resident_chunk(1, 1, [](int, int) { return floor_pillar(4); });
    }
    void replace(int x, int y, voxel *pillar) {
        voxel_destroy(chunk_map[1][1]->pillar[x & 63][y & 63]);
        chunk_map[1][1]->pillar[x & 63][y & 63] = pillar;
    }
    // A floor pillar with more single blocks (material, or 0 for one air block) above the surface.
    voxel *pillar_with(std::vector<uint16_t> extra) {
        std::vector<uint16_t> words = {run_word(3, 4), single_word(10)};
        words.insert(words.end(), extra.begin(), extra.end());
        return make_pillar(words, 127);
    }
};

// The face normal (b - a) x (c - a).
void face_normal(const multri &m, float n[3]) {
    float ab[3], ac[3];
    for (int i = 0; i < 3; i++) {
        ab[i] = m.corner_xyz[1][i] - m.corner_xyz[0][i];
        ac[i] = m.corner_xyz[2][i] - m.corner_xyz[0][i];
    }
    n[0] = ab[1] * ac[2] - ab[2] * ac[1];
    n[1] = ab[2] * ac[0] - ab[0] * ac[2];
    n[2] = ab[0] * ac[1] - ab[1] * ac[0];
}

bool has_corner(const multri &m, float x, float y, float z) {
    for (int k = 0; k < 3; k++)
        if (m.corner_xyz[k][0] == x && m.corner_xyz[k][1] == y && m.corner_xyz[k][2] == z) return true;
    return false;
}

TEST_F(MultriShapes, StepUpIsARampFacingUpAndBackTowardsTheLowSide) {
    for (int x = 80; x < 128; x++)
        for (int y = 64; y < 128; y++) replace(x, y, pillar_with({single_word(10)}));
    auto ramp = mesh_pillar(79, 90);
    ASSERT_FALSE(ramp.empty());
    for (const auto &c : ramp) {
        float n[3];
        face_normal(c.triangle, n);
        EXPECT_GT(n[2], 0.0f);
        EXPECT_LT(n[0], 0.0f);
        EXPECT_FLOAT_EQ(n[1], 0.0f);
        for (int k = 0; k < 3; k++) {
            float z = c.triangle.corner_xyz[k][2];
            EXPECT_TRUE(z == 4.5625f || z == 5.5625f) << z;
        }
    }
    // On either side the ground is flat again, one block apart.
    auto low = mesh_pillar(70, 90), high = mesh_pillar(90, 90);
    ASSERT_EQ(low.size(), 2u);
    ASSERT_EQ(high.size(), 2u);
    EXPECT_FLOAT_EQ(low[0].triangle.corner_xyz[0][2], 4.5625f);
    EXPECT_FLOAT_EQ(high[0].triangle.corner_xyz[0][2], 5.5625f);
}

TEST_F(MultriShapes, SingleBlockOnAFloorIsAPeakSharedByItsFourCellColumns) {
    replace(80, 80, pillar_with({single_word(3)}));
    int peak_triangles = 0;
    for (int x = 79; x <= 80; x++)
        for (int y = 79; y <= 80; y++) {
            auto triangles = mesh_pillar(x, y);
            bool touches = false;
            for (const auto &c : triangles) {
                float n[3];
                face_normal(c.triangle, n);
                EXPECT_GT(n[2], 0.0f);  // every face of the bump looks up and out
                if (has_corner(c.triangle, 80.5625f, 80.5625f, 5.5625f)) {
                    touches = true;
                    peak_triangles++;
                    // The stone corner samples stone at its tile centre on its own unit.
                    for (int k = 0; k < 3; k++) {
                        if (c.triangle.corner_xyz[k][2] == 5.5625f) {
                            EXPECT_FLOAT_EQ(c.triangle.texpos[k][k][0], voxel_texture_xy[3][0]);
                        }
                    }
                }
            }
            EXPECT_TRUE(touches) << x << ", " << y;
        }
    EXPECT_GE(peak_triangles, 4);
    // Away from the block the floor is untouched.
    EXPECT_EQ(mesh_pillar(84, 84).size(), 2u);
}

TEST_F(MultriShapes, ColumnUnderAnOverhangHasFloorRoofUndersideAndRoofTop) {
    for (int x = 80; x < 90; x++)
        for (int y = 80; y < 90; y++) replace(x, y, pillar_with({run_word(0, 2), single_word(3)}));
    auto triangles = mesh_pillar(84, 84);
    ASSERT_EQ(triangles.size(), 6u);
    int floor = 0, underside = 0, top = 0;
    for (const auto &c : triangles) {
        float n[3];
        face_normal(c.triangle, n);
        float z = c.triangle.corner_xyz[0][2];
        if (z == 4.5625f && n[2] > 0.0f) floor++;
        if (z == 7.5625f && n[2] < 0.0f) underside++;
        if (z == 7.5625f && n[2] > 0.0f) top++;
    }
    EXPECT_EQ(floor, 2);
    EXPECT_EQ(underside, 2);
    EXPECT_EQ(top, 2);
    // The shared air run is crossed in one step: bottom run, surface, air, roof, sky.
    EXPECT_EQ(global_multri_mesh_steps, 5u);
}

}  // namespace
