// multri_map.cpp — drawing one ring of the terrain: the 2-D view culling on the ground plane, the
// texture units, the backdrop with sun and moon, under-water fog, the debug pillars and the
// chunk-map diagnostic
#include <SDL_opengl.h>

#include <algorithm>
#include <cmath>

#include "world/chunkmap.h"
#include "display/display.h"
#include "foundation/logfile.h"
#include "terrain/multri.h"
#include "terrain/voxel.h"
#include "world/worldmap.h"

static float multri_dot2(float ax, float ay, float bx, float by) { return ax * bx + ay * by; }

static void multri_normalize2(float *x, float *y) {
    float length = sqrtf(*x * *x + *y * *y);
    if (length > 0.0f) {
        *x /= length;
        *y /= length;
    }
}

// The ray from the camera along the segment from 'low' to 'high' whose z is -0.01, followed to z = 0.
static void multri_far_ground_point(const vector *camera, const vector &low, const vector &high, float *gx,
                                   float *gy) {
    float dz = high.z - low.z;
    float t = fabsf(dz) > 1e-9f ? (-0.01f - low.z) / dz : 0.0f;
    vector d = {low.x + t * (high.x - low.x), low.y + t * (high.y - low.y), -0.01f};
    float s = camera->z / 0.01f;
    *gx = camera->x + s * d.x;
    *gy = camera->y + s * d.y;
}

// The line through camera + high and camera + low, followed to z = 0.
static void multri_near_ground_point(const vector *camera, const vector *fore, const vector &high,
                                    const vector &low, float *gx, float *gy) {
    float dz = low.z - high.z;
    float t = fabsf(dz) > 1e-9f ? -(high.z + camera->z) / dz : 0.0f;
    if (fore->z > 0.0f) t = -t;
    *gx = camera->x + high.x + t * (low.x - high.x);
    *gy = camera->y + high.y + t * (low.y - high.y);
}

void multri_view_setup(multri_view *view, const vector *camera, const vector *fore, const vector *side,
                       const vector *up, float aspect, float view_angle) {
    const float r = 0.3f * aspect * view_angle, u = 0.3f * view_angle;
    auto corner = [&](float rs, float us) {
        return vector{0.625f * fore->x + rs * r * side->x + us * u * up->x,
                      0.625f * fore->y + rs * r * side->y + us * u * up->y,
                      0.625f * fore->z + rs * r * side->z + us * u * up->z};
    };
    const vector ul = corner(-1, 1), ur = corner(1, 1), lr = corner(1, -1), ll = corner(-1, -1);
    float g0x, g0y, g1x, g1y, g2x, g2y, g3x, g3y;
    multri_far_ground_point(camera, ll, ul, &g1x, &g1y);
    multri_near_ground_point(camera, fore, ul, ll, &g0x, &g0y);
    multri_far_ground_point(camera, lr, ur, &g3x, &g3y);
    multri_near_ground_point(camera, fore, ur, lr, &g2x, &g2y);
    view->camera_x = camera->x;
    view->camera_y = camera->y;
    view->left_x = g0x;
    view->left_y = g0y;
    view->left_nx = -(g1y - g0y);
    view->left_ny = g1x - g0x;
    multri_normalize2(&view->left_nx, &view->left_ny);
    view->right_x = g2x;
    view->right_y = g2y;
    view->right_nx = g3y - g2y;
    view->right_ny = -(g3x - g2x);
    multri_normalize2(&view->right_nx, &view->right_ny);
    view->forward_x = fore->x;
    view->forward_y = fore->y;
    multri_normalize2(&view->forward_x, &view->forward_y);
}

uint8_t multri_view_accepts(const multri_view *view, float px, float py, int min_radius, int max_radius, int mega) {
    const float dx = px - view->camera_x, dy = py - view->camera_y;
    const float d2 = dx * dx + dy * dy;
    const float min2 = (float)min_radius * (float)min_radius, max2 = (float)max_radius * (float)max_radius;
    if (mega < 2) {
        if (d2 < min2) return 1;
    } else if (d2 <= min2) {
        return 0;
    }
    if (multri_dot2(dx, dy, view->forward_x, view->forward_y) <= 0.0f) return 0;
    if (d2 >= max2) return 0;
    // The geometry of the cell at (x, y) reaches from its test point one cell (mega blocks) towards
    // +x and +y, that is up to 1.41 mega along the diagonal, and surface points stand up to half a
    // block further: a tolerance of one mega let slivers at the screen's edge go missing, so the
    // side tests allow two.
    const float tolerance = (float)(mega < 1 ? 0 : 2 * mega);
    float left = multri_dot2(px - view->left_x, py - view->left_y, view->left_nx, view->left_ny);
    float right = multri_dot2(px - view->right_x, py - view->right_y, view->right_nx, view->right_ny);
    return (left + tolerance > 0.0f && right + tolerance > 0.0f) ? 1 : 0;
}

