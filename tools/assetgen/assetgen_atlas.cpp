// assetgen_atlas.cpp — ART/MATERIAL.TGA: the 16 x 16 terrain atlas of 64-pixel material tiles
#include <cmath>
#include <cstdio>

#include "assetgen.h"

#define ATLAS_TILE 64
#define ATLAS_SIZE 1024
#define ATLAS_PI 3.14159265f

// One tile painter: colour at pixel (x, y) of the tile (0 .. 64), for a variant
// or animation frame, with a seed unique to the tile.
typedef assetgen_colour (*atlas_painter)(float x, float y, int variant, uint32_t seed);

static float atlas_speckle(float x, float y, uint32_t seed) {
    return assetgen_hash_float((uint32_t)x, (uint32_t)y, seed) - 0.5f;
}

static assetgen_colour atlas_stone_base(float x, float y, uint32_t seed, assetgen_colour dark, assetgen_colour light) {
    // Natural rock: broad mottling, fine grain and a few thin, wandering cracks.
    float n = assetgen_fbm(x / 22.0f, y / 22.0f, 5, 0, seed);
    float grain = assetgen_noise(x / 2.0f, y / 2.0f, 0, seed + 1u) - 0.5f;
    assetgen_colour c = assetgen_mix(dark, light, assetgen_clamp(n * 1.3f - 0.15f, 0.0f, 1.0f));
    c = assetgen_scale(c, 1.0f + 0.12f * grain + 0.06f * atlas_speckle(x, y, seed));
    float ridge = fabsf(assetgen_fbm(x / 40.0f, y / 40.0f, 4, 0, seed + 3u) - 0.5f);
    float crack = 1.0f - assetgen_smoothstep(0.004f, 0.018f, ridge);
    float lit = (1.0f - assetgen_smoothstep(0.018f, 0.03f, ridge)) - crack;
    c = assetgen_mix(c, assetgen_scale(dark, 0.55f), crack * 0.8f);
    return assetgen_mix(c, assetgen_scale(light, 1.1f), assetgen_clamp(lit, 0.0f, 1.0f) * 0.3f);
}

static assetgen_colour paint_stone(float x, float y, int, uint32_t seed) {
    return atlas_stone_base(x, y, seed, assetgen_rgb(92, 94, 102), assetgen_rgb(150, 150, 156));
}

static assetgen_colour paint_mossy_stone(float x, float y, int v, uint32_t seed) {
    assetgen_colour c = paint_stone(x, y, v, seed);
    float moss = assetgen_smoothstep(0.5f, 0.62f, assetgen_fbm(x / 14.0f, y / 14.0f, 4, 0, seed + 9u));
    assetgen_colour green = assetgen_mix(assetgen_rgb(64, 98, 44), assetgen_rgb(96, 130, 58),
                                         assetgen_noise(x / 3.0f, y / 3.0f, 0, seed + 4u));
    return assetgen_mix(c, green, moss * 0.85f);
}

static assetgen_colour paint_grass(float x, float y, int, uint32_t seed) {
    float base = assetgen_fbm(x / 20.0f, y / 20.0f, 4, 0, seed);
    float blades = assetgen_noise(x / 1.3f, y / 5.0f, 0, seed + 1u);
    assetgen_colour c = assetgen_mix(assetgen_rgb(58, 112, 40), assetgen_rgb(104, 160, 58), base);
    c = assetgen_mix(c, assetgen_rgb(142, 186, 78), assetgen_smoothstep(0.66f, 0.9f, blades) * 0.6f);
    c = assetgen_scale(c, 0.9f + 0.2f * atlas_speckle(x, y, seed + 2u));
    // A few tiny flowers.
    int cx = (int)(x / 10.0f), cy = (int)(y / 10.0f);
    if (assetgen_hash_float((uint32_t)cx, (uint32_t)cy, seed + 5u) > 0.86f) {
        float fx = cx * 10.0f + 2.0f + 6.0f * assetgen_hash_float((uint32_t)cx, (uint32_t)cy, seed + 6u);
        float fy = cy * 10.0f + 2.0f + 6.0f * assetgen_hash_float((uint32_t)cx, (uint32_t)cy, seed + 7u);
        float d = sqrtf((x - fx) * (x - fx) + (y - fy) * (y - fy));
        assetgen_colour petal = assetgen_hash_float((uint32_t)cx, (uint32_t)cy, seed + 8u) > 0.5f
                                    ? assetgen_rgb(240, 220, 90)
                                    : assetgen_rgb(235, 235, 245);
        c = assetgen_mix(c, petal, 1.0f - assetgen_smoothstep(0.8f, 1.5f, d));
    }
    return c;
}

