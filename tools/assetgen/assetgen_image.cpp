// assetgen_image.cpp — picture buffers, the TGA writer, colour helpers, hashing and noise
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assetgen.h"

assetgen_image assetgen_image_create(int width, int height) {
    assetgen_image image;
    image.width = width;
    image.height = height;
    image.rgba = (uint8_t *)calloc((size_t)width * height * 4, 1);
    return image;
}

void assetgen_image_free(assetgen_image *image) {
    free(image->rgba);
    image->rgba = nullptr;
}

static uint8_t assetgen_byte(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return (uint8_t)(v + 0.5f);
}

void assetgen_image_set(assetgen_image *image, int x, int y, assetgen_colour colour, float alpha) {
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
    uint8_t *p = image->rgba + ((size_t)y * image->width + x) * 4;
    p[0] = assetgen_byte(colour.r);
    p[1] = assetgen_byte(colour.g);
    p[2] = assetgen_byte(colour.b);
    p[3] = assetgen_byte(alpha * 255.0f);
}

assetgen_colour assetgen_image_get(const assetgen_image *image, int x, int y) {
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x >= image->width) x = image->width - 1;
    if (y >= image->height) y = image->height - 1;
    const uint8_t *p = image->rgba + ((size_t)y * image->width + x) * 4;
    return assetgen_rgb(p[0], p[1], p[2]);
}

uint8_t assetgen_write_tga(const char *path, const assetgen_image *image, uint8_t with_alpha) {
    FILE *file = fopen(path, "wb");
    if (!file) {
        fprintf(stderr, "assetgen: cannot write %s\n", path);
        return 0;
    }
    uint8_t header[18];
    memset(header, 0, sizeof(header));
    header[2] = 2;  // uncompressed true colour
    // y-origin = height: rows are stored top to bottom and the loader keeps that
    // order; the descriptor's top-left bit says the same to other programs.
    header[10] = (uint8_t)(image->height & 255);
    header[11] = (uint8_t)(image->height >> 8);
    header[12] = (uint8_t)(image->width & 255);
    header[13] = (uint8_t)(image->width >> 8);
    header[14] = (uint8_t)(image->height & 255);
    header[15] = (uint8_t)(image->height >> 8);
    header[16] = with_alpha ? 32 : 24;
    header[17] = (uint8_t)(0x20 | (with_alpha ? 8 : 0));
    fwrite(header, 1, sizeof(header), file);
    int bytes = with_alpha ? 4 : 3;
    uint8_t *row = (uint8_t *)malloc((size_t)image->width * 4);
    for (int y = 0; y < image->height; y++) {
        const uint8_t *p = image->rgba + (size_t)y * image->width * 4;
        for (int x = 0; x < image->width; x++) {
            row[x * bytes + 0] = p[x * 4 + 2];
            row[x * bytes + 1] = p[x * 4 + 1];
            row[x * bytes + 2] = p[x * 4 + 0];
            if (with_alpha) row[x * bytes + 3] = p[x * 4 + 3];
        }
        fwrite(row, 1, (size_t)image->width * bytes, file);
    }
    free(row);
    uint8_t ok = ferror(file) ? 0 : 1;
    if (fclose(file) != 0) ok = 0;
    return ok;
}

uint32_t assetgen_hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x8da6b343u ^ b * 0xd8163841u ^ c * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float assetgen_hash_float(uint32_t a, uint32_t b, uint32_t c) {
    return (float)(assetgen_hash(a, b, c) >> 8) / 16777216.0f;
}

static int assetgen_wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

float assetgen_noise(float x, float y, int period, uint32_t seed) {
    int ix = (int)floorf(x), iy = (int)floorf(y);
    float fx = x - (float)ix, fy = y - (float)iy;
    float sx = fx * fx * (3.0f - 2.0f * fx), sy = fy * fy * (3.0f - 2.0f * fy);
    int x0 = assetgen_wrap(ix, period), x1 = assetgen_wrap(ix + 1, period);
    int y0 = assetgen_wrap(iy, period), y1 = assetgen_wrap(iy + 1, period);
    float a = assetgen_hash_float((uint32_t)x0, (uint32_t)y0, seed);
    float b = assetgen_hash_float((uint32_t)x1, (uint32_t)y0, seed);
    float c = assetgen_hash_float((uint32_t)x0, (uint32_t)y1, seed);
    float d = assetgen_hash_float((uint32_t)x1, (uint32_t)y1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float assetgen_fbm(float x, float y, int octaves, int period, uint32_t seed) {
    float total = 0.0f, amplitude = 0.5f, weight = 0.0f;
    for (int o = 0; o < octaves; o++) {
        total += assetgen_noise(x, y, period, seed + (uint32_t)o * 101u) * amplitude;
        weight += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        if (period > 0) period *= 2;
        amplitude *= 0.5f;
    }
    return total / weight;
}

void assetgen_cells(float x, float y, int period, uint32_t seed, float *nearest, float *second) {
    int ix = (int)floorf(x), iy = (int)floorf(y);
    float best = 1e9f, next = 1e9f;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            int cx = ix + dx, cy = iy + dy;
            uint32_t hx = (uint32_t)assetgen_wrap(cx, period), hy = (uint32_t)assetgen_wrap(cy, period);
            float px = (float)cx + assetgen_hash_float(hx, hy, seed);
            float py = (float)cy + assetgen_hash_float(hx, hy, seed + 7u);
            float d = sqrtf((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best) {
                next = best;
                best = d;
            } else if (d < next) {
                next = d;
            }
        }
    }
    *nearest = best;
    *second = next;
}

assetgen_colour assetgen_rgb(float r, float g, float b) {
    assetgen_colour c = {r, g, b};
    return c;
}

assetgen_colour assetgen_mix(assetgen_colour a, assetgen_colour b, float t) {
    return assetgen_rgb(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t);
}

assetgen_colour assetgen_scale(assetgen_colour a, float k) { return assetgen_rgb(a.r * k, a.g * k, a.b * k); }

float assetgen_clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

float assetgen_smoothstep(float e0, float e1, float x) {
    float t = assetgen_clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

uint32_t assetgen_random_next(assetgen_random *random) {
    // xorshift32; a zero state would stay zero, so it is nudged.
    uint32_t x = random->state ? random->state : 0x9e3779b9u;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    random->state = x;
    return x;
}

float assetgen_random_float(assetgen_random *random) {
    return (float)(assetgen_random_next(random) >> 8) / 16777216.0f;
}

float assetgen_random_signed(assetgen_random *random) { return assetgen_random_float(random) * 2.0f - 1.0f; }

void assetgen_path(char *out, int size, const char *folder, const char *relative) {
    snprintf(out, (size_t)size, "%s/%s", folder, relative);
}
