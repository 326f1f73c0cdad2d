// random.cpp — the random table, filled once from the C library's generator, and its draws
#include "foundation/random.h"

#include <cstdlib>

uint8_t random_table[RANDOM_TABLE_SIZE];
uint16_t next_random = 0;

void random_setup(void) {
    srand(0);
    next_random = 0;
    for (int i = 0; i < RANDOM_TABLE_SIZE; i++) random_table[i] = (uint8_t)(rand() & 255);
}

void random_seed(int32_t seed) { next_random = (uint16_t)((uint32_t)seed & 0xFFFFu); }

uint8_t random_number(void) {
    next_random = (uint16_t)(next_random + 1);
    return random_table[next_random];
}

uint16_t random_short(void) {
    uint16_t high = random_number();
    uint16_t low = random_number();
    return (uint16_t)(high * 256u + low);
}

float random_range(float min, float max) {
    float v = (float)random_short();
    return v / 65535.0f * (max - min) + min;
}

uint16_t random_dice(uint8_t number, uint16_t sides) {
    if (sides == 0) return 0;
    uint16_t total = 0;
    for (int i = 0; i < number; i++) {
        uint8_t r = random_number();
        // The face is worked out in 8 bits: with more than 255 sides a 255 shows as 0.
        uint8_t face = (uint8_t)((uint8_t)(r % sides) + 1);
        total = (uint16_t)(total + face);
    }
    return total;
}
