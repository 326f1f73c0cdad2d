// object_pool.cpp — the fixed store of particle records and its free list
#include "objects/object_pool.h"

#include <cstring>

#include "foundation/logfile.h"
#include "objects/object.h"

uint32_t global_object_pool_used = 0;
uint32_t global_object_pool_refused = 0;

static object object_pool_records[OBJECT_POOL_SIZE];
// Records given back, taken again first (top of the stack first); then the never used ones.
static uint16_t object_pool_free[OBJECT_POOL_SIZE];
static uint32_t object_pool_free_count = 0;
static uint32_t object_pool_never_used = 0;
static uint8_t object_pool_full_logged = 0;

void object_pool_reset(void) {
    object_pool_free_count = 0;
    object_pool_never_used = 0;
    object_pool_full_logged = 0;
    global_object_pool_used = 0;
    global_object_pool_refused = 0;
}

object *object_pool_take(void) {
    object *o;
    if (object_pool_free_count > 0) {
        o = &object_pool_records[object_pool_free[--object_pool_free_count]];
    } else if (object_pool_never_used < OBJECT_POOL_SIZE) {
        o = &object_pool_records[object_pool_never_used++];
    } else {
        global_object_pool_refused++;
        // Logged once each time the store fills, not for every refused particle.
        if (!object_pool_full_logged)
            log_message(3, "All %d particles are in use: no new ones until some run out", OBJECT_POOL_SIZE);
        object_pool_full_logged = 1;
        return nullptr;
    }
    memset((void *)o, 0, sizeof(object));
    global_object_pool_used++;
    return o;
}

uint8_t object_pool_holds(const object *o) {
    return o >= object_pool_records && o < object_pool_records + OBJECT_POOL_SIZE;
}

void object_pool_give_back(object *o) {
    if (!object_pool_holds(o) || object_pool_free_count >= OBJECT_POOL_SIZE) return;
    object_pool_free[object_pool_free_count++] = (uint16_t)(o - object_pool_records);
    global_object_pool_used--;
    object_pool_full_logged = 0;
}
