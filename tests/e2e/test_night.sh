#!/usr/bin/env bash
# test_night.sh — a night with zombis idled through as a new player would: C into the night on seed
# 1765200000, then two minutes standing still. At most two deaths, and every respawn (the deaths'
# and one on R at the end) lands 30 or more blocks from every zombi, by the positions in the log.
# Pictures are kept in $E2E_SHOTS when set. Usage: test_night.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

shots="${E2E_SHOTS:-}"
shot() {
    e2e_shot "$1.png"
    [ -n "$shots" ] && cp "$1.png" "$shots/"
    return 0
}
hold_key() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

e2e_prepare_game "$1"
# Two and a half minutes at log level 5 would write hundreds of megabytes: level 3 keeps what is read.
sed -i 's/^Background distance: .*/Background distance: 100/; s/^Log level: .*/Log level: 3/' SETUP.TXT
mkdir -p WORLDS/DEZORE
printf '1765200000' > WORLDS/DEZORE/SEED.TXT
e2e_start_x
e2e_start_game
e2e_wait_log "Player XYZ" 90
sleep 3
xdotool mousemove 400 300
xdotool key Escape
sleep 6
shot day

# C runs the clock quickly; the clock in the corner says when dusk comes. Hold it until nightfall.
for i in $(seq 1 60); do
    grep -q "Night falls" LOGFILE.TXT && break
    hold_key c 1
done
grep -q "Night falls" LOGFILE.TXT || e2e_fail "C did not bring the night"
sleep 2
shot night

# Two minutes of standing still in the night.
start=$(date +%s)
n=0
while [ $(($(date +%s) - start)) -lt 120 ]; do
    sleep 10
    n=$((n + 1))
    [ $((n % 3)) -eq 0 ] && shot "idle$n"
    kill -0 "$E2E_GAME_PID" 2>/dev/null || e2e_fail "the game ended in the night"
done
deaths=$(grep -c "The player died" LOGFILE.TXT)
spawned=$(grep -c "Spawned zombi" LOGFILE.TXT)
[ "$spawned" -gt 0 ] || e2e_fail "no zombi came in the night"
[ "$deaths" -le 2 ] || e2e_fail "$deaths deaths in two minutes of night"

# R with the zombis about: one more respawn to measure.
hold_key r 0.3
sleep 2
shot respawned
grep -q "Respawned the player" LOGFILE.TXT || e2e_fail "R did not respawn"

# Each respawn line is followed by one line per zombi then about.
report=$(awk '
    /Respawned the player at/ {
        line = $0; sub(/.*Respawned the player at /, "", line); gsub(/,/, "", line)
        split(line, p, " "); respawns++; near = 0; listing = 1; next
    }
    listing && /  Zombi at / {
        line = $0; sub(/.*Zombi at /, "", line); gsub(/,/, "", line); split(line, z, " ")
        d = sqrt((z[1] - p[1]) ^ 2 + (z[2] - p[2]) ^ 2 + (z[3] - p[3]) ^ 2)
        zombis++
        if (d < 30) { bad++; printf "respawn %d at %s %s is %.1f from a zombi\n", respawns, p[1], p[2], d > "/dev/stderr" }
        if (min == "" || d < min) min = d
        next
    }
    { listing = 0 }
    END { printf "%d %d %d %.1f\n", respawns, zombis, bad + 0, (min == "" ? 999 : min) }
' LOGFILE.TXT)
set -- $report
respawns=$1 measured=$2 bad=$3 nearest=$4
[ "$respawns" -ge 1 ] || e2e_fail "no respawn was logged"
[ "$bad" -eq 0 ] || e2e_fail "$bad zombis stood within 30 blocks of a respawn"

xdotool keydown shift Escape
sleep 0.3
xdotool keyup Escape shift
for i in $(seq 1 40); do
    kill -0 "$E2E_GAME_PID" 2>/dev/null || break
    sleep 1
done
kill -0 "$E2E_GAME_PID" 2>/dev/null && e2e_fail "shift-escape did not end the game"
e2e_wait_exit 5
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "the game ended with $E2E_STATUS"
echo "PASS: $spawned zombis, $deaths deaths in two minutes of night, $respawns respawns, nearest of $measured zombis $nearest blocks away"
