// squishy.h — squishy collision: a sphere pushed out of the voxel terrain in relaxation steps,
// reporting whether it was moved, whether it stands on something, the contact normal and the
// nearest surface block
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

struct voxel;

#define SQUISHY_MAX_CUBE 11

// Results of the latest squishy_collide call.
extern uint8_t global_squishy_adjusted;
extern uint8_t global_squishy_supported;
extern vector global_squishy_normal;
extern voxel *global_squishy_surface_voxel;

// Moves center out of the terrain; 0 when the last step still found a penetration deeper than 0.49.
uint8_t squishy_collide(vector *center, float radius, uint16_t steps, uint8_t prefer_z);
