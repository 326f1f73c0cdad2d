// voxel_light.cpp — sunlight and glow of single blocks: a bounded breadth-first flood through the
// open blocks of a 13 x 13 x 13 box around the block, and the relight of a sphere
#include <cmath>

#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "terrain/voxel.h"

uint8_t global_sun_light_level = 255;
float global_day_night_cycle = 0.0f;

#define FLOOD_CENTRE 6
#define FLOOD_PASSES 12

// Scratch of one relight; fixed so a relight never allocates.
static uint8_t flood_visited[VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE];
static uint8_t flood_solid[VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE];
static float flood_light[VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE];
static float flood_glow[VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE][VOXEL_FLOOD_SIZE];
// Two queues of (i, j, k) triples, used alternately.
static int flood_tracer_data_block[2 * VOXEL_FLOOD_QUEUE * 3];

static inline float flood_clamp(float value) {
    if (value < 0.0f) return 0.0f;
    if (value > 1.0f) return 1.0f;
    return value;
}

// Fills the box around (x, y, z), cell [i][j][k] = block (x - 6 + i, y - 6 + j, z - 6 + k).
// Returns 1 if any cell glows.
static uint8_t voxel_flood_fill_box(int x, int y, int z) {
    uint8_t glow_found = 0;
    for (int j = 0; j < VOXEL_FLOOD_SIZE; j++) {
        for (int i = 0; i < VOXEL_FLOOD_SIZE; i++) {
            int k = 0;
            int cell_z = z - FLOOD_CENTRE;
            for (; k < VOXEL_FLOOD_SIZE && cell_z < 0; k++, cell_z++) {
                flood_visited[i][j][k] = 1;
                flood_solid[i][j][k] = 1;
                flood_light[i][j][k] = 0.0f;
                flood_glow[i][j][k] = 0.0f;
            }
            // Walk the pillar once, bottom-up, alongside the cells.
            const voxel *v = chunkmap_get_xy_off_map(x - FLOOD_CENTRE + i, y - FLOOD_CENTRE + j);
            int record_top = v ? voxel_length(v) : 0;
            for (; k < VOXEL_FLOOD_SIZE; k++, cell_z++) {
                while (v && cell_z >= record_top) {
                    v = v->next;
                    if (v) record_top += voxel_length(v);
                }
                flood_visited[i][j][k] = 0;
                if (v) {
                    uint8_t material = voxel_material(v);
                    flood_light[i][j][k] = 0.0f;
                    flood_glow[i][j][k] = voxel_material_glow[material];
                    flood_solid[i][j][k] = material != 0 ? 1 : 0;
                } else {
                    flood_light[i][j][k] = 1.0f;
                    flood_glow[i][j][k] = 0.0f;
                    flood_solid[i][j][k] = 0;
                }
                if (flood_glow[i][j][k] > 0.01f) glow_found = 1;
            }
        }
    }
    return glow_found;
}

