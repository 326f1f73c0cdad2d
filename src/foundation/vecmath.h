// vecmath.h — the value types every layer shares: vectors, quaternions, colours and their helpers
#pragma once
#include <cstdint>

#define KESTROVA_PI 3.141593f

// World units: one block is 1.0 on every axis, z up.
struct vector {
    float x;
    float y;
    float z;
};

// Quaternion in the order x, y, z, w.
struct quaternion {
    float x;
    float y;
    float z;
    float w;
};

// Colours are four bytes (red, green, blue, alpha) passed by pointer.
inline constexpr uint8_t white[4] = {255, 255, 255, 255};
inline constexpr uint8_t grey[4] = {128, 128, 128, 255};
inline constexpr uint8_t red[4] = {255, 0, 0, 255};
inline constexpr uint8_t dark_red[4] = {128, 0, 0, 255};
inline constexpr uint8_t green[4] = {0, 255, 0, 255};
inline constexpr uint8_t blue[4] = {0, 0, 255, 255};
inline constexpr uint8_t dark_blue[4] = {0, 0, 128, 255};
inline constexpr uint8_t yellow[4] = {255, 255, 0, 255};
inline constexpr uint8_t brown[4] = {255, 192, 128, 255};
inline constexpr uint8_t magenta[4] = {255, 0, 255, 255};
inline constexpr uint8_t purple[4] = {128, 0, 255, 255};
inline constexpr uint8_t black[4] = {0, 0, 0, 255};
inline constexpr uint8_t z_plus_color[4] = {255, 255, 255, 255};
inline constexpr uint8_t z_minus_color[4] = {120, 120, 120, 255};
inline constexpr uint8_t y_plus_color[4] = {200, 200, 200, 255};
inline constexpr uint8_t y_minus_color[4] = {150, 150, 150, 255};
inline constexpr uint8_t x_plus_color[4] = {170, 170, 170, 255};
inline constexpr uint8_t x_minus_color[4] = {210, 210, 210, 255};


void vector_normalize(vector *v);
quaternion quaternion_multiply(const quaternion &a, const quaternion &b);
vector quaternion_rotate(const quaternion &q, const vector &v);

// Header-only so the asset generator, which links no game code, shares the very same sums. Each
// keeps its operation order: chunk bytes, poses and generated models depend on the rounding.
inline float vector_dot(const vector &a, const vector &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline vector vector_cross(const vector &a, const vector &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The same on packed floats (x, y, z), as models and generated meshes store them. out may be a or b.
inline float vector_dot_xyz(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline void vector_cross_xyz(const float *a, const float *b, float *out) {
    float x = a[1] * b[2] - a[2] * b[1], y = a[2] * b[0] - a[0] * b[2], z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

// Hamilton product of packed quaternions (x, y, z, w); out may be a or b.
inline void quaternion_multiply_xyzw(const float *a, const float *b, float *out) {
    float x = a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1];
    float y = a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0];
    float z = a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3];
    float w = a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = w;
}

// q (v, 0) q* with the plain conjugate; out may be v.
inline void quaternion_rotate_xyzw(const float *q, const float *v, float *out) {
    float p[4] = {v[0], v[1], v[2], 0.0f}, c[4] = {-q[0], -q[1], -q[2], q[3]}, t[4];
    quaternion_multiply_xyzw(q, p, t);
    quaternion_multiply_xyzw(t, c, t);
    out[0] = t[0];
    out[1] = t[1];
    out[2] = t[2];
}
