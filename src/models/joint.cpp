// joint.cpp — ragdoll joint arrays: created from a posed model, stepped with gravity, terrain
// collision, bone lengths and separation, and re-oriented from how each bone swung
#include <SDL_opengl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "models/joint.h"
#include "models/model.h"
#include "models/squishy.h"

// The model whose joints can be posed in frame_index (null for an empty slot, frame 0 or a model
// without joints), and that frame.
static const model *joint_posable_model(uint16_t model_index, const vector *center, const float *root_quaternion,
                                        uint16_t frame_index, uint16_t *frame) {
    if (model_index >= MODEL_MAX || !center || !root_quaternion) return nullptr;
    const model *m = global_model_data[model_index];
    if (!m) return nullptr;
    *frame = m->num_frame ? (uint16_t)(frame_index % m->num_frame) : 0;
    if (*frame == 0 || m->num_joint == 0) return nullptr;
    return m;
}

// Fills joints (room for the model's joint count) from the pose model_pose_joints left behind.
static void joint_array_fill(joint *joints, const model *m, float joint_radius) {
    uint32_t n = m->num_joint;
    for (uint32_t a = 0; a < n; a++) {
        joint *j = &joints[a];
        const float *t = global_model_joint_translation[a];
        j->radius = joint_radius;
        j->position = {t[0], t[1], t[2]};
        j->previous = j->position;
        for (int k = 0; k < 3; k++) j->translation[k] = t[k];
        for (int k = 0; k < 4; k++) j->quaternion[k] = global_model_joint_quaternion[a][k];
        j->temp[3] = 1.0f;
        j->num_joint = (uint16_t)n;
        j->parent_index = (uint16_t)n;
        j->distance_from_parent = 1.0f;
        int p = m->joint_data[a].parent_joint;
        if (p >= 0 && (uint32_t)p < a) {
            const float *tp = global_model_joint_translation[p];
            float dx = t[0] - tp[0], dy = t[1] - tp[1], dz = t[2] - tp[2];
            j->parent_index = (uint16_t)p;
            j->distance_from_parent = sqrtf(dx * dx + dy * dy + dz * dz + 0.00001f);
        }
    }
}

joint *joint_array_create(uint16_t model_index, const vector *center, const float *root_quaternion,
                          uint16_t frame_index, float scale, float joint_radius) {
    uint16_t frame = 0;
    const model *m = joint_posable_model(model_index, center, root_quaternion, frame_index, &frame);
    if (!m) return nullptr;
    model_pose_joints(m, frame, center, root_quaternion, scale);
    joint *joints = (joint *)calloc(m->num_joint, sizeof(joint));
    if (!joints) return nullptr;
    joint_array_fill(joints, m, joint_radius);
    return joints;
}

uint16_t joint_array_setup(joint *joints, uint16_t max_joint, uint16_t model_index, const vector *center,
                           const float *root_quaternion, uint16_t frame_index, float scale, float joint_radius) {
    uint16_t frame = 0;
    const model *m = joint_posable_model(model_index, center, root_quaternion, frame_index, &frame);
    if (!joints || !m || m->num_joint > max_joint) return 0;
    model_pose_joints(m, frame, center, root_quaternion, scale);
    memset(joints, 0, m->num_joint * sizeof(joint));
    joint_array_fill(joints, m, joint_radius);
    return (uint16_t)m->num_joint;
}

