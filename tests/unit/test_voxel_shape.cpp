// test_voxel_shape.cpp — the triangle table, normals of single blocks and edge materials
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/random.h"
#include "terrain_test_util.h"

namespace {

std::vector<uint8_t> entry_triangles(uint8_t pattern) {
    const uint8_t *entry = voxel_geometry_triangles[pattern];
    return std::vector<uint8_t>(entry + 1, entry + 1 + entry[0] * 3);
}

class ShapeTable : public ::testing::Test {
  protected:
    void SetUp() override { voxel_geometry_setup(); }
};

TEST_F(ShapeTable, CheckValuesComeOut) {
    struct check {
        uint8_t pattern;
        std::vector<uint8_t> triangles;
    };
    const check checks[] = {
        {0x70, {4, 5, 6}},          {0xF0, {7, 4, 5, 7, 6, 4}}, {0x0F, {1, 2, 3, 1, 0, 2}},
        {0x71, {5, 6, 0}},          {0xF1, {0, 7, 6, 0, 5, 7}}, {0x3F, {4, 3, 5, 4, 2, 3}},
        {0x7F, {6, 3, 5}},          {0xFE, {2, 4, 1}},          {0x1F, {4, 3, 1, 4, 2, 3}},
        {0x33, {0, 5, 4, 0, 1, 5}},
    };
    for (const check &c : checks) EXPECT_EQ(entry_triangles(c.pattern), c.triangles) << "pattern " << (int)c.pattern;
}

TEST_F(ShapeTable, EmptyEntriesForTooFewOrAllCornersAnd178Filled) {
    int filled = 0, most = 0;
    for (int p = 0; p < 256; p++) {
        int solid = __builtin_popcount((unsigned)p);
        uint8_t count = voxel_geometry_triangles[p][0];
        if (solid <= 2 || solid == 8) {
            EXPECT_EQ(count, 0) << "pattern " << p;
        }
        if (count) filled++;
        if (count > most) most = count;
    }
    EXPECT_EQ(filled, 178);
    EXPECT_LE(most, 3);
}

TEST_F(ShapeTable, TrianglesUseOnlySolidCornersAndPointOutOfTheSolid) {
    for (int p = 0; p < 256; p++) {
        // With five solid corners the air side is not always the side away from their centroid.
        bool check_side = __builtin_popcount((unsigned)p) != 5;
        const uint8_t *entry = voxel_geometry_triangles[p];
        for (int t = 0; t < entry[0]; t++) {
            float point[3][3];
            for (int k = 0; k < 3; k++) {
                uint8_t corner = entry[1 + t * 3 + k];
                ASSERT_LT(corner, 8);
                EXPECT_TRUE(p & (1 << corner)) << "pattern " << p;
                point[k][0] = (float)(corner & 1);
                point[k][1] = (float)((corner >> 1) & 1);
                point[k][2] = corner < 4 ? 1.0f : 0.0f;
            }
            float u[3], w[3];
            for (int a = 0; a < 3; a++) {
                u[a] = point[1][a] - point[0][a];
                w[a] = point[2][a] - point[0][a];
            }
            float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
            // The normal leans away from the centroid of the solid corners.
            float solid[3] = {0, 0, 0}, centre[3] = {0.5f, 0.5f, 0.5f};
            int count = 0;
            for (int c = 0; c < 8; c++) {
                if (!(p & (1 << c))) continue;
                solid[0] += (float)(c & 1);
                solid[1] += (float)((c >> 1) & 1);
                solid[2] += c < 4 ? 1.0f : 0.0f;
                count++;
            }
            float dot = 0;
            for (int a = 0; a < 3; a++) dot += n[a] * (centre[a] - solid[a] / (float)count);
            if (check_side) {
                EXPECT_GE(dot, 0.0f) << "pattern " << p << " triangle " << t;
            }
        }
    }
}

TEST_F(ShapeTable, SymmetryHelpersLeaveTextsAsTheyWere) {
    char points[] = "012457";
    char triangles[] = "017x074x542x521x";
    voxel_assign_triangles(points, triangles, 1);
    EXPECT_STREQ(points, "012457");
    EXPECT_STREQ(triangles, "017x074x542x521x");

    char a[] = "456", b[] = "456x";
    voxel_assign_triangles_rotate_helper(a, b);
    EXPECT_STREQ(a, "647");
    voxel_assign_triangles_roll_helper(a, b);
    voxel_assign_triangles_flip_helper(a, b);
    voxel_assign_backface_flip(b);
    EXPECT_EQ(strlen(b), 4u);
}

TEST_F(ShapeTable, BackfaceFlipKeepsFirstCornerAndSwapsTheOthers) {
    char text[] = "017x074X";
    voxel_assign_backface_flip(text);
    EXPECT_STREQ(text, "071x047X");
}

TEST_F(ShapeTable, SingleEntryStoresOnlyThatPattern) {
    for (int p = 0; p < 256; p++) voxel_geometry_triangles[p][0] = 0;
    char points[] = "1234", triangles[] = "123x";
    voxel_assign_triangles(points, triangles, 0);
    int filled = 0;
    for (int p = 0; p < 256; p++)
        if (voxel_geometry_triangles[p][0]) filled++;
    EXPECT_EQ(filled, 1);
    EXPECT_EQ(entry_triangles(0x1E), (std::vector<uint8_t>{1, 2, 3}));
}

// A flat floor of single blocks at z = 5 over a run, inside one resident chunk.
class ShapeWorld : public ::testing::Test {
  protected:
    void SetUp() override {
        random_setup();
        voxel_geometry_setup();
    }
    ScratchWorld world;
};

TEST_F(ShapeWorld, FlatFloorNormalPointsUp) {
    make_resident_chunk(0, 0, [](int, int) { return make_pillar({run_word(3, 5), single_word(1)}); });
    voxel *v = chunkmap_get_xyz(10, 10, 5);
    ASSERT_TRUE(v && voxel_is_single(v));
    voxel_set_normal_xyz(v, 10, 10, 5);
    // Eight upward unit normals plus a jitter of at most 1 per axis: the sum leans up strongly.
    EXPECT_GT(v->nz, 0.75f);
    float length = sqrtf(v->nx * v->nx + v->ny * v->ny + v->nz * v->nz);
    EXPECT_NEAR(length, 1.0f, 0.001f);
    // The jitter depends only on the position.
    float first[3] = {v->nx, v->ny, v->nz};
    next_random = 999;
    voxel_set_normal_xyz(v, 10, 10, 5);
    EXPECT_EQ(first[0], v->nx);
    EXPECT_EQ(first[1], v->ny);
    EXPECT_EQ(first[2], v->nz);
    EXPECT_EQ(next_random, 999);
}

TEST_F(ShapeWorld, NormalLeansAwayFromASlope) {
    // Ground rising toward +x: the normal must lean toward -x.
    make_resident_chunk(0, 0, [](int x, int) { return make_pillar({run_word(3, (uint16_t)(5 + x)), single_word(1)}); });
    voxel *v = chunkmap_get_xyz(10, 10, 15);
    ASSERT_TRUE(v && voxel_is_single(v));
    voxel_set_normal_xyz(v, 10, 10, 15);
    EXPECT_LT(v->nx, -0.3f);
    EXPECT_GT(v->nz, 0.3f);
}

TEST_F(ShapeWorld, GrassBesideDirtBecomesEdgeGrassButNotBesideFamily63) {
    make_resident_chunk(0, 0, [](int x, int) {
        if (x == 11) return make_pillar({run_word(3, 5), single_word(1)});
        if (x == 20) return make_pillar({run_word(3, 5), single_word(28)});
        return make_pillar({run_word(3, 5), single_word(10)});
    });
    EXPECT_EQ(voxel_edge_xyz(10, 10, 5), 1);
    voxel *v = chunkmap_get_xyz(10, 10, 5);
    EXPECT_EQ(voxel_material(v), 11);
    EXPECT_EQ(v->data & ~VOXEL_MATERIAL_MASK, VOXEL_CENTRED_SINGLE);  // marker kept

    EXPECT_EQ(voxel_edge_xyz(21, 10, 5), 0);
    EXPECT_EQ(voxel_material(chunkmap_get_xyz(21, 10, 5)), 10);
    EXPECT_EQ(voxel_edge_xyz(30, 10, 5), 0);

    // An edge material is never turned back, and runs are left alone.
    EXPECT_EQ(voxel_edge_xyz(10, 10, 5), 0);
    EXPECT_EQ(voxel_material(chunkmap_get_xyz(10, 10, 5)), 11);
    EXPECT_EQ(voxel_edge_xyz(30, 10, 2), 0);
    EXPECT_EQ(voxel_edge_xyz(30, 10, -1), 0);
}

TEST_F(ShapeWorld, SandStoneAndSwampTurnToTheirEdgeMaterials) {
    const uint8_t centres[3] = {7, 3, 20};
    const uint8_t edges[3] = {8, 4, 21};
    for (int k = 0; k < 3; k++) {
        uint8_t centre = centres[k];
        make_resident_chunk(k, 0, [centre](int x, int) {
            return make_pillar({run_word(3, 5), single_word(x == 11 ? 10 : centre)});
        });
        EXPECT_EQ(voxel_edge_xyz(k * 64 + 10, 10, 5), 1);
        EXPECT_EQ(voxel_material(chunkmap_get_xyz(k * 64 + 10, 10, 5)), edges[k]);
    }
}

}  // namespace
