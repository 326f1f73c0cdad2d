// test_assetgen_objects.cpp — the generated object kinds load with the game's own readers, animate as
// the simulation expects, draw their outsides, and craft from what a player starts with and digs
#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_opengl.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "assetgen_objects.h"
#include "display/display.h"
#include "game/kestrova.h"
#include "object_test_util.h"
#include "test_util.h"
#include "test_window.h"

namespace {

std::vector<std::string> generated_kinds() {
    std::vector<std::string> names;
    assetgen_kind kind;
    for (int i = 0; i < assetgen_kind_count(); i++) {
        assetgen_kind_build(i, &kind);
        names.push_back(kind.name);
        assetgen_kind_free(&kind);
    }
    return names;
}

// Writes the object folders into the scratch folder and loads them the way start-up does.
std::vector<std::string> generate_and_load() {
    EXPECT_EQ(assetgen_make_objects("."), 1);
    std::vector<std::string> names = generated_kinds();
    load_kinds(names);
    return names;
}

// The kinds and amounts the player starts with (template, material).
const std::vector<std::pair<std::string, int>> starting_inventory = {
    {"PICK", 1},   {"AXE", 2},   {"HAMMER", 3}, {"HEAVY-PICK", 3}, {"SHIELD", 3},       {"KNIFE", 3}, {"SPEAR", 3},
    {"HEAVY-AXE", 3}, {"SAW", 3}, {"BOMB", 3},  {"BAR", 1},        {"BAR", 2},          {"BAR", 3},   {"BAR", 4},
    {"BAR", 5},    {"TORCH", 3}, {"BOARD", 3},  {"GOBLIN", 3},     {"GOBLIN-CHAIN", 3}, {"ZOMBI", 3}, {"CATAPULT", 3},
    {"BLOCK", 5},  {"DEBRIS", 31}, {"DEBRIS", 32}, {"DEBRIS", 38}};

// Materials the world generator places, which a player can reach and dig.
const int generated_materials[] = {1, 3, 4, 7, 8, 10, 11, 22, 23, 24, 25, 26, 27, 35};

}  // namespace

