// joint.cpp — ragdoll joint arrays
#include <cstdlib>

#include "models/joint.h"

// PLACEHOLDER: ragdolls come next; until then no array is made.
joint *joint_array_create(uint16_t model_index, const vector *center, const float *root_quaternion,
                          uint16_t frame_index, float scale, float joint_radius) {
    (void)model_index;
    (void)center;
    (void)root_quaternion;
    (void)frame_index;
    (void)scale;
    (void)joint_radius;
    return nullptr;
}

void joint_array_update(joint *joints, vector *out_center) {
    (void)joints;
    (void)out_center;
}

void joint_array_debug_draw(joint *j) { (void)j; }

void joint_array_destroy(joint *j) { free(j); }

uint16_t joint_array_pose(const joint *j, float *pose, uint16_t max_joint) {
    (void)j;
    (void)pose;
    (void)max_joint;
    return 0;
}
