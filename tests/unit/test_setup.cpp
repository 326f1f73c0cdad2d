// test_setup.cpp — the settings reader and the start-up log
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/kestrova.h"
#include "foundation/logfile.h"
#include "sound/sound.h"
#include "terrain/voxel.h"
#include "world/chunkmap.h"
#include "test_util.h"
#include "test_window.h"

static void reset_settings(void) {
    settings_reset();
    global_log_level = 5;
}

class SetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_settings();
        ASSERT_EQ(open_logfile(), 1);
    }
    void TearDown() override {
        close_logfile();
        reset_settings();
    }
    ScratchDir dir;
};

static std::string setup_text(const std::string &resolution, const std::string &fullscreen,
                              const std::string &display, const std::string &background,
                              const std::string &cartoon, const std::string &invert, const std::string &music,
                              const std::string &level) {
    return "Resolution: " + resolution + "\nFullscreen: " + fullscreen + "\nDisplay distance: " + display +
           "\nBackground distance: " + background + "\nCartoon lines: " + cartoon + "\nInvert mouse: " + invert +
           "\nLoad music: " + music + "\nLog level: " + level + "\n";
}

TEST_F(SetupTest, MissingFileKeepsDefaultsAndSaysSoInOneLine) {
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 800);
    EXPECT_EQ(screen_y, 600);
    EXPECT_EQ(fullscreen_mode, 0);
    EXPECT_EQ(global_display_distance, 50);
    EXPECT_EQ(global_background_distance, 500);
    EXPECT_EQ(global_cartoon_mode, 1);
    EXPECT_EQ(invert_mouse, 0);
    EXPECT_EQ(load_music, 1);
    EXPECT_EQ(global_log_level, 5);
    // The attempt, then one line saying why the defaults hold (and so why the log is verbose).
    auto lines = log_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Info :Trying to load setup file SETUP.TXT");
    EXPECT_EQ(lines[1], "Warn :Setup file SETUP.TXT is missing; every setting keeps its default (log level 5)");
}

