// voxel_shape.cpp — the triangle table of the 256 cell patterns built from 14 base patterns and
// their 32 symmetric versions, the normals of single blocks and the edge materials
#include <cmath>
#include <cstring>

#include "world/chunkmap.h"
#include "foundation/vecmath.h"
#include "foundation/random.h"
#include "terrain/voxel.h"

uint8_t voxel_geometry_triangles[256][VOXEL_GEOMETRY_ENTRY_SIZE];

void voxel_assign_replace(char *first, char *second, char to_replace, char replace_with) {
    for (char *c = first; *c; c++)
        if (*c == to_replace) *c = replace_with;
    for (char *c = second; *c; c++)
        if (*c == to_replace) *c = replace_with;
}

// Moves the corners along the cycle a -> b -> c -> d -> a, with "R" as the spare letter.
static void voxel_assign_cycle(char *first, char *second, char a, char b, char c, char d) {
    voxel_assign_replace(first, second, a, 'R');
    voxel_assign_replace(first, second, d, a);
    voxel_assign_replace(first, second, c, d);
    voxel_assign_replace(first, second, b, c);
    voxel_assign_replace(first, second, 'R', b);
}

// A quarter turn about z.
void voxel_assign_triangles_rotate_helper(char *first, char *second) {
    voxel_assign_cycle(first, second, '0', '2', '3', '1');
    voxel_assign_cycle(first, second, '4', '6', '7', '5');
}

// A quarter turn about y.
void voxel_assign_triangles_roll_helper(char *first, char *second) {
    voxel_assign_cycle(first, second, '0', '4', '5', '1');
    voxel_assign_cycle(first, second, '2', '6', '7', '3');
}

static void voxel_assign_swap(char *first, char *second, char a, char b) {
    voxel_assign_replace(first, second, a, 'R');
    voxel_assign_replace(first, second, b, a);
    voxel_assign_replace(first, second, 'R', b);
}

// A mirror in x; the mirror turns the triangles inside out, so their winding is reversed too.
void voxel_assign_triangles_flip_helper(char *first, char *second) {
    voxel_assign_swap(first, second, '0', '1');
    voxel_assign_swap(first, second, '2', '3');
    voxel_assign_swap(first, second, '4', '5');
    voxel_assign_swap(first, second, '6', '7');
    voxel_assign_backface_flip(second);
}

void voxel_assign_backface_flip(char *first) {
    // Each triangle is three corner digits and an "x": keep the first, swap the other two.
    char *c = first;
    while (c[0] && c[1] && c[2]) {
        char t = c[1];
        c[1] = c[2];
        c[2] = t;
        c += 3;
        if (*c == 'x' || *c == 'X') c++;
    }
}

static void voxel_assign_one(const char *non_empty_points, const char *triangle_points) {
    uint8_t pattern = 0;
    for (const char *c = non_empty_points; *c; c++)
        if (*c >= '0' && *c <= '7') pattern = (uint8_t)(pattern | (1u << (*c - '0')));
    uint8_t *entry = voxel_geometry_triangles[pattern];
    uint8_t count = 0;
    int index = 1;
    for (const char *c = triangle_points; *c; c++) {
        if (*c == 'x' || *c == 'X') {
            count++;
        } else if (index < VOXEL_GEOMETRY_ENTRY_SIZE) {
            entry[index++] = (uint8_t)(*c - '0');
        }
    }
    entry[0] = count;
}

void voxel_assign_triangles(char *non_empty_points, char *triangle_points, uint8_t assign_rotated_and_flipped_versions) {
    if (!assign_rotated_and_flipped_versions) {
        voxel_assign_one(non_empty_points, triangle_points);
        return;
    }
    for (int roll = 0; roll < 4; roll++) {
        for (int flip = 0; flip < 2; flip++) {
            for (int rotate = 0; rotate < 4; rotate++) {
                voxel_assign_one(non_empty_points, triangle_points);
                voxel_assign_triangles_rotate_helper(non_empty_points, triangle_points);
            }
            voxel_assign_triangles_flip_helper(non_empty_points, triangle_points);
        }
        voxel_assign_triangles_roll_helper(non_empty_points, triangle_points);
    }
}

void voxel_geometry_setup(void) {
    for (int i = 0; i < 256; i++) voxel_geometry_triangles[i][0] = 0;
    // The order matters: a later base pattern overwrites the versions of an earlier one.
    static const char *const base_patterns[14][2] = {
        {"456", "456x"},         {"4567", "457x476x"},         {"4560", "056x"},
        {"45670", "057x076x"},   {"012457", "017x074x542x521x"}, {"4567012", "172x"},
        {"456703", "053x036x"},  {"456701", "017x076x"},       {"013467", "036x147x"},
        {"12456", "241x215x256x"}, {"13456", "564x541x513x"},  {"1456", "641x615x"},
        {"1234", "123x"},        {"01356", "503x"}};
    for (const auto &base : base_patterns) {
        char points[16], triangles[32];
        strncpy(points, base[0], sizeof(points) - 1);
        points[sizeof(points) - 1] = 0;
        strncpy(triangles, base[1], sizeof(triangles) - 1);
        triangles[sizeof(triangles) - 1] = 0;
        voxel_assign_triangles(points, triangles, 1);
    }
}

