// modelview.cpp — kestrova_modelview: shows one object folder's model turning, textured and
// animated as the game draws it, and writes screenshots (also headless, for scripts)
//
//   kestrova_modelview <OBJECT folder> [--shot FILE.tga] [--anim NAME] [--frame N] [--turn DEGREES]
//                      [--size WIDTHxHEIGHT] [--no-outline] [--ragdoll UPDATES] [--joints]
//
// Keys: Left/Right the previous/next animation, Up/Down one frame back/on (pauses), Space pause,
// T stop/start turning, C outline on/off, R drop a ragdoll from the current frame, J show its
// joints, S screenshot
// (MODELVIEW_NNN.TGA), Escape quit.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/display.h"
#include "display/font.h"
#include "foundation/logfile.h"
#include "foundation/settings.h"
#include "models/joint.h"
#include "models/model.h"
#include "models/squishy.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"

#define MODELVIEW_SLOT 0
#define MODELVIEW_MAX_MESH 16

// One drawn mesh, as a template's MESH line describes it (or every mesh with TEXTURE0 and the
// shade overlay when the folder has no MESH lines).
struct modelview_mesh {
    uint16_t mesh_index;
    uint8_t texture_index;  // above 9: untextured
    uint8_t overlay_index;  // 0 shade, 1..9 that texture, 10 shiny metal
    uint8_t paperdoll;
};

static modelview_mesh meshes[MODELVIEW_MAX_MESH];
static int num_meshes = 0;
static uint32_t textures[10];
static uint32_t shade = 0, metal = 0, font_loaded = 0;
static float model_size = 0.5f;
static vector model_middle = {0.0f, 0.0f, 0.0f};
static uint8_t model_material = 2;

// The MESH lines of TEMPLATE.TXT, read as the game reads them (upper case, words in order).
static void modelview_read_template(const std::string &folder) {
    FILE *file = fopen((folder + "/TEMPLATE.TXT").c_str(), "rb");
    if (!file) return;
    char line[1001];
    while (fgets(line, sizeof(line), file)) {
        if (line[0] == '#') continue;
        string_uppercase(line);
        char keyword[64] = "", name[64] = "", texture[64] = "", overlay[64] = "", flags[64] = "";
        int words = sscanf(line, "%63s %63s %63s %63s %63s", keyword, name, texture, overlay, flags);
        if (words < 1) continue;
        if (strcmp(keyword, "SHOWMATERIAL") == 0) continue;
        if (strcmp(keyword, "MESH") != 0 || num_meshes >= MODELVIEW_MAX_MESH) continue;
        modelview_mesh *m = &meshes[num_meshes++];
        m->mesh_index = model_find_mesh_index(MODELVIEW_SLOT, name);
        m->texture_index = strlen(texture) >= 8 ? (uint8_t)(texture[7] - '0') : 0;
        if (m->texture_index > 9) m->texture_index = 0;
        if (strcmp(overlay, "SHINY") == 0)
            m->overlay_index = 10;
        else if (strncmp(overlay, "TEX", 3) == 0 && strlen(overlay) >= 8)
            m->overlay_index = (uint8_t)(overlay[7] - '0') > 9 ? 0 : (uint8_t)(overlay[7] - '0');
        else
            m->overlay_index = 0;
        m->paperdoll = strcmp(flags, "PAPERDOLL") == 0 ? 1 : 0;
    }
    fclose(file);
}

// A mid-grey overlay: the combine step doubles it, so it leaves the texture as it is.
static uint32_t modelview_grey_texture(void) {
    static uint8_t pixels[4 * 4 * 4];
    memset(pixels, 128, sizeof(pixels));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    return texture;
}

