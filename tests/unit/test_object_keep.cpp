// test_object_keep.cpp — nothing in a chunk's object list is lost: records of kinds not loaded, of
// the player and beyond the wake limit come back byte for byte, damaged lists keep every readable
// record and leave a copy as evidence, and a huge list wakes only as many objects as one chunk may
#include <gtest/gtest.h>

#include <cstring>

#include "display/display.h"
#include "object_test_util.h"
#include "objects/object_update.h"

namespace {

std::string f32(float v) {
    std::string s(4, '\0');
    memcpy(&s[0], &v, 4);
    return s;
}
const std::string end_marker = f32(0) + f32(0) + f32(0) + std::string(1, '\0');

// A record as the game writes it, with its inventory given as bytes.
std::string record(float x, float y, const std::string &kind, uint8_t material, const std::string &inventory = "") {
    std::string s = f32(x) + f32(y) + f32(11.0f) + kind + std::string(1, '\0') + "Thing" + std::string(1, '\0');
    s += std::string(1, (char)material) + std::string(1, '\0') + std::string(1, '\1') + std::string(4, '\0');
    s += std::string("\x01\x00\x00\x00\x00\x00", 6) + f32(2.0f) + f32(0.0f) + f32(0) + f32(0) + f32(0) + f32(1);
    return s + "<" + inventory + end_marker + std::string(1, '\0');
}

int log_count(const std::string &text) {
    int n = 0;
    for (const std::string &line : log_lines()) n += line.find(text) != std::string::npos ? 1 : 0;
    return n;
}

std::vector<int> pile_materials(object *pile) {
    std::vector<int> materials;
    for (object *o : pile_objects(pile)) materials.push_back(o->material);
    return materials;
}

class ObjectKeep : public ::testing::Test {
  protected:
    void SetUp() override {
        write_kind("CRATE", "FULLCOLLIDE\nHITS 2\n");
        write_kind("PLAYER", "FULLCOLLIDE\nSTATICSPHERE\n");
        write_kind("GHOST", "FULLCOLLIDE\n");
        load_kinds({"CRATE", "PLAYER"});
        make_ground_chunk(25, 25);
        chunkmap_unload(25, 25);
        pillars = read_text_file(chunk_path(25, 25));
    }
    // Writes the chunk file with the given object list and reads it in.
    chunk *load_with(const std::string &list) {
        write_text_file(chunk_path(25, 25), pillars + list);
        chunkmap_load(25, 25);
        return chunk_map[25][25];
    }
    std::string saved() {
        chunkmap_unload(25, 25);
        return read_text_file(chunk_path(25, 25));
    }
    ObjectWorld world;
    std::string pillars;
};

TEST_F(ObjectKeep, UnknownKindsThePlayerAndRecordsBeyondTheLimitRoundTripByteForByte) {
    std::string ghost_item = record(0, 0, "GHOST", 9, record(0, 0, "CRATE", 10));
    std::string list = record(1601, 1601, "CRATE", 1, record(0, 0, "CRATE", 2) + ghost_item) +
                       record(1602, 1601, "CRATE", 3) + record(1603, 1601, "GHOST", 4, record(0, 0, "CRATE", 5)) +
                       record(1604, 1601, "PLAYER", 6) + record(1605, 1601, "GHOST", 7);
    chunk *c = load_with(list);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(global_chunkmap_damaged_copy[0], 0);
    EXPECT_EQ(pile_materials(c->local_object_pile), (std::vector<int>{1, 3}));
    object *crate = c->local_object_pile;
    EXPECT_EQ(pile_materials(crate->inventory_pile), (std::vector<int>{2}));
    EXPECT_TRUE(std::string((const char *)crate->kept_records, crate->kept_records_size) == ghost_item);
    // One warning per kind and chunk, naming both; the player record wakes no second player.
    EXPECT_EQ(log_count("Objects of kind GHOST in WORLDS\\DEZORE\\025-025.DAT are kept as they are"), 1);
    EXPECT_TRUE(log_contains("A PLAYER record in WORLDS\\DEZORE\\025-025.DAT is kept"));
    EXPECT_EQ(local_player, nullptr);
    EXPECT_TRUE(saved() == pillars + list);

    // Beyond the wake limit the rest sleeps in the file and comes back the same.
    global_object_chunk_limit = 2;
    c = load_with(list);
    EXPECT_EQ(pile_materials(c->local_object_pile), (std::vector<int>{1}));
    EXPECT_TRUE(log_contains("holds more objects than the 2 one chunk wakes"));
    EXPECT_TRUE(saved() == pillars + list);

    // Once the kind is loaded again its objects come back to life.
    global_object_chunk_limit = OBJECT_CHUNK_LIMIT;
    template_load("GHOST");
    c = load_with(list);
    EXPECT_EQ(pile_materials(c->local_object_pile), (std::vector<int>{1, 3, 4, 7}));
    EXPECT_EQ(c->kept_objects_size, record(1604, 1601, "PLAYER", 6).size());
}

TEST_F(ObjectKeep, DamagedListsKeepEveryReadableRecordAndACopyAsEvidence) {
    std::vector<std::string> records;
    std::string list;
    for (int i = 1; i <= 7; i++) {
        records.push_back(record(1600.5f + (float)i, 1601, "CRATE", (uint8_t)i, i == 4 ? record(0, 0, "CRATE", 40) : ""));
        list += records.back();
    }
    std::string broken_opener = list;
    size_t third = records[0].size() + records[1].size();
    broken_opener[third + records[2].size() - 15] = 'x';
    struct damage {
        std::string bytes;
        std::vector<int> kept;
    } cases[] = {
        {list.substr(1), {2, 3, 4, 5, 6, 7}},                     // cut one byte in
        {broken_opener, {1, 2, 4, 5, 6, 7}},                     // one record garbled
        {list.substr(0, list.size() - 10), {1, 2, 3, 4, 5, 6}},  // cut inside the last record
        {list.substr(0, third) + std::string(20, '\xff') + list.substr(third), {1, 2, 3, 4, 5, 6, 7}},
    };
    for (const damage &d : cases) {
        for (const char *bad : {"WORLDS/DEZORE/025-025.BAD0", "WORLDS/DEZORE/025-025.BAD1"}) remove(bad);
        int logged = log_count("Had trouble reading object from file");
        chunk *c = load_with(d.bytes);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(pile_materials(c->local_object_pile), d.kept);
        EXPECT_GT(log_count("Had trouble reading object from file"), logged);
        ASSERT_NE(global_chunkmap_damaged_copy[0], 0);
        EXPECT_TRUE(read_text_file(fix_path(global_chunkmap_damaged_copy)) == pillars + d.bytes);
        // The next save holds what was readable, and it reads back cleanly.
        std::string first = saved();
        chunkmap_load(25, 25);
        EXPECT_EQ(global_chunkmap_damaged_copy[0], 0);
        EXPECT_EQ(pile_materials(chunk_map[25][25]->local_object_pile), d.kept);
        EXPECT_TRUE(saved() == first);
    }
    // Damage is logged every time the file is read, not just the first time.
    write_text_file(chunk_path(25, 25), pillars + broken_opener);
    int logged = log_count("Had trouble reading object from file");
    chunkmap_load(25, 25);
    chunkmap_reset();
    chunkmap_load(25, 25);
    EXPECT_EQ(log_count("Had trouble reading object from file"), logged + 2);
}

TEST_F(ObjectKeep, TenThousandObjectsWakeOnlyAsManyAsOneChunkMayAndAreAllSavedBack) {
    for (int cx = 24; cx <= 26; cx++)
        for (int cy = 24; cy <= 26; cy++)
            if (cx != 25 || cy != 25) make_ground_chunk(cx, cy);
    std::string list;
    for (int i = 0; i < 10000; i++) list += record(1601.0f + (float)(i % 60), 1601.0f + (float)(i / 200), "CRATE", 1);
    chunk *c = load_with(list);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(pile_length(c->local_object_pile), (int)OBJECT_CHUNK_LIMIT);
    // A world step over them ends, and what sleeps is saved back untouched.
    target_vector = {1620.0f, 1620.0f, 11.0f};
    object_update_all(1620.0f, 1620.0f, 9);
    EXPECT_EQ(saved().size(), (pillars + list).size());
}

}  // namespace
