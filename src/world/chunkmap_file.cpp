// chunkmap_file.cpp — chunk files: reading a chunk (repairing damaged columns), and writing it
// beside the old file and renaming it over, so a failed save never loses the world
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "world/chunkmap.h"
#include "foundation/file.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "world/worldmap.h"

uint8_t global_chunkmap_sync_to_disk = 1;
uint8_t global_chunkmap_save_fault = 0;
char global_chunkmap_damaged_copy[CHUNKMAP_PATH_SIZE] = "";

// Chunk files are read and written through a buffer this large (a typical file fits whole).
#define CHUNKMAP_FILE_BUFFER 131072

// How many kept copies of one damaged chunk file may pile up before no more are made.
#define CHUNKMAP_DAMAGED_COPY_LIMIT 100

void chunkmap_file_name(char *name, int size, int cx, int cy) {
    snprintf(name, (size_t)size, "WORLDS\\%s\\%03d-%03d.DAT", WORLD_NAME, cx, cy);
}

static void chunkmap_fixed_path(char *path, const char *name) {
    safe_string_copy(path, fix_path(name), CHUNKMAP_PATH_SIZE, 0);
}

uint8_t (*chunkmap_object_import_hook)(FILE *file, chunk *c) = nullptr;
uint8_t (*chunkmap_object_export_hook)(FILE *file, chunk *c) = nullptr;

// The object list after the pillars. Without the object layer's reader no object was ever saved,
// and the list reads as the end marker the end of the file yields (three floats, then a zero byte).
static void chunkmap_import_objects(FILE *file, chunk *c, const char *name) {
    if (chunkmap_object_import_hook) {
        if (!chunkmap_object_import_hook(file, c)) log_message(2, "  Objects in %s could not all be read", name);
        return;
    }
    file_read_float(file);
    file_read_float(file);
    file_read_float(file);
    if (file_read_byte(file) != 0) log_message(2, "  Objects in %s are skipped: they cannot be read yet", name);
}

// Without the object layer's writer the pile is always empty and nothing is written.
static void chunkmap_export_objects(FILE *file, chunk *c) {
    if (chunkmap_object_export_hook) chunkmap_object_export_hook(file, c);
}

// Problems met while reading one column.
#define PILLAR_EMPTY 1
#define PILLAR_REPAIRED 2

// Reads one column and links its records bottom-up. Only a column the game could have written
// is built: runs of length 0 are dropped, anything from z = 999 up is cut (the rest of the
// column is still read so the next column starts in the right place), and air at the top is
// removed.
static uint8_t chunkmap_read_pillar(FILE *file, voxel **pillar, int lx, int ly, const char *name) {
    voxel *bottom = nullptr, *top = nullptr;
    int height = 0;
    uint8_t problems = 0, any_read = 0, dropped = 0, cut = 0;
    for (voxel *v = voxel_import(file); v; v = voxel_import(file)) {
        any_read = 1;
        uint16_t length = voxel_length(v);
        if (length == 0) {
            voxel_destroy(v);
            dropped = 1;
            continue;
        }
        if (height >= VOXEL_PILLAR_HEIGHT_LIMIT) {
            voxel_destroy(v);
            cut = 1;
            continue;
        }
        if (height + length > VOXEL_PILLAR_HEIGHT_LIMIT) {
            length = (uint16_t)(VOXEL_PILLAR_HEIGHT_LIMIT - height);
            v->data = (uint16_t)((v->data & 0x007F) | (length << VOXEL_LENGTH_SHIFT));
            cut = 1;
        }
        height += length;
        if (top)
            top->next = v;
        else
            bottom = v;
        top = v;
    }
    if (dropped) log_message(1, "Dropped runs of length 0 in column %d, %d of file %s", lx, ly, name);
    if (cut) log_message(1, "Column %d, %d of file %s is taller than %d blocks; cut", lx, ly, name,
                         VOXEL_PILLAR_HEIGHT_LIMIT);

    // Air at the top is no part of a pillar.
    voxel *last_solid = nullptr;
    for (voxel *v = bottom; v; v = v->next)
        if (voxel_material(v) != 0) last_solid = v;
    if (top && top != last_solid) {
        log_message(1, "Removed air from the top of column %d, %d of file %s", lx, ly, name);
        if (last_solid) {
            voxel_destroy(last_solid->next);
            last_solid->next = nullptr;
        } else {
            voxel_destroy(bottom);
            bottom = nullptr;
        }
        problems |= PILLAR_REPAIRED;
    }
    if (dropped || cut) problems |= PILLAR_REPAIRED;

    if (!any_read) log_message(1, "Error reading %d, %d of file %s", lx, ly, name);
    if (!bottom) problems |= PILLAR_EMPTY;
    *pillar = bottom;
    return problems;
}

