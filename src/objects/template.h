// template.h — the object templates: one per folder under OBJECT, read from TEMPLATE.TXT, with
// their model, textures and icon
#pragma once
#include <cstdint>

#include "objects/object.h"
#include "terrain/voxel.h"

#define TEMPLATE_COUNT 100
// Characters kept of a template or object name.
#define TEMPLATE_NAME_LENGTH 31
// Characters read per line of a template file, and per word.
#define TEMPLATE_LINE_SIZE 1000
// Lines read of one template file at most.
#define TEMPLATE_LINE_LIMIT 10000

extern object object_template[TEMPLATE_COUNT];
extern uint16_t num_object_template;
extern inhand_animation object_template_inhand_animation[TEMPLATE_COUNT];

// What each terrain material (0..63) means to the objects, from TERRAINMODEL and TERRAINCOLLECT
// lines: the template standing for it as a terrain model, the template a dug block of it gives,
// and that item's metal (the material itself unless the line names one). Reset by template_setup.
extern object *voxel_material_object[VOXEL_MATERIAL_COUNT];
extern object *voxel_material_template[VOXEL_MATERIAL_COUNT];
extern uint8_t voxel_material_metal[VOXEL_MATERIAL_COUNT];

// The particle and block templates, looked up by name at start-up (none when missing).
extern object *debris_object_template, *block_object_template, *dust_object_template, *smoke_object_template,
    *flame_object_template;

void template_setup(void);
// The kinds the game itself names (the player, zombis, particles, the starting inventory): their
// folders are loaded before any other, so a full table never leaves them out.
uint8_t template_is_named_kind(const char *folder_name);
// Kind folders template_load found no room for since template_setup, and one line naming them.
uint32_t template_left_out_count(void);
void template_report_left_out(void);
// Loads one template per folder under folder ("OBJECT\\"), the named kinds first, calling each
// (when given) before every folder, and reports the kinds a full table left out.
void template_load_folders(const char *folder, void (*each)(void));
void template_load(const char *template_name);
void template_load_template_file(const char *filename, object *o);
object *template_get_by_name(const char *template_name);
object *template_get_by_index(uint16_t index);
// Looks up the five particle and block templates by name.
void template_find_particle_templates(void);
