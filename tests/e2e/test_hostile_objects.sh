#!/usr/bin/env bash
# test_hostile_objects.sh — a chunk holding 10,000 objects, an object of a kind that is not
# loaded, a PLAYER record and a model that is a FIFO: the game starts, wakes only as many objects
# as one chunk may, quits at shift-escape, and saves every record back; a SETUP.TXT that leads to
# an endless device is refused, and a polite kill while the world loads ends the game at once.
# Usage: test_hostile_objects.sh GAME_FOLDER
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/e2e_lib.sh"

e2e_prepare_game "$1"
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

# 1. A small world, saved.
e2e_start_game
e2e_wait_log "Player XYZ ==" 90
sleep 1
kill -TERM "$E2E_GAME_PID" 2>/dev/null
e2e_wait_exit 60
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "first game: exit code $E2E_STATUS"
chunk=WORLDS/DEZORE/025-025.DAT
[ -f "$chunk" ] || e2e_fail "the start chunk was not saved"

# 2. Ten thousand bars, a GHOST (no such kind) and a PLAYER record at the end of its object list.
python3 - "$chunk" <<'PY'
import struct, sys
def record(x, y, kind, material):
    s = struct.pack('<fff', x, y, 12.0) + kind + b'\0' + b'Thing\0'
    s += bytes([material, 128, 1, 0, 0, 1, 0]) + struct.pack('<HHH', 1, 0, 0) + struct.pack('<6f', 1, 0, 0, 0, 0, 1)
    return s + b'<' + struct.pack('<fff', 0, 0, 0) + b'\0' + b'\0'
with open(sys.argv[1], 'ab') as f:
    for i in range(10000):
        f.write(record(1604.0 + (i % 100) * 0.5, 1604.0 + (i // 100) * 0.5, b'BAR', 1 + i % 5))
    f.write(record(1630.0, 1630.0, b'GHOST', 3))
    f.write(record(1631.0, 1630.0, b'PLAYER', 3))
PY
size_before=$(stat -c %s "$chunk")
rm -f OBJECT/TORCH/MODEL.IQE
mkfifo OBJECT/TORCH/MODEL.IQE

e2e_start_game
e2e_wait_log "Player XYZ ==" 120
sleep 4
start=$(date +%s)
# Held over several frames: the game reads the key state once a frame.
xdotool keydown shift Escape; sleep 1.5; xdotool keyup Escape shift
e2e_wait_exit 30
took=$(( $(date +%s) - start ))
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "crowded chunk: exit code $E2E_STATUS"
grep -q "holds more objects than the 1024 one chunk wakes" LOGFILE.TXT || e2e_fail "the wake limit is not logged"
grep -q "^Warn :Objects of kind GHOST in WORLDS.DEZORE.025-025.DAT are kept as they are" LOGFILE.TXT ||
    e2e_fail "the unknown kind is not named"
grep -q "^Warn :A PLAYER record in WORLDS.DEZORE.025-025.DAT is kept" LOGFILE.TXT || e2e_fail "the PLAYER record is not reported"
[ "$(grep -c 'Player XYZ ==' LOGFILE.TXT)" -eq 1 ] || e2e_fail "more than one player"
grep -q "^Error:File OBJECT/TORCH/MODEL.IQE is not a regular file" LOGFILE.TXT || e2e_fail "the FIFO model is not refused"
# Every record is saved back: nothing of the 10,002 is lost (awake bars may have rolled into
# a neighbour's file, so all files are counted).
records=$(cat WORLDS/DEZORE/*.DAT | grep -a -o 'Thing' | wc -l)
[ "$records" -ge 10002 ] || e2e_fail "only $records of the 10,002 records were saved back"
grep -a -q GHOST "$chunk" || e2e_fail "the GHOST record was not saved back"
rm -f OBJECT/TORCH/MODEL.IQE

# 3. SETUP.TXT leading to an endless device: refused, defaults used (the largest world), and a
# polite kill while that world loads ends the game within seconds.
rm -f SETUP.TXT
ln -s /dev/zero SETUP.TXT
e2e_start_game
e2e_wait_log "World seed ==" 60
sleep 1
start=$(date +%s)
kill -TERM "$E2E_GAME_PID" 2>/dev/null
e2e_wait_exit 60
load_took=$(( $(date +%s) - start ))
grep -q "^Error:File SETUP.TXT is not a regular file" LOGFILE.TXT || e2e_fail "the endless SETUP.TXT is not refused"
grep -q "Quit asked while the world loads" LOGFILE.TXT || e2e_fail "the kill during loading was not seen"
[ "$load_took" -le 20 ] || e2e_fail "the game took $load_took s to end after a kill during loading"

# 4. Shift-escape while that world loads ends the game as quickly.
e2e_start_game
e2e_wait_log "World seed ==" 60
sleep 1
start=$(date +%s)
xdotool keydown shift Escape; sleep 1; xdotool keyup Escape shift
e2e_wait_exit 60
key_took=$(( $(date +%s) - start ))
grep -q "Quit asked while the world loads" LOGFILE.TXT || e2e_fail "shift-escape during loading was not seen"
[ "$key_took" -le 20 ] || e2e_fail "the game took $key_took s to end after shift-escape during loading"

echo "PASS: hostile objects (chunk of $size_before bytes quit in ${took}s; kill while loading ended in ${load_took}s, shift-escape in ${key_took}s)"
