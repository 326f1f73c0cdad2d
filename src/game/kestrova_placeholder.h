// kestrova_placeholder.h — PLACEHOLDERS for modules that have not landed yet; each goes when its module arrives
#pragma once
#include <cstdint>

// PLACEHOLDER (object drawing): a textured quad with the arguments of object_particle_draw.
void placeholder_particle_draw(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
                               uint8_t two_dimensional_mode, float x, float y, float z, float scale,
                               uint8_t use_overlay, uint16_t spin);