static uint8_t chunkmap_file_exists(const char *path) {
    FILE *file = fopen(path, "rb");
    if (!file) return 0;
    fclose(file);
    return 1;
}

// Keeps a damaged chunk file beside the world under a name no earlier copy holds.
static void chunkmap_keep_damaged_file(const char *name, int cx, int cy) {
    global_chunkmap_damaged_copy[0] = 0;
    char source_path[CHUNKMAP_PATH_SIZE], copy_name[CHUNKMAP_PATH_SIZE], copy_path[CHUNKMAP_PATH_SIZE];
    chunkmap_fixed_path(source_path, name);
    int n = 0;
    for (; n < CHUNKMAP_DAMAGED_COPY_LIMIT; n++) {
        snprintf(copy_name, sizeof(copy_name), "WORLDS\\%s\\%03d-%03d.BAD%d", WORLD_NAME, cx, cy, n);
        chunkmap_fixed_path(copy_path, copy_name);
        if (!chunkmap_file_exists(copy_path)) break;
    }
    if (n == CHUNKMAP_DAMAGED_COPY_LIMIT) {
        log_message(1, "Chunk file %s is damaged; too many damaged copies are kept already", name);
        return;
    }
    FILE *source = fopen(source_path, "rb");
    FILE *copy = source ? fopen(copy_path, "wb") : nullptr;
    uint8_t ok = copy ? 1 : 0;
    char buffer[8192];
    size_t got;
    while (ok && (got = fread(buffer, 1, sizeof(buffer), source)) > 0)
        if (fwrite(buffer, 1, got, copy) != got) ok = 0;
    if (source && ferror(source)) ok = 0;
    if (copy && fclose(copy) != 0) ok = 0;
    if (source) fclose(source);
    if (!ok) {
        log_message(1, "Chunk file %s is damaged and could not be copied to %s -- %s", name, copy_name,
                    strerror(errno));
        return;
    }
    safe_string_copy(global_chunkmap_damaged_copy, copy_name, CHUNKMAP_PATH_SIZE, 0);
    log_message(1, "Chunk file %s is damaged; a copy is kept as %s", name, copy_name);
}

void chunkmap_load(int cx, int cy) {
    if (cx < 0 || cx >= CHUNKMAP_SIZE || cy < 0 || cy >= CHUNKMAP_SIZE || chunk_map[cx][cy]) return;
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), cx, cy);
    log_message(5, "Loading chunk %s", name);
    global_chunkmap_damaged_copy[0] = 0;
    FILE *file = fopen(fix_path(name), "rb");
    if (!file) {
        worldmap_generate_chunk(cx, cy);
        log_message(5, "  Chunk generated");
        return;
    }
    chunk *c = chunk_create();
    if (!c) {
        log_message(1, "Could not create chunk at %d, %d", cx, cy);
        fclose(file);
        log_message(5, "  Chunk loaded");
        return;
    }
    log_message(5, "Loading chunk %s at %p -- pile is at %p", name, (void *)c, (void *)&c->local_object_pile);
    chunk_map[cx][cy] = c;

    static char buffer[CHUNKMAP_FILE_BUFFER];
    setvbuf(file, buffer, _IOFBF, sizeof(buffer));
    platform_lock_file(file);
    uint8_t problems = 0;
    uint8_t unreadable[CHUNK_SIZE][CHUNK_SIZE];
    for (int ly = 0; ly < CHUNK_SIZE; ly++) {
        for (int lx = 0; lx < CHUNK_SIZE; lx++) {
            uint8_t found = chunkmap_read_pillar(file, &c->pillar[lx][ly], lx, ly, name);
            unreadable[lx][ly] = found & PILLAR_EMPTY;
            problems |= found;
        }
    }
    chunkmap_import_objects(file, c, name);
    platform_unlock_file(file);
    fclose(file);

    // A generated world has no empty column, so one is damage. The readable columns stay as
    // read; the unreadable ones are rebuilt from the world's terrain, and the next save writes
    // a good file.
    if (problems) {
        chunkmap_keep_damaged_file(name, cx, cy);
        int rebuilt = 0;
        for (int lx = 0; lx < CHUNK_SIZE; lx++) {
            for (int ly = 0; ly < CHUNK_SIZE; ly++) {
                if (!unreadable[lx][ly]) continue;
                c->pillar[lx][ly] = worldmap_generate_pillar(cx * CHUNK_SIZE + lx, cy * CHUNK_SIZE + ly);
                if (c->pillar[lx][ly]) rebuilt++;
            }
        }
        if (rebuilt) log_message(1, "Rebuilt %d unreadable columns of %s from the world's terrain", rebuilt, name);
    }
    log_message(5, "  Chunk loaded");
}

