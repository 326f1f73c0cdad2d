// test_template.cpp — TEMPLATE.TXT keywords and their edge cases, hostile numbers and words,
// template look-ups and the template limit
#include <gtest/gtest.h>

#include <cmath>

#include "object_test_util.h"

TEST(Template, KeywordsInAnyCaseWithCommentsAndBlankLinesSetTheTemplate) {
    ObjectWorld world;
    write_kind("SPADE",
               "# a comment line: FULLCOLLIDE\r\n\r\n"
               "fullCollide\r\nStaticSphere extra words\nBEHAVELIKEBOMB\n\n\n"
               "IconInGame\nsize 0.5\nweight 12.5\nvalue 7\nDigRadius 1.5\nattackdamage 3\nHITS 4\n"
               "INVENTORYSCALE 4\nUNKNOWNWORD 5\nSIZE\n"
               "mesh blade texture1 shiny paperdoll\n"
               "MESH HANDLE TEXTURE2 TEXTURE5\n"
               "MESH GRIP TEX TEX\n"
               "MESH TIP TEXTUREX TEXTURE9 OTHER\n"
               "TERRAINMODEL 28\nTERRAINCOLLECT 23\n");
    const std::string triangle = "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvp 1 0 0\nvt 1 0\nvn 0 0 1\nvp 0 1 0\nvt 0 1\nvn 0 0 1\nfm 0 1 2\n";
    write_text_file("OBJECT/SPADE/MODEL.IQE", "# Inter-Quake Export\nmesh \"grip\"\n" + triangle + "mesh \"handle\"\n" +
                                                  triangle + "mesh \"blade\"\n" + triangle);
    load_kinds({"SPADE"});
    object *t = template_get_by_name("spade");
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->name, "SPADE");
    EXPECT_EQ(t->full_collide, 1);
    EXPECT_EQ(t->static_sphere, 1);
    EXPECT_EQ(t->behave_like_bomb, 1);
    EXPECT_EQ(t->icon_in_game, 1);
    EXPECT_EQ(t->rolling_sphere, 0);
    EXPECT_FLOAT_EQ(t->size, 0.5f);
    EXPECT_FLOAT_EQ(t->weight, 12.5f);
    EXPECT_FLOAT_EQ(t->value, 7.0f);
    EXPECT_FLOAT_EQ(t->dig_radius, 1.5f);
    EXPECT_FLOAT_EQ(t->attack_damage, 3.0f);
    EXPECT_FLOAT_EQ(t->hits, 4.0f);
    EXPECT_FLOAT_EQ(t->inventory_scale, 2.0f);
    ASSERT_EQ(t->num_mesh, 4);
    // Meshes are found by name in the kind's model.
    EXPECT_EQ(t->mesh_index[0], 2);
    EXPECT_EQ(t->mesh_index[1], 1);
    EXPECT_EQ(t->mesh_index[2], 0);
    EXPECT_EQ(t->mesh_index[3], 0);
    // Lower case is read as upper case: texture 1, shiny overlay, cut-out.
    EXPECT_EQ(t->mesh_local_texture_index[0], 1);
    EXPECT_EQ(t->mesh_local_overlay_index[0], 10);
    EXPECT_EQ(t->mesh_paperdoll[0], 1);
    EXPECT_EQ(t->mesh_local_texture_index[1], 2);
    EXPECT_EQ(t->mesh_local_overlay_index[1], 5);
    EXPECT_EQ(t->mesh_paperdoll[1], 0);
    // Words shorter than eight characters name slot 0 instead of reading past their end.
    EXPECT_EQ(t->mesh_local_texture_index[2], 0);
    EXPECT_EQ(t->mesh_local_overlay_index[2], 0);
    // A texture slot above 9 becomes 0.
    EXPECT_EQ(t->mesh_local_texture_index[3], 0);
    EXPECT_EQ(t->mesh_local_overlay_index[3], 9);
    EXPECT_EQ(voxel_material_object[28], t);
    EXPECT_EQ(t->behave_like_terrain_model, 28);
    EXPECT_EQ(voxel_material_template[23], t);
    EXPECT_EQ(voxel_material_metal[23], 23);
    EXPECT_TRUE(log_contains("  Flagged as FullCollide"));
    EXPECT_TRUE(log_contains("  READ LINE -- MESH BLADE TEXTURE1 SHINY PAPERDOLL"));
    EXPECT_TRUE(log_contains("Loaded SPADE as object template 0"));
    // Textures and icon are optional: their absence is no warning.
    EXPECT_EQ(t->icon_texture, 0u);
    EXPECT_FALSE(log_contains("Warn :"));
}

