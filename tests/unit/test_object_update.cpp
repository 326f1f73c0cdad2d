// test_object_update.cpp — the world step of the objects: the player landing, walking, jumping and
// floating; debris, bombs, zombis and trees; piles across chunk borders; collisions; the mends
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "display/display.h"
#include "display/input.h"
#include "game/kestrova.h"
#include "object_test_util.h"
#include "objects/object_draw.h"
#include "objects/object_update.h"
#include "terrain/multri.h"
#include "world/worldmap.h"

namespace {

// A one-joint model: WALK1 on frames 1..100, ATTACK1 on frames 101..140 (the blow frame 135 lies
// in ATTACK1).
std::string walker_iqe() {
    std::string s = "# Inter-Quake Export\njoint \"root\" -1\npq 0 0 0 0 0 0 1\nmesh \"BODY\"\n"
                    "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 0 1\nvp 1 0 0\nvt 1 0\nvn 0 0 1\nvb 0 1\n"
                    "vp 0 1 0\nvt 0 1\nvn 0 0 1\nvb 0 1\nfm 0 1 2\n";
    const char *names[2] = {"WALK1", "ATTACK1"};
    const int counts[2] = {100, 40};
    for (int a = 0; a < 2; a++) {
        s += std::string("animation \"") + names[a] + "\"\nframerate 10\n";
        for (int f = 0; f < counts[a]; f++) s += "frame\npq 0 0 0 0 0 0 1\n";
    }
    return s;
}

// A tree model: FALL on frames 1..4.
std::string tree_iqe() {
    std::string s = "# Inter-Quake Export\njoint \"root\" -1\npq 0 0 0 0 0 0 1\nmesh \"TREE\"\n"
                    "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 0 1\nvp 1 0 0\nvt 1 0\nvn 0 0 1\nvb 0 1\n"
                    "vp 0 1 0\nvt 0 1\nvn 0 0 1\nvb 0 1\nfm 0 1 2\nmesh \"STUMP\"\n"
                    "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 0 1\nvp 1 0 0\nvt 1 0\nvn 0 0 1\nvb 0 1\n"
                    "vp 0 1 0\nvt 0 1\nvn 0 0 1\nvb 0 1\nfm 0 1 2\nanimation \"FALL\"\nframerate 10\n";
    for (int f = 0; f < 4; f++) s += "frame\npq 0 0 0 0 0 0 1\n";
    return s;
}

// Ground of stone runs (top at z = 10) on the 3 x 3 chunks around chunk (25, 25).
void make_ground(void) {
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++) make_ground_chunk(cx, cy);
}

