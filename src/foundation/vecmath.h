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
