// chunkmap_stream.cpp — streaming chunks in and out around the camera target, one load and one
// save per pass at most, and saving everything at exit
#include "world/chunkmap.h"
#include "foundation/logfile.h"
#include "foundation/timer.h"
#include "foundation/vecmath.h"

// x >> 6 rounding toward minus infinity, also for the negative points near the map's edge.
static int chunkmap_floor_chunk(int value) {
    return value >= 0 ? value >> CHUNK_SHIFT : -((-value + CHUNK_SIZE - 1) >> CHUNK_SHIFT);
}

static int chunkmap_clamp_window(int value) {
    if (value < 0) return 0;
    if (value > CHUNKMAP_SIZE) return CHUNKMAP_SIZE;
    return value;
}

// Squared distance from the column point to the centre of chunk (cx, cy); the differences are
// integers, squared as floats.
static float chunkmap_distance_squared(int x, int y, int cx, int cy) {
    float dx = (float)(x - (cx * CHUNK_SIZE + CHUNK_SIZE / 2));
    float dy = (float)(y - (cy * CHUNK_SIZE + CHUNK_SIZE / 2));
    return dx * dx + dy * dy;
}

void chunkmap_unload_everything(void) {
    log_message(3, "Unloading entire chunkmap (writing to disk)");
    uint32_t failed_before = global_chunkmap_failed_saves;
    int resident = 0;
    for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
        for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
            if (chunk_map[cx][cy]) resident++;
            log_message(3, "  Attempting to unload %d, %d", cx, cy);
            chunkmap_unload(cx, cy);
            log_message(3, "  Finished unload of %d, %d", cx, cy);
        }
    }
    log_message(3, "Done unloading entire chunkmap");
    global_chunkmap_failed_saves_at_exit = global_chunkmap_failed_saves - failed_before;
    if (global_chunkmap_failed_saves_at_exit)
        log_message(1, "Could not save %u of %d chunks at exit; their changes since they were last saved are lost",
                    (unsigned)global_chunkmap_failed_saves_at_exit, resident);
    if (failed_before)
        log_message(1, "%u chunks could not be saved earlier in this game", (unsigned)failed_before);
}

uint8_t (*chunkmap_forced_pass_stop_hook)(void) = nullptr;

void chunkmap_update(int x, int y, float load_radius, float unload_radius, uint8_t force_update) {
    uint32_t elapsed = global_world_frame - last_chunkmap_update;  // wraps with the frame counter
    if (!(elapsed > CHUNKMAP_IDLE_FRAMES || force_update)) return;

    // Clamped to a sane range so the window arithmetic cannot overflow.
    float reach = unload_radius + 128.0f;
    if (!(reach > 0.0f)) reach = 0.0f;
    if (reach > 100000.0f) reach = 100000.0f;
    int rad = (int)reach;
    float load_threshold = load_radius * load_radius;
    float unload_threshold = unload_radius * unload_radius;

    int tlx = chunkmap_clamp_window(chunkmap_floor_chunk(x - rad));
    int tly = chunkmap_clamp_window(chunkmap_floor_chunk(y - rad));
    int brx = chunkmap_clamp_window(chunkmap_floor_chunk(x + rad));
    int bry = chunkmap_clamp_window(chunkmap_floor_chunk(y + rad));

    int load_cx = -1, load_cy = -1, unload_cx = -1, unload_cy = -1;
    for (int cy = tly; cy < bry; cy++) {
        for (int cx = tlx; cx < brx; cx++) {
            float dis = chunkmap_distance_squared(x, y, cx, cy);
            if (dis > unload_threshold && chunk_map[cx][cy]) {
                if (force_update) {
                    chunkmap_unload(cx, cy);
                } else {
                    unload_cx = cx;
                    unload_cy = cy;
                    unload_threshold = dis;
                }
            } else if (dis < load_threshold && !chunk_map[cx][cy]) {
                if (force_update) {
                    chunkmap_load(cx, cy);
                    // A forced pass can make hundreds of chunks; a quit asked meanwhile ends it.
                    if (chunkmap_forced_pass_stop_hook && chunkmap_forced_pass_stop_hook()) return;
                } else {
                    load_cx = cx;
                    load_cy = cy;
                    load_threshold = dis;
                }
            }
        }
    }
    if (load_cx >= 0) chunkmap_load(load_cx, load_cy);
    if (unload_cx >= 0) chunkmap_unload(unload_cx, unload_cy);
    if (load_cx < 0 && unload_cx < 0) {
        last_chunkmap_update = global_world_frame;
        chunkmap_full_update(x, y, unload_radius);
    }
}

void chunkmap_full_update(int x, int y, float unload_radius) {
    float threshold = unload_radius * unload_radius;
    for (int cy = 0; cy < CHUNKMAP_SIZE; cy++) {
        for (int cx = 0; cx < CHUNKMAP_SIZE; cx++) {
            if (chunk_map[cx][cy] && chunkmap_distance_squared(x, y, cx, cy) > threshold) {
                chunkmap_unload(cx, cy);
                return;
            }
        }
    }
}
