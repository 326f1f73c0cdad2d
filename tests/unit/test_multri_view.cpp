// test_multri_view.cpp — the 2-D view culling of the terrain rings on the ground plane
#include <gtest/gtest.h>

#include <cmath>

#include "terrain/multri.h"

namespace {

// A camera at (100, 100, 30) looking level along +y (the camera's side vector points to -x).
struct MultriView : ::testing::Test {
    multri_view view;
    void SetUp() override { look({0.0f, 1.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}); }
    void look(vector fore, vector side, vector up) {
        vector camera = {100.0f, 100.0f, 30.0f};
        multri_view_setup(&view, &camera, &fore, &side, &up, 4.0f / 3.0f, 1.0f);
    }
    uint8_t pillar(float x, float y, int mega = 1) { return multri_view_accepts(&view, x, y, 6, 50, mega); }
};

TEST_F(MultriView, PillarsWithinSixBehindTheCameraAreDrawnOthersBehindAreNot) {
    EXPECT_EQ(pillar(100.5f, 95.5f), 1);
    EXPECT_EQ(pillar(104.5f, 97.5f), 1);
    EXPECT_EQ(pillar(100.5f, 92.5f), 0);
    EXPECT_EQ(pillar(100.5f, 60.5f), 0);
}

TEST_F(MultriView, PillarsAheadInsideTheViewAreDrawnUpToTheOuterRadius) {
    EXPECT_EQ(pillar(100.5f, 130.5f), 1);
    EXPECT_EQ(pillar(110.5f, 140.5f), 1);
    EXPECT_EQ(pillar(90.5f, 140.5f), 1);
    EXPECT_EQ(pillar(100.5f, 149.0f), 1);
    EXPECT_EQ(pillar(100.5f, 151.0f), 0);
}

TEST_F(MultriView, PillarsBesideTheViewAreCulledOnBothSides) {
    EXPECT_EQ(pillar(140.5f, 110.5f), 0);
    EXPECT_EQ(pillar(60.5f, 110.5f), 0);
    // Straight ahead in the other direction the same offsets are inside.
    look({1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    EXPECT_EQ(pillar(140.5f, 110.5f), 1);
    EXPECT_EQ(pillar(140.5f, 90.5f), 1);
    EXPECT_EQ(pillar(110.5f, 140.5f), 0);
}

TEST_F(MultriView, CoarseRingsSkipTheirInsideAndWidenTheSideToleranceByTheTileSize) {
    // A tile inside the ring's inner radius is left to the nearer ring, even right ahead.
    EXPECT_EQ(multri_view_accepts(&view, 100.0f, 103.0f, 6, 50, 2), 0);
    EXPECT_EQ(multri_view_accepts(&view, 100.0f, 130.0f, 6, 50, 2), 1);
    // Find the first pillar column outside the right edge at some distance ahead; the tolerance of
    // mega 8 still takes it.
    float edge = 100.0f;
    while (multri_view_accepts(&view, edge, 140.0f, 6, 50, 1)) edge -= 0.25f;
    EXPECT_LT(edge, 100.0f);
    EXPECT_EQ(multri_view_accepts(&view, edge - 1.0f, 140.0f, 6, 50, 8), 1);
    EXPECT_EQ(multri_view_accepts(&view, edge - 20.0f, 140.0f, 6, 50, 8), 0);
}

TEST_F(MultriView, LookingDownKeepsTheGroundUnderTheCameraInView) {
    // Pitched steeply down towards +y.
    look({0.0f, 0.5f, -0.866f}, {-1.0f, 0.0f, 0.0f}, {0.0f, 0.866f, 0.5f});
    EXPECT_EQ(pillar(100.5f, 110.5f), 1);
    EXPECT_EQ(pillar(100.5f, 120.5f), 1);
    EXPECT_EQ(pillar(100.5f, 80.5f), 0);
}

}  // namespace

namespace {

// Every cell column of which some part shows on screen passes the test, for a level view along
// each axis: the cell of pillar (x, y) spans its surface points from (x, y) to (x + 1.94, y + 1.94).
TEST(MultriViewEdges, CellsReachingIntoTheViewAreNeverCulled) {
    const vector fores[4] = {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
    const float aspect = 800.0f / 600.0f, r = 0.3f * aspect;
    for (const vector &fore : fores) {
        vector camera = {1599.375f, 1600.25f, 113.0f}, up = {0, 0, 1};
        vector side = {-fore.y, fore.x, 0.0f};  // the camera's side vector, as the look-at makes it
        multri_view view;
        multri_view_setup(&view, &camera, &fore, &side, &up, aspect, 1.0f);
        int missed = 0;
        for (int x = 1550; x < 1650; x++)
            for (int y = 1550; y < 1650; y++) {
                bool shows = false;
                for (float cx = 0.06f; cx <= 1.94f; cx += 0.22f)
                    for (float cy = 0.06f; cy <= 1.94f; cy += 0.22f) {
                        float dx = (float)x + cx - camera.x, dy = (float)y + cy - camera.y;
                        float f = dx * fore.x + dy * fore.y, s = dx * side.x + dy * side.y;
                        float d2 = dx * dx + dy * dy;
                        if (f > 1.0f && d2 < 40.0f * 40.0f && fabsf(s / f * 0.625f / r) < 1.0f) shows = true;
                    }
                if (shows && !multri_view_accepts(&view, (float)x + 0.5f, (float)y + 0.5f, 6, 50, 1)) missed++;
            }
        EXPECT_EQ(missed, 0) << "looking along " << fore.x << ", " << fore.y;
    }
}

}  // namespace
