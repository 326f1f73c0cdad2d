#!/usr/bin/env bash
# test_killed.sh — a game killed with SIGKILL, in play or in the middle of saving the world at exit,
# loses no chunk file saved before and leaves none half-written: the next start reads the whole
# world without damage, and an object written into a chunk file is still there, and is saved
# again with its chunk. Usage: test_killed.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

e2e_prepare_game "$1"
e2e_start_x

# An object kind of this test's own that is saved with its chunk.
mkdir -p OBJECT/E2ECRATE
printf 'FULLCOLLIDE\nSIZE 0.5\n' > OBJECT/E2ECRATE/TEMPLATE.TXT

quit_game() {
    sleep 0.5
    xdotool keydown shift Escape
    sleep 0.3
    xdotool keyup Escape shift
    e2e_wait_exit 60
    [ "$E2E_STATUS" -eq 0 ] || e2e_fail "$1: exit code $E2E_STATUS"
}

kill_game() {
    kill -9 "$E2E_GAME_PID" 2>/dev/null
    wait "$E2E_GAME_PID" 2>/dev/null
    E2E_GAME_PID=""
}

# The world must read back whole: nothing generated again, no damaged file, no empty column.
check_world_read() {
    grep -q "Chunk generated" LOGFILE.TXT && e2e_fail "$1: chunks were generated again"
    grep -q "is damaged" LOGFILE.TXT && e2e_fail "$1: a damaged chunk file was found"
    grep -q "of file WORLDS" LOGFILE.TXT && e2e_fail "$1: a column was damaged"
    grep -q "could not all be read" LOGFILE.TXT && e2e_fail "$1: an object list could not be read"
    return 0
}

# First start: a new world, saved at exit.
e2e_start_game
e2e_wait_log "Starting main loop" 90
grep -q "Loaded E2ECRATE as object template" LOGFILE.TXT || e2e_fail "the test's object kind was not loaded"
quit_game "first start"
chunks=$(ls WORLDS/DEZORE/*.DAT | wc -l)
[ "$chunks" -gt 100 ] || e2e_fail "only $chunks chunk files were saved"

# An object record appended to the start chunk's file: a crate at (1610.5, 1605.5, 200), named
# "Crate Of Proof", of metal 4, upright, with an empty inventory.
printf '\000\120\311\104\000\260\310\104\000\000\110\103\105\062\105\103\122\101\124\105\000\103\162\141\164\145\040\117\146\040\120\162\157\157\146\000\004\000\001\000\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\200\077\074\000\000\000\000\000\000\000\000\000\000\000\000\000\000' \
    >> WORLDS/DEZORE/025-025.DAT

# Killed in play.
rm -f LOGFILE.TXT
e2e_start_game
e2e_wait_log "Starting main loop" 90
check_world_read "killed in play"
grep -q "Attempting to spawn object E2ECRATE at 1610.500000, 1605.500000, 200.000000" LOGFILE.TXT ||
    e2e_fail "the crate was not read from its chunk file"
sleep 1
kill_game

# Killed while the world is being saved at exit, at two moments of the save: the game is frozen
# as soon as the log shows that many chunks saved, the count is taken, and it is killed there.
# A save that outruns the watcher is tried again.
for target in 1 120; do
    caught=0
    for attempt in 1 2 3; do
        rm -f LOGFILE.TXT
        e2e_start_game
        e2e_wait_log "Starting main loop" 90
        check_world_read "after a kill"
        grep -q "Attempting to spawn object E2ECRATE" LOGFILE.TXT || e2e_fail "the crate was lost by a kill"
        xdotool keydown shift Escape
        for i in $(seq 1 3000); do
            [ "$(grep -c "^Trace:  Chunk saved" LOGFILE.TXT)" -ge "$target" ] && break
            kill -0 "$E2E_GAME_PID" 2>/dev/null || break
            sleep 0.005
        done
        kill -STOP "$E2E_GAME_PID" 2>/dev/null
        xdotool keyup Escape shift
        saved=$(grep -c "^Trace:  Chunk saved" LOGFILE.TXT)
        kill_game
        [ "$(ls WORLDS/DEZORE/*.DAT | wc -l)" -eq "$chunks" ] || e2e_fail "chunk files were lost by a kill"
        if [ "$saved" -lt "$chunks" ]; then
            echo "killed during the save with $saved of $chunks chunks saved"
            caught=1
            break
        fi
    done
    [ "$caught" -eq 1 ] || e2e_fail "the save always finished before the kill ($target chunks)"
done

# A last start reads everything back, and a normal exit saves the crate with its chunk again.
rm -f LOGFILE.TXT
e2e_start_game
e2e_wait_log "Starting main loop" 90
check_world_read "last start"
grep -q "Attempting to spawn object E2ECRATE at 1610.500000, 1605.500000, 200.000000" LOGFILE.TXT ||
    e2e_fail "the crate was not read back at the last start"
quit_game "last start"
grep -q "Crate Of Proof" WORLDS/DEZORE/025-025.DAT || e2e_fail "the crate was not saved with its chunk"
grep -q "E2ECRATE" WORLDS/DEZORE/025-025.DAT || e2e_fail "the crate's kind was not saved"
echo "PASS: killed ($chunks chunk files survive kills in play and during the save; the crate survives)"