// The bind pose's bounds, to frame the camera.
static void modelview_measure(void) {
    const model *m = global_model_data[MODELVIEW_SLOT];
    float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
    static const float identity[4] = {0, 0, 0, 1};
    vector origin = {0, 0, 0};
    for (uint32_t i = 0; m && i < m->num_mesh; i++) {
        model_skin(MODELVIEW_SLOT, (uint16_t)i, &origin, identity, 0, 0, 1.0f, nullptr, 0);
        for (uint32_t v = 0; v < global_model_skin_count; v++)
            for (int c = 0; c < 3; c++) {
                if (global_model_skin_position[v][c] < low[c]) low[c] = global_model_skin_position[v][c];
                if (global_model_skin_position[v][c] > high[c]) high[c] = global_model_skin_position[v][c];
            }
    }
    if (low[0] > high[0]) return;
    model_middle = {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
    float dx = high[0] - low[0], dy = high[1] - low[1], dz = high[2] - low[2];
    model_size = sqrtf(dx * dx + dy * dy + dz * dz) / 2.0f;
    if (model_size < 0.05f) model_size = 0.05f;
}

static float modelview_turn = 0.0f;
static uint8_t modelview_show_joints = 0;
static uint8_t modelview_outline = 1;

static void modelview_draw_floor(float z) {
    display_active_texture(0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    float s = model_size * 3.0f;
    vector middle = target_vector;
    int cells = 8;
    glBegin(GL_QUADS);
    for (int x = 0; x < cells; x++)
        for (int y = 0; y < cells; y++) {
            uint8_t shade_value = ((x + y) & 1) ? 70 : 90;
            glColor3ub(shade_value, (uint8_t)(shade_value + 10), shade_value);
            float x0 = middle.x - s + 2 * s * (float)x / (float)cells, x1 = x0 + 2 * s / (float)cells;
            float y0 = middle.y - s + 2 * s * (float)y / (float)cells, y1 = y0 + 2 * s / (float)cells;
            glVertex3f(x0, y0, z);
            glVertex3f(x1, y0, z);
            glVertex3f(x1, y1, z);
            glVertex3f(x0, y1, z);
        }
    glEnd();
    glEnable(GL_CULL_FACE);
}

// The ragdoll, when one is dropped: it lies on a floor of off-map ground just under the model.
static joint *ragdoll = nullptr;

static void modelview_draw(uint16_t frame, const char *caption) {
    glClearColor(0.32f, 0.42f, 0.55f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(0.1, 1.0);
    display_setup_frustum();
    // A ragdoll is followed wherever it has come to rest.
    target_vector = model_middle;
    if (ragdoll) {
        vector sum = {0.0f, 0.0f, 0.0f};
        for (uint16_t i = 0; i < ragdoll[0].num_joint; i++) {
            sum.x += ragdoll[i].position.x;
            sum.y += ragdoll[i].position.y;
            sum.z += ragdoll[i].position.z;
        }
        float n = (float)ragdoll[0].num_joint;
        target_vector = {sum.x / n, sum.y / n, sum.z / n};
    }
    float distance = model_size * 3.2f + 0.5f;
    camera_vector = {target_vector.x, target_vector.y - distance * 0.94f, target_vector.z + distance * 0.34f};
    display_look_at(&camera_vector, &target_vector);
    float floor_z = model_middle.z - model_size;
    modelview_draw_floor(ragdoll ? 1.4375f : floor_z);

    global_cartoon_mode = modelview_outline;
    float angle = modelview_turn * KESTROVA_PI / 180.0f;
    float facing[4] = {0.0f, 0.0f, sinf(angle / 2), cosf(angle / 2)};
    vector center = {0.0f, 0.0f, 0.0f};
    static float pose[MODEL_SCRATCH_JOINT * 7];
    uint16_t pose_joints = ragdoll ? joint_array_pose(ragdoll, pose, MODEL_SCRATCH_JOINT) : 0;
    const model *m = global_model_data[MODELVIEW_SLOT];
    for (int i = 0; m && i < num_meshes; i++) {
        const modelview_mesh *mesh = &meshes[i];
        uint32_t primary = mesh->texture_index <= 9 ? textures[mesh->texture_index] : 0;
        uint32_t secondary = mesh->overlay_index == 0 ? shade : (mesh->overlay_index > 9 ? metal : textures[mesh->overlay_index]);
        if (mesh->paperdoll) {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0.5f);
        }
        model_draw_args args;
        args.center = &center;
        args.root_quaternion = facing;
        args.primary_texture = primary;
        args.secondary_texture = secondary;
        args.light = 200;
        args.frame_index = args.next_frame_index = frame;
        args.jqtdata = pose_joints ? pose : nullptr;
        args.jqtnumjoint = pose_joints;
        model_draw(MODELVIEW_SLOT, mesh->mesh_index, &args);
        if (mesh->paperdoll) glDisable(GL_ALPHA_TEST);
    }
    if (ragdoll && modelview_show_joints) joint_array_debug_draw(ragdoll);

    if (font_loaded) {
        display_window_mode();
        font_draw_text(white, caption, 4.0f, 4.0f, 1.0f);
        display_end_window_mode();
    }
}

// Writes the back buffer as an uncompressed 24-bit TGA, top row first: the y origin field and the
// descriptor's top-left bit both say so, so every reader agrees which way up it is.
static uint8_t modelview_screenshot(const char *path) {
    int w = screen_x, h = screen_y;
    static uint8_t pixels[4096 * 4096 * 3];
    if (w > 4096 || h > 4096) return 0;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_BGR, GL_UNSIGNED_BYTE, pixels);
    FILE *file = fopen(path, "wb");
    if (!file) return 0;
    uint8_t header[18] = {0};
    header[2] = 2;
    header[12] = (uint8_t)(w & 255);
    header[13] = (uint8_t)(w >> 8);
    header[14] = (uint8_t)(h & 255);
    header[15] = (uint8_t)(h >> 8);
    header[16] = 24;
    header[10] = header[14];
    header[11] = header[15];
    header[17] = 0x20;
    fwrite(header, 1, 18, file);
    for (int y = h - 1; y >= 0; y--) fwrite(pixels + (size_t)y * w * 3, 1, (size_t)w * 3, file);
    fclose(file);
    printf("wrote %s\n", path);
    return 1;
}

static uint16_t modelview_animation_start(int animation) {
    const model *m = global_model_data[MODELVIEW_SLOT];
    if (!m || animation < 0 || (uint32_t)animation >= m->num_animation) return m && m->num_frame > 1 ? 1 : 0;
    return m->animation_data[animation].first_frame;
}

static void modelview_caption(char *caption, size_t size, const char *folder, int animation, uint16_t frame) {
    const model *m = global_model_data[MODELVIEW_SLOT];
    const char *name = "BIND POSE";
    if (m && animation >= 0 && (uint32_t)animation < m->num_animation)
        name = (const char *)m->animation_data[animation].name;
    snprintf(caption, size, "%s  %s  FRAME %d OF %d%s", folder, name, (int)frame, m ? (int)m->num_frame : 0,
             ragdoll ? "  RAGDOLL" : "");
}

// A ground for ragdolls: everything off the map is one block of stone at height 0.
static void modelview_ragdoll_world(void) {
    static uint8_t ready = 0;
    if (ready) return;
    ready = 1;
    voxel_clear_map();
    voxel_setup_off_map_pillar(3, 3, 1, 0.0f, 64, 0);
    chunkmap_setup();
}

static void modelview_drop_ragdoll(uint16_t frame) {
    modelview_ragdoll_world();
    joint_array_destroy(ragdoll);
    float angle = modelview_turn * KESTROVA_PI / 180.0f;
    float facing[4] = {0.0f, 0.0f, sinf(angle / 2), cosf(angle / 2)};
    vector center = {0.0f, 0.0f, 2.5f - (model_middle.z - model_size)};
    ragdoll = joint_array_create(MODELVIEW_SLOT, &center, facing, frame, 1.0f, 0.5f);
    if (!ragdoll) printf("no ragdoll: frame %d is the bind pose or the model has no joints\n", (int)frame);
}

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr,
                "usage: %s <OBJECT folder> [--shot FILE.tga] [--anim NAME] [--frame N] [--turn DEGREES] "
                "[--size WxH] [--no-outline] [--ragdoll UPDATES] [--joints]\n",
                argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const char *shot = nullptr, *anim_name = nullptr;
    int frame_arg = -1, ragdoll_updates = -1;
    float turn_arg = 30.0f;
    screen_x = 640;
    screen_y = 480;
    for (int i = 2; i < argc; i++) {
        std::string a = argv[i];
        const char *next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--shot" && next) shot = argv[++i];
        else if (a == "--anim" && next) anim_name = argv[++i];
        else if (a == "--frame" && next) frame_arg = atoi(argv[++i]);
        else if (a == "--turn" && next) turn_arg = (float)atof(argv[++i]);
        else if (a == "--ragdoll" && next) ragdoll_updates = atoi(argv[++i]);
        else if (a == "--size" && next) {
            int w = 0, h = 0;
            if (sscanf(argv[++i], "%dx%d", &w, &h) == 2 && w >= 64 && h >= 64 && w <= 4096 && h <= 4096) {
                screen_x = (uint16_t)w;
                screen_y = (uint16_t)h;
            }
        } else if (a == "--joints")
            modelview_show_joints = 1;
        else if (a == "--no-outline")
            modelview_outline = 0;
        else {
            fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }

    open_logfile();
    global_log_level = 5;
    model_setup();
    fullscreen_mode = 0;
    if (!display_setup() || !display_setup_multitexture()) {
        fprintf(stderr, "no OpenGL display with multitexturing\n");
        return 1;
    }
    std::string model_path = folder + "/MODEL.IQE";
    uint8_t read_ok = model_load_iqe_file(model_path.c_str(), MODELVIEW_SLOT);
    const model *m = global_model_data[MODELVIEW_SLOT];
    if (!m) {
        fprintf(stderr, "could not load %s (see LOGFILE.TXT)\n", model_path.c_str());
        return 1;
    }
    if (!read_ok) fprintf(stderr, "%s has unreadable lines (see LOGFILE.TXT); showing what was read\n",
                          model_path.c_str());
    printf("%s: %u meshes, %u joints, %u animations, %u frames\n", model_path.c_str(), m->num_mesh, m->num_joint,
           m->num_animation, m->num_frame);
    for (uint32_t i = 0; i < m->num_mesh; i++)
        printf("  mesh %u %s: %u vertices, %u triangles\n", i, (const char *)m->mesh_data[i]->name,
               m->mesh_data[i]->num_vertex, m->mesh_data[i]->num_triangle);
    for (uint32_t i = 0; i < m->num_animation; i++)
        printf("  animation %s: frames %u to %u at %u per second\n", (const char *)m->animation_data[i].name,
               m->animation_data[i].first_frame, m->animation_data[i].last_frame,
               m->animation_data[i].frames_per_second);

    for (int t = 0; t < 10; t++) {
        char path[1100];
        snprintf(path, sizeof(path), "%s/TEXTURE%d.TGA", folder.c_str(), t);
        textures[t] = display_load_texture_file_rgba(path, 1, 0);
    }
    std::string game = folder + "/../..";
    shade = display_load_texture_file_rgba((game + "/ART/SHADE.TGA").c_str(), 1, 0);
    if (!shade) shade = modelview_grey_texture();
    char metal_path[1100];
    snprintf(metal_path, sizeof(metal_path), "%s/ART/METAL%02d.TGA", game.c_str(), (int)model_material);
    metal = display_load_texture_file_rgba(metal_path, 1, 0);
    if (!metal) metal = shade;
    font_texture = display_load_texture_file_rgba((game + "/ART/FONT.TGA").c_str(), 0, 0);
    if (font_texture) {
        font_setup();
        font_loaded = 1;
    }

    modelview_read_template(folder);
    if (num_meshes == 0)
        for (uint32_t i = 0; i < m->num_mesh && num_meshes < MODELVIEW_MAX_MESH; i++)
            meshes[num_meshes++] = {(uint16_t)i, 0, 0, 0};
    modelview_measure();

    int animation = m->num_animation ? 0 : -1;
    if (anim_name) {
        char upper[64];
        safe_string_copy(upper, anim_name, sizeof(upper), 1);
        animation = -2;
        for (uint32_t i = 0; i < m->num_animation; i++)
            if (strcmp((const char *)m->animation_data[i].name, upper) == 0) animation = (int)i;
        if (animation == -2) {
            fprintf(stderr, "no animation %s\n", upper);
            return 1;
        }
    }
    uint16_t frame = modelview_animation_start(animation);
    if (frame_arg >= 0) frame = (uint16_t)frame_arg;
    else if (anim_name == nullptr && shot) frame = 0;
    modelview_turn = turn_arg;
    char caption[256];

    if (shot) {
        if (ragdoll_updates >= 0) {
            modelview_drop_ragdoll(frame ? frame : modelview_animation_start(animation));
            vector out;
            for (int u = 0; u < ragdoll_updates; u++) joint_array_update(ragdoll, &out);
        }
        modelview_caption(caption, sizeof(caption), folder.c_str(), animation, frame);
        modelview_draw(frame, caption);
        glFinish();
        if (ragdoll)
            printf("ragdoll of %d joints after %d updates: first joint at %.2f %.2f %.2f\n", (int)ragdoll[0].num_joint,
                   ragdoll_updates, (double)ragdoll[0].position.x, (double)ragdoll[0].position.y,
                   (double)ragdoll[0].position.z);
        uint8_t ok = modelview_screenshot(shot);
        joint_array_destroy(ragdoll);
        model_free_all();
        return ok ? 0 : 1;
    }

    uint8_t paused = 0, turning = 1, running = 1;
    int shots = 0;
    uint32_t last_tick = SDL_GetTicks(), frame_clock = 0;
    while (running) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) running = 0;
            if (event.type != SDL_KEYDOWN) continue;
            switch (event.key.keysym.sym) {
                case SDLK_ESCAPE: running = 0; break;
                case SDLK_SPACE: paused = !paused; break;
                case SDLK_t: turning = !turning; break;
                case SDLK_c: modelview_outline = !modelview_outline; break;
                case SDLK_j: modelview_show_joints = !modelview_show_joints; break;
                case SDLK_RIGHT:
                case SDLK_LEFT:
                    if (m->num_animation) {
                        int step = event.key.keysym.sym == SDLK_RIGHT ? 1 : -1;
                        animation = (animation + step + (int)m->num_animation) % (int)m->num_animation;
                        frame = modelview_animation_start(animation);
                    }
                    break;
                case SDLK_UP:
                case SDLK_DOWN:
                    paused = 1;
                    frame = event.key.keysym.sym == SDLK_UP ? model_next_frame(MODELVIEW_SLOT, frame, "")
                                                            : (uint16_t)(frame ? frame - 1 : 0);
                    break;
                case SDLK_r:
                    if (ragdoll) {
                        joint_array_destroy(ragdoll);
                        ragdoll = nullptr;
                    } else {
                        modelview_drop_ragdoll(frame);
                    }
                    break;
                case SDLK_s: {
                    char path[64];
                    snprintf(path, sizeof(path), "MODELVIEW_%03d.TGA", shots++);
                    modelview_screenshot(path);
                    break;
                }
                default: break;
            }
        }
        uint32_t now = SDL_GetTicks();
        uint32_t elapsed = now - last_tick;
        last_tick = now;
        if (turning) modelview_turn += (float)elapsed * 0.03f;
        if (ragdoll) {
            vector out;
            // World steps are 16 ms.
            for (frame_clock += elapsed; frame_clock >= 16; frame_clock -= 16) joint_array_update(ragdoll, &out);
        } else if (!paused && animation >= 0) {
            uint32_t rate = m->animation_data[animation].frames_per_second;
            uint32_t period = 1000 / (rate ? rate : 10);
            frame_clock += elapsed;
            if (frame_clock >= period) {
                frame_clock = 0;
                // Each animation loops on itself here (the game falls back to its default action).
                uint16_t next = (uint16_t)(frame + 1);
                if (next > m->animation_data[animation].last_frame || next >= m->num_frame)
                    next = m->animation_data[animation].first_frame;
                frame = next;
            }
        }
        modelview_caption(caption, sizeof(caption), folder.c_str(), animation, frame);
        SDL_WM_SetCaption(caption, caption);
        modelview_draw(frame, caption);
        SDL_GL_SwapBuffers();
        SDL_Delay(10);
    }
    joint_array_destroy(ragdoll);
    model_free_all();
    return 0;
}
