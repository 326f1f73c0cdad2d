// player_file.cpp — the player's file: a short header (format, world clock, camera), the player's
// object record with everything it carries nested inside, and a checksum. Records are laid out as
// in chunk files, but every item is kept (not only full-collide ones). A reader checks the whole
// file before anything in the world changes, and refuses any file the game could not have written.
#include "objects/player_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/input.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "objects/object_field.h"
#include "objects/object_file.h"
#include "objects/template.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"

player_file_state global_player_file = {0, 0, 0, {0.0f, 0.0f, 0.0f}};
const char *global_player_file_refusal = "";

// The bytes of the last file that decoded cleanly, kept until restored or forgotten.
static uint8_t *player_file_kept = nullptr;
static size_t player_file_kept_size = 0;

#define PLAYER_FILE_HEADER_BYTES 14
#define PLAYER_FILE_CHECKSUM_BYTES 4
#define PLAYER_FILE_PATH_SIZE 256

uint32_t player_file_checksum(const uint8_t *data, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; i++) {
        hash ^= data[i];
        hash *= 16777619u;
    }
    return hash;
}

// ---- writing

struct player_writer {
    uint8_t *data;
    size_t size, capacity;
    uint32_t records;
    uint8_t failed;
};

static void player_put(player_writer *w, const void *bytes, size_t n) {
    if (w->failed) return;
    if (w->size + n > w->capacity) {
        size_t capacity = w->capacity ? w->capacity : 4096;
        while (capacity < w->size + n) capacity *= 2;
        uint8_t *grown = (uint8_t *)realloc(w->data, capacity);
        if (!grown) {
            w->failed = 1;
            return;
        }
        w->data = grown;
        w->capacity = capacity;
    }
    memcpy(w->data + w->size, bytes, n);
    w->size += n;
}

// Every supported platform is little-endian: values go out in memory order, as in chunk files.
static void player_put_byte(player_writer *w, uint8_t v) { player_put(w, &v, 1); }
static void player_put_short(player_writer *w, uint16_t v) { player_put(w, &v, 2); }
static void player_put_long(player_writer *w, uint32_t v) { player_put(w, &v, 4); }
static void player_put_float(player_writer *w, float v) { player_put(w, &v, 4); }

static void player_put_name(player_writer *w, const char *name) {
    size_t length = strnlen(name, OBJECT_NAME_SIZE - 1);
    player_put(w, name, length);
    player_put_byte(w, 0);
}

static void player_put_record(player_writer *w, const object *o, int depth) {
    const object *t = template_get_by_index(o->template_index);
    if (!t) return;
    if (++w->records > PLAYER_FILE_MAX_RECORDS) {
        w->failed = 1;
        return;
    }
    player_put_float(w, o->position.x);
    player_put_float(w, o->position.y);
    player_put_float(w, o->position.z);
    player_put_name(w, t->name);
    player_put_name(w, o->name);
    uint8_t fields[OBJECT_FIELD_SAVED_BYTES];
    object_field_encode(o, fields);
    player_put(w, fields, sizeof(fields));
    player_put_byte(w, '<');
    if (depth < OBJECT_MAX_NESTING) {
        for (const object *held = o->inventory_pile; held; held = held->next) player_put_record(w, held, depth + 1);
    } else if (o->inventory_pile) {
        log_message(2, "Inventory of %s is nested deeper than %d; its contents are not saved", o->name,
                    OBJECT_MAX_NESTING);
    }
    // Records kept as bytes (kinds not loaded when they were read) follow the live items.
    if (o->kept_records_size) player_put(w, o->kept_records, o->kept_records_size);
    for (int i = 0; i < 3; i++) player_put_float(w, 0.0f);
    player_put_byte(w, 0);
    player_put_byte(w, 0);
}

