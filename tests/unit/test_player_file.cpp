// test_player_file.cpp — the player kept with its world: a nested inventory saved, read back and
// saved again byte for byte; hostile player files refused with nothing changed; the file on disk
// written the safe way and a refused one kept aside; placing a player on free ground
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/input.h"
#include "object_test_util.h"
#include "objects/player_file.h"

namespace {

typedef std::vector<uint8_t> bytes;

class PlayerFile : public ::testing::Test {
  protected:
    void SetUp() override {
        write_kind("PLAYER", "FULLCOLLIDE\nSTATICSPHERE\nSIZE 0.9\nHITS 5\n");
        write_kind("PICK", "DIGRADIUS 1.5\n");
        write_kind("DEBRIS", "BEHAVELIKEDEBRIS\nINVENTORYSTACKABLE 10000\n");
        write_kind("BAG", "INVENTORYSTACKABLE 3\n");
        load_kinds({"PLAYER", "PICK", "DEBRIS", "BAG"});
        make_ground_chunk(25, 25);
        player_file_forget();
    }
    void TearDown() override { player_file_forget(); }

    object *spawn_player() {
        local_player = object_spawn(template_get_by_name("PLAYER"), nullptr, 300, 1600.5f, 1601.25f, 10.9f);
        return local_player;
    }
    static object *hold(object *holder, const char *kind, uint16_t stack, uint8_t material, float x, float y) {
        object *o = object_spawn(template_get_by_name(kind), holder, 1, x, y, 0.0f);
        o->inventory_stack_count = stack;
        o->material = material;
        object_inventory_orientation(o->facing_xyzw);
        return o;
    }
    // A player with a pick in hand, a stack of leaves and a bag holding a bag holding bark.
    object *carrying_player() {
        object *p = spawn_player();
        p->hits = 3.5f;
        p->spin = 1234;
        p->facing_xyzw[2] = 0.25f;
        p->facing_xyzw[3] = 0.968246f;
        object *bag = hold(p, "BAG", 2, 3, 40.0f, -80.0f);
        object *inner = hold(bag, "BAG", 1, 4, -80.0f, -80.0f);
        hold(inner, "DEBRIS", 777, 31, 0.0f, 15.0f);
        safe_string_copy(inner->name, "Small bag", OBJECT_NAME_SIZE, 0);
        hold(p, "DEBRIS", 9999, 32, -40.0f, -65.0f);
        hold(p, "PICK", 1, 3, -80.0f, -80.0f)->hits = 2.0f;
        return p;
    }
    static bytes encode(const object *p, const player_file_state &state) {
        uint8_t *data = nullptr;
        size_t size = 0;
        EXPECT_EQ(player_file_encode(p, &state, &data, &size), 1);
        bytes out(data, data + size);
        free(data);
        return out;
    }
    // Sets the closing checksum right, so a test reaches the checks behind it.
    static void seal(bytes &b) {
        uint32_t sum = player_file_checksum(b.data(), b.size() - 4);
        memcpy(&b[b.size() - 4], &sum, 4);
    }
    ObjectWorld world;
    player_file_state state = {70000, 1000, 30000, {0.0f, 0.0f, 0.0f}};
};

TEST_F(PlayerFile, ANestedInventorySavesReadsBackAndSavesAgainByteForByte) {
    object *p = carrying_player();
    bytes first = encode(p, state);
    object_destroy(p);
    object *q = spawn_player();
    q->position = vector{1700.0f, 1700.0f, 50.0f};

    ASSERT_EQ(player_file_decode(first.data(), first.size()), 1) << global_player_file_refusal;
    EXPECT_EQ(global_player_file.world_frame, 70000u);
    EXPECT_EQ(global_player_file.heading, 1000);
    EXPECT_EQ(global_player_file.pitch, 30000);
    EXPECT_FLOAT_EQ(global_player_file.position.y, 1601.25f);
    EXPECT_EQ(q->inventory_pile, nullptr) << "checking a file changes nothing";
    ASSERT_EQ(player_file_restore(q), 1);

    EXPECT_FLOAT_EQ(q->position.x, 1600.5f);
    EXPECT_FLOAT_EQ(q->hits, 3.5f);
    EXPECT_EQ(q->spin, 1234);
    std::vector<object *> items = pile_objects(q->inventory_pile);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_STREQ(items[0]->name, "Pick") << "the item in hand stays in hand";
    EXPECT_FLOAT_EQ(items[0]->hits, 2.0f);
    EXPECT_EQ(items[1]->inventory_stack_count, 9999);
    EXPECT_EQ(items[1]->material, 32);
    EXPECT_FLOAT_EQ(items[1]->position.y, -65.0f);
    object *inner = items[2]->inventory_pile;
    ASSERT_NE(inner, nullptr);
    EXPECT_STREQ(inner->name, "Small bag");
    ASSERT_NE(inner->inventory_pile, nullptr);
    EXPECT_EQ(inner->inventory_pile->inventory_stack_count, 777);
    EXPECT_EQ(inner->inventory_pile->current_pile, &inner->inventory_pile);

    EXPECT_EQ(encode(q, state), first);
    EXPECT_EQ(player_file_restore(q), 0) << "the kept bytes are used once";
}

TEST_F(PlayerFile, HostileFilesAreRefusedWithAReasonAndChangeNothing) {
    object *p = carrying_player();
    const bytes good = encode(p, state);
    object_destroy(p);
    object *q = spawn_player();

    // Every cut and every flipped byte is refused (the checksum catches what the structure does not).
    for (size_t n = 0; n < good.size(); n++)
        ASSERT_EQ(player_file_decode(good.data(), n), 0) << "cut to " << n;
    for (size_t i = 0; i < good.size(); i++) {
        bytes b = good;
        b[i] ^= 0x41;
        ASSERT_EQ(player_file_decode(b.data(), b.size()), 0) << "byte " << i;
    }
    EXPECT_STREQ(global_player_file_refusal, "its checksum does not match: it is damaged");

    // Sealed again, values the game never writes are still refused, each with its reason.
    const size_t record = 14, fields = record + 12 + 7 + 7;  // header, position and both names
    struct edit {
        size_t at;
        std::vector<uint8_t> value;
        const char *reason;
    } edits[] = {
        {0, {'P', 'L', 'A', 'X'}, "it is not a player file"},
        {4, {2, 0}, "it was written in a format this game does not know"},
        {12, {0xff, 0xff}, "its camera pitch is steeper than the game allows"},
        {record, {0, 0, 0xc0, 0x7f}, "the player stands off the map"},
        {record + 12, {'Z', 'O', 'M', 'B', 'I', 0}, "it holds no record of kind PLAYER"},
        {record + 12 + 7, {'P', 'l', 'a', 'y', 'e', 'r', 1}, "it holds a name that is not plain text"},
        {fields + 2, {2}, "it holds a flag that is neither 0 nor 1"},
        {fields + 13, {0, 0, 0x80, 0x7f}, "it holds a number that is not a number"},
        {fields + 21, {0, 0, 0x80, 0x40}, "it holds a facing that is no rotation"},
        {fields + 37, {'>'}, "an inventory does not begin with <"},
        {good.size() - 5, {7}, "a record does not end with a zero byte"},
    };
    for (const edit &e : edits) {
        bytes b = good;
        std::copy(e.value.begin(), e.value.end(), b.begin() + (long)e.at);
        seal(b);
        EXPECT_EQ(player_file_decode(b.data(), b.size()), 0) << e.reason;
        EXPECT_STREQ(global_player_file_refusal, e.reason);
    }
    bytes longer = good;
    longer.insert(longer.end() - 4, {0, 0, 0, 0});
    seal(longer);
    EXPECT_EQ(player_file_decode(longer.data(), longer.size()), 0);
    EXPECT_STREQ(global_player_file_refusal, "it goes on past the player's record");

    // Bags nested one deeper than the game nests them.
    object *holder = q;
    for (int depth = 0; depth <= OBJECT_MAX_NESTING; depth++) holder = hold(holder, "BAG", 1, 3, 0.0f, 0.0f);
    bytes deep = encode(q, state);
    EXPECT_EQ(player_file_decode(deep.data(), deep.size()), 1) << "the writer stops at the limit";
    object_destroy(q->inventory_pile);
    q->inventory_pile = nullptr;
    bytes one_too_deep;
    {
        // Re-nest by hand: the player's record, 17 bags each opening the next, then their ends.
        bytes header(deep.begin(), deep.begin() + (long)record);
        bytes player_record(deep.begin() + (long)record, deep.begin() + (long)(fields + 38));
        bytes bag(deep.begin() + (long)(fields + 38), deep.begin() + (long)(fields + 38 + 12 + 4 + 4 + 37 + 1));
        one_too_deep = header;
        one_too_deep.insert(one_too_deep.end(), player_record.begin(), player_record.end());
        for (int depth = 0; depth <= OBJECT_MAX_NESTING; depth++) one_too_deep.insert(one_too_deep.end(), bag.begin(), bag.end());
        const uint8_t end[14] = {0};
        for (int depth = 0; depth <= OBJECT_MAX_NESTING + 1; depth++) one_too_deep.insert(one_too_deep.end(), end, end + 14);
        one_too_deep.insert(one_too_deep.end(), {0, 0, 0, 0});
        seal(one_too_deep);
    }
    EXPECT_EQ(player_file_decode(one_too_deep.data(), one_too_deep.size()), 0);
    EXPECT_STREQ(global_player_file_refusal, "its inventory is nested deeper than the game nests it");

    // None of it touched the player, and nothing was kept to restore.
    EXPECT_EQ(q->inventory_pile, nullptr);
    EXPECT_FLOAT_EQ(q->hits, 5.0f);
    EXPECT_EQ(player_file_restore(q), 0);

    // A kind that is gone is left out (with its contents); the rest comes back.
    bytes renamed = good;
    for (size_t i = 0; i + 4 <= renamed.size(); i++)
        if (memcmp(&renamed[i], "BAG", 4) == 0) memcpy(&renamed[i], "BOX", 4);
    seal(renamed);
    ASSERT_EQ(player_file_decode(renamed.data(), renamed.size()), 1);
    ASSERT_EQ(player_file_restore(q), 1);
    EXPECT_EQ(pile_length(q->inventory_pile), 2);
    EXPECT_NE(read_text_file("LOGFILE.TXT").find("there is no object kind BOX any more"), std::string::npos);
    // It is carried as its bytes, contents and all, and the next save writes it back whole.
    bytes again = encode(q, state);
    const char inner[] = "Small bag";
    EXPECT_NE(std::search(again.begin(), again.end(), inner, inner + sizeof(inner) - 1), again.end());
    EXPECT_EQ(again.size(), renamed.size());
}

TEST_F(PlayerFile, TheFileIsReplacedWholeAndARefusedOneIsKeptAside) {
    char name[CHUNKMAP_PATH_SIZE];
    player_file_name(name, sizeof(name), WORLD_NAME);
    const std::string path = "WORLDS/" WORLD_NAME "/PLAYER.SAV";
    EXPECT_EQ(player_file_load(name, WORLD_NAME), 0) << "no file: a fresh player";
    EXPECT_STREQ(global_player_file_refusal, "");

    object *p = carrying_player();
    ASSERT_EQ(player_file_save(name, p, &state), 1);
    const std::string saved = read_text_file(path);
    EXPECT_EQ(bytes(saved.begin(), saved.end()), encode(p, state));
    EXPECT_NE(access((path + ".TMP").c_str(), F_OK), 0) << "no temporary file is left";

    // A save that cannot create its file keeps the old one.
    global_chunkmap_save_fault = 1;
    p->hits = 1.0f;
    EXPECT_EQ(player_file_save(name, p, &state), 0);
    global_chunkmap_save_fault = 0;
    EXPECT_EQ(read_text_file(path), saved);
    ASSERT_EQ(player_file_load(name, WORLD_NAME), 1);
    player_file_forget();

    // A damaged file is refused, said so in the log, and moved aside so the next save cannot lose it.
    std::string damaged = saved;
    damaged[30] ^= 1;
    write_text_file(path, damaged);
    EXPECT_EQ(player_file_load(name, WORLD_NAME), 0);
    EXPECT_EQ(read_text_file("WORLDS/" WORLD_NAME "/PLAYER.BAD"), damaged);
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    EXPECT_NE(read_text_file("LOGFILE.TXT").find("Player file WORLDS\\DEZORE\\PLAYER.SAV is refused -- its checksum "
                                                "does not match: it is damaged; it is kept as "
                                                "WORLDS\\DEZORE\\PLAYER.BAD and a fresh player starts"),
              std::string::npos);

    // A folder in its place is no file at all.
    mkdir(path.c_str(), 0755);
    EXPECT_EQ(player_file_load(name, WORLD_NAME), 0);
    EXPECT_STREQ(global_player_file_refusal, "it is not a regular file");
}

TEST_F(PlayerFile, APlayerIsPutOnItsSpotOrTheNearestFreeGroundAboveIt) {
    // Ground tops out at 10; a column of leaves from 10 to 16 stands at (1610, 1600).
    chunk_map[25][25]->pillar[1610 & 63][1600 & 63]->next = voxel_create(32, 6);
    EXPECT_FLOAT_EQ(player_free_ground_z(1600.5f, 1600.5f, 10.9f, 0.9f), 10.9f) << "resting on the ground";
    EXPECT_FLOAT_EQ(player_free_ground_z(1600.5f, 1600.5f, 30.0f, 0.9f), 30.0f) << "in the air, on its spot";
    EXPECT_FLOAT_EQ(player_free_ground_z(1600.5f, 1600.5f, 4.2f, 0.9f), 10.9f) << "inside the ground";
    EXPECT_FLOAT_EQ(player_free_ground_z(1610.5f, 1600.5f, 12.0f, 0.9f), 16.9f) << "inside foliage";
    EXPECT_FLOAT_EQ(player_free_ground_z(1611.3f, 1600.5f, 11.0f, 0.9f), 16.9f) << "brushing the foliage";

    vector standing = {1600.5f, 1600.5f, 10.9f}, wading_high = {1600.5f, 1600.5f, 11.2f};
    vector afloat = {1600.5f, 1600.5f, 12.5f};
    EXPECT_EQ(player_feet_on_ground(&standing, 0.9f, 0.36f), 1);
    EXPECT_EQ(player_feet_on_ground(&wading_high, 0.9f, 0.36f), 1);
    EXPECT_EQ(player_feet_on_ground(&afloat, 0.9f, 0.36f), 0);
}

}  // namespace