void voxel_draw_debug_pillar_xy(int x, int y) {
    const uint8_t *color = blue;
    if (y == global_map_sweepy)
        color = white;
    else if (x == (int)target_vector.x && y == (int)target_vector.y)
        color = red;
    int z = 0;
    for (const voxel *v = chunkmap_get_xy_off_map(x, y); v; v = v->next) {
        if (voxel_is_single(v)) display_glass_block(color, x, y, z);
        z += voxel_length(v);
    }
}

void (*multri_billboard_hook)(uint32_t texture, float x, float y, float z, float scale) = nullptr;

// The sun and moon: drawn as object particles once the object layer sets the hook.
static void multri_billboard(uint32_t texture, float x, float y, float z, float scale) {
    if (multri_billboard_hook)
        multri_billboard_hook(texture, x, y, z, scale);
    else {
        display_quad quad;
        quad.base = texture;
        quad.x = x, quad.y = y, quad.z = z, quad.scale = scale;
        display_particle_quad(&quad);
    }
}

// The light direction follows the time of day; the backdrop's ring sets it for every ring after it.
static void multri_set_light_direction(void) {
    const float cycle = 2.0f * KESTROVA_PI * global_day_night_cycle;
    vector direction = {0.7f, -cosf(cycle), -sinf(cycle)};
    float length = sqrtf(vector_dot(direction, direction) + 0.00001f);
    global_light_direction = {direction.x / length, direction.y / length, direction.z / length};
}

static void multri_draw_backdrop(uint8_t shade) {
    display_state_enable(GL_CULL_FACE, 1);
    display_state_front_face(GL_CCW);
    const int light = global_sun_light_level;
    const uint8_t color[4] = {(uint8_t)((light / 2 + 127) * shade / 256), (uint8_t)(light * shade / 256),
                              (uint8_t)((3 * light / 4 + 63) * shade / 256), 255};
    const float cycle = 2.0f * KESTROVA_PI * global_day_night_cycle;
    if (local_player_under_water) {
        display_simple_block(color, camera_vector.x, camera_vector.y, camera_vector.z, subdrop_texture,
                             subdrop_texture, subdrop_texture, 2000.0f);
    } else {
        display_backdrop(color, backdrop_texture, updrop_texture, downdrop_texture, 2000.0f, 1000.0f, 1200.0f);
        display_state_front_face(GL_CW);
        display_state_enable(GL_BLEND, 1);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        multri_billboard(sun_texture, camera_vector.x + 5.0f, camera_vector.y + 1100.0f * cosf(cycle),
                         camera_vector.z + 1100.0f * sinf(cycle), 120.0f);
        multri_billboard(moon_texture, camera_vector.x + 5.0f, camera_vector.y + 1100.0f * cosf(cycle + KESTROVA_PI),
                         camera_vector.z + 1100.0f * sinf(cycle + KESTROVA_PI), 120.0f);
        display_state_enable(GL_BLEND, 0);
    }
    display_state_enable(GL_CULL_FACE, 1);
    display_state_front_face(GL_CW);
}

// ---- the sky after the terrain. The backdrop lies beyond every ring (its walls are 1000 blocks
// away, the farthest ring ends at the background distance), so drawn after the last ring its
// pixels behind terrain fail the depth test and only the pixels that stay sky are written (about
// half the screen instead of all of it). The terrain is opaque and writes depth, so the picture and the depth buffer are the same as
// with the sky first; the sun and moon are tested against the terrain's depth as they were against
// the pixels the terrain later painted over. Under water (fog, the sub-drop block around the
// camera) the sky keeps its place.
uint8_t global_multri_sky_last = 1;
static uint8_t sky_pending = 0, sky_pending_shade = 255;
static vector sky_pending_camera;  // a sky left waiting by a frame without a pillar ring is dropped

