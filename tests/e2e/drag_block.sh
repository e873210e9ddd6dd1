#!/usr/bin/env bash
# The top block of the stack dragged with the real pointer onto row 3 lands
# at 13:00 for four hours, and the next block shows on the stack. The
# unsaved block is kept in today's recovery file across a month step, comes
# back with Ctrl+Z and is saved; changed again and killed a second later, it
# comes back after a restart with Ctrl+Z. Copies of
# the board in folders whose names Shift-JIS cannot write show and save their
# own day, never the day of the folder named with "?" in their place.
set -euo pipefail
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
require_x
start_board "$exe"

orange="245,173,112" # block 50, on top of the stack at start
# Waits for the share of block 50's colour in a grid area to meet the test.
expect_orange() { expect_share "$orange" "$@"; }
expect_orange 165 406 150 28 "> 0.5" "block 50 not on top of the stack"

# tick position x' = 320 (13:00), row 3: block 50 lies at Left 320, Top 135,
# 160 wide, nothing of it left of 13:00 or right of 17:00
drag_top_block 325 140
expect_orange 325 140 150 28 "> 0.5" "block 50 not placed at 13:00 on row 3"
expect_orange 165 406 150 28 "< 0.05" "block 50 still on the stack"
expect_orange 300 140 18 28 "== 0" "block reaches left of 13:00"
expect_orange 482 140 18 28 "== 0" "block reaches right of 17:00"
[ -n "${SHOT_OUT:-}" ] && import -window "$BOARD_WINDOW" "$SHOT_OUT"

today_file=$(day_file today)

# --- the unsaved block outlives a month step, and a kill -----------------------
# today's recovery file, in the user's state folder (the one folder there
# for the one data folder): none where it is missing
recovery_file() {
    local found
    for found in "$XDG_STATE_HOME"/kabrelo24/recovery/*/"$today_file"; do
        [ -e "$found" ] && echo "$found" && return 0
    done
    echo "$XDG_STATE_HOME/none"
}
[ ! -e "$BOARD_DATA/.recovery" ] || fail "a recovery folder in the data folder"
# Waits up to 3 s for the recovery file to hold these records, then the empty
# line and a board to its last line; fails otherwise.
expect_recovery() {
    crlf_cp932 "$@" >"$XTMP/records"
    printf '\r\n' >>"$XTMP/records"
    local size
    size=$(stat -c %s "$XTMP/records")
    for _ in $(seq 15); do
        recovery=$(recovery_file)
        if [ -f "$recovery" ] && cmp -s -n "$size" "$XTMP/records" "$recovery" &&
            [ "$(tail -c 5 "$recovery")" = "$(printf 'end\r\n')" ]; then
            return 0
        fi
        sleep 0.2
    done
    fail "recovery file: $(od -c "$recovery" 2>&1 | head -n4)"
}
click_panel $((178 + 7)) $((43 + 12)) # >
expect_orange 325 140 150 28 "== 0" "block 50 still on row 3 on the next month's first day"
expect_recovery '03\13:00\4.0\---'
xdotool key ctrl+z
expect_orange 325 140 150 28 "> 0.5" "Ctrl+Z did not bring block 50 back onto row 3"
# the day came back with it: 保存 writes today's file, and the recovery file
# goes
save_expect "$BOARD_DATA/$today_file" '03\13:00\4.0\---'
for _ in $(seq 15); do
    [ -e "$(recovery_file)" ] || break
    sleep 0.2
done
[ ! -e "$(recovery_file)" ] || fail "the recovery file outlived the save"
[ ! -e "$BOARD_DATA/.recovery" ] || fail "a recovery folder in the data folder"

# A press on the block's lower right half, the wheel: 4.25 hours, to 17:15;
# killed a second later.
xdotool mousemove $((GRID_X + 320 + 2 + 120)) $((GRID_Y + 135 + 2 + 28)) click 1
sleep 0.3
xdotool mousemove $((GRID_X + 100)) $((GRID_Y + 6 * 44 + 22)) click 4
expect_orange 482 140 6 28 "> 0.5" "the wheel did not lengthen block 50"
sleep 1
kill -9 "$BOARD_PID"
wait "$BOARD_PID" 2>/dev/null || true
expect_recovery '03\13:00\4.25\---'
start_board "$exe" "" # the same folder, its data as the kill left it
expect_orange 325 140 150 28 "> 0.5" "block 50 not on row 3 after the restart"
expect_orange 482 140 6 28 "== 0" "the start showed the recovered board, not the day's file"
xdotool key ctrl+z
expect_orange 482 140 6 28 "> 0.5" "Ctrl+Z after the restart did not bring the recovered board"
# A burst of notches is one step: 4.25 to 9 hours, and one Ctrl+Z takes it
# all back.
xdotool mousemove $((GRID_X + 320 + 2 + 120)) $((GRID_Y + 135 + 2 + 28)) click 1
sleep 0.3
xdotool mousemove $((GRID_X + 100)) $((GRID_Y + 6 * 44 + 22)) click --repeat 19 --delay 30 4
expect_orange 662 140 6 28 "> 0.5" "19 notches did not make block 50 nine hours long"
xdotool key ctrl+z
expect_orange 662 140 6 28 "== 0" "one Ctrl+Z did not take the whole burst back"
expect_orange 482 140 6 28 "> 0.5" "one Ctrl+Z went past the burst"

# --- program folders ------------------------------------------------------------
prepared="$XTMP/prepared"
mkdir -p "$prepared"
# row 5 at 10:00 first: the save writes row 2 first
crlf_cp932 '05\10:00\3\見本' '02\08:00\2\朝' >"$prepared/$today_file"
for pair in "müller:m?ller" "예약😀:???"; do
    folder=${pair%%:*} lossy=${pair#*:}
    # the folder the name would become through Shift-JIS, with a day of its own
    mkdir -p "$XTMP/$lossy/data"
    crlf_cp932 '01\09:00\4\他' >"$XTMP/$lossy/data/$today_file"
    cp -r "$XTMP/$lossy/data" "$XTMP/lossy.before"
    kill "$BOARD_PID"
    wait "$BOARD_PID" 2>/dev/null || true
    start_board "$exe" "$prepared" "$folder"
    expect_orange 205 228 110 28 "> 0.5" "$folder: its day is not on the board"
    save_expect "$BOARD_DATA/$today_file" '02\08:00\2\朝' '05\10:00\3\見本'
    diff -r "$XTMP/lossy.before" "$XTMP/$lossy/data" || fail "$folder: the folder $lossy was touched"
    rm -rf "$XTMP/lossy.before"
done
echo "1 passed, 0 failed"
