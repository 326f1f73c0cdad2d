// model_skin.cpp — skinning without GL: joint poses and skinned vertices into scratch arrays
#include "display/display.h"
#include "models/model.h"

float global_model_skin_position[MODEL_SCRATCH_VERTEX][3];
float global_model_skin_normal[MODEL_SCRATCH_VERTEX][3];
float global_model_skin_outline[MODEL_SCRATCH_VERTEX][3];
float global_model_skin_envmap[MODEL_SCRATCH_VERTEX][2];
uint16_t global_model_skin_count;
float global_model_joint_quaternion[MODEL_SCRATCH_JOINT][4];
float global_model_joint_translation[MODEL_SCRATCH_JOINT][3];
float global_model_skin_line_scale;

uint16_t model_resolve_frame(const model *m, uint16_t frame_index, uint16_t next_frame_index) {
    if (!m || m->num_frame == 0) return 0;
    frame_index = (uint16_t)(frame_index % m->num_frame);
    next_frame_index = (uint16_t)(next_frame_index % m->num_frame);
    if (next_frame_index == 0) frame_index = 0;
    return frame_index;
}

void model_pose_joints(const model *m, uint16_t frame_index, const vector *center, const float *root_quaternion,
                       float scale) {
    if (!m || frame_index == 0 || frame_index >= m->num_frame) return;
    float r[4];
    for (int k = 0; k < 4; k++) r[k] = root_quaternion[k] * scale;
    const model_joint_position *pose = m->frame_data[frame_index].joint_position_data;
    uint32_t count = m->num_joint < MODEL_SCRATCH_JOINT ? m->num_joint : MODEL_SCRATCH_JOINT;
    for (uint32_t a = 0; a < count; a++) {
        int p = m->joint_data[a].parent_joint;
        float *t = global_model_joint_translation[a];
        float *q = global_model_joint_quaternion[a];
        if (p < 0 || (uint32_t)p >= a) {
            quaternion_rotate_xyzw(r, pose[a].translation, t);
            t[0] += center->x;
            t[1] += center->y;
            t[2] += center->z;
            quaternion_multiply_xyzw(r, pose[a].quaternion, q);
        } else {
            float moved[3];
            quaternion_rotate_xyzw(global_model_joint_quaternion[p], pose[a].translation, moved);
            for (int k = 0; k < 3; k++) t[k] = global_model_joint_translation[p][k] + moved[k];
            quaternion_multiply_xyzw(global_model_joint_quaternion[p], pose[a].quaternion, q);
        }
    }
}

// The matrix of v -> q (v, 0) q* for any quaternion, unit or not (it then scales by |q|^2).
static void model_quaternion_matrix(const float *q, float out[9]) {
    float x = q[0], y = q[1], z = q[2], w = q[3];
    out[0] = w * w + x * x - y * y - z * z;
    out[1] = 2.0f * (x * y - w * z);
    out[2] = 2.0f * (x * z + w * y);
    out[3] = 2.0f * (x * y + w * z);
    out[4] = w * w - x * x + y * y - z * z;
    out[5] = 2.0f * (y * z - w * x);
    out[6] = 2.0f * (x * z - w * y);
    out[7] = 2.0f * (y * z + w * x);
    out[8] = w * w - x * x - y * y + z * z;
}

static inline void model_matrix_apply(const float *mx, const float *v, float *out) {
    out[0] = mx[0] * v[0] + mx[1] * v[1] + mx[2] * v[2];
    out[1] = mx[3] * v[0] + mx[4] * v[1] + mx[5] * v[2];
    out[2] = mx[6] * v[0] + mx[7] * v[1] + mx[8] * v[2];
}

// Per joint, the move from the bind pose to the drawn pose as one matrix and offset: rotating by
// the inverse bind rotation and then by the pose is rotating by their product.
static float joint_matrix[MODEL_SCRATCH_JOINT][9];
static float joint_offset[MODEL_SCRATCH_JOINT][3];

