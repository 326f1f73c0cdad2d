// fuzz_recipe.cpp — feeds arbitrary bytes to the RECIPE.TXT reader, then tries crafting with the result
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "foundation/logfile.h"
#include "objects/inventory.h"
#include "objects/template.h"
#include "terrain/voxel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = false;
    if (!ready) {
        ready = true;
        mkdir("OBJECT", 0755);
        mkdir("OBJECT/ITEM", 0755);
        global_log_level = 0;
        voxel_clear_map();
        voxel_setup_materials();
        object_recipe_setup();
    }
    FILE *file = fopen("OBJECT/ITEM/RECIPE.TXT", "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    template_setup();
    template_load("BAR");
    template_load("BOARD");
    template_load("ITEM");
    template_load_recipe_file("ITEM");
    const object *t = template_get_by_name("ITEM");
    // A recipe is whole or absent, and names only templates that exist.
    int required = 0;
    for (int i = 0; i < OBJECT_RECIPE_SIZE; i++) {
        if (t->recipe_template_index[i] == OBJECT_NO_TEMPLATE) {
            if (t->recipe_material[i] != OBJECT_ANY_MATERIAL) __builtin_trap();
            continue;
        }
        if (t->recipe_template_index[i] >= num_object_template) __builtin_trap();
        required++;
    }
    (void)required;
    // Crafting with the recipe on a board no chunk holds never makes or loses anything.
    object *holder = object_create();
    object *mid = object_spawn(template_get_by_name("BAR"), holder, 1, 0.0f, 0.0f, 0.0f);
    object_spawn(template_get_by_name("BOARD"), holder, 1, 0.0f, -20.0f, 0.0f);
    object_spawn(template_get_by_name("BOARD"), holder, 1, 20.0f, 0.0f, 0.0f);
    if (object_recipe_replace(holder, mid, 30.0f) != 0) __builtin_trap();
    int count = 0;
    for (object *o = holder->inventory_pile; o; o = o->next) count++;
    if (count != 3) __builtin_trap();
    object_destroy(holder);
    return 0;
}
