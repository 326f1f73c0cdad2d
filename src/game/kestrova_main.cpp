// kestrova_main.cpp — the program entry: start up, run the main loop, save and report
#include "chunkmap.h"
#include "kestrova.h"
#include "logfile.h"
#include "timer.h"

int main(int argc, char **argv) {
    (void)argc;
    (void)argv;
    main_initialize();
    main_loop();
    chunkmap_unload_everything();
    if (global_draw_frame != 0)
        log_message(3, "Overall average frames per second == %f",
                    (double)(total_frames_per_second / (float)global_draw_frame));
    return 0;
}
