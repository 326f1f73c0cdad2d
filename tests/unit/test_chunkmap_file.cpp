// test_chunkmap_file.cpp — chunk files: names, order, round trips, crash-safe saving, damaged files
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "foundation/random.h"
#include "terrain_test_util.h"
#include "world/worldmap.h"
#include "foundation/settings.h"

static bool file_exists(const std::string &path) {
    FILE *file = fopen(path.c_str(), "rb");
    if (!file) return false;
    fclose(file);
    return true;
}

// A column's records in file form: the words as written, single blocks with their extra bytes.
static std::string column_bytes(const std::vector<uint16_t> &words) {
    std::string bytes;
    for (uint16_t word : words) {
        bytes.push_back((char)(word & 255));
        bytes.push_back((char)(word >> 8));
        if (word & VOXEL_SINGLE_FLAG) bytes.append("\x65\x65\xC7\x40\x00", 5);
    }
    bytes.append(2, '\0');
    return bytes;
}

static std::string terminators(int columns) { return std::string((size_t)columns * 2, '\0'); }

// A chunk file holding the same column everywhere.
static std::string uniform_chunk_file(const std::vector<uint16_t> &words) {
    std::string bytes;
    for (int i = 0; i < 4096; i++) bytes += column_bytes(words);
    return bytes;
}

static void expect_same_pillar(const voxel *a, const voxel *b) {
    for (; a && b; a = a->next, b = b->next) {
        ASSERT_EQ(a->data, b->data);
        if (voxel_is_single(a)) {
            ASSERT_EQ(a->sunlight, b->sunlight);
            ASSERT_NEAR(a->nz, b->nz, 0.02f);
        }
    }
    ASSERT_EQ(a, nullptr);
    ASSERT_EQ(b, nullptr);
}

TEST(ChunkFile, NamesAreZeroPaddedInTheWorldFolder) {
    char name[CHUNKMAP_PATH_SIZE];
    chunkmap_file_name(name, sizeof(name), 7, 42);
    EXPECT_STREQ(name, "WORLDS\\DEZORE\\007-042.DAT");
#ifdef _WIN32
    EXPECT_STREQ(fix_path(name), "WORLDS\\DEZORE\\007-042.DAT");
#else
    EXPECT_STREQ(fix_path(name), "WORLDS/DEZORE/007-042.DAT");
#endif
}

TEST(ChunkFile, ColumnsAreWrittenRowByRowThenTheEmptyObjectList) {
    ScratchWorld world;
    make_resident_chunk(3, 4, [](int x, int y) {
        if (x == 1 && y == 0) return make_pillar({run_word(3, 10)});
        if (x == 0 && y == 1) return make_pillar({run_word(1, 2), single_word(10)}, 64);
        return (voxel *)nullptr;
    });
    chunkmap_unload(3, 4);
    EXPECT_EQ(chunk_map[3][4], nullptr);
    std::string bytes = read_text_file(chunk_path(3, 4));
    // Column (0,0) empty, then (1,0), then the rest of row 0, then (0,1), then the rest.
    std::string expected = terminators(1) + column_bytes({run_word(3, 10)}) + terminators(62) +
                           column_bytes({run_word(1, 2), single_word(10)}) + terminators(4096 - 65);
    ASSERT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(bytes == expected);
    EXPECT_TRUE(log_contains("Saving chunk WORLDS\\DEZORE\\003-004.DAT"));
    EXPECT_TRUE(log_contains("  Chunk saved"));
    // No temporary file is left behind.
    EXPECT_FALSE(file_exists(chunk_path(3, 4) + ".TMP"));
}

// A record-for-record copy of a column.
static voxel *copy_pillar(const voxel *v) {
    voxel *bottom = nullptr, *top = nullptr;
    for (; v; v = v->next) {
        voxel *c = voxel_create(0, 1);
        *c = *v;
        c->next = nullptr;
        if (top)
            top->next = c;
        else
            bottom = c;
        top = c;
    }
    return bottom;
}

