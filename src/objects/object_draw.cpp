// object_draw.cpp — drawing the objects near the camera: models, icons, particles and terrain models
#include "objects/object_draw.h"

#include <SDL_opengl.h>

#include <cmath>

#include "display/display.h"
#include "foundation/settings.h"
#include "foundation/logfile.h"
#include "models/joint.h"
#include "models/model.h"
#include "objects/object_update.h"
#include "objects/template.h"
#include "terrain/multri.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

uint32_t metal_texture[OBJECT_METAL_COUNT];
uint32_t global_object_draw_count = 0;


uint8_t object_particle_alpha(const object *o) {
    uint32_t k = (dust_object_template && o->template_index == dust_object_template->template_index) ? 2u : 4u;
    return (uint8_t)((o->delay * k) & 255u);
}

uint8_t object_in_view(const vector *p, float radius) {
    vector d = {p->x - camera_vector.x, p->y - camera_vector.y, p->z - camera_vector.z};
    if (!(vector_dot(d, d) < radius * radius)) return 0;
    return display_view_depth(d) > -10.0f;
}

void object_particle_draw_full(const display_quad *quad) { display_particle_quad(quad); }

void object_particle_draw(uint32_t base, uint32_t overlay, uint8_t alpha, uint8_t light, uint8_t paperdoll,
                          uint8_t two_dimensional_mode, float x, float y, float z, float scale, uint8_t use_overlay,
                          uint16_t spin) {
    display_quad quad;
    quad.base = base, quad.overlay = overlay;
    quad.alpha = alpha, quad.light = light, quad.paperdoll = paperdoll;
    quad.two_dimensional_mode = two_dimensional_mode;
    quad.x = x, quad.y = y, quad.z = z, quad.scale = scale;
    quad.use_overlay = use_overlay, quad.spin = spin;
    object_particle_draw_full(&quad);
}

void object_particle_draw_material(const display_quad *quad, uint8_t material) {
    uint8_t m = material & 63;
    const float d = 0.015625f;
    const float tl[2] = {voxel_texture_xy[m][0] - d, voxel_texture_xy[m][1] - d};
    const float br[2] = {voxel_texture_xy[m][0] + d, voxel_texture_xy[m][1] + d};
    display_quad cut = *quad;
    cut.overlay = material_texture;
    cut.overlay_tl_xy = tl;
    cut.overlay_br_xy = br;
    object_particle_draw_full(&cut);
}

void object_billboard(uint32_t texture, float x, float y, float z, float scale) {
    object_particle_draw(texture, 0, 255, 128, 0, 0, x, y, z, scale, 0, 0);
}

// Draws the mesh slots of an object (or of a terrain model's template) at a pose.
static void object_draw_meshes(const object *o, const vector *position, const float *facing, uint8_t light,
                               uint8_t material, uint8_t terrain_model, float scale, const float *pose,
                               uint16_t pose_joints) {
    for (uint16_t i = 0; i < o->num_mesh && i < OBJECT_MAX_MESH; i++) {
        uint16_t frame = terrain_model ? 0 : (o->mesh_frame[i] ? o->mesh_frame[i] : o->frame);
        uint8_t ti = o->mesh_local_texture_index[i], oi = o->mesh_local_overlay_index[i];
        uint32_t primary = ti < OBJECT_LOCAL_TEXTURES ? o->local_texture[ti] : 0;
        uint32_t secondary;
        if (oi == 0)
            secondary = shade_texture;
        else if (oi >= OBJECT_LOCAL_TEXTURES)
            secondary = metal_texture[terrain_model ? 2 : object_metal_index(material)];
        else
            secondary = o->local_texture[oi];
        if (o->mesh_paperdoll[i]) {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0.5f);
        }
        model_draw_args args;
        args.center = position;
        args.root_quaternion = facing;
        args.primary_texture = primary;
        args.secondary_texture = secondary;
        args.light = light;
        args.frame_index = args.next_frame_index = frame;
        args.scale = scale;
        args.jqtdata = pose;
        args.jqtnumjoint = pose_joints;
        model_draw(o->model_index, o->mesh_index[i], &args);
        if (o->mesh_paperdoll[i]) glDisable(GL_ALPHA_TEST);
    }
}

void object_draw(object *o, uint8_t inventory_mode, float scale) {
    if (!o) return;
    log_message(5, "  Drawing object %x (%s)", (unsigned)(uintptr_t)o, o->name);
    global_object_draw_count++;
    uint8_t debug_view = !inventory_mode && global_debug_drawing;
    if (debug_view) {
        display_sphere(o == local_player ? white : red, o->position.x, o->position.y, o->position.z, o->size, 16, 16);
        if (o->behave_like_zombi && !o->joints) {
            // Only a look at the joints, in a scratch array: a live zombi never turns into a ragdoll
            // because it was looked at.
            static joint look[MODEL_SCRATCH_JOINT];
            if (joint_array_setup(look, MODEL_SCRATCH_JOINT, o->model_index, &o->position, o->facing_xyzw, o->frame,
                                  scale, 0.5f))
                joint_array_debug_draw(look);
        } else if (o->joints) {
            joint_array_debug_draw(o->joints);
        }
    }
    if (!inventory_mode && o == global_inworld_selected_object)
        object_particle_draw(select_texture, 0, 255, 128, 0, 0, o->position.x, o->position.y, o->position.z,
                             2.0f * o->size, 0, 0);

    // An icon in the world is an icon on the board too; ICONININVENTORY adds the board alone.
    uint8_t icon = o->icon_in_game || (inventory_mode && o->icon_in_inventory);
    if (icon) {
        display_quad quad;
        quad.base = o->icon_texture;
        quad.light = o->light;
        quad.two_dimensional_mode = inventory_mode;
        quad.x = o->position.x, quad.y = o->position.y, quad.z = o->position.z;
        quad.scale = o->size * scale;
        quad.spin = o->spin;
        if (o->icon_has_material_overlay) {
            quad.paperdoll = 1;
            quad.use_overlay = 1;
            object_particle_draw_material(&quad, o->material);
        } else {
            quad.alpha = object_particle_alpha(o);
            object_particle_draw_full(&quad);
        }
        return;
    }
    if (o->num_mesh == 0) return;
    static float pose[MODEL_SCRATCH_JOINT * 7];
    uint16_t joints = 0;
    if (o->joints && !debug_view) joints = joint_array_pose(o->joints, pose, MODEL_SCRATCH_JOINT);
    object_draw_meshes(o, &o->position, o->facing_xyzw, o->light, o->material, 0, scale, joints ? pose : nullptr,
                       joints);
}