TEST_F(SetupTest, ReadsEveryValueAndEchoesThem) {
    write_text_file("SETUP.TXT", setup_text("1024x768", "TRUE", "120", "300", "FALSE", "true", "F", "5"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 1024);
    EXPECT_EQ(screen_y, 768);
    EXPECT_EQ(fullscreen_mode, 1);
    EXPECT_EQ(global_display_distance, 120);
    EXPECT_EQ(global_background_distance, 300);
    EXPECT_EQ(global_cartoon_mode, 0);
    EXPECT_EQ(invert_mouse, 1);
    EXPECT_EQ(load_music, 0);
    EXPECT_EQ(global_log_level, 5);
    auto lines = log_lines();
    std::vector<std::string> expected = {
        "Info :Trying to load setup file SETUP.TXT", "Info :  Screen width == 1024",
        "Info :  Screen height == 768",              "Info :  Fullscreen == TRUE",
        "Info :  Display distance == 120",           "Info :  Background distance == 300",
        "Info :  Draw cartoon lines == FALSE",       "Info :  Invert mouse == TRUE",
        "Info :  Load music == FALSE",               "Info :  Settings File Log Level == 5",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(SetupTest, DistancesAreClamped) {
    write_text_file("SETUP.TXT", setup_text("800x600", "F", "5", "-3", "T", "F", "T", "5"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(global_display_distance, 20);
    EXPECT_EQ(global_background_distance, 0);

    write_text_file("SETUP.TXT", setup_text("800x600", "F", "5000", "900", "T", "F", "T", "5"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(global_display_distance, 1000);
    EXPECT_EQ(global_background_distance, 500);
    EXPECT_TRUE(log_contains("Warn :  Display distance 5000 is outside 20..1000; 1000 is used"));
}

TEST_F(SetupTest, OnlyTheFirstLetterOfABooleanCounts) {
    const char *truths[] = {"true", "T", "Tx", "tomato"};
    for (const char *word : truths) {
        write_text_file("SETUP.TXT", setup_text("800x600", word, "50", "500", word, word, word, "5"));
        load_setup("SETUP.TXT");
        EXPECT_EQ(fullscreen_mode, 1) << word;
        EXPECT_EQ(global_cartoon_mode, 1) << word;
        EXPECT_EQ(invert_mouse, 1) << word;
        EXPECT_EQ(load_music, 1) << word;
    }
    const char *falsehoods[] = {"yes", "1", "FALSE", "no"};
    for (const char *word : falsehoods) {
        write_text_file("SETUP.TXT", setup_text("800x600", word, "50", "500", word, word, word, "5"));
        load_setup("SETUP.TXT");
        EXPECT_EQ(fullscreen_mode, 0) << word;
        EXPECT_EQ(global_cartoon_mode, 0) << word;
        EXPECT_EQ(invert_mouse, 0) << word;
        EXPECT_EQ(load_music, 0) << word;
    }
}

TEST_F(SetupTest, LabelsMayHoldBlanksTabsAndLineEnds) {
    write_text_file("SETUP.TXT",
                    "\n\n  My window\tsize  :\t\t640x480\r\n"
                    "\n\t full screen please \n (really) :  FALSE\n"
                    "view:  77\nfar:\t\t123\n"
                    "lines:  F\nmouse: T\nmusic:\tT\nlog: 4\n");
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 640);
    EXPECT_EQ(screen_y, 480);
    EXPECT_EQ(fullscreen_mode, 0);
    EXPECT_EQ(global_display_distance, 77);
    EXPECT_EQ(global_background_distance, 123);
    EXPECT_EQ(global_cartoon_mode, 0);
    EXPECT_EQ(invert_mouse, 1);
    EXPECT_EQ(load_music, 1);
    EXPECT_EQ(global_log_level, 4);
}

TEST_F(SetupTest, LogLevelEchoIsWrittenUnderTheOldThreshold) {
    write_text_file("SETUP.TXT", setup_text("800x600", "F", "50", "500", "T", "F", "T", "2"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(global_log_level, 2);
    log_message(3, "after the change");
    auto lines = log_lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Info :  Settings File Log Level == 2");
}

TEST_F(SetupTest, LogLevelIsKeptWithinZeroToFive) {
    write_text_file("SETUP.TXT", setup_text("800x600", "F", "50", "500", "T", "F", "T", "256"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(global_log_level, 5);
    EXPECT_TRUE(log_contains("Warn :  Settings File Log Level 256 is outside 0..5; 5 is used"));
    write_text_file("SETUP.TXT", setup_text("800x600", "F", "50", "500", "T", "F", "T", "-3"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(global_log_level, 0);
}

TEST_F(SetupTest, NumbersBeyondAnIntAreRefusedNotWrapped) {
    write_text_file("SETUP.TXT", setup_text("99999999999x600", "F", "2147483648", "-2147483649", "T", "F", "T",
                                            "4294967300"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 800);
    EXPECT_EQ(screen_y, 600);
    EXPECT_EQ(global_display_distance, 50);
    EXPECT_EQ(global_background_distance, 500);
    EXPECT_EQ(global_log_level, 5);
    EXPECT_TRUE(log_contains("Warn :  Resolution 99999999999x600 is out of range in the setup file; keeping its "
                             "default"));
    EXPECT_TRUE(log_contains("Warn :  Display distance 2147483648 is out of range in the setup file; keeping its "
                             "default"));
    EXPECT_TRUE(log_contains("Warn :  Background distance -2147483649 is out of range"));
    EXPECT_TRUE(log_contains("Warn :  Settings File Log Level 4294967300 is out of range"));
}

TEST_F(SetupTest, ShortFileKeepsDefaultsForMissingValuesAndNamesThem) {
    write_text_file("SETUP.TXT", "Resolution: 1280x720\nFullscreen: TRUE\nDisplay distance: 90\n");
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 1280);
    EXPECT_EQ(fullscreen_mode, 1);
    EXPECT_EQ(global_display_distance, 90);
    // Nothing later is re-read from the last word: 90 must not become the background distance.
    EXPECT_EQ(global_background_distance, 500);
    EXPECT_EQ(global_cartoon_mode, 1);
    EXPECT_EQ(invert_mouse, 0);
    EXPECT_EQ(load_music, 1);
    EXPECT_EQ(global_log_level, 5);
    EXPECT_TRUE(log_contains("Warn :  Background distance is missing or unreadable"));
    EXPECT_TRUE(log_contains("Warn :  Settings File Log Level is missing or unreadable"));
    EXPECT_FALSE(log_contains("Display distance is missing"));
}

TEST_F(SetupTest, ValueDirectlyAfterItsColonKeepsTheDefault) {
    write_text_file("SETUP.TXT",
                    "Resolution: 1024x768\nFullscreen: TRUE\nDisplay distance:120\nBackground distance: 300\n"
                    "Cartoon lines: FALSE\nInvert mouse: true\nLoad music: F\nLog level: 5\n");
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 1024);
    EXPECT_EQ(fullscreen_mode, 1);
    EXPECT_EQ(global_display_distance, 50);
    EXPECT_TRUE(log_contains("Warn :  Display distance is missing or unreadable"));
    // The word glued to its colon becomes label text; the values after it still line up.
    EXPECT_EQ(global_background_distance, 300);
    EXPECT_EQ(global_cartoon_mode, 0);
    EXPECT_EQ(invert_mouse, 1);
    EXPECT_EQ(load_music, 0);
}

TEST_F(SetupTest, UnreadableNumbersKeepTheirDefaults) {
    write_text_file("SETUP.TXT", setup_text("big", "F", "far", "12abc", "T", "F", "T", "loud"));
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 800);
    EXPECT_EQ(screen_y, 600);
    EXPECT_EQ(global_display_distance, 50);
    EXPECT_EQ(global_background_distance, 500);
    EXPECT_EQ(global_log_level, 5);
    EXPECT_TRUE(log_contains("Warn :  Resolution is missing or unreadable"));
}

TEST_F(SetupTest, LongWordsAreCutAtFortyCharacters) {
    std::string long_word(100, 'T');
    write_text_file("SETUP.TXT", "Resolution: 800x600\nFullscreen: " + long_word + "\nrest: 60\n");
    load_setup("SETUP.TXT");
    EXPECT_EQ(fullscreen_mode, 1);
    EXPECT_EQ(global_display_distance, 60);
}

TEST_F(SetupTest, ShippedSetupFileHoldsTheDefaultsWithLogLevelThree) {
    const char *source = getenv("KESTROVA_SOURCE_DIR");
    if (!source) source = KESTROVA_SOURCE_DIR_DEFAULT;
    std::string text = read_text_file(std::string(source) + "/assets/SETUP.TXT");
    ASSERT_FALSE(text.empty());
    write_text_file("SETUP.TXT", text);
    load_setup("SETUP.TXT");
    EXPECT_EQ(screen_x, 800);
    EXPECT_EQ(screen_y, 600);
    EXPECT_EQ(fullscreen_mode, 0);
    EXPECT_EQ(global_display_distance, 50);
    EXPECT_EQ(global_background_distance, 500);
    EXPECT_EQ(global_cartoon_mode, 1);
    EXPECT_EQ(invert_mouse, 0);
    EXPECT_EQ(load_music, 1);
    EXPECT_EQ(global_log_level, 3);
    EXPECT_FALSE(log_contains("Warn :"));
}

TEST(StartupLog, BannerControlsCreditsAndHistoryInOrder) {
    // Start-up opens the window, so it needs an X display (test.sh runs the tests under xvfb-run).
    if (!test_window_display_available()) GTEST_SKIP() << "no X display";
    test_window_ignore_library_leaks();
    ScratchDir dir;
    reset_settings();
    // Start-up leaves the world around the start resident, the mixer open and the title shown.
    struct StartupCleanup {
        ~StartupCleanup() {
            chunkmap_reset();
            voxel_release_substitutes();
            sound_shutdown();
            draw_menu = 0;
            reset_settings();
        }
    } cleanup;
    main_initialize();
    close_logfile();
    auto lines = log_lines();
    std::string divider(56, '-');
    ASSERT_GT(lines.size(), 30u);
    EXPECT_EQ(lines[0], divider);
    EXPECT_EQ(lines[1], "Cindervault v0.43");
    EXPECT_EQ(lines[2], divider);
    EXPECT_EQ(lines[3], "Controls for this version are as follows...");
    EXPECT_EQ(lines[16], "Shift-Escape == Exit Game");
    EXPECT_EQ(lines[17], divider);
    EXPECT_EQ(lines[18], "Credits");
    const char *roles[] = {" - Programmer & Artist", " - Artist", " - Artist", " - Artist",
                           " - Artist",              " - Composer", " - Programmer"};
    for (int i = 0; i < 7; i++) {
        const std::string &line = lines[19 + i];
        ASSERT_GE(line.size(), strlen(roles[i]));
        EXPECT_EQ(line.substr(line.size() - strlen(roles[i])), roles[i]) << line;
    }
    EXPECT_EQ(lines[26], divider);

    // Nine release blocks, newest first, with their item counts.
    const char *versions[] = {"0.42", "0.41", "0.40", "0.39", "0.38", "0.37", "0.36", "0.35", "0.34"};
    const int counts[] = {13, 14, 11, 26, 25, 19, 30, 13, 19};
    size_t at = 27;
    for (int block = 0; block < 9; block++) {
        ASSERT_LT(at, lines.size());
        EXPECT_EQ(lines[at], std::string("Info :Changes from version ") + versions[block] + "...");
        at++;
        int items = 0;
        while (at < lines.size() && lines[at] != divider) {
            const std::string &item = lines[at];
            bool marked = item.rfind("Info :  [*] ", 0) == 0 || item.rfind("Info :  [-] ", 0) == 0 ||
                          item.rfind("Info :  [ ] ", 0) == 0;
            EXPECT_TRUE(marked) << item;
            items++;
            at++;
        }
        EXPECT_EQ(items, counts[block]) << versions[block];
        at++;
    }
    ASSERT_LT(at, lines.size());
    EXPECT_EQ(lines[at], "Info :Trying to load setup file SETUP.TXT");
    EXPECT_EQ(draw_menu, 1);
}