TEST(ChunkFile, GeneratedChunkRoundTripsByteForByte) {
    ScratchWorld world;
    random_setup();
    worldmap_setup(5150, WORLD_NAME);
    worldmap_generate_chunk(25, 25);
    ASSERT_NE(chunk_map[25][25], nullptr);
    // Keep copies of the generated columns to compare after loading.
    std::vector<voxel *> generated;
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) generated.push_back(copy_pillar(chunk_map[25][25]->pillar[x][y]));
    uint32_t live_before = voxel_pool_live_count();

    chunkmap_unload(25, 25);
    std::string first = read_text_file(chunk_path(25, 25));
    ASSERT_GT(first.size(), 8192u);
    chunkmap_load(25, 25);
    ASSERT_NE(chunk_map[25][25], nullptr);
    EXPECT_EQ(voxel_pool_live_count(), live_before);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) expect_same_pillar(chunk_map[25][25]->pillar[x][y], generated[y * 64 + x]);
    EXPECT_TRUE(log_contains("Loading chunk WORLDS\\DEZORE\\025-025.DAT at "));
    EXPECT_FALSE(log_contains("Error:"));

    chunkmap_unload(25, 25);
    std::string second = read_text_file(chunk_path(25, 25));
    EXPECT_TRUE(first == second);
    for (voxel *v : generated) voxel_destroy(v);
}

TEST(ChunkFile, MissingFileGeneratesAndExistingFileIsNeverRegenerated) {
    ScratchWorld world;
    chunkmap_load(24, 24);
    ASSERT_NE(chunk_map[24][24], nullptr);
    EXPECT_TRUE(log_contains("  Chunk generated"));
    EXPECT_NE(chunkmap_get_xy(24 * 64, 24 * 64), nullptr);

    // A chunk file of one-block crystal columns is read as it is.
    write_text_file(chunk_path(23, 24), uniform_chunk_file({run_word(34, 1)}));
    chunkmap_load(23, 24);
    ASSERT_NE(chunk_map[23][24], nullptr);
    for (int x = 23 * 64; x < 24 * 64; x += 7)
        EXPECT_EQ(pillar_words(chunkmap_get_xy(x, 24 * 64 + 5)), std::vector<uint16_t>{run_word(34, 1)});
    // Loading a resident chunk or one off the map does nothing.
    chunk *resident = chunk_map[23][24];
    chunkmap_load(23, 24);
    EXPECT_EQ(chunk_map[23][24], resident);
    chunkmap_load(-1, 3);
    chunkmap_load(50, 3);
    chunkmap_unload(-1, 3);
    chunkmap_unload(3, 50);
}

TEST(ChunkFile, UnloadReleasesEveryRecord) {
    ScratchWorld world;
    random_setup();
    worldmap_setup(5150, WORLD_NAME);  // a seed whose start chunk is land
    uint32_t live = voxel_pool_live_count();
    worldmap_generate_chunk(25, 25);  // land, so columns hold several records
    EXPECT_GT(voxel_pool_live_count(), live + 4096);
    chunkmap_unload(25, 25);
    EXPECT_EQ(voxel_pool_live_count(), live);
    chunkmap_unload(25, 25);  // no longer resident: nothing happens
}

TEST(ChunkFile, CrashBetweenWriteAndRenameLeavesTheOldFileIntact) {
    ScratchWorld world;
    make_resident_chunk(5, 5, [](int, int) { return make_pillar({run_word(3, 4)}); });
    chunkmap_unload(5, 5);
    std::string old_bytes = read_text_file(chunk_path(5, 5));

    make_resident_chunk(5, 5, [](int, int) { return make_pillar({run_word(1, 9), single_word(10)}); });
    uint32_t live = voxel_pool_live_count();
    size_t log_length = log_lines().size();
    global_chunkmap_save_fault = 2;
    chunkmap_unload(5, 5);
    global_chunkmap_save_fault = 0;
    EXPECT_EQ(chunk_map[5][5], nullptr);
    EXPECT_LT(voxel_pool_live_count(), live);
    EXPECT_TRUE(read_text_file(chunk_path(5, 5)) == old_bytes);
    std::vector<std::string> lines = log_lines();
    for (size_t i = log_length; i < lines.size(); i++) EXPECT_EQ(lines[i].find("Chunk saved"), std::string::npos);

    // After the "crash" the chunk comes back as last saved; the stale temporary file is ignored
    // and the next save replaces it.
    chunkmap_load(5, 5);
    EXPECT_EQ(pillar_words(chunkmap_get_xy(5 * 64 + 3, 5 * 64 + 3)), std::vector<uint16_t>{run_word(3, 4)});
    chunkmap_unload(5, 5);
    EXPECT_TRUE(read_text_file(chunk_path(5, 5)) == old_bytes);
    EXPECT_FALSE(file_exists(chunk_path(5, 5) + ".TMP"));
}

