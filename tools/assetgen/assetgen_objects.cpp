// assetgen_objects.cpp — every object kind: procedural model, template values, in-hand motion and recipe
//
// Models face -y (the way a zombi walks and a held tool points), z is up, one unit is one block.
// Hand tools lie flat along the (1, 1) diagonal with their business end away from the origin,
// which is the grip; their in-hand frames stand them up.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "assetgen_objects.h"

#define PI 3.14159265f

// ---------------------------------------------------------------------------------------------
// Template text helpers

static void k_text(assetgen_kind *k, const char *format, ...) {
    va_list args;
    va_start(args, format);
    int room = ASSETGEN_KIND_TEXT - k->template_length - 2;
    int n = vsnprintf(k->template_text + k->template_length, (size_t)(room > 0 ? room : 0), format, args);
    va_end(args);
    if (n < 0 || n >= room) return;
    k->template_length += n;
    k->template_text[k->template_length++] = '\n';
    k->template_text[k->template_length] = 0;
}

static void k_mesh(assetgen_kind *k, int mesh, int texture, int overlay, uint8_t paperdoll) {
    if (k->num_slots >= ASSETGEN_KIND_SLOTS || mesh < 0 || mesh >= k->model->num_mesh) return;
    char overlay_word[16];
    if (overlay > 9)
        snprintf(overlay_word, sizeof(overlay_word), "SHINY");
    else if (overlay > 0)
        snprintf(overlay_word, sizeof(overlay_word), "TEXTURE%d", overlay);
    else
        snprintf(overlay_word, sizeof(overlay_word), "SHADE");
    k_text(k, "MESH %s TEXTURE%d %s %s", k->model->mesh[mesh].name, texture, overlay_word,
           paperdoll ? "PAPERDOLL" : "SOLID");
    ag_slot *slot = &k->slots[k->num_slots++];
    slot->mesh = mesh;
    slot->texture = texture;
    slot->overlay = overlay;
    slot->paperdoll = paperdoll;
}

// Recipe positions: the ring of the 3 x 3 pattern and the two centre places.
enum { UL = 0, U = 1, UR = 2, L = 3, C = 4, C2 = 5, R = 6, DL = 7, D = 8, DR = 9 };

struct recipe_part {
    int position;
    const char *word;
};

static void k_recipe(assetgen_kind *k, const recipe_part *parts, int count) {
    const char *words[10];
    for (int i = 0; i < 10; i++) words[i] = "NULL";
    for (int i = 0; i < count; i++) words[parts[i].position] = parts[i].word;
    int at = 0;
    for (int i = 0; i < 10; i++)
        at += snprintf(k->recipe + at, sizeof(k->recipe) - (size_t)at, "%s%s", words[i], i == 9 ? "\n" : " ");
}

static void k_inhand(assetgen_kind *k, float rx, float ry, float rz, float front, float side, float up) {
    if (k->inhand_frames >= 60) return;
    float *f = k->inhand[k->inhand_frames++];
    f[0] = rx;
    f[1] = ry;
    f[2] = rz;
    f[3] = front;
    f[4] = side;
    f[5] = up;
    k_text(k, "INHAND %.4f %.4f %.4f %.4f %.4f %.4f", rx, ry, rz, front, side, up);
}

