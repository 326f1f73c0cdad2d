#!/usr/bin/env bash
# measure_headings.sh — frames per second of the old and the new terrain drawing path, taken in
# turn frame by frame in one run of the real game under a private Xvfb (llvmpipe), at the start
# view of seed 1765200000 (800 x 600, display distance 50, background 500), title closed, at each
# of eight headings 45 degrees apart; with the stage breakdown the game's frame-stage timers log;
# then the same view with twenty zombis 5 to 15 blocks ahead, old and new frame by frame, from the
# benchmark program (build/bench/kestrova_bench, BM_OldAgainstNewPathFrame/0/1).
# Usage: bench/measure_headings.sh [--finish] [GAME_FOLDER]
#   --finish  run the benchmark build (build/bench/kestrova_stages), which waits for the GL after
#             every stage, so the stage times include the drawing itself (and frames get slower)
# Prints one line per heading and path, then the medians over the headings. The machine's load is
# printed beside each line: compare old and new of the same line, not runs on different days.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
finish=0
if [ "${1:-}" = "--finish" ]; then finish=1; shift; fi
game="$(cd "${1:-$root/build/game}" && pwd)"
. "$root/tests/e2e/e2e_lib.sh"

e2e_prepare_game "$game"
sed -i 's/^Log level: 5/Log level: 3/' SETUP.TXT
mkdir -p WORLDS/DEZORE
printf '1765200000' > WORLDS/DEZORE/SEED.TXT
if [ $finish = 1 ]; then
    cp "$root/build/bench/kestrova_stages" ./kestrova || e2e_fail "no build/bench/kestrova_stages (build the target)"
fi
e2e_start_x
export KESTROVA_STAGES=1 KESTROVA_DRAW_PATH=alternate
e2e_start_game
e2e_wait_log "Frame stages timed" 600
sleep 1.5
xdotool mousemove 400 300
# Close the title overlay, then let the sun come up and the view settle.
xdotool keydown w; sleep 0.4; xdotool keyup w
sleep 10

summaries() { grep -c '^Stages new' LOGFILE.TXT; }
# Waits for the summary after next (the first whole 2 s after a turn) and prints both paths' lines.
take() {
    local n0 i
    n0=$(summaries)
    for i in $(seq 1 300); do
        [ "$(summaries)" -ge $((n0 + 2)) ] && break
        sleep 0.1
    done
    grep '^Stages new' LOGFILE.TXT | tail -n 1
    grep '^Stages old' LOGFILE.TXT | tail -n 1
}
fps_of() { sed 's/.* frames, \([0-9.]*\) fps.*/\1/'; }
# CPU of the whole process (every thread, the driver's too) per frame: steadier than fps under load.
cpu_of() { sed 's/.*process cpu \([0-9.]*\) ms.*/\1/'; }
olds=(); news=()
for h in 0 1 2 3 4 5 6 7; do
    lines=$(take)
    new=$(echo "$lines" | sed -n 1p | fps_of)
    old=$(echo "$lines" | sed -n 2p | fps_of)
    new_cpu=$(echo "$lines" | sed -n 1p | cpu_of)
    old_cpu=$(echo "$lines" | sed -n 2p | cpu_of)
    news+=("$new"); olds+=("$old")
    echo "heading $((h * 45)): old $old fps, new $new fps, new/old $(awk -v a="$new" -v b="$old" 'BEGIN { if (b > 0) printf "%.2f", a / b }'), process cpu old $old_cpu ms, new $new_cpu ms a frame, load $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "$lines" | sed 's/^/    /'
    # 91 pixels of mouse motion turn the camera by 8190 of 65536 units, about 45 degrees.
    xdotool mousemove_relative -- 91 0
    sleep 1
done
[ -n "${SHOT:-}" ] && e2e_shot "$SHOT"
xdotool keydown shift Escape; sleep 0.3; xdotool keyup Escape shift
e2e_wait_exit 60
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
minimum() { printf '%s\n' "$@" | sort -n | head -n 1; }
echo "median over headings: old $(median "${olds[@]}") fps, new $(median "${news[@]}") fps"
echo "slowest heading: old $(minimum "${olds[@]}") fps, new $(minimum "${news[@]}") fps"

# Twenty zombis in view: whole frames (glFinish) of the same start view, old and new in turn.
bench="$root/build/bench/kestrova_bench"
if [ -x "$bench" ]; then
    row=$(KESTROVA_GAME_DIR="$game" "$bench" --benchmark_filter='OldAgainstNewPathFrame/0/1/' 2>/dev/null |
        grep '^BM_OldAgainstNewPathFrame/0/1/')
    counter() { echo "$row" | tr ' ' '\n' | sed -n "s/^$1=//p"; }
    echo "twenty zombis (heading 0): old $(counter old_fps) fps, new $(counter new_fps) fps," \
        "new/old $(counter new_over_old_fps), process cpu old $(counter old_cpu_ms) ms, new $(counter new_cpu_ms) ms" \
        "a frame, load $(cut -d' ' -f1-3 /proc/loadavg)"
else
    echo "twenty zombis: no $bench (build the kestrova_bench target)"
fi
