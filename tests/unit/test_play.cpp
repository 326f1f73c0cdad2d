// test_play.cpp — the player's actions without a window: the swing and its strike, digging at the
// reach into the inventory, trees and zombis struck, blocks, walls and the build plane, throwing,
// Q and E, respawning, the inventory board driven by a synthetic mouse, night spawning and the
// tree plopper
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/input.h"
#include "edit_test_util.h"
#include "game/kestrova.h"
#include "game/kestrova_actions.h"
#include "game/kestrova_daynight.h"
#include "game/kestrova_hud.h"
#include "game/kestrova_survival.h"
#include "game/kestrova_tree.h"
#include "object_test_util.h"
#include "world/worldmap.h"

// The top of a column (0 when it is not resident).
static int column_top(int x, int y) {
    if (!chunkmap_get_xyz(x, y, 2048) && !global_voxel_topmost) return 0;
    return global_voxel_topmost_z;
}

static std::string inhand_lines(int frames) {
    std::string text;
    for (int i = 0; i < frames; i++) text += "INHAND 0 0 0 0.5 0.2 -0.2\n";
    return text;
}

// A player standing on flat stone (height 10) in chunk (25, 25), the camera looking straight down.
class Play : public ::testing::Test {
  protected:
    void SetUp() override {
        write_kind("PLAYER", "FULLCOLLIDE\nSIZE 2\nHITS 5\n");
        write_kind("DEBRIS", "BEHAVELIKEDEBRIS\nINVENTORYSTACKABLE 1000\n");
        write_kind("BLOCK", "BEHAVELIKEDEBRIS\nINVENTORYSTACKABLE 1000\n");
        write_kind("STONE", "INVENTORYSTACKABLE 1000\nTERRAINCOLLECT 3\n");
        write_kind("PICK", inhand_lines(34) + "DIGRADIUS 1.5\nATTACKDAMAGE 20\n");
        write_kind("SWORD", inhand_lines(20) + "ATTACKDAMAGE 8\n");
        write_kind("TORCH", "INVENTORYSTACKABLE 100\nWEIGHT 1\n");
        write_kind("TREE", "BEHAVELIKETREE\nHITS 3\n");
        write_kind("ZOMBI", "BEHAVELIKEZOMBI\nHITS 30\nSIZE 0.9\n");
        write_kind("LOG", "INVENTORYSTACKABLE 10\n");
        write_kind("STICK", "FULLCOLLIDE\n");
        write_kind("SPEAR", "FULLCOLLIDE\n", "NULL NULL NULL STICK STICK NULL STICK NULL NULL NULL");
        make_flat_chunk(25, 25, 10, 3, 3);
        make_flat_chunk(24, 25, 10, 3, 3);
        make_flat_chunk(24, 24, 10, 3, 3);
        make_flat_chunk(25, 24, 10, 3, 3);
        load_kinds({"PLAYER", "DEBRIS", "BLOCK", "STONE", "PICK", "SWORD", "TORCH", "TREE", "ZOMBI", "LOG", "STICK",
                    "SPEAR"});
        local_player = object_spawn(template_get_by_name("PLAYER"), nullptr, 300, 1600.5f, 1600.5f, 11.0f);
        ASSERT_NE(local_player, nullptr);
        reset_shell();
        look(0.0f, 0.0f, -1.0f);
        camera_rotation_xy[0] = 0;
        object_destroyed_hook = hud_object_destroyed;
        global_ocean_level = 0.0f;
        random_setup();
        random_seed(7);
    }
    void TearDown() override { reset_shell(); }
    // The game shell and the modules it drives as at start (the world fixture does the rest).
    static void reset_shell() {
        input_reset();
        display_camera_reset();
        settings_reset();
        timer_reset();
        voxel_light_reset();
        actions_reset();
        main_loop_reset();
        hud_reset();
        daynight_reset();
    }
    // The camera looks along fore from the player's eyes; side and up complete the frame.
    void look(float fx, float fy, float fz) {
        camera_fore_vector = {fx, fy, fz};
        if (fz < -0.5f) {
            camera_side_vector = {1.0f, 0.0f, 0.0f};
            camera_up_vector = {0.0f, 1.0f, 0.0f};
        } else {
            camera_side_vector = {fy, -fx, 0.0f};
            camera_up_vector = {0.0f, 0.0f, 1.0f};
        }
        if (local_player) {
            target_vector = local_player->position;
            target_vector.z += 0.5f * local_player->size;
        } else {
            target_vector = {1600.5f, 1600.5f, 12.0f};
        }
    }
    object *give(const char *kind, uint16_t stack, uint8_t material) {
        std::vector<object *> before;
        for (object *o = local_player->inventory_pile; o; o = o->next) before.push_back(o);
        object_add_to_inventory(local_player, template_get_by_name(kind), 1, stack, material);
        // The new object, or the stack it joined.
        object *added = nullptr;
        for (object *o = local_player->inventory_pile; o; o = o->next) {
            if (o->template_index != template_get_by_name(kind)->template_index) continue;
            if (std::find(before.begin(), before.end(), o) == before.end()) added = o;
            if (!added) added = o;
        }
        if (added) put_object_into_pile(added, &local_player->inventory_pile);
        return added;
    }
    static int count_in_pile(object *pile, const char *kind) {
        int n = 0;
        for (object *o = pile; o; o = o->next) n += o->template_index == template_get_by_name(kind)->template_index;
        return n;
    }
    static object *find_in_pile(object *pile, const char *kind) {
        for (object *o = pile; o; o = o->next)
            if (o->template_index == template_get_by_name(kind)->template_index) return o;
        return nullptr;
    }
    ObjectWorld world;
};

