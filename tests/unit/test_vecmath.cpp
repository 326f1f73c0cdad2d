// test_vecmath.cpp — the shared vector and quaternion helpers: right-handed products, and the packed
// and record forms giving the very same bits
#include <gtest/gtest.h>

#include <cstring>

#include "foundation/vecmath.h"

TEST(Vecmath, ProductsAreRightHandedAndTheirPackedFormsMatchTheRecordFormsBitForBit) {
    vector c = vector_cross({1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(c.z, 1.0f);
    EXPECT_NEAR(vector_dot(vector_cross({0.3f, -1.7f, 2.1f}, {4.0f, 0.5f, -0.25f}), {0.3f, -1.7f, 2.1f}), 0.0f, 1e-5f);

    // i j = k, j i = -k; rotating x a quarter turn about z gives y.
    float i[4] = {1, 0, 0, 0}, j[4] = {0, 1, 0, 0}, k[4];
    quaternion_multiply_xyzw(i, j, k);
    EXPECT_EQ(k[2], 1.0f);
    quaternion_multiply_xyzw(j, i, k);
    EXPECT_EQ(k[2], -1.0f);
    float h = 0.70710678f, turn[4] = {0, 0, h, h}, x[3] = {1, 0, 0};
    quaternion_rotate_xyzw(turn, x, x);  // in place
    EXPECT_NEAR(x[0], 0.0f, 1e-6f);
    EXPECT_NEAR(x[1], 1.0f, 1e-6f);

    // Awkward values, results written over an input: the same bits as the record helpers.
    quaternion a = {0.1f, -0.73f, 0.333f, 0.59f}, b = {-0.91f, 0.07f, 0.41f, -0.2f};
    float pa[4] = {a.x, a.y, a.z, a.w}, pb[4] = {b.x, b.y, b.z, b.w};
    quaternion r = quaternion_multiply(a, b);
    quaternion_multiply_xyzw(pa, pb, pa);
    EXPECT_EQ(memcmp(&r, pa, sizeof pa), 0);
    vector v = {3.3f, -0.01f, 7.0f}, turned = quaternion_rotate(b, v);
    float pv[3] = {v.x, v.y, v.z};
    quaternion_rotate_xyzw(pb, pv, pv);
    EXPECT_EQ(memcmp(&turned, pv, sizeof pv), 0);
    vector w = {-2.5f, 0.125f, 9.75f}, cw = vector_cross(v, w);
    float packed_v[3] = {v.x, v.y, v.z}, packed_w[3] = {w.x, w.y, w.z};
    vector_cross_xyz(packed_v, packed_w, packed_v);
    EXPECT_EQ(memcmp(&cw, packed_v, sizeof packed_v), 0);
    EXPECT_EQ(vector_dot(v, w), vector_dot_xyz(&v.x, &w.x));
}
