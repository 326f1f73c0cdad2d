#!/usr/bin/env bash
# measure_display.sh — times the real game under a private Xvfb (llvmpipe): from process start to
# the first drawn main-loop frame, and frames per second on the title overlay at 800 × 600.
# Usage: bench/measure_display.sh [GAME_FOLDER] [RUNS]   (default build/game, 3 runs; prints medians)
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
game="${1:-$root/build/game}"
runs="${2:-3}"
. "$root/tests/e2e/e2e_lib.sh"

e2e_prepare_game "$game"
e2e_start_x

now_ms() { date +%s%3N; }
swaps() { grep -c '^Trace:Doing Swap' LOGFILE.TXT 2>/dev/null || echo 0; }

starts=()
rates=()
for run in $(seq 1 "$runs"); do
    rm -f LOGFILE.TXT
    t0=$(now_ms)
    e2e_start_game
    # The first swap of the main loop marks the first frame.
    while ! grep -q '^Trace:Doing Swap' LOGFILE.TXT 2>/dev/null; do sleep 0.005; done
    starts+=($(( $(now_ms) - t0 )))
    sleep 2
    n0=$(swaps); t1=$(now_ms)
    sleep 10
    n1=$(swaps); t2=$(now_ms)
    rates+=("$(awk -v n=$((n1 - n0)) -v ms=$((t2 - t1)) 'BEGIN { printf "%.1f", n * 1000 / ms }')")
    xdotool keydown shift Escape; sleep 0.3; xdotool keyup Escape shift
    e2e_wait_exit 15
    echo "run $run: start to first frame ${starts[-1]} ms, title overlay ${rates[-1]} fps"
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "median start to first frame: $(median "${starts[@]}") ms"
echo "median title overlay frame rate: $(median "${rates[@]}") fps"