TEST_F(Play, TheSwingStrikesOnItsMiddleFrameDiggingAtTheReachIntoTheInventory) {
    give("PICK", 1, 3);
    look(0.0f, 0.0f, -1.0f);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(0);
    actions_left_button();
    EXPECT_EQ(local_swing_count, 1u);
    ASSERT_EQ(column_top(1600, 1600), 10);
    // The crosshair points straight down: the dig goes into the ground under the player.
    for (int step = 1; step < 16; step++) actions_swing_step();
    EXPECT_EQ(find_in_pile(local_player->inventory_pile, "STONE"), nullptr);
    actions_swing_step();
    EXPECT_EQ(local_swing_count, 17u);
    object *stone = find_in_pile(local_player->inventory_pile, "STONE");
    ASSERT_NE(stone, nullptr);
    EXPECT_GT(stone->inventory_stack_count, 1);
    int after = stone->inventory_stack_count;
    // No second strike before the swing ends; then it returns to rest.
    while (local_swing_count) actions_swing_step();
    EXPECT_EQ(stone->inventory_stack_count, after);

    // Coal, copper and tin picks (metal 0..2) dig at 3.5 and cannot break stone (hardness 9).
    local_player->inventory_pile->material = 2;
    local_swing_count = 1;
    local_player->position.x = 1580.5f;
    look(0.0f, 0.0f, -1.0f);
    while (local_swing_count) actions_swing_step();
    EXPECT_EQ(column_top(1580, 1600), 10);
}

TEST_F(Play, WadingInShallowWaterTheToolDigsButAfloatOrWithEyesUnderItSwims) {
    give("PICK", 1, 3);
    // Water to the chest: the body's middle (z 11) is under the surface, the eyes (z 12) above it,
    // and the feet stand on the ground (top 10).
    global_ocean_level = 11.8f;
    ASSERT_EQ(object_point_in_water(local_player->position.x, local_player->position.y, local_player->position.z), 1);
    EXPECT_EQ(object_local_player_swimming(), 0) << "standing in shallow water is wading";
    // The main loop hands the left button on whenever the player is not swimming; the pick digs
    // where the crosshair meets the ground, here straight down.
    look(0.0f, 0.0f, -1.0f);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(0);
    actions_left_button();
    while (local_swing_count) actions_swing_step();
    EXPECT_NE(find_in_pile(local_player->inventory_pile, "STONE"), nullptr) << "the pick dug while wading";

    global_ocean_level = 12.5f;
    EXPECT_EQ(object_local_player_swimming(), 1) << "the eyes are under water";
    global_ocean_level = 14.5f;
    local_player->position = vector{1590.5f, 1600.5f, 14.0f};
    EXPECT_EQ(object_local_player_swimming(), 1) << "afloat above the bottom";
}