static assetgen_colour paint_dirt(float x, float y, int, uint32_t seed) {
    float n = assetgen_fbm(x / 16.0f, y / 16.0f, 5, 0, seed);
    assetgen_colour c = assetgen_mix(assetgen_rgb(98, 68, 44), assetgen_rgb(146, 104, 68), n);
    c = assetgen_scale(c, 0.9f + 0.22f * atlas_speckle(x, y, seed + 1u));
    float d1, d2;
    assetgen_cells(x / 9.0f, y / 9.0f, 0, seed + 2u, &d1, &d2);
    float pebble = (1.0f - assetgen_smoothstep(0.18f, 0.26f, d1)) *
                   (assetgen_hash_float((uint32_t)(x / 9.0f), (uint32_t)(y / 9.0f), seed + 3u) > 0.55f ? 1.0f : 0.0f);
    return assetgen_mix(c, assetgen_rgb(150, 136, 118), pebble * 0.8f);
}

static assetgen_colour paint_grass_edge(float x, float y, int v, uint32_t seed) {
    float t = assetgen_smoothstep(0.42f, 0.58f, assetgen_fbm(x / 12.0f, y / 12.0f, 4, 0, seed + 11u));
    return assetgen_mix(paint_dirt(x, y, v, seed), paint_grass(x, y, v, seed + 1u), t);
}

static assetgen_colour paint_sand(float x, float y, int, uint32_t seed) {
    float n = assetgen_fbm(x / 20.0f, y / 20.0f, 3, 0, seed);
    float ripple = 0.5f + 0.5f * sinf((y + 9.0f * assetgen_fbm(x / 24.0f, y / 24.0f, 2, 0, seed + 1u)) * 0.7f);
    assetgen_colour c = assetgen_mix(assetgen_rgb(206, 186, 130), assetgen_rgb(232, 216, 162), n);
    c = assetgen_scale(c, 0.94f + 0.06f * ripple + 0.14f * atlas_speckle(x, y, seed + 2u));
    return c;
}

static assetgen_colour paint_damp_sand(float x, float y, int v, uint32_t seed) {
    return assetgen_mix(paint_sand(x, y, v, seed), assetgen_rgb(150, 132, 96), 0.45f);
}

static assetgen_colour paint_swamp(float x, float y, int, uint32_t seed) {
    float n = assetgen_fbm(x / 14.0f, y / 14.0f, 4, 0, seed);
    assetgen_colour c = assetgen_mix(assetgen_rgb(58, 66, 34), assetgen_rgb(92, 100, 50), n);
    float pool = assetgen_smoothstep(0.56f, 0.62f, assetgen_fbm(x / 20.0f, y / 20.0f, 3, 0, seed + 5u));
    assetgen_colour water = assetgen_mix(assetgen_rgb(40, 62, 52), assetgen_rgb(70, 96, 80),
                                         assetgen_noise(x / 4.0f, y / 4.0f, 0, seed + 6u));
    c = assetgen_mix(c, water, pool);
    float algae = assetgen_smoothstep(0.75f, 0.85f, assetgen_noise(x / 2.0f, y / 2.0f, 0, seed + 7u));
    return assetgen_mix(c, assetgen_rgb(120, 150, 60), algae * 0.5f);
}

static assetgen_colour paint_swamp_edge(float x, float y, int v, uint32_t seed) {
    return assetgen_mix(paint_swamp(x, y, v, seed), paint_dirt(x, y, v, seed + 3u), 0.5f);
}

