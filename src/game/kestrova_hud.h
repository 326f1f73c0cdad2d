// kestrova_hud.h — the on-screen display, the inventory board worked with the mouse, and screenshots
#pragma once
#include <cstdint>

struct object;

// The item being dragged on the board, or none.
extern object *global_inventory_grab;
// The board's mouse handling for one pass, given the mouse in virtual units (gx, gy), the
// horizontal centre cx and the backpack's height by: grab, convert, craft, split, throw off.
void hud_inventory_mouse(float gx, float gy, float cx, float by);
// Tab while the board is open or closed: drops the grab (putting one far below back at -100).
void hud_release_grab(void);
// Forgets the grab when its object goes away.
void hud_object_destroyed(object *o);
// Nothing grabbed, as at start.
void hud_reset(void);
// The overlay before the title: crosshair, pitch notches, F1 and F3 read-outs, tints, hits number.
void hud_draw_crosshair_and_tints(void);
// The overlay after the title: the inventory board and the count of the item in hand.
void hud_draw_board_and_counts(void);
// F2's chunk marker in the 3D view.
void hud_chunk_marker(void);
// F12: writes the window to SCREENSHOTS/ under the next free number; returns 1 on success.
uint8_t hud_screenshot(void);
// The next free screenshot name in folder (SHOT0000.TGA, SHOT0001.TGA, ...); 0 when all are taken.
uint8_t hud_screenshot_name(const char *folder, char *name, int size);
