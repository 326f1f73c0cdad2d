// test_display_camera.cpp — the look-at basis, the orbit camera and its shake, the frustum and the overlay width
#include <gtest/gtest.h>

#include <cmath>

#include "display/display.h"
#include "foundation/random.h"
#include "foundation/settings.h"
#include "foundation/timer.h"

namespace {

float dot(const vector &a, const vector &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
vector cross(const vector &a, const vector &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Eye coordinates of a world point as the look-at transform maps it: (side, up, back) · (p − from).
vector eye_of(const vector &p, const vector &from) {
    vector d = {p.x - from.x, p.y - from.y, p.z - from.z};
    vector back = {rotate_camera_matrix[1], rotate_camera_matrix[5], rotate_camera_matrix[9]};
    return {dot(camera_side_vector, d), dot(camera_up_vector, d), dot(back, d)};
}

struct CameraState : ::testing::Test {
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        settings_reset();
        display_camera_reset();
        timer_reset();
    }
};

}  // namespace

TEST_F(CameraState, LookingAlongPlusYHasSideMinusXAndUpPlusZ) {
    vector from = {10, 10, 5}, to = {10, 20, 5};
    display_look_at_basis(&from, &to);
    EXPECT_NEAR(camera_fore_vector.x, 0.0f, 1e-6);
    EXPECT_NEAR(camera_fore_vector.y, 1.0f, 1e-6);
    EXPECT_NEAR(camera_side_vector.x, -1.0f, 1e-6);
    EXPECT_NEAR(camera_side_vector.y, 0.0f, 1e-6);
    EXPECT_NEAR(camera_up_vector.z, 1.0f, 1e-6);
    // The side vector equals up × fore.
    vector expected_side = cross(camera_up_vector, camera_fore_vector);
    EXPECT_NEAR(camera_side_vector.x, expected_side.x, 1e-6);
    EXPECT_NEAR(camera_side_vector.y, expected_side.y, 1e-6);
    EXPECT_NEAR(camera_side_vector.z, expected_side.z, 1e-6);
}

TEST_F(CameraState, LookAtBasisIsOrthonormalAndTheTargetLiesStraightAhead) {
    vector from = {3, -2, 7}, to = {-5, 4, 1};
    display_look_at_basis(&from, &to);
    EXPECT_NEAR(dot(camera_fore_vector, camera_fore_vector), 1.0f, 1e-5);
    EXPECT_NEAR(dot(camera_side_vector, camera_side_vector), 1.0f, 1e-5);
    EXPECT_NEAR(dot(camera_up_vector, camera_up_vector), 1.0f, 1e-5);
    EXPECT_NEAR(dot(camera_side_vector, camera_fore_vector), 0.0f, 1e-5);
    EXPECT_NEAR(dot(camera_up_vector, camera_fore_vector), 0.0f, 1e-5);
    EXPECT_NEAR(camera_side_vector.z, 0.0f, 1e-6);
    // The target sits on the view axis, in front (negative back coordinate).
    vector eye = eye_of(to, from);
    EXPECT_NEAR(eye.x, 0.0f, 1e-4);
    EXPECT_NEAR(eye.y, 0.0f, 1e-4);
    EXPECT_NEAR(eye.z, -sqrtf(64 + 36 + 36), 1e-3);
    // Up points more upward than down.
    EXPECT_GT(camera_up_vector.z, 0.0f);
}

TEST_F(CameraState, LookAtWritesRowsAndLeavesTheRestIdentity) {
    vector from = {0, 0, 0}, to = {1, 2, 3};
    display_look_at_basis(&from, &to);
    EXPECT_EQ(rotate_camera_matrix[0], camera_side_vector.x);
    EXPECT_EQ(rotate_camera_matrix[4], camera_side_vector.y);
    EXPECT_EQ(rotate_camera_matrix[2], camera_up_vector.x);
    EXPECT_EQ(rotate_camera_matrix[10], camera_up_vector.z);
    EXPECT_EQ(rotate_camera_matrix[1], -camera_fore_vector.x);
    for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(rotate_camera_matrix[i], 0.0f) << i;
    EXPECT_EQ(rotate_camera_matrix[15], 1.0f);
}

TEST_F(CameraState, CameraOnItsTargetStaysFinite) {
    vector same = {4, 4, 4};
    display_look_at_basis(&same, &same);
    for (float value : {camera_fore_vector.x, camera_fore_vector.y, camera_fore_vector.z, camera_side_vector.x,
                        camera_side_vector.y, camera_up_vector.x, camera_up_vector.y, camera_up_vector.z})
        EXPECT_TRUE(std::isfinite(value));
}

TEST_F(CameraState, LookingStraightDownKeepsADefinedSide) {
    vector from = {0, 0, 10}, to = {0, 0, 0};
    display_look_at_basis(&from, &to);
    // b = (0, 0, 1): side becomes (1, −b.x, 0) = (1, 0, 0).
    EXPECT_NEAR(camera_side_vector.x, 1.0f, 1e-6);
    EXPECT_NEAR(camera_side_vector.y, 0.0f, 1e-6);
    EXPECT_NEAR(camera_fore_vector.z, -1.0f, 1e-6);
    // up = (side.y·b.z, −side.x·b.z, side.x·b.y − side.y·b.x) with the true b.y = 0.
    EXPECT_NEAR(camera_up_vector.x, 0.0f, 1e-6);
    EXPECT_NEAR(camera_up_vector.y, -1.0f, 1e-6);
    EXPECT_NEAR(camera_up_vector.z, 0.0f, 1e-6);
}

TEST_F(CameraState, ArbitraryBasisPublishesNormalisedRowsAndTheCentre) {
    vector center = {1, 2, 3}, front = {0, -5, 0}, up = {0, 0, 2};
    display_arbitrary_basis(&center, &front, &up);
    EXPECT_NEAR(camera_fore_vector.y, 1.0f, 1e-6);
    EXPECT_NEAR(camera_up_vector.z, 1.0f, 1e-6);
    // side = −(fore × up) = −((0,1,0) × (0,0,1)) = (−1, 0, 0), the same convention as look-at.
    EXPECT_NEAR(camera_side_vector.x, -1.0f, 1e-6);
    EXPECT_EQ(camera_vector.x, 1.0f);
    EXPECT_EQ(camera_vector.z, 3.0f);
}

TEST_F(CameraState, OrbitCameraSitsBehindTheTargetAtTheStartRotation) {
    camera_rotation_xy[0] = 16384;
    camera_rotation_xy[1] = 32768;
    camera_distance = 0.375f;
    screen_shake_timer = 0;
    target_vector = {100, 200, 50};
    display_camera_position();
    // Heading a quarter turn, pitch half a turn: direction (−1, 0, 0), reach 0.625 + 0.375.
    EXPECT_NEAR(camera_vector.x, 99.0f, 1e-4);
    EXPECT_NEAR(camera_vector.y, 200.0f, 1e-4);
    EXPECT_NEAR(camera_vector.z, 50.0f, 1e-4);
}

TEST_F(CameraState, ShakeAmplitudeSwellsAndFadesOverSixtyFourFrames) {
    EXPECT_EQ(display_shake_amplitude(0), 0.0f);
    EXPECT_NEAR(display_shake_amplitude(64 * 5), 0.0f, 1e-7);
    EXPECT_NEAR(display_shake_amplitude(32), 0.1f, 1e-6);
    EXPECT_NEAR(display_shake_amplitude(64 + 16), 0.1f * sinf(KESTROVA_PI / 4), 1e-6);
}

TEST_F(CameraState, ShakeMovesTheCameraWithinItsAmplitudeAndNotAtAMultipleOf64) {
    random_setup();
    camera_rotation_xy[0] = 0;
    camera_rotation_xy[1] = 32768;
    camera_distance = 0.0f;
    target_vector = {0, 0, 0};
    screen_shake_timer = 0;
    display_camera_position();
    vector still = camera_vector;

    screen_shake_timer = 20;
    global_world_frame = 128;
    display_camera_position();
    EXPECT_NEAR(camera_vector.x, still.x, 1e-6);
    EXPECT_NEAR(camera_vector.y, still.y, 1e-6);

    global_world_frame = 32;
    bool moved = false;
    for (int i = 0; i < 20; i++) {
        display_camera_position();
        EXPECT_LE(fabsf(camera_vector.x - still.x), 0.1f + 1e-6);
        EXPECT_LE(fabsf(camera_vector.y - still.y), 0.1f + 1e-6);
        EXPECT_LE(fabsf(camera_vector.z - still.z), 0.1f + 1e-6);
        if (fabsf(camera_vector.x - still.x) > 1e-4) moved = true;
    }
    EXPECT_TRUE(moved);
}

TEST_F(CameraState, OverlayWidthFollowsTheAspectRatio) {
    screen_x = 800;
    screen_y = 600;
    EXPECT_FLOAT_EQ(display_window_width(), 400.0f);
    screen_x = 1920;
    screen_y = 1080;
    EXPECT_NEAR(display_window_width(), 533.333f, 1e-3);
}

TEST_F(CameraState, FrustumExtentsScaleWithAspectAndViewAngle) {
    screen_x = 800;
    screen_y = 600;
    float r, t;
    display_frustum_extents(&r, &t);
    EXPECT_NEAR(r, 0.4f, 1e-6);
    EXPECT_NEAR(t, 0.3f, 1e-6);
    global_view_angle = 2.0f;
    display_frustum_extents(&r, &t);
    global_view_angle = 1.0f;
    EXPECT_NEAR(r, 0.8f, 1e-6);
    EXPECT_NEAR(t, 0.6f, 1e-6);
}

TEST(Multitexture, ThreeUnitsAreRefusedAndFourAccepted) {
    const char *extensions = "GL_ARB_imaging GL_ARB_multitexture GL_EXT_blend";
    EXPECT_EQ(display_multitexture_acceptable(3, extensions), 0);
    EXPECT_EQ(display_multitexture_acceptable(4, extensions), 1);
    EXPECT_EQ(display_multitexture_acceptable(8, "GL_EXT_blend"), 0);
    EXPECT_EQ(display_multitexture_acceptable(8, nullptr), 0);
}
