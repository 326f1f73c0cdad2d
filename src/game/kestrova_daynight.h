// kestrova_daynight.h — night spawning of zombis
#pragma once
#include <cstdint>

// One world step's spawning: at night every 256 steps (five per run), or when Z was pressed.
// Returns 1 when a zombi was spawned.
uint8_t daynight_spawn_monster(void);
