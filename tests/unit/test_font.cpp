// test_font.cpp — the glyph table, character metrics and the centring of strings
#include <gtest/gtest.h>

#include "display/font.h"

TEST(Font, DigitZeroAtScaleFifteenHasItsBoxSize) {
    font_setup();
    EXPECT_NEAR(font_letter_width('0', 15.0f), 23.0f / 256.0f * 90.0f, 1e-4);
    EXPECT_NEAR(font_letter_width('0', 15.0f), 8.0859f, 1e-3);
    EXPECT_NEAR(font_letter_height('0', 15.0f), 12.65625f, 1e-4);
}

TEST(Font, GlyphBoxesComeFromTheirRowAndColumns) {
    font_setup();
    // 'm' is the last glyph of row 4, columns 199 to 233.
    EXPECT_FLOAT_EQ(font_lx['m'], 199.0f / 256.0f);
    EXPECT_FLOAT_EQ(font_rx['m'], 233.0f / 256.0f);
    EXPECT_FLOAT_EQ(font_ty['m'], 4 * 0.140625f);
    EXPECT_FLOAT_EQ(font_by['m'], 5 * 0.140625f);
    // '-' ends the digit row at 255; ')' ends row 6 at 123; 'A' opens row 1.
    EXPECT_FLOAT_EQ(font_rx['-'], 255.0f / 256.0f);
    EXPECT_FLOAT_EQ(font_lx[')'], 108.0f / 256.0f);
    EXPECT_FLOAT_EQ(font_rx[')'], 123.0f / 256.0f);
    EXPECT_FLOAT_EQ(font_lx['A'], 0.0f);
    EXPECT_FLOAT_EQ(font_ty['A'], 0.140625f);
    // 'W' is the widest capital: 37 texels.
    EXPECT_NEAR(font_letter_width('W', 1.0f), 37.0f / 256.0f * 6.0f, 1e-6);
}

TEST(Font, ExactlySixtySevenCharactersAreDefined) {
    font_setup();
    int defined = 0;
    for (int c = 0; c < 256; c++)
        if (font_lx[c] != font_rx[c]) defined++;
    EXPECT_EQ(defined, 67);
}

TEST(Font, SpaceAndUnknownCharactersAdvanceThreeQuartersOfTheScale) {
    font_setup();
    EXPECT_FLOAT_EQ(font_letter_width(' ', 20.0f), 15.0f);
    EXPECT_FLOAT_EQ(font_letter_width('!', 20.0f), 15.0f);
    EXPECT_FLOAT_EQ(font_letter_width(200, 4.0f), 3.0f);
    EXPECT_EQ(font_letter_height(' ', 20.0f), 0.0f);
}

TEST(Font, StringWidthIsTheSumOfTheAdvances) {
    font_setup();
    const uint8_t text[] = "a b";
    float expected = font_letter_width('a', 15.0f) + 0.75f * 15.0f + font_letter_width('b', 15.0f);
    EXPECT_NEAR(font_string_width(text, 15.0f), expected, 1e-4);
    const uint8_t empty[] = "";
    EXPECT_EQ(font_string_width(empty, 15.0f), 0.0f);
    // The quit hint, centred on the overlay, is about 190 units wide at scale 15.
    const uint8_t hint[] = "Press shift-escape to quit";
    float width = font_string_width(hint, 15.0f);
    EXPECT_GT(width, 150.0f);
    EXPECT_LT(width, 250.0f);
}
