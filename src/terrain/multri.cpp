// multri.cpp — the cached terrain triangles: creating and freeing lists, replaying them with
// fresh shading, and drawing a near pillar live while its mesh is cached
#include "terrain/multri.h"

#include <SDL_opengl.h>

#include <cmath>
#include <cstdlib>

#include "world/chunkmap.h"
#include "display/display.h"
#include "terrain/voxel.h"

uint32_t voxel_draw_count = 0;
uint32_t voxel_draw_triangle_count = 0;
uint32_t multri_draw_count = 0;
uint32_t debug_mega_tile = 0;
float debug_tri_average = 0.0f;
int global_map_sweepy = -1;

multri *multri_create(void) {
    multri *m = (multri *)calloc(1, sizeof(multri));
    return m;  // next is none; none when memory runs out
}

void multri_destroy(multri *m) {
    while (m) {
        multri *next = m->next;
        free(m);
        m = next;
    }
}

uint32_t multri_count(const multri *m) {
    uint32_t count = 0;
    for (; m; m = m->next) count++;
    return count;
}

uint64_t multri_cache_memory(void) {
    uint64_t triangles = 0;
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++)
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            chunk *c = chunk_map[cx][cy];
            if (!c) continue;
            for (int level = 0; level < 4; level++)
                for (int x = 0; x < CHUNK_SIZE; x++)
                    for (int y = 0; y < CHUNK_SIZE; y++) triangles += multri_count(c->multri_list[level][x][y]);
        }
    return triangles * sizeof(multri);
}

// ---- the vertex batch: triangles are gathered into fixed arrays and drawn with one call per
// batch instead of five GL calls per corner. Order and vertices are those of the triangles one by
// one, so the pixels are the same.
#define MULTRI_BATCH_VERTICES 30000
static float batch_xyz[MULTRI_BATCH_VERTICES][3];
static float batch_st[4][MULTRI_BATCH_VERTICES][2];
static uint32_t batch_count = 0;
uint8_t global_multri_batching = 1;

void multri_batch_flush(void) {
    if (!batch_count) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, batch_xyz);
    for (uint32_t unit = 0; unit < 4; unit++) {
        display_client_active_texture(unit);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, batch_st[unit]);
    }
    glDrawArrays(GL_TRIANGLES, 0, (GLsizei)batch_count);
    for (int unit = 3; unit >= 0; unit--) {
        display_client_active_texture((uint32_t)unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    batch_count = 0;
}

// One triangle with its unit-3 (light) coordinates per corner.
static void multri_emit(const multri *m, const float light_st[3][2]) {
    if (!global_multri_batching) {
        glBegin(GL_TRIANGLE_FAN);
        for (int k = 0; k < 3; k++) {
            for (uint32_t unit = 0; unit < 3; unit++)
                display_multi_tex_coord(unit, m->texpos[unit][k][0], m->texpos[unit][k][1]);
            display_multi_tex_coord(3, light_st[k][0], light_st[k][1]);
            glVertex3fv(m->corner_xyz[k]);
        }
        glEnd();
        return;
    }
    if (batch_count + 3 > MULTRI_BATCH_VERTICES) multri_batch_flush();
    for (int k = 0; k < 3; k++) {
        const uint32_t i = batch_count + (uint32_t)k;
        batch_xyz[i][0] = m->corner_xyz[k][0];
        batch_xyz[i][1] = m->corner_xyz[k][1];
        batch_xyz[i][2] = m->corner_xyz[k][2];
        for (int unit = 0; unit < 3; unit++) {
            batch_st[unit][i][0] = m->texpos[unit][k][0];
            batch_st[unit][i][1] = m->texpos[unit][k][1];
        }
        batch_st[3][i][0] = light_st[k][0];
        batch_st[3][i][1] = light_st[k][1];
    }
    batch_count += 3;
}

static inline int multri_clamp_light(int light) { return light < 0 ? 0 : (light > 255 ? 255 : light); }

void multri_draw(multri *m, uint8_t fog_hack) {
    static const float light_s[3] = {0.0f, 0.33f, 0.66f};
    const uint8_t fog = fog_hack && global_background_distance > 0;
    for (; m; m = m->next) {
        float light_st[3][2];
        for (int k = 0; k < 3; k++) {
            int light = multri_corner_light(m->sunlight[k], m->glowlight[k], m->nx[k], m->ny[k], m->nz[k]);
            if (fog) {
                float dx = m->corner_xyz[k][0] - camera_vector.x, dy = m->corner_xyz[k][1] - camera_vector.y;
                float dz = m->corner_xyz[k][2] - camera_vector.z;
                float d = sqrtf(dx * dx + dy * dy + dz * dz);
                if (d > 0.0f) light = multri_fog_corner(light, d, dz, m->texpos[2][k]);
            }
            light_st[k][0] = light_s[k];
            light_st[k][1] = voxel_light_table[multri_clamp_light(light)];
        }
        multri_emit(m, light_st);
        multri_draw_count++;
    }
}

// What the live drawing of one pillar needs while the mesher hands over its triangles.
struct multri_live {
    multri **slot;      // the level-0 cache slot, or none when the chunk is not resident
    uint8_t failed;     // a cache record could not be had
};

static void multri_live_sink(void *context, const multri *t, uint8_t outline) {
    multri_live *live = (multri_live *)context;
    if (outline) {
        // The rim is drawn dark from the light texture's outline row, corners a, c, b.
        static const float outline_st[3][2] = {{0.0f, 0.35f}, {0.5f, 0.35f}, {0.25f, 0.35f}};
        multri_emit(t, outline_st);
    } else {
        static const float light_s[3] = {0.0f, 0.25f, 0.5f};
        float light_st[3][2];
        for (int k = 0; k < 3; k++) {
            int light = multri_corner_light(t->sunlight[k], t->glowlight[k], t->nx[k], t->ny[k], t->nz[k]);
            light_st[k][0] = light_s[k];
            light_st[k][1] = voxel_light_table[multri_clamp_light(light)];
        }
        multri_emit(t, light_st);
        voxel_draw_triangle_count++;
    }
    if (!live->slot || live->failed) return;
    multri *copy = multri_create();
    if (!copy) {
        live->failed = 1;
        return;
    }
    *copy = *t;
    copy->next = *live->slot;
    *live->slot = copy;
}

uint8_t multri_area_settled(int x, int y, int side) {
    const int x1 = x + side - 1, y1 = y + side - 1;
    for (int cx = x >> CHUNK_SHIFT; cx <= x1 >> CHUNK_SHIFT; cx++)
        for (int cy = y >> CHUNK_SHIFT; cy <= y1 >> CHUNK_SHIFT; cy++) {
            if (cx < 0 || cy < 0 || cx >= CHUNKMAP_SIZE || cy >= CHUNKMAP_SIZE) continue;
            if (!chunk_map[cx][cy]) return 0;
        }
    return 1;
}

void voxel_draw_pillar_xy(int x, int y) {
    multri **slot = chunkmap_get_xy_multri(0, x, y);
    if (slot && *slot) {
        multri_draw(*slot, 0);
        return;
    }
    // A mesh that reads into a chunk still on its way in would keep the stand-in stone floor
    // there until the next edit: draw it live and cache it once the neighbours are resident.
    if (slot && !multri_area_settled(x, y, 2)) slot = nullptr;
    multri_live live = {slot, 0};
    multri_mesh_pillar_xy(x, y, multri_live_sink, &live);
    // A mesh missing triangles would be replayed with holes: drop it and mesh again next frame.
    if (live.failed && slot) {
        multri_destroy(*slot);
        *slot = nullptr;
    }
}
