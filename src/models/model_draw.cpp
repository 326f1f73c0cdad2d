// model_draw.cpp — drawing a skinned mesh with GL, and the animation frame queries
#include "models/model.h"

// PLACEHOLDER: drawing comes next.
void model_draw(uint16_t model_index, uint16_t mesh_index, const vector *center, const float *root_quaternion,
                uint32_t primary_texture, uint32_t secondary_texture, uint8_t light, uint16_t frame_index,
                uint16_t next_frame_index, float percent, float scale, const float *jqtdata, uint16_t jqtnumjoint) {
    (void)primary_texture;
    (void)secondary_texture;
    (void)light;
    (void)percent;
    model_skin(model_index, mesh_index, center, root_quaternion, frame_index, next_frame_index, scale, jqtdata,
               jqtnumjoint);
}

void model_draw_from_mesh_name(uint16_t model_index, const char *mesh_name, const vector *center,
                               const float *root_quaternion, uint32_t primary_texture, uint32_t secondary_texture,
                               uint8_t light, uint16_t frame_index, uint16_t next_frame_index, float percent,
                               float scale) {
    model_draw(model_index, model_find_mesh_index(model_index, mesh_name), center, root_quaternion, primary_texture,
               secondary_texture, light, frame_index, next_frame_index, percent, scale, nullptr, 0);
}

uint16_t model_get_start_or_last_frame(uint16_t model_index, const uint8_t *animation_name, uint8_t get_start_frame) {
    (void)model_index;
    (void)animation_name;
    (void)get_start_frame;
    return 0;
}

uint16_t model_get_frame_animation_type(uint16_t model_index, uint16_t frame_index) {
    (void)model_index;
    (void)frame_index;
    return 0;
}

uint16_t model_next_frame(uint16_t model_index, uint16_t frame_index, const char *default_action_name) {
    (void)model_index;
    (void)default_action_name;
    return frame_index;
}
