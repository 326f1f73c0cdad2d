// multri_map.cpp — drawing one ring of the terrain: the 2-D view culling on the ground plane, the
// texture units, the backdrop with sun and moon, under-water fog, the debug pillars and the
// chunk-map diagnostic
#include <SDL_opengl.h>

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
    else
        display_particle_quad(texture, 0, 255, 128, 0, 0, x, y, z, scale, 0, 0);
}

static void multri_draw_backdrop(uint8_t shade) {
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    const int light = global_sun_light_level;
    const uint8_t color[4] = {(uint8_t)((light / 2 + 127) * shade / 256), (uint8_t)(light * shade / 256),
                              (uint8_t)((3 * light / 4 + 63) * shade / 256), 255};
    const float cycle = 2.0f * KESTROVA_PI * global_day_night_cycle;
    vector direction = {0.7f, -cosf(cycle), -sinf(cycle)};
    float length = sqrtf(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z + 0.00001f);
    global_light_direction = {direction.x / length, direction.y / length, direction.z / length};
    if (local_player_under_water) {
        display_simple_block(color, camera_vector.x, camera_vector.y, camera_vector.z, subdrop_texture,
                             subdrop_texture, subdrop_texture, 2000.0f);
    } else {
        display_backdrop(color, backdrop_texture, updrop_texture, downdrop_texture, 2000.0f, 1000.0f, 1200.0f);
        glFrontFace(GL_CW);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        multri_billboard(sun_texture, camera_vector.x + 5.0f, camera_vector.y + 1100.0f * cosf(cycle),
                         camera_vector.z + 1100.0f * sinf(cycle), 120.0f);
        multri_billboard(moon_texture, camera_vector.x + 5.0f, camera_vector.y + 1100.0f * cosf(cycle + KESTROVA_PI),
                         camera_vector.z + 1100.0f * sinf(cycle + KESTROVA_PI), 120.0f);
        glDisable(GL_BLEND);
    }
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
}

static void multri_bind_units(void) {
    glColor4ub(255, 255, 255, 255);
    for (uint32_t unit = 0; unit < 3; unit++) {
        display_active_texture(unit);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, material_texture);
        // The second and third materials are laid over the first by the atlas alpha.
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, unit == 0 ? GL_REPLACE : GL_DECAL);
    }
    display_active_texture(3);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, light_texture);
    display_texture_modulate_doubled();
}

static void multri_release_units(void) {
    for (int unit = 3; unit >= 1; unit--) {
        display_active_texture((uint32_t)unit);
        if (unit == 3) {
            glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 1.0f);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        }
        glDisable(GL_TEXTURE_2D);
    }
    display_active_texture(0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_FOG);
}

void voxel_draw_map(vector *center_vector, int min_radius, int max_radius, uint8_t draw_backdrop, uint8_t mega) {
    log_message(5, "Drawing map");
    if (!global_empty_voxel) return;
    log_message(5, "Have global empty voxel");
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_FLAT);

    int cx = (int)center_vector->x, cy = (int)center_vector->y;
    if (mega > 1) {
        cx -= cx % mega;
        cy -= cy % mega;
    }
    const int c = (int)(1.414f * (float)max_radius);

    multri_view view;
    const float aspect = screen_y ? (float)screen_x / (float)screen_y : 1.0f;
    multri_view_setup(&view, center_vector, &camera_fore_vector, &camera_side_vector, &camera_up_vector, aspect,
                      global_view_angle);

    if (mega == 0 && global_debug_drawing) {
        log_message(5, "Attempting to draw debug pillars");
        for (int y = cy - c; y <= cy + c; y++)
            for (int x = cx - c; x <= cx + c; x++) {
                float fx = (float)x + 0.5f - view.camera_x, fy = (float)y + 0.5f - view.camera_y;
                if (fx * view.forward_x + fy * view.forward_y > -5.0f) voxel_draw_debug_pillar_xy(x, y);
            }
    }

    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    uint8_t shade = 255;
    if (global_ocean_level > 0.0f && center_vector->z < global_ocean_level) {
        float depth = center_vector->z / global_ocean_level;
        shade = (uint8_t)(depth < 0.0f ? 0 : depth * depth * 255.0f);
    }
    if (draw_backdrop) multri_draw_backdrop(shade);

    if (local_player_under_water) {
        const int light = global_sun_light_level;
        float fog_color[4] = {(float)(light >> 6) / 255.0f, (float)((light * 11) >> 8) / 255.0f,
                              (float)((light * 95) >> 8) / 255.0f, 1.0f};
        glFogfv(GL_FOG_COLOR, fog_color);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, 0.5f * (float)global_display_distance);
        glFogf(GL_FOG_END, (float)global_display_distance);
        glHint(GL_FOG_HINT, GL_FASTEST);
        glEnable(GL_FOG);
    }

    multri_bind_units();
    log_message(5, "Drawing each pillar in map box -- total == %d", 2 * c + 1);
    if (mega < 2) {
        for (int y = cy - c; y <= cy + c; y++)
            for (int x = cx - c; x <= cx + c; x++) {
                if (!multri_view_accepts(&view, (float)x + 0.5f, (float)y + 0.5f, min_radius, max_radius, mega))
                    continue;
                voxel_draw_pillar_xy(x, y);
                if (!local_player_under_water) voxel_draw_pillar_fluid_xy(x, y);
                voxel_draw_count++;
            }
    } else {
        const float half = (float)mega / 2.0f;
        for (int y = cy - c; y <= cy + c; y += mega)
            for (int x = cx - c; x <= cx + c; x += mega) {
                if (!multri_view_accepts(&view, (float)x + half, (float)y + half, min_radius, max_radius, mega))
                    continue;
                voxel_draw_mega_pillar_xy(x, y, mega);
                debug_mega_tile++;
            }
    }
    multri_batch_flush();
    log_message(5, "Finished drawing each pillar in map box");
    multri_release_units();
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
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
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
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
}
