// chunkgen_main.cpp — writes the chunk files of a few generated chunks of one seed's world into
// WORLDS\DEZORE of the working folder, so builds for different platforms can be compared byte for
// byte. Usage: kestrova_chunkgen SEED
#include <cstdio>
#include <cstdlib>

#include "foundation/logfile.h"
#include "foundation/random.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"

// A console tool: no SDL start-up in front of main.
#undef main

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: kestrova_chunkgen SEED\n");
        return 2;
    }
    int32_t seed = (int32_t)strtol(argv[1], nullptr, 10);
    global_log_level = 1;
    random_setup();
    voxel_setup_materials();
    voxel_geometry_setup();
    chunkmap_setup();
    // A fresh world: the seed file must not pick an older seed.
    remove(fix_path("WORLDS\\DEZORE\\SEED.TXT"));
    worldmap_setup(seed, "DEZORE");
    // The island's middle with two neighbours (their shared edges are fixed up), and a corner.
    const int chunks[][2] = {{25, 25}, {26, 25}, {25, 26}, {0, 0}};
    for (const auto &c : chunks) worldmap_generate_chunk(c[0], c[1]);
    for (const auto &c : chunks) {
        chunkmap_unload(c[0], c[1]);
        char name[CHUNKMAP_PATH_SIZE];
        chunkmap_file_name(name, sizeof(name), c[0], c[1]);
        FILE *written = fopen(fix_path(name), "rb");
        if (!written) {
            fprintf(stderr, "kestrova_chunkgen: %s was not written\n", name);
            return 1;
        }
        fclose(written);
    }
    printf("kestrova_chunkgen: seed %d, %d chunks written\n", (int)seed, (int)(sizeof(chunks) / sizeof(chunks[0])));
    return 0;
}
