// assetgen_art.cpp — title, light ramp, sky box, sun and moon, backpack and the small display pieces
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assetgen.h"

#define ART_PI 3.14159265f

static uint8_t art_save(const char *folder, const char *name, assetgen_image *image, uint8_t with_alpha) {
    char path[1024];
    assetgen_path(path, sizeof(path), folder, name);
    uint8_t ok = assetgen_write_tga(path, image, with_alpha);
    assetgen_image_free(image);
    return ok;
}

// Grows a coverage map by radius (a cheap outline) into out.
static void art_dilate(const float *in, float *out, int width, int height, int radius) {
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; dy++)
                for (int dx = -radius; dx <= radius; dx++) {
                    if (dx * dx + dy * dy > radius * radius) continue;
                    int px = x + dx, py = y + dy;
                    if (px < 0 || py < 0 || px >= width || py >= height) continue;
                    if (in[py * width + px] > best) best = in[py * width + px];
                }
            out[y * width + x] = best;
        }
}

// Box blur, run three times for a soft glow.
static void art_blur(float *map, int width, int height, int radius) {
    float *tmp = (float *)malloc(sizeof(float) * width * height);
    for (int pass = 0; pass < 3; pass++) {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                float sum = 0.0f;
                for (int d = -radius; d <= radius; d++) {
                    int px = x + d < 0 ? 0 : (x + d >= width ? width - 1 : x + d);
                    sum += map[y * width + px];
                }
                tmp[y * width + x] = sum / (2 * radius + 1);
            }
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                float sum = 0.0f;
                for (int d = -radius; d <= radius; d++) {
                    int py = y + d < 0 ? 0 : (y + d >= height ? height - 1 : y + d);
                    sum += tmp[py * width + x];
                }
                map[y * width + x] = sum / (2 * radius + 1);
            }
    }
    free(tmp);
}