static uint8_t multri_sky_can_wait(void) {
    if (!global_multri_sky_last || local_player_under_water || !glIsEnabled(GL_DEPTH_TEST)) return 0;
    GLint func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    GLboolean writes = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    return (func == GL_LEQUAL || func == GL_LESS) && writes ? 1 : 0;
}

// The waiting sky, drawn once the last ring's terrain is in; leaves unit 0 as the rings leave it.
static void multri_draw_waiting_sky(void) {
    if (!sky_pending) return;
    sky_pending = 0;
    if (sky_pending_camera.x != camera_vector.x || sky_pending_camera.y != camera_vector.y ||
        sky_pending_camera.z != camera_vector.z)
        return;
    display_active_texture(0);
    display_state_enable(GL_TEXTURE_2D, 1);
    display_state_env_mode(GL_MODULATE);
    multri_draw_backdrop(sky_pending_shade);
    display_state_enable(GL_TEXTURE_2D, 1);
    display_state_bind(material_texture);
    glColor4ub(255, 255, 255, 255);
}

static void multri_bind_units(void) {
    glColor4ub(255, 255, 255, 255);
    for (uint32_t unit = 0; unit < 3; unit++) {
        display_active_texture(unit);
        display_state_enable(GL_TEXTURE_2D, 1);
        display_state_bind(material_texture);
        // The second and third materials are laid over the first by the atlas alpha.
        display_state_env_mode(unit == 0 ? GL_REPLACE : GL_DECAL);
    }
    display_active_texture(3);
    display_state_enable(GL_TEXTURE_2D, 1);
    display_state_bind(light_texture);
    display_texture_modulate_doubled();
}

static void multri_release_units(void) {
    for (int unit = 3; unit >= 1; unit--) {
        display_active_texture((uint32_t)unit);
        if (unit == 3) {
            glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 1.0f);
            display_state_env_mode(GL_MODULATE);
        }
        display_state_enable(GL_TEXTURE_2D, 0);
    }
    display_active_texture(0);
    display_state_env_mode(GL_MODULATE);
    display_state_enable(GL_FOG, 0);
}

// ---- the nearest-first order of a ring's cells: offsets from the ring's centre cell, sorted by
// distance once per ring shape (display and background distances are fixed for a run), so no
// frame sorts anything. A ring with more cells than a table holds keeps the row order.
uint8_t global_multri_near_first = 1;
#define MULTRI_ORDER_SLOTS 4
#define MULTRI_ORDER_CELLS 65536
struct multri_order_cell {
    int16_t dx, dy;
    int32_t d2;  // dx^2 + dy^2
};
struct multri_order {
    int c, mega;
    uint32_t count;
    multri_order_cell cell[MULTRI_ORDER_CELLS];
};
static multri_order order_table[MULTRI_ORDER_SLOTS];

static int multri_order_slot(int mega) { return mega >= 8 ? 3 : (mega >= 4 ? 2 : (mega >= 2 ? 1 : 0)); }

// The part of a table that can hold cells of the ring from min_radius to max_radius: the camera
// stands within 0.71 mega of the centre cell's centre, so cells nearer than min_radius - mega (in
// a ring of tiles, which skips its inside) or farther than max_radius + mega are never drawn.
static void multri_order_span(const multri_order *o, int min_radius, int max_radius, int mega, uint32_t *first,
                              uint32_t *end) {
    const int step = mega < 1 ? 1 : mega;
    const int32_t far2 = (max_radius + step) * (max_radius + step);
    const int inner = mega >= 2 ? min_radius - step : 0;
    const int32_t near2 = inner > 0 ? inner * inner : -1;
    const multri_order_cell *b = o->cell, *e = o->cell + o->count;
    const multri_order_cell *lo =
        std::lower_bound(b, e, near2, [](const multri_order_cell &c, int32_t v) { return c.d2 < v; });
    const multri_order_cell *hi =
        std::upper_bound(b, e, far2, [](int32_t v, const multri_order_cell &c) { return v < c.d2; });
    *first = (uint32_t)(lo - b);
    *end = (uint32_t)(hi - b);
}

