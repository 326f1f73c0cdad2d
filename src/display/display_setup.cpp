// display_setup.cpp — the SDL window and GL context, the frustum, the multitexture check and window mode
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "foundation/logfile.h"

float global_view_angle = 1.0f;
float initial_camera_matrix[16];
float rotate_camera_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float global_line_scale = 0.05f;
uint8_t display_multitexture = 0;
static vector global_save_fore;
static vector global_save_side;
static vector global_save_up;

uint32_t global_display_unit_selects = 0;

// The GL entry points past OpenGL 1.1 and the window attributes that differ by system. Windows'
// OpenGL library exports only 1.1, so the multitexture functions are looked up by name once the
// context exists; elsewhere they are linked directly.
#ifdef _WIN32
typedef void(APIENTRY *display_active_texture_function)(GLenum);
typedef void(APIENTRY *display_multi_tex_coord_function)(GLenum, GLfloat, GLfloat);
static display_active_texture_function display_gl_active_texture = nullptr;
static display_multi_tex_coord_function display_gl_multi_tex_coord = nullptr;
static display_active_texture_function display_gl_client_active_texture = nullptr;

void display_active_texture(uint32_t unit) {
    global_display_unit_selects++;
    if (display_gl_active_texture) display_gl_active_texture(GL_TEXTURE0_ARB + unit);
}

void display_multi_tex_coord(uint32_t unit, float s, float t) {
    if (display_gl_multi_tex_coord) display_gl_multi_tex_coord(GL_TEXTURE0_ARB + unit, s, t);
}

void display_client_active_texture(uint32_t unit) {
    if (!display_gl_client_active_texture)
        display_gl_client_active_texture =
            (display_active_texture_function)SDL_GL_GetProcAddress("glClientActiveTextureARB");
    if (display_gl_client_active_texture) display_gl_client_active_texture(GL_TEXTURE0_ARB + unit);
}

static uint8_t display_find_entry_points(void) {
    display_gl_active_texture = (display_active_texture_function)SDL_GL_GetProcAddress("glActiveTextureARB");
    display_gl_multi_tex_coord = (display_multi_tex_coord_function)SDL_GL_GetProcAddress("glMultiTexCoord2fARB");
    return (display_gl_active_texture && display_gl_multi_tex_coord) ? 1 : 0;
}

static void display_system_attributes(void) {}
#else
void display_active_texture(uint32_t unit) {
    global_display_unit_selects++;
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
}

void display_multi_tex_coord(uint32_t unit, float s, float t) { glMultiTexCoord2fARB(GL_TEXTURE0_ARB + unit, s, t); }

void display_client_active_texture(uint32_t unit) { glClientActiveTextureARB(GL_TEXTURE0_ARB + unit); }

static uint8_t display_find_entry_points(void) { return 1; }

static void display_system_attributes(void) {
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
}
#endif

uint8_t display_setup(void) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        log_message(5, "ERROR:  Couldn't turn on SDL...  That's bad");
        log_message(5, "  SDL says: %s", SDL_GetError());
        log_message(1, "Could not start the display -- SDL says: %s", SDL_GetError());
        return 0;
    }
    log_message(5, "Trying to turn on the display");
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    display_system_attributes();
    Uint32 flags = SDL_HWSURFACE | SDL_OPENGL | SDL_DOUBLEBUF;
    if (fullscreen_mode) flags |= SDL_FULLSCREEN;
    if (!SDL_SetVideoMode(screen_x, screen_y, 24, flags)) {
        log_message(5, "ERROR:  SDL couldn't turn on GL...");
        log_message(5, "  SDL says: %s", SDL_GetError());
        log_message(1, "Could not open a %dx%d %s with OpenGL -- SDL says: %s", screen_x, screen_y,
                    fullscreen_mode ? "full screen" : "window", SDL_GetError());
        SDL_Quit();
        return 0;
    }

    int depth_size = 0, double_buffer = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth_size);
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &double_buffer);
    log_message(5, "Depth buffer set to %d bits", depth_size);
    log_message(5, "Double buffer set to %d", double_buffer);

    display_setup_frustum();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glGetFloatv(GL_MODELVIEW_MATRIX, rotate_camera_matrix);
    // Eye coordinates come out with y and z swapped: z is up in the world.
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glScalef(-1.0f, 1.0f, 1.0f);
    glGetFloatv(GL_MODELVIEW_MATRIX, initial_camera_matrix);

    SDL_WM_SetCaption(PROGRAM_TITLE, PROGRAM_TITLE);
    atexit(SDL_Quit);
    return 1;
}

void display_frustum_extents(float *right, float *top) {
    *right = 0.3f * (float)screen_x / (float)screen_y * global_view_angle;
    *top = 0.3f * global_view_angle;
}

void display_setup_frustum(void) {
    float r, t;
    display_frustum_extents(&r, &t);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-r, r, -t, t, DISPLAY_NEAR, DISPLAY_FAR);
    glMatrixMode(GL_MODELVIEW);
}

uint8_t display_multitexture_acceptable(int texture_units, const char *extensions) {
    if (texture_units <= 3) {
        log_message(5, "  Uh, oh -- Your hardware supports %d levels of multitexture, but we need at least 4 to run",
                    texture_units);
        return 0;
    }
    if (extensions && strstr(extensions, "GL_ARB_multitexture")) {
        log_message(5, "Multitexturing enabled");
        return 1;
    }
    log_message(5, "GL_ARB_multitexture was not found ");
    return 0;
}

uint8_t display_setup_multitexture(void) {
    log_message(5, "Attempting to setup multitexturing...");
    log_message(5, "  Multitexture rendering requires GL_ARB_multitexture");
    display_multitexture = 0;
    const char *extensions = (const char *)glGetString(GL_EXTENSIONS);
    log_message(5, "GL Extensions == %s", extensions ? extensions : "");
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    log_message(5, "OpenGL says it can handle up to %d textures", (int)units);
    if (!display_multitexture_acceptable(units, extensions)) return 0;
    if (!display_find_entry_points()) {
        log_message(5, "Had trouble locating the procedures");
        return 0;
    }
    display_multitexture = 1;
    return 1;
}

float display_window_width(void) { return DISPLAY_OVERLAY_HEIGHT * (float)screen_x / (float)screen_y; }

void display_window_mode(void) {
    global_save_fore = camera_fore_vector;
    global_save_side = camera_side_vector;
    global_save_up = camera_up_vector;
    camera_fore_vector = {0.0f, 0.0f, -1.0f};
    camera_side_vector = {1.0f, 0.0f, 0.0f};
    camera_up_vector = {0.0f, 1.0f, 0.0f};
    global_line_scale = 0.5f;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, display_window_width(), DISPLAY_OVERLAY_HEIGHT, 0.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    // The overlay owns the front tenth of the depth range, so it stays in front of the scene.
    glDepthRange(0.0, 0.1);
}

void display_end_window_mode(void) {
    global_line_scale = 0.05f;
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(0.1, 1.0);
    display_setup_frustum();
    glLoadIdentity();
    camera_fore_vector = global_save_fore;
    camera_side_vector = global_save_side;
    camera_up_vector = global_save_up;
}
