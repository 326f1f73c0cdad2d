// test_display_tga.cpp — the TGA decoder, the centre fade and halving, all without a window
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "display/display.h"

namespace {

std::vector<uint8_t> tga_header(uint16_t width, uint16_t height, uint8_t bits, uint16_t x_origin, uint16_t y_origin,
                                uint8_t id_length = 0) {
    std::vector<uint8_t> h(18, 0);
    h[0] = id_length;
    h[2] = 2;
    h[8] = x_origin & 255;
    h[9] = x_origin >> 8;
    h[10] = y_origin & 255;
    h[11] = y_origin >> 8;
    h[12] = width & 255;
    h[13] = width >> 8;
    h[14] = height & 255;
    h[15] = height >> 8;
    h[16] = bits;
    return h;
}

// A picture whose texel at file position (x, y) is blue x, green y, red 10 × y + x, alpha 200 + x.
std::vector<uint8_t> tga_pattern(uint16_t width, uint16_t height, uint8_t bits, uint16_t x_origin,
                                 uint16_t y_origin) {
    std::vector<uint8_t> data = tga_header(width, height, bits, x_origin, y_origin);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            data.push_back((uint8_t)x);
            data.push_back((uint8_t)y);
            data.push_back((uint8_t)(10 * y + x));
            if (bits == 32) data.push_back((uint8_t)(200 + x));
        }
    return data;
}

struct decoded {
    uint8_t ok;
    uint16_t width;
    uint16_t height;
};

decoded decode(const std::vector<uint8_t> &bytes, uint8_t center_fade = 0) {
    FILE *file = tmpfile();
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    decoded d = {0, 0, 0};
    d.ok = display_decode_tga(file, center_fade, &d.width, &d.height);
    fclose(file);
    return d;
}

const uint8_t *texel(int x, int y, int width) { return temp_texture_data + (y * width + x) * 4; }

}  // namespace

TEST(TgaDecoder, BottomUpFileIsFlippedSoTheLastFileRowComesFirst) {
    decoded d = decode(tga_pattern(4, 4, 32, 0, 0));
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(d.width, 4);
    EXPECT_EQ(d.height, 4);
    // Scratch texel (0, 0) is file texel (0, 3): red 30, green 3, blue 0, alpha 200.
    const uint8_t *t = texel(0, 0, 4);
    EXPECT_EQ(t[0], 30);
    EXPECT_EQ(t[1], 3);
    EXPECT_EQ(t[2], 0);
    EXPECT_EQ(t[3], 200);
    // Scratch (2, 3) is file (2, 0).
    t = texel(2, 3, 4);
    EXPECT_EQ(t[0], 2);
    EXPECT_EQ(t[1], 0);
    EXPECT_EQ(t[2], 2);
    EXPECT_EQ(t[3], 202);
}

TEST(TgaDecoder, NonzeroOriginsMirrorHorizontallyAndKeepRowOrder) {
    decoded d = decode(tga_pattern(3, 2, 32, 5, 7));
    ASSERT_EQ(d.ok, 1);
    // Scratch (0, 0) is file (2, 0); scratch (2, 1) is file (0, 1).
    EXPECT_EQ(texel(0, 0, 3)[0], 2);
    EXPECT_EQ(texel(0, 0, 3)[1], 0);
    EXPECT_EQ(texel(2, 1, 3)[0], 10);
    EXPECT_EQ(texel(2, 1, 3)[1], 1);
    EXPECT_EQ(texel(2, 1, 3)[2], 0);
}

TEST(TgaDecoder, TwentyFourBitTexelsGetOpaqueAlpha) {
    decoded d = decode(tga_pattern(2, 2, 24, 0, 1));
    ASSERT_EQ(d.ok, 1);
    for (int i = 0; i < 4; i++) EXPECT_EQ(temp_texture_data[i * 4 + 3], 255);
    // Rows kept in file order (y-origin nonzero): scratch (1, 1) is file (1, 1), red 11.
    EXPECT_EQ(texel(1, 1, 2)[0], 11);
    EXPECT_EQ(texel(1, 1, 2)[1], 1);
    EXPECT_EQ(texel(1, 1, 2)[2], 1);
}

TEST(TgaDecoder, RefusesUnsupportedDepthsOversizeAndEmptyPictures) {
    EXPECT_EQ(decode(tga_pattern(2, 2, 16, 0, 0)).ok, 0);
    EXPECT_EQ(decode(tga_pattern(2, 2, 8, 0, 0)).ok, 0);
    EXPECT_EQ(decode(tga_header(1025, 1, 24, 0, 0)).ok, 0);
    EXPECT_EQ(decode(tga_header(1, 1025, 24, 0, 0)).ok, 0);
    EXPECT_EQ(decode(tga_header(0, 4, 24, 0, 0)).ok, 0);
    EXPECT_EQ(decode(tga_header(4, 0, 32, 0, 0)).ok, 0);
    // An empty or header-only-truncated file reads its missing bytes as 255: width 65535, refused.
    EXPECT_EQ(decode({}).ok, 0);
    EXPECT_EQ(decode({0, 0, 2, 0, 0}).ok, 0);
}

TEST(TgaDecoder, AcceptsTheLargestSide) {
    decoded d = decode(tga_header(1024, 1, 24, 0, 0));
    EXPECT_EQ(d.ok, 1);
    EXPECT_EQ(d.width, 1024);
}