// Records of the 3 x 3 x 3 block around (x, y, z), [dx + 1][dy + 1][dz + 1]; missing ones are the
// shared empty record. At the bottom the layer below is the block itself.
static void voxel_gather_neighbourhood(voxel *v, int x, int y, int z, voxel *around[3][3][3]) {
    for (int dx = -1; dx <= 1; dx++) {
        for (int dy = -1; dy <= 1; dy++) {
            for (int dz = -1; dz <= 1; dz++) {
                voxel *found;
                if (z + dz < 0)
                    found = v;
                else
                    found = chunkmap_get_xyz_off_map(x + dx, y + dy, z + dz);
                around[dx + 1][dy + 1][dz + 1] = found ? found : global_empty_voxel;
            }
        }
    }
    around[1][1][1] = v;
}

void voxel_set_normal_xyz(voxel *v, int x, int y, int z) {
    if (!v) return;
    voxel *around[3][3][3];
    voxel_gather_neighbourhood(v, x, y, z, around);

    // The same position always gets the same small jitter, so flat ground is not perfectly flat.
    uint16_t saved_random = next_random;
    next_random = (uint16_t)(y * 16 + x + z * 256);
    vector sum;
    sum.x = random_range(-1.0f, 1.0f);
    sum.y = random_range(-1.0f, 1.0f);
    sum.z = random_range(-1.0f, 1.0f);
    next_random = saved_random;

    for (int ox = 0; ox < 2; ox++) {
        for (int oy = 0; oy < 2; oy++) {
            for (int oz = 0; oz < 2; oz++) {
                voxel *corner[8];
                uint8_t pattern = 0;
                for (int c = 0; c < 8; c++) {
                    voxel *r = around[ox + (c & 1)][oy + ((c >> 1) & 1)][oz + (c < 4 ? 1 : 0)];
                    corner[c] = r;
                    if (r && voxel_material(r) != 0) pattern = (uint8_t)(pattern | (1u << c));
                }
                const uint8_t *entry = voxel_geometry_triangles[pattern];
                if (!entry[0]) continue;
                vector point[8];
                for (int c = 0; c < 8; c++) {
                    point[c].x = (float)(c & 1);
                    point[c].y = (float)((c >> 1) & 1);
                    point[c].z = c < 4 ? 1.0f : 0.0f;
                    voxel_add_marker_offset_xyz(corner[c] ? corner[c] : global_empty_voxel, &point[c]);
                }
                for (int t = 0; t < entry[0]; t++) {
                    const vector &a = point[entry[1 + t * 3]];
                    const vector &b = point[entry[2 + t * 3]];
                    const vector &c = point[entry[3 + t * 3]];
                    vector u = {b.x - a.x, b.y - a.y, b.z - a.z};
                    vector w = {c.x - a.x, c.y - a.y, c.z - a.z};
                    vector n = vector_cross(u, w);
                    float length = sqrtf(vector_dot(n, n) + 0.00001f);
                    sum.x += n.x / length;
                    sum.y += n.y / length;
                    sum.z += n.z / length;
                }
            }
        }
    }
    vector_normalize(&sum);
    v->nx = sum.x;
    v->ny = sum.y;
    v->nz = sum.z;
    if (v->nz > 0.999f) {
        v->nx = 0.01f;
        v->ny = 0.0f;
        v->nz = 0.99f;
    } else if (v->nz < -0.999f) {
        v->nx = 0.01f;
        v->ny = 0.0f;
        v->nz = -0.99f;
    }
}

uint8_t voxel_edge_xyz(int x, int y, int z) {
    if (z < 0) return 0;
    voxel *v = chunkmap_get_xyz(x, y, z);
    if (!v || !voxel_is_single(v)) return 0;
    uint8_t material = voxel_material(v);
    if (material != VOXEL_GRASS && material != VOXEL_SAND && material != VOXEL_STONE && material != VOXEL_SWAMP)
        return 0;
    uint8_t family = voxel_material_parent[material];
    uint8_t new_material = family;
    for (int dx = -1; dx <= 1; dx++) {
        for (int dy = -1; dy <= 1; dy++) {
            for (int dz = -1; dz <= 1; dz++) {
                if (!dx && !dy && !dz) continue;
                // Below the bottom layer there is nothing to touch.
                voxel *n = z + dz < 0 ? nullptr : chunkmap_get_xyz(x + dx, y + dy, z + dz);
                if (!n) n = global_empty_voxel;
                if (!n || !voxel_is_single(n)) continue;
                uint8_t other = voxel_material_parent[voxel_material(n)];
                if (other != family && other != VOXEL_NO_FAMILY) new_material = (uint8_t)(family + 1);
            }
        }
    }
    if (new_material == material) return 0;
    v->data = (uint16_t)((v->data & ~VOXEL_MATERIAL_MASK) | (new_material & VOXEL_MATERIAL_MASK));
    return 1;
}
