// multri.cpp — the cached terrain triangles: creating and freeing lists, replaying them with
// fresh shading, and drawing a near pillar live while its mesh is cached
#include "multri.h"

#include <SDL_opengl.h>

#include <cmath>
#include <cstdlib>

#include "chunkmap.h"
#include "display.h"
#include "voxel.h"

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

static inline void multri_vertex(const multri *m, int k, float light_s, float light_t) {
    display_multi_tex_coord(0, m->texpos[0][k][0], m->texpos[0][k][1]);
    display_multi_tex_coord(1, m->texpos[1][k][0], m->texpos[1][k][1]);
    display_multi_tex_coord(2, m->texpos[2][k][0], m->texpos[2][k][1]);
    display_multi_tex_coord(3, light_s, light_t);
    glVertex3fv(m->corner_xyz[k]);
}

static inline int multri_clamp_light(int light) { return light < 0 ? 0 : (light > 255 ? 255 : light); }

// Every triangle is its own fan in the original drawing; one GL_TRIANGLES batch per list gives
// the same pixels with a single begin/end.
void multri_draw(multri *m, uint8_t fog_hack) {
    static const float light_s[3] = {0.0f, 0.33f, 0.66f};
    const uint8_t fog = fog_hack && global_background_distance > 0;
    glBegin(GL_TRIANGLES);
    for (; m; m = m->next) {
        int light[3];
        for (int k = 0; k < 3; k++) {
            light[k] = multri_corner_light(m->sunlight[k], m->glowlight[k], m->nx[k], m->ny[k], m->nz[k]);
            if (fog) {
                float dx = m->corner_xyz[k][0] - camera_vector.x, dy = m->corner_xyz[k][1] - camera_vector.y;
                float dz = m->corner_xyz[k][2] - camera_vector.z;
                float d = sqrtf(dx * dx + dy * dy + dz * dz);
                if (d > 0.0f) light[k] = multri_fog_corner(light[k], d, dz, m->texpos[2][k]);
            }
        }
        for (int k = 0; k < 3; k++) multri_vertex(m, k, light_s[k], voxel_light_table[multri_clamp_light(light[k])]);
        multri_draw_count++;
    }
    glEnd();
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
        static const float outline_s[3] = {0.0f, 0.5f, 0.25f};
        for (int k = 0; k < 3; k++) multri_vertex(t, k, outline_s[k], 0.35f);
    } else {
        static const float light_s[3] = {0.0f, 0.25f, 0.5f};
        for (int k = 0; k < 3; k++) {
            int light = multri_corner_light(t->sunlight[k], t->glowlight[k], t->nx[k], t->ny[k], t->nz[k]);
            multri_vertex(t, k, light_s[k], voxel_light_table[multri_clamp_light(light)]);
        }
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

void voxel_draw_pillar_xy(int x, int y) {
    multri **slot = chunkmap_get_xy_multri(0, x, y);
    if (slot && *slot) {
        multri_draw(*slot, 0);
        return;
    }
    multri_live live = {slot, 0};
    glBegin(GL_TRIANGLES);
    multri_mesh_pillar_xy(x, y, multri_live_sink, &live);
    glEnd();
    // A mesh missing triangles would be replayed with holes: drop it and mesh again next frame.
    if (live.failed && slot) {
        multri_destroy(*slot);
        *slot = nullptr;
    }
}

void voxel_draw_pillar_fluid_xy(int x, int y) {
    (void)x;
    (void)y;
}