uint8_t player_file_encode(const object *player, const player_file_state *state, uint8_t **data, size_t *size) {
    *data = nullptr;
    *size = 0;
    if (!player || !state || !template_get_by_index(player->template_index)) return 0;
    player_writer w = {nullptr, 0, 0, 0, 0};
    player_put(&w, PLAYER_FILE_MAGIC, 4);
    player_put_short(&w, PLAYER_FILE_VERSION);
    player_put_long(&w, state->world_frame);
    player_put_short(&w, state->heading);
    player_put_short(&w, state->pitch);
    player_put_record(&w, player, 0);
    if (!w.failed) player_put_long(&w, player_file_checksum(w.data, w.size));
    if (w.failed || w.size > PLAYER_FILE_MAX_BYTES) {
        if (w.records > PLAYER_FILE_MAX_RECORDS)
            log_message(1, "The player carries more than %u things; they cannot all be saved", PLAYER_FILE_MAX_RECORDS);
        free(w.data);
        return 0;
    }
    *data = w.data;
    *size = w.size;
    return 1;
}

// ---- reading

struct player_reader {
    const uint8_t *data;
    size_t size, at;
    uint32_t records;
    const char *fault;
};

static uint8_t player_fail(player_reader *r, const char *fault) {
    if (!r->fault) r->fault = fault;
    return 0;
}

static uint8_t player_get(player_reader *r, void *out, size_t n) {
    if (r->fault) return 0;
    if (r->size - r->at < n) return player_fail(r, "it is cut short");
    memcpy(out, r->data + r->at, n);
    r->at += n;
    return 1;
}

// A name: at most 31 printable characters and its zero byte. Returns 0 on a fault; *empty is set
// when the first byte is the zero (an end marker where a kind would begin).
static uint8_t player_get_name(player_reader *r, char name[OBJECT_NAME_SIZE], uint8_t *empty) {
    for (int i = 0; i < OBJECT_NAME_SIZE; i++) {
        uint8_t c = 0;
        if (!player_get(r, &c, 1)) return 0;
        name[i] = (char)c;
        if (c == 0) {
            if (empty) *empty = i == 0 ? 1 : 0;
            return 1;
        }
        if (c < 32 || c > 126) return player_fail(r, "it holds a name that is not plain text");
    }
    return player_fail(r, "it holds a name longer than 31 characters");
}

struct player_record {
    vector position;
    char kind[OBJECT_NAME_SIZE];
    char name[OBJECT_NAME_SIZE];
    uint8_t saved[OBJECT_FIELD_SAVED_BYTES];  // the saved fields as read
};

static uint8_t player_finite(float v, float limit) { return std::isfinite(v) && fabsf(v) <= limit; }

// The fields of one record after its kind; checks every value against what the game writes.
static uint8_t player_get_fields(player_reader *r, player_record *rec) {
    uint8_t empty = 0;
    if (!player_get_name(r, rec->name, &empty)) return 0;
    if (!player_get(r, rec->saved, sizeof(rec->saved))) return 0;
    object fields = {};
    object_field_decode(rec->saved, &fields);
    const object *f = &fields;
    // The flags saved are flag keywords' fields: 0 or 1 only.
    for (int i = 0; i < object_field_count; i++) {
        const object_field &field = object_fields[i];
        if ((field.roles & OBJECT_FIELD_SAVED) && (field.roles & OBJECT_FIELD_FLAG_KEYWORD) &&
            *((const uint8_t *)f + field.offset) > 1)
            return player_fail(r, "it holds a flag that is neither 0 nor 1");
    }
    if (!std::isfinite(f->hits) || !std::isfinite(f->value)) return player_fail(r, "it holds a number that is not a number");
    for (int i = 0; i < 4; i++)
        if (!player_finite(f->facing_xyzw[i], 2.0f)) return player_fail(r, "it holds a facing that is no rotation");
    return 1;
}

static void player_apply_record(object *o, const player_record *rec) {
    memcpy(o->name, rec->name, OBJECT_NAME_SIZE);
    o->name[OBJECT_NAME_SIZE - 1] = 0;
    object_field_decode(rec->saved, o);
    o->position = rec->position;
}

// Moves o, just put at the head of its pile, to right after previous, so a list is rebuilt in
// the order it was written (the first item of an inventory is the one in hand).
static void player_place_after(object *o, object *previous) {
    if (!previous || o->current_pile != previous->current_pile) return;
    object **pile = o->current_pile;
    remove_object_from_pile(o);
    o->current_pile = pile;
    o->prev = previous;
    o->next = previous->next;
    if (previous->next) previous->next->prev = o;
    previous->next = o;
}

