#!/usr/bin/env bash
# test_quit.sh — shift-escape ends the game with exit code 0 and the average frame rate logged;
# asking the window to close does the same. Usage: test_quit.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

e2e_prepare_game "$1"
cc -o close_window "$here/close_window.c" -lX11 || e2e_fail "cannot build the window-close helper"
e2e_start_x

# Shift-escape.
e2e_start_game
e2e_wait_log "Starting main loop" 60
sleep 1
xdotool keydown shift Escape
sleep 0.3
xdotool keyup Escape shift
e2e_wait_exit 15
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "shift-escape: exit code $E2E_STATUS"
rate=$(sed -n 's/^Info :Overall average frames per second == //p' LOGFILE.TXT)
[ -n "$rate" ] || e2e_fail "shift-escape: the average frame rate is not logged"
awk -v r="$rate" 'BEGIN { exit !(r > 0) }' || e2e_fail "shift-escape: average frame rate $rate is not positive"

# Escape alone only toggles the overlay; the game keeps running.
rm -f LOGFILE.TXT
e2e_start_game
e2e_wait_log "Starting main loop" 60
sleep 0.5
xdotool key Escape
sleep 1
kill -0 "$E2E_GAME_PID" 2>/dev/null || e2e_fail "Escape without shift ended the game"

# The window's close button (a WM_DELETE_WINDOW request).
./close_window "$(e2e_window_id)" || e2e_fail "could not send the close request"
e2e_wait_exit 15
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "close button: exit code $E2E_STATUS"
grep -q "Overall average frames per second == " LOGFILE.TXT || e2e_fail "close button: no average frame rate"
# The close button while the world is still being made is a quit too: the game stops loading,
# saves what it made and ends.
rm -rf LOGFILE.TXT WORLDS
e2e_start_game
e2e_wait_log "Loading stage World Generation" 60
./close_window "$(e2e_window_id)" || e2e_fail "could not send the close request while loading"
e2e_wait_exit 15
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "close button while loading: exit code $E2E_STATUS"
grep -q "Quit asked while the world loads" LOGFILE.TXT || e2e_fail "close button while loading: not taken as a quit"
grep -q "Done unloading entire chunkmap" LOGFILE.TXT || e2e_fail "close button while loading: the world was not saved"
# A terminate signal (Ctrl-C in a terminal does the same) ends the game cleanly and saves the world.
rm -f LOGFILE.TXT
e2e_start_game
e2e_wait_log "Starting main loop" 60
sleep 0.5
kill -TERM "$E2E_GAME_PID"
e2e_wait_exit 30
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "terminate signal: exit code $E2E_STATUS"
grep -q "Done unloading entire chunkmap" LOGFILE.TXT || e2e_fail "terminate signal: the world was not saved"
echo "PASS: quit (shift-escape at $rate fps, the close button, also while loading, and a terminate signal)"