class ObjectStep : public ::testing::Test {
  protected:
    void SetUp() override {
        write_kind("PLAYER", "FULLCOLLIDE\nSTATICSPHERE\nSIZE 0.9\nWEIGHT 10\nHITS 5\n");
        write_kind("ZOMBI", "FULLCOLLIDE\nSTATICSPHERE\nBEHAVELIKEZOMBI\nSIZE 0.9\nWEIGHT 12\nHITS 30\n"
                            "MESH BODY TEXTURE0 SHADE SOLID\n");
        write_text_file("OBJECT/ZOMBI/MODEL.IQE", walker_iqe());
        write_kind("DEBRIS", "BEHAVELIKEDEBRIS\nICONINGAME\nSIZE 1\n");
        write_kind("DUST", "BEHAVELIKEDUST\nICONINGAME\nSIZE 1\n");
        write_kind("SMOKE", "BEHAVELIKEDUST\nICONINGAME\nSIZE 1\n");
        write_kind("FLAME", "BEHAVELIKEDUST\nICONINGAME\nSIZE 1\n");
        write_kind("BOMB", "FULLCOLLIDE\nROLLINGSPHERE\nBEHAVELIKEBOMB\nSIZE 0.25\nWEIGHT 3\n");
        write_kind("ROCK", "FULLCOLLIDE\nROLLINGSPHERE\nSIZE 0.3\nWEIGHT 2\n");
        write_kind("TREE", "FULLCOLLIDE\nSTATICSPHERE\nBEHAVELIKETREE\nSIZE 1\nWEIGHT 9999\nHITS 3\n"
                           "MESH TREE TEXTURE0 SHADE PAPERDOLL\nMESH STUMP TEXTURE0 SHADE SOLID\n");
        write_text_file("OBJECT/TREE/MODEL.IQE", tree_iqe());
        load_kinds({"PLAYER", "ZOMBI", "DEBRIS", "DUST", "SMOKE", "FLAME", "BOMB", "ROCK", "TREE"});
        reset();
        camera_fore_vector = {1.0f, 0.0f, 0.0f};
        camera_side_vector = {0.0f, -1.0f, 0.0f};
        camera_up_vector = {0.0f, 0.0f, 1.0f};
        // Without a player the step runs around the middle of the test ground.
        target_vector = {1620.5f, 1620.5f, 11.0f};
        // Dry land: the ground (z = 10) stands above the sea.
        global_ocean_level = 2.0f;
        // Night: zombis are about.
        global_day_night_cycle = 0.75f;
    }
    // The world fixture resets the objects, the sun and the sea; these are the shell's part.
    void TearDown() override { reset(); }
    static void reset() {
        input_reset();
        display_camera_reset();
        settings_reset();
    }
    object *spawn(const char *kind, float x, float y, float z, uint16_t delay = 0) {
        return object_spawn(template_get_by_name(kind), nullptr, delay, x, y, z);
    }
    object *spawn_player(float x, float y, float z) {
        local_player = spawn("PLAYER", x, y, z);
        return local_player;
    }
    // One world step as the main loop runs it: the command and the controls, then every object
    // near the player, then the shake it asked for.
    void step(int n = 1) {
        for (int i = 0; i < n; i++) {
            if (local_player) {
                target_vector = local_player->position;
                target_vector.z += 0.5f * local_player->size;
            }
            main_loop_player_step(1);
            object_update_all(target_vector.x, target_vector.y, 9);
            main_loop_take_shake();
            if (local_player_hit_timer > 0) local_player_hit_timer--;
        }
    }
    void select_looked_at(void) {
        main_loop_fill_player_command(&global_player_command);
        object_determine_inworld_selected_object();
    }

    ObjectWorld world_;
};

TEST_F(ObjectStep, PlayerDroppedOnFlatGroundLandsAndStaysAndJumpsOnlyFromTheGround) {
    make_ground();
    object *p = spawn_player(1620.5f, 1620.5f, 30.0f);
    ASSERT_NE(p, nullptr);
    // Falling: Space does nothing before the first contact.
    step(5);
    key_pressed[KEY_SPACE] = 1;
    step(1);
    EXPECT_LT(p->velocity.z, 0.0f);
    key_pressed[KEY_SPACE] = 0;
    step(400);
    float z = p->position.z;
    EXPECT_GT(z, 10.0f);
    EXPECT_LT(z, 11.5f);
    step(100);
    EXPECT_NEAR(p->position.z, z, 0.01f);
    EXPECT_NEAR(p->position.x, 1620.5f, 0.01f);
    EXPECT_EQ(p->jumps_remaining, 1);

    key_pressed[KEY_SPACE] = 1;
    step(1);
    EXPECT_EQ(key_pressed[KEY_SPACE], 0) << "the jump consumes the press";
    EXPECT_GT(p->velocity.z, 0.1f);
    step(3);
    EXPECT_GT(p->position.z, z + 0.3f);
    // In the air a second press does not jump again.
    float vz = p->velocity.z;
    key_pressed[KEY_SPACE] = 1;
    step(1);
    EXPECT_LT(p->velocity.z, vz);
    EXPECT_EQ(key_pressed[KEY_SPACE], 1);
    key_pressed[KEY_SPACE] = 0;
    step(200);
    EXPECT_NEAR(p->position.z, z, 0.05f);
}

