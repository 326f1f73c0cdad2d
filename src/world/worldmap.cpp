// worldmap.cpp — PLACEHOLDER world generation until the island generator lands: a dome-shaped
// island with gentle hills, crystal at the bottom, stone, then dirt under grass or sand under
// the beach, with the exposed surface blocks made single as the real generator makes them
#include "worldmap.h"

#include <cmath>

#include "chunkmap.h"

#define WORLDMAP_BEACH_HEIGHT 23

static float worldmap_placeholder_height(int x, int y) {
    float dx = ((float)x - 1600.0f) / 1500.0f;
    float dy = ((float)y - 1600.0f) / 1500.0f;
    float height = 60.0f * (1.0f - dx * dx - dy * dy);
    height += 5.0f * sinf((float)x * 0.09f) * cosf((float)y * 0.07f) + 3.0f * sinf((float)(x - y) * 0.031f);
    return height > 0.0f ? height : 0.0f;
}

static uint8_t worldmap_placeholder_material(int z, int topz, int stonez) {
    if (z == 0) return 34;  // Crystal
    if (z < stonez) return 3;
    return topz < WORLDMAP_BEACH_HEIGHT ? 7 : 1;
}

voxel *worldmap_generate_pillar(int x, int y) {
    if (x < 0 || x >= CHUNKMAP_COLUMNS || y < 0 || y >= CHUNKMAP_COLUMNS) return nullptr;
    float total = worldmap_placeholder_height(x, y);
    float left = worldmap_placeholder_height(x - 1, y), right = worldmap_placeholder_height(x + 1, y);
    float down = worldmap_placeholder_height(x, y - 1), up = worldmap_placeholder_height(x, y + 1);
    int topz = (int)total;
    int neighborz = (int)fminf(fminf(left, right), fminf(down, up));
    int stonez = (int)(total * 0.6f);

    float nx = -2.0f * (right - left), ny = -2.0f * (up - down);
    float length = sqrtf(nx * nx + ny * ny + 16.0f + 0.00001f);
    nx /= length;
    ny /= length;
    float nz = 4.0f / length;
    if (nz > 0.99f) {
        nx = 0.01f;
        ny = 0.01f;
        nz = 0.99f;
    }

    voxel *bottom = nullptr, *top = nullptr;
    for (int z = 0; z <= topz; z++) {
        uint8_t material = worldmap_placeholder_material(z, topz, stonez);
        uint8_t single = (z >= neighborz || z == topz) ? 1 : 0;
        if (single && z == topz && material == 1) material = 10;  // grass on top of dirt
        if (!single && top && !voxel_is_single(top) && voxel_material(top) == material &&
            voxel_length(top) < VOXEL_MAX_RUN) {
            top->data = (uint16_t)(top->data + (1 << VOXEL_LENGTH_SHIFT));
            continue;
        }
        voxel *v = voxel_create(material, 1);
        if (!v) continue;
        if (single) {
            v->data = (uint16_t)(material | VOXEL_CENTRED_SINGLE);
            v->sunlight = 127;
            v->nx = nx;
            v->ny = ny;
            v->nz = nz;
        }
        if (top)
            top->next = v;
        else
            bottom = v;
        top = v;
    }
    return bottom;
}

void worldmap_generate_chunk(int cx, int cy) {
    if (cx < 0 || cx >= CHUNKMAP_SIZE || cy < 0 || cy >= CHUNKMAP_SIZE || chunk_map[cx][cy]) return;
    chunk *c = chunk_create();
    if (!c) return;
    chunk_map[cx][cy] = c;
    for (int x = 0; x < CHUNK_SIZE; x++)
        for (int y = 0; y < CHUNK_SIZE; y++)
            c->pillar[x][y] = worldmap_generate_pillar(cx * CHUNK_SIZE + x, cy * CHUNK_SIZE + y);
}
