// random.h — the table-driven random numbers: 65536 bytes read through a wrapping 16-bit cursor
#pragma once
#include <cstdint>

#define RANDOM_TABLE_SIZE 65536

// The generator that fills the table: an additive feedback generator with 31 words of state
// (taps 3 and 31) seeded by a Park-Miller sequence. It gives the same numbers as the GNU C
// library's rand() after srand(seed), on every platform, so worlds made by earlier Linux
// builds stay the same everywhere.
struct random_generator {
    uint32_t state[34];  // the last 34 words of the sequence, a ring
    uint32_t position;   // index of the oldest word in the ring
};

extern uint8_t random_table[RANDOM_TABLE_SIZE];
extern uint16_t next_random;

void random_generator_seed(random_generator *generator, uint32_t seed);
int32_t random_generator_next(random_generator *generator);  // 0 .. 2147483647

void random_setup(void);
void random_seed(int32_t seed);
uint8_t random_number(void);
uint16_t random_short(void);
float random_range(float min, float max);
uint16_t random_dice(uint8_t number, uint16_t sides);
