// chunkmap_file.cpp — chunk files: reading a chunk (repairing damaged columns), and writing it
// beside the old file and renaming it over, so a failed save never loses the world
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

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

uint32_t global_chunkmap_file_limit = CHUNKMAP_FILE_LIMIT;
uint32_t global_chunkmap_failed_saves = 0;
uint32_t global_chunkmap_failed_saves_at_exit = 0;

uint8_t global_chunkmap_from_file[CHUNKMAP_SIZE][CHUNKMAP_SIZE];
uint32_t global_chunkmap_unsaved_new_land = 0;

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
// Returns 0 when the list was damaged.
static uint8_t chunkmap_import_objects(FILE *file, chunk *c, const char *name) {
    if (chunkmap_object_import_hook) {
        if (chunkmap_object_import_hook(file, c)) return 1;
        log_message(1, "  Objects in %s could not all be read; every readable one is kept", name);
        return 0;
    }
    file_read_float(file);
    file_read_float(file);
    file_read_float(file);
    if (file_read_byte(file) != 0) log_message(2, "  Objects in %s are skipped: they cannot be read yet", name);
    return 1;
}

// Without the object layer's writer the pile is always empty and nothing is written.
static void chunkmap_export_objects(FILE *file, chunk *c) {
    if (chunkmap_object_export_hook) chunkmap_object_export_hook(file, c);
}

// Problems met while reading one column.
#define PILLAR_EMPTY 1
#define PILLAR_REPAIRED 2

// The kinds of damage a column can show. Each is logged in full for the first column of a file
// that shows it; the rest are counted and summed up in one line when the file is read, so an
// empty or garbled file does not bury the log under thousands of identical lines.
enum {
    CHUNKMAP_FAULT_UNREADABLE,
    CHUNKMAP_FAULT_ZERO_RUNS,
    CHUNKMAP_FAULT_TOO_TALL,
    CHUNKMAP_FAULT_AIR_ON_TOP,
    CHUNKMAP_FAULT_UNMERGED,
    CHUNKMAP_FAULT_UNSOUND,
    CHUNKMAP_FAULT_KINDS
};

struct chunkmap_fault_count {
    int count[CHUNKMAP_FAULT_KINDS];
};

// Logs the first column of a kind in full and counts the rest.
static uint8_t chunkmap_first_fault(chunkmap_fault_count *faults, int kind) { return faults->count[kind]++ == 0; }

static void chunkmap_log_fault_summary(const chunkmap_fault_count *faults, const char *name) {
    static const char *const summaries[CHUNKMAP_FAULT_KINDS] = {
        "Error reading %d more %s of file %s",
        "Dropped runs of length 0 in %d more %s of file %s",
        "Cut %d more %s of file %s that were taller than 999 blocks",
        "Removed air from the top of %d more %s of file %s",
        "Merged runs of one material in %d more %s of file %s",
        "Rebuilt %d more unsound %s of file %s from the world's terrain",
    };
    for (int kind = 0; kind < CHUNKMAP_FAULT_KINDS; kind++) {
        int more = faults->count[kind] - 1;
        if (more > 0) log_message(1, summaries[kind], more, more == 1 ? "column" : "columns", name);
    }
}