TEST_F(Play, StrikesHurtTreesAndZombisOnlyInThePileUnderTheHitPoint) {
    look(1.0f, 0.0f, 0.0f);
    vector hit = {target_vector.x + 2.0f, target_vector.y, target_vector.z};
    object *tree = object_spawn(template_get_by_name("TREE"), nullptr, 300, hit.x + 1.0f, hit.y, 10.0f);
    ASSERT_NE(tree, nullptr);
    actions_hit_objects(10.0f, &hit);
    EXPECT_FLOAT_EQ(tree->hits, 3.0f);
    EXPECT_EQ(count_in_pile(chunk_map[25][25]->local_object_pile, "LOG"), 0);
    actions_hit_objects(20.0f, &hit);
    EXPECT_FLOAT_EQ(tree->hits, 2.0f);
    EXPECT_EQ(tree->delay, 1);
    object *log = find_in_pile(chunk_map[25][25]->local_object_pile, "LOG");
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->no_collide_parent, tree);
    EXPECT_NEAR(log->velocity.z, 0.1f, 1e-6);

    // A zombi with no model cannot have a joint array: it dies without one.
    object *zombi = object_spawn(template_get_by_name("ZOMBI"), nullptr, 1, hit.x, hit.y + 1.0f, hit.z);
    ASSERT_NE(zombi, nullptr);
    actions_hit_objects(20.0f, &hit);
    EXPECT_FLOAT_EQ(zombi->hits, 10.0f);
    EXPECT_GT(zombi->vdamp.x, 0.5f);
    actions_hit_objects(20.0f, &hit);
    EXPECT_FLOAT_EQ(zombi->hits, -1.0f);
    EXPECT_EQ(zombi->joints, nullptr);
    EXPECT_EQ(zombi->delay, 120);

    // Within reach but in the neighbouring chunk's pile: untouched.
    object *far_tree = object_spawn(template_get_by_name("TREE"), nullptr, 300, 1599.5f, hit.y, 10.0f);
    ASSERT_NE(far_tree, nullptr);
    vector edge = {1600.2f, hit.y, hit.z};
    actions_hit_objects(20.0f, &edge);
    EXPECT_FLOAT_EQ(far_tree->hits, 3.0f);
}

TEST_F(Play, BlocksAndWallsAreBuiltOfTheItemsMaterialAndAWallCostsOneBlock) {
    // Aimed far enough ahead that the blocks keep clear of the (large) body.
    look(0.9f, 0.0f, -0.436f);
    object *block = give("BLOCK", 9, 5);
    actions_plop_position(1, 0);
    ASSERT_EQ(plop_valid, 1);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(0);
    // Nine cannot build.
    vector at = plop;
    actions_left_button();
    EXPECT_EQ(block->inventory_stack_count, 9);
    EXPECT_EQ(material_at((int)at.x, (int)at.y, (int)at.z + 1), 0);

    block->inventory_stack_count = 20;
    block->material = 6;
    actions_left_button();
    uint16_t cost = (uint16_t)(20 - block->inventory_stack_count);
    EXPECT_GT(cost, 0);
    int built = 0;
    for (int dx = -1; dx <= 1; dx++)
        for (int dy = -1; dy <= 1; dy++)
            for (int dz = -1; dz <= 2; dz++) built += material_at((int)at.x + dx, (int)at.y + dy, (int)at.z + dz) == 6;
    EXPECT_GT(built, 0);

    // A wall of six with left shift costs what the bottom block cost.
    block->inventory_stack_count = 100;
    local_player->position.x += 5.0f;
    look(0.9f, 0.0f, -0.436f);
    actions_plop_position(1, 0);
    ASSERT_EQ(plop_valid, 1);
    vector wall = plop;
    key_down[KEY_LEFT_SHIFT] = 1;
    actions_left_button();
    EXPECT_EQ(100 - block->inventory_stack_count, cost);
    chunkmap_get_xyz((int)wall.x, (int)wall.y, 2048);
    EXPECT_GE((int)global_voxel_topmost_z, (int)wall.z + 5);

    // The last block is never used up.
    block->inventory_stack_count = 10;
    key_down[KEY_LEFT_SHIFT] = 0;
    local_player->position.y += 5.0f;
    look(0.9f, 0.0f, -0.436f);
    actions_plop_position(1, 0);
    actions_left_button();
    EXPECT_GE(block->inventory_stack_count, 1);
}