static uint8_t player_get_list(player_reader *r, object *holder, int depth);

// One item record, its kind already read. With a holder, the item is made in its inventory;
// without one (checking, or under an item left out) it is only read. Returns the item made.
static object *player_get_item(player_reader *r, player_record *rec, object *holder, int depth) {
    if (depth > OBJECT_MAX_NESTING) {
        player_fail(r, "its inventory is nested deeper than the game nests it");
        return nullptr;
    }
    if (++r->records > PLAYER_FILE_MAX_RECORDS) {
        player_fail(r, "it holds more things than a player can carry");
        return nullptr;
    }
    if (!player_finite(rec->position.x, 1.0e6f) || !player_finite(rec->position.y, 1.0e6f) ||
        !player_finite(rec->position.z, 1.0e6f)) {
        player_fail(r, "it holds an item whose place is not a number");
        return nullptr;
    }
    if (!player_get_fields(r, rec)) return nullptr;
    object *o = nullptr;
    if (holder) {
        object *t = template_get_by_name(rec->kind);
        if (!t) {
            log_message(2, "  The player's %s is left out: there is no object kind %s any more", rec->name, rec->kind);
        } else {
            o = object_spawn(t, holder, 1, rec->position.x, rec->position.y, rec->position.z);
            if (o) player_apply_record(o, rec);
        }
    }
    uint8_t opener = 0;
    if (!player_get(r, &opener, 1)) return nullptr;
    if (opener != '<') {
        player_fail(r, "an inventory does not begin with <");
        return nullptr;
    }
    if (!player_get_list(r, o, depth)) return nullptr;
    return o;
}

// Records until the list's end marker (three floats and a zero where a kind would begin), then
// the record's closing zero.
static uint8_t player_get_list(player_reader *r, object *holder, int depth) {
    object *previous = nullptr;
    for (;;) {
        player_record rec = {};
        const size_t start = r->at;
        float xyz[3] = {0.0f, 0.0f, 0.0f};
        for (int i = 0; i < 3; i++) player_get(r, &xyz[i], 4);
        uint8_t empty = 0;
        if (!player_get_name(r, rec.kind, &empty)) return 0;
        if (empty) break;
        rec.position = vector{xyz[0], xyz[1], xyz[2]};
        object *o = player_get_item(r, &rec, holder, depth + 1);
        if (r->fault) return 0;
        // An item of a kind no longer loaded stays in the inventory as its bytes, so the next
        // save writes it back and a game that has the kind again gets it back.
        if (!o && holder) object_keep_held_record(holder, r->data + start, r->at - start);
        if (o) {
            player_place_after(o, previous);
            previous = o;
        }
    }
    uint8_t closer = 1;
    if (!player_get(r, &closer, 1)) return 0;
    if (closer != 0) return player_fail(r, "a record does not end with a zero byte");
    return 1;
}

