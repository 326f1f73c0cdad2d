// terrain_test_util.h — a scratch world for terrain and chunk tests, and helpers to build pillars
#pragma once
#include <sys/stat.h>

#include <string>
#include <vector>

#include "world/chunkmap.h"
#include "world/worldmap.h"
#include "foundation/logfile.h"
#include "test_util.h"
#include "terrain/voxel.h"
#include "foundation/settings.h"
#include "foundation/timer.h"

// Enters a scratch folder holding an empty world folder, opens the log there, sets up the
// substitute pillars and the material tables, and starts with an empty grid. On leaving, every
// chunk still resident is released without saving, and the substitutes are given back, so the
// record pool ends each test empty.
class ScratchWorld {
  public:
    ScratchWorld() {
        mkdir("WORLDS", 0755);
        mkdir("WORLDS/" WORLD_NAME, 0755);
        open_logfile();
        reset();
        voxel_clear_map();
        voxel_setup_materials();
        chunkmap_setup();
    }
    ~ScratchWorld() {
        reset();
        voxel_release_substitutes();
    }

  private:
    // The grid, the chunk files, the seed, the clock, the sun and the record limit as at start.
    static void reset() {
        chunkmap_reset();
        chunkmap_file_reset();
        worldmap_reset();
        timer_reset();
        voxel_light_reset();
        voxel_pool_reset_limit();
        global_log_level = 5;
    }
    ScratchDir dir_;
};

// A pillar built from (data word, ...) bottom-up; single blocks get the given sunlight.
inline voxel *make_pillar(const std::vector<uint16_t> &words, uint8_t sunlight = 0) {
    voxel *bottom = nullptr, *top = nullptr;
    for (uint16_t word : words) {
        voxel *v = voxel_create((uint8_t)(word & 63), 1);
        v->data = word;
        if (word & VOXEL_SINGLE_FLAG) v->sunlight = sunlight;
        if (top)
            top->next = v;
        else
            bottom = v;
        top = v;
    }
    return bottom;
}

inline uint16_t run_word(uint8_t material, uint16_t length) { return (uint16_t)(material | (length << 7)); }
inline uint16_t single_word(uint8_t material) { return (uint16_t)(material | VOXEL_CENTRED_SINGLE); }

// The data words of a pillar, bottom-up.
inline std::vector<uint16_t> pillar_words(const voxel *v) {
    std::vector<uint16_t> words;
    for (; v; v = v->next) words.push_back(v->data);
    return words;
}

// A chunk registered at (cx, cy) whose columns are built by fill(local x, local y).
template <typename Fill>
inline chunk *make_resident_chunk(int cx, int cy, Fill fill) {
    chunk *c = chunk_create();
    for (int x = 0; x < CHUNK_SIZE; x++)
        for (int y = 0; y < CHUNK_SIZE; y++) c->pillar[x][y] = fill(x, y);
    chunk_map[cx][cy] = c;
    return c;
}

inline std::string chunk_path(int cx, int cy) {
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), cx, cy);
    return std::string(fix_path(name));
}