TEST_F(ObjectStep, PlayerWalksUpAGentleSlopeAndIsStoppedByAWall) {
    // Ground rising a quarter block per column eastwards from x = 1600, a wall at x = 1640.
    for (int cx = 24; cx <= 26; cx++) {
        for (int cy = 24; cy <= 26; cy++) {
            make_resident_chunk(cx, cy, [cx](int lx, int) {
                int x = cx * 64 + lx;
                if (x >= 1640) return make_pillar({run_word(3, 40)});
                float h = 10.0f + (x > 1600 ? (float)(x - 1600) * 0.25f : 0.0f);
                int top = (int)h;
                voxel *bottom = make_pillar({run_word(3, (uint16_t)top), single_word(3)});
                voxel *single = bottom->next;
                float n = 1.0f / sqrtf(1.0f + 0.0625f);
                single->nx = -0.25f * n;
                single->ny = 0.0f;
                single->nz = n;
                voxel_set_marker(single, 0.5f, 0.5f, h + 0.125f - (float)top);
                return bottom;
            });
        }
    }
    object *p = spawn_player(1590.5f, 1620.5f, 14.0f);
    step(200);
    float z0 = p->position.z;
    EXPECT_LT(z0, 12.5f);
    key_down[KEY_W] = 1;
    step(150);  // 0.1 per step: to x = 1605 and up the slope
    key_down[KEY_W] = 0;
    step(50);
    EXPECT_GT(p->position.x, 1603.0f);
    EXPECT_GT(p->position.z, z0 + 0.5f) << "walking up the slope lifts the player";
    EXPECT_GT(local_walk_count, 100u);
    key_down[KEY_W] = 1;
    key_down[KEY_LEFT_SHIFT] = 1;
    step(400);
    key_down[KEY_W] = key_down[KEY_LEFT_SHIFT] = 0;
    step(20);
    EXPECT_LT(p->position.x, 1640.0f) << "the wall stops the player";
    EXPECT_GT(p->position.x, 1636.0f);
    EXPECT_EQ(chunk_map[25][25]->local_object_pile != nullptr, true);
}

TEST_F(ObjectStep, PlayerInOpenWaterFloatsAtTheSurfaceAndSwimsUpWithSpace) {
    make_ground();
    global_ocean_level = 20.0f;
    object *p = spawn_player(1620.5f, 1620.5f, 14.0f);
    EXPECT_EQ(object_local_player_swimming(), 1);
    EXPECT_EQ(object_local_player_eye_under_water(), 1);
    step(400);
    EXPECT_NEAR(p->position.z, global_ocean_level, 0.6f) << "the body floats at the water line";
    EXPECT_EQ(object_local_player_eye_under_water(), 0);
    // Looking down and walking dives; the water brings the player back up.
    camera_fore_vector = {0.0f, 0.0f, -1.0f};
    key_down[KEY_W] = 1;
    step(30);
    key_down[KEY_W] = 0;
    EXPECT_LT(p->position.z, 19.0f);
    EXPECT_EQ(object_local_player_eye_under_water(), 1);
    float z = p->position.z;
    key_down[KEY_SPACE] = 1;
    step(10);
    key_down[KEY_SPACE] = 0;
    EXPECT_GT(p->position.z, z + 0.3f);
    // A cave below the sea is dry: something solid stands above the point.
    EXPECT_EQ(object_point_in_water(1620.5f, 1620.5f, 5.0f), 0);
    EXPECT_EQ(object_point_in_water(1620.5f, 1620.5f, 21.0f), 0);
}

TEST_F(ObjectStep, APlayerStandingInShallowWaterStaysOnTheBottomAndJumps) {
    make_ground();
    // Knee-deep to chest-deep: the middle of the body (z 10.9 at rest) is under water, the eyes not.
    global_ocean_level = 11.2f;
    object *p = spawn_player(1620.5f, 1620.5f, 10.9f);
    step(200);
    EXPECT_NEAR(p->position.z, 10.9f, 0.1f) << "the water does not lift a standing body";
    EXPECT_EQ(object_local_player_swimming(), 0);
    key_pressed[KEY_SPACE] = 1;
    step(8);
    EXPECT_GT(p->position.z, 11.3f) << "Space jumps as on land";
}

