// object_file.cpp — objects in chunk files: each object a record naming its template, with its
// inventory nested inside; the chunk's list runs to the end of the file
#include "objects/object_file.h"

#include <cmath>
#include <cstring>

#include "foundation/file.h"
#include "foundation/logfile.h"
#include "objects/inventory.h"
#include "objects/template.h"
#include "world/chunkmap.h"

// Bytes of a record from its material up to and including its facing.
#define OBJECT_RECORD_FIELD_BYTES 37

// Where objects of the chunk being read go when no resident chunk lies under them.
static object **object_import_fallback_pile = nullptr;
// Set when the list being read turned out damaged.
static uint8_t object_import_trouble = 0;

// Writes a name byte by byte up to and including its zero, at most 31 characters.
static void object_write_name(FILE *file, const char *name) {
    size_t length = strnlen(name, TEMPLATE_NAME_LENGTH);
    for (size_t i = 0; i < length; i++) file_write_byte(file, (uint8_t)name[i]);
    file_write_byte(file, 0);
}

static void object_write_end_marker(FILE *file) {
    file_write_float(file, 0.0f);
    file_write_float(file, 0.0f);
    file_write_float(file, 0.0f);
    file_write_byte(file, 0);
}

static void object_export_nested(FILE *openfile, object *o, int depth) {
    if (!openfile || !o || !o->full_collide || o == local_player) return;
    const object *t = template_get_by_index(o->template_index);
    if (!t) return;
    file_write_float(openfile, o->position.x);
    file_write_float(openfile, o->position.y);
    file_write_float(openfile, o->position.z);
    object_write_name(openfile, t->name);
    object_write_name(openfile, o->name);
    file_write_byte(openfile, o->material);
    file_write_byte(openfile, o->light);
    file_write_byte(openfile, o->full_collide);
    file_write_byte(openfile, o->flat_on_ground);
    file_write_byte(openfile, o->rolling_sphere);
    file_write_byte(openfile, o->static_sphere);
    file_write_byte(openfile, o->show_material);
    file_write_short(openfile, o->inventory_stack_count);
    file_write_short(openfile, o->spin);
    file_write_short(openfile, o->frame);
    file_write_float(openfile, o->hits);
    file_write_float(openfile, o->value);
    for (int i = 0; i < 4; i++) file_write_float(openfile, o->facing_xyzw[i]);
    file_write_byte(openfile, '<');
    if (depth < OBJECT_MAX_NESTING) {
        for (object *held = o->inventory_pile; held; held = held->next)
            object_export_nested(openfile, held, depth + 1);
    } else if (o->inventory_pile) {
        log_message(2, "Inventory of %s is nested deeper than %d; its contents are not saved", o->name,
                    OBJECT_MAX_NESTING);
    }
    object_write_end_marker(openfile);
    file_write_byte(openfile, 0);
}

void object_export(FILE *openfile, object *o) { object_export_nested(openfile, o, 0); }

void object_export_all(FILE *openfile, object *o) {
    for (; o; o = o->next) object_export(openfile, o);
}

uint8_t object_export_chunk(FILE *openfile, chunk *c) {
    if (!openfile || !c) return 0;
    object_export_all(openfile, c->local_object_pile);
    return ferror(openfile) ? 0 : 1;
}

// Reads a name: at most 32 bytes, stopping after a zero byte; the 32nd byte is taken as zero.
// Returns 0 when the very first byte is zero (an end marker).
static uint8_t object_read_name(FILE *file, char name[OBJECT_NAME_SIZE]) {
    int i = 0;
    for (; i < OBJECT_NAME_SIZE; i++) {
        name[i] = (char)file_read_byte(file);
        if (name[i] == 0) break;
    }
    name[OBJECT_NAME_SIZE - 1] = 0;
    return name[0] != 0 ? 1 : 0;
}

static void object_read_closer(FILE *file) {
    if (file_read_byte(file) != 0) {
        log_message(1, "Had trouble reading object from file -- NULL expected");
        object_import_trouble = 1;
    }
}

// Reads past one object list without making anything: an explicit count of open lists stands in
// for recursion, so no nesting in a file can exhaust the stack.
static void object_skip_list(FILE *file) {
    char name[OBJECT_NAME_SIZE];
    uint32_t open_lists = 1;
    while (open_lists > 0) {
        for (int i = 0; i < 3; i++) file_read_float(file);
        if (!object_read_name(file, name)) {
            open_lists--;
            if (open_lists > 0) object_read_closer(file);
            continue;
        }
        object_read_name(file, name);
        for (int i = 0; i < OBJECT_RECORD_FIELD_BYTES; i++) file_read_byte(file);
        if (file_read_byte(file) == '<') {
            open_lists++;
        } else {
            log_message(1, "Had trouble reading object from file -- < character expected");
            object_import_trouble = 1;
            object_read_closer(file);
        }
        if (feof(file)) break;
    }
}

