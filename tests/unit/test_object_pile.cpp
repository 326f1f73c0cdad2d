// test_object_pile.cpp — piles, spawning from templates, destroying nested inventories and what
// pointed at them, returning objects to a pile, the particle spawners, and digging's rewards
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "edit_test_util.h"
#include "object_test_util.h"
#include "objects/object_pool.h"

TEST(ObjectPile, PutMovesToTheHeadAndRemovalKeepsTheLinksAndClearsThePile) {
    object *pile = nullptr, *other = nullptr;
    object *a = object_create(), *b = object_create(), *c = object_create();
    put_object_into_pile(a, &pile);
    put_object_into_pile(b, &pile);
    put_object_into_pile(c, &pile);
    EXPECT_EQ(pile_objects(pile), (std::vector<object *>{c, b, a}));
    // Putting an object into the pile it is in moves it to the head.
    put_object_into_pile(a, &pile);
    EXPECT_EQ(pile_objects(pile), (std::vector<object *>{a, c, b}));
    EXPECT_EQ(a->prev, nullptr);
    EXPECT_EQ(c->prev, a);
    EXPECT_EQ(b->prev, c);
    // A middle object leaves no trace of its pile, even though it was not the head.
    remove_object_from_pile(c);
    EXPECT_EQ(c->current_pile, nullptr);
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(c->prev, nullptr);
    EXPECT_EQ(pile_objects(pile), (std::vector<object *>{a, b}));
    EXPECT_EQ(b->prev, a);
    // So moving it later cannot disturb its old pile.
    put_object_into_pile(c, &other);
    remove_object_from_pile(c);
    EXPECT_EQ(pile_objects(pile), (std::vector<object *>{a, b}));
    // Removing the head makes its successor the head; removing the only one empties the pile.
    remove_object_from_pile(a);
    EXPECT_EQ(pile, b);
    EXPECT_EQ(b->prev, nullptr);
    remove_object_from_pile(b);
    EXPECT_EQ(pile, nullptr);
    for (object *o : {a, b, c}) object_destroy(o);
}

TEST(ObjectPile, SpawningCopiesTheTemplateIntoTheChunkUnderItOrTheHoldersInventory) {
    ObjectWorld world;
    write_kind("HEAVY-PICK", "FULLCOLLIDE\nROLLINGSPHERE\nSIZE 0.75\nHITS 3\nVALUE 12\nMESH A TEXTURE2 SHINY\n");
    load_kinds({"HEAVY-PICK"});
    object *t = template_get_by_name("HEAVY-PICK");
    t->material = 3;
    t->light = 99;
    make_ground_chunk(2, 3);
    object *o = object_spawn(t, nullptr, 42, 150.0f, 200.0f, 12.0f);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->current_pile, &chunk_map[2][3]->local_object_pile);
    EXPECT_EQ(chunk_map[2][3]->local_object_pile, o);
    EXPECT_STREQ(o->name, "Heavy Pick");
    EXPECT_EQ(o->delay, 42);
    EXPECT_EQ(o->full_collide, 1);
    EXPECT_EQ(o->rolling_sphere, 1);
    EXPECT_FLOAT_EQ(o->size, 0.75f);
    EXPECT_FLOAT_EQ(o->hits, 3.0f);
    EXPECT_FLOAT_EQ(o->value, 12.0f);
    EXPECT_EQ(o->material, 3);
    EXPECT_EQ(o->light, 0);
    EXPECT_EQ(o->joints, nullptr);
    EXPECT_EQ(o->facing_xyzw[3], 1.0f);
    EXPECT_EQ(o->mesh_local_overlay_index[0], 10);
    object *inner = object_spawn(t, o, 1, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(o->inventory_pile, inner);
    EXPECT_EQ(inner->current_pile, &o->inventory_pile);
    // No template, a chunk that is not resident, a position off the map or not a number: none.
    EXPECT_EQ(object_spawn(nullptr, nullptr, 1, 150.0f, 200.0f, 12.0f), nullptr);
    EXPECT_EQ(object_spawn(t, nullptr, 1, 300.0f, 200.0f, 12.0f), nullptr);
    EXPECT_EQ(object_spawn(t, nullptr, 1, -5.0f, 200.0f, 12.0f), nullptr);
    EXPECT_EQ(object_spawn(t, nullptr, 1, NAN, 200.0f, 12.0f), nullptr);
    EXPECT_EQ(object_spawn(t, nullptr, 1, 150.0f, 1e30f, 12.0f), nullptr);
    EXPECT_EQ(pile_length(chunk_map[2][3]->local_object_pile), 1);
    // Pointers are logged as pointers.
    char expected[64];
    snprintf(expected, sizeof(expected), "      Object %p spawned", (void *)o);
    EXPECT_TRUE(log_contains(expected));
}

