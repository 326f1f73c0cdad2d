// test_sound_mixer.cpp — mixer arithmetic, channel bookkeeping and the callback hand-off, without a device
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sound/sound.h"

namespace {

// A mixer as sound_setup leaves it, but with no device behind it.
void fresh_mixer() {
    memset(sound_buffer, 0, sizeof(sound_buffer));
    sound_buffer_read.store(0);
    sound_block_callback.store(0);
    sound_do_callback.store(0);
    master_sound_volume = 255;
    master_music_volume = 255;
    sound_reset_channels();
}

struct owned_sound {
    sound_effect *sound;
    explicit owned_sound(const std::vector<int16_t> &samples, uint8_t stereo)
        : sound(sound_create(samples.data(), (uint32_t)samples.size(), stereo, 255)) {}
    ~owned_sound() { sound_free(sound); }
};

// Drains count ring values through the callback into 16-bit samples.
std::vector<int16_t> drain(int count) {
    std::vector<uint8_t> bytes((size_t)count * 2);
    sound_copy_buffer_to_sdl(nullptr, bytes.data(), (int)bytes.size());
    std::vector<int16_t> out((size_t)count);
    for (int i = 0; i < count; i++) out[(size_t)i] = (int16_t)(uint16_t)(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return out;
}

}  // namespace

TEST(SoundMixer, FullScaleSampleAtChannelVolume255Adds32639) {
    fresh_mixer();
    owned_sound one({32767}, 0);
    // Music starts silent; its volume is then raised directly, as the day cycle does.
    uint8_t channel = sound_play(one.sound, 255, 255, 1, 1);
    ASSERT_NE(channel, SOUND_NO_CHANNEL);
    EXPECT_EQ(sound_buffer[50], 0);
    channel_volume[channel][0] = 255;
    channel_volume[channel][1] = 255;
    // The loop's first (silent) pass took slots 50 and 51; the next pass follows.
    sound_update();
    EXPECT_EQ(sound_buffer[52], 32639);
    EXPECT_EQ(sound_buffer[53], 32639);
}

TEST(SoundMixer, PlayScalesVolumesByMasterVolumeAndMixesAtOnce) {
    fresh_mixer();
    master_sound_volume = 128;
    owned_sound one({1000}, 0);
    uint8_t channel = sound_play(one.sound, 200, 100, 0, 0);
    ASSERT_NE(channel, SOUND_NO_CHANNEL);
    EXPECT_EQ(channel_volume[channel][0], 100);  // 200 * 128 / 256
    EXPECT_EQ(channel_volume[channel][1], 50);
    EXPECT_EQ(sound_buffer[50], (1000 * 100) >> 8);
    EXPECT_EQ(sound_buffer[51], (1000 * 50) >> 8);
    // A one-sample sound is finished by that first mix and gives its channel back.
    EXPECT_EQ(channel_active[channel], 0);
    EXPECT_EQ(unused_channel_count, SOUND_CHANNELS);
}

TEST(SoundMixer, NegativeSamplesShiftArithmetically) {
    fresh_mixer();
    owned_sound one({-1}, 0);
    sound_play(one.sound, 255, 255, 0, 0);
    // (-1 * 254) >> 8 is -1, not 0.
    EXPECT_EQ(sound_buffer[50], -1);
}

TEST(SoundMixer, CallbackClampsToSymmetricRangeAndEmptiesTheRing) {
    fresh_mixer();
    sound_buffer[0] = 40000;
    sound_buffer[1] = -40000;
    sound_buffer[2] = -32768;
    sound_buffer[3] = 1234;
    std::vector<int16_t> out = drain(4);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32767);
    EXPECT_EQ(out[2], -32767);
    EXPECT_EQ(out[3], 1234);
    for (int i = 0; i < 4; i++) EXPECT_EQ(sound_buffer[i], 0);
    EXPECT_EQ(sound_buffer_read.load(), 4);
}

TEST(SoundMixer, TwoLoudSoundsSumAndClampInTheOutput) {
    fresh_mixer();
    owned_sound loud({30000, -30000}, 1);
    sound_play(loud.sound, 255, 255, 0, 0);
    sound_play(loud.sound, 255, 255, 0, 0);
    // The stereo pair lands in slots 50 and 51 for each sound.
    sound_buffer_read.store(50);
    std::vector<int16_t> out = drain(2);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32767);
}

