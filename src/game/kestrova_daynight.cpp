// kestrova_daynight.cpp — the day clock, the sun level and the music volumes that follow them
#include <SDL.h>

#include <cmath>

#include "display/display.h"
#include "display/input.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "game/kestrova_daynight.h"
#include "objects/object.h"
#include "objects/template.h"
#include "world/chunkmap.h"
#include "world/worldmap.h"
#include "game/kestrova.h"
#include "game/kestrova_survival.h"
#include "sound/sound.h"
#include "terrain/voxel.h"

uint8_t global_desired_sun_light_level = 255;
uint8_t day_music_channel = SOUND_NO_CHANNEL;
uint8_t night_music_channel = SOUND_NO_CHANNEL;
uint8_t inventory_music_channel = SOUND_NO_CHANNEL;
uint8_t underground_music_channel = SOUND_NO_CHANNEL;
uint8_t title_music_channel = SOUND_NO_CHANNEL;
int32_t global_zombi_count = 0;

void daynight_sun_level(void) {
    global_day_night_cycle = (float)(global_world_frame & 65535) / 65536.0f;
    // Full day between a short dawn and dusk, moonlight by night; dark under the title.
    global_desired_sun_light_level = draw_menu ? 0 : survival_desired_sun_level(global_day_night_cycle);
    // A quarter of the way per frame, in integers: rising stops at 252, falling reaches 0.
    global_sun_light_level = (uint8_t)((3 * global_sun_light_level + global_desired_sun_light_level) / 4);
}

void music_desired_volumes(uint8_t sun_level, float depth, uint8_t inventory_open, uint8_t menu_shown,
                           uint8_t desired[5]) {
    const int master = master_music_volume;
    int day = sun_level * master / 256;
    int night = master - day;
    int inventory = 0, underground = 0, title = 0;
    if (depth > 0.0f) {
        day = (int)(day * (1.0f - depth));
        night = (int)(night * (1.0f - depth));
        underground = (int)(master * depth);
    }
    if (inventory_open) {
        inventory = master;
        day = night = underground = 0;
    }
    if (menu_shown) {
        title = master;
        day = night = inventory = underground = 0;
    }
    desired[0] = (uint8_t)day;
    desired[1] = (uint8_t)night;
    desired[2] = (uint8_t)inventory;
    desired[3] = (uint8_t)underground;
    desired[4] = (uint8_t)title;
}

float music_depth_term(float ground_height, float player_z) {
    if (!(ground_height > player_z)) return 0.0f;
    float below = ground_height - player_z;
    return (below < 10.0f ? below : 10.0f) * 0.1f;
}

// Ten blocks below the generated surface only the underground track is wanted.
float music_depth_below_surface(void) {
    if (!local_player || !maplayer_total) return 0.0f;
    const vector &p = local_player->position;
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return 0.0f;
    return music_depth_term(maplayer_height(maplayer_total, p.x, p.y), p.z);
}

void music_adjust_volume(void) {
    uint8_t *channels[5] = {&day_music_channel, &night_music_channel, &inventory_music_channel,
                            &underground_music_channel, &title_music_channel};
    uint8_t current[5];
    for (int i = 0; i < 5; i++) {
        uint8_t channel = *channels[i];
        current[i] = channel < SOUND_CHANNELS ? channel_volume[channel][0] : 0;
    }

    float depth = music_depth_below_surface();
    uint8_t desired[5];
    music_desired_volumes(global_sun_light_level, depth, draw_inventory, draw_menu, desired);

    // The title track starts over whenever the overlay comes back.
    if (draw_menu && title_music_channel < SOUND_CHANNELS && current[4] == 0) {
        SDL_LockAudio();
        channel_read[title_music_channel] = 0;
        channel_write[title_music_channel] = (uint16_t)(sound_buffer_read.load() + SOUND_START_AHEAD);
        SDL_UnlockAudio();
    }

    for (int i = 0; i < 5; i++) {
        for (int round = 0; round < 5; round++) {
            if (current[i] > desired[i]) current[i]--;
            if (current[i] < desired[i]) current[i]++;
        }
        uint8_t channel = *channels[i];
        if (channel < SOUND_CHANNELS) channel_volume[channel][0] = current[i];
    }
}

uint8_t daynight_spawn_monster(void) {
    const uint8_t z_pressed = key_pressed[KEY_Z];
    // One press spawns one zombi however many steps the pass runs.
    key_pressed[KEY_Z] = 0;
    const float phase = (float)(global_world_frame & 65535) / 65536.0f;
    const uint8_t night_spawn = phase > 0.5f && global_sun_light_level <= 49 &&
                                (global_world_frame & 255) == 0;
    if (!z_pressed && !night_spawn) return 0;
    // Nothing comes for a player in its grace after a respawn or while it is dying.
    if (!z_pressed && (local_player_grace_timer || survival_death_timer)) return 0;
    if (!z_pressed && global_zombi_count >= 5) return 0;
    float r = random_range(10.0f, 20.0f);
    float s = random_range(-10.0f, 10.0f);
    float x = target_vector.x - camera_fore_vector.x * r + camera_side_vector.x * s;
    float y = target_vector.y - camera_fore_vector.y * r + camera_side_vector.y * s;
    chunkmap_get_xyz_off_map((int)(uint16_t)(int32_t)x, (int)(uint16_t)(int32_t)y, 2048);
    const voxel *top = global_voxel_topmost;
    float z = (float)global_voxel_topmost_z + 1.0f;
    if (!z_pressed && !(top && top->glowlight < 5)) return 0;
    object *zombi = object_spawn(template_get_by_name("ZOMBI"), nullptr, 1, x, y, z);
    if (!zombi) {
        log_message(2, "No zombi could be spawned at %f, %f, %f", (double)x, (double)y, (double)z);
        return 0;
    }
    // One called up by day on purpose is left to walk in the sun.
    zombi->spared_by_daylight = phase <= 0.5f ? 1 : 0;
    sound_play(grimstone_sound, 50, 50, 0, 0);
    global_zombi_count++;
    log_message(3, "Spawned zombi %d at %f, %f, %f", (int)global_zombi_count, (double)x, (double)y, (double)z);
    return 1;
}

// No music playing, the full desired sun and no zombi counted, as at start.
void daynight_reset(void) {
    global_desired_sun_light_level = 255;
    day_music_channel = night_music_channel = inventory_music_channel = underground_music_channel =
        title_music_channel = SOUND_NO_CHANNEL;
    global_zombi_count = 0;
}
