// assetgen_sheet.cpp — renders the object kinds (icons, views, animation frames) and writes their folders and the contact sheet
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assetgen_objects.h"

#define PI 3.14159265f

// The inventory board's standard turn: -45 degrees about z, 30 about y, -45 about z again.
static void board_facing(float q[4]) {
    float q1[4] = {0, 0, sinf(-0.3926991f), cosf(-0.3926991f)};
    float q2[4] = {0, sinf(0.2617994f), 0, cosf(0.2617994f)};
    float t[4];
    quaternion_multiply_xyzw(q2, q1, t);
    quaternion_multiply_xyzw(q1, t, q);
}

// The in-hand turn of one frame with the camera level and facing -y, as the game composes it.
static void inhand_facing(const float *frame, float q[4]) {
    float qz[4] = {0, 0, sinf(frame[2] * PI), cosf(frame[2] * PI)};
    float qy[4] = {0, sinf(frame[1] * PI), 0, cosf(frame[1] * PI)};
    float qx[4] = {sinf(frame[0] * PI), 0, 0, cosf(frame[0] * PI)};
    float t[4];
    quaternion_multiply_xyzw(qy, qz, t);
    quaternion_multiply_xyzw(qx, t, q);
}

static void set_slots(const assetgen_kind *kind, ag_slot *slots, int mesh0) {
    memcpy(slots, kind->slots, sizeof(ag_slot) * (size_t)kind->num_slots);
    if (mesh0 >= 0 && kind->num_slots > 0) slots[0].mesh = mesh0;
}

// Halves a picture (box filter, colour weighted by coverage) into out.
static void downsample(const assetgen_image *big, assetgen_image *out) {
    for (int y = 0; y < out->height; y++) {
        for (int x = 0; x < out->width; x++) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int k = 0; k < 4; k++) {
                const uint8_t *p = big->rgba + ((size_t)(y * 2 + k / 2) * big->width + (x * 2 + k % 2)) * 4;
                float w = p[3] / 255.0f;
                r += p[0] * w;
                g += p[1] * w;
                b += p[2] * w;
                a += w;
            }
            if (a > 0.0f)
                assetgen_image_set(out, x, y, assetgen_rgb(r / a, g / a, b / a), a / 4.0f);
            else
                assetgen_image_set(out, x, y, assetgen_rgb(0, 0, 0), 0.0f);
        }
    }
}

// Renders into a picture of w x h (at twice the size, then halved).
static assetgen_image render(const assetgen_kind *kind, int w, int h, int frame, ag_view *view, const float facing[4],
                             int mesh0, uint8_t lit) {
    assetgen_image big = assetgen_image_create(w * 2, h * 2);
    float *depth = (float *)malloc(sizeof(float) * (size_t)w * h * 4);
    for (int i = 0; i < w * h * 4; i++) depth[i] = -1e30f;
    assetgen_image textures[2] = {assetgen_kind_texture(kind, lit ? 1 : 0), assetgen_kind_texture(kind, 1)};
    assetgen_image shade = assetgen_shade_image(), metal = assetgen_metal_image(kind->metal);
    ag_slot slots[ASSETGEN_KIND_SLOTS];
    set_slots(kind, slots, mesh0);
    ag_view doubled = *view;
    doubled.scale *= 2.0f;
    ag_scene scene = {kind->model, slots, kind->num_slots, frame, facing, &doubled, textures, 2, &shade, &metal};
    ag_render(&big, depth, &scene);
    assetgen_image out = assetgen_image_create(w, h);
    downsample(&big, &out);
    assetgen_image_free(&big);
    assetgen_image_free(&textures[0]);
    assetgen_image_free(&textures[1]);
    assetgen_image_free(&shade);
    assetgen_image_free(&metal);
    free(depth);
    return out;
}

