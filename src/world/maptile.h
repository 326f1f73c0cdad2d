// maptile.h — the built-in 64 x 64 grey height texture: 3-byte pixels row by row, then a zero byte
#pragma once
#include <cstdint>

#define MAPTILE_SIZE 64
#define MAPTILE_BYTES (MAPTILE_SIZE * MAPTILE_SIZE * 3 + 1)

extern const uint8_t maptile[MAPTILE_BYTES];
