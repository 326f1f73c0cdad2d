// worldmap_setup.cpp — the world folder and its seed file, the painting of the island tile and
// the four layer lists; every draw of the random sequence here is part of the world's definition
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/file.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "foundation/random.h"
#include "foundation/trig.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"

int32_t global_world_seed = 0;

// Creates one folder with the system call; an existing folder is fine.
static uint8_t worldmap_make_folder(const char *path) {
    if (platform_make_folder(path)) return 1;
    log_message(1, "Unable to create folder %s: %s", path, strerror(errno));
    return 0;
}

// What a seed file held.
#define SEED_FILE_MISSING 0
#define SEED_FILE_READ 1
#define SEED_FILE_NO_NUMBER 2
#define SEED_FILE_EMPTY 3

// Reads the seed of an existing world into *seed. A file that is there but holds no number is
// left as it is; one holding nothing but blanks is told apart, since a failed write of old left
// such files behind.
static uint8_t worldmap_read_seed(const char *path, int32_t *seed) {
    errno = 0;
    FILE *file = platform_open_regular_file(path, "r", nullptr);
    if (!file && errno == EINVAL) {
        // A FIFO or a device is never read; it holds no seed the world can trust.
        log_message(1, "Seed file %s is not a regular file", path);
        return SEED_FILE_NO_NUMBER;
    }
    if (!file) return SEED_FILE_MISSING;
    // Read as "%d" would, but a number too big for the seed is no seed rather than undefined.
    char text[64];
    size_t length = fread(text, 1, sizeof(text) - 1, file);
    fclose(file);
    text[length] = 0;
    if (length < sizeof(text) - 1 && text[strspn(text, " \t\r\n")] == 0) return SEED_FILE_EMPTY;
    char *end = nullptr;
    errno = 0;
    long long value = strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return SEED_FILE_NO_NUMBER;
    *seed = (int32_t)value;
    return SEED_FILE_READ;
}

// The chunk files already saved in the world's folder.
static int worldmap_count_chunk_files(const char *world_name) {
    char folder[WORLDMAP_PATH_SIZE];
    snprintf(folder, sizeof(folder), "WORLDS\\%s", world_name);
    int count = 0;
    while (finding_files(folder)) {
        size_t length = strlen(global_file_search_result);
        if (length > 4 && strcmp(global_file_search_result + length - 4, ".DAT") == 0) count++;
    }
    return count;
}

uint8_t global_world_seed_unsaved = 0;
uint8_t global_world_seed_lost = 0;
static char worldmap_seed_world[WORLDMAP_PATH_SIZE] = "";

// Writes the seed file as chunk files are written: a temporary file beside it, flushed to the
// disk and renamed over it, so the file is never left empty or half written.
static uint8_t worldmap_write_seed_file(const char *world_name, int32_t seed, uint8_t quiet) {
    worldmap_make_folder(fix_path("WORLDS"));
    char folder[WORLDMAP_PATH_SIZE];
    snprintf(folder, sizeof(folder), "WORLDS\\%s", world_name);
    safe_string_copy(folder, fix_path(folder), sizeof(folder), 0);
    worldmap_make_folder(folder);

    char path[WORLDMAP_PATH_SIZE], temporary_path[WORLDMAP_PATH_SIZE];
    snprintf(path, sizeof(path), "WORLDS\\%s\\SEED.TXT", world_name);
    safe_string_copy(path, fix_path(path), sizeof(path), 0);
    snprintf(temporary_path, sizeof(temporary_path), "WORLDS\\%s\\SEED.TXT.TMP", world_name);
    safe_string_copy(temporary_path, fix_path(temporary_path), sizeof(temporary_path), 0);

    const char *failure = "cannot create the file";
    int error = EACCES;
    FILE *file = global_chunkmap_save_fault == 1 ? nullptr : fopen(temporary_path, "w");
    uint8_t written = 0;
    if (file) {
        if (fprintf(file, "%d", (int)seed) < 0) {
            error = errno;
            fclose(file);
            failure = "cannot write the file";
        } else if (!chunkmap_close_file_to_disk(file, &failure)) {
            error = errno;
        } else if (!chunkmap_replace_file(temporary_path, path)) {
            error = errno;
            failure = "cannot rename the new file over the old one";
        } else {
            written = 1;
        }
    } else if (global_chunkmap_save_fault != 1) {
        error = errno;
    }
    if (written) return 1;
    remove(temporary_path);
    if (!quiet) {
        log_message(1, "Unable to write seed %d to %s -- %s: %s", (int)seed, path, failure, strerror(error));
        log_message(1, "  New land is not saved until the seed is: chunks without it would not match the world");
    }
    errno = error;
    return 0;
}

uint8_t worldmap_save_unsaved_seed(void) {
    if (global_world_seed_lost) return 0;
    if (!global_world_seed_unsaved) return 1;
    if (!worldmap_write_seed_file(worldmap_seed_world, global_world_seed, 1)) return 0;
    global_world_seed_unsaved = 0;
    log_message(2, "Seed %d is written to the world's folder at last", (int)global_world_seed);
    return 1;
}

// The ten groups of ten clusters of ten islands; each island is handed to paint().
template <typename Paint>
static void worldmap_islands(Paint paint) {
    for (int g = 0; g < 10; g++) {
        float gx = random_range(0.0f, 256.0f);
        float gy = random_range(0.0f, 256.0f);
        for (int c = 0; c < 10; c++) {
            float sx = gx + random_range(-30.0f, 30.0f);
            float sy = gy + random_range(-30.0f, 30.0f);
            for (int i = 0; i < 10; i++) {
                float ix = sx + random_range(-15.0f, 15.0f);
                float iy = sy + random_range(-15.0f, 15.0f);
                float s = random_range(5.0f, 20.0f);
                paint(ix, iy, s);
            }
        }
    }
}