static float ease(float t) {
    t = assetgen_clamp(t, 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

enum { SWING_CHOP, SWING_THRUST, SWING_SAW, SWING_BASH };

// A swing of frames frames from the resting hold; the game strikes on frame frames / 2, where
// the motion is at its deepest.
static void k_swing(assetgen_kind *k, int style, int frames, const float rest[6], float reach) {
    int strike = frames / 2;
    for (int i = 0; i < frames; i++) {
        float f[6];
        memcpy(f, rest, sizeof(f));
        float wind = 0.0f, hit = 0.0f;
        if (i <= strike) {
            float a = (float)i / (float)strike;
            wind = ease(a / 0.6f) * (a < 0.6f ? 1.0f : 1.0f - ease((a - 0.6f) / 0.4f));
            hit = a < 0.6f ? 0.0f : ((a - 0.6f) / 0.4f) * ((a - 0.6f) / 0.4f);
        } else {
            hit = 1.0f - ease((float)(i - strike) / (float)(frames - strike));
        }
        switch (style) {
            case SWING_CHOP:
                f[0] += -0.07f * wind + reach * hit;
                f[3] += 0.08f * hit;
                f[5] += 0.05f * wind - 0.05f * hit;
                break;
            case SWING_THRUST:
                f[3] += -0.1f * wind + reach * hit;
                f[5] += 0.03f * wind - 0.03f * hit;
                break;
            case SWING_SAW:
                f[3] += -0.08f * wind + reach * hit;
                f[5] += -0.05f * hit;
                f[0] += 0.02f * sinf((float)i * 0.7f);
                break;
            case SWING_BASH:
                f[3] += -0.05f * wind + reach * hit;
                f[4] += -0.08f * hit;
                break;
        }
        k_inhand(k, f[0], f[1], f[2], f[3], f[4], f[5]);
    }
}

// ---------------------------------------------------------------------------------------------
// Shared shapes

static void seg(ag_model *m, float ax, float ay, float az, float bx, float by, float bz, float ra, float rb, int sides) {
    float a[3] = {ax, ay, az}, b[3] = {bx, by, bz};
    ag_cylinder(m, a, b, ra, rb, sides, 1);
}

// Places a hand tool: lying flat along the (1, 1) diagonal, z0 below the origin.
static void tool_place(ag_model *m, float z0) {
    ag_place_reset(m);
    ag_place(m, 0.0f, 0.0f, z0, 0.0f, 0.0f, -PI / 4.0f);
}

static void slab(ag_model *m, const float (*points)[2], int count, float fx, float fy, float h) {
    ag_slab(m, points, count, fx, fy, h);
}

// The hold of a chopping tool: stood up, head forward, down at the right of the view.
// Standing up (x), turned so the head shows its side and leans in towards the middle (z).
// Hand tools rest low at the right, leaning outwards, so neither the rest nor the swing crosses
// the crosshair.
static const float hold_chop[6] = {-0.25f, -0.08f, 0.585f, 0.42f, 0.42f, -0.45f};

static void tool_common(assetgen_kind *k, float dig, float damage, float size, float weight, float value,
                        int inventory_scale = 36) {
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "FLATONGROUND");
    k_text(k, "SHOWMATERIAL");
    k_text(k, "SIZE %.2f", size);
    k_text(k, "WEIGHT %.1f", weight);
    k_text(k, "VALUE %.0f", value);
    if (dig > 0.0f) k_text(k, "DIGRADIUS %.2f", dig);
    k_text(k, "ATTACKDAMAGE %.1f", damage);
    k_text(k, "INVENTORYSCALE %d", inventory_scale);
}

// ---------------------------------------------------------------------------------------------
// People: the player and the zombi share one body plan

enum { J_HIPS, J_SPINE, J_HEAD, J_ARM_L, J_FOREARM_L, J_ARM_R, J_FOREARM_R, J_LEG_L, J_SHIN_L, J_LEG_R, J_SHIN_R };

static void humanoid(ag_model *m, uint8_t zombi) {
    // Heights from the feet (-0.9) up; the player is smaller with its head at the eye (0).
    float k = zombi ? 1.0f : 0.68f;
    auto Z = [k](float z) { return -0.9f + (z + 0.9f) * k; };
    float head_r = zombi ? 0.16f : 0.17f;
    uint8_t skeleton = zombi;
    auto joint = [&](const char *name, int parent, float x, float y, float z) {
        if (skeleton) ag_joint_add(m, name, parent, x, y, z);
    };
    joint("HIPS", -1, 0, 0, Z(-0.36f));
    joint("SPINE", J_HIPS, 0, 0, Z(-0.28f));
    joint("HEAD", J_SPINE, 0, 0, Z(0.26f));
    joint("ARM-L", J_SPINE, 0.21f, 0, Z(0.2f));
    joint("FOREARM-L", J_ARM_L, 0.21f, zombi ? -0.24f : 0.0f, zombi ? Z(0.2f) : Z(-0.04f));
    joint("ARM-R", J_SPINE, -0.21f, 0, Z(0.2f));
    joint("FOREARM-R", J_ARM_R, -0.21f, zombi ? -0.24f : 0.0f, zombi ? Z(0.2f) : Z(-0.04f));
    joint("LEG-L", J_HIPS, 0.1f, 0, Z(-0.4f));
    joint("SHIN-L", J_LEG_L, 0.1f, 0, Z(-0.64f));
    joint("LEG-R", J_HIPS, -0.1f, 0, Z(-0.4f));
    joint("SHIN-R", J_LEG_R, -0.1f, 0, Z(-0.64f));
    auto use = [&](int j) {
        if (skeleton) ag_use_joint(m, j);
    };
    ag_mesh_begin(m, "BODY");
    int cloth = zombi ? AG_PAINT_RAGS : AG_PAINT_SHIRT;
    int skin = zombi ? AG_PAINT_ZOMBI_SKIN : AG_PAINT_SKIN;
    // Pelvis and torso.
    use(J_HIPS);
    ag_use_paint(m, AG_PAINT_TROUSERS);
    ag_box(m, 0, 0, Z(-0.37f), 0.16f, 0.09f, 0.07f * k + 0.01f);
    use(J_SPINE);
    ag_use_paint(m, cloth);
    ag_place_reset(m);
    ag_place(m, 0, 0, Z(-0.28f), zombi ? 0.12f : 0.0f, 0, 0);
    ag_box(m, 0, 0, (Z(0.22f) - Z(-0.28f)) * 0.5f, 0.18f, 0.1f, (Z(0.22f) - Z(-0.28f)) * 0.5f);
    if (!zombi) {
        ag_use_paint(m, AG_PAINT_LEATHER);
        ag_box(m, 0, 0, 0.03f, 0.185f, 0.105f, 0.03f);  // belt
    }
    ag_place_reset(m);
    // Head.
    use(J_HEAD);
    ag_use_paint(m, skin);
    float hz = Z(0.26f) + head_r + 0.02f;
    ag_ellipsoid(m, 0, -0.01f, hz, head_r * 0.9f, head_r, head_r, 6, 10);
    ag_use_paint(m, zombi ? AG_PAINT_GLOW_EYE : AG_PAINT_EYE);
    ag_box(m, 0.055f, -head_r * 0.92f, hz + 0.02f, 0.025f, 0.02f, 0.022f);
    ag_box(m, -0.055f, -head_r * 0.92f, hz + 0.02f, 0.025f, 0.02f, 0.022f);
    if (zombi) {
        ag_use_paint(m, AG_PAINT_EYE);  // a gaping mouth
        ag_box(m, 0.0f, -head_r * 0.88f, hz - 0.07f, 0.05f, 0.02f, 0.025f);
        ag_use_paint(m, AG_PAINT_HAIR);
        ag_box(m, 0.04f, 0.02f, hz + head_r * 0.85f, 0.08f, 0.1f, 0.03f);
    } else {
        ag_use_paint(m, AG_PAINT_HAIR);
        ag_ellipsoid(m, 0, 0.02f, hz + 0.04f, head_r * 0.95f, head_r * 0.98f, head_r * 0.85f, 4, 10);
    }
    // Arms: the zombi reaches forward, the player's hang.
    for (int side = 0; side < 2; side++) {
        float x = side == 0 ? 0.21f : -0.21f;
        int arm = side == 0 ? J_ARM_L : J_ARM_R, fore = side == 0 ? J_FOREARM_L : J_FOREARM_R;
        float sz = Z(0.2f);
        use(arm);
        ag_use_paint(m, cloth);
        if (zombi) {
            seg(m, x, 0, sz, x, -0.24f, sz, 0.055f, 0.05f, 6);
            use(fore);
            ag_use_paint(m, skin);
            seg(m, x, -0.24f, sz, x * 0.9f, -0.48f, sz - 0.03f, 0.045f, 0.04f, 6);
            ag_box(m, x * 0.9f, -0.52f, sz - 0.035f, 0.035f, 0.045f, 0.02f);
        } else {
            seg(m, x, 0, sz, x + 0.02f * (side ? -1 : 1), 0, Z(-0.04f), 0.05f, 0.045f, 6);
            use(fore);
            ag_use_paint(m, skin);
            seg(m, x + 0.02f * (side ? -1 : 1), 0, Z(-0.04f), x + 0.03f * (side ? -1 : 1), 0, Z(-0.26f), 0.042f, 0.04f, 6);
        }
    }
    // Legs.
    for (int side = 0; side < 2; side++) {
        float x = side == 0 ? 0.1f : -0.1f;
        use(side == 0 ? J_LEG_L : J_LEG_R);
        ag_use_paint(m, AG_PAINT_TROUSERS);
        seg(m, x, 0, Z(-0.4f), x, 0, Z(-0.64f), 0.07f, 0.06f, 6);
        use(side == 0 ? J_SHIN_L : J_SHIN_R);
        seg(m, x, 0, Z(-0.64f), x, 0, Z(-0.86f), 0.06f, 0.05f, 6);
        ag_use_paint(m, zombi ? skin : AG_PAINT_BOOTS);
        ag_box(m, x, -0.04f, -0.87f, 0.055f, 0.1f, 0.032f);
    }
}

static void zombi_animations(ag_model *m) {
    // WALK1: three strides of a shambling walk, the last with a lurch of the head.
    ag_animation_begin(m, "WALK1", 30);
    for (int i = 0; i < 96; i++) {
        float phase = 2.0f * PI * (float)(i % 32) / 32.0f;
        int stride = i / 32;
        ag_pose *p = ag_frame_add(m);
        p[J_HIPS].t[2] += -0.015f + 0.03f * fabsf(sinf(phase));
        ag_pose_turn(&p[J_HIPS], 0, 0, 0.06f * sinf(phase));
        ag_pose_turn(&p[J_SPINE], 0.16f + 0.04f * sinf(2.0f * phase), 0.05f * sinf(phase), -0.08f * sinf(phase));
        float lurch = stride == 2 ? sinf(fminf(1.0f, (float)(i % 32) / 10.0f) * PI) : 0.0f;
        ag_pose_turn(&p[J_HEAD], 0.1f + 0.35f * lurch, 0.18f * sinf(phase * 0.5f + stride), 0.25f * lurch);
        ag_pose_turn(&p[J_ARM_L], 0.05f + 0.1f * sinf(phase), 0, 0.05f);
        ag_pose_turn(&p[J_ARM_R], 0.05f - 0.1f * sinf(phase + 0.4f), 0, -0.05f);
        ag_pose_turn(&p[J_FOREARM_L], 0.15f + 0.08f * sinf(phase + 1.0f), 0, 0);
        ag_pose_turn(&p[J_FOREARM_R], 0.15f - 0.08f * sinf(phase + 1.0f), 0, 0);
        ag_pose_turn(&p[J_LEG_L], -0.42f * sinf(phase), 0, 0);
        ag_pose_turn(&p[J_LEG_R], 0.42f * sinf(phase), 0, 0);
        ag_pose_turn(&p[J_SHIN_L], 0.25f + 0.25f * cosf(phase), 0, 0);
        ag_pose_turn(&p[J_SHIN_R], 0.25f - 0.25f * cosf(phase), 0, 0);
    }
    ag_animation_end(m);
    // HIT1: thrown back by a blow, then slumping forward again.
    ag_animation_begin(m, "HIT1", 30);
    for (int i = 0; i < 23; i++) {
        float a = sinf(PI * (float)i / 22.0f) * expf(-(float)i / 14.0f) * 1.4f;
        ag_pose *p = ag_frame_add(m);
        p[J_HIPS].t[1] += 0.1f * a;
        ag_pose_turn(&p[J_SPINE], 0.16f - 0.6f * a, 0, 0.1f * a);
        ag_pose_turn(&p[J_HEAD], -0.5f * a, 0, -0.2f * a);
        ag_pose_turn(&p[J_ARM_L], -0.7f * a, 0, 0.3f * a);
        ag_pose_turn(&p[J_ARM_R], -0.5f * a, 0, -0.4f * a);
        ag_pose_turn(&p[J_LEG_L], 0.2f * a, 0, 0);
        ag_pose_turn(&p[J_LEG_R], -0.25f * a, 0, 0);
        ag_pose_turn(&p[J_SHIN_L], 0.3f * a, 0, 0);
        ag_pose_turn(&p[J_SHIN_R], 0.1f, 0, 0);
    }
    ag_animation_end(m);
    // ATTACK1: both arms raised, then brought down on frame 135 (the fifteenth of the attack).
    ag_animation_begin(m, "ATTACK1", 30);
    int first = m->num_frame;
    for (int i = 0; i < 32; i++) {
        int number = first + i;
        float arms, spine, fore;
        if (number <= 132) {
            float w = ease((float)i / 12.0f);
            arms = -1.5f * w;
            spine = 0.16f - 0.3f * w;
            fore = 0.15f - 0.5f * w;
        } else if (number <= 135) {
            float s = (float)(number - 132) / 3.0f;
            arms = -1.5f + 2.1f * s;
            spine = -0.14f + 0.6f * s;
            fore = -0.35f + 0.55f * s;
        } else {
            float r = ease((float)(number - 135) / 16.0f);
            arms = 0.6f - 0.55f * r;
            spine = 0.46f - 0.3f * r;
            fore = 0.2f - 0.05f * r;
        }
        ag_pose *p = ag_frame_add(m);
        p[J_HIPS].t[1] += number <= 135 ? 0.0f : -0.05f * (1.0f - ease((float)(number - 135) / 16.0f));
        ag_pose_turn(&p[J_SPINE], spine, 0, 0);
        ag_pose_turn(&p[J_HEAD], -0.2f * (spine - 0.16f), 0, 0);
        ag_pose_turn(&p[J_ARM_L], arms, 0, 0.08f);
        ag_pose_turn(&p[J_ARM_R], arms, 0, -0.08f);
        ag_pose_turn(&p[J_FOREARM_L], fore, 0, 0);
        ag_pose_turn(&p[J_FOREARM_R], fore, 0, 0);
        ag_pose_turn(&p[J_LEG_L], -0.2f, 0, 0);
        ag_pose_turn(&p[J_LEG_R], 0.25f, 0, 0);
        ag_pose_turn(&p[J_SHIN_L], 0.2f, 0, 0);
        ag_pose_turn(&p[J_SHIN_R], 0.3f, 0, 0);
    }
    ag_animation_end(m);
}

static void kind_player(assetgen_kind *k) {
    humanoid(k->model, 0);
    k_text(k, "# The local player: a static sphere the controls move; its head is at the eye.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "STATICSPHERE");
    k_text(k, "SIZE 0.90");
    k_text(k, "WEIGHT 10");
    k_text(k, "HITS 5");
    k_text(k, "INVENTORYSCALE 16");
    k_mesh(k, 0, 0, 0, 0);
    k->icon_fill = 0.9f;
}

static void kind_zombi(assetgen_kind *k) {
    humanoid(k->model, 1);
    zombi_animations(k->model);
    k_text(k, "# Walks at the player at night; its blow lands on frame 135 of ATTACK1.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "STATICSPHERE");
    k_text(k, "BEHAVELIKEZOMBI");
    k_text(k, "SIZE 0.90");
    k_text(k, "WEIGHT 12");
    k_text(k, "HITS 30");
    k_text(k, "VALUE 5");
    k_text(k, "INVENTORYSCALE 16");
    k_mesh(k, 0, 0, 0, 0);
    k->icon_fill = 0.9f;
    const recipe_part parts[] = {{C, "GOBLIN"}, {D, "DEBRIS:1"}};
    k_recipe(k, parts, 2);
}

// ---------------------------------------------------------------------------------------------
// Trees

enum { T_ROOT, T_SWAY, T_TRUNK };

static void tree_crown(ag_model *m, int stage) {
    ag_use_paint(m, AG_PAINT_BARK);
    seg(m, 0, 0, -0.6f, 0.05f, 0.0f, 2.7f, 0.28f, 0.14f, 8);
    seg(m, 0.02f, 0, 1.5f, 0.8f, 0.3f, 2.4f, 0.1f, 0.05f, 6);
    seg(m, 0.02f, 0, 1.8f, -0.7f, -0.4f, 2.6f, 0.09f, 0.05f, 6);
    if (stage < 2) seg(m, 0.03f, 0, 2.1f, 0.1f, -0.8f, 2.9f, 0.08f, 0.04f, 6);
    // The chopping notch shows the pale wood inside.
    if (stage > 0) {
        ag_use_paint(m, AG_PAINT_NOTCH);
        float depth = stage == 1 ? 0.1f : 0.2f;
        ag_box(m, 0, -0.27f + depth * 0.5f, -0.42f, 0.2f, depth * 0.5f + 0.04f, 0.07f);
    }
    ag_use_paint(m, AG_PAINT_FOLIAGE);
    const float blobs[5][6] = {{0.0f, 0.0f, 2.9f, 1.15f, 1.15f, 0.95f},
                               {0.7f, 0.35f, 2.5f, 0.75f, 0.7f, 0.6f},
                               {-0.6f, -0.35f, 2.6f, 0.7f, 0.75f, 0.6f},
                               {0.15f, -0.55f, 3.4f, 0.7f, 0.65f, 0.6f},
                               {-0.3f, 0.5f, 3.3f, 0.65f, 0.6f, 0.55f}};
    int count = stage == 0 ? 5 : (stage == 1 ? 4 : 3);
    for (int i = 0; i < count; i++) ag_ellipsoid(m, blobs[i][0], blobs[i][1], blobs[i][2], blobs[i][3], blobs[i][4], blobs[i][5], 6, 9);
    // Cut-out leaf cards break up the round outline.
    ag_use_paint(m, AG_PAINT_LEAF_CARD);
    int cards = stage == 0 ? 12 : (stage == 1 ? 9 : 7);
    for (int i = 0; i < cards; i++) {
        float a = (float)i * 2.39996f, h = 2.3f + 1.3f * (float)((i * 7) % 11) / 10.0f;
        float r = 1.05f - 0.3f * fabsf(h - 2.9f);
        float cx = cosf(a) * r, cy = sinf(a) * r;
        float size = 0.85f;
        float corner[3] = {cx - sinf(a) * size * 0.5f, cy + cosf(a) * size * 0.5f, h - size * 0.5f};
        float u[3] = {sinf(a) * size, -cosf(a) * size, 0.0f}, v[3] = {cosf(a) * 0.25f, sinf(a) * 0.25f, size};
        ag_card(m, corner, u, v);
    }
}

static void kind_tree(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_joint_add(m, "ROOT", -1, 0, 0, -1.0f);
    ag_joint_add(m, "SWAY", T_ROOT, 0, 0, -0.6f);
    ag_joint_add(m, "TRUNK", T_ROOT, 0, 0, -0.6f);
    const char *names[3] = {"TREE", "TREE-NOTCHED", "TREE-FELLING"};
    for (int stage = 0; stage < 3; stage++) {
        ag_mesh_begin(m, names[stage]);
        // The first two stages shake when struck; the last one falls.
        ag_use_joint(m, stage < 2 ? T_SWAY : T_TRUNK);
        tree_crown(m, stage);
    }
    ag_mesh_begin(m, "STUMP");
    ag_use_joint(m, T_ROOT);
    ag_use_paint(m, AG_PAINT_BARK);
    seg(m, 0, 0, -1.0f, 0, 0, -0.62f, 0.34f, 0.3f, 8);
    for (int i = 0; i < 4; i++) {
        float a = (float)i * PI * 0.5f + 0.4f;
        seg(m, cosf(a) * 0.2f, sinf(a) * 0.2f, -0.8f, cosf(a) * 0.55f, sinf(a) * 0.55f, -1.02f, 0.1f, 0.04f, 5);
    }
    ag_use_paint(m, AG_PAINT_END_GRAIN);
    seg(m, 0, 0, -0.63f, 0, 0, -0.6f, 0.3f, 0.3f, 8);
    // FALL: a struck tree shudders; a felled one topples forward and settles.
    ag_animation_begin(m, "FALL", 30);
    for (int i = 0; i < 40; i++) {
        ag_pose *p = ag_frame_add(m);
        float shake = 0.08f * expf(-(float)i / 7.0f) * sinf((float)i * 1.4f);
        ag_pose_turn(&p[T_SWAY], shake, 0.6f * shake, 0);
        float fall;
        if (i <= 26) {
            float t = (float)i / 26.0f;
            fall = 1.52f * t * t;
        } else {
            fall = 1.52f - 0.1f * sinf(PI * (float)(i - 26) / 13.0f) * expf(-(float)(i - 26) / 8.0f);
        }
        ag_pose_turn(&p[T_TRUNK], fall, 0, 0);
    }
    ag_animation_end(m);
    k_text(k, "# Three good axe blows fell it; each drops a log. Grown from a sapling in dirt.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "STATICSPHERE");
    k_text(k, "BEHAVELIKETREE");
    k_text(k, "SIZE 1.00");
    k_text(k, "WEIGHT 9999");
    k_text(k, "HITS 3");
    k_text(k, "VALUE 8");
    k_text(k, "INVENTORYSTACKABLE 10");
    k_text(k, "INVENTORYSCALE 6");
    k_mesh(k, 0, 0, 0, 1);
    k_mesh(k, 3, 0, 0, 0);
    k->icon_fill = 0.92f;
    const recipe_part parts[] = {{C, "SAPLING"}, {D, "DEBRIS:1"}};
    k_recipe(k, parts, 2);
}

static void kind_sapling(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "SAPLING");
    ag_use_paint(m, AG_PAINT_BARK);
    seg(m, 0, 0, -0.05f, 0.01f, 0, 0.45f, 0.025f, 0.012f, 5);
    ag_use_paint(m, AG_PAINT_SAPLING_CARD);
    for (int i = 0; i < 2; i++) {
        float a = (float)i * PI * 0.5f + 0.3f;
        float corner[3] = {-cosf(a) * 0.22f, -sinf(a) * 0.22f, 0.0f};
        float u[3] = {cosf(a) * 0.44f, sinf(a) * 0.44f, 0.0f}, v[3] = {0, 0, 0.6f};
        // Cards are painted top row first; start at the top so the leaves stand upright.
        float top[3] = {corner[0], corner[1], 0.6f}, down[3] = {0, 0, -0.6f};
        (void)v;
        ag_card(m, top, u, down);
    }
    ag_use_paint(m, AG_PAINT_SOIL);
    ag_rock(m, 0, 0, -0.05f, 0.12f, 0.12f, 0.06f, 0.2f, 5u);
    k_text(k, "# A tree seed: stuck into the ground it becomes the seed block; dig that to get it back.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "FLATONGROUND");
    k_text(k, "SIZE 0.20");
    k_text(k, "WEIGHT 1");
    k_text(k, "VALUE 2");
    k_text(k, "INVENTORYSTACKABLE 20");
    k_text(k, "INVENTORYSCALE 40");
    k_text(k, "TERRAINMODEL 35");
    k_text(k, "TERRAINCOLLECT 35");
    k_mesh(k, 0, 0, 0, 1);
    k_inhand(k, 0.02f, 0, 0, 0.65f, 0.4f, -0.42f);
    k->icon_fill = 0.85f;
}

static void kind_log(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "LOG");
    tool_place(m, -0.14f);
    ag_use_paint(m, AG_PAINT_BARK);
    float a[3] = {0, -0.35f, 0}, b[3] = {0, 0.35f, 0};
    ag_cylinder(m, a, b, 0.16f, 0.15f, 8, 0);
    ag_use_paint(m, AG_PAINT_END_GRAIN);
    seg(m, 0, -0.36f, 0, 0, -0.34f, 0, 0.155f, 0.155f, 8);
    seg(m, 0, 0.34f, 0, 0, 0.36f, 0, 0.145f, 0.145f, 8);
    ag_use_paint(m, AG_PAINT_BARK);
    seg(m, 0.1f, 0.1f, 0.08f, 0.22f, 0.18f, 0.14f, 0.035f, 0.02f, 5);  // a broken-off branch
    k_text(k, "# Dropped by a falling tree; two logs side by side make a board.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "SIZE 0.30");
    k_text(k, "WEIGHT 4");
    k_text(k, "VALUE 2");
    k_text(k, "INVENTORYSTACKABLE 20");
    k_text(k, "INVENTORYSCALE 36");
    k_mesh(k, 0, 0, 0, 0);
    k_inhand(k, 0.0f, 0.0f, 0.0f, 0.6f, 0.3f, -0.38f);
}

// ---------------------------------------------------------------------------------------------
// Materials and parts

static void kind_board(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "BOARD");
    tool_place(m, -0.17f);
    ag_use_paint(m, AG_PAINT_WOOD);
    ag_box(m, 0, 0, 0, 0.09f, 0.45f, 0.025f);
    k_text(k, "# A sawn plank: handles, shields, torches and catapults.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "FLATONGROUND");
    k_text(k, "SIZE 0.20");
    k_text(k, "WEIGHT 1");
    k_text(k, "VALUE 1");
    k_text(k, "INVENTORYSTACKABLE 50");
    k_text(k, "INVENTORYSCALE 36");
    k_mesh(k, 0, 0, 0, 0);
    k_inhand(k, 0.15f, 0.0f, 0.0f, 0.5f, 0.32f, -0.34f);
    const recipe_part parts[] = {{C, "LOG"}, {R, "LOG"}};
    k_recipe(k, parts, 2);
}

static void kind_bar(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "BAR");
    tool_place(m, -0.15f);
    ag_place(m, 0, 0, 0, -PI / 2.0f, 0, 0);
    ag_use_paint(m, AG_PAINT_METAL);
    const float profile[4][2] = {{-0.07f, -0.05f}, {0.07f, -0.05f}, {0.1f, 0.05f}, {-0.1f, 0.05f}};
    slab(m, profile, 4, 0, 0, 0.22f);
    k_text(k, "# An ingot of its metal, smelted from ore over coal.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "FLATONGROUND");
    k_text(k, "SHOWMATERIAL");
    k_text(k, "SIZE 0.20");
    k_text(k, "WEIGHT 2");
    k_text(k, "VALUE 4");
    k_text(k, "INVENTORYSTACKABLE 50");
    k_text(k, "INVENTORYSCALE 49");
    k_mesh(k, 0, 0, 10, 0);
    k_inhand(k, 0.05f, 0.0f, 0.0f, 0.5f, 0.3f, -0.3f);
    k->metal = 1;
    const recipe_part parts[] = {{C, "ORE"}, {D, "COAL"}};
    k_recipe(k, parts, 2);
}

static void kind_ore(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "ROCK");
    ag_use_paint(m, AG_PAINT_ORE);
    ag_rock(m, 0, 0, 0, 0.2f, 0.17f, 0.15f, 0.25f, 11u);
    ag_mesh_begin(m, "NUGGETS");
    ag_use_paint(m, AG_PAINT_METAL);
    ag_rock(m, 0.12f, -0.08f, 0.06f, 0.07f, 0.06f, 0.05f, 0.3f, 12u);
    ag_rock(m, -0.1f, -0.06f, 0.09f, 0.06f, 0.05f, 0.05f, 0.3f, 13u);
    ag_rock(m, 0.02f, 0.1f, 0.11f, 0.05f, 0.05f, 0.04f, 0.3f, 14u);
    ag_rock(m, -0.05f, -0.14f, -0.02f, 0.05f, 0.04f, 0.04f, 0.3f, 15u);
    k_text(k, "# Metal ore: copper, iron and gold from their veins, tin from loam, mithril from grimstone.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "SHOWMATERIAL");
    k_text(k, "SIZE 0.20");
    k_text(k, "WEIGHT 2");
    k_text(k, "VALUE 2");
    k_text(k, "INVENTORYSTACKABLE 50");
    k_text(k, "INVENTORYSCALE 64");
    k_text(k, "TERRAINCOLLECT 25 1");
    k_text(k, "TERRAINCOLLECT 24 2");
    k_text(k, "TERRAINCOLLECT 26 3");
    k_text(k, "TERRAINCOLLECT 27 4");
    k_text(k, "TERRAINCOLLECT 33 5");
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    k_inhand(k, 0.0f, 0.0f, 0.0f, 0.5f, 0.3f, -0.3f);
    k->metal = 1;
}

static void kind_coal(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "COAL");
    ag_use_paint(m, AG_PAINT_COAL);
    ag_rock(m, 0, 0, 0, 0.18f, 0.15f, 0.14f, 0.3f, 21u);
    ag_rock(m, 0.13f, 0.08f, -0.04f, 0.08f, 0.08f, 0.07f, 0.3f, 22u);
    k_text(k, "# Coal from its seams, or charcoal burnt from a log with a torch.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "SIZE 0.20");
    k_text(k, "WEIGHT 1");
    k_text(k, "VALUE 1");
    k_text(k, "INVENTORYSTACKABLE 50");
    k_text(k, "INVENTORYSCALE 64");
    k_text(k, "TERRAINCOLLECT 22 0");
    k_mesh(k, 0, 0, 0, 0);
    k_inhand(k, 0.0f, 0.0f, 0.0f, 0.5f, 0.3f, -0.3f);
    const recipe_part parts[] = {{C, "LOG"}, {D, "TORCH"}};
    k_recipe(k, parts, 2);
}

// The material items: drawn as their icon, tinted by the terrain material they carry.
static void kind_debris(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "DEBRIS");
    ag_use_paint(m, AG_PAINT_GREY);
    ag_rock(m, 0, 0, 0, 0.3f, 0.26f, 0.22f, 0.3f, 31u);
    k_text(k, "# Loose material: dug earth, sand, stone, clay, bark, leaves... sprayed back on a build plane.");
    k_text(k, "BEHAVELIKEDEBRIS");
    k_text(k, "ICONINGAME");
    k_text(k, "ICONHASMATERIALOVERLAY");
    k_text(k, "SIZE 1.00");
    k_text(k, "INVENTORYSTACKABLE 65535");
    // Chips fly as quads as wide as twice their size: the rock fills the middle of the icon.
    k_text(k, "INVENTORYSCALE 1600");
    const int collect[] = {1, 2, 3, 7, 12, 20, 23, 29, 30, 31, 32, 36, 38};
    for (int material : collect) k_text(k, "TERRAINCOLLECT %d%s", material, material == 12 ? " 13" : "");
    k_mesh(k, 0, 0, 0, 0);
    k->icon_fill = 0.38f;
}

static void kind_block(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "BLOCK");
    ag_use_paint(m, AG_PAINT_GREY);
    ag_box(m, 0, 0, 0, 0.3f, 0.3f, 0.3f);
    k_text(k, "# Cut stone for snapped blocks and walls.");
    k_text(k, "BEHAVELIKEDEBRIS");
    k_text(k, "ICONINGAME");
    k_text(k, "ICONHASMATERIALOVERLAY");
    k_text(k, "SIZE 1.00");
    k_text(k, "INVENTORYSTACKABLE 65535");
    k_text(k, "INVENTORYSCALE 400");
    k_text(k, "TERRAINCOLLECT 5");
    k_text(k, "TERRAINCOLLECT 6");
    k_text(k, "TERRAINCOLLECT 37");
    k_mesh(k, 0, 0, 0, 0);
    k->icon_fill = 0.72f;
}

static void kind_particle(assetgen_kind *k, int style) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "PUFF");
    ag_use_paint(m, style == ASSETGEN_ICON_FLAME ? AG_PAINT_FLAME_CARD : AG_PAINT_PUFF);
    if (style == ASSETGEN_ICON_FLAME) {
        float corner[3] = {-0.2f, 0.0f, 0.3f}, u[3] = {0.4f, 0, 0}, v[3] = {0, 0, -0.5f};
        ag_card(m, corner, u, v);
    } else {
        ag_ellipsoid(m, 0, 0, 0, 0.25f, 0.25f, 0.25f, 4, 6);
    }
    k->icon_style = style;
    k_text(k, "# A particle: drawn as its icon, fading as its countdown runs out.");
    k_text(k, "BEHAVELIKEDUST");
    k_text(k, "ICONINGAME");
    k_text(k, "SIZE 0.50");
    k_text(k, "WEIGHT 0.1");
    k_mesh(k, 0, 0, 0, style == ASSETGEN_ICON_FLAME);
}

