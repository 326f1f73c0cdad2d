// squishy.cpp — squishy collision of a sphere against the voxel terrain: the cells around the sphere
// are sampled once, then relaxation steps with a growing radius push the centre out
#include "models/squishy.h"

#include <cmath>

#include "terrain/voxel.h"
#include "world/chunkmap.h"

uint8_t global_squishy_adjusted;
uint8_t global_squishy_supported;
vector global_squishy_normal;
voxel *global_squishy_surface_voxel;

// The solid cells of the latest cube, in z, y, x order: the record and the point it pushes from.
struct squishy_cell {
    const voxel *record;
    vector point;
    uint8_t surface;  // a single block: pushes like a disc
};
static squishy_cell solid_cells[SQUISHY_MAX_CUBE * SQUISHY_MAX_CUBE * SQUISHY_MAX_CUBE];
// The whole cube by [z][y][x], filled column by column and then scanned in z, y, x order.
static const voxel *cube_record[SQUISHY_MAX_CUBE][SQUISHY_MAX_CUBE][SQUISHY_MAX_CUBE];

// The record covering each cell of one column of the cube, walking the pillar upwards once.
static void squishy_fill_column(int cx, int cy, int wx, int wy, int sz, int n) {
    int z = 0;
    for (; z < n && sz + z < 0; z++) cube_record[z][cy][cx] = global_off_map_voxel;
    if (z >= n) return;
    const voxel *v = chunkmap_get_xyz_off_map(wx, wy, sz + z);
    int remaining = 0;
    if (v) {
        remaining = (int)global_voxel_topmost_z - (sz + z);
        if (remaining < 1) remaining = 1;
    }
    for (; z < n; z++) {
        if (v && remaining == 0) {
            v = v->next;
            if (v) remaining = voxel_length(v);
            // A run of length 0 would stall the walk; it covers one cell.
            if (v && remaining < 1) remaining = 1;
        }
        cube_record[z][cy][cx] = v ? v : global_empty_voxel;
        if (v) remaining--;
    }
}

// One contact: the deepest overlap so far, the push away from the contact and its normal.
static inline void squishy_add_push(const vector &d, float d2, float radius, const vector &n, float *depth,
                                    vector *push, vector *normal) {
    float candidate = radius - sqrtf(d2);
    if (candidate > *depth) *depth = candidate;
    push->x += d.x;
    push->y += d.y;
    push->z += d.z;
    normal->x += n.x;
    normal->y += n.y;
    normal->z += n.z;
}

// Gathers the solid cells of the cube and their points; returns how many.
static int squishy_gather(int sx, int sy, int sz, int n) {
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) squishy_fill_column(x, y, sx + x, sy + y, sz, n);
    int count = 0;
    for (int z = 0; z < n; z++)
        for (int y = 0; y < n; y++)
            for (int x = 0; x < n; x++) {
                const voxel *v = cube_record[z][y][x];
                if (!v || voxel_material(v) == 0) continue;
                squishy_cell *cell = &solid_cells[count++];
                cell->record = v;
                cell->point = {(float)(sx + x), (float)(sy + y), (float)(sz + z)};
                cell->surface = voxel_is_single(v);
                if (sz + z < 0 || !voxel_is_single(v)) {
                    cell->point.x += 0.5f;
                    cell->point.y += 0.5f;
                    cell->point.z += 0.5f;
                } else {
                    voxel_add_marker_offset_xyz(v, &cell->point);
                }
            }
    return count;
}

// A cube corner as an integer cell, pinned so a wild centre cannot overflow the conversion.
static int squishy_cell_coordinate(float value) {
    if (!(value > -100000.0f)) return -100000;
    if (value > 100000.0f) return 100000;
    return (int)value;
}

