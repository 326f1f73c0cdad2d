// object_field.h — one table of the object record's fields: which TEMPLATE.TXT keyword sets
// them, which belong to an instance rather than its kind, and which make up the saved record
// (chunk files and the player file) in their order
#pragma once
#include <cstddef>
#include <cstdint>

#include "objects/object.h"

// What a field holds.
#define OBJECT_FIELD_BYTE 0
#define OBJECT_FIELD_SHORT 1
#define OBJECT_FIELD_FLOAT 2
// Anything else (links, arrays, vectors): only cleared, never read or written as numbers.
#define OBJECT_FIELD_RAW 3

// What a field is for (bits).
#define OBJECT_FIELD_FLAG_KEYWORD 1    // a TEMPLATE.TXT keyword without arguments sets it to 1
#define OBJECT_FIELD_NUMBER_KEYWORD 2  // a TEMPLATE.TXT keyword with one number sets it
#define OBJECT_FIELD_SAVED 4           // part of the saved record, in table order
#define OBJECT_FIELD_INSTANCE 8        // the instance's own: spawning clears it instead of copying it

struct object_field {
    const char *keyword;  // TEMPLATE.TXT keyword, or none
    const char *label;    // the name a flag is logged by ("FullCollide"), or none
    uint16_t offset;
    uint16_t size;        // bytes of the whole field
    uint8_t type;
    uint8_t count;        // values of that type (4 for the facing)
    uint8_t roles;
};

extern const object_field object_fields[];
extern const int object_field_count;

// Bytes of the saved fields of a record (after the two names, before the inventory opener).
#define OBJECT_FIELD_SAVED_BYTES 37

// The field a TEMPLATE.TXT keyword of the given role sets, or none.
const object_field *object_field_by_keyword(const char *keyword, uint8_t role);
// Writes o's saved fields into out (OBJECT_FIELD_SAVED_BYTES), in memory order as the file
// helpers write them.
void object_field_encode(const object *o, uint8_t *out);
// Reads the saved fields from in (OBJECT_FIELD_SAVED_BYTES) into o.
void object_field_decode(const uint8_t *in, object *o);
// Clears every field an instance owns (links, joints, kept records, motion, timers).
void object_field_clear_instance(object *o);
