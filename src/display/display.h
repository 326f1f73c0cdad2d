// display.h — the window and GL context, the camera, TGA textures, drawing primitives and the loading screen
#pragma once
#include <cstdint>
#include <cstdio>

#include "foundation/settings.h"
#include "foundation/vecmath.h"

#define DISPLAY_NEAR 0.625f
#define DISPLAY_FAR 10000.0f
#define DISPLAY_OVERLAY_HEIGHT 300.0f
#define DISPLAY_TEXTURE_MAX_SIDE 1024
#define DISPLAY_TEXTURE_DATA_SIZE (DISPLAY_TEXTURE_MAX_SIDE * DISPLAY_TEXTURE_MAX_SIDE * 4)

// ---- setup and camera (display_setup.cpp, display_camera.cpp)
extern float global_view_angle;
extern float initial_camera_matrix[16];
extern float rotate_camera_matrix[16];
extern uint16_t camera_rotation_xy[2];
extern float camera_distance;
extern vector camera_vector;
extern vector camera_fore_vector;
extern vector camera_side_vector;
extern vector camera_up_vector;
extern vector target_vector;
extern uint16_t screen_shake_timer;
extern float global_line_scale;
extern uint8_t display_multitexture;

// How far ahead of the camera, along its view, lies a point at that offset from the camera
// (negative behind it).
inline float display_view_depth(const vector &offset) {
    return vector_dot(offset, camera_fore_vector);
}

uint8_t display_setup(void);
void display_setup_frustum(void);
uint8_t display_setup_multitexture(void);
void display_window_mode(void);
void display_end_window_mode(void);
void display_camera_position(void);
// The camera's angles, distance, vectors, target and shake as at start.
void display_camera_reset(void);
void display_look_at(vector *from_vector, vector *to_vector);
void display_arbitrary_camera(vector *center_vector, vector *front_vector, vector *up_vector);

// The GL-free halves of the camera, so the maths can be checked without a window.
// display_look_at_basis fills rotate_camera_matrix and publishes the fore, side and up vectors.
void display_look_at_basis(const vector *from_vector, const vector *to_vector);
void display_arbitrary_basis(const vector *center_vector, const vector *front_vector, const vector *up_vector);
void display_frustum_extents(float *right, float *top);
float display_window_width(void);
float display_shake_amplitude(uint32_t world_frame);
// The multitexture decision on a unit count and an extension string (logs as the check does).
uint8_t display_multitexture_acceptable(int texture_units, const char *extensions);

// Multitexture entry points: direct on Linux, looked up by name on Windows.
void display_active_texture(uint32_t unit);
// Texture units selected for setting up since the counter was last cleared (the frame-stage timers read it).
extern uint32_t global_display_unit_selects;
void display_multi_tex_coord(uint32_t unit, float s, float t);
// Chooses the unit that the texture-coordinate array of a vertex batch feeds.
void display_client_active_texture(uint32_t unit);
// GL state set through these since the counter was last cleared (the frame figures read it): an
// enable or disable, a texture bound, a texture environment mode, a front-face winding, a vertex
// array switched on or off. The terrain and model drawing set their state through them.
extern uint32_t global_display_state_changes;
void display_state_enable(uint32_t capability, uint8_t on);
void display_state_bind(uint32_t texture);
void display_state_env_mode(int mode);
void display_state_front_face(uint32_t winding);
void display_state_client(uint32_t array, uint8_t on);
// Sets the active unit to modulate what the units below it made by its texture, doubled, so the
// texture brightens above mid-grey and darkens below it (light and shade overlays).
void display_texture_modulate_doubled(void);

// ---- textures (display_texture.cpp, display_tga.cpp)
// Texture handles loaded at start-up (0 when a file is missing).
extern uint32_t title_texture, font_texture, material_texture, light_texture, backdrop_texture, updrop_texture,
    downdrop_texture, subdrop_texture, sun_texture, moon_texture, backpack_texture, shade_texture, select_texture,
    cross_texture, notch_texture;
extern uint8_t temp_texture_data[DISPLAY_TEXTURE_DATA_SIZE];

