// object_update.h — one world step of the objects: countdowns, behaviours (debris, dust, bombs,
// zombis, trees), sphere physics against the terrain and each other, light tracking; the local
// player's controls and swimming; the object under the crosshair; burning blocks' smoke and flame
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"
#include "objects/object.h"

// All the simulation knows of the keyboard and the camera: the game shell fills it before every
// world step (and before the crosshair's object is looked for).
struct player_command {
    uint8_t forward, back, left, right;  // the walking keys held
    uint8_t run;                         // walking at double speed
    uint8_t jump;                        // a jump asked for this pass; the jump that uses it clears it
    uint8_t swim_up;                     // the stroke upwards held, while swimming
    vector fore, side, up;               // where the player looks: the view's axes
    vector target;                       // the player's eyes as last seen: zombis go for it
};
extern player_command global_player_command;
// Steps of screen shake the last world step asked for (a blast, a blow that landed); 0 for none.
// The game shell turns it into the shake and clears it.
#define OBJECT_SHAKE_STEPS 20
extern uint16_t global_object_shake;

struct sound_effect;
struct voxel;

// Walk-bob phase and strength, driven by the player's controls.
extern uint32_t local_walk_count;
extern float local_walk_fade;
// Steps left of the red hit flash; a zombi's blow only hurts while it is 0.
extern uint8_t local_player_hit_timer;
// Steps left of the grace after a respawn, in which nothing hurts the local player; the game shell
// sets it and counts it down.
extern uint16_t local_player_grace_timer;
// 1 while nothing may hurt the local player: during the grace, while the inventory board or the
// title is open, and once it has no hits left (it is dying).
uint8_t object_local_player_protected(void);
// Played by the simulation (none: silent).
extern sound_effect *jump_sound, *bomb_sound;

// The blow frame of a zombi's attack.
#define OBJECT_ZOMBI_BLOW_FRAME 135
// A zombi walks toward the player only from this near (columns); farther off it stands and sways.
#define OBJECT_ZOMBI_NOTICE_DISTANCE 24.0f
// Steps a zombi burns in the daylight before it falls apart.
#define OBJECT_ZOMBI_BURN_STEPS 90
// A weight at or above this makes an object immovable by others.
#define OBJECT_IMMOVABLE_WEIGHT 9999.0f
// Burning blocks remembered between two collections.
#define OBJECT_MAX_BURNING 256

// Updates every object of the size x size chunks around column point (centerx, centery).
void object_update_all(float centerx, float centery, int size);
// 1 when every chunk within the object's reach (its size and 8 blocks) is resident; an object
// is stepped only then and otherwise stays still.
uint8_t object_surroundings_resident(const object *o);
// One step of one object; 1 if it still exists, 0 if it was destroyed (none: 0).
uint8_t object_update(object *o);
// Lets a static-sphere object fall and bounce on the terrain alone (no behaviour, countdown or
// other objects) until a step from rest leaves it exactly where it was, at most max_steps; its
// light then follows its surroundings to where steps would leave it. 1 when it came to rest.
uint8_t object_settle(object *o, int max_steps);
// Pushes two full-collide objects apart (each pair once).
void object_collide(object *q, object *u);
// Terrain light for an object at a point, 0..255.
uint8_t object_get_light(float x, float y, float z);
void object_determine_inworld_selected_object(void);
void object_local_player_controls(void);
// The walk counters, the player's hit and grace timers, the burning blocks, the shake asked for
// and the player's command and climb back to their start.
void object_update_reset(void);
// The player's command and climb back to their start (part of object_update_reset).
void object_player_reset(void);

// 1 when the local player swims: its body is in open water (below the ocean level, nothing solid
// above it in its column) and either its eyes are under water or its feet do not reach the bottom
// (OBJECT_WADING_REACH of its radius below its lowest point). It then floats, Space swims up and
// the tools rest. Standing in shallow water is wading, not swimming.
#define OBJECT_WADING_REACH 0.4f
uint8_t object_local_player_swimming(void);
// 1 when the local player's eye point is in open water.
uint8_t object_local_player_eye_under_water(void);
// 1 when the point is below the ocean level and its column has nothing solid at or above it.
uint8_t object_point_in_water(float x, float y, float z);

// Burning blocks in view, collected once per drawn frame from the columns the terrain models are
// drawn for (within radius of the eye, not well behind the view along fore); each world step gives
// every one of them a puff of smoke and a flame, so the amount does not depend on the frame rate.
void object_collect_burning_blocks(float centerx, float centery, const vector *eye, const vector *fore,
                                   float radius);
void object_note_burning_block(float x, float y, float z);
void object_burning_step(void);
extern uint16_t global_burning_count;
// Where a column's single block shows its terrain model: the marker point, the block's normal and
// the tilt axis (up x normal, normalised).
void object_terrain_model_place(const voxel *v, int x, int y, int base_z, vector *point, vector *normal,
                                vector *axis);