TEST(ChunkFile, FailedSaveIsLoggedKeepsTheOldFileAndFreesTheChunk) {
    ScratchWorld world;
    make_resident_chunk(6, 5, [](int, int) { return make_pillar({run_word(3, 4)}); });
    chunkmap_unload(6, 5);
    std::string old_bytes = read_text_file(chunk_path(6, 5));
    uint32_t live = voxel_pool_live_count();

    make_resident_chunk(6, 5, [](int, int) { return make_pillar({run_word(7, 4)}); });
    global_chunkmap_save_fault = 1;
    chunkmap_unload(6, 5);
    global_chunkmap_save_fault = 0;
    EXPECT_EQ(chunk_map[6][5], nullptr);
    EXPECT_EQ(voxel_pool_live_count(), live);
    EXPECT_TRUE(read_text_file(chunk_path(6, 5)) == old_bytes);
    EXPECT_TRUE(log_contains("Error:Could not save chunk WORLDS\\DEZORE\\006-005.DAT -- cannot create the file"));
    EXPECT_TRUE(log_contains("the previous file is kept"));
    EXPECT_EQ(global_chunkmap_failed_saves, 1u);
}

TEST(ChunkFile, FailedSavesAtExitSayWhatIsLostAndAreCounted) {
    ScratchWorld world;
    make_resident_chunk(6, 5, [](int, int) { return make_pillar({run_word(3, 4)}); });
    chunkmap_unload(6, 5);
    make_resident_chunk(6, 5, [](int, int) { return make_pillar({run_word(7, 4)}); });
    make_resident_chunk(7, 5, [](int, int) { return make_pillar({run_word(7, 4)}); });
    make_resident_chunk(8, 5, [](int, int) { return make_pillar({run_word(7, 4)}); });
    global_chunkmap_save_fault = 1;
    chunkmap_unload(8, 5);  // during play
    chunkmap_unload_everything();
    global_chunkmap_save_fault = 0;
    // A chunk never saved before has no previous file to keep.
    EXPECT_TRUE(log_contains("Error:Could not save chunk WORLDS\\DEZORE\\007-005.DAT -- cannot create the file: "
                             "Permission denied; it was never saved before, so it will be generated afresh"));
    EXPECT_FALSE(log_contains("007-005.DAT -- cannot create the file: Permission denied; the previous file is kept"));
    EXPECT_TRUE(log_contains("Error:Could not save chunk WORLDS\\DEZORE\\006-005.DAT -- cannot create the file: "
                             "Permission denied; the previous file is kept"));
    EXPECT_TRUE(log_contains("Error:Could not save 2 of 2 chunks at exit; their changes since they were last saved "
                             "are lost"));
    EXPECT_TRUE(log_contains("Error:1 chunks could not be saved earlier in this game"));
    EXPECT_EQ(global_chunkmap_failed_saves, 3u);
    EXPECT_EQ(global_chunkmap_failed_saves_at_exit, 2u);
}

TEST(ChunkFile, SavingWithoutAWorldFolderFailsCleanly) {
    ScratchWorld world;
    std::error_code error;
    std::filesystem::remove_all("WORLDS", error);
    ASSERT_FALSE(error);
    uint32_t live = voxel_pool_live_count();
    make_resident_chunk(1, 1, [](int, int) { return make_pillar({run_word(3, 4)}); });
    chunkmap_unload(1, 1);
    EXPECT_EQ(chunk_map[1][1], nullptr);
    EXPECT_EQ(voxel_pool_live_count(), live);
    EXPECT_TRUE(log_contains("Error:Could not save chunk WORLDS\\DEZORE\\001-001.DAT -- cannot create the file: "
                             "No such file or directory"));
}

