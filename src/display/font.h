// font.h — the proportional bitmap font drawn from ART\FONT.TGA in the 2-D overlay
#pragma once
#include <cstdint>

#define FONT_ROW_HEIGHT 0.140625f
#define FONT_UNDEFINED_ADVANCE 0.75f
#define FONT_DEPTH 100.0f

extern float font_lx[256];
extern float font_rx[256];
extern float font_ty[256];
extern float font_by[256];

void font_setup(void);
void font_setup_letter(uint8_t letter, int lx, int rx, int row);
float font_draw_letter(uint8_t letter, float x, float y, float scale);
float font_letter_width(uint8_t letter, float scale);
// The height of a defined character at this scale (0 for an undefined one).
float font_letter_height(uint8_t letter, float scale);
// The summed advance of a NUL-terminated string.
float font_string_width(const uint8_t *text, float scale);
void font_draw_string(const uint8_t *color, const uint8_t *text, float x, float y, float scale);
void font_draw_string_centered(const uint8_t *color, const uint8_t *text, float x, float y, float scale);
// Convenience for character strings.
void font_draw_text(const uint8_t *color, const char *text, float x, float y, float scale);
void font_draw_text_centered(const uint8_t *color, const char *text, float x, float y, float scale);
