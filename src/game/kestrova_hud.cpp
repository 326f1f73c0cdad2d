// kestrova_hud.cpp — the on-screen display: crosshair, pitch notches, read-outs, tints, the hits
// number, the inventory board worked with the mouse, the stack counts and F12 screenshots
#include <SDL.h>
#include <SDL_opengl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "display/display.h"
#include "display/font.h"
#include "display/input.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "game/kestrova.h"
#include "game/kestrova_actions.h"
#include "game/kestrova_gather.h"
#include "game/kestrova_hud.h"
#include "objects/inventory.h"
#include "objects/object_draw.h"
#include "objects/object_update.h"
#include "objects/object.h"
#include "objects/template.h"
#include "sound/sound.h"
#include "terrain/multri.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

object *global_inventory_grab = nullptr;
static char hud_text[1024];

void hud_object_destroyed(object *o) {
    if (o && o == global_inventory_grab) global_inventory_grab = nullptr;
}

static void hud_item_label(const object *o, char *text, size_t size);

// The board as the log keeps it: every item with its count and hole.
static void hud_log_board(void) {
    if (!local_player) return;
    char label[96];
    for (object *o = local_player->inventory_pile; o; o = o->next) {
        hud_item_label(o, label, sizeof(label));
        log_message(4, "Board: %s x%d at %0.0f, %0.0f", label, (int)o->inventory_stack_count, (double)o->position.x,
                    (double)o->position.y);
    }
}

void hud_release_grab(void) {
    hud_log_board();
    if (global_inventory_grab && global_inventory_grab->position.y < -100.0f)
        global_inventory_grab->position.y = -100.0f;
    // Let go, it settles into a hole like any dropped item.
    if (global_inventory_grab && local_player) object_inventory_settle(local_player, global_inventory_grab);
    global_inventory_grab = nullptr;
}

static uint8_t is_kind(const object *o, const object *kind) {
    return o && kind && o->template_index == kind->template_index ? 1 : 0;
}

// A BLOCK becomes DEBRIS and DEBRIS a BLOCK, keeping place, stack, material (Block and Stone
// swap) and facing. When the new object cannot be made the grab stays as it was.
static void hud_convert(object *player, object *grab) {
    const uint8_t from_block = is_kind(grab, block_object_template);
    object *to = from_block ? debris_object_template : block_object_template;
    log_message(3, "    Converting");
    if (!to) return;
    log_message(3, from_block ? "      Converting block into debris" : "      Converting debris into block");
    uint8_t material = grab->material;
    if (from_block && material == VOXEL_BLOCK) material = VOXEL_STONE;
    if (!from_block && material == VOXEL_STONE) material = VOXEL_BLOCK;
    object *made = object_spawn(to, nullptr, 300, player->position.x, player->position.y, player->position.z);
    if (!made) {
        log_message(2, "  Nothing to convert into here; the item stays as it is");
        return;
    }
    made->position.x = grab->position.x;
    made->position.y = grab->position.y;
    made->position.z = grab->position.z;
    made->inventory_stack_count = grab->inventory_stack_count;
    made->material = material;
    memcpy(made->facing_xyzw, grab->facing_xyzw, sizeof(made->facing_xyzw));
    put_object_into_pile(made, &player->inventory_pile);
    remove_object_from_pile(grab);
    object_destroy(grab);
    global_inventory_grab = made;
}

// One of a stack comes off where the grab was; the rest stays under the cursor.
static void hud_split(object *player, object *grab) {
    object *copy = object_spawn(grab, nullptr, 300, player->position.x, player->position.y, player->position.z);
    if (!copy) {
        log_message(2, "  No room to split the stack here; it stays whole");
        return;
    }
    copy->position = grab->position;
    memcpy(copy->facing_xyzw, grab->facing_xyzw, sizeof(copy->facing_xyzw));
    copy->inventory_stack_count = 1;
    grab->inventory_stack_count--;
    put_object_into_pile(copy, &player->inventory_pile);
    // The one split off settles into the hole the stack came from (the stack, in hand, is out of
    // the way meanwhile); the rest of the stack stays in hand.
    vector held = grab->position;
    grab->position.x = 10000.0f;
    object_inventory_settle(player, copy);
    grab->position = held;
    put_object_into_pile(grab, &player->inventory_pile);
    log_message(4, "Split one %s off: %d left in hand", grab->name, (int)grab->inventory_stack_count);
}

// Crafting reads the board hole by hole: the held middle item counts from the hole it is over.
static uint8_t hud_craft(object *player, object *grab) {
    vector held = grab->position;
    int c, r;
    if (inventory_nearest_hole(held.x, held.y, &c, &r)) inventory_hole_centre(c, r, &grab->position.x, &grab->position.y);
    if (!object_recipe_replace(player, grab, INVENTORY_CRAFT_RADIUS)) {
        grab->position = held;
        return 0;
    }
    // The product lies where the middle item was, or beside it while some of that stack is left.
    object *product = player->inventory_pile;
    if (product) object_inventory_settle(player, product);
    return 1;
}