TEST(ChunkFile, TruncatedFileKeepsReadableColumnsRebuildsTheRestAndKeepsTheEvidence) {
    ScratchWorld world;
    // Row 0 complete, then the file stops inside column (0, 1).
    std::string bytes;
    for (int x = 0; x < 64; x++) bytes += column_bytes({run_word(34, 1), run_word(3, (uint16_t)(x + 1))});
    bytes += std::string("\xA2\x00\x03", 3);
    write_text_file(chunk_path(25, 25), bytes);

    chunkmap_load(25, 25);
    ASSERT_NE(chunk_map[25][25], nullptr);
    for (int x = 0; x < 64; x++)
        EXPECT_EQ(pillar_words(chunkmap_get_xy(1600 + x, 1600)),
                  (std::vector<uint16_t>{run_word(34, 1), run_word(3, (uint16_t)(x + 1))}));
    // Column (0, 1) lost its end with the file; the columns after it were unreadable and are
    // rebuilt from the world's terrain.
    EXPECT_EQ(pillar_words(chunkmap_get_xy(1600, 1601)), std::vector<uint16_t>{run_word(34, 1)});
    for (int y = 2; y < 64; y += 9) EXPECT_NE(chunkmap_get_xy(1600 + 5, 1600 + y), nullptr);
    // The first unreadable column is named, the other 4,030 are counted in one line.
    EXPECT_TRUE(log_contains("Error:Error reading 1, 1 of file WORLDS\\DEZORE\\025-025.DAT"));
    EXPECT_TRUE(log_contains("Error:Error reading 4030 more columns of file WORLDS\\DEZORE\\025-025.DAT"));
    EXPECT_FALSE(log_contains("Error reading 63, 63 of"));
    EXPECT_FALSE(log_contains("Error reading 0, 1 of"));
    EXPECT_TRUE(log_contains("Error:Chunk file WORLDS\\DEZORE\\025-025.DAT is damaged; a copy is kept as "
                             "WORLDS\\DEZORE\\025-025.BAD0"));
    EXPECT_STREQ(global_chunkmap_damaged_copy, "WORLDS\\DEZORE\\025-025.BAD0");
    EXPECT_TRUE(read_text_file("WORLDS/DEZORE/025-025.BAD0") == bytes);

    // Loading the same damaged file again never overwrites the first copy.
    chunk_destroy(chunk_map[25][25]);
    chunk_map[25][25] = nullptr;
    write_text_file("WORLDS/DEZORE/025-025.BAD0", "earlier evidence");
    chunkmap_load(25, 25);
    EXPECT_EQ(read_text_file("WORLDS/DEZORE/025-025.BAD0"), "earlier evidence");
    EXPECT_TRUE(read_text_file("WORLDS/DEZORE/025-025.BAD1") == bytes);

    // The next save writes a good file that reads back without damage.
    chunkmap_unload(25, 25);
    chunkmap_load(25, 25);
    EXPECT_STREQ(global_chunkmap_damaged_copy, "");
    EXPECT_EQ(pillar_words(chunkmap_get_xy(1600 + 7, 1600)),
              (std::vector<uint16_t>{run_word(34, 1), run_word(3, 8)}));
    EXPECT_FALSE(file_exists("WORLDS/DEZORE/025-025.BAD2"));
}

TEST(ChunkFile, EmptyFileIsDamageNotAHoleInTheWorld) {
    ScratchWorld world;
    write_text_file(chunk_path(25, 24), "");
    chunkmap_load(25, 24);
    for (int x = 1600; x < 1664; x += 13)
        for (int y = 1536; y < 1600; y += 11) EXPECT_NE(chunkmap_get_xy(x, y), nullptr);
    EXPECT_TRUE(file_exists("WORLDS/DEZORE/025-024.BAD0"));
}

// Reads a file whose column (0, 0) is the given bytes and every other column one crystal block.
static void load_with_first_column(const std::string &first) {
    std::string bytes = first;
    for (int i = 1; i < 4096; i++) bytes += column_bytes({run_word(34, 1)});
    write_text_file(chunk_path(0, 0), bytes);
    chunkmap_load(0, 0);
}

static void expect_other_columns_intact() {
    for (int x = 0; x < 64; x += 9)
        for (int y = 1; y < 64; y += 7)
            ASSERT_EQ(pillar_words(chunkmap_get_xy(x, y)), std::vector<uint16_t>{run_word(34, 1)});
}

TEST(ChunkFile, ZeroLengthRunsAreDropped) {
    ScratchWorld world;
    load_with_first_column(column_bytes({run_word(34, 1), 0x0003, run_word(3, 5), 0x0001}));
    EXPECT_EQ(pillar_words(chunkmap_get_xy(0, 0)), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 5)}));
    expect_other_columns_intact();
    EXPECT_TRUE(log_contains("Error:Dropped runs of length 0 in column 0, 0 of file"));
    EXPECT_TRUE(file_exists("WORLDS/DEZORE/000-000.BAD0"));
}