TEST_F(Play, MaterialIsSprayedOnTheBuildPlaneAndThePlacerStarts) {
    // The sphere's centre off the block centres, where a small sphere always lays something.
    local_player->position = {1600.2f, 1601.0f, 11.0f};
    look(1.0f, 0.0f, 0.0f);
    object *debris = give("DEBRIS", 500, 1);
    int solid = solid_blocks(1600, 1612, 1595, 1606);
    mouse_down[2] = 1;
    actions_route_buttons(0);
    actions_build_plane(0);
    ASSERT_EQ(build_plane_active, 1);
    mouse_down[2] = 0;
    actions_route_buttons(0);
    actions_plop_position(1, 0);
    ASSERT_EQ(plop_valid, 1);
    EXPECT_NEAR(plop.x, target_vector.x + 5.0f, 0.6f);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(0);
    actions_left_button();
    EXPECT_EQ(placer_active, 1);
    EXPECT_NEAR(placer_front, 5.0f, 0.6f);
    EXPECT_LT(debris->inventory_stack_count, 500);
    EXPECT_EQ(solid_blocks(1600, 1612, 1595, 1606) - solid, 500 - debris->inventory_stack_count);
    // Spraying throws loose material while the placer is on.
    int before = pile_length(chunk_map[25][25]->local_object_pile);
    actions_plop_position(2, 0);
    EXPECT_EQ(pile_length(chunk_map[25][25]->local_object_pile), before + 8);
    // The plane goes when the player is more than 40 columns away.
    local_player->position.x -= 50.0f;
    look(1.0f, 0.0f, 0.0f);
    actions_build_plane(0);
    EXPECT_EQ(build_plane_active, 0);
}

TEST_F(Play, ThrowingOneOfAStackKeepsItsMaterialAndTheLastOneGoesItself) {
    look(1.0f, 0.0f, 0.0f);
    object *torch = give("TORCH", 2, 7);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(0);
    actions_left_button();
    EXPECT_EQ(torch->inventory_stack_count, 1);
    object *thrown = chunk_map[25][25]->local_object_pile;
    ASSERT_NE(thrown, nullptr);
    EXPECT_STREQ(thrown->name, torch->name);
    EXPECT_EQ(thrown->inventory_stack_count, 1);
    EXPECT_EQ(thrown->material, 7);
    EXPECT_GT(thrown->velocity.x, 0.2f);
    EXPECT_EQ(thrown->no_collide_parent, local_player);
    actions_left_button();
    EXPECT_EQ(torch->current_pile, &chunk_map[25][25]->local_object_pile);
    EXPECT_NE(local_player->inventory_pile, torch);

    // The last one aimed at a chunk that is not resident stays in hand.
    object *other = give("TORCH", 1, 7);
    target_vector = {100.5f, 100.5f, 12.0f};
    actions_left_button();
    EXPECT_EQ(local_player->inventory_pile, other);
}

TEST_F(Play, QAndECycleThroughMaterialsAndSwingingTools) {
    object *pick = give("PICK", 1, 3);
    object *sword = give("SWORD", 1, 3);
    object *dirt = give("DEBRIS", 50, 1);
    object *block = give("BLOCK", 50, 5);
    give("TORCH", 3, 0);
    actions_choose_item(0, 1);
    object *first = local_player->inventory_pile;
    EXPECT_TRUE(first == pick || first == sword);
    actions_choose_item(0, 1);
    EXPECT_NE(local_player->inventory_pile, first);
    EXPECT_TRUE(local_player->inventory_pile == pick || local_player->inventory_pile == sword);
    actions_choose_item(1, 0);
    object *material = local_player->inventory_pile;
    EXPECT_TRUE(material == dirt || material == block);
    actions_choose_item(1, 0);
    EXPECT_NE(local_player->inventory_pile, material);
    // Not during a swing.
    object *held = local_player->inventory_pile;
    local_swing_count = 3;
    actions_choose_item(0, 1);
    EXPECT_EQ(local_player->inventory_pile, held);
}

TEST_F(Play, RPressedRespawnsAtOnceAndNoHitsLeftOnlyAfterTheMomentOfDeath) {
    local_player->hits = 0.0f;
    local_player_hit_timer = 3;
    actions_respawn_check(0);
    EXPECT_FLOAT_EQ(local_player->hits, 0.0f);
    EXPECT_EQ(survival_death_timer, SURVIVAL_DEATH_STEPS);
    for (int i = 0; i < SURVIVAL_DEATH_STEPS; i++) survival_step();
    EXPECT_FLOAT_EQ(local_player->hits, 5.0f);
    chunkmap_get_xyz((int)local_player->position.x, (int)local_player->position.y, 2048);
    EXPECT_NEAR(local_player->position.z, (float)global_voxel_topmost_z + 1.0f + local_player->size, 0.01f)
        << "it lands on the ground";
    local_player->position.z = 50.0f;
    actions_respawn_check(1);
    EXPECT_LT(local_player->position.z, 20.0f);
    EXPECT_EQ(local_player_grace_timer, SURVIVAL_GRACE_STEPS);
}

