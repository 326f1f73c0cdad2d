// settings.cpp — the settings and program-wide switches with their defaults
#include "foundation/settings.h"

uint16_t screen_x = 800;
uint16_t screen_y = 600;
uint8_t fullscreen_mode = 0;
uint16_t global_display_distance = 50;
uint16_t global_background_distance = 500;
uint8_t global_cartoon_mode = 1;
uint8_t invert_mouse = 0;
uint8_t load_music = 1;

uint8_t main_loop_active = 1;
uint8_t draw_menu = 0;
uint8_t draw_inventory = 0;
uint8_t global_debug_drawing = 0;

void settings_reset(void) {
    screen_x = 800;
    screen_y = 600;
    fullscreen_mode = 0;
    global_display_distance = 50;
    global_background_distance = 500;
    global_cartoon_mode = 1;
    invert_mouse = 0;
    load_music = 1;
    main_loop_active = 1;
    draw_menu = 0;
    draw_inventory = 0;
    global_debug_drawing = 0;
}
