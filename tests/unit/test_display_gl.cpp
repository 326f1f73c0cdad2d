// test_display_gl.cpp — behaviour that needs a real GL context: the window, textures, the overlay state, the loading screen
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <SDL.h>
#include <SDL_opengl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/display.h"
#include "display/font.h"
#include "display/input.h"
#include "test_util.h"
#include "test_window.h"
#include "foundation/settings.h"

namespace {

// Each test runs in its own process, so each opens its own small window.
struct GlWindow : ::testing::Test {
    void SetUp() override {
        if (!test_window_display_available()) GTEST_SKIP() << "no X display (test.sh runs the tests under xvfb-run)";
        test_window_ignore_library_leaks();
        setenv("SDL_VIDEODRIVER", "x11", 0);
        screen_x = 320;
        screen_y = 240;
        fullscreen_mode = 0;
        global_log_level = 5;
        ASSERT_EQ(display_setup(), 1) << SDL_GetError();
    }
};

void write_tga(const char *name, uint16_t width, uint16_t height) {
    std::vector<uint8_t> data(18, 0);
    data[2] = 2;
    data[12] = width & 255;
    data[13] = width >> 8;
    data[14] = height & 255;
    data[15] = height >> 8;
    data[16] = 32;
    for (int i = 0; i < width * height; i++) data.insert(data.end(), {10, 20, 30, 255});
    FILE *file = fopen(name, "wb");
    fwrite(data.data(), 1, data.size(), file);
    fclose(file);
}

// Counts pure white pixels inside a rectangle of window pixels of the front buffer.
int white_pixels(int x0, int y0, int x1, int y1, GLenum buffer = GL_FRONT) {
    std::vector<uint8_t> pixels((size_t)screen_x * screen_y * 4);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, screen_x, screen_y, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            // GL rows run bottom-up.
            const uint8_t *p = &pixels[((size_t)(screen_y - 1 - y) * screen_x + x) * 4];
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) count++;
        }
    return count;
}

}  // namespace

TEST_F(GlWindow, WindowBearsTheGameTitleAndOffersMultitexture) {
    char *title = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, "Cindervault");
    EXPECT_STREQ(icon, "Cindervault");
    EXPECT_EQ(display_setup_multitexture(), 1);
    EXPECT_EQ(display_multitexture, 1);
}

TEST_F(GlWindow, InitialCameraMatrixSwapsYAndZ) {
    // (a, b, c) maps to (a, c, b).
    const float *m = initial_camera_matrix;
    float a = 1, b = 2, c = 3;
    float ex = m[0] * a + m[4] * b + m[8] * c;
    float ey = m[1] * a + m[5] * b + m[9] * c;
    float ez = m[2] * a + m[6] * b + m[10] * c;
    EXPECT_NEAR(ex, 1.0f, 1e-5);
    EXPECT_NEAR(ey, 3.0f, 1e-5);
    EXPECT_NEAR(ez, 2.0f, 1e-5);
}

