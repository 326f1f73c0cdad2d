// kestrova_stages.h — the developer's frame-stage timers: where the time of a drawn frame goes
// (terrain near band, each distant band, objects, in-hand, overlay, swap, the rest), and the old
// and new drawing paths taken in turn so both are measured in one run
#pragma once
#include <cstdint>

enum stages_stage {
    STAGE_REST = 0,  // input, simulation, streaming: everything that is not drawing
    STAGE_DEPTH,     // the terrain's depth pass (new path only)
    STAGE_BAND8,
    STAGE_BAND4,
    STAGE_BAND2,
    STAGE_NEAR,
    STAGE_OBJECTS,
    STAGE_INHAND,
    STAGE_OVERLAY,
    STAGE_SWAP,
    STAGE_COUNT
};

// The stage that times a terrain band of this tile size.
stages_stage stages_band_stage(uint8_t mega);

// Off unless the environment holds KESTROVA_STAGES (a player never sees any of this):
//   KESTROVA_STAGES=1          time the stages, one summary line in the log every 2 s
//   KESTROVA_DRAW_PATH=old|new|alternate   the drawing path (alternate: old and new frame by frame)
//   KESTROVA_DEPTH_FIRST=1     the terrain's depth pass before its colours, on either path
// The stage timers wait for the GL to finish each stage only in the benchmark build
// (kestrova_stages, built with KESTROVA_STAGE_FINISH); without it they time what the game's own
// thread spends handing the stage to the GL.
void stages_setup(void);
// Ends the running stage and starts the next one.
void stages_mark(stages_stage next);
// After the swap: closes the frame, switches the path when it is time, writes the summary.
void stages_frame_end(void);
// Chooses the old (1) or the new (0) drawing path of the terrain.
void stages_use_old_path(uint8_t old);