static void hud_right_click(object *player, object *grab) {
    log_message(3, "Right clicked on grab -- index == %d", (int)grab->template_index);
    log_message(3, "  Block == %d", block_object_template ? (int)block_object_template->template_index
                                                          : OBJECT_NO_TEMPLATE);
    log_message(3, "  Debris == %d", debris_object_template ? (int)debris_object_template->template_index
                                                            : OBJECT_NO_TEMPLATE);
    if (is_kind(grab, block_object_template) || is_kind(grab, debris_object_template)) {
        hud_convert(player, grab);
    } else if (hud_craft(player, grab)) {
        global_inventory_grab = nullptr;
        log_message(3, "Crafted %s", player->inventory_pile ? player->inventory_pile->name : "nothing");
    } else if (grab->inventory_stackable && grab->inventory_stack_count > 1) {
        hud_split(player, grab);
    }
}

// Released outside the backpack: into the world in front of the player, and the board closes.
static void hud_throw_off(object *grab) {
    object **pile = chunkmap_pile_pointer((int)target_vector.x, (int)target_vector.y);
    if (pile) {
        put_object_into_pile(grab, pile);
        local_swing_count = 0;
        actions_launch(grab);
        sound_play(swipe_sound, 192, 128, 0, 0);
        log_message(4, "Threw %s off the board", grab->name);
        object *kind = template_get_by_index(grab->template_index);
        if (kind && kind->behave_like_zombi) {
            grab->no_collide_parent = nullptr;
            grab->delay = 1;
        }
    }
    // The board goes at once rather than sliding down behind the throw, so the throw is seen
    // from a clear view and nothing suggests the board is still open.
    draw_inventory = 0;
    inventory_fade = 0.0f;
}

// Dragged past the board's edge (not its bottom, where dragging stops).
static uint8_t hud_off_board(const object *grab) {
    return grab->position.x < -INVENTORY_BOARD_EDGE_X || grab->position.x > INVENTORY_BOARD_EDGE_X ||
                   grab->position.y < INVENTORY_BOARD_EDGE_TOP
               ? 1
               : 0;
}

void hud_inventory_mouse(float gx, float gy, float cx, float by) {
    object *player = local_player;
    if (!player) return;
    object *&grab = global_inventory_grab;
    if (mouse_down[0]) {
        if (grab && grab != player->inventory_pile) grab = nullptr;
        if (mouse_pressed[2] && grab) hud_right_click(player, grab);
    } else if (grab && grab == player->inventory_pile) {
        if (hud_off_board(grab))
            hud_throw_off(grab);
        else
            object_inventory_settle(player, grab);
        inventory_lowered = 0;
        grab = nullptr;
    }
    if (!grab && mouse_pressed[0]) {
        for (object *o = player->inventory_pile; o; o = o->next) {
            float dx = o->position.x + cx - gx, dy = o->position.y + by - gy;
            if (dx * dx + dy * dy < 300.0f) {
                grab = o;
                break;
            }
        }
    }
    if (!grab) return;
    put_object_into_pile(grab, &player->inventory_pile);
    local_swing_count = 0;
    float oldx = grab->position.x, oldy = grab->position.y;
    grab->position.x = gx - cx;
    grab->position.y = gy - by;
    if (grab->position.y > INVENTORY_BOARD_EDGE_BOTTOM) grab->position.y = INVENTORY_BOARD_EDGE_BOTTOM;
    // It rolls the way it is dragged.
    float mx = grab->position.x - oldx, my = grab->position.y - oldy;
    float length = sqrtf(mx * mx + my * my + 0.00001f);
    if (mx != 0.0f || my != 0.0f) {
        float angle = -0.01f * length * 2.0f * KESTROVA_PI;
        float s = sinf(0.5f * angle);
        quaternion roll = {my / length * s, -mx / length * s, 0.0f, cosf(0.5f * angle)};
        quaternion facing = {grab->facing_xyzw[0], grab->facing_xyzw[1], grab->facing_xyzw[2], grab->facing_xyzw[3]};
        facing = quaternion_multiply(roll, facing);
        grab->facing_xyzw[0] = facing.x;
        grab->facing_xyzw[1] = facing.y;
        grab->facing_xyzw[2] = facing.z;
        grab->facing_xyzw[3] = facing.w;
    }
    inventory_lowered = hud_off_board(grab);
}

// The count shown under an item on the board (0: none): how many the stack holds, loose
// material counted in dug blocks like everything else.
static int board_count(const object *o) { return o->inventory_stack_count > 1 ? o->inventory_stack_count : 0; }

