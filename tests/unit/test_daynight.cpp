// test_daynight.cpp — the sun level's easing and the music crossfade rules
#include <gtest/gtest.h>

#include "display/input.h"
#include "foundation/settings.h"
#include "foundation/timer.h"
#include "game/kestrova.h"
#include "sound/sound.h"
#include "terrain/voxel.h"

class DayNightTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset();
        global_sun_light_level = 0;
    }
    void TearDown() override { reset(); }
    static void reset() {
        timer_reset();
        voxel_light_reset();
        settings_reset();
        input_reset();
        daynight_reset();
        // The mixer has no reset of its own: its state belongs to the audio device.
        master_music_volume = 255;
        for (int c = 0; c < SOUND_CHANNELS; c++) channel_volume[c][0] = channel_volume[c][1] = 0;
    }
};

TEST_F(DayNightTest, SunRisesToTwoFiftyTwoAndFallsToZero) {
    for (int i = 0; i < 100; i++) daynight_sun_level();
    EXPECT_EQ(global_sun_light_level, 252);
    draw_menu = 1;
    for (int i = 0; i < 100; i++) daynight_sun_level();
    EXPECT_EQ(global_sun_light_level, 0);
}

TEST_F(DayNightTest, HalfwayThroughTheDayIsStillDayDarkenedByDuskAndOneStepLaterMoonlitNight) {
    global_world_frame = 30000;
    daynight_sun_level();
    EXPECT_EQ(global_desired_sun_light_level, 255);
    global_world_frame = 32768;
    global_sun_light_level = 200;
    daynight_sun_level();
    EXPECT_FLOAT_EQ(global_day_night_cycle, 0.5f);
    EXPECT_LE(global_desired_sun_light_level, 49) << "dusk is over";
    global_world_frame = 32769;
    daynight_sun_level();
    EXPECT_EQ(global_desired_sun_light_level, 48);
    for (int i = 0; i < 100; i++) daynight_sun_level();
    EXPECT_EQ(global_sun_light_level, 48) << "the night settles at moonlight, not black";
}

TEST_F(DayNightTest, HoldingCNoLongerJumpsTheClockOnEachDrawnFrame) {
    key_down[KEY_C] = 1;
    for (int i = 0; i < 66; i++) daynight_sun_level();
    key_down[KEY_C] = 0;
    EXPECT_EQ(global_world_frame, 0u) << "the quick clock runs with the world steps";
}

TEST_F(DayNightTest, DesiredVolumesFollowDaylightDepthInventoryAndTitle) {
    uint8_t v[5];
    music_desired_volumes(128, 0.0f, 0, 0, v);
    EXPECT_EQ(v[0], 127);  // 128 * 255 / 256
    EXPECT_EQ(v[1], 128);
    EXPECT_EQ(v[2] + v[3] + v[4], 0);

    // Five blocks down: half day music, half underground.
    music_desired_volumes(255, 0.5f, 0, 0, v);
    EXPECT_EQ(v[0], 127);
    EXPECT_EQ(v[3], 127);

    music_desired_volumes(255, 0.5f, 1, 0, v);
    EXPECT_EQ(v[2], 255);
    EXPECT_EQ(v[0] + v[1] + v[3] + v[4], 0);

    music_desired_volumes(255, 0.5f, 1, 1, v);
    EXPECT_EQ(v[4], 255);
    EXPECT_EQ(v[0] + v[1] + v[2] + v[3], 0);
}

TEST_F(DayNightTest, VolumesMoveFiveUnitsPerStepOnlyOnLeftSideOfValidChannels) {
    day_music_channel = 3;
    title_music_channel = 4;
    channel_volume[3][0] = 255;
    channel_volume[3][1] = 77;
    channel_volume[4][0] = 0;
    draw_menu = 1;
    // Restarting the title track touches the mixer's positions, which the audio lock guards.
    music_adjust_volume();
    EXPECT_EQ(channel_volume[3][0], 250);
    EXPECT_EQ(channel_volume[3][1], 77);
    EXPECT_EQ(channel_volume[4][0], 5);
    EXPECT_EQ(channel_read[4], 0u);
    for (int i = 0; i < 60; i++) music_adjust_volume();
    EXPECT_EQ(channel_volume[3][0], 0);
    EXPECT_EQ(channel_volume[4][0], 255);
}
