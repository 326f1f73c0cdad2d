// kestrova_loop.cpp — the main loop: input, fixed 16 ms world steps, drawing the scene and the overlay once per pass
#include <SDL.h>
#include <SDL_opengl.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "display/display.h"
#include "display/font.h"
#include "display/input.h"
#include "game/kestrova.h"
#include "game/kestrova_actions.h"
#include "game/kestrova_daynight.h"
#include "game/kestrova_hud.h"
#include "game/kestrova_stages.h"
#include "game/kestrova_gather.h"
#include "game/kestrova_survival.h"
#include "objects/object.h"
#include "objects/object_draw.h"
#include "objects/object_update.h"
#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "models/joint.h"
#include "terrain/multri.h"
#include "sound/sound.h"
#include "foundation/timer.h"
#include "terrain/voxel.h"

volatile sig_atomic_t global_quit_signal = 0;
uint8_t inventory_lowered = 0;
float inventory_fade = 0.0f;
uint32_t local_swing_count = 0, local_swing_end = 34;

float main_loop_inventory_fade_step(float fade, uint8_t open, uint8_t lowered) {
    float k = 0.0f;
    if (open) k = lowered ? 0.025f : 0.1f;
    return 0.9f * fade + k;
}

uint8_t main_loop_terrain_bands(uint8_t under_water, int display_distance, int background_distance,
                                main_loop_band bands[4]) {
    int d = display_distance, b = background_distance, g = b - d;
    if (under_water) {
        bands[0] = {6, d, 1, 1};
        return 1;
    }
    uint8_t count = 0;
    // Far to near; each band starts a little inside the next nearer band's outer edge,
    // and only the outermost band drawn also draws the sky.
    if (g > 200) bands[count++] = {d + 200 - 12, b, 1, 8};
    if (g > 100) bands[count++] = {d + 100 - 6, d + 200, (uint8_t)(g <= 200), 4};
    if (g > 0) bands[count++] = {d - 3, d + 100, (uint8_t)(g <= 100), 2};
    bands[count++] = {6, d, (uint8_t)(g <= 0), 1};
    return count;
}

// SDL 1.2 symbols of the two Enter keys.
#define KEY_RETURN 13
#define KEY_KEYPAD_ENTER 271

uint8_t main_loop_menu_closing_key_held(void) {
    return key_down[KEY_W] || key_down[KEY_S] || key_down[KEY_A] || key_down[KEY_D] || key_down[KEY_SPACE];
}

uint8_t main_loop_menu_closing_press(void) {
    return key_pressed[KEY_RETURN] || key_pressed[KEY_KEYPAD_ENTER] || mouse_pressed[0] || mouse_pressed[1] ||
           mouse_pressed[2];
}

uint8_t main_loop_shift_held(void) { return key_down[KEY_LEFT_SHIFT] || key_down[KEY_RIGHT_SHIFT]; }

void main_loop_fill_player_command(player_command *command) {
    command->forward = key_down[KEY_W];
    command->back = key_down[KEY_S];
    command->left = key_down[KEY_A];
    command->right = key_down[KEY_D];
    command->run = main_loop_shift_held();
    command->jump = key_pressed[KEY_SPACE];
    command->swim_up = key_down[KEY_SPACE];
    command->fore = camera_fore_vector;
    command->side = camera_side_vector;
    command->up = camera_up_vector;
    command->target = target_vector;
}

void main_loop_player_step(uint8_t may_move) {
    main_loop_fill_player_command(&global_player_command);
    if (may_move) object_local_player_controls();
    // A jump uses up the press, so the pass's later steps do not jump again.
    if (!global_player_command.jump) key_pressed[KEY_SPACE] = 0;
}

void main_loop_take_shake(void) {
    if (global_object_shake) screen_shake_timer = global_object_shake;
    global_object_shake = 0;
}