void object_draw_terrain_pillar_xy(int x, int y) {
    if (x < 0 || y < 0 || x >= CHUNKMAP_COLUMNS || y >= CHUNKMAP_COLUMNS) return;
    int z = 0;
    for (const voxel *v = chunkmap_get_xy(x, y); v; v = v->next) {
        int base_z = z;
        z += voxel_length(v);
        if (!voxel_is_single(v)) continue;
        uint8_t m = voxel_material(v);
        const object *t = voxel_material_object[m];
        if (!t) continue;
        vector p, n, axis;
        object_terrain_model_place(v, x, y, base_z, &p, &n, &axis);
        float tilt = (1.0f - n.z) * 1.5707965f;
        float twist = atan2f(n.y, n.x) - 1.5707965f;
        float qt[4] = {axis.x * sinf(tilt / 2.0f), axis.y * sinf(tilt / 2.0f), 0.0f, cosf(tilt / 2.0f)};
        float qw[4] = {n.x * sinf(twist / 2.0f), n.y * sinf(twist / 2.0f), n.z * sinf(twist / 2.0f),
                       cosf(twist / 2.0f)};
        float facing[4];
        quaternion_multiply_xyzw(qw, qt, facing);
        uint8_t light;
        // A burning block glows; its smoke and flame belong to the world step (object_collect_burning_blocks).
        if (m == VOXEL_BURNING)
            light = 255;
        else
            light = (uint8_t)((((uint32_t)global_sun_light_level * v->sunlight) >> 8) + v->glowlight);
        global_object_draw_count++;
        object_draw_meshes(t, &p, facing, light, m, 1, 1.0f, nullptr, 0);
    }
}

static void object_draw_fog(void) {
    uint32_t l = global_sun_light_level;
    uint32_t kr = 38, kg = 64, kb = 164;
    float d = (float)global_background_distance;
    if (local_player_under_water) {
        kr = 4;
        kg = 11;
        kb = 95;
        d = (float)global_display_distance;
    }
    float colour[4] = {(float)(((l * kr) >> 8) + ((255 - l) >> 3)) / 255.0f, (float)((l * kg) >> 8) / 255.0f,
                       (float)(((l * kb) >> 8) + ((255 - l) >> 3)) / 255.0f, 0.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, colour);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, 0.5f * d);
    glFogf(GL_FOG_END, d);
    glEnable(GL_FOG);
}

// Draws the objects of every resident chunk in the window whose collide flag matches.
static void object_draw_pass(int ccx, int ccy, int half, float radius, uint8_t full_collide) {
    for (int cy = ccy - half; cy <= ccy + half; cy++) {
        if (cy < 0 || cy >= CHUNKMAP_SIZE) continue;
        for (int cx = ccx - half; cx <= ccx + half; cx++) {
            if (cx < 0 || cx >= CHUNKMAP_SIZE || !chunk_map[cx][cy]) continue;
            for (object *o = chunk_map[cx][cy]->local_object_pile; o; o = o->next) {
                if ((o->full_collide != 0) != (full_collide != 0)) continue;
                // Seen from its own eyes the player's body would fill the view.
                if (o == local_player && camera_distance < 2.0f * o->size) continue;
                if (object_in_view(&o->position, radius)) object_draw(o, 0, 1.0f);
            }
        }
    }
}

void object_draw_all(float centerx, float centery, float radius) {
    global_object_draw_count = 0;
    if (!std::isfinite(centerx) || !std::isfinite(centery) || centerx < 0.0f || centery < 0.0f) return;
    glShadeModel(GL_SMOOTH);
    object_draw_fog();
    int ccx = (int)fminf(centerx, 1.0e6f) >> 6, ccy = (int)fminf(centery, 1.0e6f) >> 6;
    int size = 2 * (int)(radius / 64.0f) + 3, half = size / 2;
    object_draw_pass(ccx, ccy, half, radius, 1);

    int d = global_display_distance;
    int camx = (int)camera_vector.x, camy = (int)camera_vector.y;
    float r2 = radius * radius;
    for (int y = camy - d; y <= camy + d; y++) {
        for (int x = camx - d; x <= camx + d; x++) {
            float dx = (float)x + 0.5f - camera_vector.x, dy = (float)y + 0.5f - camera_vector.y;
            if (!(dx * dx + dy * dy < r2)) continue;
            if (display_view_depth({dx, dy, 0.0f}) <= -5.0f) continue;
            object_draw_terrain_pillar_xy(x, y);
        }
    }

    object_draw_pass(ccx, ccy, half, radius, 0);
    glShadeModel(GL_FLAT);
    glDisable(GL_FOG);
}
