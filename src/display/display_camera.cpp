// display_camera.cpp — the orbit camera with its shake, the look-at basis and the modelview matrices
#include <SDL_opengl.h>

#include <cmath>

#include "display/display.h"
#include "foundation/random.h"
#include "foundation/timer.h"

uint16_t camera_rotation_xy[2] = {16384, 32768};
float camera_distance = 0.01f;
vector camera_vector;
vector camera_fore_vector = {0.0f, 1.0f, 0.0f};
vector camera_side_vector = {-1.0f, 0.0f, 0.0f};
vector camera_up_vector = {0.0f, 0.0f, 1.0f};
vector target_vector;
uint16_t screen_shake_timer = 0;

float display_shake_amplitude(uint32_t world_frame) {
    return 0.1f * sinf((float)(world_frame % 64) * KESTROVA_PI / 64.0f);
}

void display_camera_position(void) {
    float yaw = (float)camera_rotation_xy[0] * 2.0f * KESTROVA_PI / 65536.0f;
    float pitch = (float)camera_rotation_xy[1] * 2.0f * KESTROVA_PI / 65536.0f;
    float reach = DISPLAY_NEAR + camera_distance;
    camera_vector.x = target_vector.x + reach * sinf(yaw) * cosf(pitch);
    camera_vector.y = target_vector.y + reach * cosf(yaw) * cosf(pitch);
    camera_vector.z = target_vector.z + reach * sinf(pitch);
    if (screen_shake_timer) {
        float m = display_shake_amplitude(global_world_frame);
        camera_vector.x += random_range(-m, m);
        camera_vector.y += random_range(-m, m);
        camera_vector.z += random_range(-m, m);
    }
}

void display_look_at_basis(const vector *from_vector, const vector *to_vector) {
    vector b = {from_vector->x - to_vector->x, from_vector->y - to_vector->y, from_vector->z - to_vector->z};
    float d = sqrtf(vector_dot(b, b));
    if (d < 0.0001f) d = 0.0001f;
    b.x /= d;
    b.y /= d;
    b.z /= d;
    rotate_camera_matrix[1] = b.x;
    rotate_camera_matrix[5] = b.y;
    rotate_camera_matrix[9] = b.z;

    // Looking straight up or down has no horizontal direction: pick one so the side stays defined.
    float by = b.y;
    float h = sqrtf(b.x * b.x + b.y * b.y);
    if (h < 0.0001f) {
        h = 1.0f;
        by = 1.0f;
    }
    vector side = {by / h, -b.x / h, 0.0f};
    rotate_camera_matrix[0] = side.x;
    rotate_camera_matrix[4] = side.y;
    rotate_camera_matrix[8] = side.z;

    vector up = {side.y * b.z, -side.x * b.z, side.x * b.y - side.y * b.x};
    rotate_camera_matrix[2] = up.x;
    rotate_camera_matrix[6] = up.y;
    rotate_camera_matrix[10] = up.z;

    camera_fore_vector = {-b.x, -b.y, -b.z};
    camera_side_vector = side;
    camera_up_vector = up;
}

void display_look_at(vector *from_vector, vector *to_vector) {
    display_look_at_basis(from_vector, to_vector);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(initial_camera_matrix);
    glMultMatrixf(rotate_camera_matrix);
    glTranslatef(-from_vector->x, -from_vector->y, -from_vector->z);
}

static vector display_scaled_unit(const vector *v) {
    float length = sqrtf(vector_dot(*v, *v));
    if (length < 0.0001f) length = 0.0001f;
    return {v->x / length, v->y / length, v->z / length};
}

void display_arbitrary_basis(const vector *center_vector, const vector *front_vector, const vector *up_vector) {
    vector row1 = display_scaled_unit(front_vector);
    vector row2 = display_scaled_unit(up_vector);
    rotate_camera_matrix[1] = row1.x;
    rotate_camera_matrix[5] = row1.y;
    rotate_camera_matrix[9] = row1.z;
    rotate_camera_matrix[2] = row2.x;
    rotate_camera_matrix[6] = row2.y;
    rotate_camera_matrix[10] = row2.z;
    vector fore = {-row1.x, -row1.y, -row1.z};
    camera_fore_vector = fore;
    camera_up_vector = row2;
    // Row 0 is −(fore × up).
    vector row0 = {-(fore.y * row2.z - fore.z * row2.y), -(fore.z * row2.x - fore.x * row2.z),
                   -(fore.x * row2.y - fore.y * row2.x)};
    rotate_camera_matrix[0] = row0.x;
    rotate_camera_matrix[4] = row0.y;
    rotate_camera_matrix[8] = row0.z;
    camera_side_vector = row0;
    camera_vector = *center_vector;
}

void display_arbitrary_camera(vector *center_vector, vector *front_vector, vector *up_vector) {
    display_arbitrary_basis(center_vector, front_vector, up_vector);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(initial_camera_matrix);
    glMultMatrixf(rotate_camera_matrix);
    glTranslatef(-center_vector->x, -center_vector->y, -center_vector->z);
}

void display_camera_reset(void) {
    camera_rotation_xy[0] = 16384;
    camera_rotation_xy[1] = 32768;
    camera_distance = 0.01f;
    camera_vector = vector{0.0f, 0.0f, 0.0f};
    camera_fore_vector = vector{0.0f, 1.0f, 0.0f};
    camera_side_vector = vector{-1.0f, 0.0f, 0.0f};
    camera_up_vector = vector{0.0f, 0.0f, 1.0f};
    target_vector = vector{0.0f, 0.0f, 0.0f};
    screen_shake_timer = 0;
}