// Centres and scales the view on the posed model so it spans fill of the picture.
static void fit(const assetgen_kind *kind, ag_view *view, int frame, const float facing[4], int mesh0, int w, int h, float fill) {
    static float positions[AG_MAX_VERTEX * 3], normals[AG_MAX_VERTEX * 3];
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f}, depth_mid = 0.0f;
    int counted = 0;
    for (int s = 0; s < kind->num_slots; s++) {
        int mesh = s == 0 && mesh0 >= 0 ? mesh0 : kind->slots[s].mesh;
        if (mesh < 0 || mesh >= kind->model->num_mesh) continue;
        ag_pose_mesh(kind->model, mesh, frame, positions, normals);
        for (int k = 0; k < kind->model->mesh[mesh].num_vertex; k++) {
            float p[3];
            quaternion_rotate_xyzw(facing, positions + k * 3, p);
            float u = p[0] * view->side[0] + p[1] * view->side[1] + p[2] * view->side[2];
            float v = p[0] * view->up[0] + p[1] * view->up[1] + p[2] * view->up[2];
            lo[0] = fminf(lo[0], u);
            hi[0] = fmaxf(hi[0], u);
            lo[1] = fminf(lo[1], v);
            hi[1] = fmaxf(hi[1], v);
            depth_mid += p[0] * view->back[0] + p[1] * view->back[1] + p[2] * view->back[2];
            counted++;
        }
    }
    if (!counted) {
        view->scale = 1.0f;
        return;
    }
    depth_mid /= (float)counted;
    float cu = 0.5f * (lo[0] + hi[0]), cv = 0.5f * (lo[1] + hi[1]);
    for (int c = 0; c < 3; c++) view->centre[c] = view->side[c] * cu + view->up[c] * cv + view->back[c] * depth_mid;
    float span_u = fmaxf(hi[0] - lo[0], 1e-3f), span_v = fmaxf(hi[1] - lo[1], 1e-3f);
    view->scale = fminf((float)w * fill / span_u, (float)h * fill / span_v);
    view->outline = 1.1f / view->scale;
}

assetgen_image assetgen_kind_render(const assetgen_kind *kind, int size, int frame, float fx, float fy, float fz,
                                    const int *mesh_override) {
    ag_view view;
    memset(&view, 0, sizeof(view));
    float facing[4] = {0, 0, 0, 1};
    if (fx == 0.0f && fy == 0.0f && fz == 0.0f) {
        ag_view_board(&view);
        board_facing(facing);
    } else {
        ag_view_look(&view, fx, fy, fz);
    }
    int mesh0 = mesh_override ? *mesh_override : -1;
    fit(kind, &view, frame, facing, mesh0, size, size, kind->icon_fill);
    return render(kind, size, size, frame, &view, facing, mesh0, 0);
}

// Particles are soft sprites: painted rather than rendered.
static assetgen_image particle_icon(int style, uint32_t seed) {
    const int s = 64;
    assetgen_image image = assetgen_image_create(s, s);
    for (int y = 0; y < s; y++) {
        for (int x = 0; x < s; x++) {
            float u = (x + 0.5f) / s, v = (y + 0.5f) / s;
            if (style == ASSETGEN_ICON_FLAME) {
                float alpha;
                // The flame tongue fills the middle of the sprite.
                float fu = (u - 0.5f) / 0.8f + 0.5f, fv = (v - 0.5f) / 0.85f + 0.5f;
                assetgen_colour c = assetgen_rgb(255, 160, 40);
                alpha = 0.0f;
                if (fu >= 0.0f && fu < 1.0f && fv >= 0.0f && fv < 1.0f) c = assetgen_paint_texel(AG_PAINT_FLAME_CARD, fu, fv, seed, 0, &alpha);
                float glow = expf(-((u - 0.5f) * (u - 0.5f) + (v - 0.62f) * (v - 0.62f)) / 0.04f) * 0.45f;
                assetgen_image_set(&image, x, y, c, fmaxf(alpha, glow));
                continue;
            }
            float dx = u - 0.5f, dy = v - 0.5f;
            float r = sqrtf(dx * dx + dy * dy) * 2.0f;
            float n = assetgen_fbm(u * 4.0f, v * 4.0f, 4, 4, seed);
            float body = assetgen_smoothstep(1.0f, 0.3f, r + (n - 0.5f) * 0.5f);
            assetgen_colour c;
            if (style == ASSETGEN_ICON_SMOKE) {
                c = assetgen_mix(assetgen_rgb(70, 70, 76), assetgen_rgb(150, 150, 156), n);
                body *= 0.85f;
            } else {
                c = assetgen_mix(assetgen_rgb(150, 132, 108), assetgen_rgb(214, 198, 170), n);
            }
            assetgen_image_set(&image, x, y, c, body);
        }
    }
    return image;
}