static void chunkmap_save_failed(const char *name, const char *what, int error, const char *temporary_path) {
    log_message(1, "Could not save chunk %s -- %s: %s; the previous file is kept", name, what, strerror(error));
    remove(temporary_path);
}

// Writes the chunk under a temporary name beside its file, flushes it and renames it over the
// old file. Returns 1 when the new file is in place; on failure the old file is untouched.
static uint8_t chunkmap_save_chunk(chunk *c, const char *name) {
    char path[CHUNKMAP_PATH_SIZE], temporary_name[CHUNKMAP_PATH_SIZE + 8], temporary_path[CHUNKMAP_PATH_SIZE];
    chunkmap_fixed_path(path, name);
    snprintf(temporary_name, sizeof(temporary_name), "%s.TMP", name);
    chunkmap_fixed_path(temporary_path, temporary_name);

    FILE *file = global_chunkmap_save_fault == 1 ? nullptr : fopen(temporary_path, "wb");
    if (!file) {
        chunkmap_save_failed(name, "cannot create the file", global_chunkmap_save_fault == 1 ? EACCES : errno,
                             temporary_path);
        return 0;
    }
    // One large buffer and one lock for the whole file: the records go out value by value.
    static char buffer[CHUNKMAP_FILE_BUFFER];
    setvbuf(file, buffer, _IOFBF, sizeof(buffer));
    platform_lock_file(file);
    for (int ly = 0; ly < CHUNK_SIZE; ly++) {
        for (int lx = 0; lx < CHUNK_SIZE; lx++) {
            for (const voxel *v = c->pillar[lx][ly]; v; v = v->next) voxel_export(file, v);
            voxel_export_terminator(file);
        }
    }
    chunkmap_export_objects(file, c);
    platform_unlock_file(file);

    if (fflush(file) != 0 || ferror(file)) {
        int error = errno;
        fclose(file);
        chunkmap_save_failed(name, "cannot write the file", error, temporary_path);
        return 0;
    }
    if (global_chunkmap_sync_to_disk && !platform_sync_file(file)) {
        int error = errno;
        fclose(file);
        chunkmap_save_failed(name, "cannot flush the file to disk", error, temporary_path);
        return 0;
    }
    if (fclose(file) != 0) {
        chunkmap_save_failed(name, "cannot close the file", errno, temporary_path);
        return 0;
    }
    // A crash at this point leaves the complete new file under its temporary name and the old
    // file as it was; the next save writes the temporary file afresh.
    if (global_chunkmap_save_fault == 2) return 0;
    if (!platform_replace_file(temporary_path, path, global_chunkmap_sync_to_disk)) {
        chunkmap_save_failed(name, "cannot rename the new file over the old one", errno, temporary_path);
        return 0;
    }
    return 1;
}

void chunkmap_unload(int cx, int cy) {
    if (cx < 0 || cx >= CHUNKMAP_SIZE || cy < 0 || cy >= CHUNKMAP_SIZE || !chunk_map[cx][cy]) return;
    chunk *c = chunk_map[cx][cy];
    chunk_map[cx][cy] = nullptr;
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), cx, cy);
    log_message(5, "Saving chunk %s", name);
    uint8_t saved = chunkmap_save_chunk(c, name);
    // The chunk is released either way: it is no longer resident, and on failure its last saved
    // state is what the old file still holds.
    chunk_destroy(c);
    if (saved) log_message(5, "  Chunk saved");
}