TEST_F(Play, ZAndSpacePressedWithoutAWorldStepAreKeptForTheNextStep) {
    key_pressed[KEY_Z] = 1;
    actions_keep_unstepped_presses(0);
    key_pressed[KEY_Z] = 0;  // the next read forgets it
    actions_keep_unstepped_presses(2);
    EXPECT_EQ(key_pressed[KEY_Z], 1);
    key_pressed[KEY_Z] = 0;
    actions_keep_unstepped_presses(1);
    EXPECT_EQ(key_pressed[KEY_Z], 0);
    key_pressed[KEY_SPACE] = 1;
    actions_keep_unstepped_presses(0);
    key_pressed[KEY_SPACE] = 0;
    actions_keep_unstepped_presses(0);
    actions_keep_unstepped_presses(1);
    EXPECT_EQ(key_pressed[KEY_SPACE], 1);
}

// The board: the backpack's centre at (200, 150); the mouse in virtual units.
class PlayBoard : public Play {
  protected:
    void press(float gx, float gy) {
        mouse_pressed[0] = mouse_down[0] = 1;
        hud_inventory_mouse(gx, gy, 200.0f, 150.0f);
        mouse_pressed[0] = 0;
    }
    void drag(float gx, float gy) { hud_inventory_mouse(gx, gy, 200.0f, 150.0f); }
    void right_click(float gx, float gy) {
        mouse_pressed[2] = 1;
        hud_inventory_mouse(gx, gy, 200.0f, 150.0f);
        mouse_pressed[2] = 0;
    }
    void release(float gx, float gy) {
        mouse_down[0] = 0;
        hud_inventory_mouse(gx, gy, 200.0f, 150.0f);
    }
    object *at(const char *kind, uint16_t stack, uint8_t material, float x, float y) {
        object *o = give(kind, stack, material);
        o->position.x = x;
        o->position.y = y;
        return o;
    }
};

TEST_F(PlayBoard, APressWithin17UnitsGrabsTheNearestToTheHeadAndDragsItDownToTheBoardsBottom) {
    object *torch = at("TORCH", 1, 0, 0.0f, 0.0f);
    object *pick = at("PICK", 1, 3, 5.0f, 0.0f);  // at the head, overlapping the torch
    press(205.0f + 18.0f, 150.0f);
    EXPECT_EQ(global_inventory_grab, nullptr);
    press(205.0f, 150.0f + 17.0f);
    EXPECT_EQ(global_inventory_grab, pick);
    release(205.0f, 167.0f);
    pick->position = {5.0f, 0.0f, 0.0f};
    press(202.0f, 150.0f);
    EXPECT_EQ(global_inventory_grab, pick);
    release(202.0f, 150.0f);
    put_object_into_pile(torch, &local_player->inventory_pile);
    press(200.0f, 150.0f);
    EXPECT_EQ(global_inventory_grab, torch);
    drag(210.0f, 400.0f);
    EXPECT_FLOAT_EQ(torch->position.y, INVENTORY_BOARD_EDGE_BOTTOM);
    EXPECT_EQ(inventory_lowered, 0);
    drag(360.0f, 150.0f);
    EXPECT_EQ(inventory_lowered, 1);
    // The drag rolls it.
    EXPECT_LT(torch->facing_xyzw[3], 0.999f);
}

TEST_F(PlayBoard, RightClickConvertsBlockAndDebrisBothWaysKeepingStackAndPlace) {
    object *block = at("BLOCK", 37, 5, 20.0f, -20.0f);
    press(220.0f, 130.0f);
    ASSERT_EQ(global_inventory_grab, block);
    right_click(220.0f, 130.0f);
    object *debris = global_inventory_grab;
    ASSERT_NE(debris, nullptr);
    EXPECT_EQ(debris->template_index, template_get_by_name("DEBRIS")->template_index);
    EXPECT_EQ(debris->material, 3);
    EXPECT_EQ(debris->inventory_stack_count, 37);
    EXPECT_EQ(local_player->inventory_pile, debris);
    EXPECT_EQ(count_in_pile(local_player->inventory_pile, "BLOCK"), 0);
    right_click(220.0f, 130.0f);
    object *again = global_inventory_grab;
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->template_index, template_get_by_name("BLOCK")->template_index);
    EXPECT_EQ(again->material, 5);
    EXPECT_EQ(again->inventory_stack_count, 37);

    // Standing where no chunk is resident nothing new can be made, and nothing is lost.
    local_player->position = {100.5f, 100.5f, 11.0f};
    right_click(220.0f, 130.0f);
    EXPECT_EQ(global_inventory_grab, again);
    EXPECT_EQ(again->inventory_stack_count, 37);
    EXPECT_EQ(pile_length(local_player->inventory_pile), 1);
}