// The table for a ring of half-side c stepping by mega, or none when the ring is too big.
static const multri_order *multri_order_get(int c, int mega) {
    const int step = mega < 1 ? 1 : mega;
    const uint32_t side = (uint32_t)(2 * c / step + 1);
    if (c > 32767 || (uint64_t)side * side > MULTRI_ORDER_CELLS) return nullptr;
    multri_order *o = &order_table[multri_order_slot(mega)];
    if (o->count && o->c == c && o->mega == mega) return o;
    o->count = 0;
    for (int dy = -c; dy <= c; dy += step)
        for (int dx = -c; dx <= c; dx += step) {
            o->cell[o->count].dx = (int16_t)dx;
            o->cell[o->count].dy = (int16_t)dy;
            o->cell[o->count].d2 = dx * dx + dy * dy;
            o->count++;
        }
    // Distance of the cell's centre from the centre of the camera's cell; ties keep the row order.
    std::stable_sort(o->cell, o->cell + o->count, [](const multri_order_cell &a, const multri_order_cell &b) {
        return a.d2 < b.d2;
    });
    o->c = c;
    o->mega = mega;
    return o;
}

static void multri_draw_map_pillar(const multri_view *view, int x, int y, int min_radius, int max_radius, int mega) {
    if (!multri_view_accepts(view, (float)x + 0.5f, (float)y + 0.5f, min_radius, max_radius, mega)) return;
    voxel_draw_pillar_xy(x, y);
    if (multri_depth_pass) return;
    if (!local_player_under_water) voxel_draw_pillar_fluid_xy(x, y);
    voxel_draw_count++;
}

static void multri_draw_map_tile(const multri_view *view, int x, int y, int min_radius, int max_radius, int mega) {
    const float half = (float)mega / 2.0f;
    if (!multri_view_accepts(view, (float)x + half, (float)y + half, min_radius, max_radius, mega)) return;
    voxel_draw_mega_pillar_xy(x, y, mega);
    if (!multri_depth_pass) debug_mega_tile++;
}

// Every cell of the ring that the view accepts, nearest first or row by row.
static void multri_draw_cells(const multri_view *view, int cx, int cy, int c, int min_radius, int max_radius,
                              int mega) {
    const multri_order *order = global_multri_near_first ? multri_order_get(c, mega) : nullptr;
    uint32_t first = 0, end = 0;
    if (order) multri_order_span(order, min_radius, max_radius, mega, &first, &end);
    if (mega < 2) {
        if (order) {
            for (uint32_t i = first; i < end; i++)
                multri_draw_map_pillar(view, cx + order->cell[i].dx, cy + order->cell[i].dy, min_radius, max_radius,
                                       mega);
        } else {
            for (int y = cy - c; y <= cy + c; y++)
                for (int x = cx - c; x <= cx + c; x++) multri_draw_map_pillar(view, x, y, min_radius, max_radius, mega);
        }
    } else {
        if (order) {
            for (uint32_t i = first; i < end; i++)
                multri_draw_map_tile(view, cx + order->cell[i].dx, cy + order->cell[i].dy, min_radius, max_radius,
                                     mega);
        } else {
            for (int y = cy - c; y <= cy + c; y += mega)
                for (int x = cx - c; x <= cx + c; x += mega)
                    multri_draw_map_tile(view, x, y, min_radius, max_radius, mega);
        }
    }
}

// The centre cell (rounded down to the tile size), the half-side of the box and the view lines.
static void multri_ring_setup(const vector *center_vector, int max_radius, int mega, int *cx, int *cy, int *c,
                              multri_view *view) {
    *cx = (int)center_vector->x;
    *cy = (int)center_vector->y;
    if (mega > 1) {
        *cx -= *cx % mega;
        *cy -= *cy % mega;
    }
    *c = (int)(1.414f * (float)max_radius);
    const float aspect = screen_y ? (float)screen_x / (float)screen_y : 1.0f;
    multri_view_setup(view, center_vector, &camera_fore_vector, &camera_side_vector, &camera_up_vector, aspect,
                      global_view_angle);
}

