// object_file.cpp — objects in chunk files: each object a record naming its template, with its
// inventory nested inside; the chunk's list runs to the end of the file
#include "objects/object_file.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "foundation/file.h"
#include "foundation/logfile.h"
#include "objects/inventory.h"
#include "objects/object_field.h"
#include "objects/template.h"
#include "world/chunkmap.h"

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
    uint8_t fields[OBJECT_FIELD_SAVED_BYTES];
    object_field_encode(o, fields);
    fwrite(fields, 1, sizeof(fields), openfile);
    file_write_byte(openfile, '<');
    if (depth < OBJECT_MAX_NESTING) {
        for (object *held = o->inventory_pile; held; held = held->next)
            object_export_nested(openfile, held, depth + 1);
    } else if (o->inventory_pile) {
        log_message(2, "Inventory of %s is nested deeper than %d; its contents are not saved", o->name,
                    OBJECT_MAX_NESTING);
    }
    if (o->kept_records_size) fwrite(o->kept_records, 1, o->kept_records_size, openfile);
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
    if (c->kept_objects_size) fwrite(c->kept_objects, 1, c->kept_objects_size, openfile);
    return ferror(openfile) ? 0 : 1;
}

// ---- reading
//
// A list is read whole into memory first. Each record is measured before anything is made of
// it, so a record is either sound from its first byte to its closer, with its inventory, or it is
// damage: then the reader looks for the next place where a sound record begins and goes on from
// there, so nothing readable after the damage is lost. A sound record whose kind is not loaded,
// that lies too deep, that is the player, or that is one more than a chunk may wake, is kept as
// its bytes and written back unchanged.

uint32_t global_object_chunk_limit = OBJECT_CHUNK_LIMIT;
uint32_t global_object_kept_records = 0;
uint32_t global_object_damaged_lists = 0;

// Scanning past damage for the next sound record stops after looking at this many bytes.
#define OBJECT_RESYNC_BUDGET (16u << 20)
// Kinds not loaded that one chunk's warnings name one by one.
#define OBJECT_WARNED_KINDS 16

struct object_read_state {
    const uint8_t *data;
    size_t size;
    chunk *c;                 // the chunk being read, or none
    object **fallback_pile;   // where objects lying in no resident chunk go
    const char *file_name;
    uint32_t made;            // objects brought to life from this list
    uint32_t asleep;          // records beyond the limit, kept as they are
    uint8_t trouble;
    uint8_t warned_limit, warned_player;
    // Reading a chunk: where its own records can lie (the chunk grown by one chunk each way).
    uint8_t check_area;
    float min_x, max_x, min_y, max_y;
    int warned_count;
    char warned[OBJECT_WARNED_KINDS][OBJECT_NAME_SIZE];
};

static uint8_t object_read_byte(const object_read_state *st, size_t *pos) {
    uint8_t value = *pos < st->size ? st->data[*pos] : (uint8_t)0;
    (*pos)++;
    return value;
}
static float object_read_f32(const object_read_state *st, size_t *pos) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; i++) bytes[i] = object_read_byte(st, pos);
    float value;
    memcpy(&value, bytes, 4);
    return value;
}

// A name that ends with its zero byte within 32 bytes; with printable_only, only printable
// characters (the test a record found past damage must pass). Leaves pos after the zero.
static uint8_t object_measure_name(const uint8_t *data, size_t size, size_t *pos, uint8_t printable_only,
                                   uint8_t may_be_empty) {
    for (int i = 0; i < OBJECT_NAME_SIZE; i++) {
        if (*pos + i >= size) return 0;
        uint8_t b = data[*pos + i];
        if (b == 0) {
            if (i == 0 && !may_be_empty) return 0;
            *pos += (size_t)i + 1;
            return 1;
        }
        if (printable_only && (b < 0x20 || b > 0x7E)) return 0;
    }
    return 0;
}

// Why the last record measured was not sound.
static const char *object_measure_problem = "";

