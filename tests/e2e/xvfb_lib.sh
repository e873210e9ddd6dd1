# Shared by the end-to-end scripts: a private X server and runtime folder.
# Sourced, not run (the test runner only runs scripts that do not end in _lib).

start_x() {
    XTMP=$(mktemp -d)
    export XDG_RUNTIME_DIR="$XTMP/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    exec {fd}>"$XTMP/display"
    # -noreset: a client connecting while the last one leaves would be
    # turned away during the reset
    Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$XTMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$XTMP/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$XTMP/display")"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    trap stop_x EXIT
}

stop_x() {
    # also under set -e: whatever already ended is no failure
    jobs -p | xargs -r kill -9 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$XTMP"
}

# Waits until a visible window has exactly this name; prints its id.
wait_window() {
    local name=$1 id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Starts a copy of the board in the private X server, with its own data
# folder (a copy of $2 when given, else empty), so that no run touches the
# build's data; sets BOARD_PID, BOARD_WINDOW and BOARD_DATA.
start_board() {
    mkdir -p "$XTMP/prog"
    cp "$1" "$XTMP/prog/kabrelo24"
    BOARD_DATA="$XTMP/prog/data"
    if [ -n "${2:-}" ]; then cp -r "$2" "$BOARD_DATA"; else mkdir -p "$BOARD_DATA"; fi
    "$XTMP/prog/kabrelo24" &
    BOARD_PID=$!
    BOARD_WINDOW=$(wait_window Kabrelo24) || fail "no window titled Kabrelo24"
    # the grid's origin on screen: the window's client corner plus the
    # 2-pixel sunken edge
    eval "$(xdotool getwindowgeometry --shell "$BOARD_WINDOW")"
    GRID_X=$((X + 2))
    GRID_Y=$((Y + 2))
    WIN_X=$X
    WIN_Y=$Y
}

# Drags the block lying on top of the stack, grabbed 100 px into its time
# label, so that the drag tick (pointer less window corner less grab) sees
# (x, y); waits for a tick there before the release.
drag_top_block() {
    local x=$1 y=$2
    xdotool mousemove $((GRID_X + 160 + 2 + 100)) $((GRID_Y + 401 + 2 + 10)) mousedown 1
    sleep 0.2
    xdotool mousemove $((WIN_X + 100 + x - 60)) $((WIN_Y + 10 + y - 40))
    sleep 0.2
    xdotool mousemove $((WIN_X + 100 + x)) $((WIN_Y + 10 + y))
    sleep 0.4
    xdotool mouseup 1
    sleep 0.3
}

# Share (0 to 1) of the pixels of a w x h area at grid position (x, y) of a
# screenshot that have the colour "r,g,b".
colour_share() {
    local shot=$1 x=$2 y=$3 w=$4 h=$5 rgb=$6
    convert "$shot" -crop "${w}x${h}+$((GRID_X + x))+$((GRID_Y + y))" +repage \
        -fill black +opaque "rgb($rgb)" -fill white -opaque "rgb($rgb)" \
        -format "%[fx:mean]" info:
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_x, or a skip (exit 0) when no X server can be started on this
# machine: without one there is nothing to drive, which is no fault of the
# program.
require_x() {
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "SKIP: Xvfb is not installed"
        exit 0
    fi
    start_x
    if [ ! -s "$XTMP/display" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
        echo "SKIP: Xvfb did not start: $(tail -n1 "$XTMP/xvfb.log" 2>/dev/null)"
        exit 0
    fi
    hold_x
}

# Keeps one client connected until the end. Xvfb resets whenever its last
# client leaves, and turns away a client that connects during the reset: the
# board now and then failed to open its display while wait_window's
# searches came and went.
hold_x() {
    xprop -root -spy >"$XTMP/hold" 2>&1 &
    for _ in $(seq 50); do
        [ -s "$XTMP/hold" ] && return 0
        sleep 0.1
    done
    fail "no client could connect to the X server: $(cat "$XTMP/hold")"
}
