// fuzz_template.cpp — feeds arbitrary bytes to the TEMPLATE.TXT reader and checks the template it builds
#include <sys/stat.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/logfile.h"
#include "objects/template.h"
#include "terrain/voxel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = false;
    if (!ready) {
        ready = true;
        mkdir("OBJECT", 0755);
        mkdir("OBJECT/FUZZ", 0755);
        global_log_level = 0;
    }
    FILE *file = fopen("OBJECT/FUZZ/TEMPLATE.TXT", "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    voxel_clear_map();
    voxel_setup_materials();
    template_setup();
    template_load("FUZZ");
    const object *t = template_get_by_name("FUZZ");
    if (!t || num_object_template != 1) __builtin_trap();
    // Whatever the file says, the template stays within its tables and its numbers are usable.
    if (t->num_mesh > OBJECT_MAX_MESH) __builtin_trap();
    for (int i = 0; i < t->num_mesh; i++)
        if (t->mesh_local_texture_index[i] > 9 || t->mesh_paperdoll[i] > 1) __builtin_trap();
    if (!(t->size > 0.0f) || !std::isfinite(t->size) || !std::isfinite(t->weight) || !std::isfinite(t->hits) ||
        !std::isfinite(t->value) || !std::isfinite(t->inventory_scale) || !std::isfinite(t->dig_radius) ||
        !std::isfinite(t->attack_damage))
        __builtin_trap();
    if (t->max_inventory_stack_count < 1) __builtin_trap();
    if (t->inhand_animation) {
        if (t->inhand_animation->number_of_frames < 1 || t->inhand_animation->number_of_frames > OBJECT_INHAND_FRAMES)
            __builtin_trap();
        for (int f = 0; f < t->inhand_animation->number_of_frames; f++)
            for (int k = 0; k < 6; k++)
                if (!std::isfinite(t->inhand_animation->frame[f][k])) __builtin_trap();
    }
    if (t->behave_like_terrain_model >= VOXEL_MATERIAL_COUNT) __builtin_trap();
    // A file with a zero byte near its start is no text file: the kind keeps every default.
    if (memchr(data, 0, size < 4096 ? size : 4096) &&
        (t->full_collide || t->num_mesh || t->size != 1.0f || t->weight != 1.0f || t->inhand_animation))
        __builtin_trap();
    for (int m = 0; m < VOXEL_MATERIAL_COUNT; m++)
        if (voxel_material_template[m] && voxel_material_metal[m] >= OBJECT_METAL_COUNT) __builtin_trap();
    return 0;
}
