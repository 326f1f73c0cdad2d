// display_progress.cpp — the loading screen: title picture, stage bar, sub-step bar and the stage text
#include <SDL.h>
#include <SDL_opengl.h>

#include "display/display.h"
#include "display/font.h"
#include "display/input.h"
#include "foundation/logfile.h"

uint8_t progress_bar_active = 0;
uint16_t progress_bar_current = 0;
uint16_t progress_bar_total = 100;
uint16_t subprogress_bar_current = 0;
uint16_t subprogress_bar_total = 100;

void display_progress_bar_start(uint16_t total_updates) {
    progress_bar_current = 0;
    progress_bar_total = total_updates ? total_updates : 1;
    progress_bar_active = 1;
}

void display_subprogress_bar_start(uint16_t total_updates) {
    subprogress_bar_current = 0;
    subprogress_bar_total = total_updates ? total_updates : 1;
}

void display_progress_bar_end(void) {
    log_message(5, "Progress bar ended at %d of %d", progress_bar_current, progress_bar_total);
    progress_bar_active = 0;
}

float display_progress_fraction(uint16_t current, uint16_t total) {
    if (total == 0) return 1.0f;
    float f = (float)current / (float)total;
    return f > 1.0f ? 1.0f : f;
}

void display_progress_bar_count(uint8_t sub) {
    if (sub)
        subprogress_bar_current++;
    else
        progress_bar_current++;
}

static void display_rectangle(float x0, float y0, float x1, float y1) {
    glBegin(GL_TRIANGLE_FAN);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

// One bar: the grey frame, then the white filled share, shown before this call's step.
static void display_bar(float top, float fraction) {
    glColor4ubv(grey);
    display_rectangle(97.5f, top, 302.5f, top + 20.0f);
    glColor4ubv(white);
    display_rectangle(100.0f, top + 12.5f, 100.0f + 200.0f * fraction, top + 17.5f);
}

void display_progress_screen(uint8_t sub, const char *text) {
    glDisable(GL_BLEND);
    glShadeModel(GL_FLAT);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    display_window_mode();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_TEXTURE_2D);

    display_bar(247.5f, display_progress_fraction(progress_bar_current, progress_bar_total));
    if (sub) display_bar(277.5f, display_progress_fraction(subprogress_bar_current, subprogress_bar_total));
    display_progress_bar_count(sub);

    font_draw_text_centered(white, text, 200.0f, 252.0f, 15.0f);

    glEnable(GL_TEXTURE_2D);
    glColor4ubv(white);
    glBindTexture(GL_TEXTURE_2D, title_texture);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0, 0);
    glVertex2f(125.0f, 75.0f);
    glTexCoord2f(1, 0);
    glVertex2f(275.0f, 75.0f);
    glTexCoord2f(1, 1);
    glVertex2f(275.0f, 225.0f);
    glTexCoord2f(0, 1);
    glVertex2f(125.0f, 225.0f);
    glEnd();
}

void display_progress_bar(uint8_t sub, const char *text) {
    // The window stays responsive through loading, drawn or not.
    input_read(1);
    if (progress_bar_active) {
        display_progress_screen(sub, text);
        SDL_GL_SwapBuffers();
    }
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
}
