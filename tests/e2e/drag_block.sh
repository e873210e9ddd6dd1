#!/usr/bin/env bash
# The top block of the stack dragged with the real pointer onto row 3 lands
# at 13:00 for four hours, and the next block shows on the stack.
set -u
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
start_x
start_board "$exe"

orange="245,173,112" # block 50, on top of the stack at start
shot="$XTMP/start.png"
import -window root "$shot"
share=$(colour_share "$shot" 165 406 150 28 "$orange")
awk "BEGIN { exit !($share > 0.5) }" || fail "block 50 not on top of the stack ($share)"

# tick position x' = 320 (13:00), row 3
drag_top_block 325 140
shot="$XTMP/placed.png"
import -window root "$shot"
# block 50 now lies at Left 320, Top 135, 160 wide
share=$(colour_share "$shot" 325 140 150 28 "$orange")
awk "BEGIN { exit !($share > 0.5) }" || fail "block 50 not placed at 13:00 on row 3 ($share)"
share=$(colour_share "$shot" 165 406 150 28 "$orange")
awk "BEGIN { exit !($share < 0.05) }" || fail "block 50 still on the stack ($share)"
# nothing of it left of 13:00 or right of 17:00
share=$(colour_share "$shot" 300 140 18 28 "$orange")
awk "BEGIN { exit !($share == 0) }" || fail "block reaches left of 13:00"
share=$(colour_share "$shot" 482 140 18 28 "$orange")
awk "BEGIN { exit !($share == 0) }" || fail "block reaches right of 17:00"
[ -n "${SHOT_OUT:-}" ] && import -window "$BOARD_WINDOW" "$SHOT_OUT"
echo "1 passed, 0 failed"
