// display_draw.cpp — the sky backdrop, the textured block, the oriented plane with its ray test and the hit flash
#include <SDL_opengl.h>

#include <cmath>

#include "display/display.h"

// Corner k of the backdrop (signs (−,−), (+,−), (+,+), (−,+)) at one of its four heights.
static void display_backdrop_vertex(int k, int level, float t, float b, float h, float s, float tt) {
    static const float sign_x[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    static const float sign_y[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    float reach = level < 2 ? t : b;
    float z = camera_vector.z;
    if (level == 0) z += h;
    if (level == 3) z -= h;
    glTexCoord2f(s, tt);
    glVertex3f(camera_vector.x + sign_x[k] * reach, camera_vector.y + sign_y[k] * reach, z);
}

void display_backdrop(const uint8_t *color, uint32_t side_texture, uint32_t top_texture, uint32_t bottom_texture,
                      float top_scale, float bottom_scale, float zscale) {
    // The border texels are never sampled, so the picture edges do not bleed.
    const float tmin = 0.01f, tmax = 0.99f;
    float t = top_scale, b = bottom_scale, h = zscale;
    glColor4ub(color[0], color[1], color[2], color[3]);

    display_state_bind(top_texture);
    glBegin(GL_TRIANGLE_FAN);
    display_backdrop_vertex(0, 0, t, b, h, tmin, tmin);
    display_backdrop_vertex(1, 0, t, b, h, tmax, tmin);
    display_backdrop_vertex(2, 0, t, b, h, tmax, tmax);
    display_backdrop_vertex(3, 0, t, b, h, tmin, tmax);
    glEnd();

    display_state_bind(bottom_texture);
    glBegin(GL_TRIANGLE_FAN);
    display_backdrop_vertex(0, 3, t, b, h, tmin, tmin);
    display_backdrop_vertex(3, 3, t, b, h, tmin, tmax);
    display_backdrop_vertex(2, 3, t, b, h, tmax, tmax);
    display_backdrop_vertex(1, 3, t, b, h, tmax, tmin);
    glEnd();

    display_state_bind(side_texture);
    for (int i = 0; i < 4; i++) {
        int j = (i + 3) % 4;
        glBegin(GL_TRIANGLE_FAN);
        display_backdrop_vertex(i, 0, t, b, h, tmin, tmin);
        display_backdrop_vertex(j, 0, t, b, h, tmax, tmin);
        display_backdrop_vertex(j, 1, t, b, h, tmax, 0.5f);
        display_backdrop_vertex(i, 1, t, b, h, tmin, 0.5f);
        glEnd();
        glBegin(GL_TRIANGLE_FAN);
        display_backdrop_vertex(i, 2, t, b, h, tmin, 0.5f);
        display_backdrop_vertex(j, 2, t, b, h, tmax, 0.5f);
        display_backdrop_vertex(j, 3, t, b, h, tmax, tmax);
        display_backdrop_vertex(i, 3, t, b, h, tmin, tmax);
        glEnd();
    }
}

void display_simple_block(const uint8_t *color, float x, float y, float z, uint32_t side_texture,
                          uint32_t top_texture, uint32_t bottom_texture, float scale) {
    float corner[8][3];
    for (int n = 0; n < 8; n++) {
        corner[n][0] = x + ((n & 4) ? scale : -scale);
        corner[n][1] = y + ((n & 2) ? scale : -scale);
        corner[n][2] = z + ((n & 1) ? -scale : scale);
    }
    // Texture coordinates stay half a texel inside each tile; negative ones rely on repeat wrapping.
    const float a = 1.0f / 512.0f, w = 255.0f / 256.0f;
    struct face {
        int texture;  // 0 top, 1 bottom, 2 side
        int corners[4];
        float st[4][2];
    };
    const face faces[6] = {
        {0, {0, 4, 6, 2}, {{a, -a}, {a + w, -a}, {a + w, -(a + w)}, {a, -(a + w)}}},
        {1, {1, 3, 7, 5}, {{a, a}, {a, a - w}, {a + w, a - w}, {a + w, a}}},
        {2, {2, 6, 7, 3}, {{a, a}, {a + w, a}, {a + w, a + w}, {a, a + w}}},
        {2, {4, 0, 1, 5}, {{a, a}, {a - w, a}, {a - w, a + w}, {a, a + w}}},
        {2, {4, 5, 7, 6}, {{a, a}, {a, a + w}, {a + w, a + w}, {a + w, a}}},
        {2, {2, 3, 1, 0}, {{a, a}, {a, a + w}, {a - w, a + w}, {a - w, a}}},
    };
    const uint32_t textures[3] = {top_texture, bottom_texture, side_texture};
    glColor4ub(color[0], color[1], color[2], color[3]);
    for (const face &f : faces) {
        glBindTexture(GL_TEXTURE_2D, textures[f.texture]);
        glBegin(GL_TRIANGLE_FAN);
        for (int k = 0; k < 4; k++) {
            glTexCoord2f(f.st[k][0], f.st[k][1]);
            glVertex3fv(corner[f.corners[k]]);
        }
        glEnd();
    }
}

static vector display_soft_normalized(const vector &v) {
    float length = sqrtf(vector_dot(v, v) + 0.00001f);
    return {v.x / length, v.y / length, v.z / length};
}

void display_oriented_plane_axes(const vector *normal, vector *u, vector *v) {
    vector e = display_soft_normalized({0.0001f, 0.0001f, 1.0f});
    *u = display_soft_normalized(vector_cross(*normal, e));
    *v = display_soft_normalized(vector_cross(*normal, *u));
}

void display_oriented_plane_corners(const vector *center, const vector *normal, float scale, vector corners[4]) {
    vector u, v;
    display_oriented_plane_axes(normal, &u, &v);
    static const float su[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    static const float sv[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    for (int k = 0; k < 4; k++) {
        corners[k].x = center->x + scale * (su[k] * u.x + sv[k] * v.x);
        corners[k].y = center->y + scale * (su[k] * u.y + sv[k] * v.y);
        corners[k].z = center->z + scale * (su[k] * u.z + sv[k] * v.z);
    }
}

void display_oriented_plane(const uint8_t *color, uint8_t alpha, vector *center, vector *normal, float scale) {
    vector corners[4];
    display_oriented_plane_corners(center, normal, scale, corners);
    glColor4ub(color[0], color[1], color[2], alpha);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLE_FAN);
    for (const vector &c : corners) glVertex3f(c.x, c.y, c.z);
    glEnd();
    glDisable(GL_BLEND);
    glColor4ub(color[0], color[1], color[2], 255);
    glBegin(GL_LINE_LOOP);
    for (const vector &c : corners) glVertex3f(c.x, c.y, c.z);
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

int display_oriented_plane_collide(vector *center, vector *normal, float scale, vector *start, vector *end) {
    vector u, v;
    display_oriented_plane_axes(normal, &u, &v);
    vector ray = {end->x - start->x, end->y - start->y, end->z - start->z};
    float d = vector_dot(ray, *normal);
    if (d >= -0.00001f && d <= 0.00001f) return 0;
    vector to_center = {center->x - start->x, center->y - start->y, center->z - start->z};
    // The whole line through the two points is tested, so k is not limited to 0..1.
    float k = vector_dot(to_center, *normal) / d;
    vector hit = {start->x + k * ray.x, start->y + k * ray.y, start->z + k * ray.z};
    vector offset = {hit.x - center->x, hit.y - center->y, hit.z - center->z};
    float along_u = vector_dot(offset, u), along_v = vector_dot(offset, v);
    if (along_u > -scale && along_u < scale && along_v > -scale && along_v < scale) {
        *end = hit;
        return 1;
    }
    return 0;
}

void display_player_hit_effect(const uint8_t *color, uint8_t alpha) {
    if (alpha == 0) return;
    float right = display_window_width();
    glColor4ub(color[0], color[1], color[2], alpha);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(right, 0.0f);
    glVertex2f(right, DISPLAY_OVERLAY_HEIGHT);
    glVertex2f(0.0f, DISPLAY_OVERLAY_HEIGHT);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

uint32_t global_display_state_changes = 0;

void display_state_enable(uint32_t capability, uint8_t on) {
    global_display_state_changes++;
    if (on)
        glEnable((GLenum)capability);
    else
        glDisable((GLenum)capability);
}

void display_state_bind(uint32_t texture) {
    global_display_state_changes++;
    glBindTexture(GL_TEXTURE_2D, texture);
}

void display_state_env_mode(int mode) {
    global_display_state_changes++;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

void display_state_front_face(uint32_t winding) {
    global_display_state_changes++;
    glFrontFace((GLenum)winding);
}

void display_state_client(uint32_t array, uint8_t on) {
    global_display_state_changes++;
    if (on)
        glEnableClientState((GLenum)array);
    else
        glDisableClientState((GLenum)array);
}

void display_texture_modulate_doubled(void) {
    global_display_state_changes += 7;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_PREVIOUS_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 2.0f);
}
