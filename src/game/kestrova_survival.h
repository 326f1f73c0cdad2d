// kestrova_survival.h — the rules of a survival night: dying and the moment of death, respawning
// at a safe place with a grace, the places noted as safe by day, the shape of the day's light, the
// C key's quick clock and the overlay that shows the time of day, death and grace
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

// A respawn lands at least this far (columns, across the ground) from every zombi.
#define SURVIVAL_ZOMBI_DISTANCE 30.0f
// How far around a wanted place the safe-place search looks (columns).
#define SURVIVAL_SEARCH_RADIUS 160
// Steps of the grace after a respawn (about five seconds) and of the moment of death (two).
#define SURVIVAL_GRACE_STEPS 300
#define SURVIVAL_DEATH_STEPS 120
// While C is held each world step moves the clock this many steps more: a day of 65536 steps
// then passes in about 44 seconds, dusk in about 2.5.
#define SURVIVAL_FAST_CLOCK_STEPS 23
// The sun level the night settles at: moonlight, dark but enough to find one's way; natural
// zombis come only at 49 or less.
#define SURVIVAL_NIGHT_SUN_LEVEL 48
// Dawn brightens the last part of the night, dusk darkens the last part of the day (in day phase).
#define SURVIVAL_DAWN_PHASE 0.03f
#define SURVIVAL_DUSK_PHASE 0.47f
// From here to nightfall the clock reads "Dusk".
#define SURVIVAL_DUSK_WARNING_PHASE 0.44f

// Steps left of the moment of death (0 while alive).
extern uint16_t survival_death_timer;
// The last place the player stood safely by day, once there has been one.
extern vector survival_safe_place;
extern uint8_t survival_have_safe_place;
// Deaths and respawns in this run.
extern uint32_t survival_deaths;

// 1 when a player may stand on column (x, y): the column is resident, its top is dry ground above
// the sea with no fluid on it, and no live zombi stands within distance of it. Leaves the standing
// point (column centre, on its top) in *place when given.
uint8_t survival_place_is_safe(int x, int y, float distance, vector *place);
// The safe column nearest to (x, y) within SURVIVAL_SEARCH_RADIUS, searched ring by ring; 1 and
// its standing point in *place when one was found.
uint8_t survival_find_safe_place(float x, float y, float distance, vector *place);
// Where a respawn puts the player: near the last safe place of the day, else near the world's start
// column, else near where it is now; 0 when none of them has a safe column around it.
uint8_t survival_respawn_place(vector *place);
// Back to 5 hits at the respawn place with the grace; logs where, and every zombi around.
void survival_respawn(void);
// R pressed, or no hits left: R respawns at once, death first plays its moment.
void survival_respawn_check(uint8_t r_pressed);
// One world step: the quick clock, the grace and death countdowns, the safe place of the day, dawn.
void survival_step(void);
// The camera during the moment of death: pulled back and up from the body.
void survival_camera(void);
// The wanted sun level at a day phase (0..1, above 0.5 night).
uint8_t survival_desired_sun_level(float phase);
// The clock of a day phase as hours and minutes (phase 0 is 06:00, nightfall 18:00), and its word.
void survival_clock(float phase, int *hours, int *minutes, const char **word);
// The overlay: the clock, the death and grace captions and the darkening of death.
void survival_draw_overlay(void);
void survival_reset(void);