// Reads one column and links its records bottom-up. Only a column the game could have written
// is built: runs of length 0 are dropped, anything from z = 999 up is cut (the rest of the
// column is still read so the next column starts in the right place), and air at the top is
// removed. What is left must pass the pillar check: runs of one material that the game would
// have merged are merged, and a column that is still unsound (a normal no file byte can hold)
// is dropped, to be rebuilt like an unreadable one.
static uint8_t chunkmap_read_pillar(FILE *file, voxel **pillar, int lx, int ly, const char *name,
                                    chunkmap_fault_count *faults) {
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
    if (dropped && chunkmap_first_fault(faults, CHUNKMAP_FAULT_ZERO_RUNS))
        log_message(1, "Dropped runs of length 0 in column %d, %d of file %s", lx, ly, name);
    if (cut && chunkmap_first_fault(faults, CHUNKMAP_FAULT_TOO_TALL))
        log_message(1, "Column %d, %d of file %s is taller than %d blocks; cut", lx, ly, name,
                    VOXEL_PILLAR_HEIGHT_LIMIT);

    // Air at the top is no part of a pillar.
    voxel *last_solid = nullptr;
    for (voxel *v = bottom; v; v = v->next)
        if (voxel_material(v) != 0) last_solid = v;
    if (top && top != last_solid) {
        if (chunkmap_first_fault(faults, CHUNKMAP_FAULT_AIR_ON_TOP))
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

    if (bottom && !voxel_check_pillar(bottom)) {
        voxel_compress(bottom);
        if (voxel_check_pillar(bottom)) {
            if (chunkmap_first_fault(faults, CHUNKMAP_FAULT_UNMERGED))
                log_message(1, "Merged runs of one material in column %d, %d of file %s", lx, ly, name);
        } else {
            if (chunkmap_first_fault(faults, CHUNKMAP_FAULT_UNSOUND))
                log_message(1, "Column %d, %d of file %s is unsound (%s); rebuilt from the world's terrain", lx, ly,
                            name, global_voxel_check_problem);
            voxel_destroy(bottom);
            bottom = nullptr;
        }
        problems |= PILLAR_REPAIRED;
    }

    if (!any_read && chunkmap_first_fault(faults, CHUNKMAP_FAULT_UNREADABLE))
        log_message(1, "Error reading %d, %d of file %s", lx, ly, name);
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

// Whether the file at copy_path holds exactly the first global_chunkmap_file_limit bytes of the
// file at source_path.
static uint8_t chunkmap_same_contents(const char *source_path, const char *copy_path) {
    FILE *source = fopen(source_path, "rb");
    FILE *copy = source ? fopen(copy_path, "rb") : nullptr;
    uint8_t same = copy ? 1 : 0;
    static char source_buffer[8192], copy_buffer[8192];
    uint32_t remaining = global_chunkmap_file_limit;
    while (same) {
        size_t want = remaining < sizeof(source_buffer) ? remaining : sizeof(source_buffer);
        size_t got = want ? fread(source_buffer, 1, want, source) : 0;
        size_t copied = fread(copy_buffer, 1, got ? got : 1, copy);
        if (got == 0) {
            same = (copied == 0 && !ferror(source) && !ferror(copy)) ? 1 : 0;
            break;
        }
        if (copied != got || memcmp(source_buffer, copy_buffer, got) != 0) same = 0;
        remaining -= (uint32_t)got;
    }
    if (copy) fclose(copy);
    if (source) fclose(source);
    return same;
}

// Copies at most global_chunkmap_file_limit bytes. Returns 1 when the copy is complete; sets
// *cut when the source went on past the limit. A copy that fails is removed.
static uint8_t chunkmap_copy_file(const char *source_path, const char *copy_path, uint8_t *cut, int *error) {
    *cut = 0;
    *error = 0;
    FILE *source = fopen(source_path, "rb");
    if (!source) {
        *error = errno;
        return 0;
    }
    FILE *copy = fopen(copy_path, "wb");
    if (!copy) {
        *error = errno;
        fclose(source);
        return 0;
    }
    uint8_t ok = 1;
    static char buffer[8192];
    uint32_t remaining = global_chunkmap_file_limit;
    while (ok && remaining > 0) {
        size_t want = remaining < sizeof(buffer) ? remaining : sizeof(buffer);
        size_t got = fread(buffer, 1, want, source);
        if (got == 0) break;
        if (fwrite(buffer, 1, got, copy) != got) {
            *error = errno;
            ok = 0;
        }
        remaining -= (uint32_t)got;
    }
    if (ok && ferror(source)) {
        *error = errno ? errno : EIO;
        ok = 0;
    }
    if (ok && remaining == 0 && fgetc(source) != EOF) *cut = 1;
    if (fflush(copy) != 0 && ok) {
        *error = errno;
        ok = 0;
    }
    if (fclose(copy) != 0 && ok) {
        *error = errno;
        ok = 0;
    }
    fclose(source);
    if (!ok) remove(copy_path);
    return ok;
}

// Keeps a damaged chunk file beside the world under a name no earlier copy holds, unless an
// earlier copy holds the same bytes already. Only a regular file is copied, and only as far as
// a chunk file can reach: a name that leads to a device or an endless file is never copied.
static void chunkmap_keep_damaged_file(const char *name, int cx, int cy) {
    global_chunkmap_damaged_copy[0] = 0;
    char source_path[CHUNKMAP_PATH_SIZE], copy_name[CHUNKMAP_PATH_SIZE], copy_path[CHUNKMAP_PATH_SIZE];
    chunkmap_fixed_path(source_path, name);
    struct stat info;
    if (stat(source_path, &info) != 0 || !S_ISREG(info.st_mode)) {
        log_message(1, "Chunk file %s is damaged and is not a regular file; no copy of it is kept", name);
        return;
    }
    int n = 0;
    for (; n < CHUNKMAP_DAMAGED_COPY_LIMIT; n++) {
        snprintf(copy_name, sizeof(copy_name), "WORLDS\\%s\\%03d-%03d.BAD%d", WORLD_NAME, cx, cy, n);
        chunkmap_fixed_path(copy_path, copy_name);
        if (!chunkmap_file_exists(copy_path)) break;
        if (chunkmap_same_contents(source_path, copy_path)) {
            safe_string_copy(global_chunkmap_damaged_copy, copy_name, CHUNKMAP_PATH_SIZE, 0);
            log_message(1, "Chunk file %s is damaged; a copy is kept already as %s", name, copy_name);
            return;
        }
    }
    if (n == CHUNKMAP_DAMAGED_COPY_LIMIT) {
        log_message(1, "Chunk file %s is damaged; too many damaged copies are kept already", name);
        return;
    }
    uint8_t cut = 0;
    int error = 0;
    if (!chunkmap_copy_file(source_path, copy_path, &cut, &error)) {
        log_message(1, "Chunk file %s is damaged and could not be copied to %s -- %s", name, copy_name,
                    strerror(error ? error : EIO));
        return;
    }
    safe_string_copy(global_chunkmap_damaged_copy, copy_name, CHUNKMAP_PATH_SIZE, 0);
    if (cut)
        log_message(1, "Chunk file %s is damaged and longer than any chunk file; its first %u bytes are kept as %s",
                    name, (unsigned)global_chunkmap_file_limit, copy_name);
    else
        log_message(1, "Chunk file %s is damaged; a copy is kept as %s", name, copy_name);
}

void chunkmap_load(int cx, int cy) {
    if (cx < 0 || cx >= CHUNKMAP_SIZE || cy < 0 || cy >= CHUNKMAP_SIZE || chunk_map[cx][cy]) return;
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), cx, cy);
    log_message(5, "Loading chunk %s", name);
    global_chunkmap_damaged_copy[0] = 0;
    errno = 0;
    FILE *file = platform_open_regular_file(fix_path(name), "rb", nullptr);
    // A FIFO or a device in its place is never read (it could block or never end); the chunk is
    // made afresh and its save puts a real file in that place.
    if (!file && errno == EINVAL)
        log_message(1, "Chunk file %s is damaged and is not a regular file; no copy of it is kept", name);
    global_chunkmap_from_file[cx][cy] = file ? 1 : 0;
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
    chunkmap_fault_count faults;
    memset(&faults, 0, sizeof(faults));
    for (int ly = 0; ly < CHUNK_SIZE; ly++) {
        for (int lx = 0; lx < CHUNK_SIZE; lx++) {
            uint8_t found = chunkmap_read_pillar(file, &c->pillar[lx][ly], lx, ly, name, &faults);
            unreadable[lx][ly] = found & PILLAR_EMPTY;
            problems |= found;
        }
    }
    uint8_t objects_sound = chunkmap_import_objects(file, c, name);
    platform_unlock_file(file);
    fclose(file);
    chunkmap_log_fault_summary(&faults, name);
    // The next save writes only what was readable, so the damaged file is kept as evidence first.
    if (!objects_sound && !problems) chunkmap_keep_damaged_file(name, cx, cy);

    // A generated world has no empty column, so one is damage. The readable columns stay as
    // read; the unreadable ones are rebuilt from the world's terrain, and the next save writes
    // a good file. Once all are in place the rebuilt ones get the edge materials generation
    // gives, which depend on their neighbours.
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
        for (int lx = 0; lx < CHUNK_SIZE; lx++)
            for (int ly = 0; ly < CHUNK_SIZE; ly++)
                if (unreadable[lx][ly] && c->pillar[lx][ly])
                    worldmap_edge_pillar(cx * CHUNK_SIZE + lx, cy * CHUNK_SIZE + ly);
        if (rebuilt) log_message(1, "Rebuilt %d unreadable columns of %s from the world's terrain", rebuilt, name);
    }
    log_message(5, "  Chunk loaded");
}

