// assetgen_metal.cpp — ART/METAL00..99.TGA: shiny environment textures for every metal and alloy
#include <cmath>
#include <cstdio>

#include "assetgen.h"

// The base metals by index digit: 0 coal, 1 copper, 2 tin, 3 iron, 4 gold,
// 5 mithril; 6 to 9 are the smith's rarer stock (cobalt, verdigris, black
// iron, rose metal) that only appear inside alloys.
static const assetgen_colour metal_base[10] = {
    {52, 50, 54},    {214, 118, 72}, {196, 202, 210}, {142, 144, 152}, {250, 198, 72},
    {170, 222, 250}, {92, 112, 182}, {108, 172, 140}, {74, 66, 84},    {222, 150, 150},
};

// How a metal's surface looks: 0 smooth polish, 1 hammered dents, 2 brushed lines.
static int metal_finish(int a, int b) {
    if (a == 3 || b == 3) return 2;  // steels are brushed
    if (a == 1 || b == 1) return 1;  // copper work is hammered
    return 0;
}

static assetgen_colour metal_colour(int index) {
    if (index < 10) return metal_base[index];
    if (index == 21) return assetgen_rgb(200, 140, 66);  // bronze, warmer than a plain mix
    int a = index / 10, b = index % 10;
    assetgen_colour c = assetgen_mix(metal_base[a], metal_base[b], 0.5f);
    // Steel alloys take iron's grey sheen over the other metal.
    if (a == 3 || b == 3) c = assetgen_mix(c, assetgen_rgb(150, 156, 168), 0.3f);
    return c;
}

assetgen_image assetgen_metal_image(int index) {
    const int s = 64;
    assetgen_colour tint = metal_colour(index);
    int finish = index < 10 ? (index == 1 ? 1 : (index == 3 ? 2 : 0)) : metal_finish(index / 10, index % 10);
    uint32_t seed = 500u + (uint32_t)index;
    assetgen_image image = assetgen_image_create(s, s);
    for (int y = 0; y < s; y++) {
        for (int x = 0; x < s; x++) {
            // A mirrored sky-and-ground horizon wrapped round a sphere, with a hot
            // highlight: the look of polished metal when used as an environment map.
            float nx = (x + 0.5f) / s * 2.0f - 1.0f, ny = (y + 0.5f) / s * 2.0f - 1.0f;
            float r2 = fminf(nx * nx + ny * ny, 1.0f);
            float horizon = 0.5f + 0.5f * tanhf(-ny * 4.0f + 0.4f * nx);
            float v = 0.55f + 0.45f * horizon - 0.3f * r2;
            float highlight = expf(-((nx + 0.35f) * (nx + 0.35f) + (ny + 0.4f) * (ny + 0.4f)) / 0.05f);
            if (finish == 1) {
                float d1, d2;
                assetgen_cells(x / 9.0f, y / 9.0f, 8, seed, &d1, &d2);
                v *= 0.85f + 0.3f * d1;
            } else if (finish == 2) {
                v *= 0.9f + 0.2f * assetgen_noise(x / 16.0f, y * 1.5f, 0, seed);
            } else {
                v *= 0.95f + 0.1f * assetgen_fbm(x / 16.0f, y / 16.0f, 3, 4, seed);
            }
            assetgen_colour c = assetgen_scale(tint, v);
            c = assetgen_mix(c, assetgen_rgb(255, 255, 250), highlight * 0.75f);
            if (index == 5 || index / 10 == 5 || index % 10 == 5) {
                // Mithril shimmers with a faint rainbow.
                float hue = (nx + ny) * 3.0f;
                c = assetgen_mix(c, assetgen_rgb(180 + 60 * sinf(hue), 200 + 50 * sinf(hue + 2.1f), 240 + 15 * sinf(hue + 4.2f)),
                                 0.25f);
            }
            assetgen_image_set(&image, x, y, c, 1.0f);
        }
    }
    return image;
}

static uint8_t metal_write(const char *folder, int index) {
    assetgen_image image = assetgen_metal_image(index);
    char name[64], path[1024];
    snprintf(name, sizeof(name), "ART/METAL%02d.TGA", index);
    assetgen_path(path, sizeof(path), folder, name);
    uint8_t ok = assetgen_write_tga(path, &image, 0);
    assetgen_image_free(&image);
    return ok;
}

uint8_t assetgen_make_metals(const char *folder) {
    uint8_t ok = 1;
    for (int i = 0; i < 100; i++) ok &= metal_write(folder, i);
    return ok;
}