// ---------------------------------------------------------------------------------------------
// Tools and weapons

static void handle(ag_model *m, float from, float to, float radius, int paint) {
    ag_use_paint(m, paint);
    seg(m, 0, from, 0, 0, to, 0, radius, radius * 0.9f, 6);
}

static void kind_pick(assetgen_kind *k, uint8_t heavy) {
    ag_model *m = k->model;
    float s = heavy ? 1.3f : 1.0f;
    ag_mesh_begin(m, "HANDLE");
    tool_place(m, heavy ? -0.3f : -0.24f);
    handle(m, -0.25f * s, 0.56f * s, 0.03f * s, AG_PAINT_WOOD);
    ag_use_paint(m, AG_PAINT_LEATHER);
    seg(m, 0, -0.24f * s, 0, 0, -0.06f * s, 0, 0.036f * s, 0.036f * s, 6);  // the grip wrap
    ag_mesh_begin(m, "HEAD");
    ag_use_paint(m, AG_PAINT_METAL);
    const float head[10][2] = {{-0.32f, 0.41f}, {-0.16f, 0.46f}, {-0.05f, 0.49f}, {0.05f, 0.49f}, {0.16f, 0.46f},
                               {0.32f, 0.41f},  {0.16f, 0.52f},  {0.05f, 0.56f}, {-0.05f, 0.56f}, {-0.16f, 0.52f}};
    float scaled[10][2];
    for (int i = 0; i < 10; i++) {
        scaled[i][0] = head[i][0] * s * (heavy ? 1.1f : 1.0f);
        scaled[i][1] = head[i][1] * s;
    }
    slab(m, scaled, 10, 0, 0.525f * s, 0.035f * s);
    ag_box(m, 0, 0.52f * s, 0, 0.05f * s, 0.05f * s, 0.045f * s);
    k_text(k, heavy ? "# Digs a wide hole; iron and better bite into stone." : "# Digs a fist-sized hole; iron and better bite into stone.");
    if (heavy)
        tool_common(k, 2.4f, 6.0f, 0.35f, 4.0f, 12.0f, 30);
    else
        tool_common(k, 1.8f, 4.0f, 0.3f, 2.0f, 6.0f);
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    k_swing(k, SWING_CHOP, heavy ? 44 : 34, hold_chop, heavy ? 0.12f : 0.13f);
    k->metal = heavy ? 3 : 1;
    if (heavy) {
        const recipe_part parts[] = {{C, "BAR"}, {L, "BAR"}, {R, "BAR"}, {UL, "BAR"}, {UR, "BAR"}, {D, "LOG"}};
        k_recipe(k, parts, 6);
    } else {
        const recipe_part parts[] = {{C, "BAR"}, {L, "BAR"}, {R, "BAR"}, {D, "BOARD"}};
        k_recipe(k, parts, 4);
    }
}

