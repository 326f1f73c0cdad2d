// test_file.cpp — binary value helpers and the directory search
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "foundation/file.h"
#include "test_util.h"

TEST(BinaryFile, ValuesRoundTripLittleEndian) {
    ScratchDir dir;
    FILE *file = fopen("values.bin", "wb");
    ASSERT_NE(file, nullptr);
    file_write_byte(file, 0xAB);
    file_write_short(file, 0x1234);
    file_write_float(file, -2.5f);
    fclose(file);

    std::string bytes = read_text_file("values.bin");
    ASSERT_EQ(bytes.size(), 7u);
    EXPECT_EQ((uint8_t)bytes[0], 0xAB);
    EXPECT_EQ((uint8_t)bytes[1], 0x34);
    EXPECT_EQ((uint8_t)bytes[2], 0x12);

    file = fopen("values.bin", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file_read_byte(file), 0xAB);
    EXPECT_EQ(file_read_short(file), 0x1234);
    EXPECT_EQ(file_read_float(file), -2.5f);
    fclose(file);
}

TEST(BinaryFile, ReadsAtEndOfFileReturnZero) {
    ScratchDir dir;
    write_text_file("short.bin", std::string("\x07\xFF", 2));
    FILE *file = fopen("short.bin", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file_read_byte(file), 7);
    // One byte left: a short or float cannot be read whole and comes back 0.
    EXPECT_EQ(file_read_short(file), 0);
    EXPECT_EQ(file_read_byte(file), 0);
    EXPECT_EQ(file_read_float(file), 0.0f);
    EXPECT_EQ(file_read_short(file), 0);
    fclose(file);
}

static std::vector<std::string> search_all(const char *directory) {
    std::vector<std::string> names;
    while (finding_files(directory)) {
        names.push_back(global_file_search_result);
        if (names.size() > 100) break;
    }
    return names;
}

TEST(DirectorySearch, YieldsEveryEntryThenStopsThenStartsOver) {
    ScratchDir dir;
    mkdir("OBJECT", 0755);
    mkdir("OBJECT/A", 0755);
    mkdir("OBJECT/B", 0755);
    write_text_file("OBJECT/.hidden", "x");

    auto first = search_all("OBJECT\\");
    std::sort(first.begin(), first.end());
#ifdef _WIN32
    // Windows lists "." and ".." first and only those two are skipped; a dot name is an entry there.
    EXPECT_EQ(first, (std::vector<std::string>{".hidden", "A", "B"}));
#else
    EXPECT_EQ(first, (std::vector<std::string>{"A", "B"}));
#endif
    EXPECT_EQ(file_search_active, 0);

    // The next loop starts a fresh search from the first entry.
    auto second = search_all("OBJECT\\");
    std::sort(second.begin(), second.end());
    EXPECT_EQ(second, first);
}

TEST(DirectorySearch, OrderIsTheFileSystemsAndStableAcrossLoops) {
    ScratchDir dir;
    mkdir("OBJECT", 0755);
    const char *names[] = {"PICK", "AXE", "ZOMBI", "BAR", "TORCH"};
    for (const char *name : names) mkdir((std::string("OBJECT/") + name).c_str(), 0755);
    auto first = search_all("OBJECT\\");
    auto second = search_all("OBJECT\\");
    EXPECT_EQ(first.size(), 5u);
    EXPECT_EQ(first, second);
}

TEST(DirectorySearch, MissingOrEmptyFolderYieldsNothing) {
    ScratchDir dir;
    EXPECT_EQ(finding_files("NOWHERE\\"), 0);
    mkdir("EMPTY", 0755);
    EXPECT_EQ(finding_files("EMPTY\\"), 0);
    EXPECT_EQ(file_search_active, 0);
    EXPECT_EQ(global_file_search_result, nullptr);
}