TEST_F(ObjectStep, DebrisShrinksAndVanishesWhenItsCountdownEndsAndARockComesToRest) {
    make_ground();
    object *d = spawn("DEBRIS", 1620.5f, 1620.5f, 15.0f, 24);
    d->size = 0.8f;
    object *rock = spawn("ROCK", 1630.5f, 1620.5f, 14.0f);
    rock->velocity = {0.05f, 0.02f, 0.0f};
    step(1);
    EXPECT_NEAR(d->size, 0.76f, 0.0001f);
    step(22);
    EXPECT_EQ(pile_length(chunk_map[25][25]->local_object_pile), 2);
    step(1);
    EXPECT_EQ(pile_length(chunk_map[25][25]->local_object_pile), 1) << "debris lives its 24 updates";
    step(400);
    vector at = rock->position;
    step(50);
    EXPECT_LT(fabsf(rock->position.x - at.x) + fabsf(rock->position.y - at.y) + fabsf(rock->position.z - at.z),
              0.02f);
    EXPECT_GT(rock->position.z, 10.0f);
    EXPECT_LT(rock->position.z, 10.8f);
}

TEST_F(ObjectStep, BombBlinksExplodesAfterItsFuseLeavesACraterAndGoesOneStepLater) {
    make_ground();
    object *b = spawn("BOMB", 1620.5f, 1620.5f, 10.3f, 120);
    step(1);  // delay 119: 119 mod 60 = 59, not blinking
    EXPECT_EQ(b->mesh_local_texture_index[0], 0);
    step(10);  // delay 109: 109 mod 60 = 49
    EXPECT_EQ(b->mesh_local_texture_index[0], 0);
    step(40);  // delay 69: 69 mod 30 = 9: lit
    EXPECT_EQ(b->mesh_local_texture_index[0], 1);
    EXPECT_EQ(screen_shake_timer, 0);
    step(67);  // delay 2
    ASSERT_EQ(pile_length(chunk_map[25][25]->local_object_pile), 1);
    EXPECT_NE(chunkmap_get_xyz(1620, 1620, 9), nullptr);
    step(1);  // delay 1: the blast
    ASSERT_EQ(chunk_map[25][25]->local_object_pile, b);
    EXPECT_EQ(screen_shake_timer, 20);
    EXPECT_FLOAT_EQ(b->size, 5.0f);
    chunkmap_get_xyz(1620, 1620, 2048);
    EXPECT_LT(global_voxel_topmost_z, 8) << "a crater where the bomb lay";
    step(1);
    for (object *o = chunk_map[25][25]->local_object_pile; o; o = o->next) EXPECT_NE(o, b);
}

TEST_F(ObjectStep, ZombiClosesInAndStrikesOnlyOnItsBlowFrameOncePerHitTimer) {
    make_ground();
    object *p = spawn_player(1620.5f, 1620.5f, 11.0f);
    object *z = spawn("ZOMBI", 1635.5f, 1620.5f, 11.0f, 1);
    ASSERT_NE(z, nullptr);
    step(30);
    float d0 = fabsf(z->position.x - p->position.x);
    step(100);
    float d1 = fabsf(z->position.x - p->position.x);
    EXPECT_LT(d1, d0 - 2.0f) << "the zombi walks towards the player";
    // It faces the player: west is half a turn from east, plus a quarter turn.
    EXPECT_NEAR((int)z->spin, (int)(uint16_t)(32767 + 16384), 200);
    float hits = p->hits;
    int strikes = 0, blow_frames = 0;
    for (int i = 0; i < 600; i++) {
        float before = p->hits;
        step(1);
        if (z->frame == OBJECT_ZOMBI_BLOW_FRAME) blow_frames++;
        if (p->hits < before) {
            strikes++;
            EXPECT_EQ(z->frame, OBJECT_ZOMBI_BLOW_FRAME) << "damage only on the blow frame";
        }
        if (p->hits <= 1.0f) break;
    }
    EXPECT_GE(strikes, 1);
    EXPECT_LT(fabsf(z->position.x - p->position.x), 5.0f);
    EXPECT_LE(hits - p->hits, (float)strikes);
    EXPECT_GT(blow_frames, 0);
}