TEST_F(PlayBoard, RightClickSplitsOneOffKeepingMaterialAndFacingOrCraftsARecipe) {
    object *torch = at("TORCH", 5, 9, 30.0f, 30.0f);
    torch->facing_xyzw[0] = 0.6f;
    torch->facing_xyzw[3] = 0.8f;
    press(230.0f, 180.0f);
    ASSERT_EQ(global_inventory_grab, torch);
    right_click(230.0f, 180.0f);
    EXPECT_EQ(torch->inventory_stack_count, 4);
    EXPECT_EQ(local_player->inventory_pile, torch);
    object *copy = torch->next;
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->inventory_stack_count, 1);
    EXPECT_EQ(copy->material, 9);
    EXPECT_FLOAT_EQ(copy->facing_xyzw[0], 0.6f);
    // The one split off settles into the nearest hole; the rest stays in hand.
    EXPECT_FLOAT_EQ(copy->position.x, 40.0f);
    EXPECT_FLOAT_EQ(copy->position.y, 15.0f);
    EXPECT_EQ(global_inventory_grab, torch);
    release(230.0f, 180.0f);

    // A spear from two sticks laid either side of a third.
    at("STICK", 1, 0, -20.0f, 0.0f);
    at("STICK", 1, 0, 20.0f, 0.0f);
    object *mid = at("STICK", 1, 0, 0.0f, 0.0f);
    press(200.0f, 150.0f);
    ASSERT_EQ(global_inventory_grab, mid);
    right_click(200.0f, 150.0f);
    EXPECT_EQ(global_inventory_grab, nullptr);
    EXPECT_NE(find_in_pile(local_player->inventory_pile, "SPEAR"), nullptr);
    EXPECT_EQ(count_in_pile(local_player->inventory_pile, "STICK"), 0);
}

TEST_F(PlayBoard, ReleasingOffTheBackpackThrowsItIntoTheWorldAndClosesTheBoard) {
    look(1.0f, 0.0f, 0.0f);
    draw_inventory = 1;
    object *torch = at("TORCH", 1, 0, 0.0f, 0.0f);
    press(200.0f, 150.0f);
    drag(200.0f + 160.0f, 150.0f);
    EXPECT_EQ(inventory_lowered, 1);
    release(360.0f, 150.0f);
    EXPECT_EQ(draw_inventory, 0);
    EXPECT_EQ(inventory_lowered, 0);
    EXPECT_EQ(global_inventory_grab, nullptr);
    EXPECT_EQ(torch->current_pile, &chunk_map[25][25]->local_object_pile);
    EXPECT_GT(torch->velocity.x, 0.0f);
    // Destroying a grabbed object forgets the grab.
    object *pick = at("PICK", 1, 3, 0.0f, 0.0f);
    press(200.0f, 150.0f);
    ASSERT_EQ(global_inventory_grab, pick);
    object_destroy(pick);
    EXPECT_EQ(global_inventory_grab, nullptr);
}

class Night : public Play {
  protected:
    void night_step(uint32_t frame) {
        global_world_frame = frame;
        global_sun_light_level = 0;
        daynight_spawn_monster();
    }
};

