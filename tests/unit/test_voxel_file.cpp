// test_voxel_file.cpp — the encoding of voxel records in chunk files, byte for byte
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "foundation/file.h"
#include "terrain_test_util.h"

static std::string export_bytes(const voxel *v) {
    FILE *file = fopen("record.bin", "wb");
    voxel_export(file, v);
    fclose(file);
    return read_text_file("record.bin");
}

static std::string hex(const std::string &bytes) {
    std::string text;
    char pair[4];
    for (unsigned char c : bytes) {
        snprintf(pair, sizeof(pair), "%02X ", c);
        text += pair;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

// Reads one record from the given bytes.
static voxel *import_bytes(const std::string &bytes) {
    write_text_file("record.bin", bytes);
    FILE *file = fopen("record.bin", "rb");
    voxel *v = voxel_import(file);
    fclose(file);
    return v;
}

TEST(VoxelFile, StoneRunOfTenIsTwoBytes) {
    ScratchWorld world;
    voxel *v = voxel_create(3, 10);
    v->sunlight = 90;  // a run's light is not stored
    EXPECT_EQ(hex(export_bytes(v)), "03 05");
    voxel_destroy(v);
}

TEST(VoxelFile, GrassSingleBlockIsSevenBytes) {
    ScratchWorld world;
    voxel *v = voxel_create(10, 1);
    v->data = single_word(10);
    v->sunlight = 200;
    EXPECT_EQ(hex(export_bytes(v)), "4A 92 65 65 C7 C8 00");
    voxel *back = import_bytes(export_bytes(v));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->data, v->data);
    EXPECT_EQ(back->sunlight, 200);
    EXPECT_EQ(back->glowlight, 0);
    EXPECT_EQ(back->fluid_depth, 0);
    EXPECT_EQ(hex(export_bytes(back)), "4A 92 65 65 C7 C8 00");
    voxel_destroy(v);
    voxel_destroy(back);
}

TEST(VoxelFile, BrightGlowIsCappedAndFluidFollowsAsFloat) {
    ScratchWorld world;
    voxel *v = voxel_create(10, 1);
    v->data = single_word(10);
    v->glowlight = 200;
    v->fluid_depth = 24;
    v->fluid_pressure = 30;
    v->fluid_draw_depth = 28;
    std::string bytes = export_bytes(v);
    ASSERT_EQ(bytes.size(), 11u);
    EXPECT_EQ((uint8_t)bytes[6], 0xFF);
    float depth;
    memcpy(&depth, bytes.data() + 7, 4);
    EXPECT_EQ(depth, 24.0f);
    voxel *back = import_bytes(bytes);
    EXPECT_EQ(back->glowlight, 127);
    EXPECT_EQ(back->fluid_depth, 24);
    EXPECT_EQ(back->fluid_pressure, 0);
    EXPECT_EQ(back->fluid_draw_depth, 0);
    voxel_destroy(v);
    voxel_destroy(back);
}

TEST(VoxelFile, NormalBytesTruncateTowardZero) {
    ScratchWorld world;
    voxel *v = voxel_create(1, 1);
    v->data = single_word(1);
    v->nx = -0.99f;
    v->ny = 1.0f;
    v->nz = 0.0f;
    std::string bytes = export_bytes(v);
    EXPECT_EQ((uint8_t)bytes[2], 0);
    EXPECT_EQ((uint8_t)bytes[3], 200);
    EXPECT_EQ((uint8_t)bytes[4], 100);
    // A broken normal still gives a byte, never an undefined conversion.
    v->nx = NAN;
    v->ny = 5.0f;
    bytes = export_bytes(v);
    EXPECT_EQ((uint8_t)bytes[2], 0);
    EXPECT_EQ((uint8_t)bytes[3], 255);
    voxel_destroy(v);
}

TEST(VoxelFile, UprightNormalReadsBackWithSmallSideComponents) {
    ScratchWorld world;
    voxel *v = import_bytes(std::string("\x4A\x92\x64\x64\xC8\x10\x05", 7));
    ASSERT_NE(v, nullptr);
    EXPECT_FLOAT_EQ(v->nx, 0.01f);
    EXPECT_FLOAT_EQ(v->ny, 0.01f);
    EXPECT_GT(v->nz, 0.99f);
    EXPECT_LT(v->nz, 1.0f);
    EXPECT_EQ(v->sunlight, 0x10);
    EXPECT_EQ(v->glowlight, 5);
    voxel_destroy(v);

    // A slanted normal is normalised and kept.
    v = import_bytes(std::string("\x4A\x92\xC8\x64\xC8\x00\x00", 7));
    EXPECT_NEAR(v->nx, 0.70710677f, 1e-4f);
    EXPECT_NEAR(v->ny, 0.0f, 1e-4f);
    EXPECT_NEAR(v->nz, 0.70710677f, 1e-4f);
    voxel_destroy(v);
}

TEST(VoxelFile, RunsLoseLightAndNormalAcrossSaveAndLoad) {
    ScratchWorld world;
    voxel *v = voxel_create(3, 10);
    v->sunlight = 99;
    v->glowlight = 12;
    v->nx = 1.0f;
    v->nz = 0.0f;
    voxel *back = import_bytes(export_bytes(v));
    EXPECT_EQ(back->data, run_word(3, 10));
    EXPECT_EQ(back->sunlight, 0);
    EXPECT_EQ(back->glowlight, 0);
    EXPECT_FLOAT_EQ(back->nx, 0.01f);
    EXPECT_FLOAT_EQ(back->nz, 0.99f);
    voxel_destroy(v);
    voxel_destroy(back);
}

TEST(VoxelFile, ImportStopsAtTerminatorEndOfFileAndNoFile) {
    ScratchWorld world;
    EXPECT_EQ(import_bytes(std::string("\x00\x00\x03\x05", 4)), nullptr);
    EXPECT_EQ(import_bytes(std::string("\x03", 1)), nullptr);
    EXPECT_EQ(import_bytes(""), nullptr);
    EXPECT_EQ(voxel_import(nullptr), nullptr);
    voxel_export(nullptr, nullptr);
    EXPECT_EQ(export_bytes(nullptr), "");
}

TEST(VoxelFile, EndOfFileInsideASingleBlockReadsZeros) {
    ScratchWorld world;
    voxel *v = import_bytes(std::string("\x4A\x92\xC8", 3));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->data, 0x924A);
    EXPECT_EQ(v->sunlight, 0);
    EXPECT_TRUE(std::isfinite(v->nx) && std::isfinite(v->ny) && std::isfinite(v->nz));
    voxel_destroy(v);
    // The glow byte announces a fluid float that is missing.
    v = import_bytes(std::string("\x4A\x92\x64\x64\xC8\x10\x85\x00", 8));
    EXPECT_EQ(v->glowlight, 5);
    EXPECT_EQ(v->fluid_depth, 0);
    voxel_destroy(v);
}