// The title: a round medallion with a dusk sky over dark hills, a glowing vault
// door in the rock, rising embers, and the name in gold.
uint8_t assetgen_make_title(const char *folder) {
    const int size = 512;
    const float centre = 256.0f;
    assetgen_image image = assetgen_image_create(size, size);

    float *text = (float *)calloc(size * size, sizeof(float));
    float *outline = (float *)calloc(size * size, sizeof(float));
    float *glow = (float *)calloc(size * size, sizeof(float));
    if (!assetgen_font_open(ASSETGEN_FONT_DIR "/DejaVuSerif-Bold.ttf")) {
        free(text);
        free(outline);
        free(glow);
        assetgen_image_free(&image);
        return 0;
    }
    const char *name = "Cindervault";
    float font_size = 72.0f, width = 0.0f;
    for (const char *c = name; *c; c++) {
        int l, r;
        width += assetgen_font_measure((uint32_t)*c, font_size, 0.92f, &l, &r);
    }
    float pen = centre - width * 0.5f;
    for (const char *c = name; *c; c++)
        pen += assetgen_font_draw(text, size, size, (uint32_t)*c, font_size, 0.92f, (int)pen, 214, nullptr);
    art_dilate(text, outline, size, size, 4);
    memcpy(glow, outline, sizeof(float) * size * size);
    art_blur(glow, size, size, 6);

    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float fx = (float)x + 0.5f, fy = (float)y + 0.5f;
            float d = sqrtf((fx - centre) * (fx - centre) + (fy - centre) * (fy - centre));
            if (d > 252.0f) {
                assetgen_image_set(&image, x, y, assetgen_rgb(0, 0, 0), 0.0f);
                continue;
            }
            // Dusk sky: violet at the top, ember orange at the horizon.
            float t = fy / 512.0f;
            assetgen_colour c = assetgen_mix(assetgen_rgb(34, 24, 70), assetgen_rgb(120, 60, 110), t * 1.3f);
            c = assetgen_mix(c, assetgen_rgb(236, 130, 60), assetgen_smoothstep(0.45f, 0.72f, t));
            if (t < 0.45f && assetgen_hash_float((uint32_t)x, (uint32_t)y, 77u) > 0.996f)
                c = assetgen_mix(c, assetgen_rgb(255, 255, 230), 0.8f * (1.0f - t / 0.45f));
            // Two ranges of hills, the far one hazy.
            float far = 360.0f - 70.0f * assetgen_fbm(fx / 90.0f, 3.0f, 4, 0, 11u);
            float near = 405.0f - 80.0f * assetgen_fbm(fx / 70.0f, 9.0f, 4, 0, 12u);
            if (fy > far) c = assetgen_mix(assetgen_rgb(84, 50, 80), assetgen_rgb(60, 36, 62), (fy - far) / 80.0f);
            if (fy > near) c = assetgen_rgb(28, 20, 34);
            // The vault: a stone arch with a glowing doorway, cut into the near hill.
            float ax = fabsf(fx - centre), ay = fy;
            float arch_top = 360.0f, arch_bottom = 470.0f;
            float door = (ay > arch_top + 30.0f) ? (ax < 34.0f ? 1.0f : 0.0f)
                                                 : ((ax * ax + (ay - arch_top - 30.0f) * (ay - arch_top - 30.0f)) < 34.0f * 34.0f ? 1.0f : 0.0f);
            float frame = (ay > arch_top + 30.0f) ? (ax < 52.0f ? 1.0f : 0.0f)
                                                  : ((ax * ax + (ay - arch_top - 30.0f) * (ay - arch_top - 30.0f)) < 52.0f * 52.0f ? 1.0f : 0.0f);
            if (ay < arch_bottom && frame > 0.0f) {
                float block = assetgen_hash_float((uint32_t)(fx / 14.0f), (uint32_t)(fy / 10.0f), 13u);
                c = assetgen_mix(assetgen_rgb(66, 58, 64), assetgen_rgb(96, 86, 90), block);
                if (fmodf(fy, 10.0f) < 1.5f || fmodf(fx + ((int)(fy / 10.0f) & 1) * 7.0f, 14.0f) < 1.5f)
                    c = assetgen_rgb(36, 30, 36);
            }
            if (ay < arch_bottom && door > 0.0f) {
                float heat = 1.0f - assetgen_clamp((arch_bottom - ay) / 140.0f, 0.0f, 1.0f);
                c = assetgen_mix(assetgen_rgb(255, 120, 30), assetgen_rgb(255, 226, 140), heat);
            }
            // Warm light spilling from the door.
            float spill = expf(-((fx - centre) * (fx - centre) + (fy - 450.0f) * (fy - 450.0f)) / (2.0f * 70.0f * 70.0f));
            c = assetgen_mix(c, assetgen_rgb(255, 150, 60), spill * 0.35f);
            // Embers drifting up from the vault.
            for (int e = 0; e < 40; e++) {
                float ex = centre + 170.0f * (assetgen_hash_float((uint32_t)e, 1u, 21u) - 0.5f) *
                                        (1.0f + assetgen_hash_float((uint32_t)e, 3u, 21u));
                float ey = 440.0f - 300.0f * assetgen_hash_float((uint32_t)e, 2u, 21u);
                float er = 1.2f + 2.0f * assetgen_hash_float((uint32_t)e, 4u, 21u);
                float ed = sqrtf((fx - ex) * (fx - ex) + (fy - ey) * (fy - ey));
                if (ed < er * 4.0f) c = assetgen_mix(c, assetgen_rgb(255, 190, 80), expf(-ed * ed / (er * er)));
            }
            // The name: dark outline, orange glow, gold letters.
            int i = y * size + x;
            c = assetgen_mix(c, assetgen_rgb(255, 140, 40), assetgen_clamp(glow[i] * 0.9f, 0.0f, 0.8f));
            c = assetgen_mix(c, assetgen_rgb(40, 18, 8), outline[i]);
            float gold = assetgen_clamp((fy - 150.0f) / 70.0f, 0.0f, 1.0f);
            c = assetgen_mix(c, assetgen_mix(assetgen_rgb(255, 240, 170), assetgen_rgb(226, 128, 36), gold), text[i]);
            // Bronze rim.
            if (d > 238.0f) {
                float bevel = 0.7f + 0.5f * ((centre - fy) / d) * (d > 245.0f ? 1.0f : -1.0f);
                c = assetgen_scale(assetgen_rgb(170, 110, 56), bevel);
            }
            float alpha = 1.0f - assetgen_smoothstep(250.0f, 252.0f, d);
            assetgen_image_set(&image, x, y, assetgen_scale(c, alpha), alpha);
        }
    }
    free(text);
    free(outline);
    free(glow);
    return art_save(folder, "ART/TITLE.TGA", &image, 1);
}

