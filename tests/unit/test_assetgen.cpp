// test_assetgen.cpp — generated pictures and sounds meet what the game's loaders and drawing expect
#include <gtest/gtest.h>

#include "objects/inventory.h"
#include <sys/stat.h>

#include <string>
#include <vector>

#include "assetgen.h"
#include "sound/sound.h"
#include "test_util.h"

namespace {

// A decoded TGA as the game's loader sees it (rows in file order when the y-origin is set).
struct tga_picture {
    int width = 0, height = 0, bits = 0, x_origin = 0, y_origin = 0;
    std::vector<uint8_t> rgba;
    const uint8_t *at(int x, int y) const { return &rgba[((size_t)y * width + x) * 4]; }
};

tga_picture read_tga(const std::string &path) {
    tga_picture picture;
    std::string bytes = read_text_file(path);
    if (bytes.size() < 18) return picture;
    auto u8 = [&](size_t i) { return (uint8_t)bytes[i]; };
    picture.x_origin = u8(8) | (u8(9) << 8);
    picture.y_origin = u8(10) | (u8(11) << 8);
    picture.width = u8(12) | (u8(13) << 8);
    picture.height = u8(14) | (u8(15) << 8);
    picture.bits = u8(16);
    int step = picture.bits / 8;
    size_t start = 18 + u8(0);
    if (bytes.size() < start + (size_t)picture.width * picture.height * step) return tga_picture();
    picture.rgba.resize((size_t)picture.width * picture.height * 4);
    for (size_t i = 0; i < (size_t)picture.width * picture.height; i++) {
        const char *p = &bytes[start + i * step];
        picture.rgba[i * 4 + 0] = (uint8_t)p[2];
        picture.rgba[i * 4 + 1] = (uint8_t)p[1];
        picture.rgba[i * 4 + 2] = (uint8_t)p[0];
        picture.rgba[i * 4 + 3] = step == 4 ? (uint8_t)p[3] : 255;
    }
    return picture;
}

void make_folders() {
    mkdir("ART", 0755);
    mkdir("SOUND", 0755);
    mkdir("MUSIC", 0755);
}

}  // namespace

TEST(AssetGen, TgaKeepsRowsInFileOrderWithTheYOriginSet) {
    ScratchDir scratch;
    assetgen_image image = assetgen_image_create(2, 2);
    assetgen_image_set(&image, 0, 0, assetgen_rgb(10, 20, 30), 1.0f);
    assetgen_image_set(&image, 1, 1, assetgen_rgb(200, 100, 50), 0.5f);
    ASSERT_EQ(assetgen_write_tga("a.tga", &image, 1), 1);
    ASSERT_EQ(assetgen_write_tga("b.tga", &image, 0), 1);
    assetgen_image_free(&image);
    tga_picture a = read_tga("a.tga"), b = read_tga("b.tga");
    ASSERT_EQ(a.width, 2);
    EXPECT_EQ(a.bits, 32);
    EXPECT_EQ(b.bits, 24);
    EXPECT_EQ(a.x_origin, 0);
    EXPECT_NE(a.y_origin, 0);
    EXPECT_EQ(a.at(0, 0)[0], 10);
    EXPECT_EQ(a.at(0, 0)[2], 30);
    EXPECT_EQ(a.at(1, 1)[0], 200);
    EXPECT_EQ(a.at(1, 1)[3], 128);
    EXPECT_EQ(b.at(1, 1)[3], 255);
}

TEST(AssetGen, EveryGlyphHasInkInsideItsBoxAndNoneOnItsEdges) {
    ScratchDir scratch;
    make_folders();
    ASSERT_EQ(assetgen_make_font("."), 1);
    tga_picture font = read_tga("ART/FONT.TGA");
    ASSERT_EQ(font.width, 256);
    ASSERT_EQ(font.height, 256);
    ASSERT_EQ(font.bits, 32);
    // Each row's boxes as [left, right) columns; rows are 36 texels high.
    const std::vector<std::vector<int>> edges = {
        {0, 23, 45, 69, 91, 116, 138, 161, 183, 207, 230, 241, 255},
        {0, 28, 53, 77, 104, 128, 150, 177, 204, 221, 237},
        {0, 29, 51, 84, 111, 138, 164, 192, 219, 241},
        {0, 27, 53, 80, 117, 142, 167, 190, 212, 236},
        {0, 22, 45, 67, 85, 108, 132, 146, 160, 186, 199, 233},
        {0, 26, 49, 73, 97, 117, 137, 154, 177, 200, 232},
        {0, 23, 46, 66, 84, 108, 123}};
    int glyphs = 0;
    for (size_t row = 0; row < edges.size(); row++) {
        for (size_t k = 0; k + 1 < edges[row].size(); k++) {
            int left = edges[row][k], right = edges[row][k + 1];
            int ink = 0;
            for (int y = (int)row * 36; y < (int)row * 36 + 36; y++) {
                for (int x = left; x < right; x++) {
                    uint8_t alpha = font.at(x, y)[3];
                    if (alpha > 128) ink++;
                    if (x == left || x == right - 1) {
                        EXPECT_EQ(alpha, 0) << "row " << row << " box " << k;
                    }
                }
            }
            EXPECT_GT(ink, 12) << "row " << row << " box " << k;
            glyphs++;
        }
        // Nothing beyond the row's last box.
        for (int y = (int)row * 36; y < (int)row * 36 + 36; y++) {
            for (int x = edges[row].back(); x < 256; x++) {
                EXPECT_EQ(font.at(x, y)[3], 0);
            }
        }
    }
    EXPECT_EQ(glyphs, 67);
    // White everywhere, so filtering never darkens a glyph's rim.
    EXPECT_EQ(font.at(3, 250)[0], 255);
}

