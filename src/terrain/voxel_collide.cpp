// voxel_collide.cpp — collision queries against the terrain: the block line of grid building,
// line-sphere contacts, the full line, point distances and the sphere push-out
#include <cmath>

#include "world/chunkmap.h"
#include "terrain/voxel.h"

uint8_t global_hit_spike = 0;
float global_debug_u = 0.0f;

// Radius of the sphere that stands for one solid block.
#define VOXEL_COLLIDE_BLOCK_RADIUS 0.867f
// No query walks further than this: the map's diagonal is shorter.
#define VOXEL_COLLIDE_MAX_LENGTH 8192.0f
// Queries with coordinates beyond this are far off the map and meet nothing.
#define VOXEL_COLLIDE_FAR 1000000.0f

static inline uint8_t voxel_collide_sane(const vector *v) {
    return v && std::fabs(v->x) < VOXEL_COLLIDE_FAR && std::fabs(v->y) < VOXEL_COLLIDE_FAR &&
           std::fabs(v->z) < VOXEL_COLLIDE_FAR;  // also false for NaN
}

// The record at (x, y, z) over the off-map pillar; nothing lies below the bottom layer.
static inline voxel *voxel_collide_get(int x, int y, int z) {
    if (z < 0) return nullptr;
    return chunkmap_get_xyz_off_map(x, y, z);
}

uint8_t voxel_collide_block_line(const vector *start, vector *end, vector *placer) {
    if (!voxel_collide_sane(start) || !voxel_collide_sane(end) || !placer) return 0;
    const float dx = end->x - start->x, dy = end->y - start->y, dz = end->z - start->z;
    const float length = sqrtf(dx * dx + dy * dy + dz * dz + 0.00001f);
    if (!(length < VOXEL_COLLIDE_MAX_LENGTH)) return 0;
    const float sx = dx / length * 0.25f, sy = dy / length * 0.25f, sz = dz / length * 0.25f;
    float px = start->x, py = start->y, pz = start->z + 1.0f;
    int previous[3] = {0, 0, 0};
    uint8_t have_previous = 0;

    for (float remaining = length; remaining > 0.0f; remaining -= 0.25f) {
        const int cell[3] = {(int)(px - 0.5f), (int)(py - 0.5f), (int)(pz - 0.5f)};
        if (!have_previous || cell[0] != previous[0] || cell[1] != previous[1] || cell[2] != previous[2]) {
            int solid = 0;
            for (int k = 0; k < 8; k++) {
                voxel *v = voxel_collide_get(cell[0] + (k & 1), cell[1] + ((k >> 1) & 1), cell[2] + (k >> 2));
                if (v && voxel_material(v) != 0) solid++;
            }
            if (solid >= 4) {
                const vector hit = {(float)(cell[0] + 1), (float)(cell[1] + 1), (float)(cell[2] + 1)};
                int axis = 0;
                if (have_previous && cell[0] == previous[0]) axis = (cell[1] != previous[1]) ? 1 : 2;
                const float step[3] = {sx, sy, sz};
                // One block back towards the start along the axis the walk crossed.
                const float back = step[axis] >= 0.0f ? -1.0f : 1.0f;
                *end = hit;
                *placer = hit;
                if (axis == 0) placer->x += back;
                if (axis == 1) placer->y += back;
                if (axis == 2) placer->z += back;
                return 1;
            }
        }
        previous[0] = cell[0];
        previous[1] = cell[1];
        previous[2] = cell[2];
        have_previous = 1;
        px += sx;
        py += sy;
        pz += sz;
    }
    return 0;
}

uint8_t voxel_collide_line_sphere(const vector *start, vector *end, const vector *center, float radius,
                                  vector *normal) {
    if (!start || !end || !center) return 0;
    // Worked in double precision from the start's offset to the centre: far from the origin the
    // expanded form |c|² + |s|² − 2s·c cancels away most of its digits.
    const double dx = (double)end->x - start->x, dy = (double)end->y - start->y, dz = (double)end->z - start->z;
    const double ox = (double)start->x - center->x, oy = (double)start->y - center->y,
                 oz = (double)start->z - center->z;
    const double a = dx * dx + dy * dy + dz * dz;
    const double b = 2.0 * (dx * ox + dy * oy + dz * oz);
    const double k = ox * ox + oy * oy + oz * oz - (double)radius * radius;
    const double discriminant = b * b - 4.0 * a * k;
    if (!(discriminant > 0.0)) return 0;
    const double root = sqrt(discriminant);
    const double u1 = (-b - root) / (2.0 * a), u2 = (-b + root) / (2.0 * a);
    double u = u1 < u2 ? u1 : u2;
    const double larger = u1 < u2 ? u2 : u1;
    if (u < 0.0 && larger > 0.0) u = 0.0;  // the start is inside
    global_debug_u = (float)u;
    if (!(u > -1e-12 && u <= 1.0)) return 0;
    const double ex = start->x + dx * u, ey = start->y + dy * u, ez = start->z + dz * u;
    end->x = (float)ex;
    end->y = (float)ey;
    end->z = (float)ez;
    if (normal) {
        const double nx = ex - center->x, ny = ey - center->y, nz = ez - center->z;
        const double length = sqrt(nx * nx + ny * ny + nz * nz + 0.00001);
        normal->x = (float)(nx / length);
        normal->y = (float)(ny / length);
        normal->z = (float)(nz / length);
    }
    return 1;
}