static void kind_axe(assetgen_kind *k, uint8_t heavy) {
    ag_model *m = k->model;
    float s = heavy ? 1.25f : 1.0f;
    ag_mesh_begin(m, "HANDLE");
    tool_place(m, heavy ? -0.3f : -0.24f);
    handle(m, -0.25f * s, 0.56f * s, 0.03f * s, AG_PAINT_DARK_WOOD);
    ag_mesh_begin(m, "BLADE");
    ag_use_paint(m, AG_PAINT_METAL);
    const float blade[9][2] = {{0.02f, 0.36f}, {0.16f, 0.31f}, {0.27f, 0.27f}, {0.29f, 0.42f}, {0.27f, 0.57f},
                               {0.16f, 0.53f}, {0.02f, 0.5f},  {-0.06f, 0.47f}, {-0.06f, 0.39f}};
    float scaled[9][2];
    for (int side = 0; side < (heavy ? 2 : 1); side++) {
        for (int i = 0; i < 9; i++) {
            int j = side ? 8 - i : i;  // mirrored across the handle, keeping the winding
            scaled[i][0] = blade[j][0] * s * (side ? -1.0f : 1.0f);
            scaled[i][1] = blade[j][1] * s;
        }
        slab(m, scaled, 9, (side ? -0.1f : 0.1f) * s, 0.43f * s, 0.03f * s);
    }
    k_text(k, heavy ? "# A double-bitted felling axe: two blows for a zombi." : "# Fells a tree in three blows, a zombi in three.");
    if (heavy)
        tool_common(k, 0.0f, 20.0f, 0.35f, 4.0f, 14.0f, 30);
    else
        tool_common(k, 0.0f, 12.0f, 0.3f, 2.0f, 6.0f);
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    k_swing(k, SWING_CHOP, heavy ? 44 : 34, hold_chop, heavy ? 0.12f : 0.14f);
    k->metal = heavy ? 3 : 2;
    if (heavy) {
        const recipe_part parts[] = {{C, "BAR"}, {U, "BAR"}, {L, "BAR"}, {R, "BAR"}, {D, "LOG"}};
        k_recipe(k, parts, 5);
    } else {
        const recipe_part parts[] = {{C, "BAR"}, {U, "BAR"}, {D, "BOARD"}};
        k_recipe(k, parts, 3);
    }
}

