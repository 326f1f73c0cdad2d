// test_object_file.cpp — object records in chunk files: exact bytes, what is left out, round trips
// of chunks with nested inventories, and damaged or hostile object lists
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "object_test_util.h"

static std::string f32(float v) {
    std::string s(4, '\0');
    memcpy(&s[0], &v, 4);
    return s;
}
static std::string u16(uint16_t v) { return std::string(1, (char)(v & 255)) + std::string(1, (char)(v >> 8)); }
static std::string zname(const std::string &name) { return name + std::string(1, '\0'); }
static const std::string end_marker = f32(0) + f32(0) + f32(0) + std::string(1, '\0');

// A record as the game writes it, with an inventory given as its bytes.
static std::string record(float x, float y, float z, const std::string &kind, const std::string &name,
                          uint8_t material, uint16_t stack, const std::string &inventory = "",
                          const float facing[4] = nullptr) {
    static const float upright[4] = {0, 0, 0, 1};
    if (!facing) facing = upright;
    std::string s = f32(x) + f32(y) + f32(z) + zname(kind) + zname(name);
    s += std::string(1, (char)material) + std::string(1, '\0') + std::string(1, '\1') + std::string(4, '\0');
    s += u16(stack) + u16(0) + u16(0) + f32(2.0f) + f32(0.0f);
    for (int i = 0; i < 4; i++) s += f32(facing[i]);
    return s + "<" + inventory + end_marker + std::string(1, '\0');
}

// Writes bytes into a scratch file and opens it for reading.
static FILE *open_bytes(const std::string &bytes) {
    write_text_file("objects.bin", bytes);
    return fopen("objects.bin", "rb");
}

class ObjectFile : public ::testing::Test {
  protected:
    void SetUp() override {
        write_kind("CRATE", "FULLCOLLIDE\nHITS 2\n");
        write_kind("DUST", "BEHAVELIKEDUST\n");
        write_kind("SPARK", "HITS 2\n");
        write_kind("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE", "FULLCOLLIDE\nHITS 2\n");
        load_kinds({"CRATE", "DUST", "SPARK", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE"});
        c = make_ground_chunk(25, 25);
    }
    object *spawn(const char *kind, object *holder, float x, float y, float z) {
        return object_spawn(template_get_by_name(kind), holder, 1, x, y, z);
    }
    std::string chunk_file() { return read_text_file(chunk_path(25, 25)); }
    // The bytes of a chunk file after its 4096 columns of flat stone.
    std::string objects_of(const std::string &file) { return file.substr(4096 * 4); }
    ObjectWorld world;
    chunk *c = nullptr;
};

TEST_F(ObjectFile, RecordsAreWrittenFieldByFieldWithOnlyFullCollideObjectsAndTheirInventories) {
    object *crate = spawn("CRATE", nullptr, 1600.5f, 1601.25f, 11.0f);
    crate->material = 4;
    object *inner = spawn("CRATE", crate, -80.0f, -80.0f, 0.0f);
    inner->inventory_stack_count = 7;
    object *spark = spawn("SPARK", nullptr, 1610.0f, 1610.0f, 11.0f);  // not full-collide: left out...
    spawn("CRATE", spark, 0.0f, 0.0f, 0.0f);                            // ...with its whole inventory
    local_player = spawn("CRATE", nullptr, 1620.0f, 1620.0f, 11.0f);    // never saved
    object *longest = spawn("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE", nullptr, 1630.0f, 1630.0f, 12.0f);
    strcpy(longest->name, "Abcdefghijklmnopqrstuvwxyzabcde");
    chunkmap_unload(25, 25);
    // The pile is written from its head: the newest object first; no end marker at the top level.
    std::string expected = record(1630.0f, 1630.0f, 12.0f, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE",
                                  "Abcdefghijklmnopqrstuvwxyzabcde", 0, 1) +
                           record(1600.5f, 1601.25f, 11.0f, "CRATE", "Crate", 4, 1,
                                  record(-80.0f, -80.0f, 0.0f, "CRATE", "Crate", 0, 7));
    std::string objects = objects_of(chunk_file());
    ASSERT_EQ(objects.size(), expected.size());
    EXPECT_TRUE(objects == expected);
    // A 31-character name takes exactly 32 bytes.
    EXPECT_EQ(objects[12 + 31], '\0');
    EXPECT_NE(objects[12 + 30], '\0');
}

TEST_F(ObjectFile, AChunkOfOnlyParticlesEndsAfterItsLastColumn) {
    spawn("SPARK", nullptr, 1600.5f, 1600.5f, 11.0f);
    chunkmap_unload(25, 25);
    EXPECT_EQ(chunk_file().size(), 4096u * 4u);
}

TEST_F(ObjectFile, ChunksWithNestedInventoriesReadBackInOrderAndSaveTheSameBytes) {
    object *outer = spawn("CRATE", nullptr, 1601.0f, 1602.0f, 11.0f);
    object *middle = spawn("CRATE", outer, -80.0f, -80.0f, 0.0f);
    spawn("CRATE", middle, -40.0f, -65.0f, 0.0f)->material = 9;
    spawn("CRATE", middle, 0.0f, -80.0f, 0.0f)->material = 8;
    spawn("CRATE", outer, 40.0f, -80.0f, 0.0f)->spin = 1234;
    object *second = spawn("CRATE", nullptr, 1603.0f, 1604.0f, 11.0f);
    second->hits = 0.5f;
    second->facing_xyzw[2] = 0.6f;
    second->facing_xyzw[3] = 0.8f;
    chunkmap_unload(25, 25);
    std::string first = chunk_file();

    chunkmap_load(25, 25);
    c = chunk_map[25][25];
    ASSERT_NE(c, nullptr);
    std::vector<object *> top = pile_objects(c->local_object_pile);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_FLOAT_EQ(top[0]->hits, 0.5f);
    EXPECT_FLOAT_EQ(top[0]->facing_xyzw[2], 0.6f);
    EXPECT_EQ(top[0]->delay, 1);
    std::vector<object *> held = pile_objects(top[1]->inventory_pile);
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0]->spin, 1234);  // the first item stays first
    std::vector<object *> deeper = pile_objects(held[1]->inventory_pile);
    ASSERT_EQ(deeper.size(), 2u);
    EXPECT_EQ(deeper[0]->material, 8);
    EXPECT_EQ(deeper[1]->material, 9);
    EXPECT_EQ(deeper[1]->current_pile, &held[1]->inventory_pile);
    EXPECT_FLOAT_EQ(deeper[1]->position.x, -40.0f);
    chunkmap_unload(25, 25);
    EXPECT_TRUE(chunk_file() == first);
}

