// voxel_file.cpp — the encoding of one voxel record in a chunk file: runs as their data word,
// single blocks with normal, light and fluid
#include <cmath>
#include <cstring>

#include "foundation/platform.h"
#include "terrain/voxel.h"

// Little-endian values read and written byte by byte through the stream's buffer. The chunk
// reader and writer hold the stream's lock for the whole file, so the unlocked calls are safe
// and a chunk of tens of thousands of values costs no lock per value. A value cut short by the
// end of the file reads as 0, as with the binary file helpers.
#define voxel_file_getc platform_getc_unlocked
#define voxel_file_putc platform_putc_unlocked

static inline void voxel_file_write_byte(FILE *file, uint8_t value) { voxel_file_putc(value, file); }

static inline void voxel_file_write_short(FILE *file, uint16_t value) {
    voxel_file_putc(value & 255, file);
    voxel_file_putc(value >> 8, file);
}

static inline void voxel_file_write_float(FILE *file, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; i++) voxel_file_putc((int)((bits >> (8 * i)) & 255), file);
}

static inline uint8_t voxel_file_read_byte(FILE *file) {
    int c = voxel_file_getc(file);
    return c == EOF ? 0 : (uint8_t)c;
}

static inline uint16_t voxel_file_read_short(FILE *file) {
    int low = voxel_file_getc(file);
    if (low == EOF) return 0;
    int high = voxel_file_getc(file);
    if (high == EOF) return 0;
    return (uint16_t)(low | (high << 8));
}

static inline float voxel_file_read_float(FILE *file) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; i++) {
        int c = voxel_file_getc(file);
        if (c == EOF) return 0.0f;
        bits |= (uint32_t)c << (8 * i);
    }
    float value;
    memcpy(&value, &bits, 4);
    return value;
}

// (1 + n)·100 truncated toward zero; a unit normal gives 0..200. Anything else is clamped so
// the conversion to a byte stays defined.
static uint8_t voxel_normal_byte(float n) {
    float value = (1.0f + n) * 100.0f;
    if (!(value > 0.0f)) return 0;
    if (value > 255.0f) return 255;
    return (uint8_t)value;
}

// The file keeps a normal to 1/100 and the reader normalises it, which moves each component a
// little. Each component is put back inside the range that writes its stored byte again, so a
// chunk read and saved writes the same bytes and its normals do not drift with every save.
static float voxel_normal_fit(float n, uint8_t stored) {
    if (voxel_normal_byte(n) == stored) return n;
    n = voxel_normal_byte(n) < stored ? (float)stored * 0.01f - 1.0f : (float)(stored + 1) * 0.01f - 1.0f;
    for (int step = 0; step < 64 && voxel_normal_byte(n) < stored; step++) n = nextafterf(n, 3.0f);
    for (int step = 0; step < 64 && voxel_normal_byte(n) > stored; step++) n = nextafterf(n, -3.0f);
    return n;
}

// The normal of a single-block voxel from its three stored bytes, as reading it back gives it.
static void voxel_decode_normal(voxel *v, const uint8_t normal[3]) {
    float nx = (float)normal[0] * 0.01f - 1.0f;
    float ny = (float)normal[1] * 0.01f - 1.0f;
    float nz = (float)normal[2] * 0.01f - 1.0f;
    float length = sqrtf(nx * nx + ny * ny + nz * nz + 0.00001f);
    v->nx = nx / length;
    v->ny = ny / length;
    v->nz = nz / length;
    // An upright normal gets the small side components the game gives upright surfaces. For a
    // stored unit normal, upright means its stored z is beyond ±0.99; judging by the normalised
    // z instead would flatten gently sloped blocks whose z was 0.98 to 0.99 on every load.
    // Bytes written from a normalised vector are at least 0.93 long: the 0.00001 in the length
    // shortens the smallest vectors to 0.953, and the truncation to 1/100 takes up to 0.017 more.
    uint8_t near_unit = fabsf(length - 1.0f) < 0.07f ? 1 : 0;
    uint8_t upright = near_unit ? (normal[2] >= 200 || normal[2] == 0) : (v->nz > 0.99f || v->nz < -0.99f);
    if (upright) {
        v->nx = 0.01f;
        v->ny = 0.01f;
    } else if (near_unit) {
        v->nx = voxel_normal_fit(v->nx, normal[0]);
        v->ny = voxel_normal_fit(v->ny, normal[1]);
        v->nz = voxel_normal_fit(v->nz, normal[2]);
    }
}

void voxel_round_trip_normal(voxel *v) {
    if (!v || !voxel_is_single(v)) return;
    const uint8_t normal[3] = {voxel_normal_byte(v->nx), voxel_normal_byte(v->ny), voxel_normal_byte(v->nz)};
    voxel_decode_normal(v, normal);
}

void voxel_export(FILE *openfile, const voxel *v) {
    if (!openfile || !v) return;
    voxel_file_write_short(openfile, v->data);
    if (!voxel_is_single(v)) return;
    voxel_file_write_byte(openfile, voxel_normal_byte(v->nx));
    voxel_file_write_byte(openfile, voxel_normal_byte(v->ny));
    voxel_file_write_byte(openfile, voxel_normal_byte(v->nz));
    voxel_file_write_byte(openfile, v->sunlight);
    uint8_t glow = (v->glowlight & 0x80) ? 127 : v->glowlight;
    if (v->fluid_depth != 0) glow |= 0x80;
    voxel_file_write_byte(openfile, glow);
    if (glow & 0x80) voxel_file_write_float(openfile, (float)v->fluid_depth);
}

void voxel_export_terminator(FILE *openfile) {
    if (openfile) voxel_file_write_short(openfile, 0);
}

voxel *voxel_import(FILE *openfile) {
    if (!openfile) return nullptr;
    uint16_t data = voxel_file_read_short(openfile);
    if (data == 0) return nullptr;

    uint8_t normal[3] = {0, 0, 0};
    uint8_t sunlight = 0, glow = 0;
    float fluid = 0.0f;
    if (data & VOXEL_SINGLE_FLAG) {
        normal[0] = voxel_file_read_byte(openfile);
        normal[1] = voxel_file_read_byte(openfile);
        normal[2] = voxel_file_read_byte(openfile);
        sunlight = voxel_file_read_byte(openfile);
        glow = voxel_file_read_byte(openfile);
        if (glow & 0x80) {
            glow &= 0x7F;
            fluid = voxel_file_read_float(openfile);
        }
    }

    voxel *v = voxel_create((uint8_t)(data & VOXEL_MATERIAL_MASK), 1);
    if (!v) return nullptr;
    v->data = data;
    if (!(data & VOXEL_SINGLE_FLAG)) return v;

    v->sunlight = sunlight;
    v->glowlight = glow;
    voxel_decode_normal(v, normal);
    // A hostile file may hold any float here; the depth is clamped to what the field can hold.
    if (!(fluid > 0.0f)) fluid = 0.0f;
    if (fluid > 65535.0f) fluid = 65535.0f;
    v->fluid_depth = (uint16_t)fluid;
    v->fluid_draw_depth = 0;
    v->fluid_pressure = 0;
    return v;
}
