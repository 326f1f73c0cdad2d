// kestrova.h — the game shell's settings, loaded assets and main-loop state
#pragma once
#include <csignal>
#include <cstdint>

#include "foundation/settings.h"
#include "foundation/timer.h"
#include "foundation/vecmath.h"
#include "objects/object_draw.h"
#include "objects/object_update.h"

// Metal names selected by an object's material byte (their textures are drawn with the objects).
extern char metal_name[255][32];

// Sounds and music tracks loaded at start-up (none when a file is missing or music is off);
// chink_sound, the crafting sound, is declared with the inventory; jump_sound and bomb_sound with
// the simulation.
struct sound_effect;
extern sound_effect *swipe_sound, *rubble_sound, *grimstone_sound, *chop_sound;
extern sound_effect *day_music, *night_music, *inventory_music, *underground_music, *title_music;

// The main loop and the counters it drives.
// Set from a signal handler (interrupt or terminate); the loop then ends as on shift-escape.
extern volatile sig_atomic_t global_quit_signal;
extern uint8_t inventory_lowered;
extern float inventory_fade;
extern uint32_t local_swing_count, local_swing_end;
void main_loop(void);
void main_loop_reset(void);

// Day and night: the clock's phase, the sun level and the five music tracks.
extern uint8_t global_desired_sun_light_level;
extern uint8_t day_music_channel, night_music_channel, inventory_music_channel, underground_music_channel,
    title_music_channel;
extern int32_t global_zombi_count;
void daynight_reset(void);
void daynight_sun_level(void);
void music_adjust_volume(void);
// The underground share d of the music for a player at z under ground of the given height: 0 above
// it, 0.1 per block below, 1 from ten blocks down; and that share for the local player (0 without one).
float music_depth_term(float ground_height, float player_z);
float music_depth_below_surface(void);
// The wanted volumes of the day, night, inventory, underground and title tracks; depth is 0..1
// (1 = ten blocks or more below the generated surface).
void music_desired_volumes(uint8_t sun_level, float depth, uint8_t inventory_open, uint8_t menu_shown,
                           uint8_t desired[5]);
// One world step's easing of the inventory screen towards open, lowered or closed.
float main_loop_inventory_fade_step(float fade, uint8_t open, uint8_t lowered);
// One terrain band of a frame, drawn far to near.
struct main_loop_band {
    int min_radius;
    int max_radius;
    uint8_t backdrop;
    uint8_t mega;
};
// Fills the bands of one frame for the display and background distances; returns how many.
uint8_t main_loop_terrain_bands(uint8_t under_water, int display_distance, int background_distance,
                                main_loop_band bands[4]);
uint8_t main_loop_menu_closing_key_held(void);
// Enter (either one) or a mouse click this pass closes the title overlay too.
uint8_t main_loop_menu_closing_press(void);
uint8_t main_loop_shift_held(void);
// The player's command for the simulation from the keys held and pressed and the camera: W, S, A
// and D walk, shift runs, Space pressed jumps and held swims up; the look and the eyes are the
// camera's axes and target.
void main_loop_fill_player_command(player_command *command);
// The local player's part of a world step: the command filled, the controls run if the player may
// move, and a Space press a jump used up cleared.
void main_loop_player_step(uint8_t may_move);
// The shake the world step asked for, handed to the camera.
void main_loop_take_shake(void);
// The start column, and the camera target's height there until the player exists.
#define MAIN_LOOP_START_X 1600.0f
#define MAIN_LOOP_START_Y 1600.0f
#define MAIN_LOOP_START_Z 100.0f
// The top of the start column, found once the world around it is resident.
extern float global_start_ground_z;

// The player kept with the world (kestrova_player.cpp). The column the world is brought in
// around at start-up: the start column, or the saved player's; and the world step the loop starts
// at (the saved time of day).
extern float global_start_x, global_start_y;
extern uint32_t global_start_world_frame;
// World steps between two saves of the player in play (about two minutes); saves that failed.
#define MAIN_PLAYER_SAVE_STEPS 7500u
extern uint32_t global_player_save_interval;
extern uint32_t global_player_failed_saves;
// Reads the world's player file (once the world's seed is set up).
void main_read_player_file(void);
// The local player: the saved one on its spot or the free ground above it, else a fresh one at
// the start column with the starting inventory.
void main_spawn_player(void);
void main_fill_starting_inventory(void);
// Saves the local player now; 1 on success.
uint8_t main_save_player(void);
// Counts world steps of play and saves the player when global_player_save_interval have passed.
void main_player_save_step(uint32_t updates);

int main_initialize(void);
void load_setup(const char *filename);
void log_banner(void);
// The controls the log lists at start and the title overlay shows: keys and what they do.
struct controls_line {
    const char *keys;
    const char *action;
};
#define CONTROLS_COUNT 13
extern const controls_line controls_list[CONTROLS_COUNT];
void log_controls(void);
void log_credits(void);
void log_release_history(void);
