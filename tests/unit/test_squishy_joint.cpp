// test_squishy_joint.cpp — spheres pushed out of floors, steps, corners and overhangs, and ragdolls
// that fall, keep their bones and settle on the ground
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model_test_util.h"
#include "models/joint.h"
#include "models/squishy.h"
#include "terrain_test_util.h"

// The floor's surface point: a single top block at z = 4 with the centred marker.
static const float floor_surface = 4.5625f;

// A column: crystal at z = 0, stone up to z = top - 1, a single stone block with an upward normal
// at z = top, then optionally air up to `gap_top` and a run of stone `ceiling` blocks thick.
static voxel *column(int top, int gap_top = 0, int ceiling = 0) {
    std::vector<uint16_t> words = {run_word(34, 1)};
    if (top > 1) words.push_back(run_word(3, (uint16_t)(top - 1)));
    words.push_back(single_word(3));
    if (ceiling > 0) {
        words.push_back(run_word(0, (uint16_t)(gap_top - top - 1)));
        words.push_back(run_word(3, (uint16_t)ceiling));
    }
    voxel *bottom = make_pillar(words, 127);
    for (voxel *v = bottom; v; v = v->next)
        if (voxel_is_single(v)) {
            v->nx = v->ny = 0.0f;
            v->nz = 1.0f;
        }
    return bottom;
}

class SquishyTest : public ::testing::Test {
  protected:
    void TearDown() override { model_free_all(); }
    ScratchWorld world_;
};

static float length(const vector &v) { return sqrtf(v.x * v.x + v.y * v.y + v.z * v.z); }

TEST_F(SquishyTest, ASphereInOpenAirIsLeftAlone) {
    make_resident_chunk(1, 1, [](int, int) { return column(4); });
    vector c = {80.5f, 80.5f, 20.0f};
    EXPECT_EQ(squishy_collide(&c, 0.5f, 5, 0), 1);
    EXPECT_EQ(c.z, 20.0f);
    EXPECT_EQ(global_squishy_adjusted, 0);
    EXPECT_EQ(global_squishy_supported, 0);
    EXPECT_EQ(global_squishy_surface_voxel, nullptr);
    EXPECT_NEAR(global_squishy_normal.z, 0.9995f, 1e-4f);
}

TEST_F(SquishyTest, AFlatFloorHoldsTheSphereOnItsSurfacePoint) {
    make_resident_chunk(1, 1, [](int, int) { return column(4); });
    vector c = {80.5f, 80.5f, 4.9f};
    EXPECT_EQ(squishy_collide(&c, 0.5f, 5, 0), 1);
    EXPECT_NEAR(c.z, floor_surface + 0.5f, 1e-4f);
    EXPECT_NEAR(c.x, 80.5f, 1e-5f);
    EXPECT_EQ(global_squishy_adjusted, 1);
    EXPECT_EQ(global_squishy_supported, 1);
    EXPECT_NEAR(global_squishy_normal.z, 1.0f, 1e-4f);
    EXPECT_EQ(global_squishy_surface_voxel, chunkmap_get_xyz(80, 80, 4));
    // Resting there, a second call finds nothing more to do.
    EXPECT_EQ(squishy_collide(&c, 0.5f, 5, 0), 1);
    EXPECT_NEAR(c.z, floor_surface + 0.5f, 1e-4f);
}

TEST_F(SquishyTest, ARunBlockPushesLikeASphereAroundItsCentre) {
    // One floating block at z = 10: its centre is 10.5 and the sphere sits 0.9 above it.
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(0, 10), run_word(3, 1)}); });
    vector c = {80.5f, 80.5f, 11.4f};
    EXPECT_EQ(squishy_collide(&c, 0.5f, 5, 0), 1);
    EXPECT_NEAR(c.z, 11.5f, 1e-5f);
    EXPECT_EQ(global_squishy_supported, 1);
    EXPECT_NEAR(global_squishy_normal.z, 1.0f, 1e-5f);
}