TEST_F(ObjectStep, ZombisStrikeOnlyOutsideTheSafeMomentsComeOnlyFromNearAndBurnAwayAtDawn) {
    make_ground();
    object *p = spawn_player(1620.5f, 1620.5f, 11.0f);
    object *close = spawn("ZOMBI", 1622.5f, 1620.5f, 11.0f, 1);
    object *far = spawn("ZOMBI", 1650.5f, 1620.5f, 11.0f, 1);
    // The grace, the open board and the title: no blow lands.
    uint8_t *safe[3] = {&draw_inventory, &draw_menu, nullptr};
    for (uint8_t *moment : safe) {
        local_player_grace_timer = moment ? 0 : 1000;
        if (moment) *moment = 1;
        step(150);
        if (moment) *moment = 0;
        EXPECT_FLOAT_EQ(p->hits, 5.0f);
    }
    local_player_grace_timer = 0;
    step(300);
    EXPECT_LT(p->hits, 5.0f) << "once the safe moments are over the blows land";
    EXPECT_NEAR(far->position.x, 1650.5f, 0.2f) << "out of sight a zombi does not come";
    // Dawn: they burn, visibly, stand and fall apart; one called up by day walks on.
    global_day_night_cycle = 0.05f;
    object *spared = spawn("ZOMBI", 1620.5f, 1640.5f, 11.0f, 1);
    spared->spared_by_daylight = 1;
    float hits = p->hits, x = close->position.x;
    step(1);
    int flames = 0;
    for (object *o = chunk_map[25][25]->local_object_pile; o; o = o->next)
        flames += o->template_index == template_get_by_name("FLAME")->template_index;
    EXPECT_GT(flames, 0);
    EXPECT_EQ(spared->burning, 0);
    step(OBJECT_ZOMBI_BURN_STEPS - 1);
    EXPECT_NEAR(close->position.x, x, 0.5f);
    EXPECT_NE(close->joints, nullptr) << "it falls apart";
    EXPECT_FLOAT_EQ(p->hits, hits) << "a burning zombi does not strike";
    step(70);
    int zombis = 0;
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++)
            for (object *o = chunk_map[cx][cy]->local_object_pile; o; o = o->next) zombis += o->behave_like_zombi;
    EXPECT_EQ(zombis, 1) << "only the spared one is left";
    EXPECT_LT(spared->position.y, 1638.0f);
}

TEST_F(ObjectStep, ChoppedTreePlaysItsFallTurnsToItsNextMeshAndGoes) {
    make_ground();
    object *standing = spawn("TREE", 1610.5f, 1620.5f, 11.0f);
    object *t = spawn("TREE", 1620.5f, 1620.5f, 11.0f);
    step(60);
    EXPECT_EQ(standing->mesh_index[0], 0) << "an unchopped tree stays up";
    // A chop starts the fall and takes the last hit.
    t->frame = model_get_start_or_last_frame(t->model_index, (const uint8_t *)"FALL", 1);
    t->hits = 1.0f;
    uint16_t first_mesh = t->mesh_index[0];
    step(8);
    EXPECT_EQ(t->mesh_index[0], first_mesh + 1) << "after the fall the first slot draws the next mesh";
    EXPECT_EQ(t->frame, 0);
    t->hits = 0.0f;
    step(3);
    int trees = 0;
    for (object *o = chunk_map[25][25]->local_object_pile; o; o = o->next) trees += (o == t) + (o == standing);
    EXPECT_EQ(trees, 1) << "a tree with no hits left is gone when its cycle ends";
}

TEST_F(ObjectStep, ObjectsMovingOutOfAChunkChangePileAndStrayOnesStayWithTheirChunk) {
    make_ground();
    object *r = spawn("ROCK", 1663.9f, 1620.5f, 10.3f);
    r->velocity = {0.2f, 0.0f, 0.0f};
    EXPECT_EQ(r->current_pile, &chunk_map[25][25]->local_object_pile);
    target_vector = {1620.0f, 1620.0f, 11.0f};
    object_update_all(1620.0f, 1620.0f, 9);
    EXPECT_GE(r->position.x, 1664.0f);
    EXPECT_EQ(r->current_pile, &chunk_map[26][25]->local_object_pile);
    // Next to a chunk that is not resident: it stays still, in its chunk, until that one is.
    object *s = spawn("ROCK", 1727.9f, 1620.5f, 10.3f);
    s->velocity = {0.6f, 0.0f, 0.0f};
    object_update_all(1620.0f, 1620.0f, 9);
    EXPECT_FLOAT_EQ(s->position.x, 1727.9f);
    EXPECT_EQ(s->current_pile, &chunk_map[26][25]->local_object_pile);
}

