#!/usr/bin/env bash
# wine_game.sh — a Windows build under wine in a private X server: the game reaches its main
# loop with the title drawn, quits on shift-escape with exit code 0 and saves the world; a second
# start reads that world back and saves over its chunk files. Usage: wine_game.sh WINDOWS_GAME_FOLDER
# (the 32-bit package's runs under wine, the 64-bit test build's under wine64)
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

game="$(cd "$1" 2>/dev/null && pwd)" || game="$1"
[ -f "$game/kestrova.exe" ] || e2e_fail "no kestrova.exe in $game"
[ -d "$game/ART" ] || e2e_fail "no ART folder in $game (the assets come from the Linux build)"
E2E_DIR=$(mktemp -d /tmp/kestrova_wine_XXXXXX)
cp -r "$game"/. "$E2E_DIR"/
rm -rf "$E2E_DIR/WORLDS" "$E2E_DIR/LOGFILE.TXT"
# The shipped settings with music off (quicker) and every log line.
sed -e 's/^Load music.*/Load music: FALSE/' -e 's/^Log level:.*/Log level: 5/' "$game/SETUP.TXT" > "$E2E_DIR/SETUP.TXT"
cd "$E2E_DIR" || e2e_fail "cannot enter $E2E_DIR"
. "$here/../../scripts/cross_probe.sh"
wine_loader=$(kestrova_wine_loader "$game/kestrova.exe")
if [ "$wine_loader" = wine ]; then
  export WINEPREFIX=${WINEPREFIX:-${KESTROVA_CACHE:-$HOME/.cache/kestrova}/wine}
else
  export WINEPREFIX=${KESTROVA_CACHE:-$HOME/.cache/kestrova}/wine64
fi
export WINEDEBUG=-all
# No sound device under wine here; SDL's silent driver keeps the mixer running.
export SDL_AUDIODRIVER=dummy
# A wine session started without a display (the unit tests, the chunk tool) cannot open windows
# later; wait until the last one has ended so the game starts a session of its own.
wineserver -w
e2e_start_x

wine_start_game() {
    "$wine_loader" ./kestrova.exe </dev/null >game_stdout.txt 2>&1 &
    E2E_GAME_PID=$!
}

wine_quit() {
    sleep 2
    e2e_window_id >/dev/null
    xdotool keydown shift Escape
    sleep 0.4
    xdotool keyup Escape shift
    e2e_wait_exit 60
    [ "$E2E_STATUS" -eq 0 ] || e2e_fail "$1: exit code $E2E_STATUS"
    grep -q "Overall average frames per second == " LOGFILE.TXT || e2e_fail "$1: no average frame rate logged"
    grep -q "Done unloading entire chunkmap" LOGFILE.TXT || e2e_fail "$1: the world was not saved"
    if grep -q "Could not save chunk" LOGFILE.TXT; then grep "Could not save chunk" LOGFILE.TXT | head -3 >&2; e2e_fail "$1: chunk files not saved"; fi
}

wine_start_game
e2e_wait_log "Starting main loop" 120
grep -q "Multitexturing enabled" LOGFILE.TXT || e2e_fail "wine's OpenGL offered no multitexturing"
sleep 2
e2e_shot first.png
lit=$(e2e_lit_percent first.png 800x600+0+0)
[ "${lit:-0}" -gt 20 ] || e2e_fail "the window is mostly black ($lit% lit)"
wine_quit "first start"
seed=$(cat WORLDS/DEZORE/SEED.TXT 2>/dev/null) || e2e_fail "no seed file in WORLDS\\DEZORE"
files=$(find WORLDS/DEZORE -name '*.DAT' | wc -l)
[ "$files" -gt 100 ] || e2e_fail "only $files chunk files were saved"

# Second start: the same world is read back (the seed kept) and every chunk saved over its file.
before=$(stat -c %Y WORLDS/DEZORE/025-025.DAT)
sleep 1.1
rm -f LOGFILE.TXT
wine_start_game
e2e_wait_log "Starting main loop" 120
wine_quit "second start"
[ "$(cat WORLDS/DEZORE/SEED.TXT)" = "$seed" ] || e2e_fail "the seed changed on the second start"
after=$(stat -c %Y WORLDS/DEZORE/025-025.DAT)
[ "$after" -gt "$before" ] || e2e_fail "the chunk file was not written again"
[ -z "$(find WORLDS/DEZORE -name '*.TMP')" ] || e2e_fail "temporary chunk files were left behind"
echo "PASS: wine game, $(basename "$wine_loader") (main loop, $lit% of the window lit, shift-escape, $files chunk files saved and saved again)"
