// test_survival.cpp — the rules of a survival night without a window: respawning on dry ground
// away from zombis, the moment of death and the grace, the day's light, the quick clock, the dawn
// and the safe place of the day
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "display/display.h"
#include "display/input.h"
#include "edit_test_util.h"
#include "game/kestrova.h"
#include "game/kestrova_actions.h"
#include "game/kestrova_daynight.h"
#include "game/kestrova_survival.h"
#include "object_test_util.h"
#include "world/worldmap.h"

// Dry stone ground (top at z = 10) on the 3 x 3 chunks around chunk (25, 25), or with chunk
// (25, 25) sunk under the sea.
class Survival : public ::testing::Test {
  protected:
    void SetUp() override {
        write_kind("PLAYER", "FULLCOLLIDE\nSTATICSPHERE\nSIZE 0.9\nHITS 5\n");
        write_kind("ZOMBI", "FULLCOLLIDE\nSTATICSPHERE\nBEHAVELIKEZOMBI\nHITS 30\nSIZE 0.9\n");
        load_kinds({"PLAYER", "ZOMBI"});
        global_ocean_level = 2.0f;
        camera_fore_vector = {1.0f, 0.0f, 0.0f};
        camera_side_vector = {0.0f, -1.0f, 0.0f};
        reset();
    }
    void TearDown() override { reset(); }
    // No keys, a fresh clock, nothing open.
    static void reset() {
        input_reset();
        actions_reset();
        timer_reset();
        daynight_reset();
        voxel_light_reset();
        settings_reset();
    }
    void make_ground(bool sea_in_the_middle) {
        for (int cx = 24; cx <= 26; cx++)
            for (int cy = 24; cy <= 26; cy++)
                make_flat_chunk(cx, cy, sea_in_the_middle && cx == 25 && cy == 25 ? 3 : 10, 3, 3);
        if (sea_in_the_middle) global_ocean_level = 6.0f;
    }
    object *spawn(const char *kind, float x, float y) {
        return object_spawn(template_get_by_name(kind), nullptr, 1, x, y, 11.0f);
    }
    static float across(const vector &a, const object *b) { return hypotf(a.x - b->position.x, a.y - b->position.y); }
    ObjectWorld world;
};

TEST_F(Survival, RespawnLandsOnDryGroundThirtyOrMoreFromEveryLiveZombiNearTheSafePlace) {
    make_ground(true);
    local_player = spawn("PLAYER", 1630.5f, 1630.5f);
    // The safe place of the day lies under the sea, ringed by zombis; a dead one does not count.
    survival_safe_place = {1630.5f, 1630.5f, 11.0f};
    survival_have_safe_place = 1;
    object *zombis[3] = {spawn("ZOMBI", 1590.5f, 1630.5f), spawn("ZOMBI", 1630.5f, 1590.5f),
                         spawn("ZOMBI", 1670.5f, 1660.5f)};
    object *dead = spawn("ZOMBI", 1600.5f, 1660.5f);
    dead->hits = -1.0f;
    local_player->hits = 2.0f;
    actions_respawn_check(1);
    const vector p = local_player->position;
    EXPECT_FLOAT_EQ(local_player->hits, 5.0f);
    for (object *z : zombis) EXPECT_GE(across(p, z), SURVIVAL_ZOMBI_DISTANCE);
    EXPECT_FALSE(object_point_in_water(p.x, p.y, p.z));
    chunkmap_get_xyz((int)p.x, (int)p.y, 2048);
    EXPECT_EQ(global_voxel_topmost_z, 10) << "on the dry ground, not the sea floor";
    EXPECT_LT(p.z, 13.0f);
    EXPECT_EQ(local_player->current_pile, chunkmap_pile_pointer((int)p.x, (int)p.y));

    // No live zombi near a dry safe place: the respawn is that very column.
    survival_safe_place = {1580.5f, 1580.5f, 11.0f};
    dead->position = {1581.5f, 1580.5f, 11.0f};
    for (object *z : zombis) {
        z->position = {1700.5f, 1700.5f, 11.0f};
        put_object_into_pile(z, chunkmap_pile_pointer(1700, 1700));
    }
    survival_respawn();
    EXPECT_FLOAT_EQ(local_player->position.x + local_player->position.y, 1580.5f * 2);
    // None noted: the start column, in the sea here, so the dry shore near it.
    survival_have_safe_place = 0;
    survival_respawn();
    const vector s = local_player->position;
    EXPECT_FALSE(object_point_in_water(s.x, s.y, s.z));
    EXPECT_LE(fabsf(s.x - MAIN_LOOP_START_X) + fabsf(s.y - MAIN_LOOP_START_Y), 16.0f);
    EXPECT_EQ(survival_place_is_safe(100, 100, SURVIVAL_ZOMBI_DISTANCE, nullptr), 0) << "not resident";

    // The safe place is noted by day, on the ground, with no zombi within 30.
    survival_have_safe_place = 0;
    local_player->position = {1680.5f, 1700.5f, 11.0f};
    global_world_frame = 32 * 100;
    survival_step();
    local_player->jumps_remaining = 1;
    survival_step();
    global_world_frame = 32 * 1300;  // night
    local_player->position.x = 1650.5f;
    survival_step();
    EXPECT_EQ(survival_have_safe_place, 0) << "in the air, near zombis or by night";
    global_world_frame = 32 * 100;
    survival_step();
    EXPECT_EQ(survival_have_safe_place, 1);
}