TEST(AssetgenObjects, EveryKindLoadsItsModelMeshesAndInHandFramesWithoutAWarning) {
    ScratchDir scratch;
    ObjectWorld world;
    std::vector<std::string> names = generate_and_load();
    for (const std::string &line : log_lines()) {
        EXPECT_EQ(line.find("Error:"), std::string::npos) << line;
        EXPECT_EQ(line.find("Warn :"), std::string::npos) << line;
        EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
    }
    // Every kind the game names exists.
    for (const char *name : {"PLAYER", "DEBRIS", "BLOCK", "DUST", "SMOKE", "FLAME", "ZOMBI", "LOG"})
        EXPECT_NE(template_get_by_name(name), nullptr) << name;
    for (const auto &item : starting_inventory) EXPECT_NE(template_get_by_name(item.first.c_str()), nullptr) << item.first;
    EXPECT_NE(debris_object_template, nullptr);
    EXPECT_NE(block_object_template, nullptr);
    EXPECT_NE(dust_object_template, nullptr);
    EXPECT_NE(smoke_object_template, nullptr);
    EXPECT_NE(flame_object_template, nullptr);

    for (const std::string &name : names) {
        object *t = template_get_by_name(name.c_str());
        ASSERT_NE(t, nullptr) << name;
        const model *m = global_model_data[t->model_index];
        ASSERT_NE(m, nullptr) << name;
        EXPECT_TRUE(t->num_mesh > 0 || t->icon_in_game) << name;
        // Each MESH line found its mesh by name (a miss would quietly give mesh 0).
        std::vector<std::string> lines = read_lines("OBJECT/" + name + "/TEMPLATE.TXT");
        int slot = 0;
        for (const std::string &line : lines) {
            if (line.rfind("MESH ", 0) != 0) continue;
            char mesh_name[64] = "";
            ASSERT_EQ(sscanf(line.c_str(), "MESH %63s", mesh_name), 1);
            ASSERT_LT(slot, t->num_mesh);
            EXPECT_STREQ((const char *)m->mesh_data[t->mesh_index[slot]]->name, mesh_name) << name;
            slot++;
        }
        EXPECT_EQ(slot, t->num_mesh) << name;
        // Swinging tools strike in the middle of their frames; held items show one frame.
        if (t->inhand_animation && t->inhand_animation->number_of_frames > 1) {
            EXPECT_GE(t->attack_damage, 1.0f) << name;
        }
    }
    EXPECT_EQ(template_get_by_name("PICK")->inhand_animation->number_of_frames, 34);
    EXPECT_EQ(template_get_by_name("AXE")->inhand_animation->number_of_frames, 34);
    EXPECT_GT(template_get_by_name("HEAVY-PICK")->dig_radius, template_get_by_name("PICK")->dig_radius);
    EXPECT_EQ(template_get_by_name("TORCH")->inhand_animation->number_of_frames, 1);
    // The bomb blinks by switching its body slot to TEXTURE1; its body is slot 0.
    object *bomb = template_get_by_name("BOMB");
    EXPECT_EQ(bomb->behave_like_bomb, 1);
    EXPECT_STREQ((const char *)global_model_data[bomb->model_index]->mesh_data[bomb->mesh_index[0]]->name, "BODY");
    EXPECT_EQ(bomb->mesh_local_texture_index[0], 0);
    // Terrain models: the burning block is a torch, the tree seed a sapling.
    EXPECT_EQ(voxel_material_object[28], template_get_by_name("TORCH"));
    EXPECT_EQ(voxel_material_object[35], template_get_by_name("SAPLING"));
    // Every texture and icon file decodes as the game's loader reads it.
    for (const std::string &name : names) {
        for (const char *file : {"TEXTURE0.TGA", "ICON.TGA"}) {
            std::string path = "OBJECT/" + name + "/" + file;
            FILE *f = fopen(path.c_str(), "rb");
            ASSERT_NE(f, nullptr) << path;
            uint16_t width = 0, height = 0;
            EXPECT_EQ(display_decode_tga(f, 0, &width, &height), 1) << path;
            fclose(f);
            EXPECT_GT(width, 0) << path;
        }
    }
    FILE *blink = fopen("OBJECT/BOMB/TEXTURE1.TGA", "rb");
    ASSERT_NE(blink, nullptr);
    fclose(blink);
}