TEST_F(SquishyTest, AStepPushesTheSphereBackFromItsRiser) {
    // Columns from x = 81 on stand two blocks higher.
    make_resident_chunk(1, 1, [](int x, int) { return column(x >= 17 ? 6 : 4); });
    vector c = {80.75f, 80.5f, 5.0f};
    squishy_collide(&c, 0.5f, 20, 0);
    EXPECT_LT(c.x, 80.75f - 0.05f);
    EXPECT_NEAR(c.y, 80.5f, 1e-4f);
    EXPECT_LT(global_squishy_normal.x, -0.3f);
    // Still standing on the lower floor.
    EXPECT_GE(c.z, floor_surface + 0.3f);
}

TEST_F(SquishyTest, AnInsideCornerPushesOutAlongItsDiagonal) {
    make_resident_chunk(1, 1, [](int x, int y) { return column(x >= 17 || y >= 17 ? 8 : 4); });
    vector c = {80.75f, 80.75f, 6.0f};
    squishy_collide(&c, 0.5f, 20, 0);
    float dx = 80.75f - c.x, dy = 80.75f - c.y;
    EXPECT_GT(dx, 0.05f);
    EXPECT_NEAR(dx, dy, 1e-4f);
    EXPECT_LT(global_squishy_normal.x, -0.3f);
    EXPECT_NEAR(global_squishy_normal.x, global_squishy_normal.y, 1e-4f);
}

TEST_F(SquishyTest, AnOverhangPushesDownWithoutSupport) {
    // Floor top at z = 4, air up to z = 8, a ceiling from z = 8.
    make_resident_chunk(1, 1, [](int, int) { return column(4, 8, 3); });
    vector c = {80.5f, 80.5f, 7.7f};
    squishy_collide(&c, 0.5f, 5, 0);
    EXPECT_LT(c.z, 7.6f);
    EXPECT_EQ(global_squishy_supported, 0);
    EXPECT_LT(global_squishy_normal.z, -0.5f);
    // Leaning off vertical, the last push of a preferring caller is made purely vertical.
    c = {80.7f, 80.5f, 7.8f};
    squishy_collide(&c, 0.5f, 1, 1);
    EXPECT_NEAR(c.x, 80.7f, 1e-6f);
    EXPECT_LT(c.z, 7.8f);
}

TEST_F(SquishyTest, DeepInRockItReportsFailureAndTheWorldBottomHolds) {
    make_resident_chunk(1, 1, [](int x, int) {
        return x < 20 ? make_pillar({run_word(3, 30)}) : make_pillar({run_word(0, 30)});
    });
    vector c = {70.5f, 80.5f, 10.5f};
    EXPECT_EQ(squishy_collide(&c, 0.5f, 5, 0), 0);
    // Under a column of nothing but air, the cells below height 0 push like the off-map ground.
    voxel_setup_off_map_pillar(3, 3, 1, 0.0f, 64, 0);
    c = {90.5f, 80.5f, -0.3f};
    squishy_collide(&c, 0.5f, 20, 0);
    EXPECT_GT(c.z, 0.4f);
    EXPECT_EQ(global_squishy_supported, 1);
    // A huge radius samples only the largest cube, five cells each way, and a centre that is not a
    // number changes nothing.
    c = {70.5f, 80.5f, 36.0f};
    squishy_collide(&c, 10.0f, 5, 0);
    EXPECT_EQ(c.z, 36.0f);
    c = {70.5f, 80.5f, 34.0f};
    squishy_collide(&c, 10.0f, 5, 0);
    EXPECT_GT(c.z, 34.0f);
    c = {NAN, 80.5f, 40.0f};
    EXPECT_EQ(squishy_collide(&c, 0.5f, 5, 0), 1);
    EXPECT_EQ(global_squishy_adjusted, 0);
}

// ---- joint arrays

static const float identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};

static uint8_t load_model(const std::string &text, uint16_t slot) {
    return model_load_iqe_text(text.data(), text.size(), slot);
}

