// model_draw.cpp — drawing a skinned mesh with its texture, environment overlay and cartoon outline,
// and the animation frame queries
#include <SDL_opengl.h>

#include <cstring>

#include "display/display.h"
#include "foundation/logfile.h"
#include "foundation/settings.h"
#include "models/model.h"

// Every triangle in stored order, corners in stored order, drawn from arrays: the skinned positions
// (then the outline shell), the mesh's own texture coordinates and the environment coordinates,
// with the corners packed as indices. One call per pass draws what a fan per triangle would.
static uint16_t model_corner_scratch[65535 * 3];
static float model_shell_scratch[MODEL_SCRATCH_VERTEX][3];

uint32_t global_model_submitted = 0;
uint32_t global_model_draw_calls = 0;

static void model_emit_arrays(const model_mesh *mesh, uint8_t outline, float push) {
    global_model_submitted += mesh->num_triangle * (outline ? 2u : 1u);
    global_model_draw_calls += outline ? 2u : 1u;
    for (uint32_t t = 0; t < mesh->num_triangle; t++)
        for (int c = 0; c < 3; c++) model_corner_scratch[t * 3 + c] = mesh->triangle_data[t].vertex[c];
    display_state_client(GL_VERTEX_ARRAY, 1);
    glVertexPointer(3, GL_FLOAT, 0, global_model_skin_position);
    display_client_active_texture(0);
    display_state_client(GL_TEXTURE_COORD_ARRAY, 1);
    glTexCoordPointer(2, GL_FLOAT, sizeof(model_vertex), mesh->vertex_data[0].texpos_xy);
    display_client_active_texture(1);
    display_state_client(GL_TEXTURE_COORD_ARRAY, 1);
    glTexCoordPointer(2, GL_FLOAT, 0, global_model_skin_envmap);
    glDrawElements(GL_TRIANGLES, (GLsizei)(mesh->num_triangle * 3), GL_UNSIGNED_SHORT, model_corner_scratch);
    if (outline) {
        for (uint32_t i = 0; i < mesh->num_vertex; i++)
            for (int c = 0; c < 3; c++)
                model_shell_scratch[i][c] = global_model_skin_position[i][c] + push * global_model_skin_outline[i][c];
        glVertexPointer(3, GL_FLOAT, 0, model_shell_scratch);
        uint8_t b = (uint8_t)outline;
        glColor3ub(b, b, b);
        display_state_front_face(GL_CCW);
        glDrawElements(GL_TRIANGLES, (GLsizei)(mesh->num_triangle * 3), GL_UNSIGNED_SHORT, model_corner_scratch);
        display_state_front_face(GL_CW);
    }
    display_state_client(GL_TEXTURE_COORD_ARRAY, 0);
    display_client_active_texture(0);
    display_state_client(GL_TEXTURE_COORD_ARRAY, 0);
    display_state_client(GL_VERTEX_ARRAY, 0);
}

void model_draw(uint16_t model_index, uint16_t mesh_index, const model_draw_args *args) {
    if (!args) return;
    // Only frame_index is drawn; the blend towards the next frame (percent) is not used.
    const model_mesh *mesh = model_skin(model_index, mesh_index, args->center, args->root_quaternion,
                                        args->frame_index, args->next_frame_index, args->scale, args->jqtdata,
                                        args->jqtnumjoint);
    if (!mesh) return;
    const uint8_t light = args->light;
    const uint32_t primary_texture = args->primary_texture, secondary_texture = args->secondary_texture;

    glShadeModel(GL_FLAT);
    display_state_enable(GL_CULL_FACE, 1);
    display_state_front_face(GL_CW);
    uint8_t b = light > 235 ? 255 : (uint8_t)(light + 20);
    glColor3ub(b, b, b);
    display_active_texture(0);
    display_state_enable(GL_TEXTURE_2D, 1);
    display_state_bind(primary_texture);
    display_state_env_mode(GL_MODULATE);
    display_active_texture(1);
    display_state_enable(GL_TEXTURE_2D, 1);
    display_state_bind(secondary_texture);
    display_texture_modulate_doubled();

    // The outline is the inflated mesh drawn again in a dark grey with the front faces swapped, so
    // only its back faces show: a dark rim around the model.
    uint8_t outline = global_cartoon_mode ? (uint8_t)(b / 4 + 64) : 0;
    if (mesh->num_triangle > 0) model_emit_arrays(mesh, outline, global_model_skin_line_scale);

    display_active_texture(1);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 1.0f);
    display_state_env_mode(GL_MODULATE);
    display_state_enable(GL_TEXTURE_2D, 0);
    display_active_texture(0);
    display_state_enable(GL_TEXTURE_2D, 0);
}

void model_draw_from_mesh_name(uint16_t model_index, const char *mesh_name, const model_draw_args *args) {
    model_draw(model_index, model_find_mesh_index(model_index, mesh_name), args);
}

uint16_t model_get_start_or_last_frame(uint16_t model_index, const uint8_t *animation_name, uint8_t get_start_frame) {
    const char *name = animation_name ? (const char *)animation_name : "";
    log_message(5, get_start_frame ? "Looking for start frame in model %d -- anim %s"
                                   : "Looking for end frame in model %d -- anim %s",
                (int)model_index, name);
    if (model_index >= MODEL_MAX) return 0;
    const model *m = global_model_data[model_index];
    if (!m) return 0;
    for (uint32_t i = 0; i < m->num_animation; i++) {
        const model_animation *a = &m->animation_data[i];
        log_message(5, "  Checking anim %d - %s", (int)i, (const char *)a->name);
        if (strcmp((const char *)a->name, name) == 0) {
            uint16_t frame = get_start_frame ? a->first_frame : a->last_frame;
            log_message(5, "    Found match as frame %d", (int)frame);
            return frame;
        }
    }
    return 0;
}

uint16_t model_get_frame_animation_type(uint16_t model_index, uint16_t frame_index) {
    if (model_index >= MODEL_MAX) return 0;
    const model *m = global_model_data[model_index];
    if (!m || frame_index >= m->num_frame) return 0;
    return m->frame_data[frame_index].animation;
}

uint16_t model_next_frame(uint16_t model_index, uint16_t frame_index, const char *default_action_name) {
    uint16_t next = (uint16_t)(frame_index + 1);
    if (model_index < MODEL_MAX) {
        const model *m = global_model_data[model_index];
        if (m && frame_index < m->num_frame && next < m->num_frame &&
            m->frame_data[frame_index].animation == m->frame_data[next].animation)
            return next;
    }
    uint16_t start = model_get_start_or_last_frame(model_index, (const uint8_t *)default_action_name, 1);
    return start ? start : frame_index;
}
