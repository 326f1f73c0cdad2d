// test_gather_craft.cpp — the first tools dig where the crosshair points and a swing at rock says
// so; new chunks grow trees that fall into logs and a sapling; T leaves the player free; the
// board's holes, settling and counts; and every crafting pattern of the README laid hole by hole
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "assetgen_objects.h"
#include "display/display.h"
#include "display/input.h"
#include "foundation/random.h"
#include "game/kestrova.h"
#include "game/kestrova_actions.h"
#include "game/kestrova_hud.h"
#include "game/kestrova_gather.h"
#include "object_test_util.h"
#include "objects/player_file.h"
#include "terrain/voxel.h"
#include "world/worldmap.h"

namespace {

// The first empty height of column (x, y).
int column_top(int x, int y) {
    chunkmap_get_xyz(x, y, 2048);
    return (int)global_voxel_topmost_z;
}

int material_at(int x, int y, int z) {
    voxel *v = chunkmap_get_xyz(x, y, z);
    return v ? voxel_material(v) : -1;
}

vector unit(float x, float y, float z) {
    float l = sqrtf(x * x + y * y + z * z);
    return vector{x / l, y / l, z / l};
}

int count_kind(object *pile, const char *kind) {
    object *t = template_get_by_name(kind);
    int n = 0;
    for (object *o = pile; o && t; o = o->next) n += o->template_index == t->template_index;
    return n;
}

object *find_kind(object *pile, const char *kind) {
    object *t = template_get_by_name(kind);
    for (object *o = pile; o && t; o = o->next)
        if (o->template_index == t->template_index) return o;
    return nullptr;
}

// The generated object kinds, loaded as start-up loads them, in a world of the seed.
class Gather : public ::testing::Test {
  protected:
    void SetUp() override {
        global_log_level = 2;
        ASSERT_EQ(assetgen_make_objects("."), 1);
        std::vector<std::string> names;
        assetgen_kind kind;
        for (int i = 0; i < assetgen_kind_count(); i++) {
            assetgen_kind_build(i, &kind);
            names.push_back(kind.name);
            assetgen_kind_free(&kind);
        }
        load_kinds(names);
        random_setup();
        voxel_geometry_setup();
        gather_reset();
    }
    void world(int32_t seed) {
        remove(fix_path("WORLDS\\" WORLD_NAME "\\SEED.TXT"));
        worldmap_setup(seed, WORLD_NAME);
    }
    // The player standing on column (x, y), looking along fore.
    object *stand(int x, int y, vector fore) {
        local_player = object_spawn(template_get_by_name("PLAYER"), nullptr, 0, (float)x + 0.5f, (float)y + 0.5f,
                                    (float)column_top(x, y) + 0.9f);
        camera_fore_vector = fore;
        target_vector = local_player->position;
        return local_player;
    }
    object *tool(const char *kind, uint8_t metal) {
        object *o = object_spawn(template_get_by_name(kind), local_player, 0, 0, 0, 0);
        o->material = metal;
        return o;
    }
    // A column whose top blocks (and their neighbours along x) are all of the given family.
    bool find_column(bool stone, int *fx, int *fy, const std::vector<std::pair<int, int>> &used) {
        for (int y = 1603; y < 1660; y += 5)
            for (int x = 1603; x < 1656; x += 5) {
                bool near = false;
                for (auto u : used) near |= abs(u.first - x) < 5 && abs(u.second - y) < 5;
                if (near) continue;
                bool all = true;
                for (int xx = x; xx <= x + 3; xx++)
                    for (int z = column_top(xx, y) - 1; z > column_top(xx, y) - 5; z--) {
                        int m = material_at(xx, y, z);
                        all &= stone ? m == 3 : (m == 1 || m == 10 || m == 11);
                    }
                if (!all) continue;
                *fx = x;
                *fy = y;
                return true;
            }
        return false;
    }
    ObjectWorld objects;
};

}  // namespace