TEST_F(SquishyTest, RagdollsAreNotMadeFromTheBindPoseOrWithoutJoints) {
    vector at = {80.5f, 80.5f, 20.0f};
    EXPECT_EQ(joint_array_create(0, &at, identity, 1, 1.0f, 0.5f), nullptr);
    ASSERT_EQ(load_model(two_bone_arm_iqe, 0), 1);
    EXPECT_EQ(joint_array_create(0, &at, identity, 0, 1.0f, 0.5f), nullptr);
    // Frame 3 of a three-frame model wraps round to the bind pose.
    EXPECT_EQ(joint_array_create(0, &at, identity, 3, 1.0f, 0.5f), nullptr);
    EXPECT_EQ(joint_array_create(100, &at, identity, 1, 1.0f, 0.5f), nullptr);
    ASSERT_EQ(load_model("# Inter-Quake Export\nmesh \"a\"\nvp 0 0 0\nvt 0 0\nvn 0 0 1\nframe\nframe\n", 1), 1);
    EXPECT_EQ(joint_array_create(1, &at, identity, 1, 1.0f, 0.5f), nullptr);
    // Every caller of the update and the drawing copes with none.
    vector out = {1.0f, 2.0f, 3.0f};
    joint_array_update(nullptr, &out);
    EXPECT_EQ(out.x, 1.0f);
    joint_array_destroy(nullptr);
    float pose[7];
    EXPECT_EQ(joint_array_pose(nullptr, pose, 1), 0);
}

TEST_F(SquishyTest, ARagdollStartsWhereTheFramePutsItsJoints) {
    ASSERT_EQ(load_model(two_bone_arm_iqe, 0), 1);
    vector at = {80.5f, 80.5f, 20.0f};
    joint *j = joint_array_create(0, &at, identity, 2, 1.0f, 0.5f);
    ASSERT_NE(j, nullptr);
    EXPECT_EQ(j[0].num_joint, 2);
    EXPECT_EQ(j[0].parent_index, 2);
    EXPECT_EQ(j[1].parent_index, 0);
    EXPECT_NEAR(j[1].position.y, 81.5f, 1e-5f);
    EXPECT_NEAR(j[1].distance_from_parent, 1.0f, 1e-4f);
    EXPECT_NEAR(j[1].quaternion[2], 0.70710678f, 1e-6f);
    float pose[14];
    ASSERT_EQ(joint_array_pose(j, pose, 2), 2);
    EXPECT_EQ(pose[7 + 5], j[1].translation[1]);
    EXPECT_EQ(pose[7 + 2], j[1].quaternion[2]);
    joint_array_destroy(j);
}

TEST_F(SquishyTest, AFreeJointFallsAQuarterOfItsVelocityPerUpdate) {
    ASSERT_EQ(load_model("# Inter-Quake Export\njoint \"j\" -1\npq 0 0 0 0 0 0 1\nframe\npq 0 0 0 0 0 0 1\n", 0),
              1);
    vector at = {80.5f, 80.5f, 50.0f}, out;
    joint *j = joint_array_create(0, &at, identity, 1, 1.0f, 0.5f);
    ASSERT_NE(j, nullptr);
    joint_array_update(j, &out);
    EXPECT_FLOAT_EQ(j[0].velocity.z, -0.005f);
    EXPECT_FLOAT_EQ(j[0].position.z, 50.0f);
    joint_array_update(j, &out);
    EXPECT_FLOAT_EQ(j[0].position.z, 50.0f - 0.00125f);
    EXPECT_FLOAT_EQ(out.z, j[0].position.z);
    EXPECT_EQ(j[0].parent_index, JOINT_NO_PARENT);
    joint_array_destroy(j);
}