// The length of the sound record that begins at data[pos], its whole inventory included, or 0.
// Open lists are counted, not recursed into, so no nesting in a file can exhaust the stack.
static size_t object_measure_record(const uint8_t *data, size_t size, size_t pos, uint8_t printable_only,
                                    size_t *examined) {
    size_t start = pos;
    uint32_t open_lists = 0;
    for (;;) {
        if (examined && *examined > OBJECT_RESYNC_BUDGET) {
            object_measure_problem = "too much to search";
            return 0;
        }
        if (pos + 13 > size) {
            object_measure_problem = "it is cut short";
            return 0;
        }
        pos += 12;
        if (data[pos] == 0) {
            // An end marker: it closes the innermost open list, and its record's closer follows.
            if (open_lists == 0) {
                object_measure_problem = "an end marker stands where a record should";
                return 0;
            }
            pos++;
            if (pos >= size) {
                object_measure_problem = "it is cut short";
                return 0;
            }
            if (data[pos] != 0) {
                object_measure_problem = "NULL expected";
                return 0;
            }
            pos++;
            if (examined) *examined += 14;
            if (--open_lists == 0) return pos - start;
            continue;
        }
        if (!object_measure_name(data, size, &pos, printable_only, 0) ||
            !object_measure_name(data, size, &pos, printable_only, 1)) {
            object_measure_problem = pos + OBJECT_NAME_SIZE >= size ? "it is cut short" : "a name has no end";
            return 0;
        }
        pos += OBJECT_FIELD_SAVED_BYTES;
        if (pos >= size) {
            object_measure_problem = "it is cut short";
            return 0;
        }
        if (data[pos] != '<') {
            object_measure_problem = "< character expected";
            return 0;
        }
        pos++;
        open_lists++;
        if (examined) *examined += 50;
    }
}

static void object_keep_bytes(uint8_t **kept, uint32_t *kept_size, const uint8_t *bytes, size_t length) {
    if (length == 0 || (uint64_t)*kept_size + length > 0xFFFFFFFFu) return;
    uint8_t *grown = (uint8_t *)realloc(*kept, *kept_size + length);
    if (!grown) {
        log_message(1, "Out of memory keeping %u bytes of object records; they are lost", (unsigned)length);
        return;
    }
    memcpy(grown + *kept_size, bytes, length);
    *kept = grown;
    *kept_size += (uint32_t)length;
}

void object_keep_held_record(object *holder, const uint8_t *bytes, size_t length) {
    if (!holder || !bytes) return;
    global_object_kept_records++;
    object_keep_bytes(&holder->kept_records, &holder->kept_records_size, bytes, length);
}

// Keeps a sound record as its bytes, in its holder's inventory or else in the chunk.
static void object_keep_record(object_read_state *st, object *holder, size_t pos, size_t length) {
    global_object_kept_records++;
    if (holder)
        object_keep_bytes(&holder->kept_records, &holder->kept_records_size, st->data + pos, length);
    else if (st->c)
        object_keep_bytes(&st->c->kept_objects, &st->c->kept_objects_size, st->data + pos, length);
    else
        log_message(1, "A record of %s has no chunk to be kept in; it is lost", st->file_name);
}

