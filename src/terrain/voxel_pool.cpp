// voxel_pool.cpp — the record pool behind voxel_create and voxel_destroy: fixed blocks of records
// threaded on one free list, so a chunk's tens of thousands of records cost no malloc each
#include <cstdlib>

#include "terrain/voxel.h"

// 4096 records of 32 bytes: a 128 KiB block, about seven per resident chunk.
#define VOXEL_POOL_BLOCK_RECORDS 4096

struct voxel_pool_block {
    voxel_pool_block *next;
    voxel records[VOXEL_POOL_BLOCK_RECORDS];
};

uint32_t global_voxel_allocation_limit = 0;

static voxel_pool_block *pool_blocks = nullptr;
static voxel *pool_free_list = nullptr;
static uint32_t pool_live = 0;
static uint32_t pool_block_total = 0;
static uint8_t pool_exit_handler_registered = 0;

uint32_t voxel_pool_live_count(void) { return pool_live; }
uint32_t voxel_pool_block_count(void) { return pool_block_total; }

static void voxel_pool_free_blocks(void) {
    while (pool_blocks) {
        voxel_pool_block *next = pool_blocks->next;
        free(pool_blocks);
        pool_blocks = next;
    }
    pool_free_list = nullptr;
    pool_block_total = 0;
}

// At exit the substitute records go back and the blocks are freed, whatever is still live:
// nothing reads terrain after that point.
static void voxel_pool_release_at_exit(void) {
    global_empty_voxel = nullptr;
    global_off_map_voxel = nullptr;
    voxel_pool_free_blocks();
    pool_live = 0;
}

static uint8_t voxel_pool_grow(void) {
    voxel_pool_block *block = (voxel_pool_block *)malloc(sizeof(voxel_pool_block));
    if (!block) return 0;
    if (!pool_exit_handler_registered) {
        atexit(voxel_pool_release_at_exit);
        pool_exit_handler_registered = 1;
    }
    block->next = pool_blocks;
    pool_blocks = block;
    pool_block_total++;
    // Thread the records so the lowest address is handed out first.
    for (int i = VOXEL_POOL_BLOCK_RECORDS - 1; i >= 0; i--) {
        block->records[i].next = pool_free_list;
        pool_free_list = &block->records[i];
    }
    return 1;
}

voxel *voxel_pool_take(void) {
    if (global_voxel_allocation_limit != 0 && pool_live >= global_voxel_allocation_limit) return nullptr;
    if (!pool_free_list && !voxel_pool_grow()) return nullptr;
    voxel *v = pool_free_list;
    pool_free_list = v->next;
    pool_live++;
    return v;
}

void voxel_pool_give_back(voxel *v) {
    v->next = pool_free_list;
    pool_free_list = v;
    pool_live--;
    // Everything unloaded: the memory goes back to the system.
    if (pool_live == 0) voxel_pool_free_blocks();
}

void voxel_pool_reset_limit(void) { global_voxel_allocation_limit = 0; }
