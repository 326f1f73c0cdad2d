// test_sound_device.cpp — the real SDL audio thread (disk driver) against the mixer
#include <gtest/gtest.h>
#include <unistd.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <vector>

#include "sound.h"
#include "test_util.h"

namespace {

// Opens the device on SDL's disk driver, which runs the usual audio thread and
// writes every buffer it is given to a file, delay_ms between buffers.
bool open_disk_device(const std::string &file, const char *delay_ms) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", delay_ms, 1);
    sound_setup();
    return sound_device_open == 1;
}

std::vector<int16_t> read_samples(const std::string &file) {
    std::string bytes = read_text_file(file);
    std::vector<int16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); i++)
        out[i] = (int16_t)(uint16_t)((uint8_t)bytes[2 * i] | ((uint8_t)bytes[2 * i + 1] << 8));
    return out;
}

void keep_mixing_for(int milliseconds, bool tight) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        sound_update();
        if (!tight) usleep(1000);
    }
}

}  // namespace

TEST(SoundDevice, PlayedSoundReachesTheDeviceOutput) {
    ScratchDir scratch;
    open_logfile();
    std::string out = scratch.path() + "/out.raw";
    ASSERT_TRUE(open_disk_device(out, "20"));

    // A ramp that cannot occur by accident: 3000 values climbing by 7.
    std::vector<int16_t> ramp(3000);
    for (size_t i = 0; i < ramp.size(); i++) ramp[i] = (int16_t)(100 + 7 * i);
    sound_effect *sound = sound_create(ramp.data(), (uint32_t)ramp.size(), 0, 255);
    ASSERT_NE(sound_play(sound, 255, 128, 0, 0), SOUND_NO_CHANNEL);
    keep_mixing_for(400, false);
    sound_shutdown();
    sound_free(sound);

    std::vector<int16_t> samples = read_samples(out);
    ASSERT_GT(samples.size(), 20000u);
    size_t first = 0;
    while (first < samples.size() && samples[first] == 0) first++;
    ASSERT_LT(first + 2 * ramp.size(), samples.size());
    EXPECT_EQ(first % 2, 0u);  // starts on a left sample
    for (size_t i = 0; i < ramp.size(); i++) {
        ASSERT_EQ(samples[first + 2 * i], (ramp[i] * 254) >> 8) << "left sample " << i;
        ASSERT_EQ(samples[first + 2 * i + 1], (ramp[i] * 127) >> 8) << "right sample " << i;
    }
    EXPECT_EQ(samples[first + 2 * ramp.size()], 0);
}

// The audio thread drains the ring dozens of times faster than real time while
// the main thread mixes two looping sounds as fast as it can. Every output
// value must be a whole sum of the two channels' contributions (or silence
// where the device ran ahead of the mixer); a torn hand-off would leave a
// doubled or lost contribution in the ring.
TEST(SoundDevice, BusyMixerAndAudioThreadNeverTearTheRing) {
    ScratchDir scratch;
    open_logfile();
    std::string out = scratch.path() + "/stress.raw";
    ASSERT_TRUE(open_disk_device(out, "2"));

    std::vector<int16_t> mono(777, 1000), stereo(1000, 100);
    sound_effect *a = sound_create(mono.data(), (uint32_t)mono.size(), 0, 255);
    sound_effect *b = sound_create(stereo.data(), (uint32_t)stereo.size(), 1, 255);
    ASSERT_NE(sound_play(a, 255, 255, 1, 0), SOUND_NO_CHANNEL);
    ASSERT_NE(sound_play(b, 255, 255, 1, 0), SOUND_NO_CHANNEL);
    keep_mixing_for(700, true);
    sound_shutdown();
    sound_free(a);
    sound_free(b);

    const int16_t va = (1000 * 254) >> 8, vb = (100 * 254) >> 8;
    const std::set<int16_t> allowed = {0, va, vb, (int16_t)(va + vb)};
    std::vector<int16_t> samples = read_samples(out);
    ASSERT_GT(samples.size(), 200000u);
    size_t full = 0;
    for (size_t i = 0; i < samples.size(); i++) {
        ASSERT_TRUE(allowed.count(samples[i])) << "value " << samples[i] << " at " << i;
        if (samples[i] == va + vb) full++;
    }
    EXPECT_GT(full, samples.size() / 4);
}

TEST(SoundDevice, FailedDeviceLeavesTheGameSilent) {
    ScratchDir scratch;
    open_logfile();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    unused_channel_count = 0;
    sound_setup();
    EXPECT_EQ(sound_device_open, 0);
    EXPECT_TRUE(log_contains("ERROR:  Audio initialization failed"));
    std::vector<int16_t> samples(10, 100);
    sound_effect *sound = sound_create(samples.data(), 10, 0, 255);
    EXPECT_EQ(sound_play(sound, 255, 255, 0, 0), SOUND_NO_CHANNEL);
    sound_free(sound);
    SDL_Quit();
}