TEST(ObjectPile, DestroyingTakesNestedInventoriesAndEveryPointerToThem) {
    ObjectWorld world;
    write_kind("BAG", "FULLCOLLIDE\n");
    load_kinds({"BAG"});
    object *t = template_get_by_name("BAG");
    make_ground_chunk(0, 0);
    object *top = object_spawn(t, nullptr, 1, 10.0f, 10.0f, 11.0f);
    object *keep = object_spawn(t, nullptr, 1, 12.0f, 10.0f, 11.0f);
    // A chain 200 deep (far beyond any file) and a few side items.
    object *holder = top;
    for (int i = 0; i < 200; i++) holder = object_spawn(t, holder, 1, 0.0f, 0.0f, 0.0f);
    object *deep = holder;
    object_spawn(t, top, 1, 0.0f, 0.0f, 0.0f);
    object_spawn(t, top->inventory_pile, 1, 0.0f, 0.0f, 0.0f);
    local_player = deep;
    global_inworld_selected_object = top->inventory_pile;
    static std::set<object *> freed;
    freed.clear();
    object_destroyed_hook = [](object *o) { freed.insert(o); };
    EXPECT_EQ(object_destroy(top), 0);
    EXPECT_EQ(freed.size(), 203u);
    EXPECT_EQ(freed.count(deep), 1u);
    EXPECT_EQ(local_player, nullptr);
    EXPECT_EQ(global_inworld_selected_object, nullptr);
    EXPECT_EQ(chunk_map[0][0]->local_object_pile, keep);
    EXPECT_EQ(keep->next, nullptr);
    EXPECT_EQ(object_destroy(nullptr), 0);
    object_destroyed_hook = nullptr;
    // Releasing a chunk destroys its pile with everything in it.
    object_spawn(t, keep, 1, 0.0f, 0.0f, 0.0f);
    chunkmap_unload(0, 0);
    EXPECT_EQ(chunk_map[0][0], nullptr);
}

TEST(ObjectPile, ObjectsThatCannotGoToTheChunkUnderThemReturnToTheirFallbackPile) {
    ObjectWorld world;
    write_kind("ROCK", "FULLCOLLIDE\n");
    load_kinds({"ROCK"});
    make_ground_chunk(0, 0);
    make_ground_chunk(1, 0);
    object *o = object_spawn(template_get_by_name("ROCK"), nullptr, 1, 10.0f, 10.0f, 11.0f);
    object *updating = nullptr;
    put_object_into_pile(o, &updating);
    o->position.x = 70.0f;
    EXPECT_EQ(object_return_to_pile(o, &chunk_map[0][0]->local_object_pile), 1);
    EXPECT_EQ(o->current_pile, &chunk_map[1][0]->local_object_pile);
    put_object_into_pile(o, &updating);
    o->position.x = 500.0f;  // a chunk that is not resident
    EXPECT_EQ(object_return_to_pile(o, &chunk_map[1][0]->local_object_pile), 0);
    EXPECT_EQ(o->current_pile, &chunk_map[1][0]->local_object_pile);
    EXPECT_EQ(updating, nullptr);
}

// Particle kinds for the spawners.
static void load_particles(void) {
    write_kind("DEBRIS", "BEHAVELIKEDEBRIS\n");
    write_kind("DUST", "BEHAVELIKEDUST\n");
    write_kind("SMOKE", "BEHAVELIKEDUST\n");
    write_kind("FLAME", "BEHAVELIKEDUST\n");
    load_kinds({"DEBRIS", "DUST", "SMOKE", "FLAME"});
}

