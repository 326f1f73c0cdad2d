// fuzz_tga.cpp — feeds arbitrary bytes to the TGA decoder, with and without the centre fade, then halves the result
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "display/display.h"
#include "foundation/logfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    global_log_level = 0;
    for (uint8_t fade = 0; fade < 2; fade++) {
        FILE *file = size ? fmemopen((void *)data, size, "rb") : fopen("/dev/null", "rb");
        if (!file) return 0;
        uint16_t width = 0, height = 0;
        uint8_t ok = display_decode_tga(file, fade, &width, &height);
        fclose(file);
        if (!ok) continue;
        // An accepted picture always fits the scratch image and has something in it.
        if (width < 1 || width > 1024 || height < 1 || height > 1024) __builtin_trap();
        while (width > 1 || height > 1) display_half_texture_data(&width, &height);
    }
    return 0;
}