// The shading ramp the terrain multiplies by (times two): t is the light value,
// dark at the bottom, a distinct outline darkness at 0.35, slightly over-bright
// in full sun. Shadows lean blue, sunlight leans warm. s is not used.
uint8_t assetgen_make_light(const char *folder) {
    assetgen_image image = assetgen_image_create(16, 256);
    static const float points[][2] = {{0.0f, 0.08f},  {0.2f, 0.12f},  {0.36f, 0.2f}, {0.45f, 0.52f},
                                      {0.55f, 0.84f}, {0.75f, 1.04f}, {1.0f, 1.24f}};
    for (int y = 0; y < 256; y++) {
        float t = ((float)y + 0.5f) / 256.0f;
        float m = points[6][1];
        for (int k = 0; k < 6; k++) {
            if (t <= points[k + 1][0]) {
                float f = (t - points[k][0]) / (points[k + 1][0] - points[k][0]);
                f = f * f * (3.0f - 2.0f * f);
                m = points[k][1] + (points[k + 1][1] - points[k][1]) * f;
                break;
            }
        }
        float warmth = assetgen_clamp((t - 0.5f) * 2.0f, -1.0f, 1.0f);
        assetgen_colour c = assetgen_rgb(128.0f * m * (1.0f + 0.05f * warmth), 128.0f * m,
                                         128.0f * m * (1.0f - 0.05f * warmth));
        for (int x = 0; x < 16; x++) assetgen_image_set(&image, x, y, c, 1.0f);
    }
    return art_save(folder, "ART/LIGHT.TGA", &image, 0);
}

// Sky colours shared by the sides, the top and the fog tile of the atlas.
static const assetgen_colour sky_upper = {92, 146, 218};
static const assetgen_colour sky_zenith = {56, 104, 196};
static const assetgen_colour sky_horizon = {188, 210, 234};
static const assetgen_colour sea_horizon = {140, 172, 196};
static const assetgen_colour sea_deep = {22, 58, 96};