TEST_F(Gather, TheStartingToolsDigAHandfulWhereTheCrosshairMeetsTheGroundAndSayWhenTheyCannot) {
    world(1765200000);
    worldmap_generate_chunk(25, 25);
    std::vector<std::pair<int, int>> used;
    // The copper pick and the hammer, looking down at the feet and ahead at the ground.
    for (const char *kind : {"PICK", "HAMMER"}) {
        for (vector fore : {unit(0, 0, -1), unit(1, 0, -1), unit(0, 1, -0.6f)}) {
            int x, y;
            ASSERT_TRUE(find_column(false, &x, &y, used)) << "no dirt left to dig";
            used.push_back({x, y});
            stand(x, y, fore);
            object *item = tool(kind, strcmp(kind, "PICK") == 0 ? 1 : 3);
            int dirt_before = count_kind(local_player->inventory_pile, "DEBRIS");
            uint16_t dug = actions_dig(item);
            EXPECT_GE(dug, strcmp(kind, "PICK") == 0 ? 4 : 2) << kind << " looking " << fore.x << "," << fore.z;
            // What it dug is carried.
            EXPECT_GT(count_kind(local_player->inventory_pile, "DEBRIS"), dirt_before) << kind;
            object_destroy(local_player);
        }
    }
    // Straight up there is nothing in reach: nothing is dug, and the player is told.
    int x, y;
    ASSERT_TRUE(find_column(false, &x, &y, used));
    used.push_back({x, y});
    stand(x, y, unit(0, 0, 1));
    EXPECT_EQ(actions_dig(tool("PICK", 1)), 0);
    ASSERT_NE(gather_current_hint(), nullptr);
    EXPECT_NE(std::string(gather_current_hint()).find("Nothing within reach"), std::string::npos);
    object_destroy(local_player);

    // Stone: the copper pick only chinks and says what would do; an iron heavy pick digs it.
    ASSERT_TRUE(find_column(true, &x, &y, used));
    stand(x, y, unit(0, 0, -1));
    int top = column_top(x, y);
    int sparks = pile_length(*chunkmap_pile_pointer(x, y));
    EXPECT_EQ(actions_dig(tool("PICK", 1)), 0);
    EXPECT_EQ(global_hit_something_hard, 1);
    ASSERT_NE(gather_current_hint(), nullptr);
    EXPECT_NE(std::string(gather_current_hint()).find("needs iron"), std::string::npos) << gather_current_hint();
    EXPECT_GT(pile_length(*chunkmap_pile_pointer(x, y)), sparks);
    EXPECT_EQ(column_top(x, y), top);
    EXPECT_GT(actions_dig(tool("HEAVY-PICK", 3)), 4);
    EXPECT_LT(column_top(x, y), top);
    // The hint times out.
    global_world_frame += GATHER_HINT_STEPS + 1;
    EXPECT_EQ(gather_current_hint(), nullptr);
}

TEST_F(Gather, NewChunksGrowTreesOnTheirGroundThatAnAxeFellsIntoLogsAndASapling) {
    world(1765200000);
    // Without the hook the generator lays only seeds; with it the same chunks grow standing trees.
    worldmap_generate_chunk(25, 25);
    EXPECT_EQ(count_kind(chunk_map[25][25]->local_object_pile, "TREE"), 0);
    chunk_destroy(chunk_map[25][25]);
    chunk_map[25][25] = nullptr;
    worldmap_tree_hook = gather_grow_tree;
    int trees = 0;
    object *tree = nullptr;
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++) {
            worldmap_generate_chunk(cx, cy);
            for (object *o = chunk_map[cx][cy]->local_object_pile; o; o = o->next) {
                if (!o->behave_like_tree) continue;
                trees++;
                // Standing on its own ground, its foot one size below its centre.
                float ground = maplayer_height(maplayer_total, o->position.x, o->position.y);
                EXPECT_NEAR(o->position.z - o->size, ground, 0.01f);
                EXPECT_EQ(o->hits, 3.0f);
                if (!tree) tree = o;
            }
        }
    EXPECT_GE(trees, 5) << "the start of the island has woods to walk to";
    ASSERT_NE(tree, nullptr);

    // Three blows of the axe: a log each, the last also a sapling; a pick's blow only chips it.
    int x = (int)tree->position.x, y = (int)tree->position.y;
    object **pile = chunkmap_pile_pointer(x, y);
    vector hit = {tree->position.x, tree->position.y, tree->position.z};
    actions_hit_objects(4.0f, &hit);
    EXPECT_EQ(tree->hits, 3.0f);
    EXPECT_EQ(count_kind(*pile, "LOG"), 0);
    for (int blow = 1; blow <= 3; blow++) {
        actions_hit_objects(12.0f, &hit);
        EXPECT_EQ(tree->hits, 3.0f - (float)blow);
        EXPECT_EQ(count_kind(*pile, "LOG"), blow);
        EXPECT_EQ(count_kind(*pile, "SAPLING"), blow == 3 ? 1 : 0);
    }
    // A felled tree takes no more blows.
    actions_hit_objects(12.0f, &hit);
    EXPECT_EQ(count_kind(*pile, "LOG"), 3);
}

