// test_model_skin.cpp — skinning without a window: joint poses, skinned positions at known frames,
// frame resolution, the environment coordinates, and the animation queries by name
#include <gtest/gtest.h>

#include <cmath>

#include "display/display.h"
#include "model_test_util.h"

static const float identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};

class ModelSkinTest : public ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        camera_side_vector = {1.0f, 0.0f, 0.0f};
        camera_up_vector = {0.0f, 0.0f, 1.0f};
        global_line_scale = 0.05f;
    }
    void expect_position(int vertex, float x, float y, float z) {
        EXPECT_NEAR(global_model_skin_position[vertex][0], x, 1e-5f) << "vertex " << vertex;
        EXPECT_NEAR(global_model_skin_position[vertex][1], y, 1e-5f) << "vertex " << vertex;
        EXPECT_NEAR(global_model_skin_position[vertex][2], z, 1e-5f) << "vertex " << vertex;
    }
};

TEST_F(ModelSkinTest, TwoBoneArmBendsAtTheElbowAndTheShoulder) {
    ASSERT_EQ(load(two_bone_arm_iqe), 1);
    vector center = {10.0f, 20.0f, 30.0f};
    // Frame 1: the elbow turns a quarter; the forearm vertex swings from +x to +y about the elbow.
    ASSERT_NE(model_skin(0, 0, &center, identity, 1, 1, 1.0f, nullptr, 0), nullptr);
    EXPECT_EQ(global_model_skin_count, 3);
    expect_position(0, 10.5f, 20.0f, 30.0f);
    expect_position(1, 11.0f, 20.5f, 30.0f);
    expect_position(2, 11.0f, 20.0f, 30.0f);
    EXPECT_NEAR(global_model_joint_translation[1][0], 11.0f, 1e-5f);
    // Frame 2: the shoulder turns a quarter and carries the whole arm along +y.
    model_skin(0, 0, &center, identity, 2, 2, 1.0f, nullptr, 0);
    expect_position(0, 10.0f, 20.5f, 30.0f);
    expect_position(1, 10.0f, 21.5f, 30.0f);
    expect_position(2, 10.0f, 21.0f, 30.0f);
    // Normals turn with the bones; these point along z and stay there.
    EXPECT_NEAR(global_model_skin_normal[1][2], 1.0f, 1e-5f);
    // A root turned a quarter about z turns the whole pose; scale 2 grows it by four (scale squared).
    float quarter[4] = {0.0f, 0.0f, 0.70710678f, 0.70710678f};
    model_skin(0, 0, &center, quarter, 1, 1, 2.0f, nullptr, 0);
    expect_position(0, 10.0f, 22.0f, 30.0f);
    expect_position(1, 8.0f, 24.0f, 30.0f);
}

TEST_F(ModelSkinTest, FrameZeroDrawsTheBindPoseAndIgnoresARagdoll) {
    ASSERT_EQ(load(two_bone_arm_iqe), 1);
    vector center = {1.0f, 2.0f, 3.0f};
    float ragdoll[14] = {0, 0, 0, 1, 100, 100, 100, 0, 0, 0, 1, 100, 100, 100};
    model_skin(0, 0, &center, identity, 0, 0, 1.0f, ragdoll, 2);
    expect_position(1, 2.5f, 2.0f, 3.0f);
    // The same ragdoll with a nonzero frame places every joint where it says.
    model_skin(0, 0, &center, identity, 1, 1, 1.0f, ragdoll, 2);
    expect_position(0, 100.5f, 100.0f, 100.0f);
    // A ragdoll whose joint count does not match the model is not used.
    model_skin(0, 0, &center, identity, 1, 1, 1.0f, ragdoll, 1);
    expect_position(0, 1.5f, 2.0f, 3.0f);
}

TEST_F(ModelSkinTest, FramesWrapAndANextFrameOfZeroForcesTheBindPose) {
    ASSERT_EQ(load(std::string(two_bone_arm_iqe) + "frame\nframe\n"), 1);
    const model *m = slot();
    ASSERT_EQ(m->num_frame, 5u);
    EXPECT_EQ(model_resolve_frame(m, 7, 7), 2);
    EXPECT_EQ(model_resolve_frame(m, 3, 5), 0);
    EXPECT_EQ(model_resolve_frame(m, 3, 4), 3);
    EXPECT_EQ(model_resolve_frame(nullptr, 3, 4), 0);
}

TEST_F(ModelSkinTest, VerticesWithoutWeightsEndAtTheOriginInAnimatedFrames) {
    std::string text = std::string(two_bone_arm_iqe) + "mesh \"card\"\nvp 5 5 5\nvt 0 0\nvn 0 0 1\n";
    ASSERT_EQ(load(text), 1);
    vector center = {1.0f, 1.0f, 1.0f};
    model_skin(0, 1, &center, identity, 1, 1, 1.0f, nullptr, 0);
    expect_position(0, 0.0f, 0.0f, 0.0f);
    model_skin(0, 1, &center, identity, 0, 0, 1.0f, nullptr, 0);
    expect_position(0, 6.0f, 6.0f, 6.0f);
}