static void kind_hammer(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "HANDLE");
    tool_place(m, -0.24f);
    handle(m, -0.22f, 0.5f, 0.028f, AG_PAINT_WOOD);
    ag_mesh_begin(m, "HEAD");
    ag_use_paint(m, AG_PAINT_METAL);
    ag_box(m, 0, 0.5f, 0, 0.16f, 0.07f, 0.06f);
    seg(m, 0.16f, 0.5f, 0, 0.22f, 0.5f, 0, 0.06f, 0.055f, 8);
    k_text(k, "# Knocks out a small hole and hits hard.");
    tool_common(k, 1.5f, 8.0f, 0.3f, 3.0f, 7.0f);
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    k_swing(k, SWING_CHOP, 34, hold_chop, 0.14f);
    k->metal = 3;
    const recipe_part parts[] = {{C, "BAR"}, {C2, "BAR"}, {D, "BOARD"}};
    k_recipe(k, parts, 3);
}

static void kind_knife(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "HANDLE");
    tool_place(m, -0.17f);
    handle(m, -0.12f, 0.08f, 0.024f, AG_PAINT_LEATHER);
    ag_mesh_begin(m, "BLADE");
    ag_use_paint(m, AG_PAINT_METAL);
    ag_box(m, 0, 0.09f, 0, 0.06f, 0.012f, 0.022f);
    const float blade[5][2] = {{-0.03f, 0.1f}, {0.03f, 0.1f}, {0.032f, 0.34f}, {0.0f, 0.43f}, {-0.026f, 0.33f}};
    slab(m, blade, 5, 0, 0.25f, 0.01f);
    k_text(k, "# Quick but light: a zombi takes fifteen stabs.");
    tool_common(k, 0.0f, 2.0f, 0.2f, 0.5f, 3.0f, 50);
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    const float hold[6] = {0.25f, -0.33f, -0.1f, 0.42f, 0.3f, -0.3f};
    k_swing(k, SWING_THRUST, 24, hold, 0.3f);
    k->metal = 3;
    const recipe_part parts[] = {{C, "BAR"}, {DR, "BOARD"}};
    k_recipe(k, parts, 2);
}

