// worldmap_tile.cpp — the island tile and its circle painting, bilinear wrapping samples of the
// island tile and the map tile, and the map layers whose weighted sum gives the height fields
#include <cmath>
#include <cstdlib>
#if defined(__SSE2_MATH__)
#include <emmintrin.h>
#endif

#include "foundation/trig.h"
#include "foundation/logfile.h"
#include "world/maptile.h"
#include "foundation/random.h"
#include "world/worldmap.h"

uint8_t isletile_data[ISLETILE_SIZE][ISLETILE_SIZE];
maplayer *maplayer_total = nullptr, *maplayer_grass = nullptr, *maplayer_stone = nullptr, *maplayer_sand = nullptr;
float isletile_scale = 200.0f;
float maptile_scale = 5.0f;
float global_ocean_level = 20.0f;

void isletile_clear(void) {
    for (int y = 0; y < ISLETILE_SIZE; y++)
        for (int x = 0; x < ISLETILE_SIZE; x++) isletile_data[y][x] = 0;
}

void isletile_write(unsigned x, unsigned y, unsigned value, unsigned alpha) {
    uint8_t &cell = isletile_data[y & 255][x & 255];
    // Worked out in 16 bits, so a full-strength write of 255 lands on 254.
    uint16_t mixed = (uint16_t)((uint16_t)(value * alpha) + (uint16_t)((255u - alpha) * cell));
    cell = (uint8_t)(mixed >> 8);
}

void isletile_write_circle(unsigned cx, unsigned cy, unsigned value, unsigned alpha, unsigned radius) {
    float outer = (float)radius + 0.5f;
    int icx = (int)cx, icy = (int)cy, r = (int)radius;
    for (int y = icy - r; y <= icy + r; y++) {
        for (int x = icx - r; x <= icx + r; x++) {
            int d2 = (icx - x) * (icx - x) + (icy - y) * (icy - y);
            if ((float)d2 >= outer * outer) continue;
            // A soft disc: full strength in the middle, fading to nothing at the outer radius.
            float fade = (1.0f + trig_cosf(KESTROVA_PI * sqrtf((float)d2) / outer)) / 2.0f;
            isletile_write((unsigned)x, (unsigned)y, value, (unsigned)((float)alpha * fade));
        }
    }
}

void isletile_try_write_circle(float cx, float cy, unsigned value, unsigned alpha, float radius) {
    // A circle that would come within a cell of the border is left out whole, never clipped.
    float reach = radius + 1.0f;
    if (!(cx - reach > 0.0f && cx + reach < 256.0f && cy - reach > 0.0f && cy + reach < 256.0f)) return;
    isletile_write_circle((unsigned)cx, (unsigned)cy, value, alpha, (unsigned)radius);
}

// floorf and truncf without the library call; the same values for every finite float (beyond
// 2^23 a float is already whole).
static inline float tile_floor(float x) {
    if (!(fabsf(x) < 8388608.0f)) return x;
    float t = (float)(int)x;
    return t > x ? t - 1.0f : t;
}
static inline float tile_trunc(float x) { return fabsf(x) < 8388608.0f ? (float)(int)x : x; }

// Bilinear sample of an N x N tile (N a power of two) at tile coordinates (x, y), wrapping at the edges; 0..1.
template <typename Cell>
static inline float tile_sample(int n, float x, float y, Cell cell) {
    float fx = (float)n * x, fy = (float)n * y;
    float fx_floor = tile_floor(fx), fy_floor = tile_floor(fy);
    float subx = fx - fx_floor, suby = fy - fy_floor;
    // Both tiles are a power of two wide, so masking wraps negative cells too.
    int mask = n - 1;
    int tlx = (int)fx_floor & mask, tly = (int)fy_floor & mask;
    int brx = (tlx + 1) & mask, bry = (tly + 1) & mask;
    float left = (float)cell(tly, tlx) * (1.0f - suby) / 256.0f + (float)cell(bry, tlx) * suby / 256.0f;
    float right = (float)cell(tly, brx) * (1.0f - suby) / 256.0f + (float)cell(bry, brx) * suby / 256.0f;
    return left * (1.0f - subx) + right * subx;
}

float maptile_height(float x, float y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return 0.0f;
    float mid = tile_sample(MAPTILE_SIZE, x, y, [](int row, int column) { return maptile[(row * MAPTILE_SIZE + column) * 3]; });
    return (mid - 0.5f) * 2.0f;
}

float isletile_height(float x, float y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return 0.0f;
    float mid = tile_sample(ISLETILE_SIZE, x, y, [](int row, int column) { return isletile_data[row][column]; });
    return isletile_scale * (mid - 0.5f) * 2.0f;
}

