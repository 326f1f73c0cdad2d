// kestrova_placeholder.cpp — PLACEHOLDERS for the object calls of the main loop until objects land
#include "game/kestrova_placeholder.h"

#include "display/display.h"

void placeholder_particle_draw(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
                               uint8_t two_dimensional_mode, float x, float y, float z, float scale,
                               uint8_t use_overlay, uint16_t spin) {
    display_particle_quad(base, overlay, alpha, light, paperdoll, two_dimensional_mode, x, y, z, scale, use_overlay,
                          spin);
}

void placeholder_local_player_controls(void) {}
void placeholder_update_objects(float, float, int) {}
void placeholder_select_inworld_object(void) {}
void placeholder_draw_objects(float, float, int) {}
