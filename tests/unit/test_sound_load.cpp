// test_sound_load.cpp — Ogg Vorbis and WAV loading: round trips, chained streams and damaged files
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "assetgen.h"
#include "sound/sound.h"
#include "test_util.h"

namespace {

// Writes seconds of a sine (left) and a slower sine (right, when stereo) as Ogg Vorbis.
void write_tone_ogg(const char *path, float seconds, int channels, float frequency) {
    uint32_t frames = (uint32_t)(seconds * 44100.0f);
    std::vector<float> samples((size_t)frames * channels);
    for (uint32_t i = 0; i < frames; i++)
        for (int c = 0; c < channels; c++)
            samples[(size_t)i * channels + c] = 0.5f * sinf(2.0f * 3.14159265f * frequency / (float)(c + 1) * i / 44100.0f);
    ASSERT_EQ(assetgen_write_ogg(path, samples.data(), frames, channels, 0.5f), 1);
}

std::string read_binary(const char *path) { return read_text_file(path); }

void write_binary(const char *path, const std::string &bytes) { write_text_file(path, bytes); }

std::string wav_file(const std::vector<int16_t> &samples, uint32_t claimed_bytes) {
    std::string out = "RIFF";
    out.append(36, '\0');
    for (int k = 0; k < 4; k++) out.push_back((char)((claimed_bytes >> (8 * k)) & 255));
    for (int16_t s : samples) {
        out.push_back((char)((uint16_t)s & 255));
        out.push_back((char)((uint16_t)s >> 8));
    }
    return out;
}

}  // namespace

TEST(SoundLoad, TenStereoSecondsOfOggYield882000Samples) {
    ScratchDir scratch;
    open_logfile();
    write_tone_ogg("tone.ogg", 10.0f, 2, 440.0f);
    sound_effect *sound = sound_load_ogg("tone.ogg", 255);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->samples, 882000u);
    EXPECT_EQ(sound->stereo, 1);
    // The content survives the lossy round trip: compare against the source sines.
    double error = 0.0, power = 0.0;
    for (uint32_t i = 20000; i < 40000; i++) {
        int c = (int)(i & 1);
        double expected = 0.5 * 32767.0 * sin(2.0 * 3.14159265 * 440.0 / (c + 1) * (i / 2) / 44100.0);
        error += (sound->data[i] - expected) * (sound->data[i] - expected);
        power += expected * expected;
    }
    EXPECT_LT(error / power, 0.01);
    EXPECT_TRUE(log_contains("File is stereo"));
    sound_free(sound);
}

TEST(SoundLoad, MonoOggIsScaledByTheVolumeScale) {
    ScratchDir scratch;
    open_logfile();
    write_tone_ogg("mono.ogg", 1.0f, 1, 300.0f);
    sound_effect *full = sound_load_ogg("mono.ogg", 255);
    sound_effect *quiet = sound_load_ogg("mono.ogg", 64);
    ASSERT_NE(full, nullptr);
    ASSERT_NE(quiet, nullptr);
    EXPECT_EQ(full->samples, 44100u);
    EXPECT_EQ(full->stereo, 0);
    int loudest = 0;
    for (uint32_t i = 0; i < full->samples; i++) {
        EXPECT_EQ(quiet->data[i], full->data[i] * 64 / 255);
        loudest = std::max(loudest, std::abs((int)full->data[i]));
    }
    EXPECT_NEAR(loudest, 16384, 1500);
    sound_free(full);
    sound_free(quiet);
}

TEST(SoundLoad, ChainedStreamsAreDecodedIntoOneSound) {
    ScratchDir scratch;
    open_logfile();
    write_tone_ogg("a.ogg", 0.5f, 1, 300.0f);
    write_tone_ogg("b.ogg", 0.25f, 1, 600.0f);
    write_binary("chain.ogg", read_binary("a.ogg") + read_binary("b.ogg"));
    sound_effect *sound = sound_load_ogg("chain.ogg", 255);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->samples, 22050u + 11025u);
    sound_free(sound);
}

TEST(SoundLoad, TruncatedOggIsRefusedWithAReason) {
    ScratchDir scratch;
    open_logfile();
    write_tone_ogg("whole.ogg", 2.0f, 2, 440.0f);
    std::string bytes = read_binary("whole.ogg");
    write_binary("cut.ogg", bytes.substr(0, bytes.size() / 2));
    EXPECT_EQ(sound_load_ogg("cut.ogg", 255), nullptr);
    EXPECT_TRUE(log_contains("truncated"));
    // Cut inside the headers.
    write_binary("headers.ogg", bytes.substr(0, 100));
    EXPECT_EQ(sound_load_ogg("headers.ogg", 255), nullptr);
    EXPECT_TRUE(log_contains("OGG file was missing data"));
}

