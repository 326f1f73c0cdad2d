// display_shapes.cpp — wireframe spheres, block outlines, markers, the build plane and the particle quad
#include <SDL_opengl.h>

#include <cmath>

#include "display/display.h"

void display_sphere(const uint8_t *color, float x, float y, float z, float scale, uint32_t idiv, uint32_t jdiv) {
    glColor4ub(color[0], color[1], color[2], color[3]);
    if (idiv == 0 || jdiv < 2) return;
    for (uint32_t i = 0; i < idiv; i++) {
        float a = (float)i * 6.283186f / (float)idiv;
        glBegin(GL_LINE_STRIP);
        for (uint32_t k = 0; k < jdiv; k++) {
            float p = (float)k * KESTROVA_PI / (float)(jdiv - 1);
            glVertex3f(x + sinf(a) * sinf(p) * scale, y + cosf(a) * sinf(p) * scale, z - cosf(p) * scale);
        }
        glEnd();
    }
    uint32_t m = idiv / 2;
    for (uint32_t k = 1; k <= m; k++) {
        float p = (float)k * KESTROVA_PI / (float)(m + 1);
        glBegin(GL_LINE_STRIP);
        for (uint32_t l = 0; l < 2 * jdiv; l++) {
            // The last point lands on the first, closing the ring.
            float a = (float)l * 6.283186f / (float)(2 * jdiv - 1);
            glVertex3f(x + sinf(a) * sinf(p) * scale, y + cosf(a) * sinf(p) * scale, z - cosf(p) * scale);
        }
        glEnd();
    }
}

// The twelve edges of the box from (x0, y0, z0) to (x1, y1, z1) as line pairs.
static void display_box_edges(float x0, float y0, float z0, float x1, float y1, float z1) {
    const float xs[4] = {x0, x1, x1, x0};
    const float ys[4] = {y0, y0, y1, y1};
    glBegin(GL_LINES);
    for (int k = 0; k < 4; k++) {
        int n = (k + 1) % 4;
        glVertex3f(xs[k], ys[k], z1);
        glVertex3f(xs[n], ys[n], z1);
    }
    for (int k = 0; k < 4; k++) {
        int n = (k + 1) % 4;
        glVertex3f(xs[k], ys[k], z0);
        glVertex3f(xs[n], ys[n], z0);
    }
    for (int k = 0; k < 4; k++) {
        glVertex3f(xs[k], ys[k], z0);
        glVertex3f(xs[k], ys[k], z1);
    }
    glEnd();
}

void display_wireframe_block(const uint8_t *color, float x, float y, float z) {
    glColor3ub(color[0], color[1], color[2]);
    display_box_edges(x - 0.5f, y - 0.5f, z - 0.5f, x + 0.5f, y + 0.5f, z + 0.5f);
}

void display_glass_block(const uint8_t *color, int x, int y, int z) {
    glColor3ub(color[0], color[1], color[2]);
    display_box_edges((float)x + 0.01f, (float)y + 0.01f, (float)z + 0.01f, (float)x + 0.99f, (float)y + 0.99f,
                      (float)z + 0.99f);
}

void display_marker(const uint8_t *color, float x, float y, float z, float scale) {
    glColor3ub(color[0], color[1], color[2]);
    glBegin(GL_LINES);
    glVertex3f(x - scale, y, z);
    glVertex3f(x + scale, y, z);
    glVertex3f(x, y - scale, z);
    glVertex3f(x, y + scale, z);
    glVertex3f(x, y, z - scale);
    glVertex3f(x, y, z + scale);
    glEnd();
}

void display_particle_quad(const display_quad *quad) {
    const uint32_t base = quad->base, overlay = quad->overlay;
    const uint8_t alpha = quad->alpha, light = quad->light, paperdoll = quad->paperdoll;
    const uint8_t two_dimensional_mode = quad->two_dimensional_mode, use_overlay = quad->use_overlay;
    const float x = quad->x, y = quad->y, z = quad->z, scale = quad->scale;
    const uint16_t spin = quad->spin;
    const float *overlay_tl_xy = quad->overlay_tl_xy, *overlay_br_xy = quad->overlay_br_xy;
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
    const float tl[2] = {overlay_tl_xy ? overlay_tl_xy[0] : 0.0f, overlay_tl_xy ? overlay_tl_xy[1] : 0.0f};
    const float br[2] = {overlay_br_xy ? overlay_br_xy[0] : 1.0f, overlay_br_xy ? overlay_br_xy[1] : 1.0f};
    const float corner_a[4] = {1, 1, -1, -1}, corner_b[4] = {-1, 1, 1, -1};
    const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const float ov[4][2] = {{tl[0], tl[1]}, {br[0], tl[1]}, {br[0], br[1]}, {tl[0], br[1]}};
    glBegin(GL_TRIANGLE_FAN);
    for (int k = 0; k < 4; k++) {
        display_multi_tex_coord(0, st[k][0], st[k][1]);
        if (use_overlay) display_multi_tex_coord(1, ov[k][0], ov[k][1]);
        glVertex3f(x + corner_a[k] * a.x + corner_b[k] * b.x, y + corner_a[k] * a.y + corner_b[k] * b.y,
                   z + corner_a[k] * a.z + corner_b[k] * b.z);
    }
    glEnd();
    if (use_overlay) {
        display_active_texture(1);
        glDisable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 1.0f);
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