TEST(AssetgenObjects, ZombiWalksAttacksWithTheBlowOnFrame135AndRecoilsAndTheTreeFalls) {
    ScratchDir scratch;
    ObjectWorld world;
    generate_and_load();
    uint16_t zombi = template_get_by_name("ZOMBI")->model_index;
    EXPECT_EQ(template_get_by_name("ZOMBI")->behave_like_zombi, 1);
    const uint8_t *names[3] = {(const uint8_t *)"WALK1", (const uint8_t *)"ATTACK1", (const uint8_t *)"HIT1"};
    for (const uint8_t *name : names) {
        uint16_t first = model_get_start_or_last_frame(zombi, name, 1), last = model_get_start_or_last_frame(zombi, name, 0);
        EXPECT_GT(first, 0) << name;
        EXPECT_GT(last, first) << name;
        // Every frame of the animation belongs to it, so the walk-through never cuts it short.
        for (uint16_t f = first; f <= last; f++)
            EXPECT_EQ(model_get_frame_animation_type(zombi, f), model_get_frame_animation_type(zombi, first));
    }
    uint16_t attack_first = model_get_start_or_last_frame(zombi, names[1], 1);
    uint16_t attack_last = model_get_start_or_last_frame(zombi, names[1], 0);
    EXPECT_LE(attack_first, 135);
    EXPECT_GE(attack_last, 135);
    // Stepping through the attack as the simulation does reaches the blow frame, then walks again.
    uint16_t frame = attack_first;
    bool struck = false;
    for (int step = 0; step < 200 && model_get_frame_animation_type(zombi, frame) ==
                                          model_get_frame_animation_type(zombi, attack_first);
         step++) {
        struck |= frame == 135;
        frame = model_next_frame(zombi, frame, "WALK1");
    }
    EXPECT_TRUE(struck);
    EXPECT_EQ(frame, model_get_start_or_last_frame(zombi, names[0], 1));

    object *tree = template_get_by_name("TREE");
    EXPECT_EQ(tree->behave_like_tree, 1);
    EXPECT_GE(tree->hits, 2.0f);
    EXPECT_GE(tree->weight, 1000.0f);  // planted, it cannot be picked up or pushed
    EXPECT_EQ(tree->inventory_stackable, 1);  // so it can be thrown to plant it
    uint16_t fall_first = model_get_start_or_last_frame(tree->model_index, (const uint8_t *)"FALL", 1);
    EXPECT_GT(fall_first, 0);
    EXPECT_GT(model_get_start_or_last_frame(tree->model_index, (const uint8_t *)"FALL", 0), fall_first + 10);
    // Each blow moves the first slot to the next mesh: there is one for every hit but the last.
    const model *m = global_model_data[tree->model_index];
    EXPECT_GE((int)m->num_mesh, (int)tree->hits + 1);
    // Axes fell trees (more than 10 damage) and kill a zombi in a few blows, a knife in many.
    float zombi_hits = template_get_by_name("ZOMBI")->hits;
    EXPECT_GT(template_get_by_name("AXE")->attack_damage, 10.0f);
    EXPECT_GT(template_get_by_name("SAW")->attack_damage, 10.0f);
    EXPECT_LE(zombi_hits / template_get_by_name("AXE")->attack_damage, 3.0f);
    EXPECT_LE(zombi_hits / template_get_by_name("SPEAR")->attack_damage, 3.0f);
    EXPECT_GE(zombi_hits / template_get_by_name("KNIFE")->attack_damage, 10.0f);
}

