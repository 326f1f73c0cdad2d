// test_inventory.cpp — the inventory board: slots, stacking to the limit, leftovers, refusing
// self-containment; RECIPE.TXT; crafting by pattern, consuming components, and a product that
// cannot be made
#include <gtest/gtest.h>

#include <cmath>

#include "object_test_util.h"

// A holder standing in a resident chunk, with the kinds of these tests loaded.
class Board : public ::testing::Test {
  protected:
    void SetUp() override {
        write_kind("PLAYER", "FULLCOLLIDE\n");
        write_kind("BAR", "INVENTORYSTACKABLE 100\n");
        write_kind("BOARD", "INVENTORYSTACKABLE\n");
        write_kind("PICK", "FULLCOLLIDE\n");
        write_kind("BAG", "FULLCOLLIDE\n");
        make_ground_chunk(25, 25);
        load_kinds({"PLAYER", "BAR", "BOARD", "PICK", "BAG"});
        player = object_spawn(template_get_by_name("PLAYER"), nullptr, 300, 1600.5f, 1600.5f, 11.0f);
        ASSERT_NE(player, nullptr);
    }
    object *add(const char *kind, uint16_t stack, uint8_t material) {
        object_add_to_inventory(player, template_get_by_name(kind), 1, stack, material);
        return player->inventory_pile;
    }
    object *held(const char *kind, float x, float y, uint16_t stack = 1, uint8_t material = 3) {
        object *o = object_spawn(template_get_by_name(kind), player, 1, x, y, 0.0f);
        o->inventory_stack_count = stack;
        o->material = material;
        return o;
    }
    ObjectWorld world;
    object *player = nullptr;
};

TEST_F(Board, NewItemsTakeTheFirstFreeSlotRowByRowAndTheFirstItemStaysFirst) {
    add("PICK", 1, 1);
    object *first = player->inventory_pile;
    EXPECT_FLOAT_EQ(first->position.x, -80.0f);
    EXPECT_FLOAT_EQ(first->position.y, -80.0f);
    EXPECT_FLOAT_EQ(first->position.z, 0.0f);
    EXPECT_EQ(first->material, 1);
    // The standard inventory orientation, a unit quaternion turned about z and y.
    float f[4];
    object_inventory_orientation(f);
    for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(first->facing_xyzw[i], f[i]);
    EXPECT_NEAR(f[0] * f[0] + f[1] * f[1] + f[2] * f[2] + f[3] * f[3], 1.0f, 1e-5f);
    EXPECT_GT(std::fabs(f[1]), 0.1f);

    add("PICK", 1, 2);
    add("BAR", 10, 4);
    std::vector<object *> items = pile_objects(player->inventory_pile);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], first);
    // Odd columns sit half a step lower.
    EXPECT_FLOAT_EQ(items[1]->position.x, 0.0f);
    EXPECT_FLOAT_EQ(items[1]->position.y, -80.0f);
    EXPECT_FLOAT_EQ(items[2]->position.x, -40.0f);
    EXPECT_FLOAT_EQ(items[2]->position.y, -65.0f);
    EXPECT_EQ(items[2]->material, 2);

    // The 25 middle holes full, new items go on into the outer ring, its top row first.
    for (int i = 0; i < 22; i++) add("PICK", 1, 3);
    EXPECT_EQ(pile_length(player->inventory_pile), 25);
    add("PICK", 1, 3);
    object *extra = player->inventory_pile->next;
    EXPECT_EQ(player->inventory_pile, first);
    EXPECT_FLOAT_EQ(extra->position.x, -120.0f);
    EXPECT_FLOAT_EQ(extra->position.y, -105.0f);
    // A full board places new items anywhere on it.
    for (int i = 0; i < INVENTORY_BOARD_HOLES - 26; i++) add("PICK", 1, 3);
    EXPECT_EQ(pile_length(player->inventory_pile), INVENTORY_BOARD_HOLES);
    add("PICK", 1, 3);
    extra = player->inventory_pile->next;
    EXPECT_GE(extra->position.x, -100.0f);
    EXPECT_LE(extra->position.x, 100.0f);
    EXPECT_GE(extra->position.y, -100.0f);
    EXPECT_LE(extra->position.y, 100.0f);
}