TEST_F(GlWindow, MipmappedTextureHasEveryLevelDownToOneTexel) {
    ScratchDir scratch;
    ASSERT_EQ(mkdir("ART", 0755), 0);
    write_tga("ART/WIDE.TGA", 64, 16);
    uint32_t texture = display_load_texture_file_rgba("ART\\WIDE.TGA", 1, 0);
    ASSERT_NE(texture, 0u);
    glBindTexture(GL_TEXTURE_2D, texture);
    const int expected[7][2] = {{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
    for (int level = 0; level < 7; level++) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        EXPECT_EQ(w, expected[level][0]) << level;
        EXPECT_EQ(h, expected[level][1]) << level;
    }
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
    display_unload_texture(texture);
    EXPECT_EQ(glIsTexture(texture), GL_FALSE);
}

TEST_F(GlWindow, MissingOrRefusedFilesGiveTextureZeroWithALogLine) {
    ScratchDir scratch;
    open_logfile();
    EXPECT_EQ(display_load_texture_file_rgba("ART\\NOTHERE.TGA", 0, 0), 0u);
    EXPECT_TRUE(log_contains("Failed to load image file ART\\NOTHERE.TGA"));
    write_tga("EMPTY.TGA", 0, 5);
    EXPECT_EQ(display_load_texture_file_rgba("EMPTY.TGA", 1, 0), 0u);
    EXPECT_TRUE(log_contains("ERROR:  File had trouble...  Bits == 32, X == 0, Y == 5"));
    // At the shipped log level the player still reads what is wrong with which picture.
    EXPECT_TRUE(log_contains("Warn :Could not load picture ART/NOTHERE.TGA -- No such file or directory"));
    EXPECT_TRUE(log_contains("Warn :Could not load picture EMPTY.TGA -- its size is 0 or beyond 1024 texels"));
    // A picture cut short still loads, with a warning; an optional one may be absent quietly.
    ASSERT_EQ(system("mkdir -p ART"), 0);
    write_tga("ART/CUT.TGA", 16, 16);
    std::string bytes = read_text_file("ART/CUT.TGA");
    write_text_file("ART/CUT.TGA", bytes.substr(0, 100));
    uint32_t texture = display_load_texture_file_rgba("ART\\CUT.TGA", 1, 1);
    EXPECT_NE(texture, 0u);
    display_unload_texture(texture);
    EXPECT_TRUE(log_contains("Warn :Picture ART/CUT.TGA ends early: 942 bytes of its 16x16 texels are missing and "
                             "show white"));
    EXPECT_EQ(display_load_texture_file_if_present("ART\\TEXTURE9.TGA", 1, 0), 0u);
    EXPECT_FALSE(log_contains("TEXTURE9.TGA --"));
}

TEST_F(GlWindow, WindowModeSplitsTheDepthRangeAndFlattensTheBasis) {
    camera_fore_vector = {0, 1, 0};
    camera_side_vector = {-1, 0, 0};
    camera_up_vector = {0, 0, 1};
    display_window_mode();
    GLfloat range[2];
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_FLOAT_EQ(range[0], 0.0f);
    EXPECT_NEAR(range[1], 0.1f, 1e-6);
    EXPECT_FLOAT_EQ(camera_fore_vector.z, -1.0f);
    EXPECT_FLOAT_EQ(global_line_scale, 0.5f);
    display_end_window_mode();
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_NEAR(range[0], 0.1f, 1e-6);
    EXPECT_FLOAT_EQ(range[1], 1.0f);
    EXPECT_FLOAT_EQ(camera_fore_vector.y, 1.0f);
    EXPECT_FLOAT_EQ(camera_side_vector.x, -1.0f);
    EXPECT_FLOAT_EQ(global_line_scale, 0.05f);
}

TEST_F(GlWindow, FontLeavesCullingOnAndTexturingAndBlendingOff) {
    font_setup();
    display_window_mode();
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    const uint8_t empty[] = "";
    font_draw_string(white, empty, 10, 10, 15);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint front = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CW);
}