// F2 held: the ragdolls about to be drawn drop their joints and are drawn in their model's pose.
static void main_loop_drop_ragdolls_in_view(float centerx, float centery, float radius) {
    if (!std::isfinite(centerx) || !std::isfinite(centery) || centerx < 0.0f || centery < 0.0f) return;
    int ccx = (int)fminf(centerx, 1.0e6f) >> 6, ccy = (int)fminf(centery, 1.0e6f) >> 6;
    int half = (2 * (int)(radius / 64.0f) + 3) / 2;
    for (int cy = ccy - half; cy <= ccy + half; cy++) {
        if (cy < 0 || cy >= CHUNKMAP_SIZE) continue;
        for (int cx = ccx - half; cx <= ccx + half; cx++) {
            if (cx < 0 || cx >= CHUNKMAP_SIZE || !chunk_map[cx][cy]) continue;
            for (object *o = chunk_map[cx][cy]->local_object_pile; o; o = o->next) {
                if (!o->joints || (o == local_player && camera_distance < 2.0f * o->size)) continue;
                if (!object_in_view(&o->position, radius)) continue;
                joint_array_destroy(o->joints);
                o->joints = nullptr;
            }
        }
    }
}

// A dark see-through panel behind overlay text.
static void main_loop_panel(float x0, float y0, float x1, float y1) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glColor4ub(0, 0, 0, 160);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

// One column of the controls beside the title: each key in yellow with what it does below it in
// white, wrapped to the column's width. Returns the height used; draws only when draw is set.
static float main_loop_controls_column(int first, int count, float x, float y, float width, float size, uint8_t draw) {
    const float line = 1.15f * size, indent = size, room = width - indent;
    float at = y;
    char action[64], text[64];
    for (int i = first; i < first + count; i++) {
        if (draw) font_draw_text(yellow, controls_list[i].keys, x, at, size);
        at += line;
        // The font has no slash.
        snprintf(action, sizeof(action), "%s", controls_list[i].action);
        for (char *c = action; *c; c++)
            if (*c == '/') *c = '-';
        const char *word = action;
        text[0] = 0;
        while (*word) {
            while (*word == ' ') word++;
            int length = (int)strcspn(word, " ");
            if (!length) break;
            char trial[128];
            snprintf(trial, sizeof(trial), "%s%s%.*s", text, text[0] ? " " : "", length, word);
            if (text[0] && font_string_width((const uint8_t *)trial, size) > room) {
                if (draw) font_draw_text(white, text, x + indent, at, size);
                at += line;
                snprintf(text, sizeof(text), "%.*s", length, word);
            } else {
                snprintf(text, sizeof(text), "%.63s", trial);
            }
            word += length;
        }
        if (draw) font_draw_text(white, text, x + indent, at, size);
        at += line + 0.3f * size;
    }
    return at - y;
}

// The title overlay: the Escape toggle, then while shown the title picture, how to start and quit,
// and the controls beside the picture.
static void main_loop_title_overlay(void) {
    if (key_pressed[KEY_ESCAPE] && !main_loop_shift_held()) draw_menu = !draw_menu;
    if (!draw_menu) return;
    draw_inventory = 0;
    const float width = display_window_width();
    float cx = 0.5f * width;
    object_particle_draw(title_texture, 0, 255, 128, 0, 1, cx, 150.0f, 0.0f, 100.0f, 0, 0);
    font_draw_text_centered(white, "Press shift-escape to quit", cx, 252.0f, 15.0f);
    font_draw_text_centered(yellow, "Press Enter or Space or click to play", cx, 272.0f, 15.0f);
    // Two columns in the room left and right of the picture.
    const float margin = 6.0f, column = cx - 100.0f - 2.0f * margin, size = 7.0f;
    if (column > 40.0f) {
        const int left = (CONTROLS_COUNT + 1) / 2;
        const float inner = column - 2.0f * margin;
        float hl = main_loop_controls_column(0, left, 0.0f, 0.0f, inner, size, 0);
        float hr = main_loop_controls_column(left, CONTROLS_COUNT - left, 0.0f, 0.0f, inner, size, 0);
        float h = (hl > hr ? hl : hr) + 1.5f * size + 2.0f * margin;
        float top = 150.0f - 0.5f * h;
        float x0 = margin, x1 = width - margin - column;
        main_loop_panel(x0, top, x0 + column, top + h);
        main_loop_panel(x1, top, x1 + column, top + h);
        font_draw_text(white, "Controls", x0 + margin, top + margin, size);
        main_loop_controls_column(0, left, x0 + margin, top + margin + 1.5f * size, inner, size, 1);
        main_loop_controls_column(left, CONTROLS_COUNT - left, x1 + margin, top + margin + 1.5f * size, inner, size, 1);
    }
    if (main_loop_menu_closing_key_held() || main_loop_menu_closing_press()) draw_menu = 0;
}

