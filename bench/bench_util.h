// bench_util.h — what several benchmarks share: finding the game folder beside the build
#pragma once
#include <string>

#include <cstdlib>
#include <unistd.h>

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