TEST_F(GlWindow, CentredTextSpreadsEvenlyAroundItsCentre) {
    font_setup();
    font_texture = 0;  // untextured glyph boxes: each defined character is a solid white quad
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    display_window_mode();
    glDisable(GL_DEPTH_TEST);
    const uint8_t text[] = "Cindervault";
    font_draw_string_centered(white, text, 200.0f, 100.0f, 15.0f);
    std::vector<uint8_t> pixels((size_t)screen_x * screen_y * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, screen_x, screen_y, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // Row through the middle of the glyphs: overlay y 106 -> window row 84.8 from the top.
    int row = screen_y - 1 - 85, left = -1, right = -1;
    for (int x = 0; x < screen_x; x++)
        if (pixels[((size_t)row * screen_x + x) * 4] == 255) {
            if (left < 0) left = x;
            right = x;
        }
    ASSERT_GE(left, 0);
    float units_per_pixel = display_window_width() / screen_x;
    float width = font_string_width(text, 15.0f);
    EXPECT_NEAR(left * units_per_pixel, 200.0f - width / 2, 2.0f);
    EXPECT_NEAR((right + 1) * units_per_pixel, 200.0f + width / 2, 2.0f);
}

TEST_F(GlWindow, HitEffectWithZeroAlphaChangesNothing) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor4ub(1, 2, 3, 4);
    display_player_hit_effect(red, 0);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_NEAR(color[0], 1.0f / 255.0f, 1e-4);
    display_player_hit_effect(red, 10);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(GlWindow, LoadingScreenShowsTheBarsFilledShareBeforeEachStep) {
    font_setup();
    title_texture = 0;
    // Overlay units are 0.8 pixels here (240 / 300); the bar's track runs x 100..300, y 260..265.
    auto bar = [](int y0, int y1, int x0, int x1) {
        return white_pixels(x0 * 320 / 400, y0 * 240 / 300, x1 * 320 / 400, y1 * 240 / 300, GL_BACK);
    };
    display_progress_bar_start(4);
    display_progress_screen(0, "");
    EXPECT_EQ(bar(261, 264, 110, 290), 0);
    display_progress_screen(0, "");
    display_progress_screen(0, "");
    // Two of four done: the left half is filled, the right half is not.
    EXPECT_GT(bar(261, 264, 110, 190), 100);
    EXPECT_EQ(bar(261, 264, 210, 290), 0);
    EXPECT_EQ(progress_bar_current, 3);

    display_subprogress_bar_start(2);
    display_progress_screen(1, "");
    EXPECT_EQ(bar(291, 294, 110, 290), 0);
    display_progress_screen(1, "");
    EXPECT_GT(bar(291, 294, 110, 190), 100);
    EXPECT_EQ(bar(291, 294, 210, 290), 0);
    EXPECT_EQ(subprogress_bar_current, 2);
    EXPECT_EQ(progress_bar_current, 3);
    // The (white, untextured) title picture fills its square above the bar.
    EXPECT_GT(bar(80, 220, 130, 270), 10000);
    display_progress_bar_end();
}

TEST_F(GlWindow, InactiveProgressBarOnlyPumpsInput) {
    display_progress_bar_start(4);
    display_progress_bar(0, "Textures");
    EXPECT_EQ(progress_bar_current, 1);
    EXPECT_EQ(input_setup, 1);
    display_progress_bar_end();
    display_progress_bar(0, "Textures");
    display_progress_bar(1, "Textures");
    EXPECT_EQ(progress_bar_current, 1);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST(PlaneCollide, RayThroughTheSquareIsCutAtThePlane) {
    vector center = {0, 0, 5}, normal = {0, 0, 1};
    vector start = {1, 2, 10}, end = {1, 2, 0};
    EXPECT_EQ(display_oriented_plane_collide(&center, &normal, 3, &start, &end), 1);
    EXPECT_NEAR(end.x, 1.0f, 1e-5);
    EXPECT_NEAR(end.y, 2.0f, 1e-5);
    EXPECT_NEAR(end.z, 5.0f, 1e-5);
}

TEST(PlaneCollide, ParallelRayAndMissesLeaveTheEndAlone) {
    vector center = {0, 0, 5}, normal = {0, 0, 1};
    vector start = {0, 0, 6}, end = {5, 5, 6};
    EXPECT_EQ(display_oriented_plane_collide(&center, &normal, 3, &start, &end), 0);
    EXPECT_EQ(end.x, 5.0f);
    // A wall facing x: the ray crosses x 0 at y 4, outside the square of half-width 3.
    vector wall = {0, 0, 0}, wall_normal = {1, 0, 0};
    vector wide_start = {5, 4, 0}, wide_end = {-5, 4, 0};
    EXPECT_EQ(display_oriented_plane_collide(&wall, &wall_normal, 3, &wide_start, &wide_end), 0);
    EXPECT_EQ(wide_end.x, -5.0f);
    vector inside_start = {5, 2, 0}, inside_end = {-5, 2, 0};
    EXPECT_EQ(display_oriented_plane_collide(&wall, &wall_normal, 3, &inside_start, &inside_end), 1);
    EXPECT_NEAR(inside_end.x, 0.0f, 1e-5);
}

TEST(PlaneCollide, WholeLineCountsSoHitsBeyondTheSegmentAreAccepted) {
    vector center = {0, 0, 0}, normal = {1, 0, 0};
    // Segment from x 5 to x 3: the plane at x 0 lies beyond its end.
    vector start = {5, 1, 1}, end = {3, 1, 1};
    EXPECT_EQ(display_oriented_plane_collide(&center, &normal, 2, &start, &end), 1);
    EXPECT_NEAR(end.x, 0.0f, 1e-5);
    EXPECT_NEAR(end.y, 1.0f, 1e-5);
}

TEST(PlaneCollide, CornersSpanTwiceTheScaleAroundTheCentre) {
    vector center = {1, 1, 1}, normal = {0, 1, 0};
    vector corners[4];
    display_oriented_plane_corners(&center, &normal, 2, corners);
    for (const vector &c : corners) {
        EXPECT_NEAR(c.y, 1.0f, 1e-3);
        EXPECT_NEAR(fabsf(c.x - 1.0f), 2.0f, 1e-3);
        EXPECT_NEAR(fabsf(c.z - 1.0f), 2.0f, 1e-3);
    }
}