TEST_F(Board, StacksFillToTheirLimitInPileOrderAndTheRestMakesAnAllowedStack) {
    object *b = held("BAR", -40.0f, -65.0f, 50, 4);
    object *a = held("BAR", -80.0f, -80.0f, 95, 4);
    object *other_metal = held("BAR", 0.0f, -80.0f, 1, 5);
    add("BAR", 10, 4);
    EXPECT_EQ(a->inventory_stack_count, 100);
    EXPECT_EQ(b->inventory_stack_count, 55);
    EXPECT_EQ(other_metal->inventory_stack_count, 1);
    EXPECT_EQ(pile_length(player->inventory_pile), 3);
    EXPECT_EQ(player->inventory_pile, other_metal);
    // Adding from a template never writes to it.
    EXPECT_EQ(template_get_by_name("BAR")->inventory_stack_count, 1);
    EXPECT_EQ(template_get_by_name("BAR")->material, 0);

    // 10,000 at a limit of 100 (after topping up the stack of 55) makes one new stack of 100.
    add("BAR", 10000, 4);
    EXPECT_EQ(b->inventory_stack_count, 100);
    EXPECT_EQ(pile_length(player->inventory_pile), 4);
    EXPECT_EQ(player->inventory_pile->next->inventory_stack_count, 100);
    // A stack read from a file above its limit neither takes nor gives.
    a->inventory_stack_count = 500;
    b->inventory_stack_count = 99;
    add("BAR", 1, 4);
    EXPECT_EQ(a->inventory_stack_count, 500);
    EXPECT_EQ(b->inventory_stack_count, 100);
    // A kind that does not stack is added once whatever the count.
    add("PICK", 7, 3);
    EXPECT_EQ(player->inventory_pile->next->inventory_stack_count, 1);
}

TEST_F(Board, WorldObjectsMergeWhollyOrMoveInAndNeverIntoThemselves) {
    held("BAR", -80.0f, -80.0f, 95, 4);
    object *loose = object_spawn(template_get_by_name("BAR"), nullptr, 1, 1601.0f, 1601.0f, 11.0f);
    loose->material = 4;
    loose->inventory_stack_count = 3;
    object_add_to_inventory(player, loose, 0, 0, 0);
    // Wholly merged: the loose bar is gone from the chunk.
    EXPECT_EQ(player->inventory_pile->inventory_stack_count, 98);
    object **pile = chunkmap_pile_pointer(1600, 1600);
    EXPECT_EQ(pile_length(*pile), 1);

    loose = object_spawn(template_get_by_name("BAR"), nullptr, 1, 1601.0f, 1601.0f, 11.0f);
    loose->material = 4;
    loose->inventory_stack_count = 5;
    object_add_to_inventory(player, loose, 0, 0, 0);
    EXPECT_EQ(player->inventory_pile->inventory_stack_count, 100);
    EXPECT_EQ(loose->current_pile, &player->inventory_pile);
    EXPECT_EQ(loose->inventory_stack_count, 3);
    EXPECT_EQ(pile_length(*pile), 1);

    // A bag cannot go into itself, nor into a bag it holds.
    object *bag = object_spawn(template_get_by_name("BAG"), nullptr, 1, 1601.0f, 1601.0f, 11.0f);
    object *inner = object_spawn(template_get_by_name("BAG"), bag, 1, 0.0f, 0.0f, 0.0f);
    object_add_to_inventory(bag, bag, 0, 0, 0);
    object_add_to_inventory(inner, bag, 0, 0, 0);
    EXPECT_EQ(bag->current_pile, pile);
    EXPECT_EQ(inner->current_pile, &bag->inventory_pile);
    EXPECT_EQ(inner->inventory_pile, nullptr);
    put_object_into_pile(bag, &bag->inventory_pile);
    put_object_into_pile(bag, &inner->inventory_pile);
    EXPECT_EQ(bag->current_pile, pile);
    EXPECT_TRUE(log_contains("Refused to put Bag into its own inventory"));
}

TEST(Recipe, FilesGiveTemplatesPositionsAndMaterialsOrNoRecipe) {
    ObjectWorld world;
    write_kind("BAR", "");
    write_kind("BOARD", "");
    write_kind("PICK", "", "NULL bar:3 NULL\nNULL board NULL\n NULL board:300 NULL board:-2");
    write_kind("AXE", "", "NULL BAR NULL NULL BOARD NULL NULL BOARD NULL GHOST");
    write_kind("SAW", "", "NULL BAR NULL NULL BOARD");
    write_kind("HOE", "", ":3 BAR NULL NULL BOARD NULL NULL BOARD NULL NULL");
    load_kinds({"BAR", "BOARD", "PICK", "AXE", "SAW", "HOE"});
    object *pick = template_get_by_name("PICK");
    const uint16_t bar = template_get_by_name("BAR")->template_index, board = template_get_by_name("BOARD")->template_index;
    const uint16_t expected_index[10] = {100, bar, 100, 100, board, 100, 100, board, 100, board};
    const uint8_t expected_material[10] = {255, 3, 255, 255, 255, 255, 255, 255, 255, 255};
    for (int i = 0; i < 10; i++) {
        EXPECT_EQ(pick->recipe_template_index[i], expected_index[i]) << i;
        EXPECT_EQ(pick->recipe_material[i], expected_material[i]) << i;
    }
    // An unknown kind, a short file, a word with no name: no recipe at all.
    for (const char *kind : {"AXE", "SAW", "HOE"}) {
        object *t = template_get_by_name(kind);
        for (int i = 0; i < 10; i++) {
            EXPECT_EQ(t->recipe_template_index[i], 100) << kind << i;
            EXPECT_EQ(t->recipe_material[i], 255) << kind << i;
        }
    }
    EXPECT_TRUE(log_contains("    Invalidating recipe due to problem"));
    EXPECT_TRUE(log_contains("        Overriding material requirement with 3"));
    // Kinds without a recipe file have none.
    EXPECT_EQ(template_get_by_name("BAR")->recipe_template_index[4], 100);
}

