// assetgen_objects.h — the object kinds: each one's model, textures, icon, template and recipe
#pragma once
#include <cstdint>

#include "assetgen.h"
#include "assetgen_model.h"

#define ASSETGEN_KIND_TEXT 16384
#define ASSETGEN_KIND_SLOTS 16

// How a kind's icon is made.
enum assetgen_icon_style {
    ASSETGEN_ICON_MODEL = 0,  // the model as the inventory board shows it
    ASSETGEN_ICON_DUST,       // soft particle puffs, painted
    ASSETGEN_ICON_SMOKE,
    ASSETGEN_ICON_FLAME
};

struct assetgen_kind {
    char name[32];
    ag_model *model;
    int num_slots;
    ag_slot slots[ASSETGEN_KIND_SLOTS];
    int num_textures;          // TEXTURE0 and, for the bomb's blink, TEXTURE1
    int icon_style;
    int metal;                 // the metal the pictures show on shiny parts
    float icon_fill;           // how much of the icon the model spans
    int inhand_frames;         // in-hand frames written (0: none)
    float inhand[60][6];
    char template_text[ASSETGEN_KIND_TEXT];
    int template_length;
    char recipe[512];          // empty: no recipe
    uint32_t seed;
};

int assetgen_kind_count(void);
// Builds kind number index; returns 0 for an index out of range. Free with assetgen_kind_free.
uint8_t assetgen_kind_build(int index, assetgen_kind *kind);
void assetgen_kind_free(assetgen_kind *kind);
// The kind's textures (TEXTURE0, TEXTURE1) and its 64 x 64 icon; free each picture after use.
assetgen_image assetgen_kind_texture(const assetgen_kind *kind, int number);
assetgen_image assetgen_kind_icon(const assetgen_kind *kind);

// Renders a kind's slots in a frame from a view direction (0, 0, 0: the inventory board with
// its standard turn) into a size x size picture with alpha; fit scales the model to the picture.
assetgen_image assetgen_kind_render(const assetgen_kind *kind, int size, int frame, float fx, float fy, float fz,
                                    const int *mesh_override);

// Texture cells (assetgen_paint.cpp).
assetgen_colour assetgen_paint_texel(int paint, float s, float t, uint32_t seed, uint8_t lit, float *alpha);
assetgen_image assetgen_paint_texture(const ag_model *model, uint32_t seed, uint8_t lit);