static assetgen_colour paint_clay(float x, float y, int, uint32_t seed) {
    float streak = assetgen_fbm(x / 30.0f, y / 6.0f, 3, 0, seed);
    assetgen_colour c = assetgen_mix(assetgen_rgb(140, 78, 52), assetgen_rgb(176, 110, 72), streak);
    return assetgen_scale(c, 0.93f + 0.12f * atlas_speckle(x, y, seed + 1u));
}

static assetgen_colour paint_loam(float x, float y, int v, uint32_t seed) {
    assetgen_colour c = assetgen_scale(paint_dirt(x, y, v, seed), 0.62f);
    float root = fabsf(assetgen_fbm(x / 18.0f, y / 18.0f, 3, 0, seed + 4u) - 0.5f);
    return assetgen_mix(c, assetgen_rgb(128, 100, 70), (1.0f - assetgen_smoothstep(0.0f, 0.02f, root)) * 0.7f);
}

static assetgen_colour paint_ore(float x, float y, uint32_t seed, assetgen_colour fleck, assetgen_colour shine) {
    assetgen_colour c = paint_stone(x, y, 0, seed);
    float d1, d2;
    assetgen_cells(x / 8.0f, y / 8.0f, 0, seed + 21u, &d1, &d2);
    float keep = assetgen_hash_float((uint32_t)floorf(x / 8.0f), (uint32_t)floorf(y / 8.0f), seed + 22u);
    if (keep > 0.45f) {
        float f = 1.0f - assetgen_smoothstep(0.16f + 0.1f * keep, 0.26f + 0.1f * keep, d1);
        c = assetgen_mix(c, fleck, f);
        c = assetgen_mix(c, shine, f * (1.0f - assetgen_smoothstep(0.0f, 0.1f, d1)) * 0.8f);
    }
    return c;
}

static assetgen_colour paint_coal(float x, float y, int, uint32_t s) {
    return paint_ore(x, y, s, assetgen_rgb(26, 26, 30), assetgen_rgb(90, 90, 100));
}
static assetgen_colour paint_copper_ore(float x, float y, int, uint32_t s) {
    return paint_ore(x, y, s, assetgen_rgb(196, 110, 58), assetgen_rgb(90, 190, 160));
}
static assetgen_colour paint_iron_ore(float x, float y, int, uint32_t s) {
    return paint_ore(x, y, s, assetgen_rgb(160, 82, 52), assetgen_rgb(220, 150, 120));
}
static assetgen_colour paint_gold_ore(float x, float y, int, uint32_t s) {
    return paint_ore(x, y, s, assetgen_rgb(236, 190, 50), assetgen_rgb(255, 250, 190));
}

// Cut stone in courses; variant shifts the joints so neighbouring blocks differ.
static assetgen_colour paint_bricks(float x, float y, int v, uint32_t seed, float width, float height,
                                    assetgen_colour face) {
    int row = (int)floorf(y / height);
    float shift = (row & 1) ? width * 0.5f : 0.0f;
    shift += (float)v * width * 0.25f;
    float bx = fmodf(x + shift + width * 4.0f, width), by = fmodf(y, height);
    float edge = fminf(fminf(bx, width - bx), fminf(by, height - by));
    float n = assetgen_fbm(x / 10.0f, y / 10.0f, 4, 0, seed);
    int brick = (int)floorf((x + shift) / width) * 31 + row;
    float tint = 0.88f + 0.2f * assetgen_hash_float((uint32_t)brick, (uint32_t)v, seed + 1u);
    assetgen_colour c = assetgen_scale(face, tint * (0.85f + 0.3f * n) + 0.08f * atlas_speckle(x, y, seed + 2u));
    // Bevel: light on the upper-left rim, shadow on the lower-right.
    if (edge < 3.0f && edge >= 1.5f) c = assetgen_scale(c, (bx < 3.0f || by < 3.0f) ? 1.15f : 0.78f);
    if (edge < 1.5f) c = assetgen_scale(face, 0.45f);
    return c;
}

static assetgen_colour paint_block(float x, float y, int v, uint32_t seed) {
    return paint_bricks(x, y, v, seed, 32.0f, 16.0f, assetgen_rgb(168, 162, 148));
}
static assetgen_colour paint_paver(float x, float y, int v, uint32_t seed) {
    return paint_bricks(x, y, v, seed, 32.0f, 32.0f, assetgen_rgb(150, 138, 120));
}

