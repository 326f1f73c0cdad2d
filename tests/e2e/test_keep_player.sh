#!/usr/bin/env bash
# test_keep_player.sh — the world keeps its player: a new world draws a seed that starts on land;
# the player walks, digs and takes another tool in hand, quits with shift-escape, and a restart
# puts it where it stood with what it carried, facing the same way; killed with SIGKILL in play,
# it loses no more than the steps since the last timed save. Usage: test_keep_player.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

e2e_prepare_game "$1"
[ -n "${E2E_KEEP:-}" ] && echo "game folder: $E2E_DIR"
# A nearer background keeps fewer chunks resident, so starts and saves are quick.
sed -i 's/^Background distance: .*/Background distance: 100/' SETUP.TXT
e2e_start_x

positions() { grep -F 'Player at' LOGFILE.TXT | sed 's/.*Player at //; s/,//g'; }
last_position() { positions | tail -n 1; }
# The point the player was put at this start ("Player XYZ == x, y, z").
spawn_point() { sed -n 's/^Info :Player XYZ == //p' LOGFILE.TXT | tail -n 1 | sed 's/,//g'; }
# Distance between two "x y z" points.
distance() { echo "$1 $2" | awk '{dx = $4 - $1; dy = $5 - $2; dz = $6 - $3; printf "%.3f", sqrt(dx*dx + dy*dy + dz*dz)}'; }
# The inventory part of the player file: from after the player's own fields to the checksum.
inventory_bytes() { tail -c +79 WORLDS/DEZORE/PLAYER.SAV | head -c -4 | md5sum; }

start_and_play() {
    rm -f LOGFILE.TXT
    e2e_start_game
    e2e_wait_log "Starting main loop" 90
    sleep 1
    xdotool mousemove 400 300
    xdotool key Escape
    e2e_wait_player_settled 60
}
quit_game() {
    xdotool keydown shift Escape
    sleep 0.3
    xdotool keyup Escape shift
    e2e_wait_exit 60
    [ "$E2E_STATUS" -eq 0 ] || e2e_fail "$1: exit code $E2E_STATUS"
}

# A new world: the seed drawn is kept, and the player starts on land.
start_and_play
grep -q "New world: seed .* chosen after" LOGFILE.TXT || e2e_fail "the new world logged no seed choice"
chosen=$(sed -n 's/.*New world: seed \(-\?[0-9]*\) chosen.*/\1/p' LOGFILE.TXT)
[ "$(cat WORLDS/DEZORE/SEED.TXT)" = "$chosen" ] || e2e_fail "the seed file does not hold the chosen seed $chosen"
grep -q "No player file" LOGFILE.TXT || e2e_fail "a new world should start a fresh player"

# Walk, take another tool in hand with E (three times: the heavy pick, of iron, which breaks
# stone too), turn to look down and dig a little.
xdotool keydown w; sleep 1.2; xdotool keyup w
for i in 1 2 3; do
    xdotool key e
    sleep 0.3
done
xdotool mousemove_relative -- 120 150
sleep 0.5
xdotool mousedown 1; sleep 1.5; xdotool mouseup 1
e2e_wait_player_settled 30
grep -q "^Debug:Dug [1-9]" LOGFILE.TXT || e2e_fail "nothing was dug"
in_hand=$(sed -n 's/^Debug:In hand: //p' LOGFILE.TXT | tail -n 1)
[ -n "$in_hand" ] || e2e_fail "E put nothing in hand"
stood=$(last_position)
e2e_shot before.png
quit_game "first start"
[ -f WORLDS/DEZORE/PLAYER.SAV ] || e2e_fail "no player file was saved"
grep -q "Saved the player to WORLDS.DEZORE.PLAYER.SAV" LOGFILE.TXT || e2e_fail "the save was not logged"
[ -z "$(ls WORLDS/DEZORE/*.TMP 2>/dev/null)" ] || e2e_fail "a temporary file was left"
carried=$(inventory_bytes)

