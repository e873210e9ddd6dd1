#!/usr/bin/env bash
# The month window with real keys and a screen reader: Ctrl+M on the board,
# the table read through AT-SPI (headers, a cell, a finding's description),
# a wheel step on the board seen in the open window, Enter on a cell
# moving the board to that day, and the month written out as a workbook.
set -euo pipefail
exe=$1
here=$(dirname "$0")
. "$here/xvfb_lib.sh"

# Debian's own interpreter: pyatspi comes as a Debian package.
py=/usr/bin/python3
a11y_session "$0" "$@"

require_a11y
reader() { timeout 60 "$py" "$here/atspi_board.py" "$@"; }

# today: 鈴木 from 9:00 on row 2 and again from 12:00 on row 4, a double booking
today=$(date +%-d)
weekday=${WEEKDAYS[$(date +%w)]}
prepared="$XTMP/prepared"
mkdir -p "$prepared"
crlf_cp932 '02\9:00\4.0\鈴木' '04\12:00\2.0\鈴木' >"$prepared/$(day_file today)"
crlf_cp932 '鈴木' '佐藤' >"$prepared/List1.txt"
start_board "$exe" "$prepared"
tab=$'\t'

# the row-2 block pressed on its lower right: the duration box takes the focus
xdotool mousemove $((GRID_X + 4 * 40 + 140)) $((GRID_Y + 2 * 44 + 3 + 30)) click 1
sleep 0.3
xdotool key ctrl+m
month_window=$(wait_window "月間表 $(date +%Y)年$(date +%-m)月 - Kabrelo24") ||
    fail "Ctrl+M opened no month window"

got=$(reader month 鈴木 "$today") || fail "the month table could not be read"
IFS=$tab read -r rows columns day_head row_head text description <<<"$got"
days=$(date -d "$(date +%Y-%m-01) +1 month -1 day" +%-d)
[ "$rows" = 4 ] && [ "$columns" = $((days + 2)) ] || fail "table of $rows x $columns: $got"
# (pressing the block already wrote its start as the editor writes it: the
# board counts as unsaved from there, as its recovery file does)
case $day_head in "${today}\\n${weekday}"*) ;; *) fail "the day's column header: $day_head" ;; esac
[ "$row_head" = 鈴木 ] || fail "the row header: $row_head"
[ "$text" = "9:00-13:00\\n12:00-14:00" ] || fail "the cell: $text"
case $description in 二重予約:*) ;; *) fail "the cell's description: $description" ;; esac
echo "read: $got"

# a wheel step on the board, its duration box still focused: the open window
# shows it, the day unsaved
xdotool windowraise "$BOARD_WINDOW" windowfocus --sync "$BOARD_WINDOW"
sleep 0.3
xdotool mousemove $((GRID_X + 100)) $((GRID_Y + 300)) click 4
got=$(reader month 鈴木 "$today" "9:00-13:15\\n12:00-14:00") || fail "the table went"
IFS=$tab read -r _ _ day_head _ text _ <<<"$got"
[ "$text" = "9:00-13:15\\n12:00-14:00" ] || fail "the wheel step not in the month window: $got"
[ "$day_head" = "${today}\\n${weekday}\\n未保存" ] || fail "the day not unsaved: $day_head"

# Enter on another day's cell of the first row moves the board there
target=$((today == 1 ? 2 : 1))
xdotool windowfocus --sync "$month_window"
sleep 0.3
xdotool key Down Home
for _ in $(seq 2 "$target"); do xdotool key Right; done
xdotool key Return
sleep 0.5
reader tree 日 >"$XTMP/tree.tsv" || fail "the board's tree could not be read"
grep -qF "spin button${tab}日${tab}${target}${tab}" "$XTMP/tree.tsv" ||
    fail "the board did not move to day $target: $(grep "${tab}日${tab}" "$XTMP/tree.tsv")"
kill -0 "$BOARD_PID" 2>/dev/null || fail "the board ended"

# 書き出し, a name typed into the file dialog: the spreadsheet module the
# program loads then writes a workbook a spreadsheet reads
width=$(xdotool getwindowgeometry "$month_window" | awk '/Geometry/ { split($2, g, "x"); print g[1] }')
xdotool windowfocus --sync "$month_window" mousemove --window "$month_window" $((width - 52)) 21 click 1
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 20 "$XTMP/month.xlsx"
xdotool key Return
for _ in $(seq 25); do [ -s "$XTMP/month.xlsx" ] && break; sleep 0.2; done
first=$("$py" -c 'import openpyxl, sys
print(openpyxl.load_workbook(sys.argv[1]).active.cell(2, 1).value)' "$XTMP/month.xlsx" 2>&1) ||
    fail "no workbook written: $first"
[ "$first" = 鈴木 ] || fail "the workbook's first row: $first"
echo "1 passed, 0 failed"
