// assetgen_paint.cpp — the looks of the object kinds' texture cells: wood, bark, leaves, metal, skin, cloth, flame
#include <cmath>

#include "assetgen_model.h"
#include "assetgen_objects.h"

static assetgen_colour rgb(float r, float g, float b) { return assetgen_rgb(r, g, b); }

// Grain running along t, the long direction of every face.
static float grain(float s, float t, uint32_t seed, float lines) {
    float wobble = assetgen_fbm(s * 2.0f, t * 1.5f, 3, 0, seed) * 2.5f;
    float v = sinf((s * lines + wobble) * 3.14159265f);
    return 0.5f + 0.5f * v;
}

// Soft-edged mask of a leaf: an ellipse along the direction (dx, dy) from (cx, cy).
static float leaf(float s, float t, float cx, float cy, float dx, float dy, float length, float width) {
    float px = s - cx, py = t - cy;
    float along = (px * dx + py * dy) / length, across = (-px * dy + py * dx) / width;
    return 1.0f - (along * along + across * across);
}

assetgen_colour assetgen_paint_texel(int paint, float s, float t, uint32_t seed, uint8_t lit, float *alpha) {
    *alpha = 1.0f;
    float n = assetgen_fbm(s * 4.0f, t * 4.0f, 3, 0, seed);
    float fine = assetgen_noise(s * 24.0f, t * 24.0f, 0, seed + 9u);
    switch (paint) {
        case AG_PAINT_WOOD: {
            float g = grain(s, t, seed, 5.0f);
            return assetgen_mix(rgb(196, 146, 88), rgb(150, 100, 54), g * 0.7f + fine * 0.2f);
        }
        case AG_PAINT_DARK_WOOD: {
            float g = grain(s, t, seed, 4.0f);
            return assetgen_mix(rgb(128, 84, 48), rgb(84, 52, 28), g * 0.7f + fine * 0.2f);
        }
        case AG_PAINT_BARK: {
            float ridges = assetgen_noise(s * 10.0f, t * 2.0f, 0, seed);
            float cracks = assetgen_smoothstep(0.35f, 0.2f, ridges);
            assetgen_colour c = assetgen_mix(rgb(118, 86, 58), rgb(88, 62, 40), n);
            return assetgen_mix(c, rgb(48, 32, 22), cracks * 0.8f);
        }
        case AG_PAINT_END_GRAIN: {
            float r = sqrtf((s - 0.5f) * (s - 0.5f) + (t - 0.5f) * (t - 0.5f)) * 2.0f;
            float rings = 0.5f + 0.5f * sinf((r * 9.0f + n * 1.5f) * 3.14159265f);
            assetgen_colour c = assetgen_mix(rgb(222, 182, 122), rgb(176, 128, 76), rings * 0.6f);
            if (r > 0.82f) c = rgb(96, 66, 42);  // the bark rim
            return c;
        }
        case AG_PAINT_FOLIAGE: {
            float cells, second;
            assetgen_cells(s * 7.0f, t * 7.0f, 0, seed, &cells, &second);
            float edge = assetgen_smoothstep(0.0f, 0.25f, second - cells);
            assetgen_colour c = assetgen_mix(rgb(46, 96, 40), rgb(86, 148, 58), n * 0.7f + (1.0f - cells) * 0.4f);
            return assetgen_mix(rgb(30, 62, 28), c, edge);
        }
        case AG_PAINT_LEAF_CARD:
        case AG_PAINT_SAPLING_CARD: {
            // Leaves scattered over the card; outside them the card is cut away.
            float best = -1.0f, shade = 0.0f;
            int count = paint == AG_PAINT_LEAF_CARD ? 16 : 5;
            assetgen_random random = {seed * 2654435761u + 17u};
            for (int i = 0; i < count; i++) {
                float cx, cy, angle, length;
                if (paint == AG_PAINT_LEAF_CARD) {
                    float a = assetgen_random_float(&random) * 6.2831853f, r = sqrtf(assetgen_random_float(&random)) * 0.33f;
                    cx = 0.5f + cosf(a) * r;
                    cy = 0.5f + sinf(a) * r;
                    angle = a + (assetgen_random_float(&random) - 0.5f) * 1.2f;
                    length = 0.13f + 0.05f * assetgen_random_float(&random);
                } else {
                    float h = (float)i / count;
                    cx = 0.5f + (i % 2 ? 0.12f : -0.12f) * (1.0f - h);
                    cy = 0.85f - h * 0.7f;
                    angle = (i % 2 ? 0.0f : 3.14159265f) - 1.57f * 0.5f * (i % 2 ? 1.0f : -1.0f);
                    length = 0.16f;
                }
                float dx = cosf(angle), dy = sinf(angle);
                float m = leaf(s, t, cx + dx * length * 0.8f, cy + dy * length * 0.8f, dx, dy, length, length * 0.45f);
                if (m > best) {
                    best = m;
                    shade = assetgen_random_float(&random) + (float)i * 0.0f;
                }
            }
            float stem = 0.0f;
            if (paint == AG_PAINT_SAPLING_CARD) stem = fabsf(s - 0.5f) < 0.025f && t > 0.15f ? 1.0f : 0.0f;
            if (best <= 0.0f && stem <= 0.0f) {
                *alpha = 0.0f;
                return rgb(60, 110, 40);
            }
            if (best <= 0.0f) return rgb(96, 70, 40);
            assetgen_colour c = assetgen_mix(rgb(52, 112, 36), rgb(118, 178, 64), shade * 0.6f + best * 0.4f);
            return assetgen_mix(rgb(34, 70, 26), c, assetgen_smoothstep(0.0f, 0.3f, best));
        }
        case AG_PAINT_METAL: {
            // Pale and even: the shiny overlay brings the metal's own colour.
            float brush = assetgen_noise(s * 2.0f, t * 40.0f, 0, seed);
            return assetgen_scale(rgb(150, 150, 154), 0.92f + 0.12f * brush + 0.06f * fine);
        }
        case AG_PAINT_IRON: {
            assetgen_colour c = assetgen_mix(rgb(78, 80, 88), rgb(56, 58, 64), n);
            float rx = fmodf(s * 4.0f, 1.0f) - 0.5f, ry = fmodf(t * 4.0f, 1.0f) - 0.5f;
            if (rx * rx + ry * ry < 0.03f) c = rgb(120, 122, 130);
            return c;
        }
        case AG_PAINT_ZOMBI_SKIN: {
            assetgen_colour c = assetgen_mix(rgb(132, 164, 108), rgb(96, 124, 84), n);
            float blotch = assetgen_smoothstep(0.55f, 0.7f, assetgen_fbm(s * 3.0f + 7.0f, t * 3.0f, 3, 0, seed + 3u));
            c = assetgen_mix(c, rgb(112, 96, 104), blotch * 0.6f);
            float vein = assetgen_smoothstep(0.04f, 0.0f, fabsf(assetgen_fbm(s * 5.0f, t * 5.0f, 2, 0, seed + 5u) - 0.5f));
            return assetgen_mix(c, rgb(70, 88, 90), vein * 0.5f);
        }
        case AG_PAINT_SKIN:
            return assetgen_mix(rgb(232, 186, 146), rgb(212, 160, 122), n);
        case AG_PAINT_GOBLIN_SKIN: {
            assetgen_colour c = assetgen_mix(rgb(124, 176, 64), rgb(88, 136, 46), n);
            return assetgen_mix(c, rgb(70, 100, 40), fine * 0.3f);
        }
        case AG_PAINT_SHIRT: {
            float weave = 0.5f + 0.25f * sinf(s * 60.0f) * sinf(t * 60.0f);
            return assetgen_scale(assetgen_mix(rgb(70, 104, 170), rgb(52, 80, 140), n), 0.9f + 0.2f * weave);
        }
        case AG_PAINT_RAGS: {
            float weave = 0.5f + 0.25f * sinf(s * 50.0f) * sinf(t * 50.0f);
            assetgen_colour c = assetgen_scale(assetgen_mix(rgb(124, 108, 84), rgb(92, 80, 62), n), 0.9f + 0.2f * weave);
            float stain = assetgen_smoothstep(0.6f, 0.72f, assetgen_fbm(s * 2.5f, t * 2.5f, 3, 0, seed + 11u));
            c = assetgen_mix(c, rgb(90, 52, 40), stain * 0.7f);
            float hole = assetgen_smoothstep(0.74f, 0.8f, assetgen_fbm(s * 3.0f + 3.0f, t * 3.0f, 3, 0, seed + 13u));
            return assetgen_mix(c, rgb(40, 34, 28), hole);
        }
        case AG_PAINT_TROUSERS: {
            float weave = 0.5f + 0.25f * sinf((s + t) * 70.0f);
            return assetgen_scale(assetgen_mix(rgb(72, 70, 96), rgb(54, 52, 72), n), 0.9f + 0.2f * weave);
        }
        case AG_PAINT_HAIR:
            return assetgen_mix(rgb(66, 44, 30), rgb(36, 24, 16), grain(s, t, seed, 12.0f));
        case AG_PAINT_EYE:
            return rgb(30, 30, 40);
        case AG_PAINT_GLOW_EYE:
            return assetgen_mix(rgb(255, 90, 40), rgb(255, 220, 120), fine * 0.5f);
        case AG_PAINT_ROPE:
        case AG_PAINT_FUSE: {
            float twist = 0.5f + 0.5f * sinf((s * 2.0f + t * 8.0f) * 6.2831853f);
            assetgen_colour base = paint == AG_PAINT_ROPE ? rgb(184, 152, 100) : rgb(110, 90, 66);
            return assetgen_scale(base, 0.7f + 0.35f * twist);
        }
        case AG_PAINT_CLAY:
            return assetgen_mix(rgb(190, 108, 66), rgb(158, 84, 50), n * 0.8f + fine * 0.2f);
        case AG_PAINT_FLAME_CARD: {
            // A flame tongue: wide at the bottom (t = 1), pointed at the top, hot in the middle.
            float h = 1.0f - t;
            float width = 0.42f * sqrtf(fmaxf(0.0f, 1.0f - h)) * (0.6f + 0.8f * h) * (1.0f - h * 0.9f);
            width *= 0.85f + 0.3f * assetgen_noise(t * 6.0f, 0.5f, 0, seed);
            float d = fabsf(s - 0.5f - 0.05f * sinf(h * 7.0f)) / fmaxf(width, 0.001f);
            if (d > 1.0f || h < 0.04f) {
                *alpha = 0.0f;
                return rgb(255, 140, 40);
            }
            float heat = (1.0f - d) * (1.0f - h * 0.6f);
            return assetgen_mix(rgb(230, 70, 20), assetgen_mix(rgb(255, 170, 40), rgb(255, 250, 200), heat), fminf(1.0f, heat * 1.8f));
        }
        case AG_PAINT_LEATHER: {
            assetgen_colour c = assetgen_mix(rgb(132, 84, 46), rgb(100, 60, 32), n);
            if (fabsf(s - 0.15f) < 0.02f && fmodf(t * 10.0f, 1.0f) < 0.5f) c = rgb(210, 190, 150);  // stitches
            return c;
        }
        case AG_PAINT_STONE:
            return assetgen_mix(rgb(134, 132, 126), rgb(100, 98, 94), n * 0.7f + fine * 0.3f);
        case AG_PAINT_BOMB: {
            if (lit) {
                float crack = assetgen_smoothstep(0.06f, 0.0f, fabsf(assetgen_fbm(s * 4.0f, t * 4.0f, 3, 0, seed + 3u) - 0.5f));
                return assetgen_mix(assetgen_mix(rgb(220, 60, 30), rgb(160, 30, 20), n), rgb(255, 230, 120), crack);
            }
            assetgen_colour c = assetgen_mix(rgb(58, 58, 66), rgb(36, 36, 42), n);
            if (fabsf(t - 0.5f) < 0.04f) c = rgb(96, 96, 104);  // the seam band
            return c;
        }
        case AG_PAINT_COAL: {
            assetgen_colour c = assetgen_mix(rgb(40, 38, 40), rgb(20, 20, 22), n);
            return fine > 0.8f ? rgb(84, 84, 94) : c;
        }
        case AG_PAINT_ORE: {
            assetgen_colour c = assetgen_mix(rgb(128, 118, 106), rgb(96, 88, 80), n);
            float rust = assetgen_smoothstep(0.6f, 0.75f, assetgen_fbm(s * 3.0f, t * 3.0f, 3, 0, seed + 21u));
            return assetgen_mix(c, rgb(140, 90, 60), rust * 0.5f);
        }
        case AG_PAINT_GREY:
            return assetgen_scale(rgb(132, 132, 132), 0.92f + 0.16f * n);
        case AG_PAINT_RED_CLOTH:
            return assetgen_mix(rgb(180, 44, 40), rgb(130, 30, 30), n);
        case AG_PAINT_PUFF:
            return assetgen_mix(rgb(210, 206, 200), rgb(170, 166, 160), n);
        case AG_PAINT_BOOTS:
            return assetgen_mix(rgb(72, 54, 40), rgb(48, 36, 26), n);
        case AG_PAINT_GOLD_TRIM:
            return assetgen_mix(rgb(232, 190, 70), rgb(190, 140, 40), n);
        case AG_PAINT_SOIL:
            return assetgen_mix(rgb(104, 78, 54), rgb(70, 52, 36), n * 0.7f + fine * 0.3f);
        case AG_PAINT_NOTCH:
            return assetgen_mix(rgb(226, 190, 130), rgb(190, 150, 96), grain(s, t, seed, 6.0f) * 0.6f);
        default:
            return rgb(128, 128, 128);
    }
}

assetgen_image assetgen_paint_texture(const ag_model *model, uint32_t seed, uint8_t lit) {
    assetgen_image image = assetgen_image_create(128, 128);
    for (int cell = 0; cell < AG_MAX_CELL; cell++) {
        int paint = cell < model->num_cell ? model->cell_paint[cell] : -1;
        int ox = (cell % 4) * 32, oy = (cell / 4) * 32;
        for (int y = 0; y < 32; y++) {
            for (int x = 0; x < 32; x++) {
                float alpha = 1.0f;
                // The cell's picture runs over its inner part; the rim repeats the edge so
                // filtering at the borders stays in the cell.
                float inset = 2.5f, span = 32.0f - 2.0f * inset;
                float s = assetgen_clamp((x + 0.5f - inset) / span, 0.0f, 0.999f);
                float t = assetgen_clamp((y + 0.5f - inset) / span, 0.0f, 0.999f);
                assetgen_colour c = paint < 0 ? assetgen_rgb(128, 128, 128)
                                              : assetgen_paint_texel(paint, s, t, seed + (uint32_t)paint * 31u, lit, &alpha);
                assetgen_image_set(&image, ox + x, oy + y, c, alpha);
            }
        }
    }
    return image;
}
