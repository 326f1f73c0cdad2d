// test_hostile_files.cpp — files that could hang or mislead the game: FIFOs and devices in place of
// its files, formats read strictly with the file named, a kind table too small for the folders, a
// world whose seed is lost, and a log that would grow without end
#include <gtest/gtest.h>

#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstring>

#include "display/display.h"
#include "game/kestrova.h"
#include "object_test_util.h"

namespace {

class HostileFiles : public ::testing::Test {
  protected:
    ObjectWorld world;
};

#ifndef _WIN32  // FIFOs and /dev/zero are POSIX things
TEST_F(HostileFiles, FifosAndDevicesAreRefusedAtOnceAndTheFileIsNamed) {
    mkdir("OBJECT/PIPE", 0755);
    ASSERT_EQ(mkfifo("OBJECT/PIPE/MODEL.IQE", 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", "OBJECT/PIPE/TEMPLATE.TXT"), 0);
    ASSERT_EQ(mkfifo("OBJECT/PIPE/ICON.TGA", 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", "OBJECT/PIPE/RECIPE.TXT"), 0);
    template_load("PIPE");
    template_load_recipe_file("PIPE");
    ASSERT_NE(template_get_by_name("PIPE"), nullptr);
    EXPECT_TRUE(log_contains("File OBJECT/PIPE/MODEL.IQE is not a regular file"));
    EXPECT_TRUE(log_contains("File OBJECT/PIPE/TEMPLATE.TXT is not a regular file"));
    EXPECT_TRUE(log_contains("File OBJECT/PIPE/RECIPE.TXT is not a regular file"));
    EXPECT_EQ(display_load_texture_file_rgba("OBJECT\\PIPE\\ICON.TGA", 0, 0), 0u);
    EXPECT_TRUE(log_contains("Could not load picture OBJECT/PIPE/ICON.TGA -- it is not a regular file"));

    // Settings from an endless device keep their defaults; a missing file says so in one line.
    ASSERT_EQ(symlink("/dev/zero", "ZERO.TXT"), 0);
    uint8_t level = global_log_level;
    load_setup("ZERO.TXT");
    EXPECT_EQ(global_log_level, level);
    EXPECT_TRUE(log_contains("File ZERO.TXT is not a regular file"));
    load_setup("NOSUCH.TXT");
    EXPECT_TRUE(log_contains("Setup file NOSUCH.TXT is missing; every setting keeps its default"));

    // A chunk file that is a FIFO is never read; the chunk is made afresh instead of hanging.
    ASSERT_EQ(mkfifo(chunk_path(30, 30).c_str(), 0644), 0);
    worldmap_setup(5, WORLD_NAME);
    chunkmap_load(30, 30);
    EXPECT_NE(chunk_map[30][30], nullptr);
    EXPECT_TRUE(log_contains("Chunk file WORLDS\\DEZORE\\030-030.DAT is damaged and is not a regular file"));
}
#endif

TEST_F(HostileFiles, FormatsAreReadStrictlyAndEveryComplaintNamesTheFile) {
    write_kind("STRICT", "TERRAINMODEL 1E30\nINVENTORYSTACKABLE 12abc\nSIZE 0.5x\nTERRAINCOLLECT 3 4.5\nWEIGHT 3\n");
    write_kind("BINARY", std::string("FULLCOLLIDE\n\0\x01\x02", 15));
    write_kind("MODELLED", "FULLCOLLIDE\n", "CRATE:3x NULL NULL NULL NULL NULL NULL NULL NULL NULL");
    write_text_file("OBJECT/MODELLED/MODEL.IQE", "# Inter-Quake Export of something\nmesh \"a\"\n");
    load_kinds({"STRICT", "BINARY", "MODELLED"});
    const object *strict = template_get_by_name("STRICT");
    ASSERT_NE(strict, nullptr);
    EXPECT_EQ(strict->behave_like_terrain_model, 0);
    EXPECT_EQ(strict->inventory_stackable, 1);
    EXPECT_EQ(strict->max_inventory_stack_count, 100);
    EXPECT_FLOAT_EQ(strict->size, 1.0f);
    EXPECT_FLOAT_EQ(strict->weight, 3.0f);
    EXPECT_EQ(voxel_material_template[3], nullptr);
    EXPECT_TRUE(log_contains("TERRAINMODEL needs a whole number -- line ignored in OBJECT\\STRICT\\TEMPLATE.TXT"));
    EXPECT_TRUE(log_contains("TERRAINCOLLECT needs a whole number"));
    EXPECT_TRUE(log_contains("SIZE needs a finite number -- line ignored in OBJECT\\STRICT\\TEMPLATE.TXT"));
    EXPECT_EQ(template_get_by_name("BINARY")->full_collide, 0);
    EXPECT_TRUE(log_contains("Template file OBJECT\\BINARY\\TEMPLATE.TXT is not a text file"));
    EXPECT_TRUE(log_contains("Recipe OBJECT\\MODELLED\\RECIPE.TXT is not used: position 0 (CRATE:3X) needs a whole"));
    EXPECT_EQ(global_model_data[template_get_by_name("MODELLED")->model_index], nullptr);
    EXPECT_TRUE(log_contains(std::string("ERROR: Did not find # Inter-Quake Export as the first line (") +
                             fix_path("OBJECT\\MODELLED\\MODEL.IQE") + ")"));
    EXPECT_TRUE(log_contains(std::string("File ") + fix_path("OBJECT\\STRICT\\MODEL.IQE") + " is missing"));
    // A model cut short in its last frame loads, but says so.
    write_text_file("CUT.IQE", "# Inter-Quake Export\njoint \"a\" -1\njoint \"b\" 0\npq 0 0 0 0 0 0 1\n"
                               "pq 0 0 0 0 0 0 1\nframe\npq 0 0 0 0 0 0 1\n");
    EXPECT_EQ(model_load_iqe_file("CUT.IQE", 7), 1);
    EXPECT_TRUE(log_contains("1 frames hold fewer joint poses than the model's 2 joints; the file may be cut short "
                             "(CUT.IQE)"));

    // Run-length encoded and colour-mapped pictures are refused, not read as garbage texels.
    for (uint8_t type : {10, 1}) {
        uint8_t header[18] = {0, (uint8_t)(type == 1 ? 1 : 0), type, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0};
        write_text_file("PIC.TGA", std::string((const char *)header, 18) + std::string(12, '\x10'));
        FILE *file = fopen("PIC.TGA", "rb");
        uint16_t w = 0, h = 0;
        EXPECT_EQ(display_decode_tga(file, 0, &w, &h), 0);
        fclose(file);
        EXPECT_NE(strstr(global_display_tga_problem, type == 10 ? "run-length" : "colour-mapped"), nullptr);
    }
}

TEST_F(HostileFiles, AFullKindTableKeepsTheNamedKindsAndSaysWhichWereLeftOut) {
    char name[32];
    for (int i = 0; i < 110; i++) {
        snprintf(name, sizeof(name), "EXTRA%03d", i);
        write_kind(name, "FULLCOLLIDE\n");
    }
    for (const char *kind : {"PLAYER", "ZOMBI", "BAR", "CATAPULT", "GOBLIN-CHAIN", "BOARD", "DUST"})
        write_kind(kind, "FULLCOLLIDE\n");
    global_log_level = 3;
    template_load_folders("OBJECT\\", nullptr);
    EXPECT_EQ(num_object_template, TEMPLATE_COUNT);
    for (const char *kind : {"PLAYER", "ZOMBI", "BAR", "CATAPULT", "GOBLIN-CHAIN", "BOARD", "DUST"})
        EXPECT_NE(template_get_by_name(kind), nullptr) << kind;
    EXPECT_EQ(template_left_out_count(), 17u);
    EXPECT_TRUE(log_contains("The table of 100 object kinds is full: 17 more kind folders were left out (EXTRA"));
}

TEST_F(HostileFiles, ALostSeedSavesTheWorldsOwnChunksButNoNewLand) {
    // A chunk saved earlier, then a seed file holding garbage.
    make_ground_chunk(25, 25);
    chunkmap_unload(25, 25);
    std::string saved = read_text_file(chunk_path(25, 25));
    write_text_file("WORLDS/" WORLD_NAME "/SEED.TXT", "garbage");
    worldmap_setup(99, WORLD_NAME);
    EXPECT_EQ(global_world_seed_lost, 1);
    EXPECT_EQ(read_text_file("WORLDS/" WORLD_NAME "/SEED.TXT"), "garbage");

    chunkmap_load(25, 25);
    voxel_set_xyz(1601, 1601, 10, 3, 0, 1);
    chunkmap_unload(25, 25);
    EXPECT_NE(read_text_file(chunk_path(25, 25)), saved) << "the world's own chunk is saved with its change";
    uint32_t unsaved = global_chunkmap_unsaved_new_land;
    make_ground_chunk(26, 25);  // new land
    chunkmap_unload(26, 25);
    struct stat info;
    EXPECT_NE(stat(chunk_path(26, 25).c_str(), &info), 0);
    EXPECT_EQ(global_chunkmap_unsaved_new_land, unsaved + 1);
    EXPECT_TRUE(log_contains("it is new land and the world's seed is not on disk"));

    // A missing seed beside saved chunks is the same loss: no new seed is written over it.
    remove("WORLDS/" WORLD_NAME "/SEED.TXT");
    worldmap_setup(98, WORLD_NAME);
    EXPECT_EQ(global_world_seed_lost, 1);
    EXPECT_NE(stat("WORLDS/" WORLD_NAME "/SEED.TXT", &info), 0);
}

TEST_F(HostileFiles, TheLogStopsTraceLinesAtItsLimitAndThenEverything) {
    global_log_detail_limit = 4000;
    close_logfile();
    open_logfile();
    for (int i = 0; i < 200; i++) log_message(5, "trace line %d with some words to fill the log", i);
    log_message(1, "an error after the limit");
    for (int i = 0; i < 200; i++) log_message(1, "error line %d with some words to fill the log", i);
    log_message(1, "the very last error");
    global_log_detail_limit = LOG_DETAIL_LIMIT;
    EXPECT_TRUE(log_contains("debug and trace lines stop here"));
    EXPECT_TRUE(log_contains("an error after the limit"));
    EXPECT_FALSE(log_contains("trace line 199"));
    EXPECT_TRUE(log_contains("nothing more is written to it in this game"));
    EXPECT_FALSE(log_contains("the very last error"));
    EXPECT_LT(global_log_bytes, 8000u + 400u);
}

}  // namespace