TEST_F(Gather, TreesOfANewChunkAreSavedAtRestSoPlayNeverMovesThem) {
    world(1765200000);
    worldmap_tree_hook = gather_grow_tree;
    worldmap_generated_hook = gather_settle_trees;
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++) worldmap_generate_chunk(cx, cy);
    // The ground as the chunk files read it back.
    for (int c = 0; c < 9; c++)
        for (int x = 0; x < 64; x++)
            for (int y = 0; y < 64; y++)
                for (voxel *v = chunk_map[24 + c % 3][24 + c / 3]->pillar[x][y]; v; v = v->next) voxel_round_trip_normal(v);
    int trees = 0;
    for (int c = 0; c < 9; c++)
    for (object *o = chunk_map[24 + c % 3][24 + c / 3]->local_object_pile; o; o = o->next) {
        if (!o->behave_like_tree) continue;
        trees++;
        const vector grown = o->position;
        const uint8_t light = o->light;
        EXPECT_EQ(object_settle(o, 4), 1) << "grown at rest";
        // Near its ground, not dropped from above or sunk into it.
        float ground = maplayer_height(maplayer_total, grown.x, grown.y);
        EXPECT_NEAR(grown.z - o->size, ground, 0.2f);
        // Steps of play, and steps after reading it back (the file keeps no velocity), leave it
        // on the very same bits.
        for (int reload = 0; reload < 2; reload++) {
            o->velocity = vector{0.0f, 0.0f, 0.0f};
            for (int step = 0; step < 40; step++) ASSERT_EQ(object_update(o), 1);
            EXPECT_EQ(memcmp(&o->position, &grown, sizeof(vector)), 0)
                << "moved by " << o->position.z - grown.z << " in step set " << reload;
            EXPECT_EQ(o->light, light);
        }
    }
    EXPECT_GE(trees, 2);
}

TEST_F(Gather, TheTreeKeyNeverShutsThePlayerInBarkOrLeaves) {
    make_ground_chunk(25, 25);
    for (int attempt = 0; attempt < 6; attempt++) {
        random_seed((uint32_t)(100 + attempt));
        stand(1610 + (attempt % 4) * 12, 1610 + (attempt / 4) * 14, unit(cosf((float)attempt), sinf((float)attempt), 0));
        actions_tree_key();
        // Nothing of the tree is left in the body or the head room above it.
        const vector p = local_player->position;
        for (int z = (int)floorf(p.z - 0.9f); z <= (int)floorf(p.z + 2.0f); z++)
            for (int yy = (int)floorf(p.y - 1.9f); yy <= (int)floorf(p.y + 1.9f); yy++)
                for (int xx = (int)floorf(p.x - 1.9f); xx <= (int)floorf(p.x + 1.9f); xx++) {
                    float dx = (float)xx + 0.5f - p.x, dy = (float)yy + 0.5f - p.y;
                    if (dx * dx + dy * dy > 1.9f * 1.9f) continue;
                    int m = material_at(xx, yy, z);
                    EXPECT_TRUE(m != 31 && m != 32) << "attempt " << attempt << " at " << xx << "," << yy << "," << z;
                }
        // The ground under the feet stays.
        EXPECT_EQ(material_at((int)p.x, (int)p.y, 9), 3);
        object_destroy(local_player);
    }
}

