// worldmap_land.cpp — the seed of a new world: drawn again, the same way on every platform, until
// the start column is dry land, so a new player begins on an island and not in the open sea
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "world/worldmap.h"

uint8_t worldmap_has_seed_file(const char *world_name) {
    char path[WORLDMAP_PATH_SIZE];
    snprintf(path, sizeof(path), "WORLDS\\%s\\SEED.TXT", world_name ? world_name : "");
    errno = 0;
    FILE *file = platform_open_regular_file(fix_path(path), "r", nullptr);
    // A FIFO or a device in its place is no missing seed: the seed rule of the world set-up takes it.
    if (!file) return errno == EINVAL ? 1 : 0;
    // A file of nothing but blanks is what a failed write of old left behind: no seed yet.
    char text[64];
    size_t length = fread(text, 1, sizeof(text) - 1, file);
    fclose(file);
    text[length] = 0;
    return text[strspn(text, " \t\r\n")] != 0 || length == sizeof(text) - 1 ? 1 : 0;
}

int32_t worldmap_next_seed(int32_t seed) {
    // A 32-bit mix (unsigned, so the wrap is defined): neighbouring seeds lead far apart.
    uint32_t x = (uint32_t)seed + 0x9E3779B9u;
    x ^= x >> 16;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    x ^= x >> 16;
    return (int32_t)x;
}

float worldmap_lowest_height_near(int x, int y) {
    float lowest = 1.0e9f;
    for (int dy = -WORLDMAP_LAND_REACH; dy <= WORLDMAP_LAND_REACH; dy++) {
        for (int dx = -WORLDMAP_LAND_REACH; dx <= WORLDMAP_LAND_REACH; dx++) {
            // Columns are sampled at their middles, as generation does.
            float h = maplayer_height(maplayer_total, (float)(x + dx) + 0.5f, (float)(y + dy) + 0.5f);
            if (h < lowest) lowest = h;
        }
    }
    return lowest;
}

static void worldmap_release_layers(void) {
    maplayer **lists[4] = {&maplayer_total, &maplayer_grass, &maplayer_stone, &maplayer_sand};
    for (maplayer **list : lists) {
        maplayer_destroy(*list);
        *list = nullptr;
    }
}

uint8_t worldmap_seed_starts_on_land(int32_t seed, int x, int y) {
    worldmap_release_layers();
    isletile_clear();
    worldmap_paint_island_tile(seed);
    worldmap_build_layers();
    // The height field as worldmap_setup leaves it.
    float saved_isle = isletile_scale, saved_map = maptile_scale;
    isletile_scale = 200.0f;
    maptile_scale = 5.0f;
    float lowest = worldmap_lowest_height_near(x, y);
    isletile_scale = saved_isle;
    maptile_scale = saved_map;
    worldmap_release_layers();
    isletile_clear();
    return lowest >= WORLDMAP_OCEAN_LEVEL + WORLDMAP_LAND_MARGIN ? 1 : 0;
}

int32_t worldmap_draw_land_seed(int32_t first_draw, int x, int y) {
    // The layers log each one made; a few hundred lines per seed tried would bury the log.
    uint8_t saved_level = global_log_level;
    int32_t seed = first_draw;
    int draws = 1;
    uint8_t land = 0;
    for (; draws <= WORLDMAP_LAND_DRAWS; draws++) {
        global_log_level = saved_level < 2 ? saved_level : 2;
        land = worldmap_seed_starts_on_land(seed, x, y);
        global_log_level = saved_level;
        if (land) break;
        log_message(4, "Seed %d puts the start column %d, %d in the sea; drawing again", (int)seed, x, y);
        seed = worldmap_next_seed(seed);
    }
    if (land) {
        log_message(3, "New world: seed %d chosen after %d draws from %d; the start column %d, %d is dry land",
                    (int)seed, draws, (int)first_draw, x, y);
        return seed;
    }
    log_message(2, "New world: no seed of %d drawn from %d starts on land; seed %d is used", WORLDMAP_LAND_DRAWS,
                (int)first_draw, (int)first_draw);
    return first_draw;
}
