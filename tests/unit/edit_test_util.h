// edit_test_util.h — small worlds for the editing, fluid and collision tests, and ways to read them
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terrain_test_util.h"

// A flat chunk at (cx, cy): crystal at z = 0, a run of `material` up to z = height - 2 and a single
// block of `top` at z = height - 1 with the centred marker and full sunlight.
inline chunk *make_flat_chunk(int cx, int cy, int height, uint8_t material, uint8_t top) {
    return make_resident_chunk(cx, cy, [=](int, int) {
        std::vector<uint16_t> words = {run_word(34, 1)};
        if (height > 2) words.push_back(run_word(material, (uint16_t)(height - 2)));
        if (height > 1) words.push_back(single_word(top));
        return make_pillar(words, 127);
    });
}

// The material of the block at (x, y, z); 0 for air, a missing record or a missing column.
inline uint8_t material_at(int x, int y, int z) {
    voxel *v = chunkmap_get_xyz(x, y, z);
    return v ? voxel_material(v) : 0;
}

// The number of solid blocks in a box of columns.
inline int solid_blocks(int x0, int x1, int y0, int y1) {
    int count = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            for (const voxel *v = chunkmap_get_xy(x, y); v; v = v->next)
                if (voxel_material(v) != 0) count += voxel_length(v);
    return count;
}

// Every column of the box satisfies the pillar invariants; the first fault is reported.
inline ::testing::AssertionResult pillars_sound(int x0, int x1, int y0, int y1) {
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (!voxel_check_pillar_xy(x, y))
                return ::testing::AssertionFailure()
                       << "column " << x << ", " << y << ": " << global_voxel_check_problem;
    return ::testing::AssertionSuccess();
}

// The marker offsets (0.0625 .. 0.9375) of a single block.
inline vector marker_of(const voxel *v) {
    vector m = {0.0f, 0.0f, 0.0f};
    voxel_add_marker_offset_xyz(v, &m);
    return m;
}

// Records held by every resident chunk's columns, plus the two substitutes.
inline uint32_t records_in_world() {
    uint32_t count = 0;
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++)
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++)
            if (chunk_map[cx][cy])
                for (int x = 0; x < CHUNK_SIZE; x++)
                    for (int y = 0; y < CHUNK_SIZE; y++)
                        for (const voxel *v = chunk_map[cx][cy]->pillar[x][y]; v; v = v->next) count++;
    for (const voxel *v = global_empty_voxel; v; v = v->next) count++;
    for (const voxel *v = global_off_map_voxel; v; v = v->next) count++;
    return count;
}
