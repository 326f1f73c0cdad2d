// voxel_check.cpp — the debug check of the pillar invariants, used by the tests after every edit
#include <cstdio>

#include "world/chunkmap.h"
#include "terrain/voxel.h"

char global_voxel_check_problem[128] = "";

static uint8_t voxel_check_fail(const char *what, int record, int z) {
    snprintf(global_voxel_check_problem, sizeof(global_voxel_check_problem), "%s (record %d at z %d)", what, record,
             z);
    return 0;
}

static inline uint8_t voxel_check_normal(float n) { return (n > -1.01f && n < 1.01f) ? 1 : 0; }

uint8_t voxel_check_pillar(const voxel *v) {
    global_voxel_check_problem[0] = 0;
    int z = 0, record = 0;
    const voxel *previous = nullptr;
    for (; v; previous = v, v = v->next, record++) {
        // A sound pillar has at most one record per block, so a longer walk means a loop.
        if (record > VOXEL_PILLAR_HEIGHT_LIMIT) return voxel_check_fail("too many records", record, z);
        uint16_t length = voxel_length(v);
        if (length == 0) return voxel_check_fail("record of length 0", record, z);
        // A normal component is kept in a file as a byte of (1 + n)·100, 0 to 200.
        if (voxel_is_single(v) && !(voxel_check_normal(v->nx) && voxel_check_normal(v->ny) && voxel_check_normal(v->nz)))
            return voxel_check_fail("normal out of range", record, z);
        // A stretch of one material longer than a run is full runs of 511 and the rest.
        if (previous && voxel_material(previous) == voxel_material(v) && voxel_length(previous) < VOXEL_MAX_RUN) {
            if (voxel_material(v) == 0) return voxel_check_fail("unmerged air records", record, z);
            if (!voxel_is_single(previous) && !voxel_is_single(v))
                return voxel_check_fail("unmerged runs", record, z);
        }
        z += length;
    }
    if (z > VOXEL_PILLAR_HEIGHT_LIMIT) return voxel_check_fail("pillar too tall", record, z);
    if (previous && voxel_material(previous) == 0 && record > 1)
        return voxel_check_fail("air record on top", record - 1, z - voxel_length(previous));
    return 1;
}

uint8_t voxel_check_pillar_xy(int x, int y) { return voxel_check_pillar(chunkmap_get_xy(x, y)); }
