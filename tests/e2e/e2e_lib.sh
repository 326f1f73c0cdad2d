#!/usr/bin/env bash
# e2e_lib.sh — shared steps of the end-to-end scripts: a scratch copy of the game, a private X
# server, starting the game, waiting for log lines, screenshots and pixel checks.
# Everything started here is recorded by its process id and stopped on exit.

set -u

E2E_GAME_PID=""
E2E_XVFB_PID=""
E2E_DIR=""

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -n "$E2E_DIR" ] && [ -f "$E2E_DIR/LOGFILE.TXT" ]; then
        echo "---- last log lines:" >&2
        grep -v '^Trace:' "$E2E_DIR/LOGFILE.TXT" | tail -n 15 >&2
    fi
    exit 1
}

e2e_cleanup() {
    if [ -n "$E2E_GAME_PID" ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
        kill "$E2E_GAME_PID" 2>/dev/null
        sleep 0.5
        kill -9 "$E2E_GAME_PID" 2>/dev/null
    fi
    if [ -n "$E2E_XVFB_PID" ] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
        kill "$E2E_XVFB_PID" 2>/dev/null
    fi
    if [ -n "$E2E_DIR" ] && [ -z "${E2E_KEEP:-}" ]; then
        rm -rf "$E2E_DIR"
    fi
}
trap e2e_cleanup EXIT

# Copies the game folder ($1) to a scratch folder and enters it. The settings keep the
# window at 800 × 600, skip the music and log every level, so stage lines are visible.
e2e_prepare_game() {
    local game="$1"
    [ -x "$game/kestrova" ] || e2e_fail "no game executable in $game"
    E2E_DIR=$(mktemp -d /tmp/kestrova_e2e_XXXXXX)
    cp -r "$game"/. "$E2E_DIR"/
    rm -rf "$E2E_DIR/WORLDS" "$E2E_DIR/LOGFILE.TXT"
    cat > "$E2E_DIR/SETUP.TXT" <<'SETUP'
Window resolution: 800x600
Full screen: FALSE
Display distance: 50
Background distance: 500
Draw cartoon outline lines: TRUE
Invert mouse look: FALSE
Load music: FALSE
Log level: 5
SETUP
    cd "$E2E_DIR" || e2e_fail "cannot enter $E2E_DIR"
}

# Starts a private X server; the server itself picks a free display number (-displayfd), so
# scripts running side by side never share one. -noreset keeps it from refusing connections
# while it resets after its last client leaves.
e2e_start_x() {
    local number_file="$E2E_DIR/xvfb_display.txt" i n=""
    : > "$number_file"
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 3>"$number_file" >/dev/null 2>&1 &
    E2E_XVFB_PID=$!
    for i in $(seq 1 100); do
        n=$(tr -dc '0-9' < "$number_file")
        [ -n "$n" ] && break
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$n" ] || e2e_fail "could not start Xvfb"
    export DISPLAY=":$n"
    for i in $(seq 1 50); do
        if xdpyinfo >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    e2e_fail "Xvfb on $DISPLAY does not answer"
}

e2e_start_game() {
    ./kestrova </dev/null >game_stdout.txt 2>&1 &
    E2E_GAME_PID=$!
}

# Waits up to $2 seconds (default 20) for a log line containing $1.
e2e_wait_log() {
    local text="$1" limit="${2:-20}" i
    for i in $(seq 1 $((limit * 10))); do
        if [ -f LOGFILE.TXT ] && grep -qF -- "$text" LOGFILE.TXT; then return 0; fi
        if [ -n "$E2E_GAME_PID" ] && ! kill -0 "$E2E_GAME_PID" 2>/dev/null; then
            grep -qF -- "$text" LOGFILE.TXT 2>/dev/null && return 0
            e2e_fail "the game ended before logging '$text'"
        fi
        sleep 0.1
    done
    e2e_fail "no log line '$text' within $limit s"
}

# Waits for the game to end by itself within $1 seconds and leaves its exit code in E2E_STATUS.
e2e_wait_exit() {
    local limit="$1" i
    for i in $(seq 1 $((limit * 10))); do
        if ! kill -0 "$E2E_GAME_PID" 2>/dev/null; then
            wait "$E2E_GAME_PID"
            E2E_STATUS=$?
            E2E_GAME_PID=""
            return 0
        fi
        sleep 0.1
    done
    e2e_fail "the game did not end within $limit s"
}

e2e_window_id() {
    local id
    id=$(xdotool search --name '^Cindervault$' 2>/dev/null | head -n 1)
    [ -n "$id" ] || e2e_fail "no window named Cindervault"
    echo "$id"
}

# Screenshot of the whole X screen (the window sits at its top-left corner).
e2e_shot() { import -window root "$1" 2>/dev/null || e2e_fail "screenshot $1 failed"; }

# Number of pixels of $1 inside the rectangle WxH+X+Y ($2) whose colour is within 10% of $3.
e2e_count_colour() {
    local image="$1" geometry="$2" colour="$3"
    convert "$image" -crop "$geometry" +repage -fuzz 10% -fill black +opaque "$colour" -fill white -opaque "$colour" \
        -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}

# Number of pixels that differ between two images inside the rectangle $3 (whole image when empty),
# by more than the colour distance $4 (a percentage, 0 when not given).
e2e_diff_pixels() {
    local a="$1" b="$2" geometry="${3:-}" fuzz="${4:-0}"
    if [ -n "$geometry" ]; then
        convert "$a" -crop "$geometry" +repage "$a.crop.png"
        convert "$b" -crop "$geometry" +repage "$b.crop.png"
        a="$a.crop.png"
        b="$b.crop.png"
    fi
    compare -metric AE -fuzz "$fuzz%" "$a" "$b" null: 2>&1 | cut -d' ' -f1
}

# Share (0..100) of non-black pixels of $1 inside the rectangle $2.
e2e_lit_percent() {
    convert "$1" -crop "$2" +repage -colorspace gray -threshold 2% -format '%[fx:int(mean*100)]' info: 2>/dev/null
}

# Writes an uncompressed 24-bit TGA of one colour: file, width, height, red, green, blue.
e2e_write_tga() {
    convert -size "$2x$3" "xc:rgb($4,$5,$6)" -type TrueColor -compress None "tga:$1" 2>/dev/null ||
        e2e_fail "could not write $1"
}

# Waits up to $1 seconds (default 30) until the player has landed: the last eight logged heights
# ("Player at x, y, z", four a second at log level 5) lie within 0.05 of each other.
e2e_wait_player_settled() {
    local limit="${1:-30}" i settled
    for i in $(seq 1 $((limit * 4))); do
        settled=$(grep -F 'Player at' LOGFILE.TXT 2>/dev/null | tail -n 8 | sed 's/.*Player at //; s/,//g' |
            awk 'NR == 1 {lo = $3; hi = $3} {if ($3 < lo) lo = $3; if ($3 > hi) hi = $3; n++}
                 END {print (n == 8 && hi - lo < 0.05) ? 1 : 0}')
        [ "$settled" = 1 ] && return 0
        sleep 0.25
    done
    e2e_fail "the player did not come to rest within $limit s"
}