static void kind_spear(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "SHAFT");
    tool_place(m, -0.2f);
    handle(m, -0.55f, 0.66f, 0.025f, AG_PAINT_WOOD);
    ag_mesh_begin(m, "POINT");
    ag_use_paint(m, AG_PAINT_METAL);
    seg(m, 0, 0.6f, 0, 0, 0.7f, 0, 0.034f, 0.03f, 6);
    const float point[4][2] = {{0.0f, 0.68f}, {0.06f, 0.79f}, {0.0f, 0.99f}, {-0.06f, 0.79f}};
    slab(m, point, 4, 0, 0.8f, 0.014f);
    k_text(k, "# Long reach and a deep thrust: three for a zombi.");
    tool_common(k, 0.0f, 12.0f, 0.3f, 2.0f, 6.0f, 20);
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    const float hold[6] = {0.25f, -0.33f, -0.1f, 0.3f, 0.3f, -0.28f};
    k_swing(k, SWING_THRUST, 34, hold, 0.45f);
    k->metal = 3;
    const recipe_part parts[] = {{C, "BAR"}, {DL, "LOG"}};
    k_recipe(k, parts, 2);
}

static void kind_saw(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "HANDLE");
    tool_place(m, -0.17f);
    ag_use_paint(m, AG_PAINT_DARK_WOOD);
    ag_box(m, -0.01f, -0.1f, 0, 0.07f, 0.1f, 0.025f);
    ag_mesh_begin(m, "BLADE");
    ag_use_paint(m, AG_PAINT_METAL);
    const float blade[4][2] = {{-0.06f, 0.0f}, {0.06f, 0.0f}, {0.05f, 0.62f}, {-0.03f, 0.62f}};
    slab(m, blade, 4, 0, 0.3f, 0.008f);
    for (int i = 0; i < 12; i++) {
        float y = 0.02f + (float)i * 0.05f;
        const float tooth[3][2] = {{0.058f - 0.015f * (float)i / 12.0f, y}, {0.09f - 0.015f * (float)i / 12.0f, y + 0.01f},
                                   {0.058f - 0.015f * (float)i / 12.0f, y + 0.045f}};
        slab(m, tooth, 3, tooth[0][0] + 0.01f, y + 0.02f, 0.007f);
    }
    k_text(k, "# Cuts trees as well as an axe does; a clumsy weapon.");
    tool_common(k, 0.0f, 11.0f, 0.3f, 1.5f, 6.0f);
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    const float hold[6] = {0.25f, -0.34f, -0.115f, 0.38f, 0.3f, -0.34f};
    k_swing(k, SWING_SAW, 34, hold, 0.22f);
    k->metal = 3;
    const recipe_part parts[] = {{C, "BAR"}, {L, "BAR"}, {R, "BOARD"}};
    k_recipe(k, parts, 3);
}

static void kind_shield(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "BOARDS");
    ag_use_paint(m, AG_PAINT_WOOD);
    seg(m, 0, 0, -0.27f, 0, 0, -0.23f, 0.34f, 0.34f, 12);
    ag_use_paint(m, AG_PAINT_LEATHER);
    ag_box(m, 0, 0, -0.285f, 0.2f, 0.04f, 0.012f);  // the arm strap
    ag_use_paint(m, AG_PAINT_RED_CLOTH);
    ag_box(m, 0, 0, -0.228f, 0.33f, 0.05f, 0.004f);  // a painted band
    ag_mesh_begin(m, "RIM");
    ag_use_paint(m, AG_PAINT_METAL);
    seg(m, 0, 0, -0.275f, 0, 0, -0.235f, 0.365f, 0.36f, 12);
    ag_ellipsoid(m, 0, 0, -0.23f, 0.09f, 0.09f, 0.06f, 4, 8);
    k_text(k, "# Boards bound in metal; a light bash.");
    tool_common(k, 0.0f, 1.0f, 0.3f, 3.0f, 6.0f);
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    // Low at the left edge, turned a little edge-on, framing the view rather than hiding it.
    const float hold[6] = {0.2f, 0.0f, 0.15f, 0.6f, -0.6f, -0.4f};
    k_swing(k, SWING_BASH, 20, hold, 0.16f);
    k->metal = 3;
    const recipe_part parts[] = {{C, "BAR"}, {U, "BOARD"}, {D, "BOARD"}, {L, "BOARD"}, {R, "BOARD"}};
    k_recipe(k, parts, 5);
}