// The whole file: header, the player's record with its inventory, the checksum. With player set
// the record and items are given to it; otherwise only checked (and global_player_file filled).
static uint8_t player_read(player_reader *r, object *player) {
    if (r->size < PLAYER_FILE_HEADER_BYTES + PLAYER_FILE_CHECKSUM_BYTES) return player_fail(r, "it is cut short");
    char magic[4];
    uint16_t version = 0;
    player_file_state state;
    player_get(r, magic, 4);
    player_get(r, &version, 2);
    if (memcmp(magic, PLAYER_FILE_MAGIC, 4) != 0) return player_fail(r, "it is not a player file");
    if (version != PLAYER_FILE_VERSION) return player_fail(r, "it was written in a format this game does not know");
    uint32_t stored = 0;
    memcpy(&stored, r->data + r->size - PLAYER_FILE_CHECKSUM_BYTES, 4);
    if (stored != player_file_checksum(r->data, r->size - PLAYER_FILE_CHECKSUM_BYTES))
        return player_fail(r, "its checksum does not match: it is damaged");
    player_get(r, &state.world_frame, 4);
    player_get(r, &state.heading, 2);
    player_get(r, &state.pitch, 2);
    if (state.pitch < INPUT_PITCH_LOW || state.pitch > INPUT_PITCH_HIGH)
        return player_fail(r, "its camera pitch is steeper than the game allows");

    // The body of the file without its checksum.
    r->size -= PLAYER_FILE_CHECKSUM_BYTES;
    player_record rec = {};
    float xyz[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 3; i++) player_get(r, &xyz[i], 4);
    uint8_t empty = 0;
    if (!player_get_name(r, rec.kind, &empty)) return 0;
    if (empty || strcmp(rec.kind, "PLAYER") != 0) return player_fail(r, "it holds no record of kind PLAYER");
    rec.position = vector{xyz[0], xyz[1], xyz[2]};
    if (!std::isfinite(rec.position.x) || !std::isfinite(rec.position.y) || !std::isfinite(rec.position.z) ||
        rec.position.x < 0.0f || rec.position.y < 0.0f || rec.position.x >= (float)CHUNKMAP_COLUMNS ||
        rec.position.y >= (float)CHUNKMAP_COLUMNS || fabsf(rec.position.z) > 4096.0f)
        return player_fail(r, "the player stands off the map");
    r->records = 1;
    if (!player_get_fields(r, &rec)) return 0;
    if (player) player_apply_record(player, &rec);
    uint8_t opener = 0;
    if (!player_get(r, &opener, 1)) return 0;
    if (opener != '<') return player_fail(r, "an inventory does not begin with <");
    if (!player_get_list(r, player, 0)) return 0;
    if (r->at != r->size) return player_fail(r, "it goes on past the player's record");
    state.position = rec.position;
    global_player_file = state;
    return 1;
}

void player_file_forget(void) {
    free(player_file_kept);
    player_file_kept = nullptr;
    player_file_kept_size = 0;
}

uint8_t player_file_decode(const uint8_t *data, size_t size) {
    player_file_forget();
    global_player_file_refusal = "";
    if (!data || size > PLAYER_FILE_MAX_BYTES) {
        global_player_file_refusal = "it is longer than any player file";
        return 0;
    }
    player_reader r = {data, size, 0, 0, nullptr};
    if (!player_read(&r, nullptr)) {
        global_player_file_refusal = r.fault ? r.fault : "it cannot be read";
        return 0;
    }
    player_file_kept = (uint8_t *)malloc(size);
    if (!player_file_kept) {
        global_player_file_refusal = "there is no memory to read it";
        return 0;
    }
    memcpy(player_file_kept, data, size);
    player_file_kept_size = size;
    return 1;
}

uint8_t player_file_restore(object *player) {
    if (!player || !player_file_kept) return 0;
    player_reader r = {player_file_kept, player_file_kept_size, 0, 0, nullptr};
    uint8_t ok = player_read(&r, player);
    player_file_forget();
    return ok;
}

// ---- the file on disk

void player_file_name(char *name, int size, const char *world_name) {
    snprintf(name, (size_t)size, PLAYER_FILE_NAME, world_name);
}

// Keeps a refused file aside under the .BAD name, so the next save does not lose it.
static void player_file_keep_refused(const char *path, const char *name, const char *world_name, const char *reason) {
    char bad_name[PLAYER_FILE_PATH_SIZE], bad_path[PLAYER_FILE_PATH_SIZE];
    snprintf(bad_name, sizeof(bad_name), PLAYER_FILE_BAD_NAME, world_name);
    safe_string_copy(bad_path, fix_path(bad_name), sizeof(bad_path), 0);
    if (platform_replace_file(path, bad_path, 0))
        log_message(1, "Player file %s is refused -- %s; it is kept as %s and a fresh player starts", name, reason,
                    bad_name);
    else
        log_message(1, "Player file %s is refused -- %s; a fresh player starts", name, reason);
}