# A restart: the player stands where it stood, with the same tool in hand and the same things.
start_and_play
grep -q "Player file WORLDS.DEZORE.PLAYER.SAV read" LOGFILE.TXT || e2e_fail "the player file was not read"
grep -q "Player restored with .* things on the board, $in_hand in hand" LOGFILE.TXT ||
    e2e_fail "the player did not come back with $in_hand in hand"
moved=$(distance "$stood" "$(spawn_point)")
awk -v d="$moved" 'BEGIN {exit !(d < 0.1)}' || e2e_fail "the player was put $moved from where it stood ($stood)"
moved=$(distance "$stood" "$(last_position)")
awk -v d="$moved" 'BEGIN {exit !(d < 0.3)}' || e2e_fail "the player did not stay where it stood (moved $moved)"
e2e_shot after.png
# The same spot, facing and time of day: the two views match but for small changes.
changed=$(e2e_diff_pixels before.png after.png 800x600+0+0 12)
[ "${changed:-480000}" -lt 96000 ] || e2e_fail "the view after the restart differs in $changed pixels"
quit_game "second start"
[ "$(inventory_bytes)" = "$carried" ] || e2e_fail "the inventory saved after the restart differs"

# Killed in play: with a save every 125 steps (2 s), the player comes back where it was at the
# last timed save, a few blocks on from where it started.
export KESTROVA_PLAYER_SAVE_STEPS=125
start_and_play
start=$(last_position)
# The restored camera still looks down into the pit just dug: look up level, then walk and jump
# out of it.
xdotool mousemove_relative -- 0 -150
sleep 0.3
xdotool keydown w
for i in 1 2 3 4; do
    xdotool keydown space; sleep 0.15; xdotool keyup space
    sleep 0.5
done
xdotool keyup w
e2e_wait_player_settled 30
saves=$(grep -c "Saved the player" LOGFILE.TXT)
for i in $(seq 1 40); do
    [ "$(grep -c "Saved the player" LOGFILE.TXT)" -gt "$saves" ] && break
    sleep 0.1
done
[ "$(grep -c "Saved the player" LOGFILE.TXT)" -gt "$saves" ] || e2e_fail "no timed save came within 4 s"
walked_to=$(last_position)
kill -9 "$E2E_GAME_PID" 2>/dev/null
wait "$E2E_GAME_PID" 2>/dev/null
E2E_GAME_PID=""
unset KESTROVA_PLAYER_SAVE_STEPS
walked=$(distance "$start" "$walked_to")
awk -v d="$walked" 'BEGIN {exit !(d > 2)}' || e2e_fail "the player did not walk ($walked)"
[ -f WORLDS/DEZORE/PLAYER.SAV ] || e2e_fail "the kill lost the player file"
start_and_play
grep -q "is refused" LOGFILE.TXT && e2e_fail "the player file was damaged by the kill"
moved=$(distance "$walked_to" "$(spawn_point)")
awk -v d="$moved" 'BEGIN {exit !(d < 0.3)}' || e2e_fail "after the kill the player is $moved from the last save"
e2e_shot killed.png
quit_game "after the kill"

# A damaged player file is refused, kept aside, and a fresh player starts at the start column.
printf 'garbage' | dd of=WORLDS/DEZORE/PLAYER.SAV bs=1 seek=40 conv=notrunc 2>/dev/null
rm -f LOGFILE.TXT
e2e_start_game
e2e_wait_log "Starting main loop" 90
grep -q "Player file WORLDS.DEZORE.PLAYER.SAV is refused -- its checksum does not match" LOGFILE.TXT ||
    e2e_fail "the damaged player file was not refused"
[ -f WORLDS/DEZORE/PLAYER.BAD ] || e2e_fail "the refused file was not kept"
grep -q "Player XYZ == 1600.000000, 1600.000000, " LOGFILE.TXT || e2e_fail "no fresh player at the start column"
quit_game "after the refusal"
echo "PASS: keep player (seed $chosen; stood at $stood with $in_hand; walked $walked before the kill)"