TEST(SoundLoad, FilesThatAreNotVorbisAreRefused) {
    ScratchDir scratch;
    open_logfile();
    write_binary("short.ogg", "this is plainly a text file\n");
    EXPECT_EQ(sound_load_ogg("short.ogg", 255), nullptr);
    write_binary("long.ogg", std::string(100000, 'x'));
    EXPECT_EQ(sound_load_ogg("long.ogg", 255), nullptr);
    EXPECT_TRUE(log_contains("File wasn't really an OGG file"));
    write_binary("empty.ogg", "");
    EXPECT_EQ(sound_load_ogg("empty.ogg", 255), nullptr);
    EXPECT_EQ(sound_load_ogg("missing.ogg", 255), nullptr);
    EXPECT_TRUE(log_contains("Attempting to load sound file missing.ogg"));
    // The warnings a player reads at the shipped log level name the file and the reason.
    EXPECT_TRUE(log_contains("Warn :Could not load sound short.ogg -- File wasn't really an OGG file"));
    EXPECT_TRUE(log_contains("Warn :Could not load sound missing.ogg -- No such file or directory"));
    EXPECT_EQ(sound_load_wav("missing.wav"), nullptr);
    EXPECT_TRUE(log_contains("Warn :Could not load sound missing.wav -- No such file or directory"));
    EXPECT_EQ(sound_load_wav("short.ogg"), nullptr);
    EXPECT_TRUE(log_contains("Warn :Could not load sound short.ogg -- it is not a RIFF file"));
}

TEST(SoundLoad, OggStreamThatIsNotVorbisIsRefused) {
    ScratchDir scratch;
    open_logfile();
    write_tone_ogg("tone.ogg", 0.5f, 1, 300.0f);
    std::string bytes = read_binary("tone.ogg");
    // Spoil the identification header's "vorbis" signature (the page CRC is then wrong too).
    size_t at = bytes.find("vorbis");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'X';
    write_binary("spoilt.ogg", bytes);
    EXPECT_EQ(sound_load_ogg("spoilt.ogg", 255), nullptr);
}

TEST(SoundLoad, WavSamplesAreReadLittleEndianAsMono) {
    ScratchDir scratch;
    open_logfile();
    write_binary("tone.wav", wav_file({1, -1, 32767, -32768, 258}, 10));
    sound_effect *sound = sound_load_wav("tone.wav");
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->samples, 5u);
    EXPECT_EQ(sound->stereo, 0);
    EXPECT_EQ(sound->data[0], 1);
    EXPECT_EQ(sound->data[1], -1);
    EXPECT_EQ(sound->data[2], 32767);
    EXPECT_EQ(sound->data[3], -32768);
    EXPECT_EQ(sound->data[4], 258);
    sound_free(sound);
}

TEST(SoundLoad, WavOddByteCountDropsTheHalfSample) {
    ScratchDir scratch;
    open_logfile();
    write_binary("odd.wav", wav_file({7, 8}, 3));
    sound_effect *sound = sound_load_wav("odd.wav");
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->samples, 1u);
    sound_free(sound);
}

TEST(SoundLoad, DamagedWavFilesAreRefused) {
    ScratchDir scratch;
    open_logfile();
    write_binary("big.wav", wav_file({1, 2, 3}, 4000000));
    EXPECT_EQ(sound_load_wav("big.wav"), nullptr);
    EXPECT_TRUE(log_contains("claims 4000000 bytes"));
    write_binary("huge.wav", wav_file({1, 2, 3}, 0xFFFFFFFFu));
    EXPECT_EQ(sound_load_wav("huge.wav"), nullptr);
    write_binary("notriff.wav", "RIFX" + std::string(60, '\0'));
    EXPECT_EQ(sound_load_wav("notriff.wav"), nullptr);
    write_binary("header.wav", "RIFF" + std::string(20, '\0'));
    EXPECT_EQ(sound_load_wav("header.wav"), nullptr);
    write_binary("empty.wav", wav_file({}, 0));
    EXPECT_EQ(sound_load_wav("empty.wav"), nullptr);
    EXPECT_EQ(sound_load_wav("missing.wav"), nullptr);
}
