// kestrova_placeholder.cpp — PLACEHOLDERS for particle quads until their modules land
#include "game/kestrova_placeholder.h"

#include <SDL_opengl.h>

#include <cmath>

#include "display/display.h"
#include "foundation/random.h"
#include "game/input.h"
#include "objects/template.h"
#include "world/chunkmap.h"

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

void placeholder_monster_spawning(void) {
    if (!key_pressed[KEY_Z]) return;
    key_pressed[KEY_Z] = 0;
    float r = random_range(10.0f, 20.0f), s = random_range(-10.0f, 10.0f);
    float x = target_vector.x - camera_fore_vector.x * r + camera_side_vector.x * s;
    float y = target_vector.y - camera_fore_vector.y * r + camera_side_vector.y * s;
    if (!(x >= 0.0f && y >= 0.0f && x < 65535.0f && y < 65535.0f)) return;
    chunkmap_get_xyz_off_map((int)(uint16_t)x, (int)(uint16_t)y, 2048);
    object_spawn(template_get_by_name("ZOMBI"), nullptr, 1, x, y, (float)global_voxel_topmost_z + 1.0f);
}