static void main_loop_draw_terrain(void) {
    multri_draw_count = 0;
    voxel_draw_count = 0;
    voxel_draw_triangle_count = 0;
    debug_tri_average = 0.0f;
    debug_mega_tile = 0;
    const uint8_t under_water = local_player_under_water;
    main_loop_band bands[4];
    uint8_t count = main_loop_terrain_bands(under_water, global_display_distance, global_background_distance, bands);
    if (global_multri_depth_first) {
        stages_mark(STAGE_DEPTH);
        for (uint8_t i = 0; i < count; i++)
            voxel_draw_map_depth(&camera_vector, bands[i].min_radius, bands[i].max_radius, bands[i].mega);
    }
    for (uint8_t i = 0; i < count; i++) {
        stages_mark(stages_band_stage(bands[i].mega));
        const uint32_t drawn = multri_draw_count;
        voxel_draw_map(&camera_vector, bands[i].min_radius, bands[i].max_radius, bands[i].backdrop, bands[i].mega);
        // The coarse bands' triangles, averaged over their tiles below.
        if (bands[i].mega >= 2) debug_tri_average += (float)(multri_draw_count - drawn);
    }
    // Without any coarse tile drawn there is nothing to average.
    if (debug_mega_tile) debug_tri_average /= (float)debug_mega_tile;
    if (!under_water) {
        sound_update();
    }
}

static char global_debug_string[1024];

// The position and drawing statistics shown while F2, F4, F5 or F6 is held.
static void main_loop_debug_texts(void) {
    log_message(5, "Drawing frames per second");
    if (!(key_down[KEY_F2] || key_down[KEY_F4] || key_down[KEY_F5] || key_down[KEY_F6])) return;
    snprintf(global_debug_string, sizeof(global_debug_string), "%0.1f, %0.1f, %0.1f -- %f FPS", target_vector.x,
             target_vector.y, target_vector.z, timer_frames_per_second);
    font_draw_text(white, global_debug_string, 0.0f, 0.0f, 15.0f);
    // Terrain triangles handed to the GL so far this frame (the terrain is drawn before this), and
    // those meshed anew this frame.
    snprintf(global_debug_string, sizeof(global_debug_string), "%d tris drawn -- %d meshed -- %d multri",
             (int)global_multri_submitted, (int)voxel_draw_triangle_count, (int)multri_draw_count);
    font_draw_text(white, global_debug_string, 0.0f, 15.0f, 15.0f);
    snprintf(global_debug_string, sizeof(global_debug_string), "%.2f avg mega -- %d mega tiles", debug_tri_average,
             (int)debug_mega_tile);
    font_draw_text(white, global_debug_string, 0.0f, 30.0f, 15.0f);
    snprintf(global_debug_string, sizeof(global_debug_string), "In chunk %03d-%03d -- build plane == %d",
             (int)target_vector.x / 64, (int)target_vector.y / 64, build_plane_active);
    font_draw_text(white, global_debug_string, 0.0f, 45.0f, 15.0f);
    if (key_pressed[KEY_F2]) dump_pillar_xy((int)target_vector.x, (int)target_vector.y);
}

