// kestrova_survival.cpp — dying, the moment of death, respawning at a safe place with a grace, the
// safe place of the day, dawn, the day's light, the quick clock on C and the survival overlay
#include "game/kestrova_survival.h"

#include <cmath>
#include <cstdio>

#include "display/display.h"
#include "display/font.h"
#include "display/input.h"
#include "foundation/logfile.h"
#include "game/kestrova.h"
#include "objects/object.h"
#include "objects/object_update.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"

uint16_t survival_death_timer = 0;
vector survival_safe_place = {0.0f, 0.0f, 0.0f};
uint8_t survival_have_safe_place = 0;
uint32_t survival_deaths = 0;

// Whether the last step was in the night (to see the dawn come).
static uint8_t survival_was_night = 0, survival_dawn_told = 0;

// The live zombis around a search, gathered once.
#define SURVIVAL_MAX_ZOMBIS 512
static float zombi_xy[SURVIVAL_MAX_ZOMBIS][2];
static int zombi_count = 0;

void survival_reset(void) {
    survival_death_timer = 0;
    survival_safe_place = {0.0f, 0.0f, 0.0f};
    survival_have_safe_place = 0;
    survival_deaths = 0;
    survival_was_night = survival_dawn_told = 0;
    local_player_grace_timer = 0;
}

static uint8_t survival_is_live_zombi(const object *o) { return o->behave_like_zombi && o->hits > 0.0f; }

// Gathers the live zombis of the resident chunks touching the square of half-size reach around (x, y).
static void survival_gather_zombis(int x, int y, int reach) {
    zombi_count = 0;
    int c0x = (x - reach) >> 6, c1x = (x + reach) >> 6, c0y = (y - reach) >> 6, c1y = (y + reach) >> 6;
    for (int cy = c0y < 0 ? 0 : c0y; cy <= c1y && cy < CHUNKMAP_SIZE; cy++) {
        for (int cx = c0x < 0 ? 0 : c0x; cx <= c1x && cx < CHUNKMAP_SIZE; cx++) {
            chunk *c = chunk_map[cx][cy];
            if (!c) continue;
            for (object *o = c->local_object_pile; o && zombi_count < SURVIVAL_MAX_ZOMBIS; o = o->next) {
                if (!survival_is_live_zombi(o)) continue;
                zombi_xy[zombi_count][0] = o->position.x;
                zombi_xy[zombi_count][1] = o->position.y;
                zombi_count++;
            }
        }
    }
}

// The column test against the gathered zombis.
static uint8_t survival_column_is_safe(int x, int y, float distance, vector *place) {
    if (x < 0 || y < 0 || x >= CHUNKMAP_COLUMNS || y >= CHUNKMAP_COLUMNS) return 0;
    if (!chunk_map[x >> 6][y >> 6]) return 0;
    chunkmap_get_xyz(x, y, 2048);
    const voxel *top = global_voxel_topmost;
    if (!top || voxel_material(top) == 0 || top->fluid_depth) return 0;
    float fx = (float)x + 0.5f, fy = (float)y + 0.5f, fz = (float)global_voxel_topmost_z + 1.0f;
    // Dry ground: the standing point is above the sea and not in open water.
    if (fz < global_ocean_level + 1.0f || object_point_in_water(fx, fy, fz)) return 0;
    for (int i = 0; i < zombi_count; i++) {
        float dx = zombi_xy[i][0] - fx, dy = zombi_xy[i][1] - fy;
        if (dx * dx + dy * dy < distance * distance) return 0;
    }
    if (place) *place = vector{fx, fy, fz};
    return 1;
}

uint8_t survival_place_is_safe(int x, int y, float distance, vector *place) {
    survival_gather_zombis(x, y, (int)distance + 1);
    return survival_column_is_safe(x, y, distance, place);
}