TEST(AssetGen, AtlasIsFullSizeAndTheSameEveryRun) {
    ScratchDir scratch;
    make_folders();
    ASSERT_EQ(assetgen_make_atlas("."), 1);
    std::string first = read_text_file("ART/MATERIAL.TGA");
    ASSERT_EQ(assetgen_make_atlas("."), 1);
    EXPECT_EQ(first, read_text_file("ART/MATERIAL.TGA"));
    tga_picture atlas = read_tga("ART/MATERIAL.TGA");
    EXPECT_EQ(atlas.width, 1024);
    EXPECT_EQ(atlas.height, 1024);
    EXPECT_EQ(atlas.x_origin, 0);
    EXPECT_NE(atlas.y_origin, 0);  // tile (15, 15) stays where terrain drawing samples it
    // The fog tile: sky haze at its top, darker sea mist at its bottom, even across.
    const uint8_t *top = atlas.at(15 * 64 + 10, 15 * 64);
    const uint8_t *bottom = atlas.at(15 * 64 + 50, 15 * 64 + 63);
    EXPECT_GT(top[2], bottom[2]);
    EXPECT_GT(top[2], top[0]);
    EXPECT_EQ(atlas.at(15 * 64, 15 * 64 + 30)[1], atlas.at(15 * 64 + 63, 15 * 64 + 30)[1]);
    // Grass is green, sand is pale, stone is grey, at their tile centres.
    const uint8_t *grass = atlas.at(32, 32), *sand = atlas.at(32, 4 * 64 + 32);
    EXPECT_GT(grass[1], grass[0]);
    EXPECT_GT(grass[1], grass[2]);
    EXPECT_GT(sand[0] + sand[1] + sand[2], 450);
}

TEST(AssetGen, LightRampDarkensOutlinesAndBrightensFullSun) {
    ScratchDir scratch;
    make_folders();
    ASSERT_EQ(assetgen_make_light("."), 1);
    tga_picture light = read_tga("ART/LIGHT.TGA");
    ASSERT_EQ(light.height, 256);
    auto level = [&](float t) { return (int)light.at(0, (int)(t * 256.0f))[1]; };
    EXPECT_LT(level(0.35f), 40);   // outlines: well under a third of full shade
    EXPECT_GT(level(0.99f), 140);  // full sun, doubled by the blend: a little over-bright
    for (int y = 1; y < 256; y++) {
        EXPECT_GE(light.at(0, y)[1], light.at(0, y - 1)[1]);
    }
    // The same whichever of the three corner columns is sampled.
    EXPECT_EQ(light.at(0, 100)[1], light.at(10, 100)[1]);
}

TEST(AssetGen, BackpackPocketsSitWhereTheInventoryPutsItems) {
    ScratchDir scratch;
    make_folders();
    ASSERT_EQ(assetgen_make_display_pieces("."), 1);
    tga_picture pack = read_tga("ART/BACKPACK.TGA");
    ASSERT_EQ(pack.width, 512);
    ASSERT_EQ(pack.bits, 32);
    auto pixel = [&](float ux, float uy) { return pack.at((int)((ux + 150.0f) * 512 / 300), (int)((uy + 150.0f) * 512 / 300)); };
    for (int c = 0; c < INVENTORY_BOARD_COLUMNS; c++) {
        for (int r = 0; r < INVENTORY_BOARD_ROWS; r++) {
            float x, y;
            inventory_hole_centre(c, r, &x, &y);
            const uint8_t *centre = pixel(x, y), *between = pixel(x + 20.0f, y);
            EXPECT_EQ(centre[3], 255);  // drawn with an alpha test
            EXPECT_LT(centre[0], between[0]) << "pocket " << c << "," << r << " is a darker hollow";
        }
    }
    EXPECT_EQ(pack.at(0, 511)[3], 0);
    EXPECT_EQ(pack.at(511, 511)[3], 0);
    // The environment shade averages mid-grey.
    tga_picture shade = read_tga("ART/SHADE.TGA");
    double sum = 0;
    for (size_t i = 0; i < shade.rgba.size(); i += 4) sum += shade.rgba[i + 1];
    EXPECT_NEAR(sum / (shade.rgba.size() / 4), 128.0, 4.0);
}

TEST(AssetGen, SoundEffectsLoadThroughTheGameLoaderAsMono) {
    ScratchDir scratch;
    open_logfile();
    make_folders();
    ASSERT_EQ(assetgen_make_sounds("."), 1);
    const char *names[] = {"SOUND\\CHINK.OGG", "SOUND\\SWIPE.OGG", "SOUND\\JUMP.OGG", "SOUND\\RUBBLE.OGG",
                           "SOUND\\BOMB.OGG",  "SOUND\\GRIM.OGG",  "SOUND\\CHOP.OGG"};
    for (const char *name : names) {
        sound_effect *sound = sound_load_ogg(name, 255);
        ASSERT_NE(sound, nullptr) << name;
        EXPECT_EQ(sound->stereo, 0) << name;
        EXPECT_GT(sound->samples, 10000u) << name;
        int loudest = 0;
        for (uint32_t i = 0; i < sound->samples; i++) loudest = std::max(loudest, std::abs((int)sound->data[i]));
        EXPECT_GT(loudest, 20000) << name;
        sound_free(sound);
    }
}