static void main_loop_before_first_pass(void) {
    log_message(5, "Starting main loop");
    stages_setup();
    timer_start();
    global_draw_frame = 0;
    global_world_frame = 0;
    global_texture_animation_frame = 0;
    local_walk_count = 0;
    local_walk_fade = 0.0f;
    inventory_fade = 0.0f;
    draw_menu = 1;
    // The scene stays dark while the title overlay is up and brightens once it is closed.
    global_sun_light_level = 0;
    draw_inventory = 0;
    local_swing_count = 0;
    local_swing_end = 34;
    // A close seen during loading is not acted on.
    main_loop_active = 1;
    global_inventory_grab = nullptr;
    object_destroyed_hook = hud_object_destroyed;
    actions_reset();
    // The day goes on from where the saved player left it.
    global_world_frame = global_start_world_frame;
    global_texture_animation_frame = global_world_frame / 4;
    gather_reset();
    target_vector = {MAIN_LOOP_START_X, MAIN_LOOP_START_Y, global_start_ground_z + 1.0f};
    if (local_player) {
        target_vector = local_player->position;
        target_vector.z += 0.5f * local_player->size;
    }
    // All five tracks play from here to the end; only their volumes change.
    day_music_channel = sound_play(day_music, 255, 255, 1, 1);
    night_music_channel = sound_play(night_music, 255, 255, 1, 1);
    inventory_music_channel = sound_play(inventory_music, 255, 255, 1, 1);
    underground_music_channel = sound_play(underground_music, 255, 255, 1, 1);
    title_music_channel = sound_play(title_music, 255, 255, 1, 1);
    music_adjust_volume();
}

// The camera looks from the player's eyes; without a player it keeps its last target.
static void main_loop_camera_target(void) {
    if (local_player) {
        target_vector = local_player->position;
        target_vector.z += 0.5f * local_player->size;
    }
    local_player_under_water = object_local_player_eye_under_water();
}

