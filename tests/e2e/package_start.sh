#!/usr/bin/env bash
# package_start.sh — an unpacked Linux package starts from its launcher on the libraries it ships,
# reaches the main loop and quits on shift-escape. Usage: package_start.sh UNPACKED_GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

folder="$1"
[ -x "$folder/bin/kestrova" ] || e2e_fail "no bin/kestrova in $folder"
# A 32-bit package on a kernel that runs no 32-bit programs is started under qemu-i386 (its launcher
# script is the same as the 64-bit package's, which is started as a player would).
. "$here/../../scripts/cross_probe.sh"
emulated=0
if [ "$(od -An -t u1 -j 4 -N 1 "$folder/bin/kestrova" | tr -d ' ')" = 1 ] && [ "$(kestrova_i386_mode)" != native ]; then
  emulated=1
  echo "package_start: this kernel runs no 32-bit programs; $(basename "$folder") is started under qemu-i386"
fi
# Every library the game needs is found, and those the package ships come from its lib/.
if [ "$emulated" -eq 1 ]; then
  libraries=$(LD_LIBRARY_PATH="$folder/lib" qemu-i386 -L / /lib/ld-linux.so.2 --list "$folder/bin/kestrova" 2>&1)
else
  libraries=$(LD_LIBRARY_PATH="$folder/lib" ldd "$folder/bin/kestrova")
fi
if echo "$libraries" | grep -q 'not found'; then echo "$libraries" >&2; e2e_fail "missing libraries"; fi
echo "$libraries" | grep -q "$folder/lib/libSDL-1.2.so.0" || e2e_fail "SDL is not the shipped one"

e2e_prepare_game "$folder"
e2e_start_x
if [ "$emulated" -eq 1 ]; then
  # llvmpipe's generated code crashes under the emulator; Mesa's softpipe draws without it.
  GALLIUM_DRIVER=softpipe LD_LIBRARY_PATH="$PWD/lib" SDL_AUDIODRIVER=dummy qemu-i386 -L / ./bin/kestrova </dev/null >game_stdout.txt 2>&1 &
  E2E_GAME_PID=$!
  e2e_wait_log "Starting main loop" 300
else
  SDL_AUDIODRIVER=dummy e2e_start_game
  e2e_wait_log "Starting main loop" 60
fi
sleep 1
if [ "$emulated" -eq 1 ]; then
  # A frame takes seconds under the emulator, too long for a held key to be seen: a plain kill
  # ends the game the way shift-escape does, saving the world.
  kill -TERM "$E2E_GAME_PID"
else
  xdotool keydown shift Escape
  sleep 0.3
  xdotool keyup Escape shift
fi
e2e_wait_exit $((emulated ? 240 : 30))
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit code $E2E_STATUS"
grep -q "Done unloading entire chunkmap" LOGFILE.TXT || e2e_fail "the world was not saved"
echo "PASS: package $(basename "$folder") starts, runs and quits"