TEST_F(Night, ZombisSpawnBehindThePlayerEvery256NightStepsFiveTimesAndOnZAlways) {
    look(1.0f, 0.0f, 0.0f);
    // Day, or not a multiple of 256: nothing.
    night_step(256);
    night_step(40000 + 1);
    EXPECT_EQ(global_zombi_count, 0);
    for (int i = 0; i < 7; i++) night_step(40192 + 256 * (uint32_t)i);
    EXPECT_EQ(global_zombi_count, 5);
    int zombis = 0;
    for (int c = 0; c < 4; c++) {
        for (object *o = chunk_map[24 + c / 2][24 + c % 2]->local_object_pile; o; o = o->next) {
            if (!o->behave_like_zombi) continue;
            zombis++;
            float behind = o->position.x - target_vector.x;
            EXPECT_LE(behind, -10.0f + 0.01f);
            EXPECT_GE(behind, -20.0f - 0.01f);
            EXPECT_LE(fabsf(o->position.y - target_vector.y), 10.01f);
            EXPECT_FLOAT_EQ(o->position.z, 11.0f);
        }
    }
    EXPECT_EQ(zombis, 5);
    // Z spawns by day, once per press.
    global_world_frame = 1000;
    global_sun_light_level = 255;
    key_pressed[KEY_Z] = 1;
    daynight_spawn_monster();
    daynight_spawn_monster();
    EXPECT_EQ(global_zombi_count, 6);
    // Behind the player where nothing is resident: no zombi and the count stays.
    local_player->position = {1530.5f, 1600.5f, 11.0f};
    look(1.0f, 0.0f, 0.0f);
    key_pressed[KEY_Z] = 1;
    EXPECT_EQ(daynight_spawn_monster(), 0);
    EXPECT_EQ(global_zombi_count, 6);
}

TEST(TreePlopper, TrunksBranchesAndLeavesFollowTheArguments) {
    ScratchWorld world;
    make_flat_chunk(25, 25, 10, 1, 1);
    make_flat_chunk(24, 24, 10, 1, 1);
    make_flat_chunk(24, 25, 10, 1, 1);
    make_flat_chunk(25, 24, 10, 1, 1);
    random_setup();
    random_seed(3);
    auto count = [](uint8_t material) {
        int n = 0;
        for (int x = 1580; x < 1620; x++)
            for (int y = 1580; y < 1620; y++)
                for (int z = 10; z < 60; z++) n += material_at(x, y, z) == material;
        return n;
    };
    vector start = {1600.5f, 1600.5f, 12.0f}, up = {0.0f, 0.0f, 1.0f};
    // A tip: leaves only.
    voxel_tree_plopper(&start, &up, 1.6f, 5, 2, 0);
    EXPECT_EQ(count(31), 0);
    EXPECT_GT(count(32), 0);
    // A straight trunk with one cluster on top.
    vector second = {1590.5f, 1590.5f, 12.0f};
    voxel_tree_plopper(&second, &up, 1.6f, 5, 0, 1);
    EXPECT_EQ(material_at(1590, 1590, 14), 31);
    EXPECT_EQ(material_at(1590, 1590, 25), 0);
    // The full tree reaches well above its trunk.
    vector third = {1610.5f, 1610.5f, 12.0f};
    voxel_tree_plopper(&third, &up, 1.6f, 5, 2, 5);
    EXPECT_EQ(material_at(1610, 1610, 14), 31);
    int top_leaf = 0;
    for (int z = 10; z < 60; z++)
        for (int x = 1600; x < 1620; x++)
            for (int y = 1600; y < 1620; y++)
                if (material_at(x, y, z) == 32) top_leaf = z;
    EXPECT_GT(top_leaf, 25);
}

TEST(Screenshots, NamesAreNumberedAndNeverReused) {
    ScratchDir dir;
    mkdir("SHOTS", 0755);
    char name[64];
    ASSERT_EQ(hud_screenshot_name("SHOTS", name, sizeof(name)), 1);
    EXPECT_STREQ(name, "SHOTS\\SHOT0000.TGA");
    write_text_file("SHOTS/SHOT0000.TGA", "x");
    write_text_file("SHOTS/SHOT0001.TGA", "x");
    ASSERT_EQ(hud_screenshot_name("SHOTS", name, sizeof(name)), 1);
    EXPECT_STREQ(name, "SHOTS\\SHOT0002.TGA");
}

