// object_file.h — objects in chunk files: self-contained records naming their template, each
// object's inventory written inside its record
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/object.h"

// Bytes of the end marker of an object list: three floats and a zero byte.
#define OBJECT_END_MARKER_SIZE 13

// The most objects one chunk's file brings to life; records beyond it stay asleep, kept as
// their bytes in the chunk and saved back unchanged, so no file can make a world step slow.
#define OBJECT_CHUNK_LIMIT 1024
extern uint32_t global_object_chunk_limit;
// Records kept as their bytes since start (a kind not loaded, beyond the limit, the player, too
// deep), and object lists found damaged since start.
extern uint32_t global_object_kept_records;
// Keeps a whole record the game cannot bring to life as its bytes in holder's inventory; they are
// written back after the holder's live items wherever the holder is saved.
void object_keep_held_record(object *holder, const uint8_t *bytes, size_t length);
extern uint32_t global_object_damaged_lists;
// The limit and both counts as at start.
void object_file_reset(void);

void object_export(FILE *openfile, object *o);
void object_export_all(FILE *openfile, object *o);
object *object_import(FILE *openfile, object *holder);
object *object_import_all(FILE *openfile);
// A chunk's object list: written after its pillars, read back into the chunk being read (objects
// whose position lies in no resident chunk stay in it). Returns 1 when the list read cleanly, 0
// when it was damaged: every sound record around the damage is still read.
uint8_t object_import_chunk(FILE *openfile, chunk *c);
uint8_t object_export_chunk(FILE *openfile, chunk *c);
