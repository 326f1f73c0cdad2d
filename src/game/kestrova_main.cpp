// kestrova_main.cpp — the program entry: start up, run the main loop, save and report
#include <SDL.h>  // on Windows SDL renames main and calls it from its own WinMain

#include <csignal>

#include "world/chunkmap.h"
#include "game/kestrova.h"
#include "foundation/logfile.h"
#include "foundation/timer.h"
#include "models/model.h"

// Ctrl-C or a polite kill ends the game like shift-escape, so the world is still saved.
static void main_quit_signal(int signal_number) {
    (void)signal_number;
    global_quit_signal = 1;
}

int main(int argc, char **argv) {
    (void)argc;
    (void)argv;
    signal(SIGINT, main_quit_signal);
    signal(SIGTERM, main_quit_signal);
    main_initialize();
    main_loop();
    // The player lives in a chunk's pile: it is saved before the chunks are released.
    main_save_player();
    chunkmap_unload_everything();
    model_free_all();
    if (global_draw_frame != 0)
        log_message(3, "Overall average frames per second == %f",
                    (double)(total_frames_per_second / (float)global_draw_frame));
    // A world that could not be saved whole is a failure the caller should see.
    return global_chunkmap_failed_saves || global_player_failed_saves ? 2 : 0;
}
