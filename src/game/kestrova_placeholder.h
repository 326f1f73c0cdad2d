// kestrova_placeholder.h — PLACEHOLDERS for modules that have not landed yet; each goes when its module arrives
#pragma once
#include <cstdint>

// PLACEHOLDERS (object simulation): the local player's controls, one step of the objects near
// (x, y), and choosing the object under the crosshair. They do nothing until objects exist.
void placeholder_local_player_controls(void);
void placeholder_update_objects(float x, float y, int radius);
void placeholder_select_inworld_object(void);
// PLACEHOLDER (object drawing): the objects within distance of (x, y). Nothing to draw yet.
void placeholder_draw_objects(float x, float y, int distance);

// PLACEHOLDER (object drawing): a textured quad with the arguments of object_particle_draw.
void placeholder_particle_draw(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
                               uint8_t two_dimensional_mode, float x, float y, float z, float scale,
                               uint8_t use_overlay, uint16_t spin);