void main_loop(void) {
    main_loop_before_first_pass();
    while (main_loop_active) {
        log_message(5, "----------------------------------");
        log_message(5, "Main Loop Started");
        sound_update();

        log_message(5, "Handling controls");
        uint32_t updates = timer_poll(10);
        input_read(updates);
        actions_route_buttons(draw_menu || draw_inventory);
        global_debug_drawing = key_down[KEY_F1];
        if (!draw_menu && !draw_inventory) input_camera_controls(updates);

        actions_keep_unstepped_presses(updates);
        actions_respawn_check(key_pressed[KEY_R]);

        log_message(5, "Updating simulation");
        for (uint32_t step = 0; step < updates; step++) {
            music_adjust_volume();
            log_message(5, "Doing local player control stuff");
            // The dead do not walk.
            main_loop_player_step(!survival_death_timer);
            if (screen_shake_timer > 0) screen_shake_timer--;
            inventory_fade = main_loop_inventory_fade_step(inventory_fade, draw_inventory, inventory_lowered);
            log_message(5, "Updating all objects");
            object_update_all(target_vector.x, target_vector.y, 9);
            main_loop_take_shake();
            object_burning_step();
            log_message(5, "Done updating all objects");
            global_world_frame++;
            if (local_player && (global_world_frame & 15) == 0)
                log_message(5, "Player at %0.2f, %0.2f, %0.2f", (double)local_player->position.x,
                            (double)local_player->position.y, (double)local_player->position.z);
            daynight_spawn_monster();
            survival_step();
            if (local_player) {
                if (local_player_hit_timer) local_player_hit_timer--;
                actions_swing_step();
            }
        }

        main_player_save_step(updates);

        log_message(5, "Updating sound again");
        sound_update();

        log_message(5, "Doing wave effect");
        const uint32_t frame = global_world_frame;
        setup_wave_table(VOXEL_WATER_FIRST, (float)(frame & 127) / 128.0f, 0.3f);
        setup_wave_table(VOXEL_WATER_FIRST + 1, (float)(frame & 127) / 127.0f, 0.15f);
        setup_wave_table(VOXEL_WATER_LAST, (float)(frame & 255) / 256.0f, 0.0f);
        setup_wave_table(VOXEL_MAGMA, (float)(frame & 127) / 128.0f, 0.15f);
        setup_wave_table(VOXEL_WAVE_ONLY, (float)(frame & 511) / 512.0f, 0.15f);
        log_message(5, "Doing animated textures");
        global_texture_animation_frame = global_world_frame / 4;
        for (int material = VOXEL_WATER_FIRST; material <= VOXEL_WATER_LAST; material++)
            voxel_texture_frame_add[material] = (uint8_t)(global_texture_animation_frame & 255);

        chunkmap_update((int)target_vector.x, (int)target_vector.y, global_background_distance + 64.0f,
                        global_background_distance + 128.0f, 0);

        log_message(5, "Doing another sound update");
        sound_update();

        log_message(5, "Clearing display");
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glDepthFunc(GL_LEQUAL);

        log_message(5, "Setting up camera");
        main_loop_camera_target();
        display_camera_position();
        display_look_at(&camera_vector, &target_vector);

        log_message(5, "Determining day night cycle");
        daynight_sun_level();

        log_message(5, "Determining plop position");
        actions_plop_position(updates, 1);

        log_message(5, "Drawing terrain");
        main_loop_draw_terrain();

        log_message(5, "Drawing all objects");
        stages_mark(STAGE_OBJECTS);
        if (key_down[KEY_F2])
            main_loop_drop_ragdolls_in_view(target_vector.x, target_vector.y, (float)global_display_distance);
        object_draw_all(target_vector.x, target_vector.y, (float)global_display_distance);
        object_collect_burning_blocks(target_vector.x, target_vector.y, &camera_vector, &camera_fore_vector,
                                      (float)global_display_distance);

        if (key_pressed[KEY_T]) actions_tree_key();
        hud_chunk_marker();
        actions_build_plane(1);

        log_message(5, "Drawing inhand weapon");
        stages_mark(STAGE_INHAND);
        global_line_scale = 0.025f;
        if (local_player) actions_draw_inhand();
        global_line_scale = 0.05f;

        log_message(5, "Updating sounds");
        sound_update();

        log_message(5, "Drawing onscreen display");
        stages_mark(STAGE_OVERLAY);
        display_window_mode();
        hud_draw_crosshair_and_tints();
        survival_draw_overlay();
        main_loop_debug_texts();
        main_loop_title_overlay();
        hud_draw_board_and_counts();
        display_end_window_mode();

        log_message(5, "Doing Swap");
        stages_mark(STAGE_SWAP);
        if (key_pressed[KEY_F12]) hud_screenshot();
        SDL_GL_SwapBuffers();
        global_draw_frame++;
        stages_frame_end();

        log_message(5, "Feeding sound");
        sound_update();

        if (key_pressed[KEY_TAB]) {
            if (draw_menu) {
                draw_menu = 0;
            } else {
                draw_inventory = !draw_inventory;
                inventory_lowered = 0;
                hud_release_grab();
                local_swing_count = 0;
            }
        }

        if ((key_down[KEY_ESCAPE] && main_loop_shift_held()) || global_quit_signal) main_loop_active = 0;

        log_message(5, "Doing first person stuff");
        camera_distance = 0.9f * camera_distance;
        survival_camera();
        // The view has turned since the world steps.
        main_loop_fill_player_command(&global_player_command);
        object_determine_inworld_selected_object();
        static const object *looked_at = nullptr;
        if (global_inworld_selected_object != looked_at) {
            looked_at = global_inworld_selected_object;
            if (looked_at) log_message(4, "Looking at a %s", looked_at->name);
        }

        actions_choose_item(key_pressed[KEY_Q], key_pressed[KEY_E]);

        if (!actions_world_button_down[0]) placer_active = 0;
        if (actions_world_button_down[0] && !draw_inventory && !draw_menu && !object_local_player_swimming())
            actions_left_button();

        platform_sleep_1ms();
        log_message(5, "Main Loop finished");
    }
}

// The loop's own state as at start: no quit asked, the board up and visible, no swing.
void main_loop_reset(void) {
    global_quit_signal = 0;
    inventory_lowered = 0;
    inventory_fade = 0.0f;
    local_swing_count = 0;
    local_swing_end = 34;
}
