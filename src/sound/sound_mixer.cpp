// sound_mixer.cpp — the audio device, the 64 mixer channels, the ring buffer and the audio callback
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "sound/sound.h"

int32_t sound_buffer[SOUND_RING_SIZE];
std::atomic<uint16_t> sound_buffer_read{0};

uint8_t channel_active[SOUND_CHANNELS];
static uint8_t channel_stereo[SOUND_CHANNELS];
static uint8_t channel_loop[SOUND_CHANNELS];
static int16_t *channel_data[SOUND_CHANNELS];
uint32_t channel_read[SOUND_CHANNELS];
uint16_t channel_write[SOUND_CHANNELS];
static uint32_t channel_samples[SOUND_CHANNELS];
uint8_t channel_volume[SOUND_CHANNELS][2];

// Until sound_setup succeeds no channel is free, so every play returns 64.
static uint8_t unused_channel[SOUND_CHANNELS];
uint8_t unused_channel_count = 0;

std::atomic<uint8_t> sound_block_callback{0};
std::atomic<uint8_t> sound_do_callback{0};
static uint8_t *sound_do_callback_stream = nullptr;
static int sound_do_callback_len = 0;

uint8_t master_sound_volume = 255;
uint8_t master_music_volume = 255;
uint8_t sound_device_open = 0;

// Copies len / 2 ring values into the device buffer as clamped 16-bit
// little-endian samples, emptying each slot it takes.
static void sound_copy_ring(uint8_t *stream, int len) {
    uint16_t read = sound_buffer_read.load();
    int count = len / 2;
    for (int k = 0; k < count; k++) {
        int32_t value = sound_buffer[read];
        sound_buffer[read] = 0;
        if (value > 32767) value = 32767;
        if (value < -32767) value = -32767;
        uint16_t bits = (uint16_t)(int16_t)value;
        stream[2 * k] = (uint8_t)(bits & 255);
        stream[2 * k + 1] = (uint8_t)(bits >> 8);
        read++;  // wraps at 65536
    }
    sound_buffer_read.store(read);
}

void sound_copy_buffer_to_sdl(void *udata, uint8_t *stream, int len) {
    (void)udata;
    if (sound_block_callback.load()) {
        // The main thread is adding to the ring: leave the request for it.
        sound_do_callback_stream = stream;
        sound_do_callback_len = len;
        sound_do_callback.store(1);
        return;
    }
    sound_copy_ring(stream, len);
}

void sound_reset_channels(void) {
    for (int i = 0; i < SOUND_CHANNELS; i++) {
        channel_active[i] = 0;
        unused_channel[i] = (uint8_t)i;
    }
    unused_channel_count = SOUND_CHANNELS;
}

void sound_setup(void) {
    platform_audio_priority_raise();
    SDL_AudioSpec wanted;
    memset(&wanted, 0, sizeof(wanted));
    wanted.freq = SOUND_FREQUENCY;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 2;
    wanted.samples = SOUND_DEVICE_FRAMES;
    wanted.callback = sound_copy_buffer_to_sdl;
    wanted.userdata = nullptr;
    // No obtained format is asked for: SDL converts when the device differs.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        log_message(1, "ERROR:  Audio initialization failed");
        return;
    }
    platform_audio_priority_lower();
    sound_buffer_read.store(0);
    memset(sound_buffer, 0, sizeof(sound_buffer));
    sound_reset_channels();
    sound_device_open = 1;
    SDL_PauseAudio(0);
}

// Closes the device and forgets every channel, so no channel points into a
// sound that is about to be freed.
void sound_shutdown(void) {
    if (sound_device_open) {
        SDL_CloseAudio();
        sound_device_open = 0;
    }
    for (int i = 0; i < SOUND_CHANNELS; i++) {
        channel_active[i] = 0;
        channel_data[i] = nullptr;
    }
    unused_channel_count = 0;
}

