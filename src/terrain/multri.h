// multri.h — terrain rendering: the cached terrain triangle, the per-pillar mesher, the distant
// tiles, the ring traversal with its 2-D view culling, and the draw counters
#pragma once
#include <cstdint>

#include "foundation/vecmath.h"

// One cached terrain triangle.
struct multri {
    float corner_xyz[3][3];
    float texpos[3][3][2];  // [texture unit 0-2][corner][s, t]
    float nx[3];
    float ny[3];
    float nz[3];
    multri *next;
    uint8_t sunlight[3];
    uint8_t glowlight[3];
};

// Draw counters, reset by the frame loop before the terrain is drawn.
extern uint32_t voxel_draw_count;           // pillars drawn
extern uint32_t voxel_draw_triangle_count;  // triangles meshed and drawn live
extern uint32_t multri_draw_count;          // cached triangles drawn
extern uint32_t debug_mega_tile;            // coarse tiles drawn
extern float debug_tri_average;
// The debug pillars paint this row white.
extern int global_map_sweepy;
// The player is under water: waves of material 12 everywhere, fog, and the sub-drop backdrop.
extern uint8_t local_player_under_water;

// ---- the cache (multri.cpp)
multri *multri_create(void);
void multri_destroy(multri *m);
// Draws a cached list; fog_hack fades far corners into the atlas's fog tile by distance.
// Triangles go into a vertex batch that multri_batch_flush draws (voxel_draw_map flushes at the end
// of every ring); with global_multri_batching 0 each triangle is drawn at once, corner by corner.
void multri_draw(multri *m, uint8_t fog_hack);
void multri_batch_flush(void);
extern uint8_t global_multri_batching;
// With global_multri_drop_back_faces set, voxel_draw_map reads the eye and the culling state
// before each ring (multri_cull_setup) and the triangles the GL would cull are not handed to it;
// they still count as drawn, and global_multri_dropped_count counts them.
extern uint8_t global_multri_drop_back_faces;
extern uint32_t global_multri_dropped_count;
void multri_cull_setup(void);
void multri_cull_release(void);
// With global_multri_near_first set, voxel_draw_map visits the cells of a ring nearest first, so
// the depth test turns away the hidden pixels before they are textured; 0 keeps the rows in order.
extern uint8_t global_multri_near_first;
// With global_multri_sky_last set, the ring that draws the backdrop above water leaves it for the
// end of the pillar ring (the last of a frame), so the depth test keeps the sky's texturing off the
// pixels the terrain covers; 0 draws it first, in its ring, as before.
extern uint8_t global_multri_sky_last;
// With global_multri_depth_first set, the frame loop first draws every ring's cached triangles into
// the depth buffer alone (voxel_draw_map_depth, colour writes off, no textures), so the sky and the
// rings drawn after it texture only the pixels that stay visible. The depth values are the same as
// the colour pass's, and the colour pass keeps its order, so the picture does not change. Off by
// default: on llvmpipe the extra pass cost more than the texturing it saved.
extern uint8_t global_multri_depth_first;
extern uint8_t multri_depth_pass;  // set while voxel_draw_map_depth runs
void voxel_draw_map_depth(vector *center_vector, int min_radius, int max_radius, uint8_t mega);
// Triangles handed to the GL and draw calls made for them, since last cleared.
extern uint32_t global_multri_submitted;
extern uint32_t global_multri_depth_submitted;  // by the depth pass
extern uint32_t global_multri_draw_calls;
// Fills the three units' texture coordinates of a triangle whose corners and normals are set,
// from the tile centres of its three materials.
void multri_texture_triangle(multri *t, const float tile[3][2]);
// 1 when every chunk on the map that holds a column of the side x side square from (x, y) is
// resident (off-map columns read the permanent off-map pillar and are settled too).
uint8_t multri_area_settled(int x, int y, int side);
// Number of triangles in a list.
uint32_t multri_count(const multri *m);
// Bytes held by every cached list of the resident chunks.
uint64_t multri_cache_memory(void);

// ---- shading shared by live and cached triangles (multri_mesh.cpp)
// The light byte of one corner: the larger of its glow and its sun light shaded by its normal.
int multri_corner_light(uint8_t sunlight, uint8_t glowlight, float nx, float ny, float nz);
// The fog treatment of one corner at distance d (3-D) and height above the camera dz:
// returns the new light and writes the corner's unit-2 texture coordinates.
int multri_fog_corner(int light, float d, float dz, float texpos[2]);

// ---- the mesher (multri_mesh.cpp), GL-free: it hands every triangle to a sink.
// outline is 1 for a cartoon rim triangle (corners a, c, b at the outline positions).
typedef void (*multri_sink)(void *context, const multri *triangle, uint8_t outline);
// Meshes the cell column of pillar (x, y); returns the number of triangles handed over and leaves
// the number of cells it visited in global_multri_mesh_steps.
extern uint32_t global_multri_mesh_steps;
// A triangle whose three corner normals lie within about 25 degrees of straight up: it gets no rim.
uint8_t multri_nearly_level(const multri *t);
uint32_t multri_mesh_pillar_xy(int x, int y, multri_sink sink, void *context);
// Builds a distant tile of mega x mega pillars at (x, y) into *list (front insertion);
// returns the number of triangles added, or 0 when memory runs out part way (what was made stays).
uint32_t multri_build_mega_tile(int x, int y, int mega, multri **list);
// The cache level of a tile size: 1 for 2, 2 for 4, 3 for 8, 1 for anything in 3..7.
int multri_mega_level(int mega);

// ---- drawing (multri.cpp, multri_map.cpp, multri_mega.cpp)
// Draws the sun and moon billboards of the backdrop; the object layer sets it at start-up to draw
// them as particles (null: a plain textured quad from the display).
extern void (*multri_billboard_hook)(uint32_t texture, float x, float y, float z, float scale);
void voxel_draw_map(vector *center_vector, int min_radius, int max_radius, uint8_t draw_backdrop, uint8_t mega);
void voxel_draw_pillar_xy(int x, int y);
void voxel_draw_debug_pillar_xy(int x, int y);
void voxel_draw_mega_pillar_xy(int x, int y, int mega);
// The chunk grid seen from above in overlay units (resident chunks blue), with a marker at column (x, y).
void chunkmap_draw_diagnostic_map(float x, float y);

// The 2-D view culling of voxel_draw_map, GL-free: the ground lines of the view from the camera.
struct multri_view {
    float camera_x, camera_y;
    float forward_x, forward_y;
    float left_x, left_y, left_nx, left_ny;     // a point of the left line and its inward normal
    float right_x, right_y, right_nx, right_ny;  // the same for the right line
};
void multri_view_setup(multri_view *view, const vector *camera, const vector *fore, const vector *side,
                       const vector *up, float aspect, float view_angle);
// 1 when the cell centred at (px, py) is drawn by a ring from min_radius to max_radius with
// tolerance mega; near cells (inside min_radius) of pillar rings always pass.
uint8_t multri_view_accepts(const multri_view *view, float px, float py, int min_radius, int max_radius, int mega);