uint8_t survival_find_safe_place(float x, float y, float distance, vector *place) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(distance)) return 0;
    if (x < -1.0e6f || x > 1.0e6f || y < -1.0e6f || y > 1.0e6f) return 0;
    const int ix = (int)x, iy = (int)y;
    survival_gather_zombis(ix, iy, SURVIVAL_SEARCH_RADIUS + (int)distance + 1);
    if (survival_column_is_safe(ix, iy, distance, place)) return 1;
    // Ring by ring outwards, every fourth column along each ring.
    for (int r = 4; r <= SURVIVAL_SEARCH_RADIUS; r += 4) {
        for (int k = -r; k < r; k += 4) {
            if (survival_column_is_safe(ix + k, iy - r, distance, place)) return 1;
            if (survival_column_is_safe(ix + r, iy + k, distance, place)) return 1;
            if (survival_column_is_safe(ix - k, iy + r, distance, place)) return 1;
            if (survival_column_is_safe(ix - r, iy - k, distance, place)) return 1;
        }
    }
    return 0;
}

uint8_t survival_respawn_place(vector *place) {
    if (survival_have_safe_place &&
        survival_find_safe_place(survival_safe_place.x, survival_safe_place.y, SURVIVAL_ZOMBI_DISTANCE, place))
        return 1;
    if (survival_find_safe_place(MAIN_LOOP_START_X, MAIN_LOOP_START_Y, SURVIVAL_ZOMBI_DISTANCE, place)) return 1;
    return local_player &&
           survival_find_safe_place(local_player->position.x, local_player->position.y, SURVIVAL_ZOMBI_DISTANCE, place);
}

// Every live zombi of the resident chunks, with its distance from p, for the log.
static void survival_log_zombis(const vector &p) {
    for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
        for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
            const chunk *c = chunk_map[cx][cy];
            if (!c) continue;
            for (const object *o = c->local_object_pile; o; o = o->next) {
                if (!survival_is_live_zombi(o)) continue;
                float dx = o->position.x - p.x, dy = o->position.y - p.y, dz = o->position.z - p.z;
                log_message(3, "  Zombi at %0.1f, %0.1f, %0.1f, %0.1f blocks away", (double)o->position.x,
                            (double)o->position.y, (double)o->position.z, (double)sqrtf(dx * dx + dy * dy + dz * dz));
            }
        }
    }
}

void survival_respawn(void) {
    object *p = local_player;
    if (!p) return;
    vector place;
    if (!survival_respawn_place(&place)) {
        // Nowhere safe is resident: as before, above the column it stands on; the grace still holds.
        chunkmap_get_xyz((int)p->position.x, (int)p->position.y, 2048);
        place = vector{p->position.x, p->position.y, (float)global_voxel_topmost_z + 10.0f};
        log_message(2, "No safe place to respawn at; the player drops where it is");
    }
    p->hits = 5.0f;
    p->position = vector{place.x, place.y, place.z + p->size};
    p->velocity = vector{0.0f, 0.0f, 0.0f};
    p->vdamp = vector{0.0f, 0.0f, 0.0f};
    object **pile = chunkmap_pile_pointer((int)place.x, (int)place.y);
    if (pile) put_object_into_pile(p, pile);
    local_player_hit_timer = 0;
    screen_shake_timer = 0;
    survival_death_timer = 0;
    local_player_grace_timer = SURVIVAL_GRACE_STEPS;
    // Back behind one's own eyes at once: the new place fades in from black.
    camera_distance = 0.01f;
    log_message(3, "Respawned the player at %f, %f, %f", (double)p->position.x, (double)p->position.y,
                (double)p->position.z);
    survival_log_zombis(p->position);
}

void survival_respawn_check(uint8_t r_pressed) {
    if (!local_player) return;
    if (r_pressed) {
        survival_respawn();
        return;
    }
    if (survival_death_timer || local_player->hits > 0.0f) return;
    survival_death_timer = SURVIVAL_DEATH_STEPS;
    survival_deaths++;
    log_message(3, "The player died at %0.1f, %0.1f, %0.1f (death %u)", (double)local_player->position.x,
                (double)local_player->position.y, (double)local_player->position.z, (unsigned)survival_deaths);
}