TEST_F(Gather, DroppedItemsSettleIntoHolesOrJoinTheirStackAndEChoosesThrowables) {
    make_ground_chunk(25, 25);
    stand(1600, 1600, unit(1, 0, 0));
    object *pile_owner = local_player;
    // The holes: 7 x 6, the 25 middle ones where a first board had them.
    float hx, hy;
    inventory_hole_centre(1, 1, &hx, &hy);
    EXPECT_FLOAT_EQ(hx, -80.0f);
    EXPECT_FLOAT_EQ(hy, -80.0f);
    inventory_hole_centre(2, 1, &hx, &hy);
    EXPECT_FLOAT_EQ(hy, -65.0f);
    inventory_hole_centre(6, 5, &hx, &hy);
    EXPECT_FLOAT_EQ(hx, 120.0f);
    EXPECT_FLOAT_EQ(hy, 95.0f);
    int c, r;
    EXPECT_TRUE(inventory_hole_of(hx, hy, &c, &r));
    EXPECT_EQ(c, 6);
    EXPECT_EQ(r, 5);
    EXPECT_FALSE(inventory_hole_of(NAN, 0.0f, &c, &r));
    EXPECT_FALSE(inventory_hole_of(200.0f, 0.0f, &c, &r));

    object *bars = tool("BAR", 3);
    bars->inventory_stack_count = 5;
    bars->position = {0.0f, 0.0f, 0.0f};
    object *copper = tool("BAR", 1);
    copper->position = {3.0f, 4.0f, 0.0f};
    // Dropped on a stack of another metal it moves to the nearest free hole, never on top.
    EXPECT_EQ(object_inventory_settle(pile_owner, copper), copper);
    EXPECT_TRUE(inventory_hole_of(copper->position.x, copper->position.y, &c, &r));
    EXPECT_NE(inventory_hole_occupant(pile_owner, c, r, copper), bars);
    EXPECT_LT(fabsf(copper->position.x) + fabsf(copper->position.y), 60.0f);
    // Dropped on its own kind and metal it joins the stack, which goes into the hand.
    object *iron = tool("BAR", 3);
    iron->inventory_stack_count = 2;
    iron->position = {-6.0f, 5.0f, 0.0f};
    EXPECT_EQ(object_inventory_settle(pile_owner, iron), bars);
    EXPECT_EQ(bars->inventory_stack_count, 7);
    EXPECT_EQ(local_player->inventory_pile, bars);
    EXPECT_EQ(count_kind(local_player->inventory_pile, "BAR"), 2);

    // E: the tools, then the things thrown (torch, bomb); Q never picks those.
    object *torch = tool("TORCH", 3);
    torch->inventory_stack_count = 4;
    tool("PICK", 1);
    object *bomb = tool("BOMB", 3);
    bomb->inventory_stack_count = 3;
    EXPECT_EQ(actions_is_throwable(torch), 1);
    EXPECT_EQ(actions_is_throwable(bars), 0);
    std::vector<const object *> chosen;
    for (int press = 0; press < 3; press++) {
        actions_choose_item(0, 1);
        chosen.push_back(local_player->inventory_pile);
    }
    EXPECT_NE(std::find(chosen.begin(), chosen.end(), torch), chosen.end());
    EXPECT_NE(std::find(chosen.begin(), chosen.end(), bomb), chosen.end());
    EXPECT_NE(find_kind(local_player->inventory_pile, "PICK"), nullptr);
}

// Every row of the README's crafting table, laid out on the board hole by hole around the
// middle hole and crafted with the right button, makes what the row says.
TEST_F(Gather, EveryReadmeCraftingPatternLaidHoleByHoleCraftsItsItem) {
    make_ground_chunk(25, 25);
    const char *source = getenv("KESTROVA_SOURCE_DIR");
    if (!source) source = KESTROVA_SOURCE_DIR_DEFAULT;
    std::vector<std::string> lines = read_lines(std::string(source) + "/README.md");
    auto kind_of = [](std::string word, uint8_t *material) -> std::string {
        *material = 3;
        if (word == "Clay") {
            *material = 23;
            return "DEBRIS";
        }
        if (word == "Dirt") {
            *material = 1;
            return "DEBRIS";
        }
        for (char &ch : word) ch = (char)toupper((unsigned char)ch);
        return word;
    };
    int rows = 0;
    for (const std::string &line : lines) {
        // | make | `row` / `row` / `row` | notes |
        if (line.rfind("| ", 0) != 0 || line.find("` / `") == std::string::npos) continue;
        std::string make = line.substr(2, line.find(" |", 2) - 2);
        std::vector<std::vector<std::string>> grid;
        size_t at = line.find('`');
        for (int row = 0; row < 3; row++) {
            size_t end = line.find('`', at + 1);
            ASSERT_NE(end, std::string::npos) << line;
            std::string text = line.substr(at + 1, end - at - 1);
            std::vector<std::string> words;
            size_t start = 0;
            while (start < text.size()) {
                size_t space = text.find(' ', start);
                if (space == std::string::npos) space = text.size();
                if (space > start) words.push_back(text.substr(start, space - start));
                start = space + 1;
            }
            ASSERT_EQ(words.size(), 3u) << make << ": " << text;
            grid.push_back(words);
            at = line.find('`', end + 1);
        }
        rows++;
        SCOPED_TRACE(make);
        stand(1600, 1600, unit(1, 0, 0));
        object *mid = nullptr;
        for (int row = 0; row < 3; row++)
            for (int col = 0; col < 3; col++) {
                std::string word = grid[row][col];
                if (word == "·") continue;
                uint16_t stack = 1;
                bool middle = word[0] == '[';
                if (middle) {
                    size_t close = word.find(']');
                    stack = word.find('+', close) != std::string::npos ? 2 : 1;
                    word = word.substr(1, close - 1);
                }
                uint8_t material;
                std::string kind = kind_of(word, &material);
                object *o = tool(kind.c_str(), material);
                ASSERT_NE(o, nullptr) << word;
                o->inventory_stack_count = stack;
                inventory_hole_centre(2 + col, 2 + row, &o->position.x, &o->position.y);
                if (middle) mid = o;
            }
        ASSERT_NE(mid, nullptr);
        // Hold the middle item (pressed a little off its centre) and click the right button.
        put_object_into_pile(mid, &local_player->inventory_pile);
        mouse_pressed[0] = mouse_down[0] = 1;
        hud_inventory_mouse(200.0f + mid->position.x + 6.0f, 150.0f + mid->position.y - 5.0f, 200.0f, 150.0f);
        mouse_pressed[0] = 0;
        ASSERT_EQ(global_inventory_grab, mid);
        mouse_pressed[2] = 1;
        hud_inventory_mouse(200.0f + mid->position.x, 150.0f + mid->position.y, 200.0f, 150.0f);
        mouse_pressed[2] = 0;
        mouse_down[0] = 0;
        uint8_t product_material;
        std::string product = kind_of(make, &product_material);
        EXPECT_NE(find_kind(local_player->inventory_pile, product.c_str()), nullptr) << "nothing crafted";
        // Every part was used: the product alone is left.
        EXPECT_EQ(pile_length(local_player->inventory_pile), 1);
        global_inventory_grab = nullptr;
        object_destroy(local_player);
        local_player = nullptr;
    }
    EXPECT_EQ(rows, 19);
}