uint8_t player_file_load(const char *name, const char *world_name) {
    player_file_forget();
    global_player_file_refusal = "";
    char path[PLAYER_FILE_PATH_SIZE];
    safe_string_copy(path, fix_path(name), sizeof(path), 0);
    struct stat info;
    if (stat(path, &info) != 0) {
        log_message(3, "No player file %s: a fresh player starts", name);
        return 0;
    }
    if (!S_ISREG(info.st_mode)) {
        global_player_file_refusal = "it is not a regular file";
        log_message(1, "Player file %s is refused -- %s; a fresh player starts", name, global_player_file_refusal);
        return 0;
    }
    if ((unsigned long long)info.st_size > PLAYER_FILE_MAX_BYTES) {
        global_player_file_refusal = "it is longer than any player file";
        player_file_keep_refused(path, name, world_name, global_player_file_refusal);
        return 0;
    }
    FILE *file = fopen(path, "rb");
    if (!file) {
        log_message(1, "Player file %s cannot be opened -- %s; a fresh player starts", name, strerror(errno));
        global_player_file_refusal = "it cannot be opened";
        return 0;
    }
    size_t capacity = (size_t)info.st_size + 1;
    uint8_t *data = (uint8_t *)malloc(capacity);
    size_t size = data ? fread(data, 1, capacity, file) : 0;
    uint8_t read_error = (uint8_t)(ferror(file) ? 1 : 0);
    fclose(file);
    uint8_t ok = 0;
    if (!data || read_error) {
        global_player_file_refusal = "it cannot be read";
        log_message(1, "Player file %s is refused -- %s; a fresh player starts", name, global_player_file_refusal);
    } else if (size == capacity) {
        // It grew while being read: not a file the game wrote.
        global_player_file_refusal = "it is longer than it was a moment ago";
        log_message(1, "Player file %s is refused -- %s; a fresh player starts", name, global_player_file_refusal);
    } else if (!player_file_decode(data, size)) {
        player_file_keep_refused(path, name, world_name, global_player_file_refusal);
    } else {
        ok = 1;
        log_message(3, "Player file %s read: the player is at %0.2f, %0.2f, %0.2f", name,
                    (double)global_player_file.position.x, (double)global_player_file.position.y,
                    (double)global_player_file.position.z);
    }
    free(data);
    return ok;
}

uint8_t player_file_save(const char *name, const object *player, const player_file_state *state) {
    char path[PLAYER_FILE_PATH_SIZE], temporary_name[PLAYER_FILE_PATH_SIZE + 8], temporary_path[PLAYER_FILE_PATH_SIZE];
    safe_string_copy(path, fix_path(name), sizeof(path), 0);
    snprintf(temporary_name, sizeof(temporary_name), "%s.TMP", name);
    safe_string_copy(temporary_path, fix_path(temporary_name), sizeof(temporary_path), 0);

    uint8_t *data = nullptr;
    size_t size = 0;
    if (!player_file_encode(player, state, &data, &size)) {
        log_message(1, "Could not save the player to %s -- it cannot be written down; the previous file is kept", name);
        return 0;
    }
    // A player file beside chunks of no recorded seed would stand in a world that is not there.
    const char *failure = nullptr;
    int error = 0;
    FILE *file = nullptr;
    if (!worldmap_save_unsaved_seed()) {
        failure = "the world's seed could not be written first";
        error = errno;
    } else if (global_chunkmap_save_fault == 1 || !(file = fopen(temporary_path, "wb"))) {
        failure = "cannot create the file";
        error = global_chunkmap_save_fault == 1 ? EACCES : errno;
    } else {
        uint8_t written = fwrite(data, 1, size, file) == size ? 1 : 0;
        error = errno;
        if (!written) {
            fclose(file);
            failure = "cannot write the file";
        } else if (!chunkmap_close_file_to_disk(file, &failure)) {
            error = errno;
        } else if (!chunkmap_replace_file(temporary_path, path)) {
            error = errno;
            failure = "cannot rename the new file over the old one";
        }
    }
    free(data);
    if (failure) {
        remove(temporary_path);
        log_message(1, "Could not save the player to %s -- %s: %s; the previous file is kept", name, failure,
                    strerror(error ? error : EIO));
        return 0;
    }
    log_message(3, "Saved the player to %s (%u bytes)", name, (unsigned)size);
    return 1;
}