static assetgen_colour paint_gravel(float x, float y, int, uint32_t seed) {
    float d1, d2;
    assetgen_cells(x / 6.0f, y / 6.0f, 0, seed, &d1, &d2);
    float shade = assetgen_hash_float((uint32_t)(int)floorf(x / 6.0f + 0.5f * (d2 - d1)), (uint32_t)floorf(y / 6.0f),
                                      seed + 1u);
    assetgen_colour c = assetgen_mix(assetgen_rgb(104, 96, 86), assetgen_rgb(166, 156, 140), shade);
    float gap = assetgen_smoothstep(0.0f, 0.12f, d2 - d1);
    return assetgen_scale(c, 0.5f + 0.5f * gap + 0.1f * (0.5f - d1));
}

static assetgen_colour paint_embers(float x, float y, int, uint32_t seed) {
    float d1, d2;
    assetgen_cells(x / 12.0f, y / 12.0f, 0, seed, &d1, &d2);
    float crack = 1.0f - assetgen_smoothstep(0.0f, 0.1f, d2 - d1);
    assetgen_colour c = assetgen_mix(assetgen_rgb(40, 30, 26), assetgen_rgb(70, 52, 40),
                                     assetgen_fbm(x / 10.0f, y / 10.0f, 3, 0, seed + 1u));
    assetgen_colour glow = assetgen_mix(assetgen_rgb(230, 90, 20), assetgen_rgb(255, 210, 90), crack);
    return assetgen_mix(c, glow, crack);
}

static assetgen_colour paint_burning(float x, float y, int v, uint32_t seed) {
    assetgen_colour c = paint_embers(x, y, v, seed);
    float flame = assetgen_smoothstep(0.55f, 0.8f, assetgen_fbm(x / 9.0f, y / 5.0f, 3, 0, seed + 4u));
    return assetgen_mix(c, assetgen_rgb(255, 170, 50), flame * 0.7f);
}

static assetgen_colour paint_spikes(float x, float y, int, uint32_t seed) {
    float d1, d2;
    assetgen_cells(x / 10.0f, y / 10.0f, 0, seed, &d1, &d2);
    assetgen_colour c = assetgen_mix(assetgen_rgb(52, 50, 56), assetgen_rgb(130, 130, 142), 1.0f - d1 * 1.4f);
    return assetgen_mix(c, assetgen_rgb(220, 220, 230), (1.0f - assetgen_smoothstep(0.0f, 0.12f, d1)) * 0.8f);
}

static assetgen_colour paint_planks(float x, float y, int v, uint32_t seed) {
    int plank = (int)floorf(y / 16.0f);
    float by = fmodf(y, 16.0f);
    float grain = sinf((y + 4.0f * assetgen_fbm(x / 30.0f, y / 4.0f, 3, 0, seed + (uint32_t)plank)) * 2.2f);
    float tint = 0.9f + 0.2f * assetgen_hash_float((uint32_t)plank, (uint32_t)v, seed);
    assetgen_colour c = assetgen_scale(assetgen_rgb(152, 108, 62), tint * (0.9f + 0.08f * grain));
    if (by < 1.5f || by > 14.5f) c = assetgen_scale(c, 0.5f);
    return c;
}

static assetgen_colour paint_bark(float x, float y, int, uint32_t seed) {
    float ridge = assetgen_fbm(x / 3.5f, y / 22.0f, 4, 0, seed);
    assetgen_colour c = assetgen_mix(assetgen_rgb(74, 50, 32), assetgen_rgb(134, 98, 64), ridge);
    float crevice = 1.0f - assetgen_smoothstep(0.3f, 0.42f, ridge);
    return assetgen_scale(c, 1.0f - 0.45f * crevice + 0.08f * atlas_speckle(x, y, seed + 1u));
}

