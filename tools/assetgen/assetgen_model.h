// assetgen_model.h — procedural low-poly models: mesh building, skeletons and animation frames,
// the IQE writer, pose skinning and a small software rasteriser for icons and the contact sheet
#pragma once
#include <cstdint>

#include "assetgen.h"
#include "foundation/vecmath.h"

#define AG_MAX_VERTEX 4000
#define AG_MAX_TRIANGLE 4000
#define AG_MAX_MESH 8
#define AG_MAX_JOINT 16
#define AG_MAX_ANIMATION 4
#define AG_MAX_FRAME 160
#define AG_MAX_CELL 16

// The looks a model's texture cells can be painted with (assetgen_objects.cpp paints them).
enum ag_paint {
    AG_PAINT_WOOD = 0, AG_PAINT_DARK_WOOD, AG_PAINT_BARK, AG_PAINT_LEAF_CARD, AG_PAINT_METAL, AG_PAINT_IRON,
    AG_PAINT_ZOMBI_SKIN, AG_PAINT_SKIN, AG_PAINT_SHIRT, AG_PAINT_RAGS, AG_PAINT_TROUSERS, AG_PAINT_HAIR,
    AG_PAINT_EYE, AG_PAINT_ROPE, AG_PAINT_CLAY, AG_PAINT_FLAME_CARD, AG_PAINT_GOBLIN_SKIN, AG_PAINT_LEATHER,
    AG_PAINT_STONE, AG_PAINT_BOMB, AG_PAINT_FUSE, AG_PAINT_COAL, AG_PAINT_ORE, AG_PAINT_GREY, AG_PAINT_RED_CLOTH,
    AG_PAINT_PUFF, AG_PAINT_SAPLING_CARD, AG_PAINT_BOOTS, AG_PAINT_GOLD_TRIM, AG_PAINT_END_GRAIN,
    AG_PAINT_FOLIAGE, AG_PAINT_GLOW_EYE, AG_PAINT_NOTCH, AG_PAINT_SOIL, AG_PAINT_COUNT
};

struct ag_vertex {
    float p[3];
    float n[3];
    float uv[2];
    int joint;  // rigid skinning: each vertex follows one joint with weight 1
};

struct ag_mesh {
    char name[32];
    int num_vertex;
    int num_triangle;
    ag_vertex *vertex;
    uint16_t (*triangle)[3];  // counter-clockwise seen from outside
};

struct ag_pose {
    float t[3];
    float q[4];  // x, y, z, w
};

struct ag_joint {
    char name[32];
    int parent;     // -1 for a root
    float bind[3];  // model-space position; bind rotations are the identity
};

struct ag_animation {
    char name[32];
    int fps;
    int first;  // frame numbers: frame 0 is the bind pose
    int last;
};

struct ag_model {
    int num_mesh;
    ag_mesh mesh[AG_MAX_MESH];
    int num_joint;
    ag_joint joint[AG_MAX_JOINT];
    int num_animation;
    ag_animation animation[AG_MAX_ANIMATION];
    int num_frame;                    // including the bind pose (frame 0)
    ag_pose (*frame)[AG_MAX_JOINT];   // AG_MAX_FRAME frames, parent-relative from frame 1 on
    int num_cell;
    int cell_paint[AG_MAX_CELL];      // the paint of each 32 x 32 cell of the 128 x 128 texture
    // Builder state.
    int current_mesh;
    int current_joint;
    int current_cell;
    float m[12];                      // current placement: 3 x 3 rotation (rows) then translation
    uint8_t overflow;                 // a mesh ran out of room: the writer refuses the model
};

ag_model *ag_model_create(void);
void ag_model_free(ag_model *model);

// Starts a new mesh (names are written upper case); returns its index.
int ag_mesh_begin(ag_model *model, const char *name);
int ag_joint_add(ag_model *model, const char *name, int parent, float x, float y, float z);
void ag_use_joint(ag_model *model, int joint);
void ag_use_paint(ag_model *model, int paint);
int ag_cell_of_paint(const ag_model *model, int paint);  // -1 when the model does not use it

// Placement of the next primitives: identity, then translate and turn (angles in radians,
// applied about x, then y, then z) on top of what is there.
void ag_place_reset(ag_model *model);
void ag_place(ag_model *model, float x, float y, float z, float ax, float ay, float az);

// Primitives, in the placement's local coordinates.
void ag_box(ag_model *model, float cx, float cy, float cz, float hx, float hy, float hz);
// A tapered prism from a to b with the given radii and side count (4 gives a square beam).
void ag_cylinder(ag_model *model, const float a[3], const float b[3], float ra, float rb, int sides, uint8_t caps);
void ag_ellipsoid(ag_model *model, float cx, float cy, float cz, float rx, float ry, float rz, int rings, int sides);
// A faceted lump (rocks, ore, coal): an ellipsoid whose radius wanders by up to lumpy.
void ag_rock(ag_model *model, float cx, float cy, float cz, float rx, float ry, float rz, float lumpy, uint32_t seed);
// A flat polygon in the local x-y plane (star-shaped around (fx, fy)), extruded from z = -h to z = +h.
void ag_slab(ag_model *model, const float (*points)[2], int count, float fx, float fy, float h);
// A two-sided cut-out card: corner plus edge vectors u and v (the texture's s and t).
void ag_card(ag_model *model, const float corner[3], const float u[3], const float v[3]);

// Animations: frames start as the rest pose and are turned joint by joint.
void ag_animation_begin(ag_model *model, const char *name, int fps);
ag_pose *ag_frame_add(ag_model *model);  // the new frame's joint poses
void ag_animation_end(ag_model *model);
void ag_pose_turn(ag_pose *pose, float ax, float ay, float az);  // sets the rotation (x, then y, then z)
void ag_quat_from_euler(float ax, float ay, float az, float q[4]);

// Writes the model as an Inter-Quake Export text file. Returns 1 on success.
uint8_t ag_write_iqe(const char *path, const ag_model *model);

// Model-space positions and normals of one mesh in a frame (0: the bind pose), skinned the way
// the game skins: parent-relative poses composed down the joints, rigid weights.
void ag_pose_mesh(const ag_model *model, int mesh, int frame, float *positions, float *normals);

// One drawn slot, as a template's MESH line gives it.
struct ag_slot {
    int mesh;
    int texture;   // index into the textures handed to the renderer
    int overlay;   // 0 shade, 10 shiny (metal), else that texture
    uint8_t paperdoll;
};

// A view: the camera basis the game builds (side, up, back), a centre and pixels per unit.
struct ag_view {
    float side[3], up[3], back[3];
    float centre[3];
    float scale;
    float outline;  // outline push in model units (0: none)
};

// Sets the view the game's camera has when looking along fore (z up); the game's picture is
// mirrored left to right against the usual right-handed one, and so is this.
void ag_view_look(ag_view *view, float fx, float fy, float fz);
// The inventory board's view: x right, y down, z towards the viewer.
void ag_view_board(ag_view *view);

// What ag_render draws: the slots of a model in a frame, turned by facing (x, y, z, w), seen through
// view. shade and metal are the environment pictures; textures the model's own.
struct ag_scene {
    const ag_model *model;
    const ag_slot *slots;
    int num_slots;
    int frame;
    const float *facing;
    const ag_view *view;
    const assetgen_image *textures;
    int num_textures;
    const assetgen_image *shade, *metal;
};
// Draws the scene into image with a depth buffer (width * height floats, cleared to -1e30 by the caller).
void ag_render(assetgen_image *image, float *depth, const ag_scene *scene);
