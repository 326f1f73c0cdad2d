// object_test_util.h — a scratch world with object kinds written by the test, loaded as the game
// loads them, and helpers for piles and inventories
#pragma once
#include <sys/stat.h>

#include <string>
#include <vector>

#include "foundation/random.h"
#include "models/model.h"
#include "objects/inventory.h"
#include "objects/object.h"
#include "objects/object_file.h"
#include "objects/template.h"
#include "terrain/multri.h"
#include "terrain_test_util.h"

// The terrain scratch world plus an empty template table and the object hooks. On leaving, every
// resident chunk is released with its objects, and the hooks and object globals are cleared.
class ObjectWorld {
  public:
    ObjectWorld() {
        model_free_all();
        template_setup();
        object_recipe_setup();
        object_register_hooks();
        local_player = nullptr;
        global_inworld_selected_object = nullptr;
        object_destroyed_hook = nullptr;
        chink_sound = nullptr;
        random_seed(7);
        mkdir("OBJECT", 0755);
    }
    ~ObjectWorld() {
        for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
            for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
                chunk_destroy(chunk_map[cx][cy]);
                chunk_map[cx][cy] = nullptr;
            }
        }
        voxel_debris_hook = nullptr;
        voxel_collect_hook = nullptr;
        chunkmap_object_import_hook = nullptr;
        chunkmap_object_export_hook = nullptr;
        chunkmap_pile_destroy_hook = nullptr;
        multri_billboard_hook = nullptr;
        local_player = nullptr;
        global_inworld_selected_object = nullptr;
        object_destroyed_hook = nullptr;
        template_setup();
        model_free_all();
    }

  private:
    ScratchWorld world_;
};

// Writes OBJECT/<name>/TEMPLATE.TXT (and RECIPE.TXT when given).
inline void write_kind(const std::string &name, const std::string &template_text, const std::string &recipe = "") {
    std::string folder = "OBJECT/" + name;
    mkdir(folder.c_str(), 0755);
    write_text_file(folder + "/TEMPLATE.TXT", template_text);
    if (!recipe.empty()) write_text_file(folder + "/RECIPE.TXT", recipe);
}

// Loads the named kinds in order, then their recipes, as start-up does.
inline void load_kinds(const std::vector<std::string> &names) {
    for (const std::string &name : names) template_load(name.c_str());
    for (const std::string &name : names) template_load_recipe_file(name.c_str());
    template_find_particle_templates();
}

// A resident chunk of flat stone ground, 10 blocks high, at chunk (cx, cy).
inline chunk *make_ground_chunk(int cx, int cy) {
    return make_resident_chunk(cx, cy, [](int, int) { return make_pillar({run_word(3, 10)}); });
}

inline int pile_length(const object *pile) {
    int n = 0;
    for (; pile; pile = pile->next) n++;
    return n;
}

inline std::vector<object *> pile_objects(object *pile) {
    std::vector<object *> objects;
    for (; pile; pile = pile->next) objects.push_back(pile);
    return objects;
}
