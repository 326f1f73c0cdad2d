// model.h — skinned models read from MODEL.IQE files: the model table, the one-block model
// layout, loading, skinning, drawing and the animation frame queries
#pragma once
#include <cstddef>
#include <cstdint>

#include "foundation/vecmath.h"

#define MODEL_MAX 100             // model slots 0..99
#define MODEL_MAX_JOINT 99        // joints per model
#define MODEL_MAX_VERTEX 9999     // vertices per mesh
#define MODEL_MAX_MESH 1023       // meshes per model
#define MODEL_NAME_SIZE 32        // names: 29 characters kept, upper case, NUL-terminated
#define MODEL_NAME_KEEP 29
#define MODEL_MAX_WEIGHT_READ 10  // bone weights read from one "vb" line; 4 are kept
#define MODEL_MAX_SEAM 10         // "#fix_seam" bands
#define MODEL_LINE_SIZE 1000      // characters read per line
// Scratch sizes for skinning: one more than the per-mesh and per-model limits.
#define MODEL_SCRATCH_VERTEX 10000
#define MODEL_SCRATCH_JOINT 100

struct model_joint_position {
    float translation[3];
    float quaternion[4];  // x, y, z, w
};

struct model_frame {
    uint16_t animation;  // 1-based animation number, 0 before any animation line
    uint16_t padding;
    model_joint_position *joint_position_data;  // num_joint entries
};

struct model_animation {
    uint8_t name[MODEL_NAME_SIZE];
    uint16_t first_frame;
    uint16_t frames_per_second;
    uint16_t last_frame;
    uint16_t padding;
};

struct model_joint {
    uint8_t name[MODEL_NAME_SIZE];
    int16_t parent_joint;  // negative for a root
    uint16_t padding;
};

struct model_triangle {
    uint16_t vertex[3];
    uint16_t padding;
};

struct model_vertex {
    float position_xyz[3];
    float normal_xyz[3];
    float outline_normal_xyz[3];  // pushes the cartoon outline outwards
    float texpos_xy[2];
    float blend_weight[4];
    uint16_t blend_joint[4];
    uint16_t blend_count;  // 0..4 weights in use
    uint16_t padding;
};

struct model_mesh {
    uint8_t name[MODEL_NAME_SIZE];
    uint16_t num_vertex;
    uint16_t num_triangle;
    model_vertex *vertex_data;
    model_triangle *triangle_data;
};

// One model is one allocation: this record, the mesh pointers, joints, animations, frames, every
// frame's joint positions, then each mesh with its vertices and triangles.
struct model {
    uint32_t num_mesh;
    uint32_t num_joint;
    uint32_t num_animation;
    uint32_t num_frame;
    model_joint *joint_data;
    model_animation *animation_data;
    model_frame *frame_data;  // frame 0 is the bind pose (model space); later frames are parent-relative
    model_mesh **mesh_data;
};

// The model slots, indexed by the template's model index; null when empty.
extern model *global_model_data[MODEL_MAX];

// ---- loading (model_load.cpp)
void model_setup(void);
// Frees every loaded model (at exit, and between tests).
void model_free_all(void);
uint8_t model_load_iqe_file(const char *filename, uint16_t model_index);
// Loads a model from the bytes of an IQE file (what model_load_iqe_file does after reading it).
uint8_t model_load_iqe_text(const char *data, size_t size, uint16_t model_index);
// Gives back the smoothing scratch the loader keeps between loads.
void model_load_release_scratch(void);

// ---- smoothing (model_smooth.cpp), run by the loader
// Pairs examined per vertex at most: a hostile file that piles thousands of vertices on one point
// would otherwise make smoothing quadratic again.
#define MODEL_SMOOTH_PAIR_LIMIT 256
// Within each band of heights (last band first), vertices of different meshes closer than 0.1
// share one normalised normal. Returns 1 when some vertex had more neighbours than the limit.
uint8_t model_fix_seams(model *m, const float *seam_low, const float *seam_high, int num_seam);
// Outline normals of vertices within the tolerance add up; shading normals lean half way to them.
uint8_t model_fix_normals(model *m, float tolerance);
uint16_t model_find_mesh_index(uint16_t model_index, const char *mesh_name);

// ---- skinning (model_skin.cpp): no GL, fills the scratch arrays below
// The skinned mesh of the latest model_skin call: positions, shading normals, outline normals and
// environment-map coordinates, global_model_skin_count vertices.
extern float global_model_skin_position[MODEL_SCRATCH_VERTEX][3];
extern float global_model_skin_normal[MODEL_SCRATCH_VERTEX][3];
extern float global_model_skin_outline[MODEL_SCRATCH_VERTEX][3];
extern float global_model_skin_envmap[MODEL_SCRATCH_VERTEX][2];
extern uint16_t global_model_skin_count;
// The joint pose of the latest model_skin call (world quaternion and translation per joint).
extern float global_model_joint_quaternion[MODEL_SCRATCH_JOINT][4];
extern float global_model_joint_translation[MODEL_SCRATCH_JOINT][3];
// The line scale after the scale correction of the environment map.
extern float global_model_skin_line_scale;

// Skins one mesh into the scratch arrays; returns the mesh drawn, or null when there is nothing to
// draw (empty slot, no meshes). frame_index and next_frame_index resolve as model_draw resolves them.
const model_mesh *model_skin(uint16_t model_index, uint16_t mesh_index, const vector *center,
                             const float *root_quaternion, uint16_t frame_index, uint16_t next_frame_index,
                             float scale, const float *jqtdata, uint16_t jqtnumjoint);
// The frame index a drawing call resolves to (modulo the frame count, and 0 when the next frame is 0).
uint16_t model_resolve_frame(const model *m, uint16_t frame_index, uint16_t next_frame_index);
// Composes the world pose of every joint for a nonzero frame into the joint scratch arrays.
void model_pose_joints(const model *m, uint16_t frame_index, const vector *center, const float *root_quaternion,
                       float scale);

// ---- drawing and animation (model_draw.cpp)
// Triangles handed to the GL (outline shells included) and draw calls, since last cleared.
extern uint32_t global_model_submitted;
extern uint32_t global_model_draw_calls;
// Where and how one mesh is drawn: placed at center turned by root_quaternion and scaled, in the
// pose of frame_index (or of the joint array jqtdata of jqtnumjoint joints when given), with two
// textures and a light level.
struct model_draw_args {
    const vector *center = nullptr;
    const float *root_quaternion = nullptr;
    uint32_t primary_texture = 0, secondary_texture = 0;
    uint8_t light = 255;
    uint16_t frame_index = 0, next_frame_index = 0;
    float percent = 0.5f, scale = 1.0f;
    const float *jqtdata = nullptr;
    uint16_t jqtnumjoint = 0;
};
void model_draw(uint16_t model_index, uint16_t mesh_index, const model_draw_args *args);
void model_draw_from_mesh_name(uint16_t model_index, const char *mesh_name, const model_draw_args *args);
uint16_t model_get_start_or_last_frame(uint16_t model_index, const uint8_t *animation_name, uint8_t get_start_frame);
uint16_t model_get_frame_animation_type(uint16_t model_index, uint16_t frame_index);
uint16_t model_next_frame(uint16_t model_index, uint16_t frame_index, const char *default_action_name);