maplayer *maplayer_create(float scale, uint8_t mode) {
    if (scale < 0.1f) scale = 0.1f;
    // The draws come first so that a failed allocation does not shift the world's sequence.
    float x = random_range(0.0f, 10000.0f);
    float y = random_range(0.0f, 10000.0f);
    float angle = random_range(0.0f, 6.283186f);
    log_message(3, "Layer At %0.3f, %0.3f -- Angle == %0.3f, Scale == %0.3f", (double)x, (double)y, (double)angle,
                (double)scale);
    maplayer *ml = (maplayer *)malloc(sizeof(maplayer));
    if (!ml) return nullptr;
    ml->x = x;
    ml->y = y;
    ml->sidex = trig_sinf(angle);
    ml->sidey = trig_cosf(angle);
    ml->frontx = -trig_cosf(angle);
    ml->fronty = trig_sinf(angle);
    ml->scale = scale;
    ml->weight = sqrtf(scale);
    ml->layer_mode = mode;
    ml->next = nullptr;
    return ml;
}

void maplayer_create_and_append(maplayer **list, float scale, uint8_t mode) {
    if (!list) return;
    maplayer *ml = maplayer_create(scale, mode);
    if (!ml) return;
    ml->next = *list;
    *list = ml;
}

void maplayer_destroy(maplayer *ml) {
    while (ml) {
        maplayer *next = ml->next;
        free(ml);
        ml = next;
    }
}

static inline float maplayer_fraction(float t) {
    t = t - tile_trunc(t);
    if (t < 0.0f) t += 1.0f;
    return t;
}

// The end of a list walk: the island layer (ml) under the averaged texture detail, or without
// one the averaged detail alone; out-of-range sums are logged and clamped.
static float maplayer_finish(const maplayer *ml, float x, float y, float weightsum, float heightsum) {
    if (ml) {
        float adjustment = weightsum > 0.0f ? heightsum / weightsum : heightsum;
        float tx = x / ml->scale, ty = y / ml->scale;
        if (tx < 0.0f) tx = 0.0f;
        if (tx > 1.0f) tx = 1.0f;
        if (ty < 0.0f) ty = 0.0f;
        if (ty > 1.0f) ty = 1.0f;
        float base = isletile_height(tx, ty);
        if (adjustment < -1.0f || adjustment > 1.0f) {
            log_message(1, "maplayer_height() adjustment out of bounds...  %f", (double)adjustment);
            adjustment = adjustment < -1.0f ? -1.0f : 1.0f;
        }
        return base + maptile_scale * adjustment;
    }
    float result = weightsum > 0.0f ? heightsum / weightsum : heightsum;
    if (result < -1.0f || result > 1.0f) {
        log_message(1, "maplayer_height() heightsum out of bounds...  %f", (double)result);
        result = result < -1.0f ? -1.0f : 1.0f;
    }
    return result;
}

float maplayer_height(const maplayer *ml, float x, float y) {
    float weightsum = 0.0f, heightsum = 0.0f;
    for (; ml && ml->layer_mode != 1; ml = ml->next) {
        float dx = x - ml->x, dy = y - ml->y;
        float tx = (ml->sidex * dx + ml->sidey * dy) / ml->scale;
        float ty = (ml->frontx * dx + ml->fronty * dy) / ml->scale;
        float height = maptile_height(maplayer_fraction(tx), maplayer_fraction(ty));
        weightsum += ml->weight;
        heightsum += ml->weight * height;
    }
    return maplayer_finish(ml, x, y, weightsum, heightsum);
}

#if defined(__SSE2_MATH__)
// Four points at once. Every step is the same single-precision operation, in the same order, as
// in maplayer_height, so each lane gives the same bits; only where scalar float arithmetic is SSE
// arithmetic too (x87 code keeps extra precision and would not match).
static inline __m128 sse_trunc(__m128 v) {
    __m128 big = _mm_cmpge_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), v), _mm_set1_ps(8388608.0f));
    __m128 t = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
    return _mm_or_ps(_mm_and_ps(big, v), _mm_andnot_ps(big, t));
}

static inline __m128 sse_floor(__m128 v) {
    __m128 t = sse_trunc(v);
    __m128 above = _mm_cmpgt_ps(t, v);
    return _mm_sub_ps(t, _mm_and_ps(above, _mm_set1_ps(1.0f)));
}

static inline __m128 sse_fraction(__m128 t) {
    t = _mm_sub_ps(t, sse_trunc(t));
    __m128 negative = _mm_cmplt_ps(t, _mm_setzero_ps());
    return _mm_add_ps(t, _mm_and_ps(negative, _mm_set1_ps(1.0f)));
}

