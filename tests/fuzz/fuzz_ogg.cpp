// fuzz_ogg.cpp — feeds arbitrary bytes to the Ogg Vorbis loader
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "foundation/logfile.h"
#include "sound/sound.h"

// Every sample is read into this, so the sanitizer checks the whole block.
static volatile int32_t fuzz_sample_sink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *file = fopen("fuzz_ogg.ogg", "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    global_log_level = 0;
    sound_effect *sound = sound_load_ogg("fuzz_ogg.ogg", 255);
    if (sound) {
        // A loaded sound is whole: every sample can be read.
        if (sound->samples == 0 || sound->samples > SOUND_MAX_SAMPLES) __builtin_trap();
        for (uint32_t i = 0; i < sound->samples; i++) fuzz_sample_sink = fuzz_sample_sink + sound->data[i];
        sound_free(sound);
    }
    return 0;
}
