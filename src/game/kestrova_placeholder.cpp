// kestrova_placeholder.cpp — PLACEHOLDERS for the object calls of the main loop until objects land
#include "game/kestrova_placeholder.h"

#include "display/display.h"
#include "models/model.h"
#include "objects/object.h"
#include "world/chunkmap.h"

void placeholder_particle_draw(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
                               uint8_t two_dimensional_mode, float x, float y, float z, float scale,
                               uint8_t use_overlay, uint16_t spin) {
    display_particle_quad(base, overlay, alpha, light, paperdoll, two_dimensional_mode, x, y, z, scale, use_overlay,
                          spin);
}

// Until the player's own physics lands it simply stands on the top of its column.
void placeholder_local_player_controls(void) {
    if (!local_player) return;
    chunkmap_get_xyz((int)local_player->position.x, (int)local_player->position.y, 2048);
    if (global_voxel_topmost) local_player->position.z = (float)global_voxel_topmost_z + 0.5f * local_player->size;
}
void placeholder_update_objects(float, float, int) {}
void placeholder_select_inworld_object(void) {}
void placeholder_draw_objects(float, float, int) {}

void placeholder_object_draw(object *o, float scale, uint8_t inventory_mode) {
    if (!o) return;
    if (inventory_mode) {
        display_particle_quad(o->icon_texture, 0, 255, 128, 1, 1, o->position.x, o->position.y, o->position.z,
                              3.0f * scale, 0, 0);
        return;
    }
    for (int i = 0; i < o->num_mesh && i < OBJECT_MAX_MESH; i++) {
        uint32_t texture = o->local_texture[o->mesh_local_texture_index[i] % OBJECT_LOCAL_TEXTURES];
        model_draw(o->model_index, o->mesh_index[i], &o->position, o->facing_xyzw, texture, 0, o->light, o->frame,
                   o->frame, 0.0f, scale, nullptr, 0);
    }
}