void survival_step(void) {
    if (key_down[KEY_C]) global_world_frame += SURVIVAL_FAST_CLOCK_STEPS;
    if (local_player_grace_timer) local_player_grace_timer--;
    if (survival_death_timer && --survival_death_timer == 0) survival_respawn();

    const float phase = (float)(global_world_frame & 65535) / 65536.0f;
    const uint8_t night = phase > 0.5f;
    // Dawn takes the night's zombis (they burn) and the next night brings its own again.
    if (survival_was_night && !night) {
        log_message(3, "Dawn: the zombis of the night burn away");
        global_zombi_count = 0;
    }
    if (!survival_was_night && night) log_message(3, "Night falls");
    if (night && phase > 1.0f - SURVIVAL_DAWN_PHASE && !survival_dawn_told) log_message(3, "Dawn breaks");
    survival_dawn_told = night && phase > 1.0f - SURVIVAL_DAWN_PHASE;
    survival_was_night = night;

    // By day, where the player stands on dry ground with no zombi near, is the place to come back to.
    object *p = local_player;
    if (night || !p || !(p->hits > 0.0f) || survival_death_timer || (global_world_frame & 31) != 0) return;
    if (!p->jumps_remaining || object_local_player_swimming()) return;
    if (!std::isfinite(p->position.x) || !std::isfinite(p->position.y)) return;
    if (survival_place_is_safe((int)p->position.x, (int)p->position.y, SURVIVAL_ZOMBI_DISTANCE, nullptr)) {
        survival_safe_place = p->position;
        survival_have_safe_place = 1;
    }
}

void survival_camera(void) {
    if (!survival_death_timer) return;
    // The view leaves the body and draws back over two seconds, showing what came for it.
    float t = 1.0f - (float)survival_death_timer / (float)SURVIVAL_DEATH_STEPS;
    camera_distance = 1.0f + 9.0f * t;
}

uint8_t survival_desired_sun_level(float phase) {
    const float night = (float)SURVIVAL_NIGHT_SUN_LEVEL, span = 255.0f - night;
    const float dawn = 1.0f - SURVIVAL_DAWN_PHASE;
    if (phase > dawn) return (uint8_t)(night + span * (phase - dawn) / SURVIVAL_DAWN_PHASE);
    if (phase > 0.5f) return SURVIVAL_NIGHT_SUN_LEVEL;
    if (phase > SURVIVAL_DUSK_PHASE)
        return (uint8_t)(255.0f - span * (phase - SURVIVAL_DUSK_PHASE) / (0.5f - SURVIVAL_DUSK_PHASE));
    return 255;
}

void survival_clock(float phase, int *hours, int *minutes, const char **word) {
    int total = ((int)(phase * 1440.0f) + 6 * 60) % 1440;
    *hours = total / 60;
    *minutes = total % 60;
    if (phase > 1.0f - SURVIVAL_DAWN_PHASE)
        *word = "Dawn";
    else if (phase > 0.5f)
        *word = "Night";
    else if (phase >= SURVIVAL_DUSK_WARNING_PHASE)
        *word = "Dusk";
    else
        *word = "Day";
}

void survival_draw_overlay(void) {
    if (draw_menu) return;
    static char text[64];
    const float width = display_window_width(), cx = 0.5f * width;
    if (survival_death_timer) {
        float t = 1.0f - (float)survival_death_timer / (float)SURVIVAL_DEATH_STEPS;
        display_player_hit_effect(dark_red, (uint8_t)(60.0f + 150.0f * t));
        font_draw_text_centered(white, "You died", cx, 110.0f, 30.0f);
        font_draw_text_centered(white, "Back at a safe place in a moment", cx, 150.0f, 12.0f);
    } else if (local_player_grace_timer) {
        // The respawn fades in from black, and the grace is counted down at the top.
        int fade = (int)local_player_grace_timer - (SURVIVAL_GRACE_STEPS - 40);
        if (fade > 0) display_player_hit_effect(black, (uint8_t)(fade * 6));
        snprintf(text, sizeof(text), "Safe for %d s", (int)(local_player_grace_timer + 61) / 62);
        font_draw_text_centered(white, text, cx, 40.0f, 12.0f);
    }
    int hours = 0, minutes = 0;
    const char *word = "";
    survival_clock(global_day_night_cycle, &hours, &minutes, &word);
    // The font has no colon: the clock reads 18.30.
    snprintf(text, sizeof(text), "%s %02d.%02d", word, hours, minutes);
    font_draw_text(white, text, width - 105.0f, 4.0f, 12.0f);
}
