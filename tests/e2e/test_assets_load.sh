#!/usr/bin/env bash
# The game folder holds every generated picture, sound and track, and the game
# loads all seven sounds and five tracks at start-up. $1 is the game folder.
set -euo pipefail
game="$1"

missing=0
for name in TITLE FONT MATERIAL LIGHT BACKDROP UPDROP DOWNDROP SUBDROP SUN MOON BACKPACK SHADE SELECT CROSS NOTCH; do
  [ -s "$game/ART/$name.TGA" ] || { echo "missing ART/$name.TGA"; missing=1; }
done
for i in $(seq -w 0 99); do
  [ -s "$game/ART/METAL$i.TGA" ] || { echo "missing ART/METAL$i.TGA"; missing=1; }
done
for name in CHINK SWIPE JUMP RUBBLE BOMB GRIM CHOP; do
  [ -s "$game/SOUND/$name.OGG" ] || { echo "missing SOUND/$name.OGG"; missing=1; }
done
for name in DAY NIGHT INVENTORY UNDERGROUND TITLE; do
  [ -s "$game/MUSIC/$name.OGG" ] || { echo "missing MUSIC/$name.OGG"; missing=1; }
done
[ "$missing" -eq 0 ] || exit 1

work=$(mktemp -d)
pid=""
cleanup() {
  # A close that arrives while the world is still being generated is not acted on, so the game
  # is stopped for good if it is still there a moment later.
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    sleep 1
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
cp -r "$game/ART" "$game/SOUND" "$game/MUSIC" "$game/kestrova" "$work/"
[ -d "$game/OBJECT" ] && cp -r "$game/OBJECT" "$work/"
# Default settings, with the log at its most detailed so every load is reported.
printf 'Resolution: 640x480\nFullscreen: FALSE\nDisplay distance: 50\nBackground distance: 500\nCartoon: TRUE\nInvert mouse: FALSE\nLoad music: TRUE\nLog level: 5\n' >"$work/SETUP.TXT"

cd "$work"
SDL_AUDIODRIVER=dummy ./kestrova >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 400); do
  loaded=$(grep -c "Finished loading OGG file" LOGFILE.TXT 2>/dev/null || true)
  [ "${loaded:-0}" -ge 12 ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
loaded=$(grep -c "Finished loading OGG file" LOGFILE.TXT 2>/dev/null || true)
if [ "${loaded:-0}" -ne 12 ]; then
  echo "expected 12 sounds and tracks to load, the log reports $loaded"
  grep -E "sound file|OGG|ERROR" LOGFILE.TXT | tail -30 || true
  exit 1
fi
if [ "$(grep -c "File is stereo" LOGFILE.TXT)" -ne 5 ]; then
  echo "the five music tracks should load as stereo"
  exit 1
fi
echo "all 12 sounds and tracks loaded"