static assetgen_colour paint_leaves(float x, float y, int, uint32_t seed) {
    float d1, d2;
    assetgen_cells(x / 7.0f, y / 7.0f, 0, seed, &d1, &d2);
    float hue = assetgen_hash_float((uint32_t)floorf(x / 7.0f), (uint32_t)floorf(y / 7.0f), seed + 1u);
    assetgen_colour leaf = assetgen_mix(assetgen_rgb(44, 96, 36), assetgen_rgb(96, 148, 54), hue);
    leaf = assetgen_scale(leaf, 1.15f - 0.6f * d1);
    float gap = assetgen_smoothstep(0.0f, 0.08f, d2 - d1);
    return assetgen_mix(assetgen_rgb(22, 48, 22), leaf, gap);
}

static assetgen_colour paint_roof(float x, float y, int v, uint32_t seed) {
    int row = (int)floorf(y / 12.0f);
    float shift = (row & 1) ? 8.0f : 0.0f;
    float bx = fmodf(x + shift + (float)v * 4.0f + 64.0f, 16.0f), by = fmodf(y, 12.0f);
    // Rounded tile ends: the lower rim curves with the tile's width.
    float curve = 2.5f * sinf(bx / 16.0f * ATLAS_PI);
    float shade = 0.7f + 0.3f * assetgen_smoothstep(0.0f, 12.0f, 12.0f - by + curve);
    int tile = (int)floorf((x + shift) / 16.0f) * 17 + row;
    float tint = 0.85f + 0.25f * assetgen_hash_float((uint32_t)tile, (uint32_t)v, seed);
    assetgen_colour c = assetgen_scale(assetgen_rgb(170, 70, 50), tint * shade);
    if (bx < 1.0f || by > 11.0f - curve * 0.3f) c = assetgen_scale(c, 0.55f);
    return assetgen_scale(c, 0.95f + 0.1f * atlas_speckle(x, y, seed + 1u));
}

static assetgen_colour paint_crystal(float x, float y, int, uint32_t seed) {
    float d1, d2;
    assetgen_cells(x / 14.0f, y / 14.0f, 0, seed, &d1, &d2);
    float facet = assetgen_hash_float((uint32_t)(int)floorf(d1 * 8.0f), (uint32_t)floorf(x / 14.0f), seed + 1u);
    assetgen_colour c = assetgen_mix(assetgen_rgb(110, 200, 226), assetgen_rgb(170, 136, 232), facet);
    c = assetgen_scale(c, 0.75f + 0.5f * (1.0f - d1));
    float edge = 1.0f - assetgen_smoothstep(0.0f, 0.05f, d2 - d1);
    return assetgen_mix(c, assetgen_rgb(240, 250, 255), edge * 0.8f);
}

static assetgen_colour paint_grimstone(float x, float y, int, uint32_t seed) {
    assetgen_colour c = atlas_stone_base(x, y, seed, assetgen_rgb(46, 38, 56), assetgen_rgb(86, 74, 96));
    float vein = fabsf(assetgen_fbm(x / 20.0f, y / 20.0f, 4, 0, seed + 8u) - 0.5f);
    return assetgen_mix(c, assetgen_rgb(130, 200, 90), (1.0f - assetgen_smoothstep(0.0f, 0.025f, vein)) * 0.85f);
}

static assetgen_colour paint_snow(float x, float y, int, uint32_t seed) {
    float n = assetgen_fbm(x / 18.0f, y / 18.0f, 4, 0, seed);
    assetgen_colour c = assetgen_mix(assetgen_rgb(200, 212, 232), assetgen_rgb(246, 248, 252), n);
    if (assetgen_hash_float((uint32_t)x, (uint32_t)y, seed + 1u) > 0.985f) c = assetgen_rgb(255, 255, 255);
    return c;
}

static assetgen_colour paint_ice(float x, float y, int, uint32_t seed) {
    float d1, d2;
    assetgen_cells(x / 20.0f, y / 20.0f, 0, seed, &d1, &d2);
    assetgen_colour c = assetgen_mix(assetgen_rgb(150, 200, 228), assetgen_rgb(200, 232, 246),
                                     assetgen_fbm(x / 12.0f, y / 12.0f, 3, 0, seed + 1u));
    return assetgen_mix(c, assetgen_rgb(245, 250, 255), (1.0f - assetgen_smoothstep(0.0f, 0.05f, d2 - d1)) * 0.7f);
}

