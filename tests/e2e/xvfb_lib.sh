# Shared by the end-to-end scripts: a private X server and runtime folder.
# Sourced, not run (the test runner only runs scripts that do not end in _lib).
# The scripts run under set -euo pipefail, and so does everything here: a
# command whose failure is expected says so where it is called.

# What a script needs cannot be had on this machine: no fault of the
# program. The test runner reports it as skipped.
skip() {
    echo "SKIP: $*"
    exit 77
}

# KAB_WM names what manages the windows in the private X server: nothing
# (unset), openbox, or weston, whose X11 backend shows its own output in a
# window of the X server; the board then runs on weston itself, with no X
# server for it (see start_board).
start_x() {
    XTMP=$(mktemp -d)
    export XDG_RUNTIME_DIR="$XTMP/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # the user's state folder, where the board keeps its recovery files
    export XDG_STATE_HOME="$XTMP/state"
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
    case ${KAB_WM:-} in
    "") ;;
    openbox) start_openbox ;;
    weston) start_weston ;;
    *) fail "KAB_WM=$KAB_WM: neither openbox nor weston" ;;
    esac
}

# A window manager that cannot start is no fault of the program: skip.
skip_wm() {
    skip "$KAB_WM did not start: $*"
}

start_openbox() {
    command -v openbox >/dev/null 2>&1 || skip_wm "it is not installed"
    openbox --sm-disable >"$XTMP/wm.log" 2>&1 &
    # managing once it names its check window on the root
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    skip_wm "$(tail -n1 "$XTMP/wm.log")"
}

