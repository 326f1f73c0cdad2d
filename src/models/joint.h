// joint.h — ragdoll joint arrays: one sphere per skeleton joint, simulated with damped
// position-based physics and handed back to skinning as a world pose
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

#define JOINT_NO_PARENT 65535

// One record per skeleton joint; the array is one allocation of num_joint records.
struct joint {
    float radius;
    vector position;
    vector previous;
    vector velocity;  // per four updates: applied a quarter per update
    vector vdamp;     // pending correction, applied a quarter per update and decaying
    uint16_t num_joint;
    uint16_t parent_index;  // not below num_joint for none
    float distance_from_parent;
    float translation[3];  // world translation handed to skinning
    float quaternion[4];   // world orientation (x, y, z, w) handed to skinning
    float temp[4];
    uint16_t temp_count;
};

// A new array posed like the model in that frame, or null for an empty slot, frame 0, a model
// without joints or no memory. Every caller must cope with null.
joint *joint_array_create(uint16_t model_index, const vector *center, const float *root_quaternion,
                          uint16_t frame_index, float scale, float joint_radius);
// The same pose written into a caller's array with room for max_joint joints (nothing is
// allocated); the joint count, or 0 where joint_array_create gives null or the room is too small.
uint16_t joint_array_setup(joint *joints, uint16_t max_joint, uint16_t model_index, const vector *center,
                           const float *root_quaternion, uint16_t frame_index, float scale, float joint_radius);
void joint_array_update(joint *joints, vector *out_center);
void joint_array_debug_draw(joint *j);
void joint_array_destroy(joint *j);
// Writes the skinning pose (quaternion x, y, z, w then translation x, y, z per joint) into pose,
// at most max_joint joints; returns the joint count written (0 for none).
uint16_t joint_array_pose(const joint *j, float *pose, uint16_t max_joint);
