// fuzz_chunk.cpp — feeds arbitrary bytes to the chunk file reader, its columns and its object list,
// and checks what it builds
#include <sys/stat.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "objects/object.h"
#include "objects/object_file.h"
#include "objects/template.h"
#include "terrain/voxel.h"
#include "foundation/settings.h"

static std::string fuzz_read_file(const char *path) {
    std::string bytes;
    FILE *file = fopen(path, "rb");
    if (!file) return bytes;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = false;
    if (!ready) {
        ready = true;
        mkdir("WORLDS", 0755);
        mkdir("WORLDS/" WORLD_NAME, 0755);
        voxel_clear_map();
        voxel_setup_materials();
        chunkmap_setup();
        global_chunkmap_sync_to_disk = 0;
        // Two kinds: one that is saved with its chunk, and the dust unknown kinds become.
        mkdir("OBJECT", 0755);
        mkdir("OBJECT/CRATE", 0755);
        FILE *kind = fopen("OBJECT/CRATE/TEMPLATE.TXT", "wb");
        if (kind) {
            fputs("FULLCOLLIDE\n", kind);
            fclose(kind);
        }
        mkdir("OBJECT/PLAYER", 0755);
        kind = fopen("OBJECT/PLAYER/TEMPLATE.TXT", "wb");
        if (kind) {
            fputs("FULLCOLLIDE\nSTATICSPHERE\n", kind);
            fclose(kind);
        }
        global_log_level = 0;
        template_setup();
        template_load("CRATE");
        template_load("DUST");
        template_load("PLAYER");
        object_register_hooks();
        // A small wake limit, so records beyond it are met as often as any others.
        global_object_chunk_limit = 8;
    }
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), 0, 0);
    std::string path = fix_path(name);
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    uint32_t live_before = voxel_pool_live_count();

    chunkmap_load(0, 0);
    if (global_chunkmap_damaged_copy[0]) remove(fix_path(global_chunkmap_damaged_copy));
    chunk *c = chunk_map[0][0];
    if (!c) __builtin_trap();
    // Every column the reader builds is one the game could have made.
    for (int x = 0; x < CHUNK_SIZE; x++) {
        for (int y = 0; y < CHUNK_SIZE; y++) {
            int height = 0;
            const voxel *top = nullptr;
            for (const voxel *v = c->pillar[x][y]; v; v = v->next) {
                if (voxel_length(v) == 0) __builtin_trap();
                height += voxel_length(v);
                top = v;
            }
            if (height > VOXEL_PILLAR_HEIGHT_LIMIT) __builtin_trap();
            if (top && voxel_material(top) == 0) __builtin_trap();
            if (!voxel_check_pillar(c->pillar[x][y])) __builtin_trap();
        }
    }

    // Every object read lies in this chunk's pile (or an inventory in it), nested no deeper than
    // the limit, at a position that is a number; no more wake than the limit, and no record
    // ever becomes a second player.
    int awake = 0;
    for (object *o = c->local_object_pile; o; o = o->next) {
        if (++awake > (int)global_object_chunk_limit) __builtin_trap();
        if (o->template_index == template_get_by_name("PLAYER")->template_index) __builtin_trap();
        if (o->current_pile != &c->local_object_pile) __builtin_trap();
        int depth = 0;
        for (object *held = o; held; held = held->inventory_pile) {
            if (++depth > OBJECT_MAX_NESTING + 1) __builtin_trap();
            if (held != o && held->current_pile == &c->local_object_pile) __builtin_trap();
        }
        if (!std::isfinite(o->position.x) || !std::isfinite(o->facing_xyzw[0])) __builtin_trap();
    }

    // What it saves reads back without damage and saves again to the same bytes; the records it
    // kept (kinds not loaded, beyond the limit, the player) are saved unchanged.
    std::string kept(c->kept_objects ? (const char *)c->kept_objects : "", c->kept_objects_size);
    chunkmap_unload(0, 0);
    if (voxel_pool_live_count() != live_before) __builtin_trap();
    std::string first = fuzz_read_file(path.c_str());
    if (!kept.empty() && first.find(kept) == std::string::npos) __builtin_trap();
    chunkmap_load(0, 0);
    if (global_chunkmap_damaged_copy[0]) __builtin_trap();
    chunkmap_unload(0, 0);
    if (fuzz_read_file(path.c_str()) != first) __builtin_trap();
    return 0;
}
