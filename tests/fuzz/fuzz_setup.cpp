// fuzz_setup.cpp — feeds arbitrary bytes to the SETUP.TXT reader
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "game/kestrova.h"
#include "foundation/logfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *file = fopen("fuzz_setup.txt", "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    load_setup("fuzz_setup.txt");
    // Whatever the file says, the clamped settings stay within their ranges.
    if (global_display_distance < 20 || global_display_distance > 1000) __builtin_trap();
    if (global_background_distance > 500) __builtin_trap();
    global_log_level = 5;
    return 0;
}
