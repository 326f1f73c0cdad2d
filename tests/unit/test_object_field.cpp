// test_object_field.cpp — the object field table: the saved fields laid out as the record, and
// spawning that copies a kind whole yet shares nothing an instance owns
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "object_test_util.h"
#include "objects/object_field.h"

namespace {

// Which bytes of the record the fields with any of these roles cover.
std::vector<uint8_t> covered(uint8_t roles) {
    std::vector<uint8_t> mask(sizeof(object), 0);
    for (int i = 0; i < object_field_count; i++)
        if (object_fields[i].roles & roles)
            memset(&mask[object_fields[i].offset], 1, object_fields[i].size);
    return mask;
}

}  // namespace

TEST(ObjectFields, TheSavedFieldsAreTheRecordsThirtySevenBytesInOrderAndReadBackAlone) {
    static const size_t type_size[] = {1, 2, 4};
    size_t saved = 0;
    for (int i = 0; i < object_field_count; i++) {
        const object_field &f = object_fields[i];
        if (f.type != OBJECT_FIELD_RAW) {
            EXPECT_EQ(f.size, type_size[f.type] * f.count) << i;
        }
        if (f.roles & OBJECT_FIELD_SAVED) saved += f.size;
    }
    EXPECT_EQ(saved, (size_t)OBJECT_FIELD_SAVED_BYTES);

    object o = {};
    o.material = 23;
    o.light = 200;
    o.full_collide = 1;
    o.static_sphere = 1;
    o.inventory_stack_count = 0x1234;
    o.spin = 0xBEEF;
    o.frame = 7;
    o.hits = 2.5f;
    o.value = -3.0f;
    const float facing[4] = {0.1f, 0.2f, 0.3f, 0.9f};
    memcpy(o.facing_xyzw, facing, sizeof(facing));
    uint8_t bytes[OBJECT_FIELD_SAVED_BYTES];
    object_field_encode(&o, bytes);
    const uint8_t head[] = {23, 200, 1, 0, 0, 1, 0, 0x34, 0x12, 0xEF, 0xBE, 7, 0};
    EXPECT_EQ(memcmp(bytes, head, sizeof(head)), 0);
    float hits, value, read_facing[4];
    memcpy(&hits, bytes + 13, 4);
    memcpy(&value, bytes + 17, 4);
    memcpy(read_facing, bytes + 21, 16);
    EXPECT_EQ(hits, 2.5f);
    EXPECT_EQ(value, -3.0f);
    EXPECT_EQ(memcmp(read_facing, facing, sizeof(facing)), 0);

    // Reading sets the saved fields and nothing else.
    object back;
    memset(&back, 0xA5, sizeof(back));
    object untouched = back;
    object_field_decode(bytes, &back);
    std::vector<uint8_t> mask = covered(OBJECT_FIELD_SAVED);
    for (size_t i = 0; i < sizeof(object); i++) {
        uint8_t expected = mask[i] ? ((uint8_t *)&o)[i] : ((uint8_t *)&untouched)[i];
        ASSERT_EQ(((uint8_t *)&back)[i], expected) << "byte " << i;
    }
}

TEST(ObjectFields, SpawningCopiesTheKindWholeButNoneOfWhatAnInstanceOwns) {
    ObjectWorld world;
    // A kind whose every byte is set, links and owned arrays included.
    object &kind = object_template[0];
    memset(&kind, 0x5A, sizeof(kind));
    strcpy(kind.name, "LANTERN");
    kind.num_mesh = 3;
    num_object_template = 1;
    const object before = kind;

    object *pile = nullptr;
    object *o = object_spawn_into_pile(&kind, &pile, 77, 1.0f, 2.0f, 3.0f);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(memcmp(&kind, &before, sizeof(kind)), 0) << "spawning wrote to its template";
    EXPECT_STREQ(o->name, "Lantern");
    EXPECT_EQ(o->delay, 77);
    EXPECT_FLOAT_EQ(o->position.z, 3.0f);
    EXPECT_EQ(o->facing_xyzw[3], 1.0f);
    EXPECT_EQ(o->current_pile, &pile);
    EXPECT_EQ(o->inventory_pile, nullptr);
    EXPECT_EQ(o->next, nullptr);
    EXPECT_EQ(o->joints, nullptr);
    EXPECT_EQ(o->kept_records, nullptr);
    EXPECT_EQ(o->no_collide_parent, nullptr);
    EXPECT_EQ(o->light, 0);
    for (int i = 0; i < OBJECT_RECIPE_SIZE; i++) {
        EXPECT_EQ(o->recipe_template_index[i], OBJECT_NO_TEMPLATE);
        EXPECT_EQ(o->recipe_material[i], OBJECT_ANY_MATERIAL);
    }
    // Everything that is not the instance's own (or its name) is the kind's.
    std::vector<uint8_t> own = covered(OBJECT_FIELD_INSTANCE);
    for (size_t i = offsetof(object, name) + OBJECT_NAME_SIZE; i < sizeof(object); i++)
        if (!own[i]) {
            ASSERT_EQ(((uint8_t *)o)[i], ((const uint8_t *)&kind)[i]) << "byte " << i;
        }
    object_destroy(o);
    EXPECT_EQ(pile, nullptr);
    num_object_template = 0;
}

TEST(ObjectFields, TemplateSetupForgetsWhatTheMaterialsMeantToTheObjects) {
    voxel_material_object[28] = voxel_material_template[23] = &object_template[0];
    voxel_material_metal[23] = 5;
    template_setup();
    for (int m = 0; m < VOXEL_MATERIAL_COUNT; m++) {
        EXPECT_EQ(voxel_material_object[m], nullptr) << m;
        EXPECT_EQ(voxel_material_template[m], nullptr) << m;
        EXPECT_EQ(voxel_material_metal[m], m) << m;
    }
}