assetgen_image assetgen_kind_icon(const assetgen_kind *kind) {
    if (kind->icon_style != ASSETGEN_ICON_MODEL) return particle_icon(kind->icon_style, kind->seed);
    return assetgen_kind_render(kind, 64, 0, 0, 0, 0, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Writing the folders

static uint8_t write_text(const char *path, const char *text) {
    FILE *file = fopen(path, "wb");
    if (!file) {
        fprintf(stderr, "assetgen: cannot write %s\n", path);
        return 0;
    }
    size_t length = strlen(text);
    uint8_t ok = fwrite(text, 1, length, file) == length;
    if (fclose(file) != 0) ok = 0;
    return ok;
}

uint8_t assetgen_make_objects(const char *folder) {
    char path[1024], name[256];
    assetgen_path(path, sizeof(path), folder, "OBJECT");
    mkdir(path, 0755);
    uint8_t ok = 1;
    for (int i = 0; i < assetgen_kind_count(); i++) {
        assetgen_kind *kind = (assetgen_kind *)calloc(1, sizeof(assetgen_kind));
        assetgen_kind_build(i, kind);
        snprintf(name, sizeof(name), "OBJECT/%s", kind->name);
        assetgen_path(path, sizeof(path), folder, name);
        mkdir(path, 0755);
        snprintf(name, sizeof(name), "OBJECT/%s/MODEL.IQE", kind->name);
        assetgen_path(path, sizeof(path), folder, name);
        ok &= ag_write_iqe(path, kind->model);
        for (int t = 0; t < kind->num_textures; t++) {
            assetgen_image texture = assetgen_kind_texture(kind, t);
            snprintf(name, sizeof(name), "OBJECT/%s/TEXTURE%d.TGA", kind->name, t);
            assetgen_path(path, sizeof(path), folder, name);
            ok &= assetgen_write_tga(path, &texture, 1);
            assetgen_image_free(&texture);
        }
        assetgen_image icon = assetgen_kind_icon(kind);
        snprintf(name, sizeof(name), "OBJECT/%s/ICON.TGA", kind->name);
        assetgen_path(path, sizeof(path), folder, name);
        ok &= assetgen_write_tga(path, &icon, 1);
        assetgen_image_free(&icon);
        snprintf(name, sizeof(name), "OBJECT/%s/TEMPLATE.TXT", kind->name);
        assetgen_path(path, sizeof(path), folder, name);
        ok &= write_text(path, kind->template_text);
        snprintf(name, sizeof(name), "OBJECT/%s/RECIPE.TXT", kind->name);
        assetgen_path(path, sizeof(path), folder, name);
        if (kind->recipe[0])
            ok &= write_text(path, kind->recipe);
        else
            remove(path);
        assetgen_kind_free(kind);
        free(kind);
    }
    return ok;
}

// ---------------------------------------------------------------------------------------------
// The contact sheet

static void blit(assetgen_image *sheet, const assetgen_image *picture, int ox, int oy, int zoom) {
    for (int y = 0; y < picture->height * zoom; y++) {
        for (int x = 0; x < picture->width * zoom; x++) {
            const uint8_t *p = picture->rgba + ((size_t)(y / zoom) * picture->width + x / zoom) * 4;
            float a = p[3] / 255.0f;
            if (a <= 0.0f) continue;
            assetgen_colour under = assetgen_image_get(sheet, ox + x, oy + y);
            assetgen_image_set(sheet, ox + x, oy + y, assetgen_mix(under, assetgen_rgb(p[0], p[1], p[2]), a), 1.0f);
        }
    }
}

static void panel(assetgen_image *sheet, int ox, int oy, int w, int h, assetgen_colour colour) {
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) assetgen_image_set(sheet, ox + x, oy + y, colour, 1.0f);
}

static void label(assetgen_image *sheet, const char *text, int x, int baseline, float size) {
    int w = sheet->width, h = sheet->height;
    float *coverage = (float *)calloc((size_t)w * h, sizeof(float));
    float pen = (float)x;
    for (const char *c = text; *c; c++)
        pen += assetgen_font_draw(coverage, w, h, (uint32_t)(uint8_t)*c, size, 1.0f, (int)pen, baseline, nullptr);
    for (int i = 0; i < w * h; i++) {
        if (coverage[i] <= 0.0f) continue;
        int px = i % w, py = i / w;
        assetgen_colour under = assetgen_image_get(sheet, px, py);
        assetgen_image_set(sheet, px, py, assetgen_mix(under, assetgen_rgb(240, 236, 220), fminf(coverage[i], 1.0f)), 1.0f);
    }
    free(coverage);
}

// One frame of a kind seen from the world's three-quarter view, fitted to a fixed frame so a
// strip of frames keeps its scale.
static void world_frame(assetgen_image *sheet, const assetgen_kind *kind, int frame, int mesh0, int ox, int oy, int w,
                        int h, const ag_view *fixed, uint8_t lit) {
    float facing[4] = {0, 0, 0, 1};
    ag_view view = *fixed;
    assetgen_image picture = render(kind, w, h, frame, &view, facing, mesh0, lit);
    blit(sheet, &picture, ox, oy, 1);
    assetgen_image_free(&picture);
}

static const float world_fore[3] = {0.42f, 0.78f, -0.46f};

uint8_t assetgen_make_sheet(const char *path) {
    const int columns = 7, tile_w = 250, tile_h = 200;
    int count = assetgen_kind_count();
    int rows = (count + columns - 1) / columns;
    const int strip_h = 190;
    int width = columns * tile_w, height = rows * tile_h + 4 * strip_h + 20;
    assetgen_image sheet = assetgen_image_create(width, height);
    panel(&sheet, 0, 0, width, height, assetgen_rgb(34, 38, 46));
    uint8_t font = assetgen_font_open(ASSETGEN_FONT_DIR "/DejaVuSans-Bold.ttf");
    assetgen_kind *kind = (assetgen_kind *)calloc(1, sizeof(assetgen_kind));
    for (int i = 0; i < count; i++) {
        assetgen_kind_build(i, kind);
        int ox = (i % columns) * tile_w, oy = (i / columns) * tile_h;
        panel(&sheet, ox + 4, oy + 4, 164, 164, assetgen_rgb(88, 112, 140));
        panel(&sheet, ox + 174, oy + 4, 70, 70, assetgen_rgb(70, 60, 52));
        if (kind->icon_style == ASSETGEN_ICON_MODEL) {
            assetgen_image view = assetgen_kind_render(kind, 160, 0, world_fore[0], world_fore[1], world_fore[2], nullptr);
            blit(&sheet, &view, ox + 6, oy + 6, 1);
            assetgen_image_free(&view);
        }
        assetgen_image icon = assetgen_kind_icon(kind);
        blit(&sheet, &icon, ox + 177, oy + 7, 1);
        if (kind->icon_style != ASSETGEN_ICON_MODEL) blit(&sheet, &icon, ox + 22, oy + 22, 2);
        assetgen_image_free(&icon);
        if (font) label(&sheet, kind->name, ox + 6, oy + 188, 15.0f);
        assetgen_kind_free(kind);
    }
    // Animation strips: the zombi's walk, blow and hit; the tree's stages and fall; tools in hand.
    int sy = rows * tile_h + 10;
    for (int i = 0; i < count; i++) {
        assetgen_kind_build(i, kind);
        ag_view view;
        memset(&view, 0, sizeof(view));
        ag_view_look(&view, world_fore[0], world_fore[1], world_fore[2]);
        if (!strcmp(kind->name, "ZOMBI")) {
            const int frames[8] = {1, 9, 17, 25, 100, 126, 135, 145};
            float facing[4] = {0, 0, 0, 1};
            fit(kind, &view, 0, facing, -1, 170, 170, 0.8f);
            for (int f = 0; f < 8; f++) {
                panel(&sheet, 4 + f * 176, sy, 172, 172, assetgen_rgb(88, 112, 140));
                world_frame(&sheet, kind, frames[f], -1, 5 + f * 176, sy + 1, 170, 170, &view, 0);
                char text[32];
                snprintf(text, sizeof(text), "%d", frames[f]);
                if (font) label(&sheet, text, 8 + f * 176, sy + 18, 13.0f);
            }
        } else if (!strcmp(kind->name, "TREE")) {
            float facing[4] = {0, 0, 0, 1};
            fit(kind, &view, 0, facing, -1, 170, 170, 0.62f);
            const int meshes[7] = {0, 1, 2, 2, 2, 2, 2}, frames[7] = {0, 5, 0, 10, 20, 30, 40};
            for (int f = 0; f < 7; f++) {
                panel(&sheet, 4 + f * 176, sy + strip_h, 172, 172, assetgen_rgb(88, 112, 140));
                world_frame(&sheet, kind, frames[f], meshes[f], 5 + f * 176, sy + strip_h + 1, 170, 170, &view, 0);
            }
        } else if (kind->inhand_frames > 1 || !strcmp(kind->name, "BOMB") || !strcmp(kind->name, "TORCH")) {
            // The view through the player's eyes: looking along -y, the item placed by its frame.
            static int slot = 0;
            int column = slot % 10, row = slot / 10;
            slot++;
            int px = 4 + column * 140, py = sy + strip_h * 2 + row * strip_h;
            for (int half = 0; half < 2; half++) {
                int frame_number = half ? kind->inhand_frames / 2 : 0;
                if (frame_number >= kind->inhand_frames) frame_number = 0;
                ag_view eye;
                memset(&eye, 0, sizeof(eye));
                ag_view_look(&eye, 0, -1, 0);
                eye.scale = 80.0f;
                eye.outline = 0.025f;
                eye.centre[1] = -0.5f;
                const float *f = kind->inhand[frame_number];
                float facing[4];
                inhand_facing(f, facing);
                // Shifting the camera the other way places the item at front, side, up.
                eye.centre[0] = -f[4];
                eye.centre[2] = -f[5];
                eye.centre[1] = f[3] - 0.5f;
                panel(&sheet, px, py + half * 88, 134, 86, assetgen_rgb(120, 150, 180));
                assetgen_image picture = render(kind, 134, 86, 0, &eye, facing, -1, !strcmp(kind->name, "BOMB") && half);
                blit(&sheet, &picture, px, py + half * 88, 1);
                assetgen_image_free(&picture);
            }
            if (font) label(&sheet, kind->name, px + 2, py + 12, 11.0f);
        }
        assetgen_kind_free(kind);
    }
    free(kind);
    if (font) assetgen_font_close();
    uint8_t ok = assetgen_write_tga(path, &sheet, 0);
    assetgen_image_free(&sheet);
    return ok;
}
