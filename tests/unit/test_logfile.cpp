// test_logfile.cpp — log thresholds and prefixes, path conversion and the string helpers
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/logfile.h"
#include "test_util.h"

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        global_log_level = 5;
        ASSERT_EQ(open_logfile(), 1);
    }
    void TearDown() override {
        close_logfile();
        global_log_level = 5;
    }
    ScratchDir dir;
};

TEST_F(LogTest, LevelZeroIsWrittenEvenWithThresholdZeroAndHasNoPrefix) {
    global_log_level = 0;
    log_message(0, "banner %d", 7);
    log_message(1, "dropped error");
    auto lines = log_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "banner 7");
}

TEST_F(LogTest, ThresholdThreeDropsDebugAndPrefixesInfo) {
    global_log_level = 3;
    log_message(4, "debug detail");
    log_message(3, "  settings");
    log_message(2, "careful");
    log_message(1, "broken");
    auto lines = log_lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Info :  settings");
    EXPECT_EQ(lines[1], "Warn :careful");
    EXPECT_EQ(lines[2], "Error:broken");
}

TEST_F(LogTest, TraceHasPrefixAndLevelsAboveFiveHaveNone) {
    global_log_level = 7;
    log_message(5, "trace");
    log_message(4, "debug");
    log_message(6, "extra");
    log_message(8, "too deep");
    auto lines = log_lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Trace:trace");
    EXPECT_EQ(lines[1], "Debug:debug");
    EXPECT_EQ(lines[2], "extra");
}

TEST_F(LogTest, DividerIsFiftySixHyphensAtLevelZero) {
    global_log_level = 0;
    log_divider();
    auto lines = log_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(56, '-'));
}

TEST_F(LogTest, OverlongMessageIsCutNotOverflowed) {
    std::string huge(40000, 'x');
    log_message(3, "%s", huge.c_str());
    log_message(3, "after");
    auto lines = log_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), std::string("Info :").size() + LOG_MESSAGE_SIZE - 1);
    EXPECT_EQ(lines[1], "Info :after");
}

TEST(LogClosed, MessagesWithoutAnOpenLogAreDropped) {
    ScratchDir dir;
    close_logfile();
    log_message(0, "nowhere");
    FILE *file = fopen(LOGFILE_NAME, "r");
    EXPECT_EQ(file, nullptr);
    if (file) fclose(file);
}

TEST(LogOpen, ReopeningTruncatesTheOldLog) {
    ScratchDir dir;
    write_text_file(LOGFILE_NAME, "old run\n");
    ASSERT_EQ(open_logfile(), 1);
    log_message(0, "new run");
    close_logfile();
#ifdef _WIN32
    EXPECT_EQ(read_text_file(LOGFILE_NAME), "new run\r\n");  // a text file: CR LF on Windows
#else
    EXPECT_EQ(read_text_file(LOGFILE_NAME), "new run\n");
#endif
}

#ifdef _WIN32
TEST(FixPath, WindowsUsesThePathAsWritten) {
    const char *name = "WORLDS\\DEZORE\\SEED.TXT";
    EXPECT_EQ(fix_path(name), name);
    std::string long_name(3000, 'a');
    EXPECT_EQ(strlen(fix_path(long_name.c_str())), 3000u);
}
#else
TEST(FixPath, BackslashesBecomeSlashes) {
    EXPECT_STREQ(fix_path("WORLDS\\DEZORE\\SEED.TXT"), "WORLDS/DEZORE/SEED.TXT");
    EXPECT_STREQ(fix_path("OBJECT\\"), "OBJECT/");
    EXPECT_STREQ(fix_path(""), "");
}

TEST(FixPath, LongNameIsCutAtTheLimitAndStillConverted) {
    std::string name;
    while (name.size() < 3000) name += "ab\\";
    std::string converted = fix_path(name.c_str());
    ASSERT_EQ(converted.size(), (size_t)FIX_PATH_MAX);
    for (size_t i = 0; i < converted.size(); i++) EXPECT_EQ(converted[i], name[i] == '\\' ? '/' : name[i]);
}
#endif

TEST(SafeStringCopy, CopiesWithinSizeAndTerminates) {
    char buffer[8];
    memset(buffer, 'z', sizeof(buffer));
    safe_string_copy(buffer, "heavy-pick", 8, 1);
    EXPECT_STREQ(buffer, "HEAVY-P");

    safe_string_copy(buffer, "ab", 8, 0);
    EXPECT_STREQ(buffer, "ab");
}

TEST(SafeStringCopy, SizeOneWritesOnlyTerminatorAndSizeZeroNothing) {
    char buffer[4] = {'q', 'q', 'q', 0};
    safe_string_copy(buffer, "abc", 1, 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 'q');

    char untouched[4] = {'q', 'q', 'q', 0};
    safe_string_copy(untouched, "abc", 0, 0);
    safe_string_copy(untouched, "abc", -5, 0);
    EXPECT_STREQ(untouched, "qqq");
}

TEST(StringCase, UppercaseChangesOnlyLetters) {
    char text[] = "Pick-2 axe_b";
    string_uppercase(text);
    EXPECT_STREQ(text, "PICK-2 AXE_B");
}

TEST(StringCase, NormalcaseMakesDisplayNames) {
    char a[] = "HEAVY-PICK";
    string_normalcase(a);
    EXPECT_STREQ(a, "Heavy Pick");

    char b[] = "A-B";
    string_normalcase(b);
    EXPECT_STREQ(b, "A B");

    char c[] = "--x";
    string_normalcase(c);
    EXPECT_STREQ(c, "  X");

    char d[] = "";
    string_normalcase(d);
    EXPECT_STREQ(d, "");

    char e[] = "gOBLIN cHAIN";
    string_normalcase(e);
    EXPECT_STREQ(e, "Goblin Chain");
}
