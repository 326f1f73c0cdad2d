// inventory.h — an object's inventory on the 5 x 5 board: adding and stacking, recipes read from
// RECIPE.TXT, and crafting by laying components around a middle item
#pragma once
#include <cstdint>

#include "objects/object.h"

#define INVENTORY_BOARD_SLOTS 5

extern vector recipe_dot_line[OBJECT_RECIPE_SIZE];
extern float recipe_radius[OBJECT_RECIPE_SIZE];

// The crafting sound, played when a recipe is completed (none: silent).
struct sound_effect;
extern sound_effect *chink_sound;

void object_find_inventory_slot(object *o, float *outx, float *outy);
void object_add_to_inventory(object *o, object *object_to_add, uint8_t adding_from_template, uint16_t stack_count,
                             uint8_t material);
// The facing every object gets when it is placed in an inventory.
void object_inventory_orientation(float facing_xyzw[4]);
void object_recipe_setup(void);
void template_load_recipe_file(const char *template_name);
uint8_t object_recipe_replace(object *holder, object *mid, float radius);