void worldmap_paint_island_tile(int32_t seed) {
    random_seed(seed);
    worldmap_islands([](float ix, float iy, float s) {
        isletile_try_write_circle(ix, iy, 165, 255, 3.0f * s);
        isletile_try_write_circle(ix, iy, 180, 255, 2.0f * s);
    });
    // The same draws again give the same islands, now raised in the middle.
    random_seed(seed);
    worldmap_islands([](float ix, float iy, float s) { isletile_try_write_circle(ix, iy, 255, 30, s); });

    isletile_try_write_circle(128.0f, 128.0f, 255, 128, 7.0f);
    isletile_try_write_circle(127.0f, 127.0f, 255, 64, 3.0f);
    isletile_try_write_circle(129.0f, 129.0f, 255, 64, 3.0f);

    // Ridges: short arcs of small bumps.
    for (int r = 0; r < 50; r++) {
        float mx = random_range(0.01f, 0.99f) * 256.0f;
        float my = random_range(0.01f, 0.99f) * 256.0f;
        float size = random_range(1.0f, 4.0f);
        float radius = random_range(40.0f, 50.0f);
        float angle = random_range(0.0f, 6.283186f);
        int steps = (int)random_range(6.0f, 15.0f);
        for (int s = 0; s < steps; s++) {
            unsigned alpha = random_number();
            isletile_try_write_circle(trig_sinf(angle) * radius + mx, trig_cosf(angle) * radius + my, 255, alpha,
                                      size);
            angle += 0.05f;
        }
    }
}

void worldmap_build_layers(void) {
    maplayer_create_and_append(&maplayer_total, 10000.0f, 1);
    static const float detail_scales[6] = {50.0f, 80.0f, 120.0f, 180.0f, 270.0f, 400.0f};
    for (int i = 3; i < 6; i++) maplayer_create_and_append(&maplayer_total, detail_scales[i], 0);
    maplayer **lists[3] = {&maplayer_grass, &maplayer_stone, &maplayer_sand};
    for (maplayer **list : lists)
        for (float scale : detail_scales) maplayer_create_and_append(list, scale, 0);
}

uint8_t worldmap_setup(int32_t seed, const char *world_name) {
    maplayer **lists[4] = {&maplayer_total, &maplayer_grass, &maplayer_stone, &maplayer_sand};
    for (maplayer **list : lists) {
        maplayer_destroy(*list);
        *list = nullptr;
    }
    global_ocean_level = 20.0f;
    isletile_clear();
    if (!world_name) world_name = "";

    char path[WORLDMAP_PATH_SIZE];
    snprintf(path, sizeof(path), "WORLDS\\%s\\SEED.TXT", world_name);
    safe_string_copy(path, fix_path(path), sizeof(path), 0);
    uint8_t found = worldmap_read_seed(path, &seed);
    global_world_seed_unsaved = 0;
    safe_string_copy(worldmap_seed_world, world_name, sizeof(worldmap_seed_world), 0);
    int chunk_files = found == SEED_FILE_READ ? 0 : worldmap_count_chunk_files(world_name);
    if (found == SEED_FILE_EMPTY && chunk_files == 0) {
        // Nothing was made from the lost seed yet, so the world may start afresh.
        log_message(2, "Seed file %s is empty and the world has no chunks yet; it starts afresh with seed %d", path,
                    (int)seed);
        found = SEED_FILE_MISSING;
    }
    global_world_seed_lost = 0;
    global_chunkmap_unsaved_new_land = 0;
    if (found == SEED_FILE_MISSING && chunk_files == 0) {
        if (!worldmap_write_seed_file(world_name, seed, 0)) global_world_seed_unsaved = 1;
    } else if (found != SEED_FILE_READ) {
        // The world's seed is lost (a file with no number, or chunks without a seed file). A new
        // seed written now would make new land that does not fit the saved land, so the rule is the
        // one for a seed that cannot be written: chunks already saved are read and saved as
        // usual, new land is made from a stand-in seed so the game can be played, and no chunk
        // made from it is saved. The file is left for the player to mend.
        global_world_seed_lost = 1;
        if (found == SEED_FILE_MISSING)
            log_message(1, "Seed file %s is missing but the world has %d saved chunks; running with stand-in seed %d",
                        path, chunk_files, (int)seed);
        else
            log_message(1, "Seed file %s holds no number; running with stand-in seed %d and leaving the file alone",
                        path, (int)seed);
        log_message(1, "  Saved chunks are read and saved as usual; new land is not saved until %s holds the "
                       "world's seed (or the world's chunk files are moved away to start afresh)",
                    path);
    }
    log_message(3, "World seed == %d", (int)seed);
    global_world_seed = seed;

    worldmap_paint_island_tile(seed);
    worldmap_build_layers();
    maptile_scale = 5.0f;
    isletile_scale = 200.0f;
    return 1;
}

void worldmap_reset(void) {
    global_world_seed = 0;
    global_world_seed_unsaved = 0;
    global_world_seed_lost = 0;
    worldmap_seed_world[0] = 0;
    global_ocean_level = 20.0f;
    isletile_scale = 200.0f;
    maptile_scale = 5.0f;
    worldmap_tree_hook = nullptr;
    worldmap_generated_hook = nullptr;
}