// Moves o to just after previous in their pile, so a list is read back in the order it was
// written (the first item of an inventory is the one in hand).
static void object_place_after(object *o, object *previous) {
    if (!o || !previous || o == previous || !previous->current_pile || o->current_pile != previous->current_pile)
        return;
    object **pile = o->current_pile;
    remove_object_from_pile(o);
    o->current_pile = pile;
    o->prev = previous;
    o->next = previous->next;
    if (previous->next) previous->next->prev = o;
    previous->next = o;
}

#define OBJECT_READ_END 0
#define OBJECT_READ_OBJECT 1
#define OBJECT_READ_SKIPPED 2

static uint8_t object_read_record(FILE *file, object *holder, uint8_t skip, int depth, object **out);

// Reads records into holder (none: the world) until the list's end marker; returns the first
// object made.
static object *object_read_list(FILE *file, object *holder, uint8_t skip, int depth) {
    object *first = nullptr, *previous = nullptr, *o = nullptr;
    uint8_t result;
    while ((result = object_read_record(file, holder, skip, depth, &o)) != OBJECT_READ_END) {
        if (result != OBJECT_READ_OBJECT) continue;
        if (!first) first = o;
        object_place_after(o, previous);
        previous = o;
        if (feof(file)) break;
    }
    return first;
}

static uint8_t object_read_record(FILE *file, object *holder, uint8_t skip, int depth, object **out) {
    *out = nullptr;
    float x = file_read_float(file), y = file_read_float(file), z = file_read_float(file);
    char template_name[OBJECT_NAME_SIZE];
    if (!object_read_name(file, template_name)) return OBJECT_READ_END;

    object *o = nullptr;
    uint8_t finite_position = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
    if (!skip) {
        object *t = template_get_by_name(template_name);
        if (!t) t = template_get_by_name("DUST");
        if (!t) {
            log_message(2, "Object of unknown kind %s is skipped", template_name);
        } else if (holder) {
            // An inventory item with a broken position is laid on a free slot below.
            o = object_spawn(t, holder, 1, finite_position ? x : 400.0f, finite_position ? y : 400.0f,
                             finite_position ? z : 0.0f);
        } else if (!finite_position) {
            log_message(1, "Object %s at a position that is not a number is skipped", template_name);
            object_import_trouble = 1;
        } else {
            o = object_spawn(t, nullptr, 1, x, y, z);
            if (!o && object_import_fallback_pile) {
                log_message(3, "Object %s at %f, %f lies in no resident chunk; it stays in the chunk being read",
                            template_name, (double)x, (double)y);
                o = object_spawn_into_pile(t, object_import_fallback_pile, 1, x, y, z);
            }
            if (!o) log_message(2, "Object %s could not be placed and is skipped", template_name);
        }
    }

    char name[OBJECT_NAME_SIZE];
    object_read_name(file, name);
    uint8_t bytes[7];
    for (int i = 0; i < 7; i++) bytes[i] = file_read_byte(file);
    uint16_t stack = file_read_short(file), spin = file_read_short(file), frame = file_read_short(file);
    float hits = file_read_float(file), value = file_read_float(file);
    float facing[4];
    for (int i = 0; i < 4; i++) facing[i] = file_read_float(file);

    if (o) {
        memcpy(o->name, name, OBJECT_NAME_SIZE);
        o->material = bytes[0];
        o->light = bytes[1];
        o->full_collide = bytes[2];
        o->flat_on_ground = bytes[3];
        o->rolling_sphere = bytes[4];
        o->static_sphere = bytes[5];
        o->show_material = bytes[6];
        o->inventory_stack_count = stack;
        o->spin = spin;
        o->frame = frame;
        // Numbers that are not numbers keep the template's values and the upright facing.
        if (std::isfinite(hits)) o->hits = hits;
        if (std::isfinite(value)) o->value = value;
        if (std::isfinite(facing[0]) && std::isfinite(facing[1]) && std::isfinite(facing[2]) &&
            std::isfinite(facing[3]))
            memcpy(o->facing_xyzw, facing, sizeof(facing));
        if (holder && !finite_position) {
            float sx, sy;
            object_find_inventory_slot(holder, &sx, &sy);
            o->position = vector{sx, sy, 0.0f};
        }
    }

    if (file_read_byte(file) == '<') {
        if (depth < OBJECT_MAX_NESTING)
            object_read_list(file, o, o ? skip : 1, depth + 1);
        else
            object_skip_list(file);
    } else {
        log_message(1, "Had trouble reading object from file -- < character expected");
        object_import_trouble = 1;
    }
    object_read_closer(file);
    *out = o;
    return o ? OBJECT_READ_OBJECT : OBJECT_READ_SKIPPED;
}

object *object_import(FILE *openfile, object *holder) {
    if (!openfile) return nullptr;
    object *o = nullptr;
    object_read_record(openfile, holder, 0, 0, &o);
    return o;
}

object *object_import_all(FILE *openfile) {
    if (!openfile) return nullptr;
    return object_read_list(openfile, nullptr, 0, 0);
}

uint8_t object_import_chunk(FILE *openfile, chunk *c) {
    if (!openfile || !c) return 0;
    object_import_fallback_pile = &c->local_object_pile;
    object_import_trouble = 0;
    object_import_all(openfile);
    object_import_fallback_pile = nullptr;
    return object_import_trouble ? 0 : 1;
}
