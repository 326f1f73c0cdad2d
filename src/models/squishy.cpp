// squishy.cpp — squishy collision of a sphere against the voxel terrain
#include "models/squishy.h"

uint8_t global_squishy_adjusted;
uint8_t global_squishy_supported;
vector global_squishy_normal;
voxel *global_squishy_surface_voxel;

// PLACEHOLDER: the collision comes next; until then nothing is moved.
uint8_t squishy_collide(vector *center, float radius, uint16_t steps, uint8_t prefer_z) {
    (void)center;
    (void)radius;
    (void)steps;
    (void)prefer_z;
    global_squishy_adjusted = 0;
    global_squishy_supported = 0;
    global_squishy_surface_voxel = nullptr;
    global_squishy_normal = {0.0f, 0.0f, 1.0f};
    return 1;
}