// What an item is called on the board and in hand: a material item by its material, a metal
// item with its metal.
static const char *hud_material_name(uint8_t m) {
    // The dirt ores have no name of their own in the material table: what a player digs them as.
    if (m == VOXEL_CLAY) return "Clay";
    if (m == VOXEL_LOAM) return "Loam";
    if (strncmp(voxel_material_name[m], "Mat", 3) == 0) return voxel_material_name[voxel_material_parent[m] & 63];
    return voxel_material_name[m];
}

static void hud_item_label(const object *o, char *text, size_t size) {
    if (o->behave_like_debris)
        snprintf(text, size, "%s", hud_material_name((uint8_t)(o->material & 63)));
    else if (o->show_material)
        snprintf(text, size, "%.31s (%.31s)", o->name, metal_name[object_metal_index(o->material)]);
    else
        snprintf(text, size, "%s", o->name);
}

static void hud_draw_inventory(void) {
    object *player = local_player;
    if (!player || !(draw_inventory || inventory_fade > 0.01f)) return;
    log_message(5, "Drawing inventory");
    const float aspect = (float)screen_x / (float)screen_y;
    const float cx = 150.0f * aspect;
    const float by = 450.0f - 300.0f * inventory_fade;
    object_particle_draw(backpack_texture, 0, 255, 128, 1, 1, cx, by, 0.0f, 150.0f, 0, 0);
    // The board answers the mouse only while it is open, not while it slides away.
    if (draw_inventory)
        hud_inventory_mouse(mouse_x / (float)screen_y * 300.0f, mouse_y / (float)screen_y * 300.0f, cx, by);
    for (object *o = player->inventory_pile; o; o = o->next) {
        vector saved = o->position;
        o->position.x += cx;
        o->position.y += by;
        o->position.z = o == player->inventory_pile ? 75.0f : 50.0f;
        if (o->position.z > 60.0f)
            object_particle_draw(select_texture, 0, 255, 128, 0, 1, o->position.x, o->position.y, 10.0f, 30.0f,
                                      0, 0);
        o->light = 255;
        object_draw(o, 1, o->inventory_scale);
        int count = board_count(o);
        if (o != global_inventory_grab && count) {
            // Under the item, inside its hole, so a neighbour's count never covers it.
            snprintf(hud_text, sizeof(hud_text), "x%d", count);
            glDepthMask(GL_FALSE);
            font_draw_text_centered(white, hud_text, o->position.x, o->position.y + 9.0f, 9.0f);
            glDepthMask(GL_TRUE);
        }
        o->position = saved;
    }
    object *grab = global_inventory_grab;
    if (grab) {
        hud_item_label(grab, hud_text, sizeof(hud_text));
        font_draw_text(white, hud_text, grab->position.x + cx + 10.0f, grab->position.y + by - 5.0f, 10.0f);
    }
}

static void hud_debug_pile(void) {
    object **pile = chunkmap_pile_pointer((int)target_vector.x, (int)target_vector.y);
    snprintf(hud_text, sizeof(hud_text), "Pile %x", (unsigned)(uintptr_t)(pile ? *pile : nullptr));
    font_draw_text(white, hud_text, 0.0f, 0.0f, 15.0f);
    float y = 15.0f;
    for (object *o = pile ? *pile : nullptr; o && y < 300.0f; o = o->next, y += 15.0f)
        font_draw_text(white, o->name, 30.0f, y, 15.0f);
}

void hud_draw_crosshair_and_tints(void) {
    const float aspect = (float)screen_x / (float)screen_y;
    const float cx = 150.0f * aspect, cy = 150.0f;
    object_particle_draw(cross_texture, 0, 255, 128, 1, 1, cx, cy, -10.0f, 4.0f, 0, 0);
    int n = (32768 - (int)camera_rotation_xy[1]) / 500;
    if (n < -10) n = -10;
    if (n > 10) n = 10;
    for (int k = 1; k <= (n < 0 ? -n : n); k++) {
        if (n < 0)
            object_particle_draw(notch_texture, 0, 255, 128, 1, 1, cx, cy + 15.0f * k, -10.0f, 3.0f, 0, 0);
        else
            object_particle_draw(notch_texture, 0, 255, 128, 1, 1, cx, cy - 15.0f * k, -10.0f, 3.0f, 0, 32768);
    }
    if (key_down[KEY_F1]) hud_debug_pile();
    if (key_down[KEY_F3]) {
        chunkmap_draw_diagnostic_map(target_vector.x, target_vector.y);
        font_draw_text(white, "Chunkmap info", 0.0f, 0.0f, 15.0f);
    }
    const int flash = local_player_hit_timer * 10 > 255 ? 255 : local_player_hit_timer * 10;
    if (local_player_under_water) {
        display_player_hit_effect(blue, 128);
        display_player_hit_effect(white, (uint8_t)flash);
    } else {
        display_player_hit_effect(red, (uint8_t)flash);
    }
    // Not over the board: the number waits until the board has slid away.
    if (local_player_hit_timer && local_player && local_player->hits >= 1.0f && !draw_inventory &&
        inventory_fade <= 0.01f) {
        snprintf(hud_text, sizeof(hud_text), "%d", (int)local_player->hits);
        font_draw_text(white, hud_text, 130.0f * aspect, 130.0f, 40.0f);
    }
}

