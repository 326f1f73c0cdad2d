// bench_util.h — what several benchmarks share: the game folder beside the build, a scratch world
#pragma once
#include <string>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/settings.h"

// The game folder beside the benchmark's build folder (or $KESTROVA_GAME_DIR), for the art and the
// object kinds the drawing benchmarks load.
inline std::string bench_game_folder() {
    if (const char *dir = getenv("KESTROVA_GAME_DIR")) return dir;
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) return "game";
    self[n] = 0;
    std::string path(self);
    path = path.substr(0, path.rfind('/'));
    return path + "/../game";
}

// Makes a fresh folder /tmp/kestrova_<name>_XXXXXX holding an empty world and works in it for the
// rest of the run; returns 0 when it cannot.
inline int bench_enter_scratch_world(const char *name) {
    std::string pattern = std::string("/tmp/kestrova_") + name + "_XXXXXX";
    char *folder = mkdtemp(&pattern[0]);
    if (!folder || chdir(folder) != 0) return 0;
    mkdir("WORLDS", 0755);
    mkdir("WORLDS/" WORLD_NAME, 0755);
    return 1;
}
