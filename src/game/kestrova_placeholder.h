// kestrova_placeholder.h — PLACEHOLDERS for modules that have not landed yet; each goes when its module arrives
#pragma once
#include <cstdint>

// PLACEHOLDER (monster spawning): Z spawns a zombi 10 to 20 blocks behind the player; night
// spawning comes with day and night.
void placeholder_monster_spawning(void);