uint8_t squishy_collide(vector *center, float radius, uint16_t steps, uint8_t prefer_z) {
    global_squishy_supported = 0;
    global_squishy_adjusted = 0;
    global_squishy_surface_voxel = nullptr;
    global_squishy_normal = {0.0f, 0.0f, 0.1f};
    if (!center || !std::isfinite(center->x) || !std::isfinite(center->y) || !std::isfinite(center->z) ||
        !std::isfinite(radius)) {
        global_squishy_normal = {0.0f, 0.0f, 0.1f / sqrtf(0.01f + 0.00001f)};
        return 1;
    }

    int n = radius < 0.0f ? 1 : 2 * (int)floorf(1.0f + (radius > 100.0f ? 100.0f : radius)) + 1;
    if (n > SQUISHY_MAX_CUBE) n = SQUISHY_MAX_CUBE;
    int half = n / 2;
    int sx = squishy_cell_coordinate(center->x - (float)half);
    int sy = squishy_cell_coordinate(center->y - (float)half);
    int sz = squishy_cell_coordinate(center->z - (float)half);
    int count = squishy_gather(sx, sy, sz, n);

    vector normal = {0.0f, 0.0f, 0.1f};
    float nearest = 1.0e12f;
    uint8_t collided = 0;
    float depth = 0.0f;
    for (uint32_t i = 0; i < steps; i++) {
        float r = ((float)(i + 1) * radius / (float)steps + radius) / 2.0f;
        float r2 = r + 0.5f;
        vector push = {0.0f, 0.0f, 0.0f};
        depth = 0.0f;
        collided = 0;
        for (int c = 0; c < count; c++) {
            const squishy_cell *cell = &solid_cells[c];
            const voxel *v = cell->record;
            if (!cell->surface) {
                // Full blocks push like spheres around their cell centres.
                vector d = {center->x - cell->point.x, center->y - cell->point.y, center->z - cell->point.z};
                float d2 = vector_dot(d, d);
                if (d2 < r2 * r2) {
                    collided = 1;
                    squishy_add_push(d, d2, r2, d, &depth, &push, &normal);
                }
            } else {
                // Surface blocks push like small discs around their surface point.
                const vector &m = cell->point;
                vector N = {v->nx, v->ny, v->nz};
                vector cm = {center->x - m.x, center->y - m.y, center->z - m.z};
                float s = vector_dot(cm, N);
                vector p = {center->x - s * N.x, center->y - s * N.y, center->z - s * N.z};
                vector pm = {p.x - m.x, p.y - m.y, p.z - m.z};
                float pm2 = vector_dot(pm, pm);
                if (pm2 > 0.25f) {
                    float scale = 0.5f / sqrtf(pm2 + 0.00001f);
                    p = {m.x + pm.x * scale, m.y + pm.y * scale, m.z + pm.z * scale};
                }
                vector d = {center->x - p.x, center->y - p.y, center->z - p.z};
                float d2 = vector_dot(d, d);
                if (d2 < nearest) {
                    global_squishy_surface_voxel = (voxel *)v;
                    nearest = d2;
                }
                if (d2 < r * r) {
                    collided = 1;
                    squishy_add_push(d, d2, r, N, &depth, &push, &normal);
                }
            }
        }
        if (collided) {
            global_squishy_adjusted = 1;
            float length = sqrtf(vector_dot(push, push) + 0.00001f);
            push = {push.x / length, push.y / length, push.z / length};
            if (prefer_z && i + 1 == steps) {
                if (push.z > 0.5f)
                    push = {0.0f, 0.0f, 1.0f};
                else if (push.z < -0.5f)
                    push = {0.0f, 0.0f, -1.0f};
            }
            if (push.z > 0.5f) global_squishy_supported = 1;
            center->x += push.x * depth;
            center->y += push.y * depth;
            center->z += push.z * depth;
        }
    }
    float length = sqrtf(vector_dot(normal, normal) + 0.00001f);
    global_squishy_normal = {normal.x / length, normal.y / length, normal.z / length};
    return (collided && depth > 0.49f) ? 0 : 1;
}
