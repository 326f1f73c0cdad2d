#!/usr/bin/env bash
# test_gather_craft.sh — a new player's first gathering on seed 1765200000: dig with the starting
# copper pick, walk to the nearest tree, fell it with the axe, pick up its logs, lay two logs side
# by side on the board to craft boards, then a knife as the README lays it out, and check the
# board's counts. Pictures are kept in $E2E_SHOTS when set.
# Usage: test_gather_craft.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

shots="${E2E_SHOTS:-}"
shot() {
    e2e_shot "$1.png"
    [ -n "$shots" ] && cp "$1.png" "$shots/"
    return 0
}
count() { grep -cF -- "$1" LOGFILE.TXT; }
click() {
    xdotool mousedown "$1"
    sleep 0.15
    xdotool mouseup "$1"
}
# The last swing's position and heading: "x y heading".
where() { grep "Swing of the" LOGFILE.TXT | tail -n 1 | sed 's/.* from \([-0-9.]*\), \([-0-9.]*\), [-0-9.]* heading \([0-9]*\).*/\1 \2 \3/'; }
# A swing that goes nowhere near anything, to learn where the player stands and looks.
locate() {
    local before
    before=$(count "Swing of the")
    click 1
    for i in 1 2 3 4 5 6 7 8 9 10; do
        [ "$(count "Swing of the")" -gt "$before" ] && break
        sleep 0.1
    done
    sleep 0.8
}
# Turns towards (tx, ty): the heading grows as the mouse moves left, 90 units a pixel.
face() {
    local tx="$1" ty="$2" px
    set -- $(where)
    px=$(awk -v x="$1" -v y="$2" -v h="$3" -v tx="$tx" -v ty="$ty" 'BEGIN {
        want = atan2(tx - x, ty - y) / (2 * 3.14159265) * 65536; d = h - want;
        while (d > 32768) d -= 65536; while (d <= -32768) d += 65536; printf "%d", d / 90 }')
    while [ "${px#-}" -gt 0 ]; do
        local step=$px
        [ "$step" -gt 80 ] && step=80
        [ "$step" -lt -80 ] && step=-80
        xdotool mousemove_relative -- "$step" 0
        sleep 0.1
        px=$((px - step))
    done
}
distance_to() {
    local tx="$1" ty="$2"
    set -- $(where)
    awk -v x="$1" -v y="$2" -v tx="$tx" -v ty="$ty" 'BEGIN {printf "%d", sqrt((tx-x)^2 + (ty-y)^2)}'
}
# Board coordinates to the screen of 800 x 600: the board's centre is at (400, 300), two pixels a unit.
bx() { awk -v v="$1" 'BEGIN {printf "%d", 400 + 2 * v}'; }
by() { awk -v v="$1" 'BEGIN {printf "%d", 300 + 2 * v}'; }
drag_board() {
    xdotool mousemove "$(bx "$1")" "$(by "$2")"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    local i
    for i in 1 2 3 4 5; do
        xdotool mousemove "$(awk -v a="$1" -v b="$3" -v i="$i" 'BEGIN {printf "%d", 400 + 2 * (a + (b - a) * i / 5)}')" \
            "$(awk -v a="$2" -v b="$4" -v i="$i" 'BEGIN {printf "%d", 300 + 2 * (a + (b - a) * i / 5)}')"
        sleep 0.1
    done
    xdotool mouseup 1
    sleep 0.3
}
# Holds the item in hole (x, y) and right-clicks: craft, or split one off.
right_click_on() {
    xdotool mousemove "$(bx "$1")" "$(by "$2")"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    click 3
    sleep 0.2
}
choose() {
    local i
    for i in $(seq 1 14); do
        [ "$(grep "In hand:" LOGFILE.TXT | tail -n 1)" = "Debug:In hand: $1" ] && return 0
        xdotool key e
        sleep 0.3
    done
    e2e_fail "E never chose the $1"
}

e2e_prepare_game "$1"
[ -n "${E2E_KEEP:-}" ] && echo "game folder: $E2E_DIR"
sed -i 's/^Background distance: .*/Background distance: 100/; s/^Log level: .*/Log level: 4/' SETUP.TXT
mkdir -p WORLDS/DEZORE
printf '1765200000' > WORLDS/DEZORE/SEED.TXT
e2e_start_x
e2e_start_game
# At log level 4 the last line of start-up is the player's place; the loop follows at once.
e2e_wait_log "Player XYZ ==" 90
sleep 3
xdotool mousemove 400 300
xdotool key Escape
sleep 6
shot start

# The copper pick in hand from the start: look down and dig.
xdotool mousemove_relative -- 0 120
sleep 0.5
for i in 1 2; do locate; done
shot dug
dug=$(grep -o 'Dug [0-9]* blocks at' LOGFILE.TXT | awk '{s += $2} END {print s + 0}')
[ "$dug" -gt 0 ] || e2e_fail "the starting pick dug nothing"
grep -q "Picked up\|Dug [1-9]" LOGFILE.TXT || e2e_fail "no dig was logged"
xdotool mousemove_relative -- 0 -120
sleep 0.3

# The nearest natural tree.
set -- $(where)
tree=$(grep "Grew a tree at" LOGFILE.TXT | sed 's/.*at \([-0-9.]*\), \([-0-9.]*\), .*/\1 \2/' |
    awk -v x="$1" -v y="$2" '{d = ($1-x)^2 + ($2-y)^2; if (best == "" || d < best) {best = d; t = $1 " " $2}} END {print t}')
