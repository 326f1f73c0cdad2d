#!/usr/bin/env bash
# test_no_display.sh — without an X server the game exits with code 1 and says why in its log,
# with SDL's reason, at the shipped log level.
# Usage: test_no_display.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

e2e_prepare_game "$1"
# At the shipped log level the player still reads SDL's reason.
sed -i 's/^Log level: 5$/Log level: 3/' SETUP.TXT
unset DISPLAY
env -u DISPLAY -u WAYLAND_DISPLAY ./kestrova </dev/null >game_stdout.txt 2>&1 &
E2E_GAME_PID=$!
e2e_wait_exit 30
[ "$E2E_STATUS" -eq 1 ] || e2e_fail "exit code $E2E_STATUS, expected 1"
last=$(grep -v '^$' LOGFILE.TXT | tail -n 1)
[ "$last" = "Error:ERROR:  display_setup() failed" ] || e2e_fail "the log ends with '$last'"
grep -q "^Error:Could not start the display -- SDL says: ..*\|^Error:Could not open a 800x600 window with OpenGL -- SDL says: ..*" LOGFILE.TXT ||
    e2e_fail "SDL's reason is not logged"
grep -q "Main Loop" LOGFILE.TXT && e2e_fail "the main loop ran without a display"
echo "PASS: no display"
