// display_shapes.cpp — wireframe spheres, block outlines, markers, planes, the grid and the multitexture test
#include <SDL_opengl.h>

#include <cmath>

#include "display/display.h"

vector global_light_direction = {0.0f, 0.0f, 1.0f};

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

void display_block_marker(const uint8_t *color, int tlx, int tly, int tlz, int brx, int bry, int brz) {
    int x0 = tlx < brx ? tlx : brx, x1 = tlx < brx ? brx : tlx;
    int y0 = tly < bry ? tly : bry, y1 = tly < bry ? bry : tly;
    int z0 = tlz < brz ? tlz : brz, z1 = tlz < brz ? brz : tlz;
    for (int z = z0; z <= z1; z++)
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) display_glass_block(color, x, y, z);
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

void display_axis_marker(float x, float y, float z, float scale) {
    glLineWidth(5.0f);
    glBegin(GL_LINES);
    glColor3ub(255, 0, 0);
    glVertex3f(x, y, z);
    glVertex3f(x + scale, y, z);
    glColor3ub(0, 255, 0);
    glVertex3f(x, y, z);
    glVertex3f(x, y + scale, z);
    glColor3ub(0, 0, 255);
    glVertex3f(x, y, z);
    glVertex3f(x, y, z + scale);
    glEnd();
    glLineWidth(1.0f);
}

void display_normal_marker(const uint8_t *color, const float *center_xyz, const float *normal_xyz, float scale) {
    glColor3ub(color[0], color[1], color[2]);
    glBegin(GL_LINES);
    glVertex3f(center_xyz[0], center_xyz[1], center_xyz[2]);
    glVertex3f(center_xyz[0] + normal_xyz[0] * scale, center_xyz[1] + normal_xyz[1] * scale,
               center_xyz[2] + normal_xyz[2] * scale);
    glEnd();
}

void display_solid_marker(const uint8_t *color, float x, float y, float z, float scale) {
    float s = scale;
    glColor3ub(color[0], color[1], color[2]);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(x, y, z - s);
    glVertex3f(x, y - s, z);
    glVertex3f(x + s, y, z);
    glVertex3f(x, y + s, z);
    glVertex3f(x - s, y, z);
    glVertex3f(x, y - s, z);
    glEnd();
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(x, y, z + s);
    glVertex3f(x, y - s, z);
    glVertex3f(x - s, y, z);
    glVertex3f(x, y + s, z);
    glVertex3f(x + s, y, z);
    glVertex3f(x, y - s, z);
    glEnd();
}

void display_simple_plane(const uint8_t *color, uint8_t alpha, float x, float y, float z, float scale) {
    if (alpha == 0) return;
    float s = scale / 2.0f;
    glColor4ub(color[0], color[1], color[2], alpha);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0, 0);
    glVertex3f(x - s, y - s, z);
    glTexCoord2f(0, 1);
    glVertex3f(x - s, y + s, z);
    glTexCoord2f(1, 1);
    glVertex3f(x + s, y + s, z);
    glTexCoord2f(1, 0);
    glVertex3f(x + s, y - s, z);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

void display_grid(const uint8_t *color, float z, float square_size, uint32_t texture) {
    float t = 1000.0f / square_size;
    glColor4ub(color[0], color[1], color[2], color[3]);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(-t, -t);
    glVertex3f(-1000.0f, -1000.0f, z);
    glTexCoord2f(t, -t);
    glVertex3f(1000.0f, -1000.0f, z);
    glTexCoord2f(t, t);
    glVertex3f(1000.0f, 1000.0f, z);
    glTexCoord2f(-t, t);
    glVertex3f(-1000.0f, 1000.0f, z);
    glEnd();
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glDisable(GL_TEXTURE_2D);
}

void display_nonaligned_block(vector *center, vector *up, vector *front, vector *side, uint32_t texture,
                              float scale) {
    const vector *axes[3] = {up, front, side};
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (int face = 0; face < 6; face++) {
        float sign = (face & 1) ? -1.0f : 1.0f;
        const vector &n = *axes[face / 2];
        const vector &a = *axes[(face / 2 + 1) % 3];
        const vector &b = *axes[(face / 2 + 2) % 3];
        float lit = sign * (n.x * global_light_direction.x + n.y * global_light_direction.y +
                            n.z * global_light_direction.z);
        int g = (int)((1.0f - lit) * 0.5f * 255.0f);
        if (g < 0) g = 0;
        if (g > 255) g = 255;
        glColor3ub((uint8_t)g, (uint8_t)g, (uint8_t)g);
        static const float sa[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
        static const float sb[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
        glBegin(GL_TRIANGLE_FAN);
        for (int k = 0; k < 4; k++) {
            // Winding flips on the negative face so both face outwards.
            int m = sign > 0 ? k : 3 - k;
            glTexCoord2f(sa[m] > 0 ? 1.0f : 0.0f, sb[m] > 0 ? 1.0f : 0.0f);
            glVertex3f(center->x + scale * (sign * n.x + sa[m] * a.x + sb[m] * b.x),
                       center->y + scale * (sign * n.y + sa[m] * a.y + sb[m] * b.y),
                       center->z + scale * (sign * n.z + sa[m] * a.z + sb[m] * b.z));
        }
        glEnd();
    }
}

void display_test(float x, float y, float z, uint32_t texture_zero, uint32_t texture_one, uint32_t texture_two) {
    const float lo = 1.0f / 256.0f, hi = 255.0f / 256.0f;
    const float st[3][2] = {{lo, lo}, {hi, lo}, {lo, hi}};
    const uint32_t first_units[3] = {texture_zero, texture_one, texture_two};
    const GLint modes[3] = {GL_REPLACE, GL_DECAL, GL_DECAL};
    for (uint32_t unit = 0; unit < 3; unit++) {
        display_active_texture(unit);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, first_units[unit]);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, modes[unit]);
    }
    glColor4ubv(z_plus_color);
    const float triangles[2][3][3] = {{{x, y, z}, {x + 10, y, z}, {x, y + 10, z}},
                                      {{x + 10, y, z}, {x + 10, y + 10, z}, {x, y + 10, z}}};
    for (int t = 0; t < 2; t++) {
        if (t == 1) {
            display_active_texture(0);
            glBindTexture(GL_TEXTURE_2D, texture_one);
        }
        glBegin(GL_TRIANGLE_FAN);
        for (int corner = 0; corner < 3; corner++) {
            // Each unit takes the corner coordinates in rotation.
            for (uint32_t unit = 0; unit < 3; unit++) {
                const float *c = st[(corner + unit) % 3];
                display_multi_tex_coord(unit, c[0], c[1]);
            }
            glVertex3fv(triangles[t][corner]);
        }
        glEnd();
    }
    for (uint32_t unit = 2; unit >= 1; unit--) {
        display_active_texture(unit);
        glDisable(GL_TEXTURE_2D);
    }
    display_active_texture(0);
}

void display_particle_quad(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
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