uint8_t sound_play(sound_effect *sound, uint8_t left_volume, uint8_t right_volume, uint8_t loop, uint8_t music) {
    if (!sound || unused_channel_count == 0 || !sound->data || sound->samples == 0) return SOUND_NO_CHANNEL;
    if (left_volume == 0 && right_volume == 0) return SOUND_NO_CHANNEL;
    if (master_sound_volume == 0 && (master_music_volume == 0 || !music)) return SOUND_NO_CHANNEL;

    unused_channel_count--;
    uint8_t channel = unused_channel[unused_channel_count];
    channel_active[channel] = 1;
    channel_stereo[channel] = sound->stereo;
    channel_loop[channel] = loop;
    channel_data[channel] = sound->data;
    channel_samples[channel] = sound->samples;
    channel_read[channel] = 0;
    channel_write[channel] = (uint16_t)(sound_buffer_read.load() + SOUND_START_AHEAD);
    if (music) {
        // The music volumes are faded in by the day and night cycle.
        channel_volume[channel][0] = 0;
        channel_volume[channel][1] = 0;
    } else {
        channel_volume[channel][0] = (uint8_t)(left_volume * master_sound_volume / 256);
        channel_volume[channel][1] = (uint8_t)(right_volume * master_sound_volume / 256);
    }
    sound_update();
    return channel;
}

// Adds one channel's next samples into the ring, from its write position up to
// the device's read position, and retires or rewinds it when its sound ends.
static void sound_mix_channel(int channel) {
    const uint16_t read = sound_buffer_read.load();
    const int16_t *data = channel_data[channel];
    const uint32_t samples = channel_samples[channel];
    const int32_t left = channel_volume[channel][0];
    const int32_t right = channel_volume[channel][1];
    uint32_t index = channel_read[channel];
    uint16_t write = channel_write[channel];

    if (channel_stereo[channel]) {
        // Both sides of a stereo sound use the left volume.
        while (index < samples && write != read) {
            sound_buffer[write] += (data[index] * left) >> 8;
            write++;
            index++;
        }
    } else {
        while (index < samples && write != read && (uint16_t)(write + 1) != read) {
            int32_t sample = data[index];
            sound_buffer[write] += (sample * left) >> 8;
            sound_buffer[(uint16_t)(write + 1)] += (sample * right) >> 8;
            write = (uint16_t)(write + 2);
            index++;
        }
    }
    channel_write[channel] = write;
    channel_read[channel] = index;

    if (index >= samples) {
        if (channel_loop[channel]) {
            channel_read[channel] = 0;
        } else {
            channel_active[channel] = 0;
            if (unused_channel_count < SOUND_CHANNELS) unused_channel[unused_channel_count++] = (uint8_t)channel;
        }
    }
}

void sound_update(void) {
    for (int channel = 0; channel < SOUND_CHANNELS; channel++) {
        // The audio lock makes the device's callback wait while this channel is
        // added to the ring, so no ring value is read while it is being mixed.
        if (sound_device_open) SDL_LockAudio();
        // A recorded request is never cleared unanswered: it is completed below.
        sound_block_callback.store(1);
        if (channel_active[channel]) sound_mix_channel(channel);
        sound_block_callback.store(0);
        if (sound_do_callback.exchange(0)) sound_copy_ring(sound_do_callback_stream, sound_do_callback_len);
        if (sound_device_open) SDL_UnlockAudio();
    }
}

sound_effect *sound_create(const int16_t *samples, uint32_t count, uint8_t stereo, int volume_scale) {
    sound_effect *sound = (sound_effect *)malloc(sizeof(sound_effect) + (size_t)count * sizeof(int16_t));
    if (!sound) return nullptr;
    sound->data = (int16_t *)(sound + 1);
    sound->samples = count;
    sound->stereo = stereo;
    for (uint32_t i = 0; i < count; i++) sound->data[i] = (int16_t)(samples[i] * volume_scale / 255);
    return sound;
}

void sound_free(sound_effect *sound) { free(sound); }
