// model_skin.cpp — skinning without GL: joint poses and skinned vertices into scratch arrays
#include "models/model.h"

float global_model_skin_position[MODEL_SCRATCH_VERTEX][3];
float global_model_skin_normal[MODEL_SCRATCH_VERTEX][3];
float global_model_skin_outline[MODEL_SCRATCH_VERTEX][3];
float global_model_skin_envmap[MODEL_SCRATCH_VERTEX][2];
uint16_t global_model_skin_count;
float global_model_joint_quaternion[MODEL_SCRATCH_JOINT][4];
float global_model_joint_translation[MODEL_SCRATCH_JOINT][3];
float global_model_skin_line_scale;

void model_quaternion_multiply(const float *a, const float *b, float *out) {
    float x = a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1];
    float y = a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0];
    float z = a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3];
    float w = a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = w;
}

void model_quaternion_rotate(const float *q, const float *v, float *out) {
    float p[4] = {v[0], v[1], v[2], 0.0f};
    float c[4] = {-q[0], -q[1], -q[2], q[3]};
    float t[4];
    model_quaternion_multiply(q, p, t);
    model_quaternion_multiply(t, c, t);
    out[0] = t[0];
    out[1] = t[1];
    out[2] = t[2];
}

// PLACEHOLDER: the skinning comes next.
uint16_t model_resolve_frame(const model *m, uint16_t frame_index, uint16_t next_frame_index) {
    (void)m;
    (void)frame_index;
    (void)next_frame_index;
    return 0;
}

void model_pose_joints(const model *m, uint16_t frame_index, const vector *center, const float *root_quaternion,
                       float scale) {
    (void)m;
    (void)frame_index;
    (void)center;
    (void)root_quaternion;
    (void)scale;
}

const model_mesh *model_skin(uint16_t model_index, uint16_t mesh_index, const vector *center,
                             const float *root_quaternion, uint16_t frame_index, uint16_t next_frame_index,
                             float scale, const float *jqtdata, uint16_t jqtnumjoint) {
    (void)model_index;
    (void)mesh_index;
    (void)center;
    (void)root_quaternion;
    (void)frame_index;
    (void)next_frame_index;
    (void)scale;
    (void)jqtdata;
    (void)jqtnumjoint;
    global_model_skin_count = 0;
    return nullptr;
}