uint8_t assetgen_make_sky(const char *folder) {
    uint8_t ok = 1;
    // Sides: the upper half is sky from about 30 degrees up to the horizon at
    // the middle row, the lower half the sea. The picture repeats left to right,
    // because the four walls meet edge to edge.
    {
        const int w = 512, h = 512;
        assetgen_image image = assetgen_image_create(w, h);
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                float u = (float)x / w * 16.0f;
                assetgen_colour c;
                if (y < h / 2) {
                    float t = (float)y / (h / 2);
                    c = assetgen_mix(sky_upper, sky_horizon, powf(t, 2.2f));
                    float cloud = assetgen_fbm(u, (float)y / 22.0f, 5, 16, 301u);
                    float band = assetgen_smoothstep(0.15f, 0.55f, t) * (1.0f - assetgen_smoothstep(0.85f, 0.97f, t));
                    float amount = assetgen_smoothstep(0.5f, 0.72f, cloud) * band;
                    assetgen_colour cloud_colour = assetgen_mix(assetgen_rgb(250, 250, 252), assetgen_rgb(196, 204, 220),
                                                                assetgen_smoothstep(0.6f, 0.8f, cloud));
                    c = assetgen_mix(c, cloud_colour, amount * 0.9f);
                    // Far islands on the horizon, in haze.
                    float ridge = (float)(h / 2) - 4.0f - 22.0f * assetgen_fbm(u * 0.5f, 5.0f, 4, 8, 302u) *
                                                          assetgen_smoothstep(0.35f, 0.6f, assetgen_fbm(u * 0.25f, 2.0f, 2, 4, 303u));
                    if ((float)y > ridge) c = assetgen_mix(c, assetgen_rgb(110, 140, 150), 0.55f);
                } else {
                    float t = (float)(y - h / 2) / (h / 2);
                    c = assetgen_mix(sea_horizon, sea_deep, powf(t, 0.6f));
                    float glint = assetgen_noise(u * 2.0f, (float)y / 1.5f, 32, 304u);
                    c = assetgen_mix(c, assetgen_rgb(220, 236, 246), assetgen_smoothstep(0.8f, 0.95f, glint) * (1.0f - t) * 0.5f);
                }
                assetgen_image_set(&image, x, y, c, 1.0f);
            }
        }
        ok &= art_save(folder, "ART/BACKDROP.TGA", &image, 0);
    }
    // Top: from the zenith out to the sides' upper colour at the square's edge.
    {
        const int s = 256;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                float dx = fabsf((x + 0.5f) / s * 2.0f - 1.0f), dy = fabsf((y + 0.5f) / s * 2.0f - 1.0f);
                float d = fmaxf(dx, dy);
                assetgen_colour c = assetgen_mix(sky_zenith, sky_upper, assetgen_smoothstep(0.0f, 1.0f, d));
                float wisp = assetgen_fbm((float)x / 40.0f, (float)y / 90.0f, 4, 0, 305u);
                c = assetgen_mix(c, assetgen_rgb(236, 240, 250), assetgen_smoothstep(0.6f, 0.8f, wisp) * 0.5f * (1.0f - d));
                assetgen_image_set(&image, x, y, c, 1.0f);
            }
        ok &= art_save(folder, "ART/UPDROP.TGA", &image, 0);
    }
    // Bottom: the deep sea the sides' lower half ends in.
    {
        const int s = 128;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++)
                assetgen_image_set(&image, x, y,
                                   assetgen_scale(sea_deep, 0.95f + 0.1f * assetgen_fbm(x / 16.0f, y / 16.0f, 3, 8, 306u)), 1.0f);
        ok &= art_save(folder, "ART/DOWNDROP.TGA", &image, 0);
    }
    // Under water: murky green-blue with faint light ripples; it repeats on every face.
    {
        const int s = 256;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                float d1, d2;
                assetgen_cells(x / 32.0f, y / 32.0f, 8, 307u, &d1, &d2);
                float ripple = 1.0f - assetgen_smoothstep(0.0f, 0.1f, d2 - d1);
                assetgen_colour c = assetgen_mix(assetgen_rgb(18, 62, 78), assetgen_rgb(34, 96, 104),
                                                 assetgen_fbm(x / 32.0f, y / 32.0f, 4, 8, 308u));
                assetgen_image_set(&image, x, y, assetgen_mix(c, assetgen_rgb(90, 170, 170), ripple * 0.35f), 1.0f);
            }
        ok &= art_save(folder, "ART/SUBDROP.TGA", &image, 0);
    }
    // Sun: a white-gold disc in a soft halo, transparent outside.
    {
        const int s = 128;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                float d = sqrtf((x + 0.5f - 64) * (x + 0.5f - 64) + (y + 0.5f - 64) * (y + 0.5f - 64));
                float disc = 1.0f - assetgen_smoothstep(20.0f, 23.0f, d);
                float halo = expf(-(d - 20.0f) * (d - 20.0f) / (2.0f * 14.0f * 14.0f)) * (1.0f - assetgen_smoothstep(50.0f, 63.0f, d));
                assetgen_colour c = assetgen_mix(assetgen_rgb(255, 200, 90), assetgen_rgb(255, 252, 230), disc);
                assetgen_image_set(&image, x, y, c, fmaxf(disc, d > 20.0f ? halo * 0.8f : 1.0f));
            }
        ok &= art_save(folder, "ART/SUN.TGA", &image, 1);
    }
    // Moon: a pale cratered disc with a faint glow.
    {
        const int s = 128;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                float px = x + 0.5f - 64, py = y + 0.5f - 64;
                float d = sqrtf(px * px + py * py);
                float disc = 1.0f - assetgen_smoothstep(34.0f, 36.0f, d);
                float d1, d2;
                assetgen_cells(x / 14.0f, y / 14.0f, 0, 309u, &d1, &d2);
                float crater = (1.0f - assetgen_smoothstep(0.2f, 0.35f, d1)) * 0.25f;
                float mare = assetgen_smoothstep(0.5f, 0.7f, assetgen_fbm(x / 24.0f, y / 24.0f, 4, 0, 310u)) * 0.25f;
                float limb = 1.0f - 0.3f * powf(assetgen_clamp(d / 36.0f, 0.0f, 1.0f), 3.0f);
                assetgen_colour c = assetgen_scale(assetgen_rgb(226, 230, 240), limb * (1.0f - crater - mare));
                float glow = expf(-(d - 34.0f) * (d - 34.0f) / (2.0f * 8.0f * 8.0f)) * 0.4f;
                assetgen_image_set(&image, x, y, c, d < 34.0f ? 1.0f : fmaxf(disc, glow));
            }
        ok &= art_save(folder, "ART/MOON.TGA", &image, 1);
    }
    return ok;
}