TEST_F(SquishyTest, OverlapsAndStretchedBonesBecomePendingCorrections) {
    joint j[2] = {};
    for (joint &one : j) {
        one.radius = 0.5f;
        one.num_joint = 2;
        one.parent_index = 2;
        one.quaternion[3] = 1.0f;
    }
    // Unrelated joints 0.3 apart side by side push each other apart by about 0.1 each; the later
    // joint's share has already decayed and moved it once within the same update.
    j[0].position = {80.0f, 80.0f, 50.0f};
    j[1].position = {80.3f, 80.0f, 50.0f};
    vector out;
    joint_array_update(j, &out);
    EXPECT_NEAR(j[0].vdamp.x, -0.1f, 1e-3f);
    EXPECT_NEAR(j[1].vdamp.x, 0.1f * 0.85f, 1e-3f);
    EXPECT_NEAR(j[1].position.x, 80.3f + 0.1f * 0.85f * 0.25f, 1e-4f);
    EXPECT_NEAR(out.x, (j[0].position.x + j[1].position.x) / 2.0f, 1e-5f);
    // One above the other they overlap just the same, but nothing pushes them vertically.
    joint k[2] = {j[0], j[1]};
    for (joint &one : k) {
        one.vdamp = {0, 0, 0};
        one.velocity = {0, 0, 0};
        one.parent_index = 2;
    }
    k[0].position = {80.0f, 80.0f, 50.0f};
    k[1].position = {80.0f, 80.0f, 50.3f};
    joint_array_update(k, &out);
    EXPECT_EQ(k[0].vdamp.z, 0.0f);
    EXPECT_EQ(k[1].vdamp.z, 0.0f);
    // A bone stretched one beyond its rest length: the parent moves a fifth, the child four fifths.
    k[0].position = {80.0f, 80.0f, 50.0f};
    k[1].position = {80.0f, 80.0f, 52.0f};
    k[0].vdamp = k[1].vdamp = {0, 0, 0};
    k[0].velocity = k[1].velocity = {0, 0, 0};
    k[1].parent_index = 0;
    k[1].distance_from_parent = 1.0f;
    joint_array_update(k, &out);
    EXPECT_NEAR(k[0].vdamp.z, 0.2f, 1e-4f);
    EXPECT_NEAR(k[1].vdamp.z, -0.8f, 1e-4f);
}

TEST_F(SquishyTest, ADroppedRagdollSettlesOnTheFloorAndKeepsItsBones) {
    make_resident_chunk(1, 1, [](int, int) { return column(4); });
    // Three bones in a row; the ragdoll is made at twice the size, then falls from three blocks up.
    std::string chain =
        "# Inter-Quake Export\n"
        "joint \"hip\" -1\njoint \"knee\" 0\njoint \"foot\" 1\njoint \"toe\" 2\n"
        "pq 0 0 0 0 0 0 1\npq 0.5 0 0 0 0 0 1\npq 1 0 0 0 0 0 1\npq 1.5 0 0 0 0 0 1\n"
        "frame\npq 0 0 0 0 0 0 1\npq 0.5 0 0 0 0 0 1\npq 0.5 0 0 0 0 0 1\npq 0.5 0 0 0 0 0 1\n";
    ASSERT_EQ(load_model(chain, 0), 1);
    vector at = {80.2f, 80.5f, 8.0f}, out = {0, 0, 0};
    joint *j = joint_array_create(0, &at, identity, 1, 1.0f, 0.5f);
    ASSERT_NE(j, nullptr);
    float rest[4];
    for (int i = 1; i < 4; i++) rest[i] = j[i].distance_from_parent;
    j[0].velocity = {0.05f, 0.0f, 0.0f};
    for (int step = 0; step < 1200; step++) joint_array_update(j, &out);
    for (int i = 0; i < 4; i++) {
        EXPECT_NEAR(j[i].position.z, floor_surface + 0.5f, 0.1f) << "joint " << i;
        EXPECT_LT(length(j[i].velocity), 0.01f) << "joint " << i;
        float q = sqrtf(j[i].quaternion[0] * j[i].quaternion[0] + j[i].quaternion[1] * j[i].quaternion[1] +
                        j[i].quaternion[2] * j[i].quaternion[2] + j[i].quaternion[3] * j[i].quaternion[3]);
        EXPECT_NEAR(q, 1.0f, 1e-4f);
        EXPECT_EQ(j[i].translation[2], j[i].position.z);
    }
    for (int i = 1; i < 4; i++) {
        vector d = {j[i].position.x - j[i - 1].position.x, j[i].position.y - j[i - 1].position.y,
                    j[i].position.z - j[i - 1].position.z};
        EXPECT_NEAR(length(d), rest[i], 0.1f * rest[i]) << "bone " << i;
    }
    EXPECT_NEAR(out.z, floor_surface + 0.5f, 0.1f);
    joint_array_destroy(j);
}

