// fuzz_player.cpp — feeds arbitrary bytes to the player file reader (as they are, and with their
// checksum set right, so the checks behind it are reached too) and checks what it builds: a player
// it accepts saves, reads back and saves again to the same bytes
#include <sys/stat.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/logfile.h"
#include "objects/object.h"
#include "objects/player_file.h"
#include "objects/template.h"

static void fuzz_write_kind(const char *name, const char *text) {
    char path[128];
    snprintf(path, sizeof(path), "OBJECT/%s", name);
    mkdir(path, 0755);
    snprintf(path, sizeof(path), "OBJECT/%s/TEMPLATE.TXT", name);
    FILE *file = fopen(path, "wb");
    if (!file) return;
    fputs(text, file);
    fclose(file);
}

// Every object held is in its holder's pile, no deeper than the game nests, at a place that is a number.
static void fuzz_check(const object *o, int depth) {
    if (depth > OBJECT_MAX_NESTING) __builtin_trap();
    if (!std::isfinite(o->position.x) || !std::isfinite(o->position.y) || !std::isfinite(o->hits)) __builtin_trap();
    for (const object *held = o->inventory_pile; held; held = held->next) {
        if (held->current_pile != &o->inventory_pile) __builtin_trap();
        fuzz_check(held, depth + 1);
    }
}

static std::vector<uint8_t> fuzz_encode(const object *player) {
    uint8_t *data = nullptr;
    size_t size = 0;
    player_file_state state = {0, 0, 32768, {0.0f, 0.0f, 0.0f}};
    if (!player_file_encode(player, &state, &data, &size)) __builtin_trap();
    std::vector<uint8_t> out(data, data + size);
    free(data);
    return out;
}

// Reads bytes into a fresh player; none when refused.
static object *fuzz_read(const uint8_t *data, size_t size, object **pile) {
    if (!player_file_decode(data, size)) return nullptr;
    object *player = object_spawn_into_pile(template_get_by_name("PLAYER"), pile, 1, 0.0f, 0.0f, 0.0f);
    if (!player) __builtin_trap();
    if (!player_file_restore(player)) __builtin_trap();
    return player;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = false;
    if (!ready) {
        ready = true;
        global_log_level = 0;
        mkdir("OBJECT", 0755);
        fuzz_write_kind("PLAYER", "FULLCOLLIDE\nSTATICSPHERE\nSIZE 0.9\nHITS 5\n");
        fuzz_write_kind("BAG", "INVENTORYSTACKABLE 3\n");
        fuzz_write_kind("DEBRIS", "BEHAVELIKEDEBRIS\nINVENTORYSTACKABLE 10000\n");
        template_setup();
        template_load("PLAYER");
        template_load("BAG");
        template_load("DEBRIS");
    }
    std::vector<uint8_t> sealed(data, data + size);
    if (size >= 4) {
        uint32_t sum = player_file_checksum(sealed.data(), size - 4);
        memcpy(&sealed[size - 4], &sum, 4);
    }
    for (int pass = 0; pass < 2; pass++) {
        const std::vector<uint8_t> &input = sealed;
        object *pile = nullptr;
        object *player = pass == 0 ? fuzz_read(data, size, &pile) : fuzz_read(input.data(), input.size(), &pile);
        if (!player) continue;
        fuzz_check(player, 0);
        std::vector<uint8_t> first = fuzz_encode(player);
        object *again = fuzz_read(first.data(), first.size(), &pile);
        if (!again) __builtin_trap();
        if (fuzz_encode(again) != first) __builtin_trap();
        object_destroy(player);
        object_destroy(again);
        if (pile) __builtin_trap();
    }
    return 0;
}
