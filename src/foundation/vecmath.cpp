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
    quaternion r;
    r.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
    r.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    r.y = a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x;
    r.z = a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w;
    return r;
}

vector quaternion_rotate(const quaternion &q, const vector &v) {
    quaternion p = {v.x, v.y, v.z, 0.0f};
    quaternion conjugate = {-q.x, -q.y, -q.z, q.w};
    quaternion r = quaternion_multiply(quaternion_multiply(q, p), conjugate);
    return vector{r.x, r.y, r.z};
}
