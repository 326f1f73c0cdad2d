// test_timer.cpp — world stepping, the step limit and the rate estimate, on a clock the test controls
#include <gtest/gtest.h>

#include "test_util.h"
#include "foundation/timer.h"

static uint32_t fake_now = 0;
static uint32_t fake_clock(void) { return fake_now; }

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_now = 1000;
        timer_set_clock(fake_clock);
        timer_start();
        timer_frames_per_second = 0.0f;
        total_frames_per_second = 0.0f;
    }
    void TearDown() override { timer_set_clock(nullptr); }
};

TEST_F(TimerTest, StepsAccumulateAndKeepTheRemainder) {
    fake_now += 10;
    EXPECT_EQ(timer_poll(10), 0u);
    fake_now += 10;
    EXPECT_EQ(timer_poll(10), 1u);  // 20 ms: 20 * 60 / 1000 = 1
    EXPECT_EQ(timer_start_time, 1016u);
}

TEST_F(TimerTest, SixteenMillisecondsIsNotYetAStepButSeventeenIs) {
    fake_now += 16;
    EXPECT_EQ(timer_poll(10), 0u);
    EXPECT_EQ(timer_start_time, 1000u);
    fake_now += 1;
    EXPECT_EQ(timer_poll(10), 1u);
    EXPECT_EQ(fake_now - timer_start_time, 1u);
}

TEST_F(TimerTest, LongStallIsClampedAndTheExtraStepsAreLost) {
    fake_now += 5000;
    EXPECT_EQ(timer_poll(10), 10u);
    EXPECT_EQ(timer_start_time, 1000u + 4800u);
    // The 200 ms left over is about a dozen steps, not the 290 that were dropped.
    EXPECT_EQ(timer_poll(10), 10u);
    EXPECT_EQ(timer_start_time, 1000u + 4800u + 16u * 12u);
}

TEST_F(TimerTest, RateEstimateCountsSameMillisecondAsOneThousand) {
    fake_now += 20;
    timer_poll(10);
    float before = total_frames_per_second;
    EXPECT_FLOAT_EQ(before, 50.0f);
    timer_poll(10);  // 4 ms left on the clock
    EXPECT_FLOAT_EQ(total_frames_per_second - before, 250.0f);
    timer_start();
    float again = total_frames_per_second;
    timer_poll(10);  // same millisecond
    EXPECT_FLOAT_EQ(total_frames_per_second - again, 1000.0f);
}

TEST_F(TimerTest, RateEstimateIsSmoothedAndFloorsAtOnePerSecond) {
    fake_now += 3000;
    timer_poll(10);
    EXPECT_FLOAT_EQ(total_frames_per_second, 1.0f);
    EXPECT_FLOAT_EQ(timer_frames_per_second, 0.1f);
}

TEST_F(TimerTest, ClockWrapStillCountsElapsedTime) {
    fake_now = 0xFFFFFFF0u;
    timer_start();
    fake_now = 0x00000010u;  // 32 ms later, across the 32-bit wrap
    EXPECT_EQ(timer_poll(10), 1u);
}

TEST(SubfunctionTimer, AccumulatesAcrossPairsAndIgnoresBadIndices) {
    ScratchDir dir;
    ASSERT_EQ(open_logfile(), 1);
    timer_set_clock(fake_clock);
    fake_now = 100;
    subfunction_timer_reset();
    subfunction_timer_start(3);
    fake_now = 130;
    subfunction_timer_end(3);
    subfunction_timer_start(3);
    fake_now = 140;
    subfunction_timer_end(3);
    EXPECT_EQ(subfunction_timer_ticks[3], 40u);

    uint32_t before[TIMER_SUBFUNCTIONS];
    for (int i = 0; i < TIMER_SUBFUNCTIONS; i++) before[i] = subfunction_timer_ticks[i];
    subfunction_timer_start(10);
    fake_now = 500;
    subfunction_timer_end(10);
    subfunction_timer_end(255);
    for (int i = 0; i < TIMER_SUBFUNCTIONS; i++) EXPECT_EQ(subfunction_timer_ticks[i], before[i]);

    subfunction_timer_log("worldmap_generate_chunk", 3);
    subfunction_timer_log("ignored", 10);
    function_timer_start("worldmap_generate_chunk");
    fake_now = 525;
    function_timer_end("worldmap_generate_chunk");
    close_logfile();
    timer_set_clock(nullptr);

    auto lines = log_lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Info :Resetting all subfunction timers");
    EXPECT_EQ(lines[1], "Info :Function worldmap_generate_chunk(), sub[3] took 40 ticks total");
    EXPECT_EQ(lines[2], "Info :Starting to time function worldmap_generate_chunk()");
    EXPECT_EQ(lines[3], "Info :Function worldmap_generate_chunk() took 25 ticks to complete");
}
