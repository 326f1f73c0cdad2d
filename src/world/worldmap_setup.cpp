// worldmap_setup.cpp — the world folder and its seed file, the painting of the island tile and
// the four layer lists; every draw of the random sequence here is part of the world's definition
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "foundation/random.h"
#include "world/worldmap.h"

int32_t global_world_seed = 0;

// Creates one folder with the system call; an existing folder is fine.
static uint8_t worldmap_make_folder(const char *path) {
    if (platform_make_folder(path)) return 1;
    log_message(1, "Unable to create folder %s: %s", path, strerror(errno));
    return 0;
}

// Reads the seed of an existing world. Returns 0 if there is no seed file, 1 if it was read into
// *seed, 2 if the file is there but holds no number (it is then left as it is).
static uint8_t worldmap_read_seed(const char *path, int32_t *seed) {
    FILE *file = fopen(path, "r");
    if (!file) return 0;
    // Read as "%d" would, but a number too big for the seed is no seed rather than undefined.
    char text[64];
    size_t length = fread(text, 1, sizeof(text) - 1, file);
    fclose(file);
    text[length] = 0;
    char *end = nullptr;
    errno = 0;
    long long value = strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return 2;
    *seed = (int32_t)value;
    return 1;
}

static void worldmap_write_seed(const char *world_name, int32_t seed) {
    worldmap_make_folder(fix_path("WORLDS"));
    char folder[WORLDMAP_PATH_SIZE];
    snprintf(folder, sizeof(folder), "WORLDS\\%s", world_name);
    safe_string_copy(folder, fix_path(folder), sizeof(folder), 0);
    worldmap_make_folder(folder);

    char path[WORLDMAP_PATH_SIZE];
    snprintf(path, sizeof(path), "WORLDS\\%s\\SEED.TXT", world_name);
    safe_string_copy(path, fix_path(path), sizeof(path), 0);
    FILE *file = fopen(path, "w");
    if (!file || fprintf(file, "%d", (int)seed) < 0) {
        log_message(1, "Unable to write seed %d to %s", (int)seed, path);
        if (file) fclose(file);
        return;
    }
    if (fclose(file) != 0) log_message(1, "Unable to write seed %d to %s", (int)seed, path);
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

static void worldmap_paint_island_tile(int32_t seed) {
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
            isletile_try_write_circle(sinf(angle) * radius + mx, cosf(angle) * radius + my, 255, alpha, size);
            angle += 0.05f;
        }
    }
}

static void worldmap_build_layers(void) {
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
    if (found == 0) {
        worldmap_write_seed(world_name, seed);
    } else if (found == 2) {
        // Overwriting it would lose the world's real seed; the file is kept for the player to mend.
        log_message(1, "Seed file %s holds no number; running with seed %d and leaving the file alone", path,
                    (int)seed);
    }
    log_message(3, "World seed == %d", (int)seed);
    global_world_seed = seed;

    worldmap_paint_island_tile(seed);
    worldmap_build_layers();
    maptile_scale = 5.0f;
    isletile_scale = 200.0f;
    return 1;
}