TEST(VoxelFile, HostileFluidDepthsAreClamped) {
    ScratchWorld world;
    const float depths[] = {NAN, -5.0f, 1e30f, 70000.0f, 123.9f};
    const uint16_t expected[] = {0, 0, 65535, 65535, 123};
    for (int i = 0; i < 5; i++) {
        std::string bytes("\x4A\x92\x64\x64\xC8\x00\x80", 7);
        bytes.append((const char *)&depths[i], 4);
        voxel *v = import_bytes(bytes);
        EXPECT_EQ(v->fluid_depth, expected[i]) << i;
        voxel_destroy(v);
    }
}

TEST(VoxelFile, ImportGivesUpWhenMemoryRunsOut) {
    ScratchWorld world;
    global_voxel_allocation_limit = voxel_pool_live_count();
    EXPECT_EQ(import_bytes(std::string("\x03\x05", 2)), nullptr);
}

// Writes one record to the start of a scratch stream and returns its bytes.
static std::string stream_bytes(FILE *stream, const voxel *v) {
    rewind(stream);
    voxel_export(stream, v);
    fflush(stream);
    long length = ftell(stream);
    rewind(stream);
    std::string bytes((size_t)length, '\0');
    if (fread(&bytes[0], 1, (size_t)length, stream) != (size_t)length) bytes.clear();
    return bytes;
}

TEST(VoxelFile, StoredNormalsWriteBackTheSameBytesForEveryDirection) {
    ScratchWorld world;
    FILE *stream = tmpfile();
    ASSERT_NE(stream, nullptr);
    voxel *v = voxel_create(10, 1);
    v->data = single_word(10);
    int checked = 0;
    // Directions from just off straight up to just off straight down, including those whose z lies
    // just inside ±0.99. (Straight up is stored as 64 64 C8 and read back in the upright form 65 65 C7.)
    for (int a = 0; a < 72; a++) {
        for (int b = 1; b <= 78; b++) {
            float azimuth = (float)a * 0.0872665f, tilt = (float)b * 0.0383121f;
            v->nx = sinf(tilt) * cosf(azimuth);
            v->ny = sinf(tilt) * sinf(azimuth);
            v->nz = cosf(tilt);
            std::string first = stream_bytes(stream, v);
            rewind(stream);
            voxel *back = voxel_import(stream);
            ASSERT_EQ(hex(stream_bytes(stream, back)), hex(first)) << a << ", " << b;
            EXPECT_NEAR(back->nx * back->nx + back->ny * back->ny + back->nz * back->nz, 1.0f, 0.04f);
            voxel_destroy(back);
            checked++;
        }
    }
    EXPECT_EQ(checked, 72 * 78);
    fclose(stream);
    // A gently sloped block keeps its slope instead of being made upright.
    voxel *sloped = import_bytes(std::string("\x4A\x92\x60\x71\xC6\x00\x00", 7));
    EXPECT_NEAR(sloped->ny, 0.13f, 0.01f);
    EXPECT_EQ(hex(export_bytes(sloped)), "4A 92 60 71 C6 00 00");
    voxel_destroy(sloped);
    voxel_destroy(v);
}
