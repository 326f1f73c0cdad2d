#!/usr/bin/env bash
# test_object_startup.sh — start-up loads one template per OBJECT folder and their recipes, spawns
# the player 100 blocks above the start column and fills its inventory with the 25 starting items
# in order; at exit the player and its inventory are destroyed with their chunk, not saved.
# Kinds the game folder lacks are made here. Usage: test_object_startup.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

e2e_prepare_game "$1"
e2e_start_x

kinds="PLAYER DEBRIS BLOCK DUST SMOKE FLAME ZOMBI LOG PICK AXE HAMMER HEAVY-PICK SHIELD KNIFE SPEAR HEAVY-AXE SAW BOMB
BAR TORCH BOARD GOBLIN GOBLIN-CHAIN CATAPULT"
for kind in $kinds; do
    [ -d "OBJECT/$kind" ] && continue
    mkdir -p "OBJECT/$kind"
    printf 'FULLCOLLIDE\nSTATICSPHERE\n' > "OBJECT/$kind/TEMPLATE.TXT"
    case "$kind" in BAR | BOARD | TORCH | BOMB | BLOCK | DEBRIS) printf 'INVENTORYSTACKABLE 100\n' >> "OBJECT/$kind/TEMPLATE.TXT" ;; esac
done
mkdir -p OBJECT/E2EHOE
printf 'FULLCOLLIDE\n' > OBJECT/E2EHOE/TEMPLATE.TXT
printf 'NULL BAR NULL NULL BOARD NULL NULL BOARD NULL NULL\n' > OBJECT/E2EHOE/RECIPE.TXT
folders=$(find OBJECT -mindepth 1 -maxdepth 1 ! -name '.*' | wc -l)
[ "$folders" -le 100 ] || folders=100

e2e_start_game
e2e_wait_log "Starting main loop" 90
grep -q "Found $folders object folders" LOGFILE.TXT || e2e_fail "the object folders were not counted"
[ "$(grep -c "as object template" LOGFILE.TXT)" -eq "$folders" ] || e2e_fail "not every folder gave a template"
grep -q "Loaded E2EHOE as object template" LOGFILE.TXT || e2e_fail "the test's kind was not loaded"
grep -q "Attempting to load RECIPE.TXT file for object template E2EHOE" LOGFILE.TXT || e2e_fail "recipes were not read"
grep -q "    Recipe part 4 == BOARD" LOGFILE.TXT || e2e_fail "the test's recipe was not read"
ground=$(sed -n 's/^Info :Player XYZ == 1600.000000, 1600.000000, //p' LOGFILE.TXT)
grep -q "Attempting to spawn object PLAYER at 1600.000000, 1600.000000, $ground" LOGFILE.TXT ||
    e2e_fail "the player was not spawned at the logged point"
grep -q "Spawning basic objects into local player inventory" LOGFILE.TXT || e2e_fail "no starting inventory"
items=$(grep "  Starting item " LOGFILE.TXT | sed 's/.*Starting item //' | tr '\n' ';')
expected="PICK x1 of material 1;AXE x1 of material 2;HAMMER x1 of material 3;HEAVY-PICK x1 of material 3;\
SHIELD x1 of material 3;KNIFE x1 of material 3;SPEAR x1 of material 3;HEAVY-AXE x1 of material 3;\
SAW x1 of material 3;BOMB x10 of material 3;BAR x10 of material 1;BAR x10 of material 2;BAR x10 of material 3;\
BAR x10 of material 4;BAR x10 of material 5;TORCH x10 of material 3;BOARD x10 of material 3;\
GOBLIN x1 of material 3;GOBLIN-CHAIN x1 of material 3;ZOMBI x1 of material 3;CATAPULT x1 of material 3;\
BLOCK x10000 of material 5;DEBRIS x10000 of material 31;DEBRIS x10000 of material 32;DEBRIS x10000 of material 38;"
[ "$items" = "$expected" ] || e2e_fail "the starting items differ: $items"

sleep 0.5
xdotool keydown shift Escape
sleep 0.3
xdotool keyup Escape shift
e2e_wait_exit 60
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit code $E2E_STATUS"
# The player and its 25 items are released with their chunk; none of them is written to a file.
[ "$(grep -c "Done poofing object" LOGFILE.TXT)" -ge 26 ] || e2e_fail "the player's objects were not released"
grep -q "Heavy Pick" WORLDS/DEZORE/025-025.DAT && e2e_fail "the player's inventory was saved"
echo "PASS: object start-up ($folders kinds, the player and 25 starting items)"