static void object_warn_unknown_kind(object_read_state *st, const char *kind) {
    for (int i = 0; i < st->warned_count; i++)
        if (strcmp(st->warned[i], kind) == 0) return;
    if (st->warned_count < OBJECT_WARNED_KINDS) {
        safe_string_copy(st->warned[st->warned_count++], kind, OBJECT_NAME_SIZE, 0);
        log_message(2, "Objects of kind %s in %s are kept as they are: that kind is not loaded", kind,
                    st->file_name);
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

// Brings one sound record (length bytes at pos) to life in holder (none: the world), or keeps it.
static object *object_take_record(object_read_state *st, size_t pos, size_t length, object *holder, int depth) {
    size_t p = pos;
    float x = object_read_f32(st, &p), y = object_read_f32(st, &p), z = object_read_f32(st, &p);
    char template_name[OBJECT_NAME_SIZE];
    size_t name_start = p;
    safe_string_copy(template_name, (const char *)st->data + name_start, OBJECT_NAME_SIZE, 0);
    object_measure_name(st->data, st->size, &p, 0, 0);
    char name[OBJECT_NAME_SIZE];
    safe_string_copy(name, (const char *)st->data + p, OBJECT_NAME_SIZE, 0);
    object_measure_name(st->data, st->size, &p, 0, 1);

    object *t = template_get_by_name(template_name);
    uint8_t finite_position = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
    uint8_t keep = 0;
    if (!t) {
        object_warn_unknown_kind(st, template_name);
        keep = 1;
    } else if (strcmp(t->name, "PLAYER") == 0) {
        // The player is never saved in a chunk: such a record would be a second player nobody steers.
        if (!st->warned_player)
            log_message(2, "A PLAYER record in %s is kept in the file as it is but not brought to life", st->file_name);
        st->warned_player = 1;
        keep = 1;
    } else if (depth > OBJECT_MAX_NESTING) {
        keep = 1;
    } else if (st->made >= global_object_chunk_limit) {
        st->asleep++;
        keep = 1;
    } else if (!holder && !finite_position) {
        log_message(2, "Object %s in %s lies at a position that is not a number; it is kept as it is", template_name,
                    st->file_name);
        keep = 1;
    }
    object *o = nullptr;
    if (!keep) {
        if (holder) {
            // An inventory item with a broken position is laid on a free slot below.
            o = object_spawn(t, holder, 1, finite_position ? x : 400.0f, finite_position ? y : 400.0f,
                             finite_position ? z : 0.0f);
        } else {
            o = object_spawn(t, nullptr, 1, x, y, z);
            if (!o && st->fallback_pile) {
                log_message(3, "Object %s at %f, %f lies in no resident chunk; it stays in the chunk being read",
                            template_name, (double)x, (double)y);
                o = object_spawn_into_pile(t, st->fallback_pile, 1, x, y, z);
            }
        }
        if (!o) log_message(2, "Object %s could not be placed; it is kept as it is", template_name);
    }
    if (!o) {
        object_keep_record(st, holder, pos, length);
        return nullptr;
    }
    st->made++;

    memcpy(o->name, name, OBJECT_NAME_SIZE);
    // Numbers that are not numbers keep the template's values and the upright facing.
    const float hits = o->hits, value = o->value;
    float facing[4];
    memcpy(facing, o->facing_xyzw, sizeof(facing));
    // The measure found the record whole, so its fields are all there.
    object_field_decode(st->data + p, o);
    p += OBJECT_FIELD_SAVED_BYTES;
    if (!std::isfinite(o->hits)) o->hits = hits;
    if (!std::isfinite(o->value)) o->value = value;
    if (!std::isfinite(o->facing_xyzw[0]) || !std::isfinite(o->facing_xyzw[1]) || !std::isfinite(o->facing_xyzw[2]) ||
        !std::isfinite(o->facing_xyzw[3]))
        memcpy(o->facing_xyzw, facing, sizeof(facing));
    if (holder && !finite_position) {
        float sx, sy;
        object_find_inventory_slot(holder, &sx, &sy);
        o->position = vector{sx, sy, 0.0f};
    }

    p++;  // the '<' the measure found
    object *previous = nullptr;
    while (st->data[p + 12] != 0) {
        size_t inner = object_measure_record(st->data, st->size, p, 0, nullptr);
        if (inner == 0) break;  // cannot happen: the whole record was measured sound
        object *held = object_take_record(st, p, inner, o, depth + 1);
        if (held) {
            object_place_after(held, previous);
            previous = held;
        }
        p += inner;
    }
    return o;
}

// Reads the rest of a file into memory, at most the largest chunk file there can be.
static uint8_t *object_read_rest(FILE *file, size_t *size) {
    *size = 0;
    size_t capacity = 65536;
    uint8_t *data = (uint8_t *)malloc(capacity);
    while (data) {
        if (*size == capacity) {
            if (capacity >= CHUNKMAP_FILE_LIMIT) break;
            uint8_t *grown = (uint8_t *)realloc(data, capacity * 2);
            if (!grown) break;
            data = grown;
            capacity *= 2;
        }
        size_t got = fread(data + *size, 1, capacity - *size, file);
        *size += got;
        if (got == 0) break;
    }
    return data;
}

static void object_log_damage(object_read_state *st, size_t pos, const char *problem) {
    log_message(1, "Had trouble reading object from file -- %s (%s, byte %u of its object list)", problem,
                st->file_name, (unsigned)pos);
    st->trouble = 1;
}

// The length of a sound record at the top of a list, or 0. In a chunk's list a record also lies
// near that chunk: the game writes each object into the chunk under it, so a record elsewhere (or
// at a position that is not a number) is damage, such as a list shifted by a lost byte.
static size_t object_measure_top_record(object_read_state *st, size_t pos, uint8_t printable_only,
                                        size_t *examined) {
    size_t length = object_measure_record(st->data, st->size, pos, printable_only, examined);
    if (length == 0 || !st->check_area) return length;
    size_t p = pos;
    float x = object_read_f32(st, &p), y = object_read_f32(st, &p), z = object_read_f32(st, &p);
    if (x >= st->min_x && x <= st->max_x && y >= st->min_y && y <= st->max_y && z >= -1000.0f && z <= 100000.0f)
        return length;
    object_measure_problem = "a record lies far from its chunk";
    return 0;
}

// Reads a top-level list: sound records one after another; damage is logged and skipped to the
// next sound record. Returns the first object made.
static object *object_read_top_list(object_read_state *st, object *holder, size_t *consumed, uint8_t one_only) {
    object *first = nullptr, *previous = nullptr;
    size_t pos = 0, examined = 0;
    while (pos < st->size) {
        size_t length = object_measure_top_record(st, pos, 0, nullptr);
        if (length == 0) {
            // The game writes no end marker at the top, but a list that ends with one is whole.
            if (pos + OBJECT_END_MARKER_SIZE <= st->size && st->data[pos + 12] == 0 &&
                (one_only || pos + OBJECT_END_MARKER_SIZE == st->size)) {
                pos += OBJECT_END_MARKER_SIZE;
                break;
            }
            object_log_damage(st, pos, object_measure_problem);
            size_t next = pos + 1;
            while (next < st->size && object_measure_top_record(st, next, 1, &examined) == 0) {
                if (examined > OBJECT_RESYNC_BUDGET) {
                    next = st->size;
                    break;
                }
                next++;
            }
            log_message(1, "  %u bytes of the object list of %s hold no readable object%s", (unsigned)(next - pos),
                        st->file_name, next < st->size ? "; reading goes on after them" : "");
            pos = next;
            if (one_only) break;
            continue;
        }
        object *o = object_take_record(st, pos, length, holder, holder ? 1 : 0);
        pos += length;
        if (o) {
            if (!first) first = o;
            object_place_after(o, previous);
            previous = o;
        }
        if (one_only) break;
    }
    if (consumed) *consumed = pos;
    return first;
}

static void object_read_state_init(object_read_state *st, const uint8_t *data, size_t size, chunk *c,
                                   const char *file_name) {
    memset(st, 0, sizeof(*st));
    st->data = data;
    st->size = size;
    st->c = c;
    st->fallback_pile = c ? &c->local_object_pile : nullptr;
    st->file_name = file_name;
}

static object *object_import_from(FILE *openfile, object *holder, uint8_t one_only) {
    if (!openfile) return nullptr;
    long start = ftell(openfile);
    size_t size = 0;
    uint8_t *data = object_read_rest(openfile, &size);
    if (!data) return nullptr;
    object_read_state st;
    object_read_state_init(&st, data, size, nullptr, "an object file");
    size_t consumed = 0;
    object *first = object_read_top_list(&st, holder, &consumed, one_only);
    if (start >= 0) fseek(openfile, start + (long)consumed, SEEK_SET);
    free(data);
    return first;
}

object *object_import(FILE *openfile, object *holder) { return object_import_from(openfile, holder, 1); }

object *object_import_all(FILE *openfile) { return object_import_from(openfile, nullptr, 0); }

uint8_t object_import_chunk(FILE *openfile, chunk *c) {
    if (!openfile || !c) return 0;
    char file_name[CHUNKMAP_PATH_SIZE] = "a chunk file";
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++)
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++)
            if (chunk_map[cx][cy] == c) chunkmap_file_name(file_name, sizeof(file_name), cx, cy);
    size_t size = 0;
    uint8_t *data = object_read_rest(openfile, &size);
    if (!data) {
        log_message(1, "Out of memory reading the objects of %s", file_name);
        return 0;
    }
    object_read_state st;
    object_read_state_init(&st, data, size, c, file_name);
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            if (chunk_map[cx][cy] != c) continue;
            st.check_area = 1;
            st.min_x = (float)((cx - 1) * CHUNK_SIZE);
            st.max_x = (float)((cx + 2) * CHUNK_SIZE);
            st.min_y = (float)((cy - 1) * CHUNK_SIZE);
            st.max_y = (float)((cy + 2) * CHUNK_SIZE);
        }
    }
    object_read_top_list(&st, nullptr, nullptr, 0);
    free(data);
    if (st.asleep)
        log_message(2, "%s holds more objects than the %u one chunk wakes; %u more stay asleep in it and are saved "
                       "back as they are",
                    file_name, (unsigned)global_object_chunk_limit, (unsigned)st.asleep);
    if (st.trouble) global_object_damaged_lists++;
    return st.trouble ? 0 : 1;
}

void object_file_reset(void) {
    global_object_chunk_limit = OBJECT_CHUNK_LIMIT;
    global_object_kept_records = 0;
    global_object_damaged_lists = 0;
}