TEST(Template, StackLimitsMetalsAndMaterialNumbersAreBounded) {
    ObjectWorld world;
    write_kind("A", "INVENTORYSTACKABLE\nTERRAINCOLLECT 24 5\n");
    write_kind("B", "INVENTORYSTACKABLE 0\nTERRAINCOLLECT 64 5\nTERRAINMODEL 64\nTERRAINMODEL -1\n");
    write_kind("C", "INVENTORYSTACKABLE -7\nTERRAINCOLLECT 25 255\n");
    write_kind("D", "INVENTORYSTACKABLE 70000\nTERRAINCOLLECT 26 99999999999\n");
    write_kind("E", "INVENTORYSTACKABLE 12\n");
    load_kinds({"A", "B", "C", "D", "E"});
    EXPECT_EQ(template_get_by_name("A")->max_inventory_stack_count, 100);
    EXPECT_EQ(template_get_by_name("B")->max_inventory_stack_count, 1);
    EXPECT_EQ(template_get_by_name("C")->max_inventory_stack_count, 1);
    EXPECT_EQ(template_get_by_name("D")->max_inventory_stack_count, 65535);
    EXPECT_EQ(template_get_by_name("E")->max_inventory_stack_count, 12);
    EXPECT_EQ(template_get_by_name("E")->inventory_stackable, 1);
    EXPECT_EQ(voxel_material_template[24], template_get_by_name("A"));
    EXPECT_EQ(voxel_material_metal[24], 5);
    // Material 64 is outside the tables; metals 255 and beyond have no entry and fall back.
    for (int m = 0; m < 64; m++) {
        if (m != 24 && m != 25 && m != 26) {
            EXPECT_EQ(voxel_material_template[m], nullptr) << m;
        }
    }
    for (int m = 0; m < 64; m++) EXPECT_EQ(voxel_material_object[m], nullptr) << m;
    EXPECT_EQ(voxel_material_metal[25], 25);
    EXPECT_EQ(voxel_material_metal[26], 26);
    EXPECT_EQ(template_get_by_name("B")->behave_like_terrain_model, 0);
}

TEST(Template, NumbersThatAreNotFiniteAreRefusedAndSizeStaysPositive) {
    ObjectWorld world;
    write_kind("NANS",
               "SIZE nan\nWEIGHT inf\nHITS -inf\nVALUE 1e999\nINVENTORYSCALE -4\nINVENTORYSCALE nan\n"
               "INHAND 0 0 nan 0 0 0\nINHAND 1 2 3\n");
    write_kind("ZERO", "SIZE 0\n");
    write_kind("NEG", "SIZE -3\n");
    load_kinds({"NANS", "ZERO", "NEG"});
    object *t = template_get_by_name("NANS");
    EXPECT_FLOAT_EQ(t->size, 1.0f);
    EXPECT_FLOAT_EQ(t->weight, 1.0f);
    EXPECT_FLOAT_EQ(t->hits, 0.0f);
    EXPECT_FLOAT_EQ(t->value, 0.0f);
    EXPECT_FLOAT_EQ(t->inventory_scale, 1.0f);
    EXPECT_EQ(t->inhand_animation, nullptr);
    EXPECT_GT(template_get_by_name("ZERO")->size, 0.0f);
    EXPECT_GT(template_get_by_name("NEG")->size, 0.0f);
    EXPECT_TRUE(log_contains("SIZE needs a finite number"));
}

TEST(Template, MeshesStopAtSixteenAndInHandFramesAtSixty) {
    ObjectWorld world;
    std::string text;
    for (int i = 0; i < 20; i++) text += "MESH PART" + std::to_string(i) + " TEXTURE3\n";
    for (int i = 0; i < 65; i++) text += "INHAND " + std::to_string(i) + " 0.5 0 1 2 3\n";
    write_kind("SWORD", text);
    write_kind("LANCE", "INHAND 9 8 7 6 5 4\n");
    load_kinds({"SWORD", "LANCE"});
    object *sword = template_get_by_name("SWORD");
    EXPECT_EQ(sword->num_mesh, 16);
    ASSERT_NE(sword->inhand_animation, nullptr);
    EXPECT_EQ(sword->inhand_animation, &object_template_inhand_animation[0]);
    EXPECT_EQ(sword->inhand_animation->number_of_frames, 60);
    EXPECT_FLOAT_EQ(sword->inhand_animation->frame[59][0], 59.0f);
    EXPECT_FLOAT_EQ(sword->inhand_animation->frame[0][1], 0.5f);
    EXPECT_TRUE(log_contains("    Saved as frame 59"));
    EXPECT_FALSE(log_contains("    Saved as frame 60"));
    // Each template has its own store slot.
    object *lance = template_get_by_name("LANCE");
    ASSERT_EQ(lance->inhand_animation, &object_template_inhand_animation[1]);
    EXPECT_EQ(lance->inhand_animation->number_of_frames, 1);
    EXPECT_FLOAT_EQ(lance->inhand_animation->frame[0][5], 4.0f);
}

TEST(Template, LookupIsByUpperCaseNameCutTo31CharactersAndTheTableHolds100) {
    ObjectWorld world;
    const std::string long_name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    mkdir("OBJECT/DEBRIS", 0755);
    template_load("debris");
    template_load(long_name.c_str());
    EXPECT_EQ(template_get_by_name("debris"), &object_template[0]);
    EXPECT_STREQ(object_template[1].name, long_name.substr(0, 31).c_str());
    EXPECT_EQ(template_get_by_name(long_name.c_str()), &object_template[1]);
    EXPECT_EQ(template_get_by_name((long_name.substr(0, 31) + "-OTHER").c_str()), &object_template[1]);
    EXPECT_EQ(template_get_by_name("NOSUCH"), nullptr);
    EXPECT_EQ(template_get_by_index(1), &object_template[1]);
    EXPECT_EQ(template_get_by_index(2), nullptr);
    // A missing folder still gives a template with the defaults.
    EXPECT_FLOAT_EQ(object_template[0].size, 1.0f);
    EXPECT_EQ(object_template[0].max_inventory_stack_count, 1);
    EXPECT_EQ(object_template[1].model_index, 1);
    for (int i = 2; i < 105; i++) template_load(("KIND" + std::to_string(i)).c_str());
    EXPECT_EQ(num_object_template, 100);
    EXPECT_EQ(template_get_by_name("KIND100"), nullptr);
    EXPECT_TRUE(log_contains("Trying to load object template for KIND104"));
}
