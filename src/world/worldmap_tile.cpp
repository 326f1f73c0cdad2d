// worldmap_tile.cpp — the island tile and its circle painting, bilinear wrapping samples of the
// island tile and the map tile, and the map layers whose weighted sum gives the height fields
#include <cmath>
#include <cstdlib>

#include "logfile.h"
#include "maptile.h"
#include "random.h"
#include "worldmap.h"

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
            float fade = (1.0f + cosf(3.141593f * sqrtf((float)d2) / outer)) / 2.0f;
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
    ml->sidex = sinf(angle);
    ml->sidey = cosf(angle);
    ml->frontx = -cosf(angle);
    ml->fronty = sinf(angle);
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

float maplayer_height(const maplayer *ml, float x, float y) {
    float weightsum = 0.0f, heightsum = 0.0f;
    for (; ml; ml = ml->next) {
        if (ml->layer_mode == 1) {
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
        float dx = x - ml->x, dy = y - ml->y;
        float tx = (ml->sidex * dx + ml->sidey * dy) / ml->scale;
        float ty = (ml->frontx * dx + ml->fronty * dy) / ml->scale;
        float height = maptile_height(maplayer_fraction(tx), maplayer_fraction(ty));
        weightsum += ml->weight;
        heightsum += ml->weight * height;
    }
    float result = weightsum > 0.0f ? heightsum / weightsum : heightsum;
    if (result < -1.0f || result > 1.0f) {
        log_message(1, "maplayer_height() heightsum out of bounds...  %f", (double)result);
        result = result < -1.0f ? -1.0f : 1.0f;
    }
    return result;
}
