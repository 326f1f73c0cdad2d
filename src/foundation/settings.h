// settings.h — the program's name, the settings read from SETUP.TXT and the few program-wide
// switches that every layer may read; the game shell fills them in
#pragma once
#include <cstdint>

#define PROGRAM_TITLE "Cindervault"
#define PROGRAM_VERSION 0.43f
#define WORLD_NAME "DEZORE"
#define SETUP_FILE_NAME "SETUP.TXT"

// Settings read from SETUP.TXT; the initial values are the defaults.
extern uint16_t screen_x;
extern uint16_t screen_y;
extern uint8_t fullscreen_mode;
extern uint16_t global_display_distance;
extern uint16_t global_background_distance;
extern uint8_t global_cartoon_mode;
extern uint8_t invert_mouse;
extern uint8_t load_music;

// The main loop runs while this is set; closing the window clears it.
extern uint8_t main_loop_active;
// The title overlay is shown (set first thing at start-up).
extern uint8_t draw_menu;
// The inventory screen is open.
extern uint8_t draw_inventory;
// Debug drawing in the terrain and object views: the main loop sets it each pass while F1 is held.
extern uint8_t global_debug_drawing;
// Every setting and switch back to its default.
void settings_reset(void);