void voxel_set_light_xyz(int x, int y, int z, uint8_t do_glow_calculation) {
    if (z < 0) return;
    voxel *v = chunkmap_get_xyz(x, y, z);
    if (!v || !voxel_is_single(v)) return;
    voxel_set_normal_xyz(v, x, y, z);

    float best_light = 0.0f, best_glow = 0.0f;
    uint8_t flood = 1;
    if (!v->next) {
        // The top block of its pillar sees the sky.
        best_light = 1.0f;
        if (!do_glow_calculation) flood = 0;
    }
    if (flood) {
        if (!voxel_flood_fill_box(x, y, z)) do_glow_calculation = 0;
        int *queue[2] = {flood_tracer_data_block, flood_tracer_data_block + VOXEL_FLOOD_QUEUE * 3};
        int count[2] = {0, 0};
        int next = 0;
        queue[next][0] = FLOOD_CENTRE;
        queue[next][1] = FLOOD_CENTRE;
        queue[next][2] = FLOOD_CENTRE;
        count[next] = 1;
        flood_visited[FLOOD_CENTRE][FLOOD_CENTRE][FLOOD_CENTRE] = 1;
        flood_solid[FLOOD_CENTRE][FLOOD_CENTRE][FLOOD_CENTRE] = 0;  // the block itself lets the flood out
        uint8_t done = 0;
        for (int pass = 0; pass < FLOOD_PASSES && !done; pass++) {
            int current = next;
            next = 1 - next;
            count[next] = 0;
            if (count[current] > VOXEL_FLOOD_QUEUE - 1) log_message(1, "Not enough flood tracers...");
            for (int q = 0; q < count[current] && !done; q++) {
                int ci = queue[current][q * 3], cj = queue[current][q * 3 + 1], ck = queue[current][q * 3 + 2];
                float light = (float)(FLOOD_PASSES - pass) * flood_light[ci][cj][ck] / (float)FLOOD_PASSES;
                if (light > best_light) best_light = light;
                if (flood_light[ci][cj][ck] > 0.99f && !do_glow_calculation) {
                    done = 1;  // the nearest sky has been found
                    break;
                }
                if (flood_glow[ci][cj][ck] > 0.01f) {
                    float di = (float)(ci - FLOOD_CENTRE), dj = (float)(cj - FLOOD_CENTRE), dk = (float)(ck - FLOOD_CENTRE);
                    float d = sqrtf(di * di + dj * dj + dk * dk);
                    float g = (6.5f - d) / 6.5f * flood_glow[ci][cj][ck];
                    if (g > best_glow) best_glow = g;
                }
                if (flood_solid[ci][cj][ck]) continue;  // reached, but does not spread
                static const int step[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
                for (const auto &s : step) {
                    int ni = ci + s[0], nj = cj + s[1], nk = ck + s[2];
                    if (ni < 0 || nj < 0 || nk < 0 || ni >= VOXEL_FLOOD_SIZE || nj >= VOXEL_FLOOD_SIZE ||
                        nk >= VOXEL_FLOOD_SIZE)
                        continue;
                    if (flood_visited[ni][nj][nk] || count[next] >= VOXEL_FLOOD_QUEUE) continue;
                    flood_visited[ni][nj][nk] = 1;
                    int *slot = queue[next] + count[next] * 3;
                    slot[0] = ni;
                    slot[1] = nj;
                    slot[2] = nk;
                    count[next]++;
                }
            }
        }
    }
    v->sunlight = (uint8_t)(127.0f * flood_clamp(best_light));
    v->glowlight = (uint8_t)((uint8_t)(96.0f * flood_clamp(voxel_material_glow[voxel_material(v)] + best_glow)) + 1);
}

void voxel_relight_sphere_xyz(float centerx, float centery, float centerz, float radius, uint8_t do_glow_calculation) {
    // A hostile centre or radius must not turn into an undefined conversion or an endless box.
    if (!std::isfinite(centerx) || !std::isfinite(centery) || !std::isfinite(centerz) || !std::isfinite(radius))
        return;
    if (radius > VOXEL_SPHERE_MAX_RADIUS + 8.0f) radius = VOXEL_SPHERE_MAX_RADIUS + 8.0f;
    float r = radius + 1.0f;
    int top = voxel_edit_box_int(centerz + r), bottom = voxel_edit_box_int(centerz - r);
    if (top < 0) top = 0;
    if (bottom < 0) bottom = 0;
    if (top > VOXEL_PILLAR_HEIGHT_LIMIT) top = VOXEL_PILLAR_HEIGHT_LIMIT;
    int low_y = voxel_edit_box_int(centery - r), high_y = voxel_edit_box_int(centery + r);
    int low_x = voxel_edit_box_int(centerx - r), high_x = voxel_edit_box_int(centerx + r);
    for (int z = top; z >= bottom; z--) {
        for (int y = low_y; y <= high_y; y++) {
            for (int x = low_x; x <= high_x; x++) {
                float dx = (float)x + 0.5f - centerx, dy = (float)y + 0.5f - centery, dz = (float)z + 0.5f - centerz;
                if (dx * dx + dy * dy + dz * dz >= r * r) continue;
                voxel_set_light_xyz(x, y, z, do_glow_calculation);
                voxel_edge_xyz(x, y, z);
            }
        }
    }
}

void voxel_light_reset(void) {
    global_sun_light_level = 255;
    global_day_night_cycle = 0.0f;
}
