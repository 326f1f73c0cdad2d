// player_file.h — the local player kept with its world: position, facing, hits, the whole
// inventory and the time of day in a file of its own beside the chunk files, and the free ground
// a player is placed on
#pragma once
#include <cstddef>
#include <cstdint>

#include "foundation/vecmath.h"
#include "objects/object.h"

// The player's file in the world folder (world name filled in); the chunk files are untouched.
#define PLAYER_FILE_NAME "WORLDS\\%s\\PLAYER.SAV"
// Where a refused player file is kept for the player to look at.
#define PLAYER_FILE_BAD_NAME "WORLDS\\%s\\PLAYER.BAD"
// A player file is never longer than this, nor holds more records (the player and all it carries).
#define PLAYER_FILE_MAX_BYTES (8u << 20)
#define PLAYER_FILE_MAX_RECORDS 65536u
// The file begins with these four characters and a format number.
#define PLAYER_FILE_MAGIC "PLYR"
#define PLAYER_FILE_VERSION 1

// What the file keeps beside the player's own record: the world's clock (the time of day is its
// low 16 bits) and the camera's heading and pitch.
struct player_file_state {
    uint32_t world_frame;
    uint16_t heading;
    uint16_t pitch;
    vector position;  // the saved player's position (read only)
};

// What the last read or decode found.
extern player_file_state global_player_file;
// Why the last read or decode refused its file ("" when it did not).
extern const char *global_player_file_refusal;

// The checksum that ends a player file, over all bytes before it.
uint32_t player_file_checksum(const uint8_t *data, size_t size);
// Writes the player (its inventory, nested, included) and state into a buffer of its own
// (free() it); 1 on success.
uint8_t player_file_encode(const object *player, const player_file_state *state, uint8_t **data, size_t *size);
// Checks a whole file's bytes; on success keeps them for player_file_restore and fills
// global_player_file. Nothing in the world changes either way.
uint8_t player_file_decode(const uint8_t *data, size_t size);
// Gives player the kept record: its fields, position and facing, and every item it carried, in
// its order and on its place on the board. Items of kinds that no longer exist are left out (and
// logged). The kept bytes are released; 0 when nothing was kept.
uint8_t player_file_restore(object *player);
// Releases the kept bytes without using them.
void player_file_forget(void);

// Reads the file name (backslashes, converted here). Returns 1 when a player is kept for
// player_file_restore; 0 when there is no file, or when it is refused: then a clear line is
// logged and the file is kept as PLAYER_FILE_BAD_NAME of world_name.
uint8_t player_file_load(const char *name, const char *world_name);
// Writes the file the way chunk files are written: a temporary file beside it, flushed to disk
// and renamed over it, so a crash leaves either the old or the new file. 1 on success; on failure
// the old file is kept and the reason logged.
uint8_t player_file_save(const char *name, const object *player, const player_file_state *state);
// The world's player file name for world_name.
void player_file_name(char *name, int size, const char *world_name);

// The lowest height at or above z at which a sphere of radius at (x, y) is not inside terrain (the
// collision would leave it where it is): z itself when the spot is free, else the nearest free
// ground above it.
float player_free_ground_z(float x, float y, float z, float radius);
// 1 when the sphere at center with radius stands on terrain or has it within reach below its
// lowest point, measured in the column under its centre.
uint8_t player_feet_on_ground(const vector *center, float radius, float reach);
// The highest ledge a jump climbs: above the deepest pit one dig of the heaviest tool makes
// (a radius of 2.4 dug most of a radius into level ground reaches 4.3 below it).
#define PLAYER_CLIMB_MOST 4.8f
// How far the body's centre must rise to rest on the ground just ahead of it, in the horizontal
// direction (dx, dy), when an ordinary jump (which lifts the centre by least) would not get it
// there and the rise is at most most, with room above the body to make it; 0 otherwise.
float player_climb_rise(const vector *center, float radius, float dx, float dy, float least, float most);
// The upward speed that lifts a body by height against the fall of gravity each step.
float player_jump_speed_for(float height, float gravity);
