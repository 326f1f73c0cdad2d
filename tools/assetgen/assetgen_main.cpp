// assetgen_main.cpp — kestrova_assets: generates every picture, sound and track into a game folder
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "assetgen.h"

static uint8_t assetgen_make_folder(const char *folder, const char *name) {
    char path[1024];
    assetgen_path(path, sizeof(path), folder, name);
    if (mkdir(path, 0755) != 0) {
        struct stat info;
        if (stat(path, &info) != 0 || !S_ISDIR(info.st_mode)) {
            fprintf(stderr, "assetgen: cannot make folder %s\n", path);
            return 0;
        }
    }
    return 1;
}

int main(int argc, char **argv) {
    if (argc == 3 && !strcmp(argv[1], "--sheet")) {
        // A contact sheet of the object kinds, for looking at; nothing else is written.
        uint8_t ok = assetgen_make_sheet(argv[2]);
        printf("assetgen: contact sheet %s %s\n", argv[2], ok ? "done" : "FAILED");
        return ok ? 0 : 1;
    }
    if (argc != 2) {
        fprintf(stderr, "usage: kestrova_assets GAME_FOLDER\n       kestrova_assets --sheet SHEET.TGA\n");
        return 2;
    }
    const char *folder = argv[1];
    mkdir(folder, 0755);
    if (!assetgen_make_folder(folder, "ART") || !assetgen_make_folder(folder, "SOUND") ||
        !assetgen_make_folder(folder, "MUSIC"))
        return 1;

    struct step {
        const char *name;
        uint8_t (*make)(const char *);
    } steps[] = {{"font", assetgen_make_font},
                 {"title", assetgen_make_title},
                 {"material atlas", assetgen_make_atlas},
                 {"light ramp", assetgen_make_light},
                 {"sky", assetgen_make_sky},
                 {"display pieces", assetgen_make_display_pieces},
                 {"metals", assetgen_make_metals},
                 {"sounds", assetgen_make_sounds},
                 {"music", assetgen_make_music},
                 {"objects", assetgen_make_objects}};
    auto start = std::chrono::steady_clock::now();
    int failures = 0;
    for (const step &s : steps) {
        auto before = std::chrono::steady_clock::now();
        uint8_t ok = s.make(folder);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        printf("assetgen: %-15s %s (%.2f s)\n", s.name, ok ? "done" : "FAILED", seconds);
        if (!ok) failures++;
    }
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("assetgen: all assets in %.2f s\n", total);
    return failures ? 1 : 0;
}