TEST_F(ObjectStep, ObjectsAtAChunkCornerStayStillUntilTheGroundAroundIsResidentAndKeepTheirHeight) {
    write_kind("BOX", "FULLCOLLIDE\nSTATICSPHERE\nSIZE 0.5\nWEIGHT 4\n");
    template_load("BOX");
    make_ground();
    // At the corner of four chunks, on the ground (z = 10).
    object *box = spawn("BOX", 1599.7f, 1600.3f, 10.6f);
    spawn("ROCK", 1600.3f, 1599.7f, 10.4f);
    step(300);
    auto heights = [](void) {
        std::vector<float> z;
        for (int cx = 24; cx <= 26; cx++)
            for (int cy = 24; cy <= 26; cy++)
                for (object *o = chunk_map[cx][cy] ? chunk_map[cx][cy]->local_object_pile : nullptr; o; o = o->next)
                    z.push_back(o->position.z);
        return z;
    };
    std::vector<float> resting = heights();
    ASSERT_EQ(resting.size(), 2u);
    EXPECT_NEAR(box->position.z, 10.5f, 0.1f);
    // Where the two came to rest (the rock may roll over a border while settling).
    std::vector<std::pair<int, int>> under;
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++)
            for (object *o = chunk_map[cx][cy] ? chunk_map[cx][cy]->local_object_pile : nullptr; o; o = o->next)
                under.push_back({(int)o->position.x >> 6, (int)o->position.y >> 6});
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++) chunkmap_unload(cx, cy);

    // The chunks under the two come back first, their neighbours later, as streaming brings them.
    for (const auto &c : under)
        if (!chunk_map[c.first][c.second]) chunkmap_load(c.first, c.second);
    step(100);
    EXPECT_EQ(heights(), resting);
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++) chunkmap_load(cx, cy);
    step(100);
    std::vector<float> after = heights();
    ASSERT_EQ(after.size(), 2u);
    for (size_t i = 0; i < after.size(); i++) EXPECT_NEAR(after[i], resting[i], 0.05f);
}

TEST_F(ObjectStep, CollisionsPushApartByWeightAndImmovablesStayPut) {
    object a = {}, b = {}, c = {};
    a.size = b.size = c.size = 0.5f;
    a.weight = 1.0f;
    b.weight = 10000.0f;
    c.weight = 10000.0f;
    a.position = {0.0f, 0.0f, 0.0f};
    b.position = {0.6f, 0.0f, 0.0f};
    c.position = {0.0f, 0.6f, 0.0f};
    object_collide(&a, &b);
    EXPECT_FLOAT_EQ(b.vdamp.x, 0.0f);
    EXPECT_NEAR(a.vdamp.x, -10000.0f / 10001.0f * 0.4f, 1e-5f) << "the light one takes the whole separation";
    object_collide(&b, &c);
    EXPECT_FLOAT_EQ(b.vdamp.y, 0.0f);
    EXPECT_FLOAT_EQ(c.vdamp.y, 0.0f);
    // A child passes through its parent.
    object d = {};
    d.size = 0.5f;
    d.weight = 1.0f;
    d.no_collide_parent = &a;
    d.position = {0.1f, 0.0f, 0.0f};
    vector before = a.vdamp;
    object_collide(&a, &d);
    EXPECT_FLOAT_EQ(a.vdamp.x, before.x);
    EXPECT_FLOAT_EQ(d.vdamp.x, 0.0f);
}