static inline __m128 sse_maptile_height(__m128 x, __m128 y) {
    const __m128 n = _mm_set1_ps((float)MAPTILE_SIZE), one = _mm_set1_ps(1.0f), scale = _mm_set1_ps(1.0f / 256.0f);
    __m128 fx = _mm_mul_ps(n, x), fy = _mm_mul_ps(n, y);
    __m128 fx_floor = sse_floor(fx), fy_floor = sse_floor(fy);
    __m128 subx = _mm_sub_ps(fx, fx_floor), suby = _mm_sub_ps(fy, fy_floor);
    alignas(16) int32_t ix[4], iy[4];
    _mm_store_si128((__m128i *)ix, _mm_cvttps_epi32(fx_floor));
    _mm_store_si128((__m128i *)iy, _mm_cvttps_epi32(fy_floor));
    alignas(16) float c00[4], c10[4], c01[4], c11[4];
    const int mask = MAPTILE_SIZE - 1;
    for (int k = 0; k < 4; k++) {
        int tlx = ix[k] & mask, tly = iy[k] & mask, brx = (tlx + 1) & mask, bry = (tly + 1) & mask;
        c00[k] = (float)maptile[(tly * MAPTILE_SIZE + tlx) * 3];
        c10[k] = (float)maptile[(bry * MAPTILE_SIZE + tlx) * 3];
        c01[k] = (float)maptile[(tly * MAPTILE_SIZE + brx) * 3];
        c11[k] = (float)maptile[(bry * MAPTILE_SIZE + brx) * 3];
    }
    __m128 not_suby = _mm_sub_ps(one, suby), not_subx = _mm_sub_ps(one, subx);
    // Dividing by 256 and multiplying by its reciprocal give the same bits: it is a power of two.
    __m128 left = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(_mm_load_ps(c00), not_suby), scale),
                             _mm_mul_ps(_mm_mul_ps(_mm_load_ps(c10), suby), scale));
    __m128 right = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(_mm_load_ps(c01), not_suby), scale),
                              _mm_mul_ps(_mm_mul_ps(_mm_load_ps(c11), suby), scale));
    __m128 mid = _mm_add_ps(_mm_mul_ps(left, not_subx), _mm_mul_ps(right, subx));
    return _mm_mul_ps(_mm_sub_ps(mid, _mm_set1_ps(0.5f)), _mm_set1_ps(2.0f));
}

void maplayer_height4(const maplayer *ml, const float *x, const float *y, float *out) {
    __m128 px = _mm_loadu_ps(x), py = _mm_loadu_ps(y);
    // Non-finite points take the scalar path, which has its own guard.
    __m128 finite = _mm_and_ps(_mm_cmpord_ps(px, py), _mm_cmplt_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), _mm_add_ps(px, py)),
                                                                  _mm_set1_ps(1e30f)));
    if (_mm_movemask_ps(finite) != 15) {
        for (int k = 0; k < 4; k++) out[k] = maplayer_height(ml, x[k], y[k]);
        return;
    }
    float weightsum = 0.0f;
    __m128 heightsum = _mm_setzero_ps();
    for (; ml && ml->layer_mode != 1; ml = ml->next) {
        __m128 dx = _mm_sub_ps(px, _mm_set1_ps(ml->x)), dy = _mm_sub_ps(py, _mm_set1_ps(ml->y));
        __m128 scale = _mm_set1_ps(ml->scale);
        __m128 tx = _mm_div_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(ml->sidex), dx), _mm_mul_ps(_mm_set1_ps(ml->sidey), dy)),
                               scale);
        __m128 ty = _mm_div_ps(
            _mm_add_ps(_mm_mul_ps(_mm_set1_ps(ml->frontx), dx), _mm_mul_ps(_mm_set1_ps(ml->fronty), dy)), scale);
        __m128 height = sse_maptile_height(sse_fraction(tx), sse_fraction(ty));
        weightsum += ml->weight;
        heightsum = _mm_add_ps(heightsum, _mm_mul_ps(_mm_set1_ps(ml->weight), height));
    }
    alignas(16) float sums[4];
    _mm_store_ps(sums, heightsum);
    for (int k = 0; k < 4; k++) out[k] = maplayer_finish(ml, x[k], y[k], weightsum, sums[k]);
}
#else
void maplayer_height4(const maplayer *ml, const float *x, const float *y, float *out) {
    for (int k = 0; k < 4; k++) out[k] = maplayer_height(ml, x[k], y[k]);
}
#endif
