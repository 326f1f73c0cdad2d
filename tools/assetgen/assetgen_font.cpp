// assetgen_font.cpp — FreeType glyph rendering and ART/FONT.TGA, the 67-glyph bitmap font
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assetgen.h"

static FT_Library assetgen_ft_library = nullptr;
static FT_Face assetgen_ft_face = nullptr;

uint8_t assetgen_font_open(const char *path) {
    if (!assetgen_ft_library && FT_Init_FreeType(&assetgen_ft_library) != 0) return 0;
    if (assetgen_ft_face) FT_Done_Face(assetgen_ft_face);
    assetgen_ft_face = nullptr;
    if (FT_New_Face(assetgen_ft_library, path, 0, &assetgen_ft_face) != 0) {
        fprintf(stderr, "assetgen: cannot open font %s\n", path);
        assetgen_ft_face = nullptr;
        return 0;
    }
    return 1;
}

void assetgen_font_close(void) {
    if (assetgen_ft_face) FT_Done_Face(assetgen_ft_face);
    if (assetgen_ft_library) FT_Done_FreeType(assetgen_ft_library);
    assetgen_ft_face = nullptr;
    assetgen_ft_library = nullptr;
}

static FT_GlyphSlot assetgen_font_render(uint32_t character, float size, float squeeze) {
    if (!assetgen_ft_face) return nullptr;
    FT_Set_Char_Size(assetgen_ft_face, 0, (FT_F26Dot6)(size * 64.0f), 72, 72);
    FT_Matrix matrix;
    matrix.xx = (FT_Fixed)(squeeze * 65536.0f);
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = 0x10000;
    FT_Set_Transform(assetgen_ft_face, &matrix, nullptr);
    if (FT_Load_Char(assetgen_ft_face, character, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) return nullptr;
    return assetgen_ft_face->glyph;
}

float assetgen_font_measure(uint32_t character, float size, float squeeze, int *ink_left, int *ink_right) {
    FT_GlyphSlot slot = assetgen_font_render(character, size, squeeze);
    if (!slot) {
        *ink_left = *ink_right = 0;
        return 0.0f;
    }
    *ink_left = slot->bitmap_left;
    *ink_right = slot->bitmap_left + (int)slot->bitmap.width;
    return (float)slot->advance.x / 64.0f;
}

float assetgen_font_draw(float *coverage, int width, int height, uint32_t character, float size, float squeeze,
                         int x, int baseline_y, assetgen_ink_box *ink) {
    FT_GlyphSlot slot = assetgen_font_render(character, size, squeeze);
    if (!slot) return 0.0f;
    int left = x + slot->bitmap_left, top = baseline_y - slot->bitmap_top;
    const FT_Bitmap &bitmap = slot->bitmap;
    for (unsigned row = 0; row < bitmap.rows; row++) {
        for (unsigned column = 0; column < bitmap.width; column++) {
            int px = left + (int)column, py = top + (int)row;
            if (px < 0 || py < 0 || px >= width || py >= height) continue;
            float value = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
            float &cell = coverage[py * width + px];
            if (value > cell) cell = value;
        }
    }
    if (ink) *ink = {left, left + (int)bitmap.width, top, top + (int)bitmap.rows};
    return (float)slot->advance.x / 64.0f;
}

// The glyph boxes of the game's font table: character, left and right texel column.
struct assetgen_glyph_box {
    char character;
    int left, right;
};

static const assetgen_glyph_box assetgen_font_rows[7][12] = {
    {{'0', 0, 23}, {'1', 23, 45}, {'2', 45, 69}, {'3', 69, 91}, {'4', 91, 116}, {'5', 116, 138},
     {'6', 138, 161}, {'7', 161, 183}, {'8', 183, 207}, {'9', 207, 230}, {'.', 230, 241}, {'-', 241, 255}},
    {{'A', 0, 28}, {'B', 28, 53}, {'C', 53, 77}, {'D', 77, 104}, {'E', 104, 128}, {'F', 128, 150},
     {'G', 150, 177}, {'H', 177, 204}, {'I', 204, 221}, {'J', 221, 237}},
    {{'K', 0, 29}, {'L', 29, 51}, {'M', 51, 84}, {'N', 84, 111}, {'O', 111, 138}, {'P', 138, 164},
     {'Q', 164, 192}, {'R', 192, 219}, {'S', 219, 241}},
    {{'T', 0, 27}, {'U', 27, 53}, {'V', 53, 80}, {'W', 80, 117}, {'X', 117, 142}, {'Y', 142, 167},
     {'Z', 167, 190}, {'a', 190, 212}, {'b', 212, 236}},
    {{'c', 0, 22}, {'d', 22, 45}, {'e', 45, 67}, {'f', 67, 85}, {'g', 85, 108}, {'h', 108, 132},
     {'i', 132, 146}, {'j', 146, 160}, {'k', 160, 186}, {'l', 186, 199}, {'m', 199, 233}},
    {{'n', 0, 26}, {'o', 26, 49}, {'p', 49, 73}, {'q', 73, 97}, {'r', 97, 117}, {'s', 117, 137},
     {'t', 137, 154}, {'u', 154, 177}, {'v', 177, 200}, {'w', 200, 232}},
    {{'x', 0, 23}, {'y', 23, 46}, {'z', 46, 66}, {'(', 66, 84}, {'=', 84, 108}, {')', 108, 123}},
};

#define FONT_SIZE 256
#define FONT_ROW_HEIGHT 36
#define FONT_PIXEL_SIZE 29.0f
#define FONT_BASELINE 28

// Draws one glyph centred in its box, squeezed if it is wider than the box
// allows, and never reaching the box's outer texel, which linear filtering
// would otherwise blend into the neighbouring glyph.
static void assetgen_font_glyph(float *coverage, const assetgen_glyph_box &box, int row) {
    int box_width = box.right - box.left;
    int room = box_width - 2;
    float squeeze = 1.0f;
    int ink_left, ink_right;
    assetgen_font_measure((uint32_t)(uint8_t)box.character, FONT_PIXEL_SIZE, squeeze, &ink_left, &ink_right);
    int ink = ink_right - ink_left;
    if (ink > room && ink > 0) {
        squeeze = (float)room / (float)ink;
        assetgen_font_measure((uint32_t)(uint8_t)box.character, FONT_PIXEL_SIZE, squeeze, &ink_left, &ink_right);
        ink = ink_right - ink_left;
    }
    int x = box.left + (box_width - ink) / 2 - ink_left;
    // Drawn into a scratch cell first so nothing can spill outside the box.
    float cell[FONT_ROW_HEIGHT * 64];
    memset(cell, 0, sizeof(cell));
    assetgen_font_draw(cell, 64, FONT_ROW_HEIGHT, (uint32_t)(uint8_t)box.character, FONT_PIXEL_SIZE, squeeze,
                       x - box.left + 8, FONT_BASELINE, nullptr);
    for (int y = 1; y < FONT_ROW_HEIGHT - 1; y++) {
        for (int cx = 1; cx < box_width - 1; cx++) {
            float value = cell[y * 64 + cx + 8];
            int px = box.left + cx, py = row * FONT_ROW_HEIGHT + y;
            if (px < FONT_SIZE && value > coverage[py * FONT_SIZE + px]) coverage[py * FONT_SIZE + px] = value;
        }
    }
}

uint8_t assetgen_make_font(const char *folder) {
    if (!assetgen_font_open(ASSETGEN_FONT_DIR "/DejaVuSans-Bold.ttf")) return 0;
    float *coverage = (float *)calloc(FONT_SIZE * FONT_SIZE, sizeof(float));
    for (int row = 0; row < 7; row++)
        for (const assetgen_glyph_box &box : assetgen_font_rows[row])
            if (box.character) assetgen_font_glyph(coverage, box, row);

    // White everywhere, so filtering at a glyph's edge never darkens it.
    assetgen_image image = assetgen_image_create(FONT_SIZE, FONT_SIZE);
    for (int y = 0; y < FONT_SIZE; y++)
        for (int x = 0; x < FONT_SIZE; x++)
            assetgen_image_set(&image, x, y, assetgen_rgb(255, 255, 255), coverage[y * FONT_SIZE + x]);
    char path[1024];
    assetgen_path(path, sizeof(path), folder, "ART/FONT.TGA");
    uint8_t ok = assetgen_write_tga(path, &image, 1);
    assetgen_image_free(&image);
    free(coverage);
    return ok;
}
