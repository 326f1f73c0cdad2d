// input.h — keyboard and mouse state gathered once per pass, mouse look and the placer offsets
#pragma once
#include <SDL.h>

#include <cstdint>

#define INPUT_KEY_COUNT 323
#define INPUT_MOUSE_BUTTONS 4
#define INPUT_PITCH_LOW 22384
#define INPUT_PITCH_HIGH 43152

// SDL 1.2 key symbols the game reads.
#define KEY_TAB 9
#define KEY_ESCAPE 27
#define KEY_SPACE 32
#define KEY_A 97
#define KEY_C 99
#define KEY_D 100
#define KEY_E 101
#define KEY_Q 113
#define KEY_R 114
#define KEY_S 115
#define KEY_T 116
#define KEY_W 119
#define KEY_Z 122
#define KEY_F1 282
#define KEY_F2 283
#define KEY_F3 284
#define KEY_F4 285
#define KEY_F5 286
#define KEY_F6 287
#define KEY_F12 293
#define KEY_RIGHT_SHIFT 303
#define KEY_LEFT_SHIFT 304

extern uint8_t key_down[INPUT_KEY_COUNT];
extern uint8_t key_pressed[INPUT_KEY_COUNT];
extern uint8_t mouse_down[INPUT_MOUSE_BUTTONS];
extern uint8_t mouse_pressed[INPUT_MOUSE_BUTTONS];
extern float mouse_x, mouse_y;
extern float mouse_move_x, mouse_move_y;
extern float placer_front, placer_side, placer_up;
extern uint8_t placer_active;
extern uint8_t input_setup;

void input_read(uint32_t updates);
void input_handle_event(const SDL_Event *event);
void input_camera_controls(uint32_t skip);
void input_reset(void);