const model_mesh *model_skin(uint16_t model_index, uint16_t mesh_index, const vector *center,
                             const float *root_quaternion, uint16_t frame_index, uint16_t next_frame_index,
                             float scale, const float *jqtdata, uint16_t jqtnumjoint) {
    global_model_skin_count = 0;
    if (model_index >= MODEL_MAX) return nullptr;
    const model *m = global_model_data[model_index];
    // A model without meshes has nothing to draw.
    if (!m || m->num_mesh == 0) return nullptr;
    if (mesh_index >= m->num_mesh) mesh_index = 0;
    const model_mesh *mesh = m->mesh_data[mesh_index];
    uint16_t frame = model_resolve_frame(m, frame_index, next_frame_index);

    if (frame != 0) {
        if (jqtdata && jqtnumjoint == m->num_joint) {
            for (uint32_t a = 0; a < m->num_joint; a++) {
                for (int k = 0; k < 4; k++) global_model_joint_quaternion[a][k] = jqtdata[a * 7 + k];
                for (int k = 0; k < 3; k++) global_model_joint_translation[a][k] = jqtdata[a * 7 + 4 + k];
            }
        } else {
            model_pose_joints(m, frame, center, root_quaternion, scale);
        }
        const model_joint_position *bind = m->frame_data[0].joint_position_data;
        for (uint32_t k = 0; k < m->num_joint; k++) {
            float inverse[4] = {-bind[k].quaternion[0], -bind[k].quaternion[1], -bind[k].quaternion[2],
                                bind[k].quaternion[3]};
            float combined[4];
            quaternion_multiply_xyzw(global_model_joint_quaternion[k], inverse, combined);
            model_quaternion_matrix(combined, joint_matrix[k]);
            float moved[3];
            model_matrix_apply(joint_matrix[k], bind[k].translation, moved);
            for (int c = 0; c < 3; c++) joint_offset[k][c] = global_model_joint_translation[k][c] - moved[c];
        }
        for (uint32_t i = 0; i < mesh->num_vertex; i++) {
            const model_vertex *v = &mesh->vertex_data[i];
            float *p = global_model_skin_position[i];
            float *n = global_model_skin_normal[i];
            float *o = global_model_skin_outline[i];
            p[0] = p[1] = p[2] = n[0] = n[1] = n[2] = o[0] = o[1] = o[2] = 0.0f;
            for (uint32_t b = 0; b < v->blend_count && b < 4; b++) {
                float w = v->blend_weight[b];
                uint16_t k = v->blend_joint[b];
                if (k >= m->num_joint) continue;
                const float *mx = joint_matrix[k];
                float t[3];
                model_matrix_apply(mx, v->position_xyz, t);
                for (int c = 0; c < 3; c++) p[c] += w * (t[c] + joint_offset[k][c]);
                model_matrix_apply(mx, v->normal_xyz, t);
                for (int c = 0; c < 3; c++) n[c] += w * t[c];
                model_matrix_apply(mx, v->outline_normal_xyz, t);
                for (int c = 0; c < 3; c++) o[c] += w * t[c];
            }
        }
    } else {
        float r[4], mx[9];
        for (int k = 0; k < 4; k++) r[k] = root_quaternion[k] * scale;
        model_quaternion_matrix(r, mx);
        for (uint32_t i = 0; i < mesh->num_vertex; i++) {
            const model_vertex *v = &mesh->vertex_data[i];
            float *p = global_model_skin_position[i];
            model_matrix_apply(mx, v->position_xyz, p);
            p[0] += center->x;
            p[1] += center->y;
            p[2] += center->z;
            model_matrix_apply(mx, v->normal_xyz, global_model_skin_normal[i]);
            model_matrix_apply(mx, v->outline_normal_xyz, global_model_skin_outline[i]);
        }
    }

    // Environment coordinates follow the normal as the camera sees it; rotations by a scaled root
    // grow normals by scale^2, which the side and up vectors undo.
    vector side = camera_side_vector, up = camera_up_vector;
    float line_scale = global_line_scale;
    if (!((scale > 0.99999f && scale < 1.00001f) || scale < 0.00001f)) {
        line_scale /= scale;
        float s2 = scale * scale;
        side.x /= s2;
        side.y /= s2;
        side.z /= s2;
        up.x /= s2;
        up.y /= s2;
        up.z /= s2;
    }
    global_model_skin_line_scale = line_scale;
    for (uint32_t i = 0; i < mesh->num_vertex; i++) {
        const float *n = global_model_skin_normal[i];
        global_model_skin_envmap[i][0] = 0.5f - 0.5f * (side.x * n[0] + side.y * n[1] + side.z * n[2]);
        global_model_skin_envmap[i][1] = 0.5f - 0.5f * (up.x * n[0] + up.y * n[1] + up.z * n[2]);
    }
    global_model_skin_count = mesh->num_vertex;
    return mesh;
}
