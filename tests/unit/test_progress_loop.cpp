// test_progress_loop.cpp — progress-bar fractions and counters, and the main loop's band, fade and key rules
#include <gtest/gtest.h>

#include <cstring>

#include "display/display.h"
#include "display/input.h"
#include "game/kestrova.h"

TEST(ProgressBar, StartWithZeroCountsAgainstOne) {
    display_progress_bar_start(0);
    EXPECT_EQ(progress_bar_total, 1);
    EXPECT_EQ(progress_bar_current, 0);
    EXPECT_EQ(progress_bar_active, 1);
    EXPECT_FLOAT_EQ(display_progress_fraction(progress_bar_current, progress_bar_total), 0.0f);
    display_progress_bar_count(0);
    EXPECT_FLOAT_EQ(display_progress_fraction(progress_bar_current, progress_bar_total), 1.0f);
    display_progress_bar_end();
    EXPECT_EQ(progress_bar_active, 0);
}

TEST(ProgressBar, MoreStagesThanTheTotalKeepTheBarFull) {
    display_progress_bar_start(15);
    for (int i = 0; i < 18; i++) display_progress_bar_count(0);
    EXPECT_EQ(progress_bar_current, 18);
    EXPECT_FLOAT_EQ(display_progress_fraction(progress_bar_current, progress_bar_total), 1.0f);
    EXPECT_NEAR(display_progress_fraction(6, 15), 0.4f, 1e-6);
    display_progress_bar_end();
}

TEST(ProgressBar, SubStepsCountOnTheSubBarOnly) {
    display_progress_bar_start(4);
    display_subprogress_bar_start(0);
    EXPECT_EQ(subprogress_bar_total, 1);
    display_subprogress_bar_start(100);
    display_progress_bar_count(1);
    display_progress_bar_count(1);
    EXPECT_EQ(subprogress_bar_current, 2);
    EXPECT_EQ(progress_bar_current, 0);
    display_subprogress_bar_start(7);
    EXPECT_EQ(subprogress_bar_current, 0);
    display_progress_bar_end();
}

TEST(TerrainBands, FullBackgroundDrawsFourBandsFarToNearWithTheSkyOnTheOutermost) {
    main_loop_band bands[4];
    ASSERT_EQ(main_loop_terrain_bands(0, 50, 500, bands), 4);
    EXPECT_EQ(bands[0].min_radius, 238);
    EXPECT_EQ(bands[0].max_radius, 500);
    EXPECT_EQ(bands[0].mega, 8);
    EXPECT_EQ(bands[0].backdrop, 1);
    EXPECT_EQ(bands[1].min_radius, 144);
    EXPECT_EQ(bands[1].max_radius, 250);
    EXPECT_EQ(bands[1].mega, 4);
    EXPECT_EQ(bands[2].min_radius, 47);
    EXPECT_EQ(bands[2].max_radius, 150);
    EXPECT_EQ(bands[2].mega, 2);
    EXPECT_EQ(bands[3].min_radius, 6);
    EXPECT_EQ(bands[3].max_radius, 50);
    EXPECT_EQ(bands[3].mega, 1);
    for (int i = 1; i < 4; i++) EXPECT_EQ(bands[i].backdrop, 0);
}

TEST(TerrainBands, ExactlyOneBandDrawsTheSkyAtEveryGap) {
    main_loop_band bands[4];
    for (int background = 0; background <= 500; background += 7) {
        uint8_t count = main_loop_terrain_bands(0, 50, background, bands);
        int skies = 0;
        for (int i = 0; i < count; i++) skies += bands[i].backdrop;
        EXPECT_EQ(skies, 1) << background;
        EXPECT_EQ(bands[0].backdrop, 1) << background;
        EXPECT_EQ(bands[count - 1].mega, 1);
    }
}

TEST(TerrainBands, EqualDistancesDrawOnlyTheNearestBandWithTheSky) {
    main_loop_band bands[4];
    ASSERT_EQ(main_loop_terrain_bands(0, 80, 80, bands), 1);
    EXPECT_EQ(bands[0].min_radius, 6);
    EXPECT_EQ(bands[0].max_radius, 80);
    EXPECT_EQ(bands[0].backdrop, 1);
    ASSERT_EQ(main_loop_terrain_bands(0, 50, 200, bands), 3);
    EXPECT_EQ(bands[0].mega, 4);
    EXPECT_EQ(bands[0].backdrop, 1);
}

TEST(TerrainBands, UnderWaterDrawsOneNearBandWithTheSky) {
    main_loop_band bands[4];
    ASSERT_EQ(main_loop_terrain_bands(1, 50, 500, bands), 1);
    EXPECT_EQ(bands[0].min_radius, 6);
    EXPECT_EQ(bands[0].max_radius, 50);
    EXPECT_EQ(bands[0].backdrop, 1);
    EXPECT_EQ(bands[0].mega, 1);
}