TEST(ObjectParticles, SpawnersGiveTheirSizesLifetimesAndMaterials) {
    ObjectWorld world;
    load_particles();
    chunk *c = make_ground_chunk(0, 0);
    object_spawn_debris(5, 77, 20, 10.5f, 10.5f, 12.0f);
    std::vector<object *> debris = pile_objects(c->local_object_pile);
    ASSERT_EQ(debris.size(), 20u);
    for (object *o : debris) {
        EXPECT_EQ(o->material, 3);  // cut blocks crumble to stone
        EXPECT_EQ(o->light, 77);
        EXPECT_GE(o->size, 0.5f);
        EXPECT_LE(o->size, 1.0f);
        EXPECT_EQ(o->delay, (uint16_t)(30.0f * o->size));
        EXPECT_NEAR(o->velocity.z, -0.05f, 0.021f);
        float dx = o->position.x - 10.5f, dy = o->position.y - 10.5f, dz = o->position.z - 12.0f;
        EXPECT_NEAR(sqrtf(dx * dx + dy * dy + dz * dz), 0.2f, 0.001f);
        EXPECT_GE(o->spin_add, -640);
        EXPECT_LE(o->spin_add, 635);
    }
    object_spawn_debris(63, 0, 1, 10.5f, 10.5f, 12.0f);
    EXPECT_EQ(c->local_object_pile->material, 63);
    object_spawn_debris(64, 0, 5, 10.5f, 10.5f, 12.0f);
    object_spawn_debris(255, 0, 5, 10.5f, 10.5f, 12.0f);
    EXPECT_EQ(pile_length(c->local_object_pile), 21);

    object_spawn_dust(50, 30, 10.5f, 10.5f, 12.0f, 0.1f, 0.01f, 1.0f, 3.0f);
    for (int i = 0; i < 30; i++) {
        object *o = pile_objects(c->local_object_pile)[i];
        EXPECT_LE(o->delay, 127);
        EXPECT_GE(o->size, 1.5f);
        EXPECT_LE(o->size, 4.5f);
    }
    object_spawn_dust(50, 1, 10.5f, 10.5f, 12.0f, 0.1f, 0.01f, 1.0f, 1.0f);
    EXPECT_EQ(c->local_object_pile->delay, (uint16_t)(c->local_object_pile->size * 60.0f));
    for (int i = 0; i < 40; i++) {
        object_spawn_smoke(10.5f, 10.5f, 12.0f, 0.03f, 0.1f);
        object *smoke = c->local_object_pile;
        EXPECT_STREQ(smoke->name, "Smoke");
        EXPECT_GE(smoke->delay, 48);
        EXPECT_LE(smoke->delay, 63);
        EXPECT_EQ(smoke->light, 128);
        EXPECT_FLOAT_EQ(smoke->velocity.z, 0.03f);
        object_spawn_flame(10.5f, 10.5f, 12.0f, 0.01f, 0.1f);
        EXPECT_GE(c->local_object_pile->delay, 50);
        EXPECT_LE(c->local_object_pile->delay, 81);
    }
}

