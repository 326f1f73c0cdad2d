// random.h — the table-driven random numbers: 65536 bytes read through a wrapping 16-bit cursor
#pragma once
#include <cstdint>

#define RANDOM_TABLE_SIZE 65536

extern uint8_t random_table[RANDOM_TABLE_SIZE];
extern uint16_t next_random;

void random_setup(void);
void random_seed(int32_t seed);
uint8_t random_number(void);
uint16_t random_short(void);
float random_range(float min, float max);
uint16_t random_dice(uint8_t number, uint16_t sides);
