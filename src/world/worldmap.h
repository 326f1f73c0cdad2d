// worldmap.h — world generation: the terrain of chunks that have no file yet
// PLACEHOLDER until world generation lands: a test island shaped by a dome and gentle hills.
#pragma once
#include "voxel.h"

// Creates, registers and fills chunk (cx, cy); nothing if it is off the map or resident.
void worldmap_generate_chunk(int cx, int cy);
// A freshly built column of the world's terrain at world column (x, y), bottom record first,
// or none when (x, y) is off the map or memory runs out. The chunk reader rebuilds the columns
// of a damaged file with it.
voxel *worldmap_generate_pillar(int x, int y);