TEST_F(ObjectFile, UnknownKindsAreKeptAsTheyAreAndRecordsNoChunkCouldHoldAreDamage) {
    const float bad_facing[4] = {NAN, 0, 0, 1};
    std::string removed = record(1601.0f, 1601.0f, 11.0f, "REMOVED", "Removed", 1, 1);
    std::string list =
        removed +
        // In a neighbour that is not resident: stays in the chunk being read.
        record(1700.0f, 1601.0f, 11.0f, "CRATE", "Crate", 2, 1, record(0, 0, 0, "CRATE", "Crate", 5, 1)) +
        // A position that is not a number, and one far off the map: no chunk writes those.
        record(NAN, 1601.0f, 11.0f, "CRATE", "Crate", 3, 1, record(0, 0, 0, "CRATE", "Crate", 6, 1)) +
        record(1e30f, -1e30f, 11.0f, "CRATE", "Crate", 4, 1) +
        record(1602.0f, 1602.0f, 11.0f, "CRATE", "Crate", 7, 1, "", bad_facing);
    FILE *file = open_bytes(list);
    EXPECT_EQ(object_import_chunk(file, c), 0);
    fclose(file);
    std::vector<object *> objects = pile_objects(c->local_object_pile);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_FLOAT_EQ(objects[0]->position.x, 1700.0f);
    ASSERT_NE(objects[0]->inventory_pile, nullptr);
    EXPECT_EQ(objects[0]->inventory_pile->material, 5);
    EXPECT_EQ(objects[1]->material, 7);
    EXPECT_EQ(objects[1]->facing_xyzw[0], 0.0f);
    EXPECT_EQ(objects[1]->facing_xyzw[3], 1.0f);
    EXPECT_FLOAT_EQ(objects[1]->hits, 2.0f);
    // The unknown kind became nothing and is kept whole; the item inside the damaged record did
    // not turn up in the world.
    ASSERT_EQ(c->kept_objects_size, removed.size());
    EXPECT_TRUE(std::string((const char *)c->kept_objects, c->kept_objects_size) == removed);
    EXPECT_TRUE(log_contains("Objects of kind REMOVED in WORLDS\\DEZORE\\025-025.DAT are kept as they are"));
    EXPECT_TRUE(log_contains("a record lies far from its chunk"));
}

TEST_F(ObjectFile, NestingIsBoundedAndDamagedListsNeverCostTheTerrain) {
    // 40 crates, each inside the one before: sixteen levels of inventory are made, the rest is
    // read past, and the record after the chain is still read.
    std::string chain;
    for (int i = 0; i < 40; i++) chain = record(1601.0f, 1601.0f, 11.0f, "CRATE", "Crate", (uint8_t)i, 1, chain);
    FILE *file = open_bytes(chain + record(1605.0f, 1601.0f, 11.0f, "CRATE", "Crate", 99, 1));
    EXPECT_EQ(object_import_chunk(file, c), 1);
    fclose(file);
    ASSERT_EQ(pile_length(c->local_object_pile), 2);
    int depth = 0;
    for (object *o = c->local_object_pile; o; o = o->inventory_pile) depth++;
    EXPECT_EQ(depth, 1 + OBJECT_MAX_NESTING);
    EXPECT_EQ(c->local_object_pile->next->material, 99);

    // A chunk file whose object list is cut short, or garbled, keeps every column.
    chunkmap_unload(25, 25);
    std::string file_bytes = chunk_file();
    std::string pillars = file_bytes.substr(0, 4096 * 4);
    for (const std::string &tail :
         {file_bytes.substr(0, file_bytes.size() - 30), pillars + std::string(20, '<'), pillars + "\x01\x02\x03"}) {
        write_text_file(chunk_path(25, 25), tail);
        chunkmap_load(25, 25);
        ASSERT_NE(chunk_map[25][25], nullptr);
        for (int x = 0; x < 64; x++)
            for (int y = 0; y < 64; y++) ASSERT_EQ(pillar_words(chunk_map[25][25]->pillar[x][y]),
                                                   (std::vector<uint16_t>{run_word(3, 10)}));
        chunkmap_unload(25, 25);
    }
    // A record that lacks its opener is reported.
    std::string broken = record(1601.0f, 1601.0f, 11.0f, "CRATE", "Crate", 1, 1);
    broken[broken.size() - 15] = 'x';
    chunkmap_load(25, 25);
    file = open_bytes(broken);
    EXPECT_EQ(object_import_chunk(file, chunk_map[25][25]), 0);
    fclose(file);
    EXPECT_TRUE(log_contains("Had trouble reading object from file -- < character expected"));
}