TEST(InventoryFade, SettlesAtOneAQuarterAndZero) {
    float open = 0.0f, lowered = 0.0f, closed = 1.0f;
    for (int i = 0; i < 300; i++) {
        open = main_loop_inventory_fade_step(open, 1, 0);
        lowered = main_loop_inventory_fade_step(lowered, 1, 1);
        closed = main_loop_inventory_fade_step(closed, 0, 1);
    }
    EXPECT_NEAR(open, 1.0f, 1e-4);
    EXPECT_NEAR(lowered, 0.25f, 1e-4);
    EXPECT_NEAR(closed, 0.0f, 1e-4);
    EXPECT_FLOAT_EQ(main_loop_inventory_fade_step(0.5f, 1, 0), 0.55f);
}

TEST(MenuKeys, MovementKeysAndSpaceCloseTheMenuOtherKeysDoNot) {
    memset(key_down, 0, sizeof(key_down));
    EXPECT_EQ(main_loop_menu_closing_key_held(), 0);
    for (int key : {KEY_W, KEY_S, KEY_A, KEY_D, KEY_SPACE}) {
        key_down[key] = 1;
        EXPECT_EQ(main_loop_menu_closing_key_held(), 1) << key;
        key_down[key] = 0;
    }
    key_down[KEY_Q] = 1;
    key_down[KEY_ESCAPE] = 1;
    EXPECT_EQ(main_loop_menu_closing_key_held(), 0);
    EXPECT_EQ(main_loop_shift_held(), 0);
    key_down[KEY_RIGHT_SHIFT] = 1;
    EXPECT_EQ(main_loop_shift_held(), 1);
    memset(key_down, 0, sizeof(key_down));
}

TEST(PlayerCommand, KeysAndCameraFillTheCommandAndOnlyAUsedJumpTakesThePress) {
    memset(key_down, 0, sizeof(key_down));
    memset(key_pressed, 0, sizeof(key_pressed));
    const vector fore = camera_fore_vector, side = camera_side_vector, up = camera_up_vector, target = target_vector;
    camera_fore_vector = {0.0f, 1.0f, 0.0f};
    camera_side_vector = {1.0f, 0.0f, 0.0f};
    camera_up_vector = {0.0f, 0.0f, 1.0f};
    target_vector = {1600.5f, 1601.5f, 12.25f};
    player_command c;
    memset(&c, 0xff, sizeof(c));
    main_loop_fill_player_command(&c);
    EXPECT_EQ(c.forward + c.back + c.left + c.right + c.run + c.jump + c.swim_up, 0) << "nothing held, nothing asked";
    EXPECT_FLOAT_EQ(c.fore.y, 1.0f);
    EXPECT_FLOAT_EQ(c.side.x, 1.0f);
    EXPECT_FLOAT_EQ(c.up.z, 1.0f);
    EXPECT_FLOAT_EQ(c.target.x, 1600.5f);
    EXPECT_FLOAT_EQ(c.target.y, 1601.5f);
    EXPECT_FLOAT_EQ(c.target.z, 12.25f);
    // Each walking key to its own direction.
    const int keys[4] = {KEY_W, KEY_S, KEY_A, KEY_D};
    for (int k = 0; k < 4; k++) {
        key_down[keys[k]] = 1;
        main_loop_fill_player_command(&c);
        const uint8_t got[4] = {c.forward, c.back, c.left, c.right};
        for (int j = 0; j < 4; j++) EXPECT_EQ(got[j], j == k ? 1 : 0) << "key " << keys[k];
        key_down[keys[k]] = 0;
    }
    for (int shift : {KEY_LEFT_SHIFT, KEY_RIGHT_SHIFT}) {
        key_down[shift] = 1;
        main_loop_fill_player_command(&c);
        EXPECT_EQ(c.run, 1) << shift;
        key_down[shift] = 0;
    }
    // Space pressed and let go between two reads jumps but does not swim up; held, it does both.
    key_pressed[KEY_SPACE] = 1;
    main_loop_fill_player_command(&c);
    EXPECT_EQ(c.jump, 1);
    EXPECT_EQ(c.swim_up, 0);
    key_down[KEY_SPACE] = 1;
    main_loop_fill_player_command(&c);
    EXPECT_EQ(c.swim_up, 1);
    // Without a player nothing jumps, so the press stays for the pass's next step.
    object *player = local_player;
    const float fade = local_walk_fade;
    local_player = nullptr;
    main_loop_player_step(1);
    local_walk_fade = fade;
    EXPECT_EQ(key_pressed[KEY_SPACE], 1);
    EXPECT_EQ(global_player_command.jump, 1);
    local_player = player;
    memset(key_down, 0, sizeof(key_down));
    memset(key_pressed, 0, sizeof(key_pressed));
    camera_fore_vector = fore;
    camera_side_vector = side;
    camera_up_vector = up;
    target_vector = target;
}
