// object_field.cpp — the object record's field table and what is done with it: the saved
// record written and read, an instance's own fields cleared at spawning
#include "objects/object_field.h"

#include <cstring>

#define FIELD(keyword, label, field, type, count, roles) \
    {keyword, label, (uint16_t)offsetof(object, field), (uint16_t)sizeof(((object *)nullptr)->field), type, count, roles}
#define FLAG(keyword, label, field, roles) FIELD(keyword, label, field, OBJECT_FIELD_BYTE, 1, OBJECT_FIELD_FLAG_KEYWORD | (roles))
#define NUMBER(keyword, field, roles) FIELD(keyword, nullptr, field, OBJECT_FIELD_FLOAT, 1, OBJECT_FIELD_NUMBER_KEYWORD | (roles))
#define INSTANCE(field) FIELD(nullptr, nullptr, field, OBJECT_FIELD_RAW, 1, OBJECT_FIELD_INSTANCE)

// The saved fields come first, in the order of the record.
const object_field object_fields[] = {
    FIELD(nullptr, nullptr, material, OBJECT_FIELD_BYTE, 1, OBJECT_FIELD_SAVED),
    FIELD(nullptr, nullptr, light, OBJECT_FIELD_BYTE, 1, OBJECT_FIELD_SAVED | OBJECT_FIELD_INSTANCE),
    FLAG("FULLCOLLIDE", "FullCollide", full_collide, OBJECT_FIELD_SAVED),
    FLAG("FLATONGROUND", "FlatOnGround", flat_on_ground, OBJECT_FIELD_SAVED),
    FLAG("ROLLINGSPHERE", "RollingSphere", rolling_sphere, OBJECT_FIELD_SAVED),
    FLAG("STATICSPHERE", "StaticSphere", static_sphere, OBJECT_FIELD_SAVED),
    FLAG("SHOWMATERIAL", "ShowMaterial", show_material, OBJECT_FIELD_SAVED),
    FIELD(nullptr, nullptr, inventory_stack_count, OBJECT_FIELD_SHORT, 1, OBJECT_FIELD_SAVED),
    FIELD(nullptr, nullptr, spin, OBJECT_FIELD_SHORT, 1, OBJECT_FIELD_SAVED),
    FIELD(nullptr, nullptr, frame, OBJECT_FIELD_SHORT, 1, OBJECT_FIELD_SAVED),
    NUMBER("HITS", hits, OBJECT_FIELD_SAVED),
    NUMBER("VALUE", value, OBJECT_FIELD_SAVED),
    FIELD(nullptr, nullptr, facing_xyzw, OBJECT_FIELD_FLOAT, 4, OBJECT_FIELD_SAVED | OBJECT_FIELD_INSTANCE),

    FLAG("BEHAVELIKEDEBRIS", "BehaveLikeDebris", behave_like_debris, 0),
    FLAG("BEHAVELIKEDUST", "BehaveLikeDust", behave_like_dust, 0),
    FLAG("BEHAVELIKEBOMB", "BehaveLikeBomb", behave_like_bomb, 0),
    FLAG("BEHAVELIKEZOMBI", "BehaveLikeZombi", behave_like_zombi, 0),
    FLAG("BEHAVELIKETREE", "BehaveLikeTree", behave_like_tree, 0),
    FLAG("ICONINGAME", "IconInGame", icon_in_game, 0),
    FLAG("ICONININVENTORY", "IconInInventory", icon_in_inventory, 0),
    FLAG("ICONHASMATERIALOVERLAY", "IconHasMaterialOverlay", icon_has_material_overlay, 0),
    NUMBER("WEIGHT", weight, 0),
    NUMBER("DIGRADIUS", dig_radius, 0),
    NUMBER("ATTACKDAMAGE", attack_damage, 0),

    // Recipes live in templates only; an instance's are set to "nothing" after clearing.
    INSTANCE(recipe_template_index),
    INSTANCE(recipe_material),
    INSTANCE(delay),
    INSTANCE(jumps_remaining),
    INSTANCE(position),
    INSTANCE(velocity),
    INSTANCE(vdamp),
    INSTANCE(current_pile),
    INSTANCE(inventory_pile),
    INSTANCE(next),
    INSTANCE(prev),
    INSTANCE(linka),
    INSTANCE(linkb),
    INSTANCE(no_collide_parent),
    INSTANCE(joints),
    INSTANCE(kept_records),
    INSTANCE(kept_records_size),
    INSTANCE(spared_by_daylight),
    INSTANCE(burning),
};
const int object_field_count = (int)(sizeof(object_fields) / sizeof(object_fields[0]));

static const size_t object_field_type_size[] = {1, 2, 4};

const object_field *object_field_by_keyword(const char *keyword, uint8_t role) {
    if (!keyword) return nullptr;
    for (int i = 0; i < object_field_count; i++)
        if ((object_fields[i].roles & role) && object_fields[i].keyword && strcmp(object_fields[i].keyword, keyword) == 0)
            return &object_fields[i];
    return nullptr;
}

void object_field_encode(const object *o, uint8_t *out) {
    for (int i = 0; i < object_field_count; i++) {
        const object_field &f = object_fields[i];
        if (!(f.roles & OBJECT_FIELD_SAVED)) continue;
        size_t bytes = object_field_type_size[f.type] * f.count;
        memcpy(out, (const uint8_t *)o + f.offset, bytes);
        out += bytes;
    }
}

void object_field_decode(const uint8_t *in, object *o) {
    for (int i = 0; i < object_field_count; i++) {
        const object_field &f = object_fields[i];
        if (!(f.roles & OBJECT_FIELD_SAVED)) continue;
        size_t bytes = object_field_type_size[f.type] * f.count;
        memcpy((uint8_t *)o + f.offset, in, bytes);
        in += bytes;
    }
}

void object_field_clear_instance(object *o) {
    for (int i = 0; i < object_field_count; i++)
        if (object_fields[i].roles & OBJECT_FIELD_INSTANCE) memset((uint8_t *)o + object_fields[i].offset, 0, object_fields[i].size);
}