// ---------------------------------------------------------------------------------------------
// Things to throw and keep

static void kind_torch(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "STICK");
    ag_use_paint(m, AG_PAINT_DARK_WOOD);
    seg(m, 0, 0, -0.3f, 0, 0, 0.22f, 0.03f, 0.04f, 6);
    ag_use_paint(m, AG_PAINT_FUSE);
    seg(m, 0, 0, 0.17f, 0, 0, 0.31f, 0.06f, 0.055f, 7);
    ag_mesh_begin(m, "FLAME");
    ag_use_paint(m, AG_PAINT_FLAME_CARD);
    for (int i = 0; i < 2; i++) {
        float a = (float)i * PI * 0.5f + 0.4f;
        float corner[3] = {-cosf(a) * 0.14f, -sinf(a) * 0.14f, 0.64f};
        float u[3] = {cosf(a) * 0.28f, sinf(a) * 0.28f, 0.0f}, v[3] = {0, 0, -0.38f};
        ag_card(m, corner, u, v);
    }
    k_text(k, "# Thrown at the terrain it sticks and burns as a glowing block.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "SIZE 0.20");
    k_text(k, "WEIGHT 1");
    k_text(k, "VALUE 1");
    k_text(k, "INVENTORYSTACKABLE 50");
    k_text(k, "INVENTORYSCALE 36");
    k_text(k, "TERRAINMODEL 28");
    k_text(k, "TERRAINCOLLECT 28");
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 0, 1);
    k_inhand(k, 0.03f, 0.0f, 0.0f, 0.6f, 0.4f, -0.4f);
    const recipe_part parts[] = {{C, "BOARD"}, {U, "COAL"}};
    k_recipe(k, parts, 2);
}

static void kind_bomb(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "BODY");
    ag_use_paint(m, AG_PAINT_BOMB);
    ag_ellipsoid(m, 0, 0, 0, 0.22f, 0.22f, 0.22f, 8, 12);
    ag_mesh_begin(m, "CAP");
    ag_use_paint(m, AG_PAINT_METAL);
    seg(m, 0, 0, 0.17f, 0, 0, 0.27f, 0.07f, 0.065f, 8);
    ag_mesh_begin(m, "FUSE");
    ag_use_paint(m, AG_PAINT_FUSE);
    seg(m, 0, 0, 0.26f, 0.03f, 0.01f, 0.34f, 0.016f, 0.015f, 5);
    seg(m, 0.03f, 0.01f, 0.34f, 0.09f, 0.02f, 0.38f, 0.015f, 0.013f, 5);
    k_text(k, "# Blinks faster as its fuse burns down, then blows a hole of radius 5.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "BEHAVELIKEBOMB");
    k_text(k, "SHOWMATERIAL");
    k_text(k, "SIZE 0.25");
    k_text(k, "WEIGHT 3");
    k_text(k, "VALUE 5");
    k_text(k, "INVENTORYSTACKABLE 20");
    k_text(k, "INVENTORYSCALE 49");
    // Slot 0 is the body: the blink switches it to TEXTURE1.
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    k_mesh(k, 2, 0, 0, 0);
    k_inhand(k, 0.0f, 0.0f, 0.0f, 0.6f, 0.4f, -0.4f);
    k->num_textures = 2;
    k->metal = 3;
    const recipe_part parts[] = {{C, "BAR"}, {U, "COAL"}, {D, "COAL"}};
    k_recipe(k, parts, 3);
}

static void goblin_head(ag_model *m, float x, float y, float z, float r) {
    ag_use_paint(m, AG_PAINT_GOBLIN_SKIN);
    ag_ellipsoid(m, x, y, z, r, r * 0.95f, r * 0.9f, 5, 8);
    for (int side = 0; side < 2; side++) {
        float sx = side ? -1.0f : 1.0f;
        ag_place_reset(m);
        ag_place(m, x + sx * r * 0.8f, y, z + r * 0.2f, 0, 0, 0);
        // Long pointed ears, wound so their flat faces stay outward on both sides.
        const float ear_l[3][2] = {{0.0f, -0.06f * r / 0.1f}, {0.11f * r / 0.1f, 0.03f}, {0.0f, 0.05f * r / 0.1f}};
        const float ear_r[3][2] = {{0.0f, -0.06f * r / 0.1f}, {0.0f, 0.05f * r / 0.1f}, {-0.11f * r / 0.1f, 0.03f}};
        ag_place(m, 0, 0, 0, 0.3f, 0, 0);
        ag_slab(m, side ? ear_r : ear_l, 3, side ? -0.05f * r / 0.1f : 0.05f * r / 0.1f, 0.0f, 0.012f);
        ag_place_reset(m);
    }
    ag_use_paint(m, AG_PAINT_GLOW_EYE);
    ag_box(m, x + r * 0.38f, y - r * 0.88f, z + r * 0.15f, r * 0.16f, r * 0.1f, r * 0.14f);
    ag_box(m, x - r * 0.38f, y - r * 0.88f, z + r * 0.15f, r * 0.16f, r * 0.1f, r * 0.14f);
    ag_use_paint(m, AG_PAINT_GOBLIN_SKIN);
    ag_ellipsoid(m, x, y - r * 0.95f, z - r * 0.1f, r * 0.2f, r * 0.3f, r * 0.18f, 3, 6);  // the nose
}

static void kind_goblin(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "GOBLIN");
    ag_use_paint(m, AG_PAINT_DARK_WOOD);
    seg(m, 0, 0, -0.25f, 0, 0, -0.21f, 0.15f, 0.14f, 10);
    ag_use_paint(m, AG_PAINT_GOBLIN_SKIN);
    seg(m, 0.05f, 0, -0.21f, 0.05f, 0, -0.1f, 0.03f, 0.035f, 5);
    seg(m, -0.05f, 0, -0.21f, -0.05f, 0, -0.1f, 0.03f, 0.035f, 5);
    ag_ellipsoid(m, 0, 0, -0.03f, 0.1f, 0.08f, 0.1f, 5, 8);
    seg(m, 0.09f, 0, 0.02f, 0.14f, -0.05f, -0.08f, 0.025f, 0.02f, 5);
    seg(m, -0.09f, 0, 0.02f, -0.14f, -0.05f, -0.08f, 0.025f, 0.02f, 5);
    ag_use_paint(m, AG_PAINT_RAGS);
    ag_box(m, 0, 0, -0.1f, 0.1f, 0.085f, 0.035f);
    goblin_head(m, 0, -0.01f, 0.13f, 0.1f);
    k_text(k, "# A clay goblin on a wooden stand: a lucky charm, and the start of worse things.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "FLATONGROUND");
    k_text(k, "SIZE 0.25");
    k_text(k, "WEIGHT 1");
    k_text(k, "VALUE 3");
    k_text(k, "INVENTORYSTACKABLE 10");
    k_text(k, "INVENTORYSCALE 49");
    k_mesh(k, 0, 0, 0, 0);
    k_inhand(k, 0.0f, 0.0f, 0.0f, 0.5f, 0.3f, -0.3f);
    const recipe_part parts[] = {{C, "LOG"}, {U, "DEBRIS:23"}};
    k_recipe(k, parts, 2);
}

