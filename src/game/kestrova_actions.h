// kestrova_actions.h — what the local player does with the item in hand (swing, dig, strike, build,
// spray, pick up, throw, choose, respawn)
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

struct object;

// Where material will be laid this pass, and whether it may be.
extern vector plop;
extern uint8_t plop_valid;
// The build plane: a 20 x 20 square facing the player, placed with the right button.
extern uint8_t build_plane_active;

// The mouse buttons as the world sees them this pass. A press belongs to the board (or the title)
// when either was shown as it was pressed, and stays theirs until the button is released, so a
// click on the board never reaches the world, even once the board has closed under it.
extern uint8_t actions_world_button_down[4];
// Sorts this pass's buttons between the board (board_shown: the board or the title is up) and the world.
void actions_route_buttons(uint8_t board_shown);

// Nothing is laid where the body is: a snapped cube (the wireframe marker's unit cube, with the
// five above it for a wall) or a sprayed sphere must keep clear of the body's sphere.
uint8_t actions_cube_clear_of_body(const vector *body, float body_radius, const vector *plop, uint8_t wall);
uint8_t actions_sphere_clear_of_body(const vector *body, float body_radius, const vector *center, float radius);
// Where a thrown item leaves the hand: the item's resting in-hand place (or the usual right-hand
// place when it has none), pulled back to the eyes when terrain lies between.
vector actions_hand_point(const object *item);
// The point the crosshair looks at: the terrain the line from the eyes meets within reach, else
// the point reach along it.
vector actions_crosshair_point(float reach);
// The unit direction from the hand through aim (straight ahead of the eyes when they coincide).
vector actions_throw_direction(const vector *hand, const vector *aim);

// The item in hand builds or sprays terrain material.
uint8_t actions_is_material_item(const object *o);
// The item in hand swings (an in-hand animation of more than one frame).
uint8_t actions_is_swing_item(const object *o);
// A thing thrown to do something where it lands (a bomb, a torch, a sapling, a tree): E chooses
// these as well as the swinging tools.
uint8_t actions_is_throwable(const object *o);
// R pressed: back to 5 hits at a safe place at once; no hits left: the moment of death, then the same.
void actions_respawn_check(uint8_t r_pressed);
// One world step of the swing; the strike on its middle frame.
void actions_swing_step(void);
// The strike's terrain part: digs a sphere at the reach with the item's radius; returns the amount dug.
uint16_t actions_dig(const object *item);
// The strike's object part: trees and zombis of the pile under the hit point within 5 of it.
void actions_hit_objects(float damage, const vector *hit_point);
// Q (material items) or E (swinging items and throwables): the last matching item of the pile goes into the hand.
void actions_choose_item(uint8_t q_pressed, uint8_t e_pressed);
// The plop for this pass; draws its markers when draw is set. updates is the pass's world steps.
void actions_plop_position(uint32_t updates, uint8_t draw);
// The right button places the build plane; distance and F5 drop it; draws it when draw is set.
void actions_build_plane(uint8_t draw);
// The left button with the item in hand (material, pick-up, throw, swing).
void actions_left_button(void);
// Sets o's facing, position, velocity and no-collide parent as for a throw from the hand along
// the crosshair.
void actions_launch(object *o);
// T: a tree in front of the player.
void actions_tree_key(void);
// The item in hand drawn in front of the eyes.
void actions_draw_inhand(void);
// Z and Space pressed in a pass that ran no world step are kept for the next pass that does.
void actions_keep_unstepped_presses(uint32_t updates);
// Resets everything above (tests, a new loop).
void actions_reset(void);
