// test_object_field.cpp — the object field table: the saved fields laid out as the record, and
// spawning that copies a kind whole yet shares nothing an instance owns
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "object_test_util.h"
#include "objects/object_field.h"

// Which bytes of the record the fields with any of these roles cover.
static std::vector<uint8_t> covered(uint8_t roles) {
    std::vector<uint8_t> mask(sizeof(object), 0);
    for (int i = 0; i < object_field_count; i++)
        if (object_fields[i].roles & roles) memset(&mask[object_fields[i].offset], 1, object_fields[i].size);
    return mask;
}

TEST(ObjectFields, TheSavedFieldsAreTheRecordsThirtySevenBytesInOrderAndReadBackAlone) {
    size_t saved = 0;
    for (int i = 0; i < object_field_count; i++) saved += object_fields[i].roles & OBJECT_FIELD_SAVED ? object_fields[i].size : 0;
    EXPECT_EQ(saved, (size_t)OBJECT_FIELD_SAVED_BYTES);

    object o = {};
    o.material = 23;
    o.light = 200;
    o.full_collide = o.static_sphere = 1;
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
    const float tail[6] = {2.5f, -3.0f, 0.1f, 0.2f, 0.3f, 0.9f};
    EXPECT_EQ(memcmp(bytes + 13, tail, sizeof(tail)), 0);

    // Reading sets the saved fields and nothing else.
    object back;
    memset(&back, 0xA5, sizeof(back));
    object_field_decode(bytes, &back);
    std::vector<uint8_t> mask = covered(OBJECT_FIELD_SAVED);
    for (size_t i = 0; i < sizeof(object); i++)
        ASSERT_EQ(((uint8_t *)&back)[i], mask[i] ? ((uint8_t *)&o)[i] : 0xA5) << "byte " << i;
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
    EXPECT_EQ(o->recipe_template_index[9], OBJECT_NO_TEMPLATE);
    EXPECT_EQ(o->recipe_material[9], OBJECT_ANY_MATERIAL);
    // The instance's other fields are clear; everything else but the name is the kind's.
    std::vector<uint8_t> own = covered(OBJECT_FIELD_INSTANCE);
    for (size_t field : {offsetof(object, inventory_pile), offsetof(object, next), offsetof(object, prev),
                         offsetof(object, linka), offsetof(object, linkb), offsetof(object, no_collide_parent),
                         offsetof(object, joints), offsetof(object, kept_records)})
        EXPECT_EQ(*(void **)((uint8_t *)o + field), nullptr) << "field at " << field;
    EXPECT_EQ(o->light + o->jumps_remaining + o->burning + o->spared_by_daylight + o->kept_records_size, 0u);
    for (size_t i = offsetof(object, name) + OBJECT_NAME_SIZE; i < sizeof(object); i++)
        if (!own[i]) {
            ASSERT_EQ(((uint8_t *)o)[i], ((const uint8_t *)&kind)[i]) << "byte " << i;
        }
    object_destroy(o);
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
