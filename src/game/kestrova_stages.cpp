// kestrova_stages.cpp — the developer's frame-stage timers and the old/new drawing path switch
#include "game/kestrova_stages.h"

#include <SDL_opengl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "models/model.h"
#include "terrain/multri.h"

static uint8_t global_stages_active = 0;

static const char *const stage_names[STAGE_COUNT] = {"rest",    "depth",  "band8",   "band4", "band2",
                                                     "near",    "objects", "inhand", "overlay", "swap"};

// What one path gathered since the last summary.
struct stages_sums {
    uint32_t frames;
    double frame_ms;
    double stage_ms[STAGE_COUNT];
    double cpu_ms, process_cpu_ms;
    double state_changes;
    double triangles, depth_triangles, dropped, model_triangles, unit_selects, draw_calls;
};

static stages_sums sums[2];      // [0] new path, [1] old path
static uint8_t path_mode = 0;    // 0 new, 1 old, 2 alternate
static uint8_t path_old = 0;     // the path of the frame being drawn
static stages_stage running = STAGE_REST;
static double stage_start_ms = 0.0, frame_start_ms = 0.0, summary_start_ms = 0.0;
static double frame_stage_ms[STAGE_COUNT];
static uint64_t frame_cpu_start = 0, frame_process_cpu_start = 0;

static double stages_now_ms(void) {
    using namespace std::chrono;
    return (double)duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count() / 1000.0;
}

stages_stage stages_band_stage(uint8_t mega) {
    if (mega >= 8) return STAGE_BAND8;
    if (mega >= 4) return STAGE_BAND4;
    if (mega >= 2) return STAGE_BAND2;
    return STAGE_NEAR;
}

void stages_use_old_path(uint8_t old) {
    global_multri_near_first = old ? 0 : 1;
    global_multri_drop_back_faces = old ? 0 : 1;
    global_multri_sky_last = old ? 0 : 1;
}

static void stages_clear_counters(void) {
    global_multri_submitted = 0;
    global_multri_depth_submitted = 0;
    global_multri_dropped_count = 0;
    global_multri_draw_calls = 0;
    global_model_submitted = 0;
    global_model_draw_calls = 0;
    global_display_unit_selects = 0;
    global_display_state_changes = 0;
}

void stages_setup(void) {
    const char *path = getenv("KESTROVA_DRAW_PATH");
    path_mode = 0;
    if (path && strcmp(path, "old") == 0) path_mode = 1;
    if (path && strcmp(path, "alternate") == 0) path_mode = 2;
    path_old = path_mode == 1 ? 1 : 0;
    stages_use_old_path(path_old);
    // The driver's freed blocks kept for reuse: set once for the process (the C library's own
    // adaptive limits cannot be brought back), so only a run on the old path alone leaves them out.
    if (path_mode != 1) platform_reuse_large_blocks(1);
    // The depth pass first, on either path (it measured slower on llvmpipe, so it is off unless asked).
    global_multri_depth_first = getenv("KESTROVA_DEPTH_FIRST") ? 1 : 0;
    global_stages_active = getenv("KESTROVA_STAGES") ? 1 : 0;
    memset(sums, 0, sizeof(sums));
    memset(frame_stage_ms, 0, sizeof(frame_stage_ms));
    if (!global_stages_active) return;
    log_message(0, "Frame stages timed, drawing path %s%s",
                path_mode == 2 ? "old and new in turn" : (path_old ? "old" : "new"),
#ifdef KESTROVA_STAGE_FINISH
                ", each stage finished by the GL"
#else
                ", the game's own thread only"
#endif
    );
    running = STAGE_REST;
    stage_start_ms = frame_start_ms = summary_start_ms = stages_now_ms();
    frame_cpu_start = platform_thread_cpu_us();
    frame_process_cpu_start = platform_process_cpu_us();
    stages_clear_counters();
}

void stages_mark(stages_stage next) {
    if (!global_stages_active) return;
#ifdef KESTROVA_STAGE_FINISH
    glFinish();
#endif
    const double now = stages_now_ms();
    frame_stage_ms[running] += now - stage_start_ms;
    stage_start_ms = now;
    running = next;
}

static void stages_summary(const char *name, const stages_sums &s) {
    if (!s.frames) return;
    const double n = (double)s.frames;
    char line[768];
    int used = snprintf(line, sizeof(line), "Stages %s: %u frames, %.1f fps, %.2f ms a frame |", name, s.frames,
                        s.frame_ms > 0.0 ? 1000.0 * n / s.frame_ms : 0.0, s.frame_ms / n);
    for (int i = 0; i < STAGE_COUNT && used > 0 && used < (int)sizeof(line); i++)
        used += snprintf(line + used, sizeof(line) - (size_t)used, " %s %.2f", stage_names[i], s.stage_ms[i] / n);
    if (used > 0 && used < (int)sizeof(line))
        snprintf(line + used, sizeof(line) - (size_t)used,
                 " | thread cpu %.2f ms, process cpu %.2f ms | terrain tris %.0f (dropped %.0f, depth pass %.0f)"
                 " model tris %.0f units %.0f states %.0f calls %.0f",
                 s.cpu_ms / n, s.process_cpu_ms / n, s.triangles / n, s.dropped / n, s.depth_triangles / n, s.model_triangles / n,
                 s.unit_selects / n, s.state_changes / n, s.draw_calls / n);
    log_message(0, "%s", line);
}

void stages_frame_end(void) {
    // The counters are per frame whether or not the stages are timed (F4 shows them).
    if (!global_stages_active) {
        stages_clear_counters();
        return;
    }
    stages_mark(STAGE_REST);
    const double now = stage_start_ms;
    stages_sums &s = sums[path_old];
    s.frames++;
    s.frame_ms += now - frame_start_ms;
    for (int i = 0; i < STAGE_COUNT; i++) s.stage_ms[i] += frame_stage_ms[i];
    const uint64_t cpu = platform_thread_cpu_us();
    s.cpu_ms += (double)(cpu - frame_cpu_start) / 1000.0;
    // Every thread: the driver's rasterizer threads finish a frame's pixels before its swap returns.
    s.process_cpu_ms += (double)(platform_process_cpu_us() - frame_process_cpu_start) / 1000.0;
    s.state_changes += global_display_state_changes;
    s.triangles += global_multri_submitted;
    s.depth_triangles += global_multri_depth_submitted;
    s.dropped += global_multri_dropped_count;
    s.model_triangles += global_model_submitted;
    s.unit_selects += global_display_unit_selects;
    s.draw_calls += global_multri_draw_calls + global_model_draw_calls;
    memset(frame_stage_ms, 0, sizeof(frame_stage_ms));
    stages_clear_counters();
    if (now - summary_start_ms >= 2000.0) {
        stages_summary("new", sums[0]);
        stages_summary("old", sums[1]);
        memset(sums, 0, sizeof(sums));
        summary_start_ms = now;
    }
    if (path_mode == 2) {
        path_old = !path_old;
        stages_use_old_path(path_old);
    }
    // The summary's own time is left out of the next frame.
    stage_start_ms = frame_start_ms = stages_now_ms();
    frame_cpu_start = platform_thread_cpu_us();
    frame_process_cpu_start = platform_process_cpu_us();
}