uint32_t display_load_texture_file_rgba(const char *filename, uint8_t mipmap, uint8_t center_fade);
// The same for a picture that may be absent: a missing file is no warning (a damaged one is).
uint32_t display_load_texture_file_if_present(const char *filename, uint8_t mipmap, uint8_t center_fade);
void display_half_texture_data(uint16_t *size_x, uint16_t *size_y);
void display_unload_texture(uint32_t texture);

// Decodes an uncompressed TGA from an open file into temp_texture_data (red, green,
// blue, alpha; row 0 at the top as the origin fields ask). Returns 1 and the size,
// or 0 after logging the rejection. Bytes past the end of the file read as 255.
uint8_t display_decode_tga(FILE *file, uint8_t center_fade, uint16_t *size_x, uint16_t *size_y);
// What the last decode found wrong: bytes of the picture missing from the file (read as 255),
// and the reason when it refused the picture.
extern uint32_t global_display_tga_missing_bytes;
extern const char *global_display_tga_problem;
// The centre-fade alpha of file texel (x, y) in a width × height atlas of 16 × 16 tiles.
uint8_t display_center_fade_alpha(uint16_t x, uint16_t y, uint16_t width, uint16_t height);

// ---- primitives, backdrop and progress bar (display_draw.cpp, display_shapes.cpp, display_progress.cpp)
extern uint8_t progress_bar_active;
extern uint16_t progress_bar_current;
extern uint16_t progress_bar_total;
extern uint16_t subprogress_bar_current;
extern uint16_t subprogress_bar_total;

void display_backdrop(const uint8_t *color, uint32_t side_texture, uint32_t top_texture, uint32_t bottom_texture,
                      float top_scale, float bottom_scale, float zscale);
void display_simple_block(const uint8_t *color, float x, float y, float z, uint32_t side_texture,
                          uint32_t top_texture, uint32_t bottom_texture, float scale);
void display_oriented_plane(const uint8_t *color, uint8_t alpha, vector *center, vector *normal, float scale);
int display_oriented_plane_collide(vector *center, vector *normal, float scale, vector *start, vector *end);
void display_player_hit_effect(const uint8_t *color, uint8_t alpha);
void display_sphere(const uint8_t *color, float x, float y, float z, float scale, uint32_t idiv, uint32_t jdiv);
void display_wireframe_block(const uint8_t *color, float x, float y, float z);
void display_glass_block(const uint8_t *color, int x, int y, int z);
void display_marker(const uint8_t *color, float x, float y, float z, float scale);
// A camera-facing (or, in two-dimensional mode, flat) textured quad of half-size scale turned by spin,
// lit by light (128 = full), blended or alpha-tested (paperdoll), with an optional overlay texture on
// unit 1 whose window runs from overlay_tl_xy to overlay_br_xy (the whole texture when null). Object
// particles, icons and the sun and moon are drawn with it. Set the fields that differ from these.
struct display_quad {
    uint32_t base = 0;
    uint32_t overlay = 0;
    uint8_t alpha = 255;
    uint8_t light = 128;
    uint8_t paperdoll = 0;
    uint8_t two_dimensional_mode = 0;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float scale = 1.0f;
    uint8_t use_overlay = 0;
    uint16_t spin = 0;
    const float *overlay_tl_xy = nullptr;
    const float *overlay_br_xy = nullptr;
};
void display_particle_quad(const display_quad *quad);

// The four corners of the oriented plane (c0..c3), shared by the drawing and the ray test.
void display_oriented_plane_corners(const vector *center, const vector *normal, float scale, vector corners[4]);
// The plane's in-plane axes u and v.
void display_oriented_plane_axes(const vector *normal, vector *u, vector *v);

void display_progress_bar_start(uint16_t total_updates);
void display_subprogress_bar_start(uint16_t total_updates);
void display_progress_bar(uint8_t sub, const char *text);
void display_progress_bar_end(void);
// The filled share of a bar, limited to 0..1.
float display_progress_fraction(uint16_t current, uint16_t total);
// Draws one loading screen into the back buffer and advances the counters (no swap, no input).
void display_progress_screen(uint8_t sub, const char *text);
// Advances the counters as one redraw does (sub-step or stage), without drawing.
void display_progress_bar_count(uint8_t sub);