[ -n "$tree" ] || e2e_fail "no tree grows on the island"
set -- $tree
tx=$1
ty=$2
echo "nearest tree at $tx, $ty, $(distance_to "$tx" "$ty") blocks away"
choose Axe
# Walk towards it in legs, looking again after each.
for leg in 1 2 3 4 5 6 7 8; do
    locate
    d=$(distance_to "$tx" "$ty")
    [ "$d" -le 2 ] && break
    face "$tx" "$ty"
    secs=$(awk -v d="$d" 'BEGIN {t = (d - 1.5) / 6.0; if (t > 3) t = 3; if (t < 0.15) t = 0.15; printf "%.2f", t}')
    xdotool keydown w
    sleep "$secs"
    xdotool keyup w
    sleep 0.4
done
locate
face "$tx" "$ty"
shot at_tree
[ "$(distance_to "$tx" "$ty")" -le 3 ] || e2e_fail "could not walk to the tree at $tx, $ty"

# Fell it: three blows of the axe, each a log.
for i in 1 2 3 4; do
    locate
    [ "$(count "Chopped a tree: 0 hits left")" -ge 1 ] && break
done
shot felled
[ "$(count "Chopped a tree:")" -ge 3 ] || e2e_fail "three blows did not fell the tree"
sleep 2

# Pick up the logs around the stump once they lie still: look round slowly, a little down, and
# click whenever the crosshair rests on a log; move on a little after each round.
sleep 3
xdotool mousemove_relative -- 0 30
for round in 1 2 3 4 5 6; do
    for i in $(seq 1 30); do
        [ "$(count "Picked up Log")" -ge 3 ] && break 2
        seen=$(count "Looking at a Log")
        xdotool mousemove_relative -- 24 0
        sleep 0.15
        if [ "$(count "Looking at a Log")" -gt "$seen" ]; then
            click 1
            sleep 0.4
        fi
    done
    xdotool keydown w
    sleep 0.3
    xdotool keyup w
    sleep 0.5
done
shot logs
logs=$(grep "Picked up Log" LOGFILE.TXT | tail -n 1)
[ -n "$logs" ] || e2e_fail "no log was picked up"
echo "$logs"
nlogs=$(echo "$logs" | sed 's/.*Log: \([0-9]*\) on.*/\1/')
[ "$nlogs" -ge 2 ] || e2e_fail "only $nlogs log picked up"
lx=$(echo "$logs" | sed 's/.*board at \([-0-9]*\), \([-0-9]*\).*/\1/')
ly=$(echo "$logs" | sed 's/.*board at \([-0-9]*\), \([-0-9]*\).*/\2/')

# The board: the logs to the free top right holes, one split off, and the two side by side.
xdotool key Tab
sleep 2
shot board_open
drag_board "$lx" "$ly" 80 -120
right_click_on 80 -120
grep -q "Split one Log off" LOGFILE.TXT || e2e_fail "right-clicking the held logs split none off"
# Still holding the rest: lay them in the hole to the right.
for p in 90 100 110 120; do
    xdotool mousemove "$(bx "$p")" "$(by -110)"
    sleep 0.1
done
xdotool mousemove "$(bx 120)" "$(by -105)"
sleep 0.2
xdotool mouseup 1
sleep 0.3
right_click_on 80 -120
xdotool mouseup 1
sleep 0.5
shot boards
grep -q "Crafted Board" LOGFILE.TXT || e2e_fail "two logs side by side made no board"
# The knife: a board diagonally below right of an iron bar.
drag_board 80 -120 120 -65
drag_board 0 0 80 -120
right_click_on 80 -120
xdotool mouseup 1
sleep 0.5
shot knife
grep -q "Crafted Knife" LOGFILE.TXT || e2e_fail "a bar with a board below right made no knife"
# Tab closes the board and writes what it holds.
xdotool key Tab
sleep 1
board=$(awk '/Crafted Knife/ {found = 1} found && /Board: / {print}' LOGFILE.TXT)
echo "$board" | grep -q "Board: Bar (Iron) x9 at 80, -120" || e2e_fail "the iron bars are not 9 in their hole: $board"
echo "$board" | grep -q "Board: Knife (Iron) x1" || e2e_fail "no iron knife on the board"
echo "$board" | grep -q "Board: Board x10 at -40, 55" || e2e_fail "the starting boards changed"
# Of the logs picked up, two made the board (used by the knife); the rest are left. (The search
# for logs round the stump may find only two of the three on a slow machine.)
if [ "$nlogs" -gt 2 ]; then
    echo "$board" | grep -q "Board: Log x$((nlogs - 2)) at" || e2e_fail "the logs left over are not on the board"
else
    echo "$board" | grep -q "Board: Log x" && e2e_fail "a log is left over from two"
fi
echo "$board" | grep -q "Board: Dirt x" || e2e_fail "the dug dirt is not on the board"
echo "$board" | grep -q "Board: Block x10000" || e2e_fail "the blocks are not counted in blocks"
holes=$(echo "$board" | sed 's/.* at //' | sort | uniq -d)
[ -z "$holes" ] || e2e_fail "two items share a hole: $holes"

xdotool keydown shift Escape
sleep 0.3
xdotool keyup Escape shift
e2e_wait_exit 60
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "the game ended with $E2E_STATUS"
echo "PASS: dug $dug blocks, felled a tree, picked up $nlogs logs, crafted a board and a knife"