// Each digging tool's pit, dug by one swing or three from one spot, looking down as far as the
// mouse lets (57 degrees) or at 45 degrees, is left from its bottom by walking back at its wall
// and jumping: no dig reaches deeper under the feet than the jump climbs, and the jump climbs
// straight up to the ledge ahead, then on.
TEST_F(Gather, APitDugFromOneSpotIsClimbedOutOfByWalkingAtItsWallAndJumping) {
    world(1765200000);
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++) worldmap_generate_chunk(cx, cy);
    auto step = [](int n) {
        for (int i = 0; i < n; i++) {
            target_vector = local_player->position;
            main_loop_player_step(1);
            object_update_all(target_vector.x, target_vector.y, 9);
        }
    };
    std::vector<std::pair<int, int>> used;
    for (const char *kind : {"PICK", "HAMMER", "HEAVY-PICK"})
        for (int swings : {1, 3}) {
            int x, y;
            ASSERT_TRUE(find_column(false, &x, &y, used)) << "no dirt left to dig";
            used.push_back({x, y});
            object *p = stand(x, y, swings == 1 ? unit(1, 0, -1) : unit(1, 0, -1.54f));
            step(100);
            const float ground = p->position.z;
            object *item = tool(kind, strcmp(kind, "PICK") == 0 ? 1 : 3);
            vector deepest = p->position;
            for (int s = 0; s < swings; s++) {
                vector center;
                if (!gather_dig_point(&p->position, &camera_fore_vector, item->dig_radius, &center)) break;
                actions_dig(item);
                if (center.z < deepest.z) deepest = center;
            }
            // From the pit's bottom, walking back the way the digs came.
            p->position = {deepest.x, deepest.y,
                           player_free_ground_z(deepest.x, deepest.y, deepest.z - item->dig_radius - 1.0f, p->size)};
            p->velocity = {0.0f, 0.0f, 0.0f};
            step(100);
            const float bottom = p->position.z;
            EXPECT_LT(bottom, ground - 1.0f) << kind << " " << swings;
            EXPECT_GT(bottom, ground - GATHER_DEEPEST - 0.5f) << kind << " " << swings;
            camera_fore_vector = unit(-1, 0, 0);
            key_down[KEY_W] = 1;
            uint8_t out = 0;
            for (int jump = 0; jump < 3 && !out; jump++) {
                key_pressed[KEY_SPACE] = 1;
                for (int i = 0; i < 150 && !out; i++) {
                    step(1);
                    out = p->position.z > ground - 0.5f;
                }
            }
            key_down[KEY_W] = 0;
            key_pressed[KEY_SPACE] = 0;
            EXPECT_TRUE(out) << kind << " " << swings << ": from " << bottom - ground << " below the ground, stuck "
                             << p->position.x - deepest.x << " on at " << p->position.z - ground;
            object_destroy(p);
            local_player = nullptr;
        }
}