static void kind_goblin_chain(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "CHAIN");
    ag_use_paint(m, AG_PAINT_METAL);
    // Links round a U, alternately lying and standing.
    for (int i = 0; i < 9; i++) {
        float a = PI * (float)i / 8.0f;
        float x = cosf(a) * 0.26f, y = -sinf(a) * 0.26f + 0.08f;
        ag_place_reset(m);
        ag_place(m, x, y, -0.16f, i % 2 ? PI * 0.5f : 0.0f, 0, a + PI * 0.5f);
        seg(m, -0.05f, -0.028f, 0, 0.05f, -0.028f, 0, 0.016f, 0.016f, 5);
        seg(m, -0.05f, 0.028f, 0, 0.05f, 0.028f, 0, 0.016f, 0.016f, 5);
        seg(m, -0.05f, -0.028f, 0, -0.05f, 0.028f, 0, 0.016f, 0.016f, 5);
        seg(m, 0.05f, -0.028f, 0, 0.05f, 0.028f, 0, 0.016f, 0.016f, 5);
    }
    ag_place_reset(m);
    ag_mesh_begin(m, "PENDANT");
    goblin_head(m, 0.0f, -0.24f, -0.1f, 0.075f);
    k_text(k, "# A chain of its metal with a goblin's head hanging from it.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "ROLLINGSPHERE");
    k_text(k, "FLATONGROUND");
    k_text(k, "SHOWMATERIAL");
    k_text(k, "SIZE 0.25");
    k_text(k, "WEIGHT 1");
    k_text(k, "VALUE 6");
    k_text(k, "INVENTORYSTACKABLE 10");
    k_text(k, "INVENTORYSCALE 49");
    k_mesh(k, 0, 0, 10, 0);
    k_mesh(k, 1, 0, 0, 0);
    k_inhand(k, 0.2f, 0.0f, 0.0f, 0.5f, 0.3f, -0.3f);
    k->metal = 4;
    const recipe_part parts[] = {{C, "BAR"}, {D, "GOBLIN"}};
    k_recipe(k, parts, 2);
}

static void kind_catapult(assetgen_kind *k) {
    ag_model *m = k->model;
    ag_mesh_begin(m, "FRAME");
    ag_use_paint(m, AG_PAINT_WOOD);
    ag_box(m, 0.24f, 0, -0.42f, 0.045f, 0.48f, 0.045f);
    ag_box(m, -0.24f, 0, -0.42f, 0.045f, 0.48f, 0.045f);
    ag_box(m, 0, 0.38f, -0.42f, 0.2f, 0.04f, 0.035f);
    ag_box(m, 0, -0.38f, -0.42f, 0.2f, 0.04f, 0.035f);
    // Uprights and the stop bar the arm strikes.
    ag_box(m, 0.2f, -0.15f, -0.16f, 0.035f, 0.035f, 0.24f);
    ag_box(m, -0.2f, -0.15f, -0.16f, 0.035f, 0.035f, 0.24f);
    ag_box(m, 0, -0.15f, 0.1f, 0.25f, 0.04f, 0.04f);
    ag_use_paint(m, AG_PAINT_DARK_WOOD);
    for (int i = 0; i < 4; i++) {
        float x = i % 2 ? 0.31f : -0.31f, y = i / 2 ? 0.33f : -0.33f;
        seg(m, x - 0.03f, y, -0.47f, x + 0.03f, y, -0.47f, 0.13f, 0.13f, 10);
    }
    // The arm, lying back with its bucket and a stone in it.
    ag_place_reset(m);
    ag_place(m, 0, -0.2f, -0.36f, -0.35f, 0, 0);
    ag_box(m, 0, 0.3f, 0, 0.035f, 0.32f, 0.03f);
    ag_box(m, 0, 0.6f, 0.05f, 0.09f, 0.08f, 0.03f);
    ag_use_paint(m, AG_PAINT_STONE);
    ag_rock(m, 0, 0.6f, 0.13f, 0.07f, 0.07f, 0.06f, 0.2f, 41u);
    ag_place_reset(m);
    ag_use_paint(m, AG_PAINT_ROPE);
    seg(m, 0, -0.38f, -0.4f, 0, -0.18f, -0.34f, 0.018f, 0.018f, 5);
    ag_mesh_begin(m, "FITTINGS");
    ag_use_paint(m, AG_PAINT_METAL);
    seg(m, -0.36f, 0.33f, -0.47f, 0.36f, 0.33f, -0.47f, 0.02f, 0.02f, 6);
    seg(m, -0.36f, -0.33f, -0.47f, 0.36f, -0.33f, -0.47f, 0.02f, 0.02f, 6);
    seg(m, -0.24f, -0.2f, -0.36f, 0.24f, -0.2f, -0.36f, 0.025f, 0.025f, 6);
    k_text(k, "# A toy siege engine on four wheels.");
    k_text(k, "FULLCOLLIDE");
    k_text(k, "STATICSPHERE");
    k_text(k, "SIZE 0.60");
    k_text(k, "WEIGHT 30");
    k_text(k, "VALUE 20");
    k_text(k, "INVENTORYSCALE 25");
    k_mesh(k, 0, 0, 0, 0);
    k_mesh(k, 1, 0, 10, 0);
    k->metal = 3;
    k->icon_fill = 0.9f;
    const recipe_part parts[] = {{C, "LOG"}, {L, "BOARD"}, {R, "BOARD"}, {U, "BAR"}};
    k_recipe(k, parts, 4);
}

// ---------------------------------------------------------------------------------------------
// The table of kinds

struct kind_entry {
    const char *name;
    void (*build)(assetgen_kind *k);
};

static void kind_dust(assetgen_kind *k) { kind_particle(k, ASSETGEN_ICON_DUST); }
static void kind_smoke(assetgen_kind *k) { kind_particle(k, ASSETGEN_ICON_SMOKE); }
static void kind_flame(assetgen_kind *k) { kind_particle(k, ASSETGEN_ICON_FLAME); }
static void kind_pick_light(assetgen_kind *k) { kind_pick(k, 0); }
static void kind_pick_heavy(assetgen_kind *k) { kind_pick(k, 1); }
static void kind_axe_light(assetgen_kind *k) { kind_axe(k, 0); }
static void kind_axe_heavy(assetgen_kind *k) { kind_axe(k, 1); }

static const kind_entry kinds[] = {
    {"PLAYER", kind_player},   {"DEBRIS", kind_debris},
    {"BLOCK", kind_block},     {"DUST", kind_dust},
    {"SMOKE", kind_smoke},     {"FLAME", kind_flame},
    {"ZOMBI", kind_zombi},     {"LOG", kind_log},
    {"PICK", kind_pick_light}, {"AXE", kind_axe_light},
    {"HAMMER", kind_hammer},   {"HEAVY-PICK", kind_pick_heavy},
    {"SHIELD", kind_shield},   {"KNIFE", kind_knife},
    {"SPEAR", kind_spear},     {"HEAVY-AXE", kind_axe_heavy},
    {"SAW", kind_saw},         {"BOMB", kind_bomb},
    {"BAR", kind_bar},         {"TORCH", kind_torch},
    {"BOARD", kind_board},     {"GOBLIN", kind_goblin},
    {"GOBLIN-CHAIN", kind_goblin_chain}, {"CATAPULT", kind_catapult},
    {"TREE", kind_tree},       {"SAPLING", kind_sapling},
    {"ORE", kind_ore},         {"COAL", kind_coal},
};

int assetgen_kind_count(void) { return (int)(sizeof(kinds) / sizeof(kinds[0])); }

uint8_t assetgen_kind_build(int index, assetgen_kind *kind) {
    memset(kind, 0, sizeof(*kind));
    if (index < 0 || index >= assetgen_kind_count()) return 0;
    snprintf(kind->name, sizeof(kind->name), "%s", kinds[index].name);
    kind->model = ag_model_create();
    kind->num_textures = 1;
    kind->metal = 3;
    kind->icon_fill = 0.8f;
    kind->seed = 7000u + (uint32_t)index * 97u;
    k_text(kind, "# %s", kind->name);
    kinds[index].build(kind);
    return 1;
}

void assetgen_kind_free(assetgen_kind *kind) {
    ag_model_free(kind->model);
    kind->model = nullptr;
}

assetgen_image assetgen_kind_texture(const assetgen_kind *kind, int number) {
    return assetgen_paint_texture(kind->model, kind->seed, number == 1);
}
