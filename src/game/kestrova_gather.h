// kestrova_gather.h — gathering: where a swing digs, what a swing at something too hard shows,
// trees grown from the island's tree seeds and what a felled tree drops, and the hint line
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

struct object;

// How far ahead of the eyes a tool reaches into the ground.
#define GATHER_REACH 6.0f
// The deepest a dig may reach below the digger's feet: a pit of any number of digs is a stair of
// ledges no higher than a jump climbs (PLAYER_CLIMB_MOST).
#define GATHER_DEEPEST 4.2f
// World steps a hint stays on the screen.
#define GATHER_HINT_STEPS 150u
// Steps a freshly grown tree may take to come to rest on its ground.
#define GATHER_SETTLE_STEPS 600
// Columns beyond a tree's size whose ground it may touch while settling.
#define GATHER_SETTLE_REACH 2

void gather_set_hint(const char *text);
// The hint to show this pass, or none once it has timed out.
const char *gather_current_hint(void);

// Where a dig of the given radius lands: the crosshair's line from eye along fore meets the
// ground within reach, and the sphere's centre goes 0.8 of a radius in. 0 when nothing is in reach.
uint8_t gather_dig_point(const vector *eye, const vector *fore, float radius, vector *out);
// A dig aimed steeply down (fore more than 30 degrees below level) also opens the pit's mouth: a
// second sphere half as deep along the same line, so the pit is a funnel rather than a cave
// narrower at the top than the body. 1 and the second centre in out when it does.
uint8_t gather_dig_mouth(const vector *center, const vector *fore, float radius, vector *out);
// A swing that could not dig: a spark, a chink and a hint naming what would do.
void gather_too_hard(const object *item, const vector *at, float strength);

// The world generator's tree hook: a TREE standing on the seed's ground.
uint8_t gather_grow_tree(float x, float y, float z);
// Lets every tree of freshly generated chunk (cx, cy) come to rest on its finished ground, so
// the chunk is first saved with its trees where play would leave them; trees of its resident
// neighbours, whose ground it may have touched, are settled again.
void gather_settle_trees(int cx, int cy);
// Drops one of kind at the tree's foot, thrown a little away from it (none: no such kind).
object *gather_drop_from_tree(const object *tree, const char *kind);
// After T: clears bark and leaves out of the player's body and head room so it can walk away.
// Returns how many blocks were cleared.
int gather_free_player(void);
// Resets the hint (tests, a new loop).
void gather_reset(void);