// Flowing surfaces: cellular caustics whose domain circles once over 16 frames,
// so frame 15 leads back into frame 0.
static float atlas_caustic(float x, float y, int frame, uint32_t seed, float scale) {
    float a = (float)frame / 16.0f * 2.0f * ATLAS_PI;
    float d1, d2, e1, e2;
    assetgen_cells(x / scale + 0.7f * cosf(a), y / scale + 0.7f * sinf(a), 0, seed, &d1, &d2);
    assetgen_cells(x / scale * 1.3f - 0.7f * sinf(a), y / scale * 1.3f + 0.7f * cosf(a), 0, seed + 1u, &e1, &e2);
    float line = (1.0f - assetgen_smoothstep(0.0f, 0.12f, d2 - d1)) + (1.0f - assetgen_smoothstep(0.0f, 0.12f, e2 - e1));
    return assetgen_clamp(line * 0.6f, 0.0f, 1.0f);
}

static assetgen_colour paint_water(float x, float y, int frame, uint32_t seed) {
    float depth = assetgen_fbm(x / 24.0f, y / 24.0f, 3, 0, seed);
    assetgen_colour c = assetgen_mix(assetgen_rgb(34, 92, 140), assetgen_rgb(60, 132, 170), depth);
    return assetgen_mix(c, assetgen_rgb(170, 220, 240), atlas_caustic(x, y, frame, seed + 2u, 18.0f) * 0.7f);
}

static assetgen_colour paint_lava(float x, float y, int frame, uint32_t seed) {
    float heat = assetgen_fbm(x / 16.0f, y / 16.0f, 4, 0, seed) * 0.6f + atlas_caustic(x, y, frame, seed + 3u, 16.0f) * 0.6f;
    assetgen_colour c = assetgen_mix(assetgen_rgb(150, 30, 8), assetgen_rgb(255, 130, 20), assetgen_clamp(heat, 0, 1));
    return assetgen_mix(c, assetgen_rgb(255, 236, 140), assetgen_smoothstep(0.75f, 1.0f, heat));
}

static assetgen_colour paint_magma(float x, float y, int, uint32_t seed) { return paint_lava(x, y, 0, seed); }

static assetgen_colour paint_bog_water(float x, float y, int frame, uint32_t seed) {
    float depth = assetgen_fbm(x / 20.0f, y / 20.0f, 3, 0, seed);
    assetgen_colour c = assetgen_mix(assetgen_rgb(46, 70, 52), assetgen_rgb(78, 100, 66), depth);
    return assetgen_mix(c, assetgen_rgb(150, 170, 120), atlas_caustic(x, y, frame, seed + 2u, 20.0f) * 0.45f);
}

static void atlas_paint_tile(assetgen_image *atlas, int tx, int ty, atlas_painter paint, int variant) {
    uint32_t seed = assetgen_hash((uint32_t)tx, (uint32_t)ty, 0xa71a5u);
    for (int y = 0; y < ATLAS_TILE; y++)
        for (int x = 0; x < ATLAS_TILE; x++)
            assetgen_image_set(atlas, tx * ATLAS_TILE + x, ty * ATLAS_TILE + y,
                               paint((float)x + 0.5f, (float)y + 0.5f, variant, seed), 1.0f);
}

static void atlas_paint_run(assetgen_image *atlas, int tx, int ty, int count, atlas_painter paint) {
    for (int v = 0; v < count && tx + v < 16; v++) atlas_paint_tile(atlas, tx + v, ty, paint, v);
}

// The distance fog that far terrain fades into: the sky's haze at the top
// (terrain above the eye) down to the sea mist at the bottom.
static void atlas_paint_fog(assetgen_image *atlas) {
    for (int y = 0; y < ATLAS_TILE; y++) {
        float t = (float)y / (ATLAS_TILE - 1);
        assetgen_colour c = assetgen_mix(assetgen_rgb(184, 206, 230), assetgen_rgb(150, 176, 196), t);
        for (int x = 0; x < ATLAS_TILE; x++) assetgen_image_set(atlas, 15 * ATLAS_TILE + x, 15 * ATLAS_TILE + y, c, 1.0f);
    }
}

