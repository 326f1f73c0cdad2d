// kestrova_placeholder.cpp — PLACEHOLDERS for main-loop calls whose modules have not landed
#include "game/kestrova_placeholder.h"

#include "display/display.h"
#include "display/input.h"
#include "foundation/random.h"
#include "objects/object.h"
#include "objects/template.h"
#include "world/chunkmap.h"

void placeholder_monster_spawning(void) {
    if (!key_pressed[KEY_Z]) return;
    key_pressed[KEY_Z] = 0;
    float r = random_range(10.0f, 20.0f), s = random_range(-10.0f, 10.0f);
    float x = target_vector.x - camera_fore_vector.x * r + camera_side_vector.x * s;
    float y = target_vector.y - camera_fore_vector.y * r + camera_side_vector.y * s;
    if (!(x >= 0.0f && y >= 0.0f && x < 65535.0f && y < 65535.0f)) return;
    chunkmap_get_xyz_off_map((int)(uint16_t)x, (int)(uint16_t)y, 2048);
    object_spawn(template_get_by_name("ZOMBI"), nullptr, 1, x, y, (float)global_voxel_topmost_z + 1.0f);
}