TEST_F(ObjectStep, MendedFaults) {
    make_ground();
    // A dead zombi without joints does not walk on forever.
    object *p = spawn_player(1620.5f, 1620.5f, 11.0f);
    object *z = spawn("ZOMBI", 1630.5f, 1620.5f, 11.0f, 5);
    z->hits = 0.0f;
    float x = z->position.x;
    step(6);
    for (object *o = chunk_map[25][25]->local_object_pile; o; o = o->next) EXPECT_NE(o, z);
    (void)x;

    // A rolling object of size 0 stays finite.
    object *r = spawn("ROCK", 1625.5f, 1620.5f, 12.0f);
    r->size = 0.0f;
    step(20);
    EXPECT_TRUE(std::isfinite(r->position.x) && std::isfinite(r->position.z));
    EXPECT_TRUE(std::isfinite(r->facing_xyzw[0]) && std::isfinite(r->facing_xyzw[3]));

    // A step that would leave the position non-finite keeps the previous one.
    object *q = spawn("ROCK", 1622.5f, 1620.5f, 10.3f);
    step(30);
    vector at = q->position;
    q->velocity = {NAN, 0.0f, 0.0f};
    step(1);
    EXPECT_FLOAT_EQ(q->position.x, at.x);
    EXPECT_TRUE(std::isfinite(q->velocity.x));

    // Facing a target due west turns to a negative angle; it wraps into 16 bits.
    object *w = spawn("ZOMBI", 1610.5f, 1620.5f, 11.0f, 3);
    p->position = {1600.5f, 1620.5f - 5.0f, 11.0f};
    step(1);
    // atan2(-5, -10) is -0.426 of a turn: -27932 + 16384 wraps to 53988.
    EXPECT_NEAR((int)w->spin, 53988, 60);
}

TEST_F(ObjectStep, TerrainModelsOnlyRewriteRealBlocksAndDropTheirColumnCache) {
    write_kind("TORCHY", "FULLCOLLIDE\nROLLINGSPHERE\nTERRAINMODEL 28\nSIZE 0.3\nWEIGHT 1\n");
    load_kinds({"TORCHY"});
    make_resident_chunk(25, 25, [](int, int) { return make_pillar({run_word(3, 9), single_word(1)}); });
    object *o = object_spawn(template_get_by_name("TORCHY"), nullptr, 0, 1620.5f, 1620.5f, 10.9f);
    ASSERT_NE(o, nullptr);
    multri **cache = chunkmap_get_xy_multri(0, 1620, 1620);
    ASSERT_NE(cache, nullptr);
    *cache = multri_create();
    ASSERT_NE(*cache, nullptr);
    *chunkmap_get_xy_multri(0, 1627, 1620) = multri_create();
    chunkmap_get_xyz(1620, 1620, 2048);
    voxel *top = global_voxel_topmost;
    step(30);
    EXPECT_EQ(voxel_material(top), 28) << "the block it landed on took its material";
    EXPECT_EQ(*cache, nullptr) << "the changed column is meshed anew";
    EXPECT_EQ(*chunkmap_get_xy_multri(0, 1627, 1620), nullptr) << "and so is every column its glow reaches";
    // The glow falls off block by block, not as one lit square.
    int last = 1000;
    for (int d = 1; d <= 7; d++) {
        chunkmap_get_xyz(1620 + d, 1620, 2048);
        int glow = global_voxel_topmost ? global_voxel_topmost->glowlight : 0;
        EXPECT_LE(glow, last) << d << " blocks away";
        if (d <= 4) {
            EXPECT_GT(glow, 10) << d << " blocks away";
        }
        last = glow;
    }
    EXPECT_LT(last, 10);
    for (object *k = chunk_map[25][25]->local_object_pile; k; k = k->next) EXPECT_NE(k, o);

    // Off the map only the shared record is there to touch: it is never rewritten.
    uint16_t shared = global_off_map_voxel->data;
    object *off = object_spawn_into_pile(template_get_by_name("TORCHY"), &chunk_map[25][25]->local_object_pile, 0,
                                         -3.5f, 1620.5f, 1.2f);
    object_update(off);
    object_update(off);
    EXPECT_EQ(global_off_map_voxel->data, shared);
}

