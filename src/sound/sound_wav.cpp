// sound_wav.cpp — reads canonical 44-byte-header WAV files as mono 16-bit sounds
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "sound/sound.h"

// Why the last load failed, for the warning that names the file.
static const char *wav_problem = "";

static sound_effect *sound_load_wav_file(const char *filename) {
    char *path = fix_path(filename);
    log_message(5, "Attempting to load sound file %s", path);
    errno = 0;
    FILE *file = platform_open_regular_file(path, "rb", nullptr);
    if (!file) {
        wav_problem = errno == EINVAL ? "it is not a regular file" : strerror(errno);
        return nullptr;
    }

    // Only the RIFF tag and the data size of a canonical header are read;
    // everything else in the header is taken on trust, and the sound is mono.
    uint8_t header[44];
    size_t got = fread(header, 1, sizeof(header), file);
    if (got < 4 || memcmp(header, "RIFF", 4) != 0) {
        wav_problem = "it is not a RIFF file";
        log_message(5, "ERROR:  %s is not a RIFF file", path);
        fclose(file);
        return nullptr;
    }
    if (got < sizeof(header)) {
        wav_problem = "it ends inside its header";
        log_message(5, "ERROR:  %s ends inside its header", path);
        fclose(file);
        return nullptr;
    }
    uint32_t byte_count = (uint32_t)header[40] | ((uint32_t)header[41] << 8) | ((uint32_t)header[42] << 16) |
                          ((uint32_t)header[43] << 24);

    // The byte count must fit the data that is really there.
    long data_start = ftell(file);
    if (fseek(file, 0, SEEK_END) != 0) {
        wav_problem = strerror(errno);
        fclose(file);
        return nullptr;
    }
    long file_size = ftell(file);
    if (data_start < 0 || file_size < data_start || byte_count > (uint64_t)(file_size - data_start)) {
        wav_problem = "it claims more samples than it holds";
        log_message(5, "ERROR:  %s claims %u bytes of samples but holds %ld", path, byte_count,
                    file_size - data_start);
        fclose(file);
        return nullptr;
    }
    fseek(file, data_start, SEEK_SET);

    uint32_t samples = byte_count / 2;
    if (samples > SOUND_MAX_SAMPLES) {
        log_message(2, "%s is longer than %u samples and was cut there", path, SOUND_MAX_SAMPLES);
        samples = SOUND_MAX_SAMPLES;
    }
    if (samples == 0) {
        wav_problem = "it holds no samples";
        log_message(5, "ERROR:  %s holds no samples", path);
        fclose(file);
        return nullptr;
    }
    sound_effect *sound = (sound_effect *)malloc(sizeof(sound_effect) + (size_t)samples * sizeof(int16_t));
    if (!sound) {
        wav_problem = "out of memory";
        log_message(5, "ERROR:  Out of memory for sound %s", path);
        fclose(file);
        return nullptr;
    }
    sound->data = (int16_t *)(sound + 1);
    sound->samples = samples;
    sound->stereo = 0;
    uint8_t *bytes = (uint8_t *)sound->data;
    if (fread(bytes, 2, samples, file) != samples) {
        // The file shrank under us: give up rather than keep garbage.
        wav_problem = "it ended early";
        log_message(5, "ERROR:  %s ended early", path);
        free(sound);
        fclose(file);
        return nullptr;
    }
    // Little-endian on disk, whatever the machine; each value is rewritten in place.
    for (uint32_t i = 0; i < samples; i++)
        sound->data[i] = (int16_t)(uint16_t)(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    fclose(file);
    log_message(5, "  Finished loading WAV file...");
    log_message(5, "  Had %u samples total", samples);
    return sound;
}

sound_effect *sound_load_wav(const char *filename) {
    wav_problem = "it cannot be read";
    sound_effect *sound = sound_load_wav_file(filename);
    if (!sound) log_message(2, "Could not load sound %s -- %s", fix_path(filename), wav_problem);
    return sound;
}
