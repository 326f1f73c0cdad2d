// assetgen.h — the asset generator: pictures, TGA and Ogg writers, noise, synthesis and composition
#pragma once
#include <cstdint>

// An RGBA picture kept in the order the game's texture loader ends up with:
// row 0 is texture coordinate t = 0 (the top of an overlay picture).
struct assetgen_image {
    int width;
    int height;
    uint8_t *rgba;  // width * height * 4 bytes
};

struct assetgen_colour {
    float r, g, b;
};

assetgen_image assetgen_image_create(int width, int height);
void assetgen_image_free(assetgen_image *image);
void assetgen_image_set(assetgen_image *image, int x, int y, assetgen_colour colour, float alpha);
assetgen_colour assetgen_image_get(const assetgen_image *image, int x, int y);
// Writes an uncompressed TGA (24-bit, or 32-bit with alpha) with a zero x-origin and a
// nonzero y-origin, so the loader keeps the rows in file order. Returns 1 on success.
uint8_t assetgen_write_tga(const char *path, const assetgen_image *image, uint8_t with_alpha);

// Deterministic hashing and noise (no library random numbers, so the bytes never change).
uint32_t assetgen_hash(uint32_t a, uint32_t b, uint32_t c);
float assetgen_hash_float(uint32_t a, uint32_t b, uint32_t c);  // 0 .. 1
// Value noise on a lattice that repeats every period cells (period 0: no repeat), 0 .. 1.
float assetgen_noise(float x, float y, int period, uint32_t seed);
float assetgen_fbm(float x, float y, int octaves, int period, uint32_t seed);
// Distance to the nearest and second nearest cell point (cellular noise), in cells.
void assetgen_cells(float x, float y, int period, uint32_t seed, float *nearest, float *second);

assetgen_colour assetgen_rgb(float r, float g, float b);  // components 0 .. 255
assetgen_colour assetgen_mix(assetgen_colour a, assetgen_colour b, float t);
assetgen_colour assetgen_scale(assetgen_colour a, float k);
float assetgen_clamp(float v, float lo, float hi);
float assetgen_smoothstep(float e0, float e1, float x);

// A small deterministic random sequence for composition and synthesis.
struct assetgen_random {
    uint32_t state;
};
uint32_t assetgen_random_next(assetgen_random *random);
float assetgen_random_float(assetgen_random *random);  // 0 .. 1
float assetgen_random_signed(assetgen_random *random);  // -1 .. 1

// Encodes interleaved float samples (-1 .. 1) at 44100 Hz into an Ogg Vorbis file.
uint8_t assetgen_write_ogg(const char *path, const float *samples, uint32_t frames, int channels, float quality);

// Font rendering with FreeType; returns 0 when the font cannot be opened.
uint8_t assetgen_font_open(const char *path);
void assetgen_font_close(void);
// Coverage (0..1) of one character drawn with its baseline at (x, baseline_y),
// pixel height size and horizontal squeeze, added into the coverage map.
// Returns the pen advance in pixels; the glyph's ink box goes to ink unless it is null.
struct assetgen_ink_box {
    int left, right, top, bottom;
};
float assetgen_font_draw(float *coverage, int width, int height, uint32_t character, float size, float squeeze,
                         int x, int baseline_y, assetgen_ink_box *ink);
float assetgen_font_measure(uint32_t character, float size, float squeeze, int *ink_left, int *ink_right);

// Each producer writes its files under the game folder; 1 when all were written.
uint8_t assetgen_make_font(const char *folder);
uint8_t assetgen_make_title(const char *folder);
uint8_t assetgen_make_atlas(const char *folder);
uint8_t assetgen_make_light(const char *folder);
uint8_t assetgen_make_sky(const char *folder);
uint8_t assetgen_make_display_pieces(const char *folder);
uint8_t assetgen_make_metals(const char *folder);
uint8_t assetgen_make_sounds(const char *folder);
uint8_t assetgen_make_music(const char *folder);
// Every object kind's folder under OBJECT: model, textures, icon, template and recipe.
uint8_t assetgen_make_objects(const char *folder);
// A contact sheet of every object kind, its views and its icon, as a TGA at path.
uint8_t assetgen_make_sheet(const char *path);

// Pictures other producers reuse: the model shading environment and a metal's shine.
assetgen_image assetgen_shade_image(void);
assetgen_image assetgen_metal_image(int index);

// Joins folder and a relative path with '/' into out (size bytes).
void assetgen_path(char *out, int size, const char *folder, const char *relative);

// Synthesis helpers shared by the sound effects and the music.
#define ASSETGEN_RATE 44100
// Chamberlin state-variable filter; mode 0 low-pass, 1 band-pass, 2 high-pass.
struct assetgen_svf {
    float low, band;
};
float assetgen_svf_step(assetgen_svf *filter, float input, float cutoff, float damping, int mode);
// Scales samples so the loudest is peak, and rounds everything through a gentle soft clip.
void assetgen_normalize(float *samples, uint32_t count, float peak);