TEST_F(ObjectStep, TheSelectionIsTheRestingObjectNearestTheLineOfSightWithinReach) {
    make_ground();
    object *p = spawn_player(1620.5f, 1620.5f, 11.0f);
    object *near = spawn("ROCK", 1622.5f, 1620.7f, 11.0f);
    object *closer_to_line = spawn("ROCK", 1623.0f, 1620.55f, 11.0f);
    spawn("ROCK", 1621.5f, 1623.5f, 11.0f);  // well off the line of sight
    spawn("ROCK", 1630.5f, 1620.5f, 11.0f);  // out of reach
    spawn("ZOMBI", 1622.0f, 1620.5f, 11.0f, 1);
    select_looked_at();
    EXPECT_EQ(global_inworld_selected_object, closer_to_line);
    // A moving object cannot be picked; the next best one is.
    closer_to_line->velocity = {0.2f, 0.0f, 0.0f};
    select_looked_at();
    EXPECT_EQ(global_inworld_selected_object, near);
    // Looking away selects nothing, and without a player there is nothing to select.
    camera_fore_vector = {-1.0f, 0.0f, 0.0f};
    select_looked_at();
    EXPECT_EQ(global_inworld_selected_object, nullptr);
    camera_fore_vector = {1.0f, 0.0f, 0.0f};
    object_destroy(p);
    select_looked_at();
    EXPECT_EQ(global_inworld_selected_object, nullptr);
}

TEST_F(ObjectStep, LightFollowsTheSunAndTheBlockGlow) {
    make_resident_chunk(25, 25, [](int, int) { return make_pillar({run_word(3, 9), single_word(1)}, 100); });
    global_sun_light_level = 200;
    // In the single block: (100 + 50) * 200 >> 7 = 234.
    EXPECT_EQ(object_get_light(1620.5f, 1620.5f, 9.5f), 234);
    chunkmap_get_xyz(1620, 1620, 9)->glowlight = 20;
    EXPECT_EQ(object_get_light(1620.5f, 1620.5f, 9.5f), 255);
}

TEST_F(ObjectStep, BurningBlocksSmokePerWorldStepNotPerFrame) {
    make_ground();
    object_note_burning_block(1620.5f, 1620.5f, 11.0f);
    object_note_burning_block(1621.5f, 1620.5f, 11.0f);
    int before = pile_length(chunk_map[25][25]->local_object_pile);
    object_burning_step();
    EXPECT_EQ(pile_length(chunk_map[25][25]->local_object_pile), before + 4);
    object_burning_step();
    EXPECT_EQ(pile_length(chunk_map[25][25]->local_object_pile), before + 8);
    global_burning_count = 0;
}

TEST_F(ObjectStep, ParticlesFadeWithTheirCountdownAndDrawingCullsBehindTheCamera) {
    object *flame = object_create();
    flame->template_index = template_get_by_name("FLAME")->template_index;
    flame->delay = 70;
    EXPECT_EQ(object_particle_alpha(flame), 24);
    flame->delay = 60;
    EXPECT_EQ(object_particle_alpha(flame), 240);
    flame->template_index = dust_object_template->template_index;
    EXPECT_EQ(object_particle_alpha(flame), 120);
    object_destroy(flame);
    camera_vector = {100.0f, 100.0f, 10.0f};
    camera_fore_vector = {1.0f, 0.0f, 0.0f};
    vector behind9 = {91.0f, 100.0f, 10.0f}, behind11 = {89.0f, 100.0f, 10.0f}, far = {200.0f, 100.0f, 10.0f};
    EXPECT_EQ(object_in_view(&behind9, 50.0f), 1);
    EXPECT_EQ(object_in_view(&behind11, 50.0f), 0);
    EXPECT_EQ(object_in_view(&far, 50.0f), 0);
}

TEST(MusicDepth, UndergroundShareGrowsATenthPerBlockBelowTheSurface) {
    EXPECT_FLOAT_EQ(music_depth_term(20.0f, 25.0f), 0.0f);
    EXPECT_FLOAT_EQ(music_depth_term(20.0f, 15.0f), 0.5f);
    EXPECT_FLOAT_EQ(music_depth_term(20.0f, -40.0f), 1.0f);
}

}  // namespace