TEST(ChunkFile, OvertallColumnIsCutAt999AndTheFileStaysInStep) {
    ScratchWorld world;
    std::vector<uint16_t> tall = {run_word(3, 511), run_word(1, 511), single_word(10)};
    for (int i = 0; i < 20; i++) tall.push_back(run_word(3, 511));
    load_with_first_column(column_bytes(tall));
    EXPECT_EQ(pillar_words(chunkmap_get_xy(0, 0)), (std::vector<uint16_t>{run_word(3, 511), run_word(1, 488)}));
    EXPECT_EQ(voxel_height_xy(0, 0, 0), 998);
    expect_other_columns_intact();
    EXPECT_TRUE(log_contains("Error:Column 0, 0 of file WORLDS\\DEZORE\\000-000.DAT is taller than 999 blocks; cut"));

    // A column exactly 999 tall is whole.
    chunk_destroy(chunk_map[0][0]);
    chunk_map[0][0] = nullptr;
    load_with_first_column(column_bytes({run_word(3, 511), run_word(1, 487), single_word(10)}));
    EXPECT_EQ(voxel_height_xy(0, 0, 0), 998);
    EXPECT_EQ(voxel_material(chunkmap_get_xyz(0, 0, 998)), 10);
}

TEST(ChunkFile, AirOnTopIsRemovedAndAnAllAirColumnIsRebuilt) {
    ScratchWorld world;
    load_with_first_column(column_bytes({run_word(34, 1), run_word(0, 4), run_word(3, 2), run_word(0, 9)}) +
                           column_bytes({run_word(0, 7)}));
    EXPECT_EQ(pillar_words(chunkmap_get_xy(0, 0)),
              (std::vector<uint16_t>{run_word(34, 1), run_word(0, 4), run_word(3, 2)}));
    EXPECT_NE(chunkmap_get_xy(1, 0), nullptr);
    EXPECT_TRUE(log_contains("Error:Removed air from the top of column 0, 0 of file WORLDS\\DEZORE\\000-000.DAT"));
    EXPECT_TRUE(log_contains("Error:Removed air from the top of 1 more column of file WORLDS\\DEZORE\\000-000.DAT"));
    EXPECT_TRUE(file_exists("WORLDS/DEZORE/000-000.BAD0"));
}

TEST(ChunkFile, LoadingStopsColumnsCleanlyWhenMemoryRunsOut) {
    ScratchWorld world;
    write_text_file(chunk_path(0, 0), uniform_chunk_file({run_word(34, 1), run_word(3, 4)}));
    global_voxel_allocation_limit = voxel_pool_live_count() + 100;
    chunkmap_load(0, 0);
    global_voxel_allocation_limit = 0;
    ASSERT_NE(chunk_map[0][0], nullptr);
    // Every column that was built is a valid one; the pool never went past its limit.
    int columns = 0;
    for (int x = 0; x < 64; x++) {
        for (int y = 0; y < 64; y++) {
            for (voxel *v = chunkmap_get_xy(x, y); v; v = v->next) ASSERT_GT(voxel_length(v), 0);
            if (chunkmap_get_xy(x, y)) columns++;
        }
    }
    EXPECT_GT(columns, 0);
    EXPECT_LE(voxel_pool_live_count(), 102u);
}

TEST(ChunkFile, ObjectListAfterTheColumnsIsReadAsItsEndMarker) {
    ScratchWorld world;
    // An end marker written out (13 bytes) reads the same as the end of the file.
    write_text_file(chunk_path(0, 0), uniform_chunk_file({run_word(34, 1)}) + std::string(13, '\0'));
    chunkmap_load(0, 0);
    expect_other_columns_intact();
    EXPECT_FALSE(log_contains("Error:"));
    EXPECT_FALSE(log_contains("Warn :"));
    EXPECT_FALSE(file_exists("WORLDS/DEZORE/000-000.BAD0"));
}

// Where the given number of columns of a chunk file end.
static size_t offset_after_columns(const std::string &bytes, int columns) {
    size_t at = 0;
    for (int column = 0; column < columns && at + 1 < bytes.size();) {
        uint16_t word = (uint16_t)((uint8_t)bytes[at] | ((uint8_t)bytes[at + 1] << 8));
        at += 2;
        if (word == 0) {
            column++;
        } else if (word & VOXEL_SINGLE_FLAG) {
            at += 5;
            if ((uint8_t)bytes[at - 1] & 0x80) at += 4;
        }
    }
    return at;
}