TEST(AssetgenObjects, EveryRecipeIsCraftableFromTheStartingInventoryAndDugMaterials) {
    ScratchDir scratch;
    ObjectWorld world;
    std::vector<std::string> names = generate_and_load();
    // What a player can hold: (template index, material).
    std::set<std::pair<int, int>> have;
    for (const auto &item : starting_inventory) have.insert({template_get_by_name(item.first.c_str())->template_index, item.second});
    // Digging with the iron tools of the start (strength 20.5): every generated material yields
    // something, and with its family's parent.
    for (int material : generated_materials) {
        if (voxel_material_hardness[material] >= 20.5f) continue;
        int counted = (material == 10 || material == 11) ? 1 : material;
        int parent = voxel_material_parent[counted];
        bool any = false;
        for (int m : {counted, parent}) {
            if (m > 63 || !voxel_material_template[m]) continue;
            have.insert({voxel_material_template[m]->template_index, voxel_material_metal[m]});
            any = true;
        }
        EXPECT_TRUE(any) << "digging material " << material << " gives nothing";
    }
    int debris = template_get_by_name("DEBRIS")->template_index, block = template_get_by_name("BLOCK")->template_index;
    int tree = template_get_by_name("TREE")->template_index, log_kind = template_get_by_name("LOG")->template_index;
    std::set<int> made;
    for (bool grew = true; grew;) {
        grew = false;
        // Right-clicking converts debris of stone into blocks and back; chopping a tree drops logs.
        std::set<std::pair<int, int>> extra;
        for (const auto &h : have) {
            if (h.first == debris && h.second == 3) extra.insert({block, 5});
            if (h.first == block && h.second == 5) extra.insert({debris, 3});
            if (h.first == tree) extra.insert({log_kind, 0});
        }
        for (const auto &e : extra) grew |= have.insert(e).second;
        for (int t = 0; t < num_object_template; t++) {
            const object *kind = &object_template[t];
            bool any = false, all = true;
            for (int p = 0; p < OBJECT_RECIPE_SIZE; p++) {
                if (kind->recipe_template_index[p] > 99) continue;
                any = true;
                bool found = false;
                for (const auto &h : have)
                    found |= h.first == kind->recipe_template_index[p] &&
                             (kind->recipe_material[p] == 255 || kind->recipe_material[p] == h.second);
                all &= found;
            }
            if (!any || !all) continue;
            // The result takes the middle item's material.
            for (const auto &h : have)
                if (h.first == kind->recipe_template_index[4]) grew |= have.insert({t, h.second}).second;
            grew |= made.insert(t).second;
        }
    }
    for (const std::string &name : names) {
        object *kind = template_get_by_name(name.c_str());
        bool has_recipe = false;
        for (int p = 0; p < OBJECT_RECIPE_SIZE; p++) has_recipe |= kind->recipe_template_index[p] < 100;
        bool has_file = fopen(("OBJECT/" + name + "/RECIPE.TXT").c_str(), "rb") != nullptr;
        EXPECT_EQ(has_recipe, has_file) << name << ": a recipe file that names a missing kind is dropped";
        if (has_recipe) {
            EXPECT_TRUE(made.count(kind->template_index)) << name << " cannot be crafted";
        }
    }
    // Every starting kind but the material items can be crafted; those are dug.
    for (const auto &item : starting_inventory) {
        object *kind = template_get_by_name(item.first.c_str());
        if (kind->behave_like_debris) continue;
        EXPECT_TRUE(made.count(kind->template_index)) << item.first << " has no recipe";
    }
    // The right-clicked middle item fills position 4; a material item there would be converted
    // instead. And no pattern may hide inside another, or load order would pick the smaller one.
    for (int a = 0; a < num_object_template; a++) {
        const object *ka = &object_template[a];
        if (ka->recipe_template_index[4] > 99) continue;
        EXPECT_NE(ka->recipe_template_index[4], debris) << ka->name;
        EXPECT_NE(ka->recipe_template_index[4], block) << ka->name;
        for (int b = 0; b < num_object_template; b++) {
            const object *kb = &object_template[b];
            if (a == b || kb->recipe_template_index[4] > 99) continue;
            bool inside = true;
            for (int p = 0; p < OBJECT_RECIPE_SIZE; p++) {
                if (ka->recipe_template_index[p] > 99) continue;
                inside &= kb->recipe_template_index[p] == ka->recipe_template_index[p] &&
                          (ka->recipe_material[p] == 255 || ka->recipe_material[p] == kb->recipe_material[p]);
            }
            EXPECT_FALSE(inside) << ka->name << "'s pattern lies inside " << kb->name << "'s";
        }
    }
}

TEST(AssetgenObjects, APickLaidOutOnTheBoardIsCraftedInTheMiddleBarsMetal) {
    ScratchDir scratch;
    ObjectWorld world;
    generate_and_load();
    make_ground_chunk(25, 25);
    object *player = object_spawn(template_get_by_name("PLAYER"), nullptr, 0, 1610.0f, 1610.0f, 12.0f);
    ASSERT_NE(player, nullptr);
    // A T of bars over a board, laid out as the README shows it: y grows down the board.
    struct placed {
        const char *kind;
        float x, y;
        uint8_t material;
    } layout[] = {{"BAR", 0, 0, 3}, {"BAR", -22, 0, 1}, {"BAR", 22, 0, 1}, {"BOARD", 0, 22, 3}};
    object *mid = nullptr;
    for (const placed &p : layout) {
        object *o = object_spawn(template_get_by_name(p.kind), player, 0, 0, 0, 0);
        ASSERT_NE(o, nullptr);
        o->position.x = p.x;
        o->position.y = p.y;
        o->material = p.material;
        if (!mid) mid = o;
    }
    EXPECT_EQ(object_recipe_replace(player, mid, 30.0f), 1);
    object *pick = nullptr;
    int bars = 0;
    for (object *o = player->inventory_pile; o; o = o->next) {
        if (!strcmp(o->name, "Pick")) pick = o;
        if (!strcmp(o->name, "Bar")) bars++;
    }
    ASSERT_NE(pick, nullptr);
    EXPECT_EQ(pick->material, 3);  // an iron pick: it digs stone
    EXPECT_EQ(bars, 0);
    object_destroy(player);
}