uint8_t chunkmap_close_file_to_disk(FILE *file, const char **failure) {
    if (fflush(file) != 0 || ferror(file)) {
        int error = errno ? errno : EIO;
        fclose(file);
        *failure = "cannot write the file";
        errno = error;
        return 0;
    }
    if (global_chunkmap_sync_to_disk && !platform_sync_file(file)) {
        int error = errno;
        fclose(file);
        *failure = "cannot flush the file to disk";
        errno = error;
        return 0;
    }
    if (fclose(file) != 0) {
        *failure = "cannot close the file";
        return 0;
    }
    return 1;
}

uint8_t chunkmap_replace_file(const char *temporary_path, const char *path) {
    return platform_replace_file(temporary_path, path, global_chunkmap_sync_to_disk);
}

// The player learns what is lost: the changes since the last save when an older file is kept,
// or the whole chunk, which is made afresh next time, when it was never saved.
static void chunkmap_save_failed(const char *name, const char *what, int error, const char *temporary_path,
                                 const char *path) {
    remove(temporary_path);
    global_chunkmap_failed_saves++;
    if (chunkmap_file_exists(path))
        log_message(1, "Could not save chunk %s -- %s: %s; the previous file is kept", name, what, strerror(error));
    else
        log_message(1, "Could not save chunk %s -- %s: %s; it was never saved before, so it will be generated afresh",
                    name, what, strerror(error));
}

