// test_sound_device.cpp — the real SDL audio thread (disk driver) against the mixer
#include <gtest/gtest.h>
#include <unistd.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "sound/sound.h"
#include "test_util.h"

namespace {

// Opens the device on SDL's disk driver, which runs the usual audio thread and
// writes every buffer it is given to a file, delay_ms between buffers.
bool open_disk_device(const std::string &file, const char *delay_ms) {
    // SDL picks its audio driver when the subsystem starts, so an earlier test's must be gone.
    sound_shutdown();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
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
// the main thread mixes six looping sounds as fast as it can. Their levels are
// powers of three, so every output value is a sum in which each channel appears
// at most once (a 0 or 1 in every base-3 digit; silence where the device ran
// ahead of the mixer). A torn hand-off would add some channel twice to a slot.
TEST(SoundDevice, BusyMixerAndAudioThreadNeverTearTheRing) {
    ScratchDir scratch;
    open_logfile();
    std::string out = scratch.path() + "/stress.raw";
    ASSERT_TRUE(open_disk_device(out, "2"));

    std::vector<sound_effect *> sounds;
    for (int k = 0; k < 6; k++) {
        int level = 4;
        for (int j = 0; j < k; j++) level *= 3;
        // The sample whose mix at channel volume 254 is exactly the level.
        int16_t sample = (int16_t)((level * 256 + 253) / 254);
        std::vector<int16_t> samples((size_t)(500 + 37 * k), sample);
        sounds.push_back(sound_create(samples.data(), (uint32_t)samples.size(), (uint8_t)(k & 1), 255));
        ASSERT_NE(sound_play(sounds.back(), 255, 255, 1, 0), SOUND_NO_CHANNEL);
    }
    keep_mixing_for(700, true);
    sound_shutdown();
    for (sound_effect *sound : sounds) sound_free(sound);

    std::vector<int16_t> samples = read_samples(out);
    ASSERT_GT(samples.size(), 200000u);
    size_t full = 0;
    for (size_t i = 0; i < samples.size(); i++) {
        int value = samples[i];
        ASSERT_GE(value, 0) << "at " << i;
        ASSERT_EQ(value % 4, 0) << "value " << value << " at " << i;
        for (int rest = value / 4; rest > 0; rest /= 3) ASSERT_LE(rest % 3, 1) << "value " << value << " at " << i;
        if (value == 4 * (1 + 3 + 9 + 27 + 81 + 243)) full++;
    }
#ifndef _WIN32
    // Under wine the device's thread runs far ahead of this mixer, so the full mix is rarely
    // reached there; the check above that no value is torn still holds.
    EXPECT_GT(full, samples.size() / 4);
#endif
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
