// object_draw.h — drawing the objects near the camera: models (skinned or ragdoll-posed), icons,
// particles, and the terrain models that stand in for some block materials
#pragma once
#include <cstdint>

#include "display/display.h"
#include "objects/object.h"

// Metal textures by index ("ART\METAL%02d.TGA"), 0 when missing.
extern uint32_t metal_texture[OBJECT_METAL_COUNT];
// Objects drawn by the last object_draw_all (models, terrain models and particles).
extern uint32_t global_object_draw_count;

void object_draw_all(float centerx, float centery, float radius);
void object_draw(object *o, uint8_t inventory_mode, float scale);
void object_draw_terrain_pillar_xy(int x, int y);

// The alpha a fading icon particle is drawn with: its countdown twice (dust) or four times (others),
// kept to eight bits.
uint8_t object_particle_alpha(const object *o);
// 1 when an object at position p is near enough to draw: within radius of the camera and not more
// than 10 blocks behind it.
uint8_t object_in_view(const vector *p, float radius);

// A textured quad as display_particle_quad draws it.
void object_particle_draw_full(const display_quad *quad);
// The same with the whole overlay texture.
void object_particle_draw(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
                          uint8_t two_dimensional_mode, float x, float y, float z, float scale, uint8_t use_overlay,
                          uint16_t spin);
// The same with the material atlas as overlay, cut to the cell of material (its overlay fields are
// replaced).
void object_particle_draw_material(const display_quad *quad, uint8_t material);
// The sun and moon of the backdrop, as particles.
void object_billboard(uint32_t texture, float x, float y, float z, float scale);
