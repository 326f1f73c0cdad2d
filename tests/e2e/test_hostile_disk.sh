#!/usr/bin/env bash
# test_hostile_disk.sh — a world on a full or read-only disk: the seed file is never left empty, a
# world without its seed saves no chunk, a damaged chunk file never fills the disk with copies of
# itself, saved chunks survive, and a game that could not save says how many chunks it lost and
# exits with status 2. The world folder is a small tmpfs mounted for the test; where mounting is
# not allowed (or E2E_NO_MOUNT is set), the save-fault switch KESTROVA_SAVE_FAULT stands in for
# the failing disk.
# Usage: test_hostile_disk.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

E2E_MOUNT=""
# The game must be gone before its disk can be unmounted, and the disk before the scratch folder
# is removed.
hostile_cleanup() {
    if [ -n "$E2E_GAME_PID" ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
        kill -9 "$E2E_GAME_PID" 2>/dev/null
        wait "$E2E_GAME_PID" 2>/dev/null
    fi
    E2E_GAME_PID=""
    if [ -n "$E2E_MOUNT" ]; then umount "$E2E_MOUNT" 2>/dev/null; fi
    E2E_MOUNT=""
    e2e_cleanup
}

e2e_prepare_game "$1"
# The smallest world (the chunks right around the start) at the shipped log level, so every
# line checked here is one a player sees.
cat > SETUP.TXT <<'SETUP'
Window resolution: 800x600
Full screen: FALSE
Display distance: 50
Background distance: 0
Draw cartoon outline lines: TRUE
Invert mouse look: FALSE
Load music: FALSE
Log level: 3
SETUP
e2e_start_x
export SDL_AUDIODRIVER=dummy

# Starts the game, lets it run a moment, ends it with a terminate signal (which saves the world
# like shift-escape) and leaves the exit status in E2E_STATUS.
run_game() {
    rm -f LOGFILE.TXT
    e2e_start_game
    e2e_wait_log "Player XYZ ==" 90
    sleep 1
    kill -TERM "$E2E_GAME_PID" 2>/dev/null
    e2e_wait_exit 60
}

no_leftovers() {
    local left
    left=$(find WORLDS -name '*.TMP' | head -n 3)
    [ -z "$left" ] || e2e_fail "$1: temporary files left behind: $left"
}

mkdir -p WORLDS
if [ -z "${E2E_NO_MOUNT:-}" ] && [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=2m,mode=0755 kestrova_e2e WORLDS 2>/dev/null; then
    E2E_MOUNT="$PWD/WORLDS"
    trap hostile_cleanup EXIT

    # 1. The disk is full as the world is made: no empty seed file, no chunk saved without it.
    mkdir -p WORLDS/DEZORE
    dd if=/dev/zero of=WORLDS/filler bs=4k >/dev/null 2>&1
    run_game
    [ "$E2E_STATUS" -eq 2 ] || e2e_fail "full disk: exit code $E2E_STATUS"
    [ ! -e WORLDS/DEZORE/SEED.TXT ] || e2e_fail "full disk: a seed file of $(stat -c %s WORLDS/DEZORE/SEED.TXT) bytes was left"
    grep -q "^Error:Unable to write seed [-0-9]* to WORLDS/DEZORE/SEED.TXT -- .*: No space left on device" LOGFILE.TXT ||
        e2e_fail "full disk: the seed failure is not logged with its reason"
    grep -q "^Error:Could not save [0-9]* of [0-9]* chunks at exit" LOGFILE.TXT ||
        e2e_fail "full disk: the lost chunks are not counted"
    [ -z "$(ls WORLDS/DEZORE)" ] || e2e_fail "full disk: files were left: $(ls WORLDS/DEZORE)"

    # 2. With room again the world is made and saved whole.
    rm -f WORLDS/filler
    run_game
    [ "$E2E_STATUS" -eq 0 ] || e2e_fail "free disk: exit code $E2E_STATUS"
    seed=$(cat WORLDS/DEZORE/SEED.TXT)
    [ -n "$seed" ] || e2e_fail "free disk: empty seed file"
    chunks=$(ls WORLDS/DEZORE/*.DAT | wc -l)
    [ "$chunks" -gt 0 ] || e2e_fail "free disk: no chunk saved"
    ! grep -q "^Error:" LOGFILE.TXT || e2e_fail "free disk: $(grep -m1 '^Error:' LOGFILE.TXT)"

    # 3. A chunk file leading to an endless device is read as damage and never copied; a damaged
    # file too big for the space left is not copied either, and no partial copy stays behind.
    # The disk is full, so every save fails and the old files are kept.
    first=$(ls WORLDS/DEZORE/*.DAT | head -n 1)
    second=$(ls WORLDS/DEZORE/*.DAT | sed -n 2p)
    ln -sf /dev/zero "$first"
    head -c 600000 /dev/urandom > "$second"
    (cd WORLDS/DEZORE && md5sum "$(basename "$second")" > ../../damaged.md5)
    dd if=/dev/zero of=WORLDS/filler bs=4k >/dev/null 2>&1
    run_game
    [ "$E2E_STATUS" -eq 2 ] || e2e_fail "damaged files on a full disk: exit code $E2E_STATUS"
    grep -q "^Error:Chunk file WORLDS\\\\DEZORE\\\\$(basename "$first") is damaged and is not a regular file; no copy of it is kept" LOGFILE.TXT ||
        e2e_fail "the endless chunk file is not reported"
    grep -q "^Error:Chunk file WORLDS\\\\DEZORE\\\\$(basename "$second") is damaged and could not be copied to .*No space left on device" LOGFILE.TXT ||
        e2e_fail "the failed copy is not reported"
    [ -z "$(find WORLDS -name '*.BAD*')" ] || e2e_fail "copies were left: $(find WORLDS -name '*.BAD*' -printf '%f %s; ')"
    grep -q "^Error:Could not save chunk .* No space left on device; the previous file is kept" LOGFILE.TXT ||
        e2e_fail "full disk: the kept file is not mentioned"
    (cd WORLDS/DEZORE && md5sum -c --quiet ../../damaged.md5) || e2e_fail "the damaged file changed on a full disk"
    [ -L "$first" ] || e2e_fail "the link was replaced although the disk is full"
    no_leftovers "damaged files"

    # 4. A read-only world: it is read, nothing is written, and the game says so.
    rm -f WORLDS/filler "$first" "$second"
    run_game
    [ "$E2E_STATUS" -eq 0 ] || e2e_fail "before read-only: exit code $E2E_STATUS"
    (cd WORLDS/DEZORE && md5sum * > ../../world.md5)
    mount -o remount,ro "$E2E_MOUNT" || e2e_fail "cannot make the world folder read-only"
    run_game
    [ "$E2E_STATUS" -eq 2 ] || e2e_fail "read-only: exit code $E2E_STATUS"
    grep -q "^Error:Could not save chunk .* -- cannot create the file: Read-only file system; the previous file is kept" LOGFILE.TXT ||
        e2e_fail "read-only: the failed save is not logged"
    grep -q "^Error:Could not save $chunks of $chunks chunks at exit" LOGFILE.TXT ||
        e2e_fail "read-only: not every chunk is counted as lost"
    (cd WORLDS/DEZORE && md5sum -c --quiet ../../world.md5) || e2e_fail "read-only: the world changed"
    echo "PASS: hostile disk (tmpfs; $chunks chunks, seed $seed)"
else
    # No small disk can be mounted here: the save-fault switch fails every save instead.
    rmdir WORLDS 2>/dev/null
    export KESTROVA_SAVE_FAULT=1
    run_game
    [ "$E2E_STATUS" -eq 2 ] || e2e_fail "failing saves: exit code $E2E_STATUS"
    [ ! -e WORLDS/DEZORE/SEED.TXT ] || e2e_fail "failing saves: a seed file was left"
    grep -q "^Error:Unable to write seed [-0-9]* to WORLDS/DEZORE/SEED.TXT -- cannot create the file" LOGFILE.TXT ||
        e2e_fail "failing saves: the seed failure is not logged"
    grep -q "^Error:Could not save chunk .* it was never saved before, so it will be generated afresh" LOGFILE.TXT ||
        e2e_fail "failing saves: a new chunk's loss is not explained"
    unset KESTROVA_SAVE_FAULT
    run_game
    [ "$E2E_STATUS" -eq 0 ] || e2e_fail "saving: exit code $E2E_STATUS"
    chunks=$(ls WORLDS/DEZORE/*.DAT | wc -l)
    (cd WORLDS/DEZORE && md5sum * > ../../world.md5)
    export KESTROVA_SAVE_FAULT=1
    run_game
    [ "$E2E_STATUS" -eq 2 ] || e2e_fail "failing saves of a saved world: exit code $E2E_STATUS"
    grep -q "^Error:Could not save $chunks of $chunks chunks at exit" LOGFILE.TXT ||
        e2e_fail "failing saves: not every chunk is counted as lost"
    grep -q "; the previous file is kept" LOGFILE.TXT || e2e_fail "failing saves: the kept file is not mentioned"
    (cd WORLDS/DEZORE && md5sum -c --quiet ../../world.md5) || e2e_fail "failing saves: the world changed"
    no_leftovers "failing saves"
    echo "PASS: hostile disk (save-fault switch; $chunks chunks)"
fi
