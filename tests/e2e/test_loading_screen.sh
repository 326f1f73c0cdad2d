#!/usr/bin/env bash
# test_loading_screen.sh — the loading screen shows the bar over the title picture, and the
# stage lines come in start-up order. Usage: test_loading_screen.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

e2e_prepare_game "$1"
e2e_start_x

# A title picture of a known colour, and heavy metal textures so the loading screen stays up
# long enough to photograph (one large picture linked under all hundred names).
mkdir -p ART
e2e_write_tga ART/TITLE.TGA 64 64 40 90 200
e2e_write_tga HEAVY.TGA 1024 1024 90 90 90
for i in $(seq -w 0 99); do rm -f "ART/METAL$i.TGA"; ln -s ../HEAVY.TGA "ART/METAL$i.TGA"; done

e2e_start_game
e2e_wait_log "Loading image file ART\\METAL05.TGA" 30
e2e_shot loading.png
grep -qF "Progress bar ended" LOGFILE.TXT && e2e_fail "loading ended before the screenshot; it cannot show the loading screen"

# The window is 800 × 600 at the screen's corner: overlay units are 2 pixels.
# Title picture: overlay (125..275, 75..225) -> pixels (250..550, 150..450).
title=$(e2e_count_colour loading.png 280x280+260+160 'rgb(40,90,200)')
[ "${title:-0}" -gt 70000 ] || e2e_fail "the title picture is not shown above the bar ($title matching pixels)"
# Second "Textures" stage: one stage of fifteen done, so the white bar fills x 100..113 (pixels 200..226)
# of its track at y 260..265 (pixels 520..530); the track right of the stage text stays dark.
filled=$(e2e_count_colour loading.png 20x8+203+521 white)
[ "${filled:-0}" -gt 120 ] || e2e_fail "the bar shows no white share ($filled white pixels)"
unfilled=$(e2e_count_colour loading.png 120x8+475+521 white)
[ "${unfilled:-0}" -lt 20 ] || e2e_fail "the bar is filled beyond its share ($unfilled white pixels)"
frame=$(e2e_count_colour loading.png 380x6+210+496 'rgb(128,128,128)')
[ "${frame:-0}" -gt 1500 ] || e2e_fail "the bar's grey frame is missing ($frame grey pixels)"

e2e_wait_log "Starting main loop" 60
xdotool keydown shift Escape
sleep 0.3
xdotool keyup Escape shift
e2e_wait_exit 15

# Stage lines in start-up order: what is logged must follow this list, and both "Textures" stages are there.
expected=(Lighting Materials Textures Textures Geometry Sounds Sounds Sounds Sounds Sounds Sounds Sounds
    "Skipping Music" "Skipping Music" "Skipping Music" "Skipping Music" "Skipping Music" "World Generation")
mapfile -t seen < <(sed -n 's/^Trace:Loading stage //p' LOGFILE.TXT)
[ "${#seen[@]}" -ge 2 ] || e2e_fail "too few stage lines: ${seen[*]}"
k=0
for stage in "${seen[@]}"; do
    while [ "$k" -lt "${#expected[@]}" ] && [ "${expected[$k]}" != "$stage" ]; do k=$((k + 1)); done
    [ "$k" -lt "${#expected[@]}" ] || e2e_fail "stage '$stage' out of order in: ${seen[*]}"
    k=$((k + 1))
done
[ "$(printf '%s\n' "${seen[@]}" | grep -c '^Textures$')" -eq 2 ] || e2e_fail "expected two Textures stages: ${seen[*]}"
grep -q "Progress bar ended at" LOGFILE.TXT || e2e_fail "the end of the loading screen is not logged"
echo "PASS: loading screen (${#seen[@]} stages: ${seen[*]})"
