# Shared by the end-to-end scripts: a private X server and runtime folder.
# Sourced, not run (the test runner only runs scripts that do not end in _lib).

start_x() {
    XTMP=$(mktemp -d)
    export XDG_RUNTIME_DIR="$XTMP/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    exec {fd}>"$XTMP/display"
    Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp >"$XTMP/xvfb.log" 2>&1 &
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
    jobs -p | xargs -r kill -9 2>/dev/null
    kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
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

# Starts the board in the private X server; sets BOARD_PID and BOARD_WINDOW.
start_board() {
    "$1" &
    BOARD_PID=$!
    BOARD_WINDOW=$(wait_window Kabrelo24) || fail "no window titled Kabrelo24"
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