TEST(TgaDecoder, PixelsPastTheEndOfATruncatedFileReadAs255) {
    std::vector<uint8_t> bytes = tga_pattern(2, 2, 32, 0, 1);
    bytes.resize(18 + 6);  // the first texel and half of the second
    decoded d = decode(bytes);
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(texel(0, 0, 2)[3], 200);
    const uint8_t *second = texel(1, 0, 2);
    EXPECT_EQ(second[0], 255);  // red, past the end
    EXPECT_EQ(second[1], 0);    // green, still in the file
    EXPECT_EQ(second[2], 1);    // blue
    for (int i = 0; i < 4; i++) EXPECT_EQ(texel(1, 1, 2)[i], 255);
}

TEST(TgaDecoder, SkipsTheImageIdAndReadsAnIdRunningPastTheEndAs255) {
    std::vector<uint8_t> bytes = tga_header(1, 1, 24, 0, 0, 3);
    bytes.insert(bytes.end(), {9, 9, 9, 10, 20, 30});
    decoded d = decode(bytes);
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(texel(0, 0, 1)[0], 30);
    EXPECT_EQ(texel(0, 0, 1)[1], 20);
    EXPECT_EQ(texel(0, 0, 1)[2], 10);

    std::vector<uint8_t> short_id = tga_header(1, 1, 24, 0, 0, 200);
    short_id.insert(short_id.end(), {1, 2});
    d = decode(short_id);
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(texel(0, 0, 1)[0], 255);
    EXPECT_EQ(texel(0, 0, 1)[3], 255);
}

TEST(CenterFade, TileCentreIsOpaqueAQuarterOutIsHalfAndFarOutIsClear) {
    // A 1024-wide atlas: tiles of 64, centre of tile (0, 0) at (32, 32).
    EXPECT_EQ(display_center_fade_alpha(32, 32, 1024, 1024), 255);
    EXPECT_EQ(display_center_fade_alpha(48, 32, 1024, 1024), 128);
    EXPECT_EQ(display_center_fade_alpha(32, 56, 1024, 1024), 0);
    EXPECT_EQ(display_center_fade_alpha(63, 63, 1024, 1024), 0);
    // Within an eighth of the tile from the centre it stays opaque.
    EXPECT_EQ(display_center_fade_alpha(32 + 8, 32, 1024, 1024), 255);
    // The same holds in another tile, here tile (3, 5).
    EXPECT_EQ(display_center_fade_alpha(3 * 64 + 32, 5 * 64 + 32, 1024, 1024), 255);
}

TEST(CenterFade, LastTileHoldsAHorizontalRamp) {
    EXPECT_EQ(display_center_fade_alpha(960, 960, 1024, 1024), 2);
    EXPECT_EQ(display_center_fade_alpha(1023, 1000, 1024, 1024), 254);
    EXPECT_EQ(display_center_fade_alpha(990, 1023, 1024, 1024), 122);
}

TEST(CenterFade, ReplacesAlphaDuringDecodingInFileOrder) {
    // 32 × 32: tiles of 2 texels, s = 1; with y-origin 0 the rows are flipped after the fade.
    decoded d = decode(tga_pattern(32, 32, 32, 0, 0), 1);
    ASSERT_EQ(d.ok, 1);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            ASSERT_EQ(texel(x, 31 - y, 32)[3], display_center_fade_alpha(x, y, 32, 32)) << x << "," << y;
}

TEST(CenterFade, PicturesNarrowerThanATileHaveNoNanAlpha) {
    // Half a tile is 0 texels wide here; every texel counts as fully faded instead of dividing by zero.
    EXPECT_EQ(display_center_fade_alpha(0, 0, 8, 8), 0);
    EXPECT_EQ(display_center_fade_alpha(7, 7, 8, 8), 0);
    EXPECT_EQ(display_center_fade_alpha(3, 5, 8, 8), 0);
}

TEST(HalfTexture, AveragesEachTwoByTwoBlockAndDropsAnOddEdge) {
    // 5 × 3 picture: value of each channel = 4 × (y × 5 + x).
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++)
            for (int k = 0; k < 4; k++) temp_texture_data[(y * 5 + x) * 4 + k] = (uint8_t)(4 * (y * 5 + x) + k);
    uint16_t w = 5, h = 3;
    display_half_texture_data(&w, &h);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    // New (0, 0): old (0,0), (1,0), (0,1), (1,1) = 0, 4, 20, 24 → 12 (plus k, truncated).
    EXPECT_EQ(temp_texture_data[0], 12);
    EXPECT_EQ(temp_texture_data[3], (12 * 4 + 12) >> 2);
    // New (1, 0): old (2,0), (3,0), (2,1), (3,1) = 8, 12, 28, 32 → 20.
    EXPECT_EQ(temp_texture_data[4], 20);
}

TEST(HalfTexture, TruncatesTheMean) {
    const uint8_t values[4] = {0, 1, 1, 1};
    for (int i = 0; i < 4; i++) temp_texture_data[i * 4] = values[i];
    uint16_t w = 2, h = 2;
    display_half_texture_data(&w, &h);
    EXPECT_EQ(temp_texture_data[0], 0);
}

TEST(HalfTexture, SideOfOneRepeatsTheEdgeAndStaysOne) {
    // A 4 × 1 row: halving must not read a second row that is not there.
    const uint8_t values[4] = {10, 30, 50, 70};
    for (int i = 0; i < 4; i++) temp_texture_data[i * 4] = values[i];
    uint16_t w = 4, h = 1;
    display_half_texture_data(&w, &h);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(temp_texture_data[0], 20);
    EXPECT_EQ(temp_texture_data[4], 60);
}

TEST(HalfTexture, MipmapChainSizesOfSixtyFourBySixteen) {
    uint16_t w = 64, h = 16;
    std::vector<std::pair<int, int>> sizes;
    while (w > 1 || h > 1) {
        display_half_texture_data(&w, &h);
        sizes.push_back({w, h});
    }
    std::vector<std::pair<int, int>> expected = {{32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
    EXPECT_EQ(sizes, expected);
}
