#!/usr/bin/env bash
# A day's plan through the real X clipboard: Ctrl+Shift+C on today, > to the
# next month's first day, Ctrl+Shift+V, Ctrl+Z and Ctrl+Shift+Z, 保存: the
# file is today's byte for byte. Then a spreadsheet's tab-separated rows set
# with xclip paste onto the board.
set -euo pipefail
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
command -v xclip >/dev/null 2>&1 || skip "xclip is not installed"
require_x

today=$(date +%F)
today_file=$(day_file "$today")
next_file=$(day_file "$(date -d "$(date +%Y-%m-01) +1 month" +%F)")

prepared="$XTMP/prepared"
mkdir -p "$prepared"
# starts as a save writes them: "9:00" stays, a night's start "0:15"
crlf_cp932 '01\9:00\4\山田' '02\0:15\4.5\佐藤' '04\09:30\10.\鈴木' >"$prepared/$today_file"

orange="245,173,112" # block 50: the first record's
expect_orange() { expect_share "$orange" "$@"; }

start_board "$exe" "$prepared"
expect_orange 165 52 150 28 "> 0.5" "today's first record not on row 1 at 9:00"

# the focus in the day picker: the keys are the window's wherever it is
click_panel $((217 + 50)) $((41 + 10))
xdotool key ctrl+shift+c
sleep 0.5
clip() { xclip -selection clipboard -o "$@" 2>/dev/null; }
clip -t application/x-kabrelo24-day >"$XTMP/records"
cmp -s "$XTMP/records" "$BOARD_DATA/$today_file" ||
    fail "the clipboard's records are not today's file: $(od -c "$XTMP/records" | head -n3)"
header=$(printf '行\t名前\t開始\t終了\t時間')
[ "$(clip | head -n1)" = "$header" ] || fail "no table header on the clipboard: $(clip | head -n2)"
[ "$(clip | sed -n 2p)" = "$(printf '1\t山田\t9:00\t13:00\t4')" ] ||
    fail "the table's first row: $(clip | sed -n 2p)"

click_panel $((178 + 7)) $((43 + 12)) # >
expect_orange 165 52 150 28 "== 0" "the next month's first day is not empty"
xdotool key ctrl+shift+v
expect_orange 165 52 150 28 "> 0.5" "the pasted day is not on the board"
xdotool key ctrl+z
expect_orange 165 52 150 28 "== 0" "Ctrl+Z after the paste did not bring back the empty day"
[ ! -e "$BOARD_DATA/$next_file" ] || fail "the paste wrote a file before 保存"
xdotool key ctrl+shift+z
expect_orange 165 52 150 28 "> 0.5" "redo did not bring the pasted day back"
click_save
for _ in $(seq 15); do
    cmp -s "$BOARD_DATA/$today_file" "$BOARD_DATA/$next_file" 2>/dev/null && break
    sleep 0.2
done
cmp -s "$BOARD_DATA/$today_file" "$BOARD_DATA/$next_file" ||
    fail "the pasted day saved differs: $(od -c "$BOARD_DATA/$next_file" | head -n3)"

# rows as a spreadsheet copies them: CR LF, no header, an empty end
printf '3\t鈴木\t13:00\t\t4.0\r\n' | xclip -selection clipboard -i
sleep 0.3
xdotool key ctrl+shift+v
sleep 0.3
save_expect "$BOARD_DATA/$next_file" '03\13:00\4.0\鈴木'
echo "1 passed, 0 failed"
