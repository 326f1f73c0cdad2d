// kestrova_placeholder.cpp — PLACEHOLDERS for the sky, the sun level and particle quads until their modules land
#include "kestrova_placeholder.h"

#include <SDL_opengl.h>

#include <cmath>

#include "display.h"
#include "input.h"

void placeholder_particle_draw(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
                               uint8_t two_dimensional_mode, float x, float y, float z, float scale,
                               uint8_t use_overlay, uint16_t spin) {
    float angle = (float)spin / 65536.0f * 2.0f * KESTROVA_PI;
    uint8_t l = light >= 128 ? 255 : (uint8_t)(2 * light);
    glColor4ub(l, l, l, alpha);
    display_active_texture(0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, base);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    if (paperdoll) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
    }
    if (use_overlay) {
        display_active_texture(1);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, overlay);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_MODULATE);
        glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 2.0f);
        display_active_texture(0);
    }
    float s = sinf(angle), c = cosf(angle);
    vector a, b;
    if (two_dimensional_mode) {
        a = {s * scale, -c * scale, 0.0f};
        b = {c * scale, s * scale, 0.0f};
    } else {
        const vector &side = camera_side_vector, &up = camera_up_vector;
        a = {(side.x * s + up.x * c) * scale, (side.y * s + up.y * c) * scale, (side.z * s + up.z * c) * scale};
        b = {(side.x * c - up.x * s) * scale, (side.y * c - up.y * s) * scale, (side.z * c - up.z * s) * scale};
    }
    const float corner_a[4] = {1, 1, -1, -1}, corner_b[4] = {-1, 1, 1, -1};
    const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_TRIANGLE_FAN);
    for (int k = 0; k < 4; k++) {
        display_multi_tex_coord(0, st[k][0], st[k][1]);
        if (use_overlay) display_multi_tex_coord(1, st[k][0], st[k][1]);
        glVertex3f(x + corner_a[k] * a.x + corner_b[k] * b.x, y + corner_a[k] * a.y + corner_b[k] * b.y,
                   z + corner_a[k] * a.z + corner_b[k] * b.z);
    }
    glEnd();
    if (use_overlay) {
        display_active_texture(1);
        glDisable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        display_active_texture(0);
    }
    glDisable(GL_TEXTURE_2D);
    if (paperdoll) {
        glDisable(GL_ALPHA_TEST);
    } else {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }
}

void placeholder_draw_sky(const vector *center_vector) {
    (void)center_vector;
    glDisable(GL_BLEND);
    glShadeModel(GL_FLAT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    // Without terrain there is no ocean level to darken under, so the shade stays full.
    const int shade = 255;
    int light = global_sun_light_level;
    uint8_t color[4] = {(uint8_t)((light / 2 + 127) * shade / 256), (uint8_t)(light * shade / 256),
                        (uint8_t)((3 * light / 4 + 63) * shade / 256), 255};
    float cycle = 2.0f * KESTROVA_PI * global_day_night_cycle;
    vector direction = {0.7f, -cosf(cycle), -sinf(cycle)};
    float length = sqrtf(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z + 0.00001f);
    global_light_direction = {direction.x / length, direction.y / length, direction.z / length};
    // Under water the sky is the sub-drop block instead; the player module decides that once it lands.
    display_backdrop(color, backdrop_texture, updrop_texture, downdrop_texture, 2000.0f, 1000.0f, 1200.0f);
    glFrontFace(GL_CW);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    placeholder_particle_draw(sun_texture, 0, 255, 128, 0, 0, camera_vector.x + 5.0f,
                              camera_vector.y + 1100.0f * cosf(cycle), camera_vector.z + 1100.0f * sinf(cycle),
                              120.0f, 0, 0);
    placeholder_particle_draw(moon_texture, 0, 255, 128, 0, 0, camera_vector.x + 5.0f,
                              camera_vector.y + 1100.0f * cosf(cycle + KESTROVA_PI),
                              camera_vector.z + 1100.0f * sinf(cycle + KESTROVA_PI), 120.0f, 0, 0);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glDisable(GL_TEXTURE_2D);
}
