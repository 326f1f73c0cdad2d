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
uint32_t global_multri_submitted = 0;
uint32_t global_multri_depth_submitted = 0;
uint32_t global_multri_draw_calls = 0;

uint8_t global_multri_depth_first = 0;
uint8_t multri_depth_pass = 0;

void multri_batch_flush(void) {
    if (!batch_count) return;
    global_multri_draw_calls++;
    display_state_client(GL_VERTEX_ARRAY, 1);
    glVertexPointer(3, GL_FLOAT, 0, batch_xyz);
    if (multri_depth_pass) {
        glDrawArrays(GL_TRIANGLES, 0, (GLsizei)batch_count);
        display_state_client(GL_VERTEX_ARRAY, 0);
        batch_count = 0;
        return;
    }
    for (uint32_t unit = 0; unit < 4; unit++) {
        display_client_active_texture(unit);
        display_state_client(GL_TEXTURE_COORD_ARRAY, 1);
        glTexCoordPointer(2, GL_FLOAT, 0, batch_st[unit]);
    }
    glDrawArrays(GL_TRIANGLES, 0, (GLsizei)batch_count);
    for (int unit = 3; unit >= 0; unit--) {
        display_client_active_texture((uint32_t)unit);
        display_state_client(GL_TEXTURE_COORD_ARRAY, 0);
    }
    display_state_client(GL_VERTEX_ARRAY, 0);
    batch_count = 0;
}

// ---- dropping triangles the GL would cull anyway. voxel_draw_map reads the eye and the culling
// state from the GL before each ring; a triangle that faces away by more than a rounding margin
// is then never handed to the GL. Pixels stay the same: the GL culls exactly these.
uint8_t global_multri_drop_back_faces = 1;
uint32_t global_multri_dropped_count = 0;
static uint8_t cull_known = 0;
static float cull_eye[3];
static float cull_sign = 1.0f;  // +1: a triangle facing the eye (right-handed corner order) is culled

void multri_cull_setup(void) {
    cull_known = 0;
    if (!global_multri_drop_back_faces || !glIsEnabled(GL_CULL_FACE)) return;
    GLint mode = 0, front = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &mode);
    glGetIntegerv(GL_FRONT_FACE, &front);
    if (mode != GL_BACK) return;
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // The eye is where the modelview sends the origin: eye = -R^T t for the orthogonal R of the
    // camera (a rotation with one mirrored axis).
    for (int i = 0; i < 3; i++) cull_eye[i] = -(m[4 * i + 0] * m[12] + m[4 * i + 1] * m[13] + m[4 * i + 2] * m[14]);
    const float det = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
                      m[8] * (m[1] * m[6] - m[5] * m[2]);
    if (fabsf(fabsf(det) - 1.0f) > 0.01f) return;  // a scaled view: leave culling to the GL
    // A triangle facing the eye shows counter-clockwise on screen when det > 0, clockwise when
    // det < 0; it is culled when that is the back side.
    const float facing_ccw = det > 0.0f ? 1.0f : -1.0f;
    cull_sign = front == GL_CW ? facing_ccw : -facing_ccw;
    cull_known = 1;
}

void multri_cull_release(void) { cull_known = 0; }

// 1 when the GL would cull the triangle with corners p0, p1, p2 (in that order).
static inline uint8_t multri_culled(const float *p0, const float *p1, const float *p2) {
    if (!cull_known) return 0;
    const float e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const float e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float v[3] = {cull_eye[0] - p0[0], cull_eye[1] - p0[1], cull_eye[2] - p0[2]};
    const float dot = (n[0] * v[0] + n[1] * v[1] + n[2] * v[2]) * cull_sign;
    if (dot <= 0.0f) return 0;
    // Nearly edge-on triangles are left to the GL, whose rounding may still show a sliver.
    const float nn = n[0] * n[0] + n[1] * n[1] + n[2] * n[2], vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    return dot * dot > 1.0e-6f * nn * vv ? 1 : 0;
}

// One triangle with its unit-3 (light) coordinates per corner.
static void multri_emit(const multri *m, const float light_st[3][2]) {
    if (multri_depth_pass) {
        global_multri_depth_submitted++;
        // Positions only, always batched: the depth pass draws no colour.
        if (batch_count + 3 > MULTRI_BATCH_VERTICES) multri_batch_flush();
        for (int k = 0; k < 3; k++)
            for (int i = 0; i < 3; i++) batch_xyz[batch_count + (uint32_t)k][i] = m->corner_xyz[k][i];
        batch_count += 3;
        return;
    }
    global_multri_submitted++;
    if (!global_multri_batching) {
        global_multri_draw_calls++;
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
        if (multri_culled(m->corner_xyz[0], m->corner_xyz[1], m->corner_xyz[2])) {
            if (multri_depth_pass) continue;
            global_multri_dropped_count++;
            multri_draw_count++;
            continue;
        }
        if (multri_depth_pass) {
            static const float none[3][2] = {};
            multri_emit(m, none);
            continue;
        }
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
    if (multri_culled(t->corner_xyz[0], t->corner_xyz[1], t->corner_xyz[2])) {
        global_multri_dropped_count++;
        if (!outline) voxel_draw_triangle_count++;
    } else if (outline) {
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
    // The depth pass only replays what is cached; meshing stays with the colour pass.
    if (multri_depth_pass) return;
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