// Rounded-rectangle distance: negative inside.
static float art_round_box(float x, float y, float half_w, float half_h, float radius) {
    float qx = fabsf(x) - half_w + radius, qy = fabsf(y) - half_h + radius;
    float ox = fmaxf(qx, 0.0f), oy = fmaxf(qy, 0.0f);
    return sqrtf(ox * ox + oy * oy) + fminf(fmaxf(qx, qy), 0.0f) - radius;
}

// The backpack: a leather pack drawn over 300 x 300 overlay units, with the
// inventory board of 7 x 6 round pockets where the inventory puts items:
// column c, row r at (40c - 120, 40r - 120), the even columns 15 lower.
static void art_backpack(const char *folder, uint8_t *ok) {
    const int s = 512;
    const float units = 300.0f / s;
    assetgen_image image = assetgen_image_create(s, s);
    for (int y = 0; y < s; y++) {
        for (int x = 0; x < s; x++) {
            float ux = (x + 0.5f) * units - 150.0f, uy = (y + 0.5f) * units - 150.0f;
            float body = art_round_box(ux, uy, 149.0f, 149.0f, 22.0f);
            float strap_l = art_round_box(ux + 96.0f, uy - 141.0f, 9.0f, 8.0f, 3.0f);
            float strap_r = art_round_box(ux - 96.0f, uy - 141.0f, 9.0f, 8.0f, 3.0f);
            float inside = body;
            if (inside > 0.0f) {
                assetgen_image_set(&image, x, y, assetgen_rgb(0, 0, 0), 0.0f);
                continue;
            }
            float grain = assetgen_fbm(ux / 9.0f, uy / 9.0f, 4, 0, 401u);
            assetgen_colour leather = assetgen_mix(assetgen_rgb(104, 64, 36), assetgen_rgb(142, 92, 52), grain);
            leather = assetgen_scale(leather, 0.92f + 0.12f * (assetgen_hash_float((uint32_t)x, (uint32_t)y, 402u) - 0.5f));
            // Darker rim and a stitched seam along the outline.
            if (inside > -4.0f) leather = assetgen_scale(leather, 0.7f);
            if (inside > -7.0f && inside < -5.5f && fmodf(ux + uy + 300.0f, 8.0f) < 4.0f)
                leather = assetgen_rgb(214, 190, 140);
            // The board: a darker inset panel round the pockets, reaching a little lower for
            // the even columns' pockets, which sit 15 units down.
            float board = art_round_box(ux, uy - 2.0f, 141.0f, 139.0f, 10.0f);
            assetgen_colour c = leather;
            if (board < 0.0f) {
                c = assetgen_scale(leather, 0.72f);
                if (board > -3.0f) c = assetgen_scale(leather, 0.5f);
                for (int column = 0; column < 7; column++)
                    for (int row = 0; row < 6; row++) {
                        float cx = 40.0f * column - 120.0f, cy = 40.0f * row - 120.0f + ((column & 1) ? 0.0f : 15.0f);
                        float d = sqrtf((ux - cx) * (ux - cx) + (uy - cy) * (uy - cy));
                        if (d < 17.0f) {
                            // A sunken pocket: shadowed at the top, lit at the bottom.
                            float rim = (uy - cy) / 17.0f;
                            c = assetgen_scale(leather, 0.42f + 0.12f * rim);
                            if (d > 15.0f) c = assetgen_scale(leather, 0.9f + 0.25f * rim);
                        }
                    }
            }
            // Brass buckles on the straps at the bottom.
            if (fminf(strap_l, strap_r) < 0.0f) c = assetgen_rgb(200, 160, 70);
            assetgen_image_set(&image, x, y, c, 1.0f);
        }
    }
    *ok &= art_save(folder, "ART/BACKPACK.TGA", &image, 1);
}

