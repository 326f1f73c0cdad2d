// object_file.h — objects in chunk files: self-contained records naming their template, each
// object's inventory written inside its record
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/object.h"

// Bytes of the end marker of an object list: three floats and a zero byte.
#define OBJECT_END_MARKER_SIZE 13

void object_export(FILE *openfile, object *o);
void object_export_all(FILE *openfile, object *o);
object *object_import(FILE *openfile, object *holder);
object *object_import_all(FILE *openfile);
// A chunk's object list: written after its pillars, read back into the chunk being read (objects
// whose position lies in no resident chunk stay in it). Returns 1 when the list read cleanly.
uint8_t object_import_chunk(FILE *openfile, chunk *c);
uint8_t object_export_chunk(FILE *openfile, chunk *c);
