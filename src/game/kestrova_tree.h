// kestrova_tree.h — the debug tree plopper: bark and leaves sprayed along a branching walk
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

void voxel_tree_plopper(const vector *start, const vector *increment, float radius, int32_t count, int32_t branches,
                        int32_t cycles);