// Writes the chunk under a temporary name beside its file, flushes it and renames it over the
// old file. Returns 1 when the new file is in place; on failure the old file is untouched.
static uint8_t chunkmap_save_chunk(chunk *c, const char *name, uint8_t from_file) {
    char path[CHUNKMAP_PATH_SIZE], temporary_name[CHUNKMAP_PATH_SIZE + 8], temporary_path[CHUNKMAP_PATH_SIZE];
    chunkmap_fixed_path(path, name);
    snprintf(temporary_name, sizeof(temporary_name), "%s.TMP", name);
    chunkmap_fixed_path(temporary_path, temporary_name);

    // Land made from a seed the world does not record would not fit the land of later games.
    // A chunk read from its file is the world's own and is saved whatever the seed file holds.
    if (!from_file && !worldmap_save_unsaved_seed()) {
        // Said in full once; the count at exit sums up the rest.
        log_message(global_chunkmap_unsaved_new_land++ == 0 ? 1 : 5,
                    "Could not save chunk %s -- it is new land and the world's seed is not on disk; it was never "
                    "saved before, so it will be generated afresh",
                    name);
        global_chunkmap_failed_saves++;
        return 0;
    }
    FILE *file = global_chunkmap_save_fault == 1 ? nullptr : fopen(temporary_path, "wb");
    if (!file) {
        chunkmap_save_failed(name, "cannot create the file", global_chunkmap_save_fault == 1 ? EACCES : errno,
                             temporary_path, path);
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

    const char *failure = "";
    if (!chunkmap_close_file_to_disk(file, &failure)) {
        chunkmap_save_failed(name, failure, errno, temporary_path, path);
        return 0;
    }
    // A crash at this point leaves the complete new file under its temporary name and the old
    // file as it was; the next save writes the temporary file afresh.
    if (global_chunkmap_save_fault == 2) return 0;
    if (!chunkmap_replace_file(temporary_path, path)) {
        chunkmap_save_failed(name, "cannot rename the new file over the old one", errno, temporary_path, path);
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
    uint8_t saved = chunkmap_save_chunk(c, name, global_chunkmap_from_file[cx][cy]);
    global_chunkmap_from_file[cx][cy] = 0;
    // The chunk is released either way: it is no longer resident, and on failure its last saved
    // state is what the old file still holds.
    chunk_destroy(c);
    if (saved) log_message(5, "  Chunk saved");
}

void chunkmap_file_reset(void) {
    global_chunkmap_sync_to_disk = 1;
    global_chunkmap_save_fault = 0;
    global_chunkmap_damaged_copy[0] = 0;
    global_chunkmap_file_limit = CHUNKMAP_FILE_LIMIT;
    global_chunkmap_failed_saves = 0;
    global_chunkmap_failed_saves_at_exit = 0;
    global_chunkmap_unsaved_new_land = 0;
}
