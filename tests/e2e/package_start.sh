#!/usr/bin/env bash
# package_start.sh — an unpacked Linux package starts from its launcher on the libraries it ships,
# reaches the main loop and quits on shift-escape. Usage: package_start.sh UNPACKED_GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

folder="$1"
[ -x "$folder/bin/kestrova" ] || e2e_fail "no bin/kestrova in $folder"
# Every library the game needs is found, and those the package ships come from its lib/.
libraries=$(LD_LIBRARY_PATH="$folder/lib" ldd "$folder/bin/kestrova")
if echo "$libraries" | grep -q 'not found'; then echo "$libraries" >&2; e2e_fail "missing libraries"; fi
echo "$libraries" | grep -q "$folder/lib/libSDL-1.2.so.0" || e2e_fail "SDL is not the shipped one"

e2e_prepare_game "$folder"
e2e_start_x
SDL_AUDIODRIVER=dummy e2e_start_game
e2e_wait_log "Starting main loop" 60
sleep 1
xdotool keydown shift Escape
sleep 0.3
xdotool keyup Escape shift
e2e_wait_exit 30
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit code $E2E_STATUS"
grep -q "Done unloading entire chunkmap" LOGFILE.TXT || e2e_fail "the world was not saved"
echo "PASS: package $(basename "$folder") starts, runs and quits"
