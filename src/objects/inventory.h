// inventory.h — an object's inventory on the 5 x 5 board: adding and stacking, recipes read from
// RECIPE.TXT, and crafting by laying components around a middle item
#pragma once
#include <cstdint>

#include "objects/object.h"

// The board: 7 columns of 6 holes, 40 units apart, centred on 0; the 5 x 5 middle holes are the
// ones a first board had, and every other column sits 15 units lower (those of even number).
#define INVENTORY_BOARD_COLUMNS 7
#define INVENTORY_BOARD_ROWS 6
#define INVENTORY_BOARD_HOLES (INVENTORY_BOARD_COLUMNS * INVENTORY_BOARD_ROWS)
// An item dragged past these lowers the board and, released there, is thrown into the world.
#define INVENTORY_BOARD_EDGE_X 150.0f
#define INVENTORY_BOARD_EDGE_TOP (-142.0f)
// Dragging downwards stops here.
#define INVENTORY_BOARD_EDGE_BOTTOM 125.0f
// Crafting takes the parts in the eight holes around the middle one (at most 68 units away) and
// none of the holes beyond them (76 units and more).
#define INVENTORY_CRAFT_RADIUS 72.0f


// The crafting sound, played when a recipe is completed (none: silent).
struct sound_effect;
extern sound_effect *chink_sound;

// inventory_board.cpp — the holes of the board
// The centre of hole (column c, row r).
void inventory_hole_centre(int c, int r, float *x, float *y);
// 1 for the 5 x 5 middle holes.
uint8_t inventory_hole_is_inner(int c, int r);
// The hole whose cell holds (x, y); 0 when it lies off the board.
uint8_t inventory_hole_of(float x, float y, int *c, int *r);
// The first item of o's inventory (other than except) lying in hole (c, r), or none.
object *inventory_hole_occupant(object *o, int c, int r, const object *except);
// The nearest hole centre to (x, y); 0 only for a point that is not finite.
uint8_t inventory_nearest_hole(float x, float y, int *c, int *r);
// Settles an item of holder's inventory into the nearest hole that is free or holds a stack it
// joins (same kind and material, with room for all of it). A joined item is destroyed and the
// stack it joined goes into the hand. Returns the item that now holds it (none when no hole was
// free: then it stays where it is).
object *object_inventory_settle(object *holder, object *item);

void object_find_inventory_slot(object *o, float *outx, float *outy);
void object_add_to_inventory(object *o, object *object_to_add, uint8_t adding_from_template, uint16_t stack_count,
                             uint8_t material);
// The facing every object gets when it is placed in an inventory.
void object_inventory_orientation(float facing_xyzw[4]);
void object_recipe_setup(void);
void inventory_reset(void);
void template_load_recipe_file(const char *template_name);
uint8_t object_recipe_replace(object *holder, object *mid, float radius);
