// test_trig.cpp — the platform-independent sine and cosine used by world generation
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "foundation/trig.h"

namespace {

bool same_bits(float a, float b) { return memcmp(&a, &b, sizeof(float)) == 0; }

}  // namespace

TEST(Trig, KnownValuesAndTheCircleIdentity) {
    EXPECT_TRUE(same_bits(trig_sinf(0.0f), 0.0f));
    EXPECT_TRUE(same_bits(trig_sinf(-0.0f), -0.0f));
    EXPECT_EQ(trig_cosf(0.0f), 1.0f);
    EXPECT_EQ(trig_sinf(1.5707964f), 1.0f);
    EXPECT_EQ(trig_cosf(3.1415927f), -1.0f);
    EXPECT_NEAR(trig_sinf(-2.0f), -0.9092974f, 1e-7f);
    EXPECT_NEAR(trig_cosf(100.0f), 0.8623189f, 1e-6f);
    EXPECT_NEAR(trig_sinf(1000.0f), 0.8268796f, 1e-6f);  // past the fast reduction
    for (float x = -130.0f; x < 130.0f; x += 0.37f) {
        float s = trig_sinf(x), c = trig_cosf(x);
        ASSERT_NEAR(s * s + c * c, 1.0f, 3e-7f) << x;
        ASSERT_TRUE(same_bits(trig_sinf(-x), -s)) << x;
        ASSERT_TRUE(same_bits(trig_cosf(-x), c)) << x;
    }
    EXPECT_TRUE(std::isnan(trig_sinf(NAN)));
    EXPECT_TRUE(std::isnan(trig_cosf(INFINITY)));
}

#ifdef __GLIBC__
// Worlds made by the first Linux builds used the C library's sinf and cosf; every angle world
// generation can draw must come out with the same bits, or an old world's island would shift.
TEST(Trig, SameBitsAsTheLinuxLibraryForEveryAngleOfWorldGeneration) {
    int checked = 0;
    auto check = [&checked](float x) {
        checked++;
        ASSERT_TRUE(same_bits(trig_sinf(x), sinf(x))) << x;
        ASSERT_TRUE(same_bits(trig_cosf(x), cosf(x))) << x;
    };
    // Layer and ridge angles: a drawn 16-bit value scaled to a turn, then stepped by 0.05.
    for (int v = 0; v < 65536; v++) {
        float angle = (float)v / 65535.0f * 6.283186f;
        for (int step = 0; step < 16; step++, angle += 0.05f) check(angle);
    }
    // The soft edge of every circle the island tile can hold.
    for (unsigned radius = 0; radius < 128; radius++) {
        float outer = (float)radius + 0.5f;
        for (int d2 = 0; (float)d2 < outer * outer; d2++) check(3.141593f * sqrtf((float)d2) / outer);
    }
    // And a spread over the range that is known to agree bit for bit (every float in it was
    // compared once; that takes a minute, too long for every run).
    for (float x = -8.0f; x <= 8.0f; x = nextafterf(x, 9.0f) + 0.0001f) check(x);
    EXPECT_GT(checked, 1000000);
}
#endif
