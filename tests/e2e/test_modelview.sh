#!/usr/bin/env bash
# The model viewer shows a skinned, textured test walker: headless shots of the bind pose and of
# two animation frames differ where the limbs move and show the shirt, trousers and cut-out cape;
# run interactively, a key steps to the next animation and S writes a screenshot. $1 is the game
# folder; the viewer is built beside it.
set -u
root="$(cd "$(dirname "$0")/../.." && pwd)"
game="$(cd "$1" && pwd)"
viewer="$game/../tools/modelview/kestrova_modelview"
. "$root/tests/e2e/e2e_lib.sh"

[ -x "$viewer" ] || e2e_fail "no viewer at $viewer"
command -v python3 >/dev/null 2>&1 || e2e_fail "python3 is needed to write the test walker"
E2E_DIR=$(mktemp -d /tmp/kestrova_modelview_XXXXXX)
cd "$E2E_DIR" || e2e_fail "cannot enter $E2E_DIR"
mkdir -p OBJECT/FIGURE
ln -s "$game/ART" ART
python3 "$root/tools/modelview/make_figure.py" OBJECT/FIGURE || e2e_fail "could not write the test walker"
e2e_start_x

view() { "$viewer" OBJECT/FIGURE --size 400x400 --turn 180 "$@" >viewer_stdout.txt 2>&1; }
view --shot bind.tga || e2e_fail "bind pose shot failed: $(cat viewer_stdout.txt)"
grep -q "7 joints, 4 animations, 24 frames" viewer_stdout.txt || e2e_fail "unexpected model summary: $(cat viewer_stdout.txt)"
view --shot walk.tga --anim walk1 --frame 3 || e2e_fail "walk shot failed"
view --shot attack.tga --anim ATTACK1 --frame 12 || e2e_fail "attack shot failed"
view --shot ragdoll.tga --anim FALL --ragdoll 300 || e2e_fail "ragdoll shot failed"
view --shot none.tga --anim NOSUCH && e2e_fail "an unknown animation was accepted"
for f in bind walk attack ragdoll; do convert "$f.tga" "$f.png" || e2e_fail "unreadable $f.tga"; done

# From behind: the red cape hangs over the blue shirt, the trousers below, the sky above.
[ "$(e2e_count_colour bind.png 400x400+0+0 'rgb(170,30,40)')" -gt 300 ] || e2e_fail "no cape in the bind pose"
[ "$(e2e_count_colour bind.png 400x400+0+0 'rgb(40,70,160)')" -gt 300 ] || e2e_fail "no shirt in the bind pose"
[ "$(e2e_count_colour bind.png 400x60+0+0 'rgb(82,107,140)')" -gt 20000 ] || e2e_fail "no sky above the walker"
# The walking legs and the raised arm change the picture; the ragdoll lies on the ground.
[ "$(e2e_diff_pixels bind.png walk.png)" -gt 500 ] || e2e_fail "the walk frame looks like the bind pose"
[ "$(e2e_diff_pixels bind.png attack.png)" -gt 500 ] || e2e_fail "the attack frame looks like the bind pose"
[ "$(e2e_diff_pixels walk.png attack.png)" -gt 500 ] || e2e_fail "walk and attack look the same"
[ "$(e2e_diff_pixels bind.png ragdoll.png)" -gt 2000 ] || e2e_fail "the ragdoll did not fall"

# Interactive: next animation, then a screenshot, then quit.
"$viewer" OBJECT/FIGURE --size 400x400 >viewer_stdout.txt 2>&1 &
E2E_GAME_PID=$!
sleep 2
# Without a window manager the keyboard follows the pointer: put it over the window.
xdotool mousemove 200 200
sleep 0.2
xdotool key Right
sleep 0.5
xdotool key s
for i in $(seq 1 50); do [ -s MODELVIEW_000.TGA ] && break; sleep 0.1; done
[ -s MODELVIEW_000.TGA ] || e2e_fail "S wrote no screenshot"
xdotool key Escape
e2e_wait_exit 10
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "the viewer ended with $E2E_STATUS"
echo "PASS: model viewer"