// Environment shading for models: a lit sphere seen from the front, whose
// mean is mid-grey so the doubled blend keeps the texture's brightness.
assetgen_image assetgen_shade_image(void) {
    const int s = 128;
    float values[128 * 128];
    double total = 0.0;
    for (int y = 0; y < s; y++)
        for (int x = 0; x < s; x++) {
            float nx = (x + 0.5f) / s * 2.0f - 1.0f, ny = (y + 0.5f) / s * 2.0f - 1.0f;
            float r2 = fminf(nx * nx + ny * ny, 1.0f);
            float nz = sqrtf(1.0f - r2);
            float lx = -0.5f, ly = -0.6f, lz = 0.62f;
            float diffuse = fmaxf(0.0f, nx * lx + ny * ly + nz * lz);
            float specular = powf(fmaxf(0.0f, diffuse), 24.0f);
            float v = 0.45f + 0.6f * diffuse + 0.5f * specular - 0.25f * r2;
            values[y * s + x] = v;
            total += v;
        }
    float scale = 128.0f / (float)(total / (s * s));
    assetgen_image image = assetgen_image_create(s, s);
    for (int y = 0; y < s; y++)
        for (int x = 0; x < s; x++) {
            float v = values[y * s + x] * scale;
            assetgen_image_set(&image, x, y, assetgen_rgb(v, v, v * 1.02f), 1.0f);
        }
    return image;
}

uint8_t assetgen_make_display_pieces(const char *folder) {
    uint8_t ok = 1;
    art_backpack(folder, &ok);
    {
        assetgen_image image = assetgen_shade_image();
        ok &= art_save(folder, "ART/SHADE.TGA", &image, 0);
    }
    // Selection: a soft golden ring.
    {
        const int s = 64;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                float d = sqrtf((x + 0.5f - 32) * (x + 0.5f - 32) + (y + 0.5f - 32) * (y + 0.5f - 32));
                float ring = expf(-(d - 26.0f) * (d - 26.0f) / (2.0f * 2.2f * 2.2f));
                float fill = 0.18f * (1.0f - assetgen_smoothstep(20.0f, 26.0f, d));
                assetgen_image_set(&image, x, y, assetgen_mix(assetgen_rgb(255, 210, 90), assetgen_rgb(255, 250, 220), ring),
                                   fmaxf(ring, fill));
            }
        ok &= art_save(folder, "ART/SELECT.TGA", &image, 1);
    }
    // Crosshair: four white ticks with a dark rim around an open centre.
    {
        const int s = 32;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                float px = fabsf(x + 0.5f - 16), py = fabsf(y + 0.5f - 16);
                uint8_t white = (px < 1.6f && py > 4.0f && py < 14.0f) || (py < 1.6f && px > 4.0f && px < 14.0f);
                uint8_t rim = (px < 3.2f && py > 2.5f && py < 15.5f) || (py < 3.2f && px > 2.5f && px < 15.5f);
                if (white)
                    assetgen_image_set(&image, x, y, assetgen_rgb(255, 255, 255), 1.0f);
                else if (rim)
                    assetgen_image_set(&image, x, y, assetgen_rgb(20, 20, 20), 1.0f);
                else
                    assetgen_image_set(&image, x, y, assetgen_rgb(255, 255, 255), 0.0f);
            }
        ok &= art_save(folder, "ART/CROSS.TGA", &image, 1);
    }
    // Pitch notch: a small chevron pointing up (drawn turned over above the crosshair).
    {
        const int s = 32;
        assetgen_image image = assetgen_image_create(s, s);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                float px = fabsf(x + 0.5f - 16), py = y + 0.5f;
                float line = fabsf(py - (10.0f + px * 0.8f));
                uint8_t inside = px < 12.0f;
                if (inside && line < 2.0f)
                    assetgen_image_set(&image, x, y, assetgen_rgb(255, 255, 255), 1.0f);
                else if (inside && line < 3.6f)
                    assetgen_image_set(&image, x, y, assetgen_rgb(20, 20, 20), 1.0f);
                else
                    assetgen_image_set(&image, x, y, assetgen_rgb(255, 255, 255), 0.0f);
            }
        ok &= art_save(folder, "ART/NOTCH.TGA", &image, 1);
    }
    return ok;
}