static inline vector joint_sub(const vector &a, const vector &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
static inline vector joint_unit(const vector &a) {
    float length = sqrtf(vector_dot(a, a) + 0.00001f);
    return {a.x / length, a.y / length, a.z / length};
}

// Divides a quaternion by its plain length; a zero quaternion becomes the identity.
static void joint_quaternion_normalize(float *q) {
    float length = sqrtf(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        q[0] = q[1] = q[2] = 0.0f;
        q[3] = 1.0f;
        return;
    }
    for (int k = 0; k < 4; k++) q[k] /= length;
}

// temp = (axis sin(angle/2), cos(angle/2)) (x) temp, normalised.
static void joint_turn(float *temp, const vector &axis, float angle) {
    float s = sinf(angle * 0.5f);
    float turn[4] = {axis.x * s, axis.y * s, axis.z * s, cosf(angle * 0.5f)};
    quaternion_multiply_xyzw(turn, temp, temp);
    joint_quaternion_normalize(temp);
}

void joint_array_update(joint *joints, vector *out_center) {
    if (!joints || !out_center) return;
    uint16_t n = joints[0].num_joint;
    *out_center = {0.0f, 0.0f, 0.0f};
    for (uint16_t i = 0; i < n; i++) {
        joint *current = &joints[i];
        current->temp[0] = current->temp[1] = current->temp[2] = 0.0f;
        current->temp[3] = 1.0f;
        current->temp_count = 0;
        current->previous = current->position;

        current->vdamp = {current->vdamp.x * 0.85f, current->vdamp.y * 0.85f, current->vdamp.z * 0.85f};
        current->position.x += (current->velocity.x + current->vdamp.x) * 0.25f;
        current->position.y += (current->velocity.y + current->vdamp.y) * 0.25f;
        current->position.z += (current->velocity.z + current->vdamp.z) * 0.25f;
        out_center->x += current->position.x;
        out_center->y += current->position.y;
        out_center->z += current->position.z;

        // The push out of the terrain goes through the pending correction, not at once.
        vector c = current->position;
        if (squishy_collide(&c, current->radius, 5, 0)) {
            if (global_squishy_adjusted) {
                vector push = joint_sub(c, current->position);
                current->vdamp = {current->vdamp.x + push.x, current->vdamp.y + push.y, current->vdamp.z + push.z};
                vector v = current->velocity;
                vector N = global_squishy_normal;
                float d = vector_dot(v, N);
                if (d < 0.0f) {
                    vector r = {v.x - 2.0f * d * N.x, v.y - 2.0f * d * N.y, v.z - 2.0f * d * N.z};
                    vector s = {v.x - d * N.x, v.y - d * N.y, v.z - d * N.z};
                    current->velocity = {(0.75f * r.x + 0.25f * s.x) * 0.7f, (0.75f * r.y + 0.25f * s.y) * 0.7f,
                                         (0.75f * r.z + 0.25f * s.z) * 0.5f};
                }
            }
        } else {
            // Still embedded: undo this update's move over the next updates.
            vector back = joint_sub(current->previous, current->position);
            current->vdamp = {current->vdamp.x + back.x, current->vdamp.y + back.y, current->vdamp.z + back.z};
        }

        current->velocity.z -= 0.005f;

        // A stretched bone pulls the parent a fifth of the way and the child four fifths.
        if (current->parent_index < n) {
            joint *parent = &joints[current->parent_index];
            vector o = joint_sub(current->position, parent->position);
            float length = sqrtf(vector_dot(o, o) + 0.00001f);
            o = {o.x / length, o.y / length, o.z / length};
            float e = (length - current->distance_from_parent) * 0.2f;
            parent->vdamp = {parent->vdamp.x + o.x * e, parent->vdamp.y + o.y * e, parent->vdamp.z + o.z * e};
            current->vdamp = {current->vdamp.x - o.x * 4.0f * e, current->vdamp.y - o.y * 4.0f * e,
                              current->vdamp.z - o.z * 4.0f * e};
        } else {
            current->parent_index = JOINT_NO_PARENT;
        }

        // Unrelated joints that overlap push each other apart sideways only.
        for (uint16_t k = (uint16_t)(i + 1); k < n; k++) {
            joint *other = &joints[k];
            if (other->parent_index == i || current->parent_index == k) continue;
            vector o = joint_sub(current->position, other->position);
            float m = (current->radius + other->radius) * 0.5f;
            float o2 = vector_dot(o, o);
            if (o2 < m * m) {
                float length = sqrtf(o2) + 0.0001f;
                o = {o.x / length, o.y / length, o.z / length};
                float e = (length - m) * 0.5f;
                other->vdamp.x += o.x * e;
                other->vdamp.y += o.y * e;
                current->vdamp.x -= o.x * e;
                current->vdamp.y -= o.y * e;
            }
        }
    }
    if (n > 0) *out_center = {out_center->x / (float)n, out_center->y / (float)n, out_center->z / (float)n};

    for (uint16_t i = 0; i < n; i++) {
        joint *j = &joints[i];
        j->translation[0] = j->position.x;
        j->translation[1] = j->position.y;
        j->translation[2] = j->position.z;
        if (j->parent_index < n) joints[j->parent_index].temp_count++;
    }

    // Each bone's swing since the last update is shared between the joint and its parent, the
    // parent taking one share per child.
    for (uint16_t i = 0; i < n; i++) {
        joint *current = &joints[i];
        if (current->parent_index >= n) continue;
        joint *parent = &joints[current->parent_index];
        vector u = joint_unit(joint_sub(current->position, parent->position));
        vector w = joint_unit(joint_sub(current->previous, parent->previous));
        vector axis = joint_unit(vector_cross(u, w));
        float cosine = vector_dot(u, w);
        // Rounding can put the cosine a hair outside [-1, 1].
        if (cosine > 1.0f) cosine = 1.0f;
        if (cosine < -1.0f) cosine = -1.0f;
        float angle = acosf(cosine);
        vector side = vector_cross(w, axis);
        if (vector_dot(side, u) < 0.0f) angle = -angle;
        // A turn about u x w by a positive angle carries u back onto w; the bone swung the other
        // way, from w to u, so the turn that follows it is the negative one.
        angle = -angle;
        float share = angle / (float)parent->temp_count;
        float rest = angle - share;
        joint_turn(current->temp, axis, rest);
        joint_turn(parent->temp, axis, share);
    }

    // A joint with bones of its own already turns with them (each swing is measured in world
    // space); an end joint has none, so it takes its parent's turn and follows the bone that leads
    // into it. Parents come before children.
    for (uint16_t i = 0; i < n; i++) {
        joint *j = &joints[i];
        if (j->parent_index < n && j->temp_count == 0) {
            joint *parent = &joints[j->parent_index];
            joint_quaternion_normalize(parent->temp);
            joint_quaternion_normalize(j->temp);
            quaternion_multiply_xyzw(parent->temp, j->temp, j->temp);
        }
        joint_quaternion_normalize(j->temp);
        // The turn is measured in world space, so it goes on the world side of the orientation.
        quaternion_multiply_xyzw(j->temp, j->quaternion, j->quaternion);
        joint_quaternion_normalize(j->quaternion);
    }
}

void joint_array_debug_draw(joint *j) {
    if (!j) return;
    uint16_t n = j[0].num_joint;
    glDisable(GL_TEXTURE_2D);
    for (uint16_t i = 0; i < n; i++) {
        if (j[i].parent_index < n) {
            const joint *parent = &j[j[i].parent_index];
            glColor4ubv(white);
            glBegin(GL_LINES);
            glVertex3f(j[i].position.x, j[i].position.y, j[i].position.z);
            glVertex3f(parent->position.x, parent->position.y, parent->position.z);
            glEnd();
        }
        display_sphere(yellow, j[i].position.x, j[i].position.y, j[i].position.z, j[i].radius, 8, 8);
    }
}

void joint_array_destroy(joint *j) { free(j); }

uint16_t joint_array_pose(const joint *j, float *pose, uint16_t max_joint) {
    if (!j || !pose) return 0;
    uint16_t n = j[0].num_joint;
    if (n > max_joint) return 0;
    for (uint16_t i = 0; i < n; i++) {
        for (int k = 0; k < 4; k++) pose[i * 7 + k] = j[i].quaternion[k];
        for (int k = 0; k < 3; k++) pose[i * 7 + 4 + k] = j[i].translation[k];
    }
    return n;
}