# weston's output fills the X screen from its corner but for a strip at the
# bottom (see park_pointer), so a screen point is the same point of its
# output; no panel, no animation and a plain background, so that the board
# can be found on a screenshot; no on-screen keyboard over it.
WESTON_BG="0,34,68"
start_weston() {
    command -v weston >/dev/null 2>&1 || skip_wm "it is not installed"
    cat >"$XTMP/weston.ini" <<INI
[core]
idle-time=0
[shell]
panel-position=none
background-color=0xff002244
animation=none
close-animation=none
focus-animation=none
locking=false
[input-method]
path=
INI
    weston --config="$XTMP/weston.ini" --backend=x11-backend.so --use-pixman \
        --width=1280 --height=992 --socket=kab-wayland >"$XTMP/wm.log" 2>&1 &
    WESTON_PID=$!
    for _ in $(seq 100); do
        [ -S "$XDG_RUNTIME_DIR/kab-wayland" ] && grep -q desktop-shell "$XTMP/wm.log" && break
        kill -0 "$WESTON_PID" 2>/dev/null || break
        sleep 0.1
    done
    [ -S "$XDG_RUNTIME_DIR/kab-wayland" ] && kill -0 "$WESTON_PID" 2>/dev/null ||
        skip_wm "$(grep -v '^ ' "$XTMP/wm.log" | tail -n1)"
    sleep 0.5 # the shell's background
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
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Starts a copy of the board in the private X server, in a folder of its own
# ($3 under the test's folder, "prog" when not given) with its own data
# folder (a copy of $2 when given, else empty), so that no run touches the
# build's data; sets BOARD_PID, BOARD_WINDOW and BOARD_DATA, and with
# find_board the places on screen. Under weston the board is started without
# DISPLAY, so that it runs on the compositor itself.
start_board() {
    local prog="$XTMP/${3:-prog}"
    mkdir -p "$prog"
    cp "$1" "$prog/kabrelo24"
    # the print module, where the program loads it from
    if [ -d "$(dirname "$1")/lib" ]; then cp -r "$(dirname "$1")/lib" "$prog/"; fi
    BOARD_DATA="$prog/data"
    if [ -n "${2:-}" ]; then cp -r "$2" "$BOARD_DATA"; else mkdir -p "$BOARD_DATA"; fi
    if [ "${KAB_WM:-}" = weston ]; then
        park_pointer
        env -u DISPLAY WAYLAND_DISPLAY=kab-wayland "$prog/kabrelo24" 2>"$XTMP/board.log" &
        BOARD_PID=$!
        BOARD_WINDOW=
    else
        "$prog/kabrelo24" 2>"$XTMP/board.log" &
        BOARD_PID=$!
        BOARD_WINDOW=$(wait_window Kabrelo24) || fail "no window titled Kabrelo24"
    fi
    find_board
}

# The board's places on screen: WIN_X, WIN_Y, the outer corner of its frame,
# from which the program measures the drag; GRID_X, GRID_Y, the grid's
# origin: the client corner plus the 2-pixel sunken edge.
find_board() {
    local cx cy left top
    if [ -n "$BOARD_WINDOW" ]; then
        # xdotool's position is off by the frame under a window manager
        cx=$(xwininfo -id "$BOARD_WINDOW" | sed -n 's/.*Absolute upper-left X: *//p')
        cy=$(xwininfo -id "$BOARD_WINDOW" | sed -n 's/.*Absolute upper-left Y: *//p')
        # left, right, top, bottom; none without a window manager
        read -r left _ top _ < <(xprop -id "$BOARD_WINDOW" _NET_FRAME_EXTENTS |
            sed -n 's/.*= *//p' | tr -d ',') || true
        WIN_X=$((cx - ${left:-0}))
        WIN_Y=$((cy - ${top:-0}))
    else
        find_on_weston
        cx=$((WIN_X + FRAME_LEFT))
        cy=$((WIN_Y + FRAME_TOP))
    fi
    GRID_X=$((cx + 2))
    GRID_Y=$((cy + 2))
    # the editor panel lies at (337, 397) in the grid
    PANEL_X=$((GRID_X + 337))
    PANEL_Y=$((GRID_Y + 397))
}

# A click at (x, y) in the editor panel, where its controls lie:
# the name box (75, 7), the start picker (185, 5), the duration box (270, 5),
# the day picker (217, 41) with the weekday label 32 px into it, the month
# buttons < (162, 43) and > (178, 43), 保存 (291, 42).
click_panel() {
    xdotool mousemove $((PANEL_X + $1)) $((PANEL_Y + $2)) click 1
    sleep 0.3
}
click_save() { click_panel $((291 + 27)) $((42 + 13)); }

# The day file's name for a date as `date -d` takes it ("12;07月.txt").
WEEKDAYS=(日 月 火 水 木 金 土)
day_file() {
    echo "$(date -d "$1" +%m);$(date -d "$1" +%d)${WEEKDAYS[$(date -d "$1" +%w)]}.txt"
}

# Lines as a day file or the staff list holds them: Shift-JIS, CR LF.
crlf_cp932() { printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932; }

# Waits up to 3 s until the share of the colour "r,g,b" in a grid area, on a
# fresh screenshot, meets the test ("> 0.5", "== 0"); fails with the message
# otherwise.
expect_share() {
    local rgb=$1 x=$2 y=$3 w=$4 h=$5 test=$6 message=$7 share
    for _ in $(seq 15); do
        import -window root "$XTMP/share.png"
        share=$(colour_share "$XTMP/share.png" "$x" "$y" "$w" "$h" "$rgb")
        awk "BEGIN { exit !($share $test) }" && return 0
        sleep 0.2
    done
    fail "$message ($share)"
}

# Clicks 保存 and waits until the file holds exactly the day file lines
# given; fails showing both otherwise.
save_expect() {
    local file=$1
    shift
    crlf_cp932 "$@" >"$XTMP/expected.txt"
    click_save
    for _ in $(seq 15); do
        cmp -s "$XTMP/expected.txt" "$file" && return 0
        sleep 0.2
    done
    [ -e "$file" ] || fail "no day file $file after the save: $(ls "$(dirname "$file")")"
    fail "day file differs: $(od -c "$file" | head -n3) wanted $(od -c "$XTMP/expected.txt" | head -n3)"
}

# The pointer out of the way of the screenshots find_on_weston reads: below
# weston's output, in the strip of the X screen it leaves free. weston takes
# the pointer's place from X only when it enters its window (from moves it
# takes the differences), and keeps drawing it where it left: so out, in at
# the output's corner, and out again.
park_pointer() {
    xdotool mousemove 1264 1010 sleep 0.1 mousemove 1264 976 sleep 0.1 mousemove 1264 1010
    sleep 0.1
}

# weston tells no client where a window lies: the board is the one thing on
# its plain background, Qt's own title bar and edges included, and opens
# with the least client area, 830 x 480. Waits until it shows at that size.
find_on_weston() {
    local box w h
    for _ in $(seq 100); do
        kill -0 "$BOARD_PID" 2>/dev/null || fail "the board ended"
        import -window root "$XTMP/find.png"
        # the parked pointer painted over; the background framed around. A
        # board lying under that corner keeps the rest of its edges.
        box=$(convert "$XTMP/find.png" -crop 1280x992+0+0 +repage -fill "rgb($WESTON_BG)" \
            -draw "rectangle 1240,952 1279,991" \
            -bordercolor "rgb($WESTON_BG)" -border 1 -format "%@" info: 2>/dev/null) || true
        if [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
            w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
            WIN_X=$((BASH_REMATCH[3] - 1)) WIN_Y=$((BASH_REMATCH[4] - 1))
            # the edges left and right alike, the bottom one as wide
            FRAME_LEFT=$(((w - 830) / 2))
            FRAME_TOP=$((h - 480 - FRAME_LEFT))
            BOARD_OUTER_W=$w
            [ "$w" -gt 830 ] && [ "$w" -lt 900 ] && [ "$h" -lt 600 ] &&
                [ "$FRAME_TOP" -gt "$FRAME_LEFT" ] && return 0
        fi
        sleep 0.1
    done
    fail "the board not found on weston's screen (last box: $box)"
}

# Asks weston to maximise the board twice: with the maximise button of Qt's
# title bar (the program asks) and with weston's Super+Shift+M (the
# compositor decides). A maximised surface that keeps a size of its own is a
# protocol error that ends the program: the board must stay and come back
# to its size. Finds it again.
maximise_on_weston() {
    local how
    for how in button keys; do
        if [ $how = button ]; then
            # the second of the three buttons from the right, in the title bar
            xdotool mousemove $((WIN_X + BOARD_OUTER_W - 40)) $((WIN_Y + FRAME_TOP / 2)) click 1
        else
            xdotool key super+shift+m
        fi
        sleep 1
        kill -0 "$BOARD_PID" 2>/dev/null ||
            fail "the board ended on a maximise request ($how)"
        park_pointer
        find_board
    done
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
    if [ -s "${XTMP:-}/board.log" ]; then
        echo "the board's stderr:" >&2
        cat "$XTMP/board.log" >&2
    fi
    exit 1
}

# start_x, or a skip when no X server can be started on this machine:
# without one there is nothing to drive.
require_x() {
    command -v Xvfb >/dev/null 2>&1 || skip "Xvfb is not installed"
    start_x
    if [ ! -s "$XTMP/display" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
        skip "Xvfb did not start: $(tail -n1 "$XTMP/xvfb.log" 2>/dev/null || true)"
    fi
}

# The scripts that read the board through AT-SPI run again inside a private
# session bus, from which the accessibility bus is started on demand; without
# DISPLAY, so that the bus launcher marks no real desktop. Skips where that
# cannot be had; KAB_A11Y_IMPORTS names further Python imports the script
# needs. Call as: a11y_session "$0" "$@"
a11y_session() {
    [ -z "${KAB_A11Y_SESSION:-}" ] || return 0
    local tool
    for tool in dbus-run-session Xvfb xdotool iconv; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
    done
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher is not installed"
    /usr/bin/python3 -c "import pyatspi${KAB_A11Y_IMPORTS:+; $KAB_A11Y_IMPORTS}" 2>/dev/null ||
        skip "python3-pyatspi${KAB_A11Y_IMPORTS:+ or: $KAB_A11Y_IMPORTS} is not available"
    dbus-run-session -- true 2>/dev/null || skip "no session bus can be started"
    exec env -u DISPLAY -u AT_SPI_BUS_ADDRESS KAB_A11Y_SESSION=1 dbus-run-session -- bash "$@"
}

# The private X server, with Qt's accessibility on; the bus is up when its
# registry answers, before the program has started: a program missing from it
# later is then the program's fault.
require_a11y() {
    require_x
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
    timeout 30 /usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount' \
        >"$XTMP/bus.log" 2>&1 ||
        skip "the accessibility bus did not start: $(grep -v '^dbus-daemon' "$XTMP/bus.log" | tail -n1)"
}
