// timer.h — the frame timer that turns real time into fixed 16 ms world steps, and profiling timers
#pragma once
#include <cstdint>

#define TIMER_STEP_MS 16
#define TIMER_SUBFUNCTIONS 10

// The world clock (fixed world steps), drawn frames, and the frame of the material animations.
extern uint32_t global_world_frame;
extern uint32_t global_draw_frame;
extern uint32_t global_texture_animation_frame;

extern uint32_t timer_start_time;
extern float timer_frames_per_second;
extern float total_frames_per_second;
extern uint32_t subfunction_timer_ticks[TIMER_SUBFUNCTIONS];

// The millisecond clock the timers read; SDL_GetTicks in the game. Tests put a
// clock of their own here and restore the default with a null pointer.
typedef uint32_t (*timer_clock_function)(void);
void timer_set_clock(timer_clock_function clock);
uint32_t timer_now(void);

void timer_start(void);
uint32_t timer_poll(uint32_t limit);

void function_timer_start(const char *function_name);
void function_timer_end(const char *function_name);
void subfunction_timer_reset(void);
void subfunction_timer_start(uint8_t sub);
void subfunction_timer_end(uint8_t sub);
void subfunction_timer_log(const char *function_name, uint8_t sub);
// Every count back to 0 and the clock back to SDL's, as at start.
void timer_reset(void);
