// test_input.cpp — the key and mouse tables fed from events, mouse look and its clamps, the placer
#include <gtest/gtest.h>

#include <cstring>

#include "display/display.h"
#include "display/input.h"
#include "foundation/settings.h"
#include "game/kestrova.h"

namespace {

SDL_Event key_event(uint8_t type, int symbol) {
    SDL_Event e;
    memset(&e, 0, sizeof(e));
    e.type = type;
    e.key.type = type;
    e.key.keysym.sym = (SDLKey)symbol;
    return e;
}

SDL_Event button_event(uint8_t type, int button) {
    SDL_Event e;
    memset(&e, 0, sizeof(e));
    e.type = type;
    e.button.type = type;
    e.button.button = (uint8_t)button;
    return e;
}

SDL_Event motion_event(int x, int y, int xrel, int yrel) {
    SDL_Event e;
    memset(&e, 0, sizeof(e));
    e.type = SDL_MOUSEMOTION;
    e.motion.type = SDL_MOUSEMOTION;
    e.motion.x = (uint16_t)x;
    e.motion.y = (uint16_t)y;
    e.motion.xrel = (int16_t)xrel;
    e.motion.yrel = (int16_t)yrel;
    return e;
}

struct InputState : ::testing::Test {
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        input_reset();
        display_camera_reset();
        settings_reset();
    }
};

}  // namespace

TEST_F(InputState, KeyPressedAndReleasedBetweenReadsIsSeenOnceButNotHeld) {
    SDL_Event down = key_event(SDL_KEYDOWN, KEY_Q), up = key_event(SDL_KEYUP, KEY_Q);
    input_handle_event(&down);
    input_handle_event(&up);
    EXPECT_EQ(key_pressed[KEY_Q], 1);
    EXPECT_EQ(key_down[KEY_Q], 0);
}

TEST_F(InputState, HeldKeyStaysDownUntilReleased) {
    SDL_Event down = key_event(SDL_KEYDOWN, KEY_LEFT_SHIFT);
    input_handle_event(&down);
    EXPECT_EQ(key_down[KEY_LEFT_SHIFT], 1);
    SDL_Event up = key_event(SDL_KEYUP, KEY_LEFT_SHIFT);
    input_handle_event(&up);
    EXPECT_EQ(key_down[KEY_LEFT_SHIFT], 0);
    EXPECT_EQ(key_pressed[KEY_LEFT_SHIFT], 1);
}

TEST_F(InputState, KeySymbolsPastTheTableAreIgnored) {
    SDL_Event last = key_event(SDL_KEYDOWN, 322), past = key_event(SDL_KEYDOWN, 323);
    input_handle_event(&last);
    input_handle_event(&past);
    EXPECT_EQ(key_down[322], 1);
    // Nothing past the table was written: the neighbouring mouse table is untouched.
    for (int i = 0; i < INPUT_MOUSE_BUTTONS; i++) EXPECT_EQ(mouse_down[i], 0);
}

TEST_F(InputState, MouseButtonsMapToTheirIndexAndOthersAreIgnored) {
    SDL_Event right = button_event(SDL_MOUSEBUTTONDOWN, 3);
    input_handle_event(&right);
    EXPECT_EQ(mouse_down[2], 1);
    EXPECT_EQ(mouse_pressed[2], 1);
    SDL_Event release = button_event(SDL_MOUSEBUTTONUP, 3);
    input_handle_event(&release);
    EXPECT_EQ(mouse_down[2], 0);
    EXPECT_EQ(mouse_pressed[2], 1);
    SDL_Event fifth = button_event(SDL_MOUSEBUTTONDOWN, 5), zero = button_event(SDL_MOUSEBUTTONDOWN, 0);
    input_handle_event(&fifth);
    input_handle_event(&zero);
    for (int i : {0, 1, 3}) EXPECT_EQ(mouse_down[i], 0);
    SDL_Event fourth = button_event(SDL_MOUSEBUTTONDOWN, 4);
    input_handle_event(&fourth);
    EXPECT_EQ(mouse_down[3], 1);
}

TEST_F(InputState, MotionSumsRelativeMovesAndKeepsTheLastPosition) {
    SDL_Event a = motion_event(10, 20, 3, -4), b = motion_event(15, 22, 5, 2);
    input_handle_event(&a);
    input_handle_event(&b);
    EXPECT_FLOAT_EQ(mouse_move_x, 8.0f);
    EXPECT_FLOAT_EQ(mouse_move_y, -2.0f);
    EXPECT_FLOAT_EQ(mouse_x, 15.0f);
    EXPECT_FLOAT_EQ(mouse_y, 22.0f);
}

TEST_F(InputState, ClosingTheWindowEndsTheLoop) {
    SDL_Event quit;
    memset(&quit, 0, sizeof(quit));
    quit.type = SDL_QUIT;
    input_handle_event(&quit);
    EXPECT_EQ(main_loop_active, 0);
}

TEST_F(InputState, MouseLookTurnsHeadingAndPitch) {
    mouse_move_x = 10.0f;
    mouse_move_y = 5.0f;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[0], 16384 - 900);
    EXPECT_EQ(camera_rotation_xy[1], 32768 - 450);
    invert_mouse = 1;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[1], 32768);
}

TEST_F(InputState, HeadingWrapsAroundFreely) {
    camera_rotation_xy[0] = 100;
    mouse_move_x = 2.0f;  // 180 units back past zero
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[0], 65536 - 80);
    mouse_move_x = -1.0f;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[0], 10);
}

TEST_F(InputState, PitchIsHeldBetweenItsLimitsHoweverFarTheMouseMoves) {
    mouse_move_y = 100000.0f;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[1], INPUT_PITCH_LOW);
    mouse_move_y = -100000.0f;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[1], INPUT_PITCH_HIGH);
    // Just past each limit, and a move that would wrap in 16 bits.
    camera_rotation_xy[1] = 22400;
    mouse_move_y = 1.0f;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[1], 22384);
    camera_rotation_xy[1] = 32768;
    mouse_move_y = 400.0f;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[1], 22384);
}

TEST_F(InputState, MenuStopsTheCameraTurning) {
    draw_menu = 1;
    mouse_move_x = 50.0f;
    mouse_move_y = 50.0f;
    camera_distance = 0.0f;
    input_camera_controls(1);
    EXPECT_EQ(camera_rotation_xy[0], 16384);
    EXPECT_EQ(camera_rotation_xy[1], 32768);
    EXPECT_FLOAT_EQ(camera_distance, 0.01f);
}

TEST_F(InputState, PlacerMovesInsteadOfTheCameraAndIsClamped) {
    placer_active = 1;
    placer_front = 25.0f;
    mouse_move_x = 20.0f;
    mouse_move_y = 40.0f;
    input_camera_controls(1);
    EXPECT_FLOAT_EQ(placer_side, 1.0f);
    EXPECT_FLOAT_EQ(placer_up, -2.0f);
    EXPECT_FLOAT_EQ(placer_front, 20.0f);
    EXPECT_EQ(camera_rotation_xy[0], 16384);
    mouse_move_x = 1000.0f;
    mouse_move_y = -1000.0f;
    placer_front = -1.0f;
    input_camera_controls(1);
    EXPECT_FLOAT_EQ(placer_side, 10.0f);
    EXPECT_FLOAT_EQ(placer_up, 10.0f);
    EXPECT_FLOAT_EQ(placer_front, 0.0f);
}