uint8_t voxel_collide_line(const vector *start, vector *end, int x, int y, int z) {
    const voxel *v = voxel_collide_get(x, y, z);
    if (!v || voxel_material(v) == 0) return 0;
    vector center;
    if (voxel_is_single(v)) {
        center = {(float)x, (float)y, (float)z};
        voxel_add_marker_offset_xyz(v, &center);
        center.x -= VOXEL_COLLIDE_BLOCK_RADIUS * v->nx;
        center.y -= VOXEL_COLLIDE_BLOCK_RADIUS * v->ny;
        center.z -= VOXEL_COLLIDE_BLOCK_RADIUS * v->nz;
    } else {
        center = {(float)x + 0.5f, (float)y + 0.5f, (float)z + 0.5f};
    }
    return voxel_collide_line_sphere(start, end, &center, VOXEL_COLLIDE_BLOCK_RADIUS, nullptr);
}

uint8_t voxel_collide_full_line(const vector *start, vector *end) {
    if (!voxel_collide_sane(start) || !voxel_collide_sane(end)) return 0;
    const float dx = end->x - start->x, dy = end->y - start->y, dz = end->z - start->z;
    const float length = sqrtf(dx * dx + dy * dy + dz * dz + 0.00001f);
    if (!(length < VOXEL_COLLIDE_MAX_LENGTH)) return 0;
    const float sx = dx / length * 0.5f, sy = dy / length * 0.5f, sz = dz / length * 0.5f;
    float px = start->x, py = start->y, pz = start->z;
    for (float remaining = length; remaining > 0.0f; remaining -= 0.5f) {
        const int x = (int)px, y = (int)py, z = (int)pz;
        if (voxel_collide_get(x, y, z) && voxel_collide_line(start, end, x, y, z)) return 1;
        px += sx;
        py += sy;
        pz += sz;
    }
    return 0;
}

float voxel_collide_point(const voxel *v, const vector *p, int x, int y, int z) {
    if (!v || !p || !voxel_is_single(v) || voxel_material(v) == 0) return -99999.0f;
    vector m = {(float)x, (float)y, (float)z};
    voxel_add_marker_offset_xyz(v, &m);
    return v->nx * (p->x - m.x) + v->ny * (p->y - m.y) + v->nz * (p->z - m.z);
}

uint8_t voxel_collide_sphere(const vector *center, float radius, vector *result, vector *result_normal) {
    global_hit_spike = 0;
    vector push = {0.0f, 0.0f, 0.0f}, normal = {0.0f, 0.0f, 1.0f};
    float deepest = 0.0f;
    uint8_t contact = 0;
    if (voxel_collide_sane(center) && std::isfinite(radius) && radius >= 0.0f) {
        const float r = radius < VOXEL_SPHERE_MAX_RADIUS ? radius : VOXEL_SPHERE_MAX_RADIUS;
        const int z0 = (int)(center->z - r) > 0 ? (int)(center->z - r) : 0;
        const int z1 = (int)(center->z + r) > 0 ? (int)(center->z + r) : 0;
        for (int y = (int)(center->y - r); y <= (int)(center->y + r); y++) {
            for (int x = (int)(center->x - r); x <= (int)(center->x + r); x++) {
                voxel *v = chunkmap_get_xyz_off_map(x, y, z0);
                int z = z0, top = global_voxel_topmost_z;
                // The layer holding the sphere's top counts too, as the columns at both ends do.
                while (v && z <= z1) {
                    const float t = voxel_collide_point(v, center, x, y, z);
                    if (r > t && t > -100.0f) {
                        contact = 1;
                        if (r - t > deepest) {
                            deepest = r - t;
                            normal = {v->nx, v->ny, v->nz};
                            global_hit_spike = voxel_material(v) == VOXEL_SPIKES ? 1 : 0;
                        }
                    }
                    v = v->next;
                    z = top;
                    if (v) top += voxel_length(v);
                }
            }
        }
    }
    if (contact) push = {normal.x * deepest, normal.y * deepest, normal.z * deepest};
    if (result) *result = push;
    if (result_normal) *result_normal = normal;
    return contact;
}