// Seeds the shared random sequence so that the next chunk generated draws no tree seed and no
// ore pocket: its columns then depend on the world's seed alone, as rebuilt ones do.
static void seed_a_chunk_without_trees_or_ores(void) {
    for (int32_t k = 1; k < 100000; k++) {
        random_seed(k);
        if ((int)random_range(0.0f, 5.0f) != 0) continue;
        random_number();
        if ((int)random_range(0.0f, 10.0f) != 0) continue;
        random_seed(k);
        return;
    }
    FAIL() << "no seed found";
}

TEST(ChunkFile, RepairedChunkIsTheGeneratedOneWhereverColumnsWereLost) {
    ScratchWorld world;
    random_setup();
    voxel_geometry_setup();
    global_log_level = 2;
    worldmap_setup(5150, WORLD_NAME);
    seed_a_chunk_without_trees_or_ores();
    worldmap_generate_chunk(25, 25);
    chunkmap_unload(25, 25);
    const std::string generated = read_text_file(chunk_path(25, 25));

    // Emptied, or cut after half its columns: every lost column comes back as generation made it,
    // edge materials included, and the repaired file is the generated one byte for byte.
    const size_t cuts[] = {0, offset_after_columns(generated, 2048)};
    for (size_t cut : cuts) {
        write_text_file(chunk_path(25, 25), generated.substr(0, cut));
        chunkmap_load(25, 25);
        chunkmap_unload(25, 25);
        std::string repaired = read_text_file(chunk_path(25, 25));
        EXPECT_EQ(repaired.size(), generated.size()) << "cut at " << cut;
        EXPECT_TRUE(repaired == generated) << "cut at " << cut;
    }
}

TEST(ChunkFile, ColumnsThatFailThePillarCheckAreMergedOrRebuilt) {
    ScratchWorld world;
    // Column (0, 0): two stone runs the game would have merged. Column (1, 0): a single block whose
    // stored normal (1.05, 0, 0) no file byte can hold once read.
    std::string bytes = column_bytes({run_word(34, 1), run_word(3, 3), run_word(3, 4)});
    bytes += std::string("\x22\x00", 2) + std::string("\x4A\x92\xCD\x64\x64\x40\x00", 7) + std::string(2, '\0');
    for (int i = 2; i < 4096; i++) bytes += column_bytes({run_word(34, 1)});
    write_text_file(chunk_path(0, 0), bytes);
    chunkmap_load(0, 0);
    EXPECT_EQ(pillar_words(chunkmap_get_xy(0, 0)), (std::vector<uint16_t>{run_word(34, 1), run_word(3, 7)}));
    EXPECT_TRUE(log_contains("Error:Merged runs of one material in column 0, 0 of file WORLDS\\DEZORE\\000-000.DAT"));
    EXPECT_TRUE(log_contains("Error:Column 1, 0 of file WORLDS\\DEZORE\\000-000.DAT is unsound (normal out of range"));
    for (int x = 0; x < 64; x++)
        for (int y = 0; y < 64; y++) ASSERT_TRUE(voxel_check_pillar_xy(x, y)) << x << ", " << y << ": "
                                                                              << global_voxel_check_problem;
    EXPECT_TRUE(file_exists("WORLDS/DEZORE/000-000.BAD0"));

    // What is saved back holds no normal byte beyond 200 and reads back clean.
    chunkmap_unload(0, 0);
    chunkmap_load(0, 0);
    EXPECT_STREQ(global_chunkmap_damaged_copy, "");
}

TEST(ChunkFile, ZeroByteFileLogsOneLineAndACountNotThousands) {
    ScratchWorld world;
    write_text_file(chunk_path(25, 24), "");
    chunkmap_load(25, 24);
    int lines = 0;
    for (const std::string &line : log_lines())
        if (line.find("Error reading") != std::string::npos) lines++;
    EXPECT_EQ(lines, 2);
    EXPECT_TRUE(log_contains("Error:Error reading 0, 0 of file WORLDS\\DEZORE\\025-024.DAT"));
    EXPECT_TRUE(log_contains("Error:Error reading 4095 more columns of file WORLDS\\DEZORE\\025-024.DAT"));
}

