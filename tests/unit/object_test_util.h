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
#include "objects/object_update.h"
#include "objects/template.h"
#include "terrain/multri.h"
#include "terrain_test_util.h"

// The terrain scratch world plus an empty template table and the object hooks. On leaving, every
// resident chunk is released with its objects, the hooks are taken back and the object modules
// are put back as at start.
class ObjectWorld {
  public:
    ObjectWorld() {
        reset();
        object_recipe_setup();
        object_register_hooks();
        random_seed(7);
        mkdir("OBJECT", 0755);
    }
    ~ObjectWorld() {
        // The hooks are still set here, so every pile goes with its chunk.
        chunkmap_reset();
        object_unregister_hooks();
        reset();
    }

  private:
    static void reset() {
        object_reset();
        object_update_reset();
        object_file_reset();
        inventory_reset();
        template_setup();
        model_free_all();
    }
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