TEST(SoundMixer, SilentOrMissingSoundsTakeNoChannel) {
    fresh_mixer();
    owned_sound one({100, 200}, 0);
    EXPECT_EQ(sound_play(one.sound, 0, 0, 0, 0), SOUND_NO_CHANNEL);
    EXPECT_EQ(sound_play(nullptr, 255, 255, 0, 0), SOUND_NO_CHANNEL);
    sound_effect empty = {nullptr, 0, 0};
    EXPECT_EQ(sound_play(&empty, 255, 255, 0, 0), SOUND_NO_CHANNEL);
    master_sound_volume = 0;
    EXPECT_EQ(sound_play(one.sound, 255, 255, 0, 0), SOUND_NO_CHANNEL);
    // With effects muted, music still plays while its own volume is up.
    EXPECT_NE(sound_play(one.sound, 255, 255, 1, 1), SOUND_NO_CHANNEL);
    master_music_volume = 0;
    EXPECT_EQ(sound_play(one.sound, 255, 255, 1, 1), SOUND_NO_CHANNEL);
    EXPECT_EQ(unused_channel_count, SOUND_CHANNELS - 1);
}

TEST(SoundMixer, ChannelsAreTakenFromTheTopOfTheStackAndReturnedThere) {
    fresh_mixer();
    std::vector<int16_t> long_samples(100000, 10);
    owned_sound long_sound(long_samples, 0);
    owned_sound blip({5}, 0);
    EXPECT_EQ(sound_play(long_sound.sound, 255, 255, 0, 0), 63);
    EXPECT_EQ(sound_play(long_sound.sound, 255, 255, 0, 0), 62);
    // The blip takes 61, ends in its first mix and goes back on top of the stack.
    EXPECT_EQ(sound_play(blip.sound, 255, 255, 0, 0), 61);
    EXPECT_EQ(channel_active[61], 0);
    EXPECT_EQ(sound_play(long_sound.sound, 255, 255, 0, 0), 61);
}

TEST(SoundMixer, SixtyFifthSoundFindsNoChannel) {
    fresh_mixer();
    std::vector<int16_t> long_samples(100000, 1);
    owned_sound long_sound(long_samples, 0);
    for (int i = 0; i < SOUND_CHANNELS; i++) ASSERT_NE(sound_play(long_sound.sound, 255, 255, 0, 0), SOUND_NO_CHANNEL);
    EXPECT_EQ(sound_play(long_sound.sound, 255, 255, 0, 0), SOUND_NO_CHANNEL);
    EXPECT_EQ(unused_channel_count, 0);
}

TEST(SoundMixer, NoChannelIsFreeBeforeTheDeviceIsSetUp) {
    fresh_mixer();
    unused_channel_count = 0;  // as after a failed sound_setup
    owned_sound one({100}, 0);
    EXPECT_EQ(sound_play(one.sound, 255, 255, 0, 0), SOUND_NO_CHANNEL);
}

TEST(SoundMixer, MonoSoundPannedLeftIsHeardOnlyOnTheLeft) {
    fresh_mixer();
    owned_sound tone({1000, -1000, 2000, -2000}, 0);
    sound_play(tone.sound, 255, 0, 0, 0);
    for (int i = 0; i < 4; i++) {
        EXPECT_NE(sound_buffer[50 + 2 * i], 0);
        EXPECT_EQ(sound_buffer[51 + 2 * i], 0);
    }
}

TEST(SoundMixer, StereoSoundUsesTheLeftVolumeForBothSides) {
    fresh_mixer();
    owned_sound tone({1000, 2000}, 1);
    // Right volume only: a channel is taken but nothing is heard.
    EXPECT_NE(sound_play(tone.sound, 0, 255, 0, 0), SOUND_NO_CHANNEL);
    EXPECT_EQ(sound_buffer[50], 0);
    EXPECT_EQ(sound_buffer[51], 0);
    sound_play(tone.sound, 128, 0, 0, 0);
    EXPECT_EQ(sound_buffer[50], (1000 * 127) >> 8);
    EXPECT_EQ(sound_buffer[51], (2000 * 127) >> 8);
}

