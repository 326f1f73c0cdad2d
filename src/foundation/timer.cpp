// timer.cpp — frame stepping on the millisecond clock and the profiling timers
#include "foundation/timer.h"

#include <SDL.h>

#include "foundation/logfile.h"

uint32_t global_world_frame = 0;
uint32_t global_draw_frame = 0;
uint32_t global_texture_animation_frame = 0;

uint32_t timer_start_time = 0;
float timer_frames_per_second = 0.0f;
float total_frames_per_second = 0.0f;
static uint32_t function_timer_start_time = 0;
static uint32_t subfunction_timer_start_time[TIMER_SUBFUNCTIONS];
uint32_t subfunction_timer_ticks[TIMER_SUBFUNCTIONS];

static uint32_t timer_sdl_clock(void) { return SDL_GetTicks(); }

static timer_clock_function timer_clock = timer_sdl_clock;

void timer_set_clock(timer_clock_function clock) { timer_clock = clock ? clock : timer_sdl_clock; }

uint32_t timer_now(void) { return timer_clock(); }

void timer_start(void) { timer_start_time = timer_now(); }

uint32_t timer_poll(uint32_t limit) {
    uint32_t now = timer_now();
    uint32_t elapsed = now - timer_start_time;
    uint32_t steps = elapsed * 60u / 1000u;

    uint32_t ticks = elapsed;
    if (ticks == 0) ticks = 1;
    if (ticks > 1000) ticks = 1000;
    float rate = 1000.0f / (float)ticks;
    total_frames_per_second += rate;
    timer_frames_per_second = 0.9f * timer_frames_per_second + 0.1f * rate;

    // The whole count is taken off the clock, even the steps the limit drops,
    // so the world does not race to catch up after a stall.
    timer_start_time += TIMER_STEP_MS * steps;
    return steps > limit ? limit : steps;
}

void function_timer_start(const char *function_name) {
    log_message(3, "Starting to time function %s()", function_name);
    function_timer_start_time = timer_now();
}

void function_timer_end(const char *function_name) {
    log_message(3, "Function %s() took %d ticks to complete", function_name,
                (int)(timer_now() - function_timer_start_time));
}

void subfunction_timer_reset(void) {
    log_message(3, "Resetting all subfunction timers");
    for (int i = 0; i < TIMER_SUBFUNCTIONS; i++) subfunction_timer_ticks[i] = 0;
}

void subfunction_timer_start(uint8_t sub) {
    if (sub >= TIMER_SUBFUNCTIONS) return;
    subfunction_timer_start_time[sub] = timer_now();
}

void subfunction_timer_end(uint8_t sub) {
    if (sub >= TIMER_SUBFUNCTIONS) return;
    subfunction_timer_ticks[sub] += timer_now() - subfunction_timer_start_time[sub];
}

void subfunction_timer_log(const char *function_name, uint8_t sub) {
    if (sub >= TIMER_SUBFUNCTIONS) return;
    log_message(3, "Function %s(), sub[%d] took %d ticks total", function_name, sub,
                (int)subfunction_timer_ticks[sub]);
}

void timer_reset(void) {
    global_world_frame = 0;
    global_draw_frame = 0;
    global_texture_animation_frame = 0;
    timer_start_time = 0;
    timer_frames_per_second = 0.0f;
    total_frames_per_second = 0.0f;
    function_timer_start_time = 0;
    for (int i = 0; i < TIMER_SUBFUNCTIONS; i++) subfunction_timer_start_time[i] = subfunction_timer_ticks[i] = 0;
    timer_clock = timer_sdl_clock;
}
