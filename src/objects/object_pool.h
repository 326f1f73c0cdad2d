// object_pool.h — the fixed store of particle records (debris, dust, smoke, flame): no allocation
// while the world runs, and a full store refuses new particles instead of growing
#pragma once
#include <cstdint>

struct object;

// Enough for a bomb's blast beside a few dozen burning torches; a full store spawns no new particle
// until older ones run out.
#define OBJECT_POOL_SIZE 8192

// Particles in use; how many spawns the full store has refused since the last reset.
extern uint32_t global_object_pool_used;
extern uint32_t global_object_pool_refused;

// A zeroed record from the store, or none when every record is in use.
object *object_pool_take(void);
// 1 if o is a record of the store (it then goes back with object_pool_give_back, not free).
uint8_t object_pool_holds(const object *o);
void object_pool_give_back(object *o);
// Every record free again, as at start. Only for when no pile still holds a particle.
void object_pool_reset(void);