TEST_F(SquishyTest, AfterOneUpdateARagdollMadeAtAnyScaleHasUnitRotations) {
    ASSERT_EQ(load_model(two_bone_arm_iqe, 0), 1);
    vector at = {80.5f, 80.5f, 50.0f}, out;
    joint *j = joint_array_create(0, &at, identity, 1, 2.0f, 0.5f);
    ASSERT_NE(j, nullptr);
    EXPECT_NEAR(j[0].quaternion[3], 2.0f, 1e-6f);
    joint_array_update(j, &out);
    for (int i = 0; i < 2; i++) {
        const float *q = j[i].quaternion;
        EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0f, 1e-5f);
    }
    joint_array_destroy(j);
}

TEST_F(SquishyTest, AChainOfBonesStaysOnItsJoints) {
    // Three bones in a row along z, each drawn by the joint at its lower end; the tip of every bone
    // must stay on the next joint as the chain flops over, whichever way the body faced.
    std::string chain =
        "# Inter-Quake Export\n"
        "joint \"a\" -1\njoint \"b\" 0\njoint \"c\" 1\njoint \"d\" 2\n"
        "pq 0 0 0 0 0 0 1\npq 0 0 1 0 0 0 1\npq 0 0 2 0 0 0 1\npq 0 0 3 0 0 0 1\n"
        "mesh \"m\"\nvp 0 0 1\nvt 0 0\nvn 0 0 1\nvb 0 1\nvp 0 0 2\nvt 0 0\nvn 0 0 1\nvb 1 1\n"
        "vp 0 0 3\nvt 0 0\nvn 0 0 1\nvb 2 1\n"
        "frame\npq 0 0 0 0 0 0 1\npq 0 0 1 0 0 0 1\npq 0 0 1 0 0 0 1\npq 0 0 1 0 0 0 1\n";
    ASSERT_EQ(load_model(chain, 0), 1);
    for (float turn : {0.0f, 1.5707963f, 3.1415926f}) {
        float facing[4] = {0.0f, 0.0f, sinf(turn / 2), cosf(turn / 2)};
        vector at = {80.5f, 80.5f, 50.0f}, out;
        joint *j = joint_array_create(0, &at, facing, 1, 1.0f, 0.1f);
        ASSERT_NE(j, nullptr);
        j[1].velocity = {0.2f, 0.0f, 0.0f};
        j[2].velocity = {-0.1f, 0.2f, 0.0f};
        j[3].velocity = {0.0f, 0.0f, -0.3f};
        float pose[28];
        float worst = 0.0f;
        for (int step = 0; step < 20; step++) {
            joint_array_update(j, &out);
            ASSERT_EQ(joint_array_pose(j, pose, 4), 4);
            model_skin(0, 0, &at, facing, 1, 1, 1.0f, pose, 4);
            for (int v = 0; v < 3; v++) {
                vector d = {global_model_skin_position[v][0] - j[v + 1].position.x,
                            global_model_skin_position[v][1] - j[v + 1].position.y,
                            global_model_skin_position[v][2] - j[v + 1].position.z};
                float bone = sqrtf(powf(j[v + 1].position.x - j[v].position.x, 2) +
                                   powf(j[v + 1].position.y - j[v].position.y, 2) +
                                   powf(j[v + 1].position.z - j[v].position.z, 2));
                // The bone's own length changes as the constraint works; only its direction counts.
                worst = fmaxf(worst, length(d) - fabsf(bone - 1.0f));
            }
        }
        EXPECT_LT(worst, 0.05f) << "turn " << turn;
        joint_array_destroy(j);
    }
}