void hud_draw_board_and_counts(void) {
    hud_draw_inventory();
    const float width = 300.0f * (float)screen_x / (float)screen_y;
    const char *hint = gather_current_hint();
    if (hint && !draw_inventory) font_draw_text_centered(yellow, hint, 0.5f * width, 185.0f, 12.0f);
    object *item = local_player ? local_player->inventory_pile : nullptr;
    if (!item) return;
    // The item in hand by name (a material by its own), and how many of it are carried.
    hud_item_label(item, hud_text, sizeof(hud_text));
    font_draw_text(white, hud_text, width - 10.0f - font_string_width((const uint8_t *)hud_text, 12.0f), 262.0f, 12.0f);
    if (!item->inventory_stackable) return;
    snprintf(hud_text, sizeof(hud_text), "%5d", (int)item->inventory_stack_count);
    font_draw_text(white, hud_text, width - 80.0f, 280.0f, 20.0f);
}

void hud_chunk_marker(void) {
    if (!key_down[KEY_F2]) return;
    // The chunk's edges as red lines seen through the terrain: four corner posts, a square at the
    // eyes' height and a post at the middle column, so the view stays clear.
    const float x0 = (float)((int)target_vector.x & ~63), y0 = (float)((int)target_vector.y & ~63);
    const float x1 = x0 + 64.0f, y1 = y0 + 64.0f, z = target_vector.z, low = z - 16.0f, high = z + 24.0f;
    const float mx = (float)(((int)target_vector.x & ~63) | 32), my = (float)(((int)target_vector.y & ~63) | 32);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(2.0f);
    glColor3ub(red[0], red[1], red[2]);
    glBegin(GL_LINES);
    const float corner[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (int k = 0; k < 4; k++) {
        glVertex3f(corner[k][0], corner[k][1], low);
        glVertex3f(corner[k][0], corner[k][1], high);
        glVertex3f(corner[k][0], corner[k][1], z);
        glVertex3f(corner[(k + 1) & 3][0], corner[(k + 1) & 3][1], z);
    }
    glVertex3f(mx, my, low);
    glVertex3f(mx, my, high);
    glEnd();
    glLineWidth(1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glEnable(GL_TEXTURE_2D);
}

uint8_t hud_screenshot_name(const char *folder, char *name, int size) {
    for (int n = 0; n < 10000; n++) {
        snprintf(name, (size_t)size, "%s\\SHOT%04d.TGA", folder, n);
        FILE *f = fopen(fix_path(name), "rb");
        if (!f) return 1;
        fclose(f);
    }
    return 0;
}

uint8_t hud_screenshot(void) {
    static uint8_t pixels[2560 * 1600 * 3];
    const int w = screen_x, h = screen_y;
    if (w <= 0 || h <= 0 || (size_t)w * (size_t)h * 3 > sizeof(pixels)) {
        log_message(2, "The window is too large for a screenshot");
        return 0;
    }
    platform_make_folder(fix_path("SCREENSHOTS"));
    char name[64];
    if (!hud_screenshot_name("SCREENSHOTS", name, sizeof(name))) {
        log_message(2, "No free screenshot name left in SCREENSHOTS");
        return 0;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_BGR, GL_UNSIGNED_BYTE, pixels);
    FILE *f = fopen(fix_path(name), "wb");
    if (!f) {
        log_message(2, "Could not write screenshot %s", name);
        return 0;
    }
    // An uncompressed true-colour TGA stored from its top row down (origin bit set), which every
    // reader takes the same way; GL hands the rows over from the bottom.
    uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                          (uint8_t)(w & 255), (uint8_t)(w >> 8), (uint8_t)(h & 255), (uint8_t)(h >> 8), 24, 0x20};
    uint8_t ok = fwrite(header, 1, sizeof(header), f) == sizeof(header);
    for (int row = h - 1; row >= 0 && ok; row--)
        ok = fwrite(pixels + (size_t)row * (size_t)w * 3, 1, (size_t)w * 3, f) == (size_t)w * 3;
    ok = (uint8_t)(fclose(f) == 0 && ok);
    if (!ok) {
        log_message(2, "Could not write screenshot %s", name);
        return 0;
    }
    log_message(3, "Screenshot written to %s", name);
    return 1;
}

// Nothing held on the board (the object it held is not touched).
void hud_reset(void) { global_inventory_grab = nullptr; }