TEST(AssetgenObjects, GeneratedFilesAreTheSameBytesEveryRun) {
    ScratchDir scratch;
    mkdir("a", 0755);
    mkdir("b", 0755);
    ASSERT_EQ(assetgen_make_objects("a"), 1);
    ASSERT_EQ(assetgen_make_objects("b"), 1);
    int files = 0;
    for (const std::string &name : generated_kinds()) {
        for (const char *file : {"MODEL.IQE", "TEXTURE0.TGA", "ICON.TGA", "TEMPLATE.TXT", "RECIPE.TXT"}) {
            std::string a = "a/OBJECT/" + name + "/" + file, b = "b/OBJECT/" + name + "/" + file;
            FILE *fa = fopen(a.c_str(), "rb");
            if (!fa) continue;
            fclose(fa);
            EXPECT_EQ(read_text_file(a), read_text_file(b)) << a;
            files++;
        }
    }
    EXPECT_GT(files, 100);
}

// The faces the game draws are the model's outside: drawn on the inventory board, the depth at
// the middle of a block is its near face, not the far one seen from inside.
TEST(AssetgenObjects, ModelsShowTheirOutsideFacesOnTheBoardAndInTheWorld) {
    if (!test_window_display_available()) GTEST_SKIP() << "no X display (test.sh runs the tests under xvfb-run)";
    test_window_ignore_library_leaks();
    ScratchDir scratch;
    ObjectWorld world;
    generate_and_load();
    setenv("SDL_VIDEODRIVER", "x11", 0);
    screen_x = 160;
    screen_y = 120;
    fullscreen_mode = 0;
    ASSERT_EQ(display_setup(), 1) << SDL_GetError();
    object *block = template_get_by_name("BLOCK");
    float identity[4] = {0, 0, 0, 1};
    uint8_t cartoon = global_cartoon_mode;
    global_cartoon_mode = 0;  // the outline pass would draw the other faces
    // Board: x right, y down, nearer is larger z; the block (half size 0.3) spans z -30 .. 30 at
    // scale 10. Depth runs 0 .. 0.1 over z 1000 .. -1000: the near face reads 0.0485, the far 0.0515.
    display_window_mode();
    glClear(GL_DEPTH_BUFFER_BIT);
    vector centre = {150.0f * screen_x / screen_y, 150.0f, 0.0f};
    model_draw_args args;
    args.center = &centre;
    args.root_quaternion = identity;
    args.scale = 10.0f;
    model_draw(block->model_index, 0, &args);
    float depth = 1.0f;
    glReadPixels(screen_x / 2, screen_y / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.0485f, 0.0003f);
    display_end_window_mode();
    // World: 5 blocks in front of the eye; the near face is 4.7 away, the far one 5.3.
    vector eye = {0.0f, -5.0f, 0.0f}, target = {0.0f, 0.0f, 0.0f}, origin = {0, 0, 0};
    glClear(GL_DEPTH_BUFFER_BIT);
    display_look_at(&eye, &target);
    args.center = &origin;
    args.scale = 1.0f;
    model_draw(block->model_index, 0, &args);
    float world_depth = 1.0f;
    glReadPixels(screen_x / 2, screen_y / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &world_depth);
    global_cartoon_mode = cartoon;
    // Back from the window depth (range 0.1 .. 1) to the distance, with near 0.625 and far 10000.
    const double n = 0.625, f = 10000.0;
    double ndc = (world_depth - 0.1) / 0.9 * 2.0 - 1.0;
    double distance = 2.0 * f * n / ((f + n) - ndc * (f - n));
    EXPECT_NEAR(distance, 4.7, 0.05);
    // The window goes with its GL state, so window tests after this one in the same process
    // start from a fresh context.
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
