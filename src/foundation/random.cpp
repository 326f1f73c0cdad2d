// random.cpp — the random table, filled once from a generator of our own, and its draws
#include "foundation/random.h"

uint8_t random_table[RANDOM_TABLE_SIZE];
uint16_t next_random = 0;

void random_generator_seed(random_generator *generator, uint32_t seed) {
    // Seed 0 would leave the whole state zero; it counts as 1.
    int32_t word = seed == 0 ? 1 : (int32_t)seed;
    uint32_t *r = generator->state;
    r[0] = (uint32_t)word;
    for (int i = 1; i < 31; i++) {
        // word = 16807 * word mod (2^31 - 1), by Schrage's method so it never overflows 32 bits;
        // a negative seed gives negative words, kept as they come.
        int32_t hi = word / 127773;
        int32_t lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        r[i] = (uint32_t)word;
    }
    for (int i = 31; i < 34; i++) r[i] = r[i - 31];
    generator->position = 0;
    // The first 310 words after the seeding ones are stirred away unseen.
    for (int i = 0; i < 310; i++) random_generator_next(generator);
}

int32_t random_generator_next(random_generator *generator) {
    // The ring holds words k-34 .. k-1; word k = word k-31 + word k-3 (mod 2^32), and it
    // replaces word k-34, which sits at the ring's oldest position.
    uint32_t oldest = generator->position;
    uint32_t back31 = (oldest + 3) % 34;
    uint32_t back3 = (oldest + 31) % 34;
    uint32_t word = generator->state[back31] + generator->state[back3];
    generator->state[oldest] = word;
    generator->position = (oldest + 1) % 34;
    return (int32_t)(word >> 1);
}

void random_setup(void) {
    random_generator generator;
    random_generator_seed(&generator, 0);
    next_random = 0;
    for (int i = 0; i < RANDOM_TABLE_SIZE; i++) random_table[i] = (uint8_t)(random_generator_next(&generator) & 255);
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
