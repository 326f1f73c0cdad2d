// font.cpp — the glyph table of the bitmap font, its metrics and string drawing
#include "display/font.h"

#include <SDL_opengl.h>

#include "display/display.h"

float font_lx[256];
float font_rx[256];
float font_ty[256];
float font_by[256];

// Each row lists its characters and the texel column where each starts; a glyph
// ends where the next one starts, the last one at the row's final column.
struct font_row {
    const char *letters;
    int columns[13];
};

static const font_row font_rows[7] = {
    {"0123456789.-", {0, 23, 45, 69, 91, 116, 138, 161, 183, 207, 230, 241, 255}},
    {"ABCDEFGHIJ", {0, 28, 53, 77, 104, 128, 150, 177, 204, 221, 237}},
    {"KLMNOPQRS", {0, 29, 51, 84, 111, 138, 164, 192, 219, 241}},
    {"TUVWXYZab", {0, 27, 53, 80, 117, 142, 167, 190, 212, 236}},
    {"cdefghijklm", {0, 22, 45, 67, 85, 108, 132, 146, 160, 186, 199, 233}},
    {"nopqrstuvw", {0, 26, 49, 73, 97, 117, 137, 154, 177, 200, 232}},
    {"xyz(=)", {0, 23, 46, 66, 84, 108, 123}},
};

void font_setup_letter(uint8_t letter, int lx, int rx, int row) {
    font_lx[letter] = (float)lx / 256.0f;
    font_rx[letter] = (float)rx / 256.0f;
    font_ty[letter] = (float)row * FONT_ROW_HEIGHT;
    font_by[letter] = (float)(row + 1) * FONT_ROW_HEIGHT;
}

void font_setup(void) {
    for (int c = 0; c < 256; c++) font_setup_letter((uint8_t)c, 0, 0, 0);
    for (int row = 0; row < 7; row++) {
        const font_row &r = font_rows[row];
        for (int i = 0; r.letters[i]; i++)
            font_setup_letter((uint8_t)r.letters[i], r.columns[i], r.columns[i + 1], row);
    }
}

float font_letter_width(uint8_t letter, float scale) {
    if (font_lx[letter] == font_rx[letter]) return FONT_UNDEFINED_ADVANCE * scale;
    return (font_rx[letter] - font_lx[letter]) * scale * 6.0f;
}

float font_letter_height(uint8_t letter, float scale) {
    if (font_lx[letter] == font_rx[letter]) return 0.0f;
    return (font_by[letter] - font_ty[letter]) * scale * 6.0f;
}

float font_string_width(const uint8_t *text, float scale) {
    float width = 0.0f;
    for (; *text; text++) width += font_letter_width(*text, scale);
    return width;
}

float font_draw_letter(uint8_t letter, float x, float y, float scale) {
    if (font_lx[letter] == font_rx[letter]) return x + FONT_UNDEFINED_ADVANCE * scale;
    float width = font_letter_width(letter, scale);
    float height = font_letter_height(letter, scale);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(font_lx[letter], font_ty[letter]);
    glVertex3f(x, y, FONT_DEPTH);
    glTexCoord2f(font_rx[letter], font_ty[letter]);
    glVertex3f(x + width, y, FONT_DEPTH);
    glTexCoord2f(font_rx[letter], font_by[letter]);
    glVertex3f(x + width, y + height, FONT_DEPTH);
    glTexCoord2f(font_lx[letter], font_by[letter]);
    glVertex3f(x, y + height, FONT_DEPTH);
    glEnd();
    return x + width;
}

void font_draw_string(const uint8_t *color, const uint8_t *text, float x, float y, float scale) {
    glColor4ub(color[0], color[1], color[2], color[3]);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, font_texture);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (; *text; text++) x = font_draw_letter(*text, x, y, scale);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
}

void font_draw_string_centered(const uint8_t *color, const uint8_t *text, float x, float y, float scale) {
    font_draw_string(color, text, x - 0.5f * font_string_width(text, scale), y, scale);
}

void font_draw_text(const uint8_t *color, const char *text, float x, float y, float scale) {
    font_draw_string(color, (const uint8_t *)text, x, y, scale);
}

void font_draw_text_centered(const uint8_t *color, const char *text, float x, float y, float scale) {
    font_draw_string_centered(color, (const uint8_t *)text, x, y, scale);
}