TEST_F(Play, BoardClicksNeverReachTheWorldEvenWhenTheBoardClosesUnderThem) {
    // A right click on the board, held while the board closes, never raises the build plane.
    mouse_pressed[2] = mouse_down[2] = 1;
    actions_route_buttons(1);
    actions_build_plane(0);
    EXPECT_EQ(build_plane_active, 0);
    mouse_pressed[2] = 0;
    actions_route_buttons(0);
    actions_build_plane(0);
    EXPECT_EQ(build_plane_active, 0);
    // Released and pressed again in the world, it does.
    mouse_down[2] = 0;
    actions_route_buttons(0);
    mouse_pressed[2] = mouse_down[2] = 1;
    actions_route_buttons(0);
    actions_build_plane(0);
    EXPECT_EQ(build_plane_active, 1);
    // A world press stops counting while the board is up.
    actions_route_buttons(1);
    EXPECT_EQ(actions_world_button_down[2], 0);

    // A left press that opened on the board throws nothing.
    look(1.0f, 0.0f, 0.0f);
    object *torch = give("TORCH", 3, 7);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(1);
    actions_left_button();
    EXPECT_EQ(torch->inventory_stack_count, 3);
    // Still held in the next pass, with the board closed: still the board's.
    mouse_pressed[0] = 0;
    actions_route_buttons(0);
    EXPECT_EQ(actions_world_button_down[0], 0);
}

TEST_F(Play, NothingIsLaidInsideTheBody) {
    const vector body = {10.5f, 10.5f, 11.0f};
    const vector under = {10.5f, 10.5f, 10.2f}, beside = {13.0f, 10.5f, 10.0f}, below = {10.5f, 10.5f, 8.0f};
    EXPECT_EQ(actions_cube_clear_of_body(&body, 0.9f, &under, 0), 0);
    EXPECT_EQ(actions_cube_clear_of_body(&body, 0.9f, &beside, 0), 1);
    // A block two below is clear; a wall rising from there is not.
    EXPECT_EQ(actions_cube_clear_of_body(&body, 0.9f, &below, 0), 1);
    EXPECT_EQ(actions_cube_clear_of_body(&body, 0.9f, &below, 1), 0);
    const vector near_sphere = {12.0f, 10.5f, 11.0f}, far_sphere = {12.5f, 10.5f, 11.0f};
    EXPECT_EQ(actions_sphere_clear_of_body(&body, 0.9f, &near_sphere, 0.75f), 0);
    EXPECT_EQ(actions_sphere_clear_of_body(&body, 0.9f, &far_sphere, 0.75f), 1);

    // A block aimed at the player's own feet is refused (the marker turns red) and costs nothing.
    object *block = give("BLOCK", 100, 5);
    look(0.05f, 0.0f, -0.99f);
    actions_plop_position(1, 0);
    ASSERT_EQ(plop_valid, 1);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(0);
    actions_left_button();
    EXPECT_EQ(block->inventory_stack_count, 100);
}

TEST_F(Play, ThrowsLeaveTheRightHandAndFlyTowardsWhatTheCrosshairMeets) {
    look(1.0f, 0.0f, 0.0f);
    object *torch = give("TORCH", 2, 7);
    mouse_pressed[0] = mouse_down[0] = 1;
    actions_route_buttons(0);
    actions_left_button();
    object *thrown = chunk_map[25][25]->local_object_pile;
    ASSERT_NE(thrown, nullptr);
    ASSERT_NE(thrown, torch);
    // From the right hand (side is -y here), below and in front of the eyes.
    EXPECT_NEAR(thrown->position.x, target_vector.x + 0.5f, 0.01f);
    EXPECT_NEAR(thrown->position.y, target_vector.y - 0.3f, 0.01f);
    EXPECT_NEAR(thrown->position.z, target_vector.z - 0.3f, 0.01f);
    // Nothing ahead within reach: it heads for the point 40 along the crosshair, back across
    // from the hand.
    const float t = (target_vector.x + 40.0f - thrown->position.x) / thrown->velocity.x;
    EXPECT_NEAR(thrown->position.y + t * thrown->velocity.y, target_vector.y, 0.01f);
    EXPECT_NEAR(thrown->position.z + t * thrown->velocity.z, target_vector.z, 0.01f);

    // Looking down at the ground, it heads for where the crosshair meets it.
    look(0.6f, 0.0f, -0.8f);
    vector aim = actions_crosshair_point(40.0f);
    EXPECT_NEAR(aim.z, 10.5f, 1.0f);
    EXPECT_NEAR((aim.x - target_vector.x) * -0.8f - (aim.z - target_vector.z) * 0.6f, 0.0f, 0.01f);
    vector hand = actions_hand_point(torch);
    vector d = actions_throw_direction(&hand, &aim);
    const float s = (aim.x - hand.x) / d.x;
    EXPECT_NEAR(hand.y + s * d.y, aim.y, 0.01f);
    EXPECT_NEAR(hand.z + s * d.z, aim.z, 0.01f);
}
