#!/usr/bin/env bash
# test_terrain_view.sh — after loading and closing the title overlay the terrain fills the lower
# part of the view with textured, lit ground under the sky; looking down shows ground; F2 shows
# the statistics; holding C runs the clock into the night, which darkens the terrain.
# Usage: test_terrain_view.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

mean_of() { convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:int(mean*1000)]' info: 2>/dev/null; }
spread_of() { convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:int(standard_deviation*1000)]' info: 2>/dev/null; }
colours_of() { convert "$1" -crop "$2" +repage -format '%k' info: 2>/dev/null; }

e2e_prepare_game "$1"
# A fixed world whose start column stands on dry land above the water level, so the sky is not
# darkened as it is for a camera under the sea.
mkdir -p WORLDS/DEZORE
printf '1765200000' > WORLDS/DEZORE/SEED.TXT
e2e_start_x
e2e_start_game
e2e_wait_log "Starting main loop" 90
sleep 1.5
window=$(e2e_window_id)
xdotool mousemove --sync 400 300 2>/dev/null || xdotool mousemove 400 300

# Close the overlay and let the sun come up and the nearby chunks stream in.
xdotool keydown w
sleep 0.4
xdotool keyup w
sleep 8

sky=800x150+0+0
ground=800x200+0+400
e2e_shot horizon.png
sky_mean=$(mean_of horizon.png "$sky")
ground_mean=$(mean_of horizon.png "$ground")
ground_spread=$(spread_of horizon.png "$ground")
ground_colours=$(colours_of horizon.png "$ground")
[ "${sky_mean:-0}" -gt 150 ] || e2e_fail "the sky is dark by day (mean $sky_mean/1000)"
[ "${ground_mean:-0}" -gt 120 ] || e2e_fail "the ground is dark by day (mean $ground_mean/1000)"
[ "${ground_spread:-0}" -gt 20 ] || e2e_fail "the ground is flat colour, not textured (spread $ground_spread)"
[ "${ground_colours:-0}" -gt 500 ] || e2e_fail "the ground has only $ground_colours colours"
# The ground is not the sky: the two parts of the picture differ in colour.
sky_colour=$(convert horizon.png -crop "$sky" +repage -resize 1x1! -format '%[pixel:p{0,0}]' info:)
ground_share=$(e2e_count_colour horizon.png "$ground" "$sky_colour")
[ "${ground_share:-160000}" -lt 40000 ] || e2e_fail "the lower part looks like the sky ($ground_share pixels)"

# Looking down: the middle of the view is ground.
xdotool mousemove_relative -- 0 160
sleep 0.2
xdotool mousemove_relative -- 0 2
sleep 1.5
e2e_shot down.png
middle=400x300+200+150
down_mean=$(mean_of down.png "$middle")
down_spread=$(spread_of down.png "$middle")
moved=$(e2e_diff_pixels horizon.png down.png)
[ "${moved:-0}" -gt 20000 ] || e2e_fail "looking down did not change the view ($moved pixels)"
[ "${down_mean:-0}" -gt 100 ] || e2e_fail "the ground below is dark (mean $down_mean/1000)"
[ "${down_spread:-0}" -gt 20 ] || e2e_fail "the ground below is flat colour (spread $down_spread)"

# F2 writes the position and drawing statistics at the top left.
xdotool keydown F2
sleep 1.5
e2e_shot f2.png
xdotool keyup F2
text=$(e2e_count_colour f2.png 600x45+0+0 white)
[ "${text:-0}" -gt 400 ] || e2e_fail "no statistics text under F2 ($text white pixels)"
sleep 0.5

# Hold C: the clock runs a thousand steps per frame, sweeping through the night again and again.
day_mean=$(mean_of f2.png "$middle")
xdotool keydown c
darkest=$day_mean
for i in $(seq 1 24); do
    sleep 0.5
    e2e_shot night.png
    m=$(mean_of night.png "$middle")
    [ "$m" -lt "$darkest" ] && darkest=$m && cp night.png darkest.png
    [ "$darkest" -lt $((day_mean / 3)) ] && break
done
xdotool keyup c
[ "$darkest" -lt $((day_mean / 3)) ] || e2e_fail "night did not darken the terrain (day $day_mean, darkest $darkest)"

xdotool keydown shift Escape
sleep 0.3
xdotool keyup Escape shift
e2e_wait_exit 30
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit code $E2E_STATUS"
echo "PASS: terrain view (sky $sky_mean, ground $ground_mean spread $ground_spread, $ground_colours colours; down $down_mean; night $darkest of $day_mean)"
