#!/usr/bin/env bash
# A block placed, lengthened by one wheel notch and named with the arrow keys
# is saved as one Shift-JIS record in today's day file; typed whole hours
# replace its duration, and Delete takes a character out of it; the month
# buttons then show the next month's first day from its file, and come back
# to this month's first day, not to today; a day number typed after a click
# on the weekday label loads that day.
set -euo pipefail
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
require_x

# --- the data folder ----------------------------------------------------------
# Dates are taken once, so the names match what the program computes from
# the same clock (a run across midnight would not).
today=$(date +%F)
first=$(date +%Y-%m-01)
next_first=$(date -d "$first +1 month" +%F)
today_file=$(day_file "$today")
next_file=$(day_file "$next_first")
day15_file=$(day_file "$(date +%Y-%m-15)")

prepared="$XTMP/prepared"
mkdir -p "$prepared"
crlf_cp932 山田 佐藤 鈴木 >"$prepared/List1.txt"
# row 5, 9:00 for 3.5 hours: Left 160, Top 223, 140 wide
crlf_cp932 '05\09:00\3.5\鈴木' >"$prepared/$next_file"
# row 7, 6:00 for 2 hours: Left 40, Top 311, 80 wide
[ "$day15_file" = "$today_file" ] || crlf_cp932 '07\06:00\2\山田' >"$prepared/$day15_file"
[ ! -e "$prepared/$today_file" ] || fail "today's file prepared by mistake"

orange="245,173,112" # block 50: on top of the stack, and the first record's

# Waits for the share of block 50's colour in a grid area to meet the test.
expect_orange() { expect_share "$orange" "$@"; }

start_board "$exe" "$prepared"

expect_orange 165 406 150 28 "> 0.5" "today has no file, yet block 50 is not on the stack"

# --- place, lengthen, name, save -----------------------------------------------
drag_top_block 325 140 # row 3, 13:00 for 4.0 hours
expect_orange 325 140 150 28 "> 0.5" "block 50 not placed at 13:00 on row 3"
if [ "${KAB_WM:-}" = weston ]; then
    # the unsaved block outlives a maximise request
    maximise_on_weston
    expect_orange 325 140 150 28 "> 0.5" "block 50 gone from row 3 after the maximise requests"
fi

# The wheel goes to the focused control, the duration box, not to the board
# under the pointer. A click only focuses the box; typing would run the
# apply step.
click_panel $((270 + 28)) $((5 + 13))
xdotool mousemove $((GRID_X + 100)) $((GRID_Y + 6 * 44 + 22)) click 4
# 4.25 hours: the block reaches to 17:15 (Left 320 + 170)
expect_orange 482 140 6 28 "> 0.5" "one wheel notch did not lengthen the block"

# The name box is editable, so a click into its text opens no list.
click_panel $((75 + 30)) $((7 + 11))
xdotool key Down
xdotool key Down # "---", then the list's first and second name

saved="$BOARD_DATA/$today_file"
save_expect "$saved" '03\13:00\4.25\佐藤'

# --- typed hours ----------------------------------------------------------------
# A press on the lower right half of the block (170 x 38 at Left 320, Top
# 135; its time label starts 2 px in) focuses the duration box with its text
# selected: the digits typed replace it.
xdotool mousemove $((GRID_X + 320 + 2 + 140)) $((GRID_Y + 135 + 2 + 28)) click 1
sleep 0.3
xdotool key 1 2
save_expect "$saved" '03\13:00\12\佐藤'
# A click into the box places the cursor; Home, then Delete, which types no
# character, takes the first digit out.
click_panel $((270 + 28)) $((5 + 13))
xdotool key Home Delete
save_expect "$saved" '03\13:00\2\佐藤'
# the version that save replaced is kept, hidden, the newest of the day's
crlf_cp932 '03\13:00\12\佐藤' >"$XTMP/expected.txt"
newest=$(ls "$BOARD_DATA/.versions/$today_file" | tail -n1)
cmp "$XTMP/expected.txt" "$BOARD_DATA/.versions/$today_file/$newest" || fail "the previous save is not kept"

# --- next month and back ---------------------------------------------------------
click_panel $((178 + 7)) $((43 + 12)) # >
expect_orange 165 228 130 28 "> 0.5" "next month's record not on row 5 at 9:00"
# nothing of it beyond 12:30, and the saved day is gone from the board
expect_orange 302 228 16 28 "== 0" "next month's block longer than 3.5 hours"
expect_orange 325 140 150 28 "== 0" "today's block still on the board after the month step"

click_panel $((162 + 7)) $((43 + 12)) # <
if [ "$first" = "$today" ]; then
    # day 1 is today: the saved block again
    expect_orange 325 140 150 28 "> 0.5" "the saved block not back on row 3 on day 1"
else
    # day 1 has no file: every block on the stack, none on the rows
    expect_orange 0 0 820 396 "== 0" "day 1 of this month is not empty"
    expect_orange 165 406 150 28 "> 0.5" "block 50 not back on the stack on day 1"
fi
# --- a typed day ---------------------------------------------------------------
# A click on the weekday label, inside the day picker, selects the day, and
# the number typed then replaces it: day 15 of the month on show is loaded.
click_panel $((217 + 32 + 10)) $((41 + 5 + 10))
xdotool key 1 5
if [ "$day15_file" = "$today_file" ]; then
    expect_orange 325 140 70 28 "> 0.5" "day 15, today, does not show its saved block"
else
    expect_orange 45 316 70 28 "> 0.5" "day 15's record not on row 7 at 6:00"
fi
[ -n "${SHOT_OUT:-}" ] && import -window "$BOARD_WINDOW" "$SHOT_OUT"
echo "1 passed, 0 failed"