TEST_F(Survival, DeathPlaysItsMomentThenRespawnsWithAGraceInWhichNothingSpawnsOrHurts) {
    make_ground(false);
    local_player = spawn("PLAYER", 1610.5f, 1610.5f);
    object *z = spawn("ZOMBI", 1612.5f, 1610.5f);
    EXPECT_EQ(object_local_player_protected(), 0);
    local_player->hits = 0.0f;
    survival_respawn_check(0);
    survival_respawn_check(0);
    EXPECT_EQ(survival_deaths, 1u) << "one death, however many passes see it";
    EXPECT_EQ(object_local_player_protected(), 1) << "the dead are not struck again";
    for (int i = 0; i < SURVIVAL_DEATH_STEPS - 1; i++) survival_step();
    EXPECT_FLOAT_EQ(local_player->position.x, 1610.5f) << "the moment of death still plays";
    survival_camera();
    EXPECT_GT(camera_distance, 5.0f) << "the camera has drawn back from the body";
    survival_step();
    EXPECT_FLOAT_EQ(local_player->hits, 5.0f);
    EXPECT_GE(across(local_player->position, z), SURVIVAL_ZOMBI_DISTANCE);
    EXPECT_EQ(object_local_player_protected(), 1) << "the grace";
    // No natural zombi comes in the grace; once it is over the night goes on.
    target_vector = local_player->position;
    global_sun_light_level = 0;
    global_world_frame = 40192;
    EXPECT_EQ(daynight_spawn_monster(), 0);
    for (int i = 0; i < SURVIVAL_GRACE_STEPS; i++) survival_step();
    EXPECT_EQ(object_local_player_protected(), 0);
    EXPECT_EQ(daynight_spawn_monster(), 1);
    draw_inventory = 1;
    EXPECT_EQ(object_local_player_protected(), 1) << "the open board is a safe moment";
}

TEST_F(Survival, DuskFadesToMoonlightDawnComesBeforeTheDayTheClockReadsItAndCRunsItQuickly) {
    EXPECT_EQ(survival_desired_sun_level(0.0f), 255) << "a game starts in full day";
    EXPECT_EQ(survival_desired_sun_level(0.75f), SURVIVAL_NIGHT_SUN_LEVEL);
    EXPECT_GT(survival_desired_sun_level(0.99f), 100) << "dawn at the end of the night";
    EXPECT_LE(survival_desired_sun_level(0.5f), 49) << "dark enough for the night's zombis";
    EXPECT_GT(survival_desired_sun_level(0.475f), survival_desired_sun_level(0.485f)) << "dusk darkens gradually";
    EXPECT_GT(survival_desired_sun_level(0.485f), 100);
    EXPECT_LT(survival_desired_sun_level(0.485f), 200);
    const float phases[4] = {0.25f, 0.45f, 0.75f, 0.99f};
    const char *words[4] = {"Day", "Dusk", "Night", "Dawn"}, *word = nullptr;
    const int hours[4] = {12, 16, 0, 5};
    for (int i = 0, h = -1, m = -1; i < 4; i++) {
        survival_clock(phases[i], &h, &m, &word);
        EXPECT_EQ(h, hours[i]);
        EXPECT_STREQ(word, words[i]);
    }
    // C: twenty-four steps of the clock per world step, whatever the frame rate.
    key_down[KEY_C] = 1;
    for (int i = 0; i < 100; i++, global_world_frame++) survival_step();
    key_down[KEY_C] = 0;
    EXPECT_EQ(global_world_frame, 100u * (SURVIVAL_FAST_CLOCK_STEPS + 1));
    // The dawn lets the next night bring its zombis again.
    global_zombi_count = 5;
    global_world_frame = 65535;
    survival_step();
    global_world_frame = 65536;
    survival_step();
    EXPECT_EQ(global_zombi_count, 0);
}