uint8_t assetgen_make_atlas(const char *folder) {
    assetgen_image atlas = assetgen_image_create(ATLAS_SIZE, ATLAS_SIZE);
    // Tiles no material uses hold plain stone, so mipmaps blend into something calm.
    for (int ty = 0; ty < 16; ty++)
        for (int tx = 0; tx < 16; tx++) atlas_paint_tile(&atlas, tx, ty, paint_stone, 0);

    atlas_paint_run(&atlas, 0, 0, 2, paint_grass);         // 10 grass
    atlas_paint_run(&atlas, 0, 1, 2, paint_grass_edge);    // 11 grass edge
    atlas_paint_run(&atlas, 0, 2, 2, paint_dirt);          // 1 dirt
    atlas_paint_run(&atlas, 0, 3, 2, paint_damp_sand);     // 8 sand edge
    atlas_paint_run(&atlas, 0, 4, 2, paint_sand);          // 7 sand
    atlas_paint_run(&atlas, 12, 0, 4, paint_stone);        // 3 stone
    atlas_paint_run(&atlas, 10, 0, 2, paint_mossy_stone);  // 4 stone edge
    atlas_paint_run(&atlas, 6, 0, 2, paint_swamp);         // 20 swamp
    atlas_paint_run(&atlas, 8, 0, 2, paint_swamp_edge);    // 21 swamp edge
    atlas_paint_run(&atlas, 10, 1, 1, paint_clay);         // 23
    atlas_paint_run(&atlas, 11, 1, 1, paint_loam);         // 24
    atlas_paint_run(&atlas, 12, 1, 1, paint_coal);         // 22 ore
    atlas_paint_run(&atlas, 13, 1, 1, paint_copper_ore);   // 25 ore
    atlas_paint_run(&atlas, 14, 1, 1, paint_iron_ore);     // 26 ore
    atlas_paint_run(&atlas, 15, 1, 1, paint_gold_ore);     // 27 ore
    atlas_paint_run(&atlas, 12, 2, 4, paint_block);        // 5 block (and 37)
    atlas_paint_run(&atlas, 12, 3, 4, paint_paver);        // 6 paver
    atlas_paint_run(&atlas, 12, 4, 4, paint_gravel);       // 2
    atlas_paint_run(&atlas, 0, 5, 1, paint_burning);       // 28 burning
    atlas_paint_run(&atlas, 1, 5, 1, paint_spikes);        // 29 spikes
    atlas_paint_run(&atlas, 6, 2, 1, paint_snow);          // 35
    atlas_paint_run(&atlas, 8, 2, 1, paint_ice);           // 36
    atlas_paint_run(&atlas, 6, 1, 2, paint_planks);        // 30 wood
    atlas_paint_run(&atlas, 12, 5, 2, paint_bark);         // 31 bark
    atlas_paint_run(&atlas, 10, 5, 2, paint_leaves);       // 32 leaves
    atlas_paint_run(&atlas, 8, 5, 2, paint_roof);          // 38 roof
    atlas_paint_run(&atlas, 8, 1, 2, paint_grimstone);     // 33 grimstone
    atlas_paint_run(&atlas, 14, 5, 2, paint_crystal);      // 34 crystal
    atlas_paint_run(&atlas, 0, 8, 1, paint_magma);         // 12 glowing
    atlas_paint_run(&atlas, 0, 6, 1, paint_embers);        // 13 half glowing
    atlas_paint_run(&atlas, 0, 11, 16, paint_water);       // 14, 15, 16 animated water
    atlas_paint_run(&atlas, 0, 14, 16, paint_lava);        // 17 animated lava
    atlas_paint_run(&atlas, 0, 15, 15, paint_bog_water);   // 18 animated bog water
    atlas_paint_fog(&atlas);                               // tile (15, 15)

    char path[1024];
    assetgen_path(path, sizeof(path), folder, "ART/MATERIAL.TGA");
    uint8_t ok = assetgen_write_tga(path, &atlas, 0);
    assetgen_image_free(&atlas);
    return ok;
}