TEST(SoundMixer, MixingFillsTheRingUpToTheDeviceAndResumesAfterItMoves) {
    fresh_mixer();
    std::vector<int16_t> samples(200000, 7);
    owned_sound long_sound(samples, 1);
    uint8_t channel = sound_play(long_sound.sound, 255, 255, 0, 0);
    // From position 50 all the way round to the reader at 0.
    EXPECT_EQ(channel_write[channel], 0);
    EXPECT_EQ(channel_read[channel], (uint32_t)(SOUND_RING_SIZE - 50));
    EXPECT_EQ(sound_buffer[SOUND_RING_SIZE - 1], (7 * 254) >> 8);
    EXPECT_EQ(sound_buffer[0], 0);
    drain(8192);
    sound_update();
    EXPECT_EQ(channel_write[channel], 8192);
    EXPECT_EQ(channel_read[channel], (uint32_t)(SOUND_RING_SIZE - 50 + 8192));
}

TEST(SoundMixer, LoopingSoundRestartsAndKeepsItsChannel) {
    fresh_mixer();
    owned_sound loop({100, 200, 300}, 0);
    uint8_t channel = sound_play(loop.sound, 255, 255, 1, 0);
    EXPECT_EQ(channel_active[channel], 1);
    EXPECT_EQ(sound_buffer[50], (100 * 254) >> 8);
    // One pass per update: the loop's second pass comes with the next call.
    EXPECT_EQ(sound_buffer[56], 0);
    sound_update();
    EXPECT_EQ(sound_buffer[56], (100 * 254) >> 8);
    EXPECT_EQ(sound_buffer[58], (200 * 254) >> 8);
    drain(SOUND_RING_SIZE);
    sound_update();
    EXPECT_EQ(channel_active[channel], 1);
    EXPECT_EQ(unused_channel_count, SOUND_CHANNELS - 1);
}

TEST(SoundMixer, VolumeChangesOnlyAffectSamplesMixedAfterThem) {
    fresh_mixer();
    std::vector<int16_t> samples(100000, 1000);
    owned_sound long_sound(samples, 1);
    uint8_t channel = sound_play(long_sound.sound, 255, 255, 0, 0);
    int32_t before = sound_buffer[100];
    channel_volume[channel][0] = 10;
    sound_update();
    EXPECT_EQ(sound_buffer[100], before);
    drain(8192);
    sound_update();
    EXPECT_EQ(sound_buffer[100], (1000 * 10) >> 8);  // mixed again after the device took the slot
}

TEST(SoundMixer, RequestArrivingDuringMixingIsCompletedAfterTheChannel) {
    fresh_mixer();
    sound_buffer[0] = 500;
    sound_buffer[1] = -500;
    std::vector<uint8_t> stream(4, 0xAA);
    sound_block_callback.store(1);
    sound_copy_buffer_to_sdl(nullptr, stream.data(), 4);
    // Nothing is copied while the mixer holds the ring.
    EXPECT_EQ(sound_do_callback.load(), 1);
    EXPECT_EQ(stream[0], 0xAA);
    EXPECT_EQ(sound_buffer_read.load(), 0);
    sound_block_callback.store(0);
    // The main thread completes the request with the recorded buffer after its channel.
    sound_update();
    EXPECT_EQ(sound_do_callback.load(), 0);
    EXPECT_EQ(sound_buffer_read.load(), 2);
    EXPECT_EQ((int16_t)(uint16_t)(stream[0] | (stream[1] << 8)), 500);
    EXPECT_EQ((int16_t)(uint16_t)(stream[2] | (stream[3] << 8)), -500);
}

TEST(SoundMixer, LoaderScalesSamplesByVolumeTruncatingTowardZero) {
    std::vector<int16_t> raw = {32767, -32768, 255, -255, 3, -3};
    sound_effect *sound = sound_create(raw.data(), (uint32_t)raw.size(), 0, 64);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->data[0], 32767 * 64 / 255);
    EXPECT_EQ(sound->data[1], -32768 * 64 / 255);
    EXPECT_EQ(sound->data[2], 64);
    EXPECT_EQ(sound->data[3], -64);
    EXPECT_EQ(sound->data[4], 0);
    EXPECT_EQ(sound->data[5], 0);
    sound_free(sound);
}