void voxel_draw_map_depth(vector *center_vector, int min_radius, int max_radius, uint8_t mega) {
    // A fragment the colour pass would throw away by its alpha must not leave its depth behind.
    if (!global_empty_voxel || glIsEnabled(GL_ALPHA_TEST)) return;
    int cx, cy, c;
    multri_view view;
    multri_ring_setup(center_vector, max_radius, mega, &cx, &cy, &c, &view);
    // The colour pass draws with back faces culled and clockwise fronts (the backdrop leaves it so).
    display_state_enable(GL_CULL_FACE, 1);
    glCullFace(GL_BACK);
    display_state_front_face(GL_CW);
    display_state_enable(GL_BLEND, 0);
    for (int unit = 3; unit >= 0; unit--) {
        display_active_texture((uint32_t)unit);
        display_state_enable(GL_TEXTURE_2D, 0);
    }
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_TRUE);
    multri_depth_pass = 1;
    multri_cull_setup();
    multri_draw_cells(&view, cx, cy, c, min_radius, max_radius, mega);
    multri_batch_flush();
    multri_cull_release();
    multri_depth_pass = 0;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void voxel_draw_map(vector *center_vector, int min_radius, int max_radius, uint8_t draw_backdrop, uint8_t mega) {
    log_message(5, "Drawing map");
    if (!global_empty_voxel) return;
    log_message(5, "Have global empty voxel");
    display_state_enable(GL_BLEND, 0);
    display_state_enable(GL_TEXTURE_2D, 0);
    glShadeModel(GL_FLAT);

    int cx, cy, c;
    multri_view view;
    multri_ring_setup(center_vector, max_radius, mega, &cx, &cy, &c, &view);

    if (mega == 0 && global_debug_drawing) {
        log_message(5, "Attempting to draw debug pillars");
        for (int y = cy - c; y <= cy + c; y++)
            for (int x = cx - c; x <= cx + c; x++) {
                float fx = (float)x + 0.5f - view.camera_x, fy = (float)y + 0.5f - view.camera_y;
                if (fx * view.forward_x + fy * view.forward_y > -5.0f) voxel_draw_debug_pillar_xy(x, y);
            }
    }

    display_state_enable(GL_TEXTURE_2D, 1);
    display_state_env_mode(GL_MODULATE);
    uint8_t shade = 255;
    if (global_ocean_level > 0.0f && center_vector->z < global_ocean_level) {
        float depth = center_vector->z / global_ocean_level;
        shade = (uint8_t)(depth < 0.0f ? 0 : depth * depth * 255.0f);
    }
    if (draw_backdrop) {
        multri_set_light_direction();
        if (multri_sky_can_wait()) {
            sky_pending = 1;
            sky_pending_shade = shade;
            sky_pending_camera = camera_vector;
            // The culling the backdrop leaves behind, which the rings draw with.
            display_state_enable(GL_CULL_FACE, 1);
            display_state_front_face(GL_CW);
        } else {
            sky_pending = 0;
            multri_draw_backdrop(shade);
        }
    }

    if (local_player_under_water) {
        const int light = global_sun_light_level;
        float fog_color[4] = {(float)(light >> 6) / 255.0f, (float)((light * 11) >> 8) / 255.0f,
                              (float)((light * 95) >> 8) / 255.0f, 1.0f};
        glFogfv(GL_FOG_COLOR, fog_color);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, 0.5f * (float)global_display_distance);
        glFogf(GL_FOG_END, (float)global_display_distance);
        glHint(GL_FOG_HINT, GL_FASTEST);
        display_state_enable(GL_FOG, 1);
    }

    multri_bind_units();
    log_message(5, "Drawing each pillar in map box -- total == %d", 2 * c + 1);
    multri_cull_setup();
    multri_draw_cells(&view, cx, cy, c, min_radius, max_radius, mega);
    multri_batch_flush();
    multri_cull_release();
    log_message(5, "Finished drawing each pillar in map box");
    multri_release_units();
    // The pillar ring is the last of a frame.
    if (mega <= 1) multri_draw_waiting_sky();
}

static void multri_diagnostic_square(const uint8_t *color, float left, float top, float right, float bottom) {
    glColor4ubv(color);
    glBegin(GL_QUADS);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glEnd();
}

void chunkmap_draw_diagnostic_map(float x, float y) {
    display_state_enable(GL_TEXTURE_2D, 0);
    display_state_enable(GL_DEPTH_TEST, 0);
    glDepthMask(GL_FALSE);
    multri_diagnostic_square(dark_red, 25.0f, 25.0f, 275.0f, 275.0f);
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            float left = 25.0f + 5.0f * (float)cx + 0.5f;
            float top = 25.0f + 5.0f * (float)cy + 0.5f;
            multri_diagnostic_square(chunk_map[cx][cy] ? blue : red, left, top, left + 4.0f, top + 4.0f);
        }
    }
    display_marker(white, 25.0f + x * 0.078125f, 25.0f + y * 0.078125f, 0.0f, 5.0f);
    display_state_enable(GL_TEXTURE_2D, 1);
    display_state_enable(GL_DEPTH_TEST, 1);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
}
