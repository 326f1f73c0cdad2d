// chunkmap.h — the 50 x 50 grid of resident chunks, chunk streaming around the camera target,
// the chunk files of the world folder and the column and voxel lookups
#pragma once
#include <cstdint>
#include <cstdio>

#include "terrain/voxel.h"

struct multri;
struct object;

#define CHUNK_SIZE 64
#define CHUNK_SHIFT 6
#define CHUNKMAP_SIZE 50
#define CHUNKMAP_COLUMNS (CHUNKMAP_SIZE * CHUNK_SIZE)
#define CHUNKMAP_IDLE_FRAMES 60
#define CHUNKMAP_PATH_SIZE 256

// One resident chunk of 64 x 64 columns, allocated whole.
struct chunk {
    voxel *pillar[CHUNK_SIZE][CHUNK_SIZE];            // [local x][local y], bottom record of each column
    multri *multri_list[4][CHUNK_SIZE][CHUNK_SIZE];   // cached triangles per [level][local x][local y]
    uint8_t pillar_flags[CHUNK_SIZE][CHUNK_SIZE];     // not stored in chunk files
    object *local_object_pile;                        // the objects lying in this chunk
    // Object records of the chunk's file kept as they were read, not brought to life (a kind
    // that is not loaded, more objects than one chunk may wake): written back unchanged after
    // the pile. Owned by the chunk.
    uint8_t *kept_objects;
    uint32_t kept_objects_size;
};

extern chunk *chunk_map[CHUNKMAP_SIZE][CHUNKMAP_SIZE];
extern uint32_t last_chunkmap_update;
extern voxel *global_voxel_topmost;
extern uint16_t global_voxel_topmost_z;
extern voxel *global_last_single_voxel;

// Saving: chunk files are flushed to disk before they replace the old file (1, the default).
// global_chunkmap_save_fault simulates failures: 1 = the file cannot be created, 2 = the
// program stops between writing the new file and renaming it over the old one.
extern uint8_t global_chunkmap_sync_to_disk;
extern uint8_t global_chunkmap_save_fault;
// Where the last damaged chunk file was kept, or an empty string.
extern char global_chunkmap_damaged_copy[CHUNKMAP_PATH_SIZE];
// The most a chunk file can hold: every column 999 single blocks with fluid (11 bytes each) and
// its end word, about 43 MB, and room for the objects. A damaged file is copied only this far.
#define CHUNKMAP_FILE_LIMIT (48u << 20)
extern uint32_t global_chunkmap_file_limit;
// Chunks whose save failed since the program started, and of those during the save at exit.
extern uint32_t global_chunkmap_failed_saves;
extern uint32_t global_chunkmap_failed_saves_at_exit;
// Chunks of new land not saved because the world's seed is not on disk (counted among the failed
// saves too).
extern uint32_t global_chunkmap_unsaved_new_land;
// Which resident chunks were read from their file (1) rather than made afresh (0).
extern uint8_t global_chunkmap_from_file[CHUNKMAP_SIZE][CHUNKMAP_SIZE];

// Hooks the object layer sets at start-up (null until then). The import reads a chunk file's
// object list after the pillars into the chunk's pile and returns 1 on success; the export writes
// the pile's list (nothing is written without it); the pile hook destroys a chunk's pile when the
// chunk is destroyed.
extern uint8_t (*chunkmap_object_import_hook)(FILE *file, chunk *c);
extern uint8_t (*chunkmap_object_export_hook)(FILE *file, chunk *c);
extern void (*chunkmap_pile_destroy_hook)(chunk *c);

// chunkmap.cpp — the grid, chunk records and lookups
void chunkmap_setup(void);
// Destroys every resident chunk without saving it and empties the grid (a fresh start for tests).
void chunkmap_reset(void);
// The file switches, limits and failure counts back to their start (chunkmap_reset clears the
// grid and the from-file marks).
void chunkmap_file_reset(void);
chunk *chunk_create(void);
void chunk_destroy(chunk *c);
object **chunkmap_pile_pointer(int x, int y);
object *chunkmap_first_object_in_pile(int x, int y);
voxel *chunkmap_get_xy(int x, int y);
voxel *chunkmap_get_xy_off_map(int x, int y);
multri **chunkmap_get_xy_multri(int shift, int x, int y);
void chunkmap_invalidate_xy_multri(int x, int y);
voxel *chunkmap_get_xyz(int x, int y, int z);
voxel *chunkmap_get_xyz_off_map(int x, int y, int z);

// chunkmap_file.cpp — chunk files
void chunkmap_file_name(char *name, int size, int cx, int cy);
void chunkmap_load(int cx, int cy);
void chunkmap_unload(int cx, int cy);
// Finishing a file written under a temporary name beside its place, as chunk files are: the
// file is flushed to the disk and closed (0 on failure, with the failed step in *failure and
// the reason in errno; the file is closed either way), then renamed over the old file in one
// step, so either the old or the whole new file exists.
uint8_t chunkmap_close_file_to_disk(FILE *file, const char **failure);
uint8_t chunkmap_replace_file(const char *temporary_path, const char *path);

// chunkmap_stream.cpp — streaming
// Asked after each chunk a forced pass loads (the game polls its input there); when it answers
// 1 the pass ends at once, so quitting during start-up is honoured at once. None until set.
extern uint8_t (*chunkmap_forced_pass_stop_hook)(void);
void chunkmap_unload_everything(void);
void chunkmap_update(int x, int y, float load_radius, float unload_radius, uint8_t force_update);
void chunkmap_full_update(int x, int y, float unload_radius);