TEST(ObjectParticles, AFullParticleStoreRefusesNewParticlesUntilOneRunsOutAndThenReusesItsRecord) {
    ObjectWorld world;
    load_particles();
    chunk *c = make_ground_chunk(0, 0);
    global_log_level = 3;
    object_spawn_debris(3, 0, OBJECT_POOL_SIZE, 10.5f, 10.5f, 12.0f);
    EXPECT_EQ(pile_length(c->local_object_pile), OBJECT_POOL_SIZE);
    EXPECT_EQ(global_object_pool_used, (uint32_t)OBJECT_POOL_SIZE);
    // Full: every spawner comes back empty-handed, and the log says so once.
    object_spawn_debris(3, 0, 2, 10.5f, 10.5f, 12.0f);
    object_spawn_dust(0, 2, 10.5f, 10.5f, 12.0f, 0.1f, 0.1f, 1.0f, 1.0f);
    object_spawn_smoke(10.5f, 10.5f, 12.0f, 0.03f, 0.1f);
    object_spawn_flame(10.5f, 10.5f, 12.0f, 0.01f, 0.1f);
    EXPECT_EQ(pile_length(c->local_object_pile), OBJECT_POOL_SIZE);
    EXPECT_EQ(global_object_pool_refused, 6u);
    int full_lines = 0;
    for (const std::string &line : log_lines()) full_lines += line.find("particles are in use") != std::string::npos;
    EXPECT_EQ(full_lines, 1);
    // Objects that are not particles are still made.
    object *item = object_spawn(debris_object_template, nullptr, 0, 20.5f, 20.5f, 12.0f);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(object_pool_holds(item));

    // A particle that ends gives its record back; the next particle gets it, with nothing left over.
    object *old = c->local_object_pile->next;
    old->hits = 42.0f;
    object_destroy(old);
    EXPECT_EQ(global_object_pool_used, (uint32_t)OBJECT_POOL_SIZE - 1);
    object_spawn_smoke(10.5f, 10.5f, 12.0f, 0.03f, 0.1f);
    object *smoke = c->local_object_pile;
    EXPECT_EQ(smoke, old);
    EXPECT_STREQ(smoke->name, "Smoke");
    EXPECT_EQ(smoke->light, 128);
    EXPECT_FLOAT_EQ(smoke->hits, 0.0f);
    EXPECT_EQ(smoke->inventory_pile, nullptr);
    EXPECT_EQ(smoke->recipe_template_index[0], OBJECT_NO_TEMPLATE);
    EXPECT_EQ(global_object_pool_used, (uint32_t)OBJECT_POOL_SIZE);

    // Releasing the chunk gives every record back.
    chunk_destroy(c);
    chunk_map[0][0] = nullptr;
    EXPECT_EQ(global_object_pool_used, 0u);
}

TEST(ObjectParticles, DiggingThrowsDebrisAndGivesTheLocalPlayerTheMaterialsCollectObjects) {
    ObjectWorld world;
    load_particles();
    write_kind("PLAYER", "STATICSPHERE\n");
    write_kind("DIRT", "INVENTORYSTACKABLE 1000\nTERRAINCOLLECT 1\n");
    write_kind("COPPER-ORE", "INVENTORYSTACKABLE 1000\nTERRAINCOLLECT 23 1\n");
    load_kinds({"PLAYER", "DIRT", "COPPER-ORE"});
    global_log_level = 1;
    make_flat_chunk(1, 1, 10, 23, 10);
    uint8_t old_sun = global_sun_light_level;
    global_sun_light_level = 255;
    // Without a local player digging gives nothing.
    voxel_sphere_xyz(96.5f, 96.5f, 8.0f, 2.0f, 0, 1, 0, 3.5f, 1);
    int debris = 0;
    for (object *o = chunk_map[1][1]->local_object_pile; o; o = o->next) debris += o->behave_like_debris;
    EXPECT_GT(debris, 0);

    local_player = object_spawn(template_get_by_name("PLAYER"), nullptr, 300, 80.5f, 80.5f, 12.0f);
    ASSERT_NE(local_player, nullptr);
    voxel_sphere_xyz(110.5f, 110.5f, 8.0f, 2.0f, 0, 0, 0, 3.5f, 1);
    object *ore = nullptr, *dirt = nullptr;
    for (object *o = local_player->inventory_pile; o; o = o->next) {
        if (!strcmp(o->name, "Copper Ore")) ore = o;
        if (!strcmp(o->name, "Dirt")) dirt = o;
    }
    // Copper ore (23) belongs to the dirt family (1): each dug ore block gives one of each.
    ASSERT_NE(ore, nullptr);
    ASSERT_NE(dirt, nullptr);
    EXPECT_GT(ore->inventory_stack_count, 3);
    EXPECT_EQ(ore->material, 1);
    EXPECT_GE(dirt->inventory_stack_count, ore->inventory_stack_count);
    EXPECT_EQ(dirt->material, 1);
    // Materials outside the tables give nothing.
    int before = pile_length(local_player->inventory_pile);
    object_collect_material(64);
    object_collect_material(255);
    EXPECT_EQ(pile_length(local_player->inventory_pile), before);
    global_sun_light_level = old_sun;
}