TEST(ChunkFile, EndlessOrHugeDamagedFileIsNeverCopiedPastWhatAChunkFileHolds) {
    ScratchWorld world;
#ifndef _WIN32
    // A name leading to an endless device: read as damage, never copied, and the next save puts
    // a real file in the link's place. (Windows has no such device to link to.)
    ASSERT_EQ(symlink("/dev/zero", chunk_path(2, 2).c_str()), 0);
    chunkmap_load(2, 2);
    ASSERT_NE(chunk_map[2][2], nullptr);
    EXPECT_FALSE(file_exists("WORLDS/DEZORE/002-002.BAD0"));
    EXPECT_TRUE(log_contains("Error:Chunk file WORLDS\\DEZORE\\002-002.DAT is damaged and is not a regular file; "
                             "no copy of it is kept"));
    chunkmap_unload(2, 2);
    struct stat info;
    ASSERT_EQ(lstat(chunk_path(2, 2).c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
#endif

    // A regular file longer than any chunk file: only the first part is kept, once.
    global_chunkmap_file_limit = 4096;
    write_text_file(chunk_path(3, 2), std::string(100000, '\x01'));
    chunkmap_load(3, 2);
    EXPECT_EQ(read_text_file("WORLDS/DEZORE/003-002.BAD0"), std::string(4096, '\x01'));
    EXPECT_TRUE(log_contains("Error:Chunk file WORLDS\\DEZORE\\003-002.DAT is damaged and longer than any chunk file; "
                             "its first 4096 bytes are kept as WORLDS\\DEZORE\\003-002.BAD0"));
    // The same damage met again (the save failed, say) adds no second copy.
    chunk_destroy(chunk_map[3][2]);
    chunk_map[3][2] = nullptr;
    chunkmap_load(3, 2);
    EXPECT_FALSE(file_exists("WORLDS/DEZORE/003-002.BAD1"));
    EXPECT_STREQ(global_chunkmap_damaged_copy, "WORLDS\\DEZORE\\003-002.BAD0");
    EXPECT_TRUE(log_contains("Error:Chunk file WORLDS\\DEZORE\\003-002.DAT is damaged; a copy is kept already as "
                             "WORLDS\\DEZORE\\003-002.BAD0"));
    global_chunkmap_file_limit = CHUNKMAP_FILE_LIMIT;
}

// A stand-in object list: a count byte and that many bytes, written and read by the hooks.
static int hooked_piles_destroyed = 0;
static uint8_t write_three_objects(FILE *file, chunk *) {
    const unsigned char list[4] = {3, 'a', 'b', 'c'};
    return fwrite(list, 1, 4, file) == 4 ? 1 : 0;
}
static std::string hooked_import;
static uint8_t read_object_list(FILE *file, chunk *) {
    int count = fgetc(file);
    if (count == EOF) return 0;
    hooked_import.clear();
    for (int i = 0; i < count; i++) {
        int c = fgetc(file);
        if (c == EOF) return 0;
        hooked_import.push_back((char)c);
    }
    return 1;
}
static void count_pile_destroy(chunk *) { hooked_piles_destroyed++; }

TEST(ChunkFile, ObjectHooksWriteAndReadTheListAfterTheColumnsAndDestroyThePile) {
    ScratchWorld world;
    chunkmap_object_export_hook = write_three_objects;
    chunkmap_object_import_hook = read_object_list;
    chunkmap_pile_destroy_hook = count_pile_destroy;
    hooked_piles_destroyed = 0;
    hooked_import.clear();
    make_resident_chunk(3, 4, [](int, int) { return make_pillar({run_word(3, 10)}); });
    chunkmap_unload(3, 4);
    EXPECT_EQ(hooked_piles_destroyed, 1);
    EXPECT_EQ(read_text_file(chunk_path(3, 4)), uniform_chunk_file({run_word(3, 10)}) + "\x03" "abc");
    chunkmap_load(3, 4);
    chunkmap_object_export_hook = nullptr;
    chunkmap_object_import_hook = nullptr;
    chunkmap_pile_destroy_hook = nullptr;
    ASSERT_NE(chunk_map[3][4], nullptr);
    EXPECT_EQ(hooked_import, "abc");
    EXPECT_EQ(pillar_words(chunkmap_get_xy(200, 260)), (std::vector<uint16_t>{run_word(3, 10)}));
}