// Crafting on the board: an axe from a bar in the middle (any material, position 4), a board
// straight below (position 1) and a board on the lower-right diagonal (position 2).
class Crafting : public Board {
  protected:
    void SetUp() override {
        Board::SetUp();
        write_kind("AXE", "", "NULL BOARD BOARD NULL BAR NULL NULL NULL NULL NULL");
        write_kind("LONELY", "", "NULL NULL NULL NULL BAR NULL NULL NULL NULL NULL");
        template_load("LONELY");
        template_load("AXE");
        template_load_recipe_file("LONELY");
        template_load_recipe_file("AXE");
    }
};

TEST_F(Crafting, APatternAroundTheMiddleMakesTheProductAndUsesOneOfEachComponent) {
    object *mid = held("BAR", 0.0f, 0.0f, 1, 5);
    object *below = held("BOARD", 0.5f, -20.0f, 5, 3);   // almost straight below: position 1
    object *diagonal = held("BOARD", 14.0f, -14.0f, 1, 3);  // exactly diagonal: position 2
    object *far = held("BOARD", 40.0f, 40.0f, 3, 3);        // outside the radius
    EXPECT_EQ(object_recipe_replace(player, mid, 30.0f), 1);
    object *product = player->inventory_pile;
    EXPECT_STREQ(product->name, "Axe");
    EXPECT_FLOAT_EQ(product->position.x, 0.0f);
    EXPECT_FLOAT_EQ(product->position.y, 0.0f);
    EXPECT_EQ(product->material, 5);
    EXPECT_EQ(product->inventory_stack_count, 1);
    // The stackable board loses one; the single items are used up.
    EXPECT_EQ(below->inventory_stack_count, 4);
    EXPECT_EQ(far->inventory_stack_count, 3);
    std::vector<object *> items = pile_objects(player->inventory_pile);
    EXPECT_EQ(items.size(), 3u);
    for (object *o : items) {
        EXPECT_NE(o, mid);
        EXPECT_NE(o, diagonal);
    }
    EXPECT_TRUE(log_contains("      Match on component 1!"));
    EXPECT_TRUE(log_contains("      Match on component 2!"));
}

TEST_F(Crafting, WrongPlacesOrOnlyACentreItemMakeNothing) {
    object *mid = held("BAR", 0.0f, 0.0f, 1, 5);
    held("BOARD", 0.0f, 20.0f, 5, 3);  // above, not below
    held("BOARD", 14.0f, -14.0f, 1, 3);
    EXPECT_EQ(object_recipe_replace(player, mid, 30.0f), 0);
    EXPECT_EQ(pile_length(player->inventory_pile), 3);
    // LONELY needs only the centre item: fewer than two requirements never match.
    EXPECT_FALSE(log_contains("Seeing if we match recipe which has 1 components"));
    EXPECT_EQ(object_recipe_replace(nullptr, mid, 30.0f), 0);
    EXPECT_EQ(object_recipe_replace(player, nullptr, 30.0f), 0);
}

TEST_F(Crafting, AProductThatCannotBeMadeUsesNothingUp) {
    object *mid = held("BAR", 0.0f, 0.0f, 1, 5);
    object *below = held("BOARD", 0.0f, -20.0f, 5, 3);
    held("BOARD", 14.0f, -14.0f, 1, 3);
    // The holder stands where no chunk is resident.
    player->position = vector{100.0f, 100.0f, 10.0f};
    EXPECT_EQ(object_recipe_replace(player, mid, 30.0f), 0);
    EXPECT_EQ(pile_length(player->inventory_pile), 3);
    EXPECT_EQ(below->inventory_stack_count, 5);
    EXPECT_EQ(mid->current_pile, &player->inventory_pile);
}
