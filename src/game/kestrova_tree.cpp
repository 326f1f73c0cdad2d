// kestrova_tree.cpp — the tree plopper: a trunk of bark spheres that forks into shrinking, bending
// branches, with clusters of leaf spheres at every fork and tip, written straight into the terrain
#include <cmath>

#include "foundation/random.h"
#include "game/kestrova_tree.h"
#include "terrain/voxel.h"


static void normalize_with_epsilon(vector *v) {
    float length = sqrtf(vector_dot(*v, *v) + 0.00001f);
    v->x /= length;
    v->y /= length;
    v->z /= length;
}

// A cluster of leaf spheres around pos; only the last relights, once for the whole cluster.
static void tree_leaves(const vector &pos, int leaves) {
    for (int i = 0; i < leaves; i++) {
        vector d = {random_range(-1.0f, 1.0f), random_range(-1.0f, 1.0f), random_range(-1.0f, 1.0f)};
        normalize_with_epsilon(&d);
        float distance = random_range(1.0f, 3.0f);
        voxel_sphere_xyz(pos.x + d.x * distance, pos.y + d.y * distance, pos.z + d.z * distance, 1.0f, VOXEL_LEAVES, 0,
                         i == leaves - 1 ? 1 : 0, 20.0f, 0);
    }
}

void voxel_tree_plopper(const vector *start, const vector *increment, float radius, int32_t count, int32_t branches,
                        int32_t cycles) {
    vector pos = *start;
    vector step = *increment;
    normalize_with_epsilon(&step);
    if (cycles <= 0) {
        tree_leaves(pos, 5);
        return;
    }
    for (int32_t i = 0; i < count; i++) {
        voxel_sphere_xyz(pos.x, pos.y, pos.z, radius, VOXEL_BARK, 0, 0, 20.0f, 0);
        pos.x += step.x;
        pos.y += step.y;
        pos.z += step.z;
    }
    for (int32_t b = 0; b < branches; b++) {
        vector bent = {increment->x + random_range(-0.5f, 0.5f), increment->y + random_range(-0.5f, 0.5f),
                       increment->z + random_range(-0.5f, 0.5f)};
        voxel_tree_plopper(&pos, &bent, 0.75f * radius, count, branches, cycles - 1);
    }
    tree_leaves(pos, 3);
}
