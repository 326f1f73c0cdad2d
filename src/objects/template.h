// template.h — the object templates: one per folder under OBJECT, read from TEMPLATE.TXT, with
// their model, textures and icon
#pragma once
#include <cstdint>

#include "objects/object.h"

#define TEMPLATE_COUNT 100
// Characters kept of a template or object name.
#define TEMPLATE_NAME_LENGTH 31
// Characters read per line of a template file, and per word.
#define TEMPLATE_LINE_SIZE 1000

extern object object_template[TEMPLATE_COUNT];
extern uint16_t num_object_template;
extern inhand_animation object_template_inhand_animation[TEMPLATE_COUNT];

// The particle and block templates, looked up by name at start-up (none when missing).
extern object *debris_object_template, *block_object_template, *dust_object_template, *smoke_object_template,
    *flame_object_template;

void template_setup(void);
void template_load(const char *template_name);
void template_load_template_file(const char *filename, object *o);
object *template_get_by_name(const char *template_name);
object *template_get_by_index(uint16_t index);
// Looks up the five particle and block templates by name.
void template_find_particle_templates(void);