TEST_F(ModelSkinTest, AModelWithoutMeshesOrWithoutFramesIsSafeToDraw) {
    ASSERT_EQ(load("# Inter-Quake Export\njoint \"j\" -1\npq 0 0 0 0 0 0 1\nframe\npq 0 0 0 0 0 0 1\n"), 1);
    vector center = {0.0f, 0.0f, 0.0f};
    // Nothing to draw, rather than reading mesh 0 of an empty table.
    EXPECT_EQ(model_skin(0, 0, &center, identity, 1, 1, 1.0f, nullptr, 0), nullptr);
    EXPECT_EQ(global_model_skin_count, 0);
    EXPECT_EQ(model_skin(5, 0, &center, identity, 1, 1, 1.0f, nullptr, 0), nullptr);
    EXPECT_EQ(model_skin(200, 0, &center, identity, 1, 1, 1.0f, nullptr, 0), nullptr);
    // No frames: the static pose at the centre, whatever frame is asked; a mesh index out of
    // range draws mesh 0.
    ASSERT_EQ(load("# Inter-Quake Export\nmesh \"a\"\nvp 1 0 0\nvt 0 0\nvn 0 0 1\n", 1), 1);
    center = {5.0f, 5.0f, 5.0f};
    EXPECT_NE(model_skin(1, 9, &center, identity, 4, 4, 1.0f, nullptr, 0), nullptr);
    expect_position(0, 6.0f, 5.0f, 5.0f);
}

TEST_F(ModelSkinTest, EnvironmentCoordinatesFollowTheNormalAsTheCameraSeesIt) {
    ASSERT_EQ(load("# Inter-Quake Export\nmesh \"a\"\nvp 0 0 0\nvt 0 0\nvn 1 0 0\nvp 0 0 0\nvt 0 0\nvn 0 0 1\n"), 1);
    vector center = {0.0f, 0.0f, 0.0f};
    model_skin(0, 0, &center, identity, 0, 0, 1.0f, nullptr, 0);
    EXPECT_FLOAT_EQ(global_model_skin_envmap[0][0], 0.0f);
    EXPECT_FLOAT_EQ(global_model_skin_envmap[0][1], 0.5f);
    EXPECT_FLOAT_EQ(global_model_skin_envmap[1][1], 0.0f);
    EXPECT_FLOAT_EQ(global_model_skin_line_scale, 0.05f);
    // At scale 2 the normals grow by four; the side and up vectors shrink to match, and the
    // outline offset (line scale times a four-fold outline normal) comes out twice as thick.
    model_skin(0, 0, &center, identity, 0, 0, 2.0f, nullptr, 0);
    EXPECT_FLOAT_EQ(global_model_skin_normal[0][0], 4.0f);
    EXPECT_FLOAT_EQ(global_model_skin_envmap[0][0], 0.0f);
    EXPECT_FLOAT_EQ(global_model_skin_line_scale * global_model_skin_outline[0][0], 0.1f);
}

// Frames 1-3 walk at 10 per second, frames 4-5 attack at 20.
static const char *const two_animations_iqe =
    "# Inter-Quake Export\n"
    "joint \"root\" -1\n"
    "pq 0 0 0 0 0 0 1\n"
    "animation \"walk1\"\nframerate 10\n"
    "frame\npq 0 0 0 0 0 0 1\nframe\npq 0 0 0 0 0 0 1\nframe\npq 0 0 0 0 0 0 1\n"
    "animation \"ATTACK1\"\nframerate 20.7\n"
    "frame\npq 0 0 0 0 0 0 1\nframe\npq 0 0 0 0 0 0 1\n";

TEST_F(ModelSkinTest, AnimationsAreFoundByNameWithTheirFramesAndRates) {
    ASSERT_EQ(load(two_animations_iqe, 4), 1);
    const model *m = slot(4);
    EXPECT_EQ(m->num_frame, 6u);
    EXPECT_EQ(m->animation_data[1].frames_per_second, 20);
    EXPECT_EQ(model_get_start_or_last_frame(4, (const uint8_t *)"WALK1", 1), 1);
    EXPECT_EQ(model_get_start_or_last_frame(4, (const uint8_t *)"WALK1", 0), 3);
    EXPECT_EQ(model_get_start_or_last_frame(4, (const uint8_t *)"ATTACK1", 1), 4);
    EXPECT_EQ(model_get_start_or_last_frame(4, (const uint8_t *)"ATTACK1", 0), 5);
    // Names are stored upper case, so a lower-case name finds nothing.
    EXPECT_EQ(model_get_start_or_last_frame(4, (const uint8_t *)"walk1", 1), 0);
    EXPECT_EQ(model_get_start_or_last_frame(5, (const uint8_t *)"WALK1", 1), 0);
    EXPECT_EQ(model_get_start_or_last_frame(100, (const uint8_t *)"WALK1", 1), 0);
    EXPECT_EQ(model_get_frame_animation_type(4, 0), 0);
    EXPECT_EQ(model_get_frame_animation_type(4, 2), 1);
    EXPECT_EQ(model_get_frame_animation_type(4, 5), 2);
    EXPECT_EQ(model_get_frame_animation_type(4, 6), 0);
    EXPECT_TRUE(log_contains("Looking for start frame in model 4 -- anim ATTACK1"));
    EXPECT_TRUE(log_contains("    Found match as frame 4"));
}

TEST_F(ModelSkinTest, AnAnimationPlaysToItsEndThenFallsBackToTheDefaultAction) {
    ASSERT_EQ(load(two_animations_iqe, 4), 1);
    EXPECT_EQ(model_next_frame(4, 1, "WALK1"), 2);
    EXPECT_EQ(model_next_frame(4, 3, "WALK1"), 1);
    EXPECT_EQ(model_next_frame(4, 4, "WALK1"), 5);
    EXPECT_EQ(model_next_frame(4, 5, "WALK1"), 1);
    // Without the default action the last frame stays.
    EXPECT_EQ(model_next_frame(4, 5, "RUN"), 5);
    EXPECT_EQ(model_next_frame(9, 5, "WALK1"), 5);
}
