// kestrova_loop.cpp — the main loop; until the window exists the game starts up and ends at once
#include "kestrova.h"

#include "logfile.h"

uint8_t main_loop_active = 1;
uint32_t global_world_frame = 0;
uint32_t global_draw_frame = 0;

void main_loop(void) {
    log_message(5, "Starting main loop");
    // Without a window there is nothing to draw or read input from yet.
    main_loop_active = 0;
}
