// vecmath.cpp — the vector and quaternion helpers every module shares
#include <cmath>

#include "foundation/vecmath.h"

// Scratch length left by vector_normalize.
static float global_normal_length = 0.0f;

void vector_normalize(vector *v) {
    // The small bias keeps a zero vector from dividing by zero.
    global_normal_length = sqrtf(v->x * v->x + v->y * v->y + v->z * v->z + 0.00001f);
    v->x /= global_normal_length;
    v->y /= global_normal_length;
    v->z /= global_normal_length;
}

quaternion quaternion_multiply(const quaternion &a, const quaternion &b) {
    float pa[4] = {a.x, a.y, a.z, a.w}, pb[4] = {b.x, b.y, b.z, b.w}, r[4];
    quaternion_multiply_xyzw(pa, pb, r);
    return quaternion{r[0], r[1], r[2], r[3]};
}

vector quaternion_rotate(const quaternion &q, const vector &v) {
    float pq[4] = {q.x, q.y, q.z, q.w}, pv[3] = {v.x, v.y, v.z}, r[3];
    quaternion_rotate_xyzw(pq, pv, r);
    return vector{r[0], r[1], r[2]};
}
