// input.cpp — the SDL event pump, the key and mouse tables, mouse look with its clamps and the placer
#include "display/input.h"

#include <cstring>

#include "display/display.h"
#include "foundation/settings.h"

uint8_t key_down[INPUT_KEY_COUNT];
uint8_t key_pressed[INPUT_KEY_COUNT];
uint8_t mouse_down[INPUT_MOUSE_BUTTONS];
uint8_t mouse_pressed[INPUT_MOUSE_BUTTONS];
float mouse_x = 0.0f, mouse_y = 0.0f;
float mouse_move_x = 0.0f, mouse_move_y = 0.0f;
float placer_front = 0.0f, placer_side = 0.0f, placer_up = 0.0f;
uint8_t placer_active = 0;
uint8_t input_setup = 0;

void input_handle_event(const SDL_Event *event) {
    switch (event->type) {
    case SDL_KEYDOWN: {
        int symbol = (int)event->key.keysym.sym;
        if (symbol >= 0 && symbol < INPUT_KEY_COUNT) {
            key_pressed[symbol] = 1;
            key_down[symbol] = 1;
        }
        break;
    }
    case SDL_KEYUP: {
        int symbol = (int)event->key.keysym.sym;
        if (symbol >= 0 && symbol < INPUT_KEY_COUNT) key_down[symbol] = 0;
        break;
    }
    case SDL_QUIT:
        main_loop_active = 0;
        break;
    case SDL_MOUSEMOTION:
        mouse_move_x += (float)event->motion.xrel;
        mouse_move_y += (float)event->motion.yrel;
        mouse_x = (float)event->motion.x;
        mouse_y = (float)event->motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int index = (int)event->button.button - 1;
        if (index < 0 || index >= INPUT_MOUSE_BUTTONS) break;
        if (event->type == SDL_MOUSEBUTTONDOWN) {
            mouse_pressed[index] = 1;
            mouse_down[index] = 1;
        } else {
            mouse_down[index] = 0;
        }
        break;
    }
    default:
        break;
    }
}

void input_read(uint32_t updates) {
    (void)updates;
    if (!input_setup) {
        memset(key_down, 0, sizeof(key_down));
        input_setup = 1;
    }
    memset(key_pressed, 0, sizeof(key_pressed));
    memset(mouse_pressed, 0, sizeof(mouse_pressed));
    mouse_move_x = 0.0f;
    mouse_move_y = 0.0f;
    SDL_Event event;
    while (SDL_PollEvent(&event)) input_handle_event(&event);
    // Menus need the pointer; the 3D view grabs it so mouse look is unbounded.
    if (draw_menu || draw_inventory) {
        SDL_ShowCursor(SDL_ENABLE);
        SDL_WM_GrabInput(SDL_GRAB_OFF);
    } else {
        SDL_ShowCursor(SDL_DISABLE);
        SDL_WM_GrabInput(SDL_GRAB_ON);
    }
}

static float input_clamp(float value, float low, float high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

void input_camera_controls(uint32_t skip) {
    (void)skip;
    if (!draw_menu) {
        if (placer_active) {
            placer_side += 0.05f * mouse_move_x;
            placer_up -= 0.05f * mouse_move_y;
            placer_side = input_clamp(placer_side, -10.0f, 10.0f);
            placer_up = input_clamp(placer_up, -10.0f, 10.0f);
            placer_front = input_clamp(placer_front, 0.0f, 20.0f);
        } else {
            // Heading wraps freely in 16 bits; pitch stops about 57 degrees either side of level.
            int32_t turn = (int32_t)(mouse_move_x * 90.0f);
            camera_rotation_xy[0] = (uint16_t)(camera_rotation_xy[0] - (uint16_t)turn);
            int32_t tilt = (int32_t)(mouse_move_y * 90.0f);
            int32_t pitch = camera_rotation_xy[1];
            pitch = invert_mouse ? pitch + tilt : pitch - tilt;
            if (pitch <= INPUT_PITCH_LOW - 1) pitch = INPUT_PITCH_LOW;
            if (pitch > INPUT_PITCH_HIGH) pitch = INPUT_PITCH_HIGH;
            camera_rotation_xy[1] = (uint16_t)pitch;
        }
    }
    if (camera_distance < 0.01f) camera_distance = 0.01f;
}

// No key or button held or pressed, the mouse still, the placer off. input_setup stays: it records
// that the key table has been cleared for SDL once.
void input_reset(void) {
    memset(key_down, 0, sizeof(key_down));
    memset(key_pressed, 0, sizeof(key_pressed));
    memset(mouse_down, 0, sizeof(mouse_down));
    memset(mouse_pressed, 0, sizeof(mouse_pressed));
    mouse_x = mouse_y = 0.0f;
    mouse_move_x = mouse_move_y = 0.0f;
    placer_front = placer_side = placer_up = 0.0f;
    placer_active = 0;
}
