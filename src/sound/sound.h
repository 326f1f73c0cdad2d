// sound.h — the 64-channel software mixer, its ring buffer and audio callback, and the Ogg/WAV loaders
#pragma once
#include <atomic>
#include <cstdint>

#define SOUND_CHANNELS 64
#define SOUND_NO_CHANNEL 64
#define SOUND_RING_SIZE 65536
#define SOUND_FREQUENCY 44100
#define SOUND_DEVICE_FRAMES 4096
// Sounds are started this many ring values ahead of the device (about 0.6 ms).
#define SOUND_START_AHEAD 50
// The longest sound a loader keeps, in 16-bit values (about 5.9 minutes of stereo).
#define SOUND_MAX_SAMPLES 31457280u

// One loaded sound: the record and its samples in one allocation (free with sound_free).
struct sound_effect {
    int16_t *data;     // interleaved left, right when stereo
    uint32_t samples;  // 16-bit values, both sides counted for stereo
    uint8_t stereo;
};

// The ring of 32-bit accumulators the mixer adds into and the device drains.
// Even positions are left, odd positions right; indices wrap at 65536.
extern int32_t sound_buffer[SOUND_RING_SIZE];
extern std::atomic<uint16_t> sound_buffer_read;

extern uint8_t channel_active[SOUND_CHANNELS];
extern uint32_t channel_read[SOUND_CHANNELS];
extern uint16_t channel_write[SOUND_CHANNELS];
extern uint8_t channel_volume[SOUND_CHANNELS][2];

extern uint8_t unused_channel_count;

// Hand-off between the main thread (mixing) and the audio thread (copying).
extern std::atomic<uint8_t> sound_block_callback;
extern std::atomic<uint8_t> sound_do_callback;

extern uint8_t master_sound_volume;
extern uint8_t master_music_volume;
// 1 once the audio device is open.
extern uint8_t sound_device_open;

void sound_setup(void);
void sound_shutdown(void);
void sound_reset_channels(void);
uint8_t sound_play(sound_effect *sound, uint8_t left_volume, uint8_t right_volume, uint8_t loop, uint8_t music);
void sound_update(void);
void sound_copy_buffer_to_sdl(void *udata, uint8_t *stream, int len);

sound_effect *sound_load_ogg(const char *filename, int volume_scale);
sound_effect *sound_load_wav(const char *filename);
void sound_free(sound_effect *sound);

// Shared by both loaders: the finished record from decoded samples (none when out of memory).
sound_effect *sound_create(const int16_t *samples, uint32_t count, uint8_t stereo, int volume_scale);
